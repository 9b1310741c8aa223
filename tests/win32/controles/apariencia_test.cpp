// Colours, the font, the glyphs, the shaded panel and the buttons: what they look like.
#include "ventana_prueba.h"

#include "win32/controles/boton.h"
#include "win32/controles/colores.h"
#include "win32/controles/fuente.h"
#include "win32/controles/glifos.h"
#include "win32/controles/panel_degradado.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace controles;

namespace {

// The pixels of a 32-bit DIB section, top-down, as 0xAARRGGBB.
std::vector<std::uint32_t> Pixeles(HBITMAP b, int* lado)
{
    DIBSECTION ds{};
    EXPECT_EQ(GetObjectW(b, sizeof ds, &ds), static_cast<int>(sizeof ds));
    *lado = ds.dsBm.bmWidth;
    const auto* p = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
    return {p, p + ds.dsBm.bmWidth * ds.dsBm.bmHeight};
}

bool Cerca(COLORREF a, COLORREF b, int margen = 3)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= margen && std::abs(GetGValue(a) - GetGValue(b)) <= margen &&
           std::abs(GetBValue(a) - GetBValue(b)) <= margen;
}

}  // namespace

TEST(Colores, FormFileColoursAreNamesDecimalOrHexAndSystemColoursAreAskedOfWindows)
{
    std::uint32_t v = 0;
    ASSERT_TRUE(ColorDeFormulario("clInfoBk", v));
    EXPECT_EQ(v, 0x80000018u);
    EXPECT_EQ(ColorWindows(v), GetSysColor(COLOR_INFOBK));
    ASSERT_TRUE(ColorDeFormulario(" 8246265 ", v));
    EXPECT_EQ(ColorWindows(v), RGB(0xF9, 0xD3, 0x7D));
    ASSERT_TRUE(ColorDeFormulario("$00FFEEDD", v));
    EXPECT_EQ(ColorWindows(v), RGB(0xDD, 0xEE, 0xFF));
    v = 7;
    for (const char* malo : {"", "clNothing", "12x", "$", "99999999999", "$1FFFFFFFF"}) {
        EXPECT_FALSE(ColorDeFormulario(malo, v)) << malo;
        EXPECT_EQ(v, 7u) << malo;
    }
    EXPECT_EQ(Mezcla(RGB(0, 0, 0), RGB(200, 100, 50), 0.5), RGB(100, 50, 25));
    EXPECT_EQ(Mezcla(RGB(10, 20, 30), RGB(200, 100, 50), 2.0), RGB(200, 100, 50));
}

TEST(Fuente, EveryControlTakesMsSansSerifOfEightPointsAtItsDpi)
{
    HFONT f = FuenteMsSansSerif(96);
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(f, sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    ASSERT_TRUE(GetObjectW(FuenteMsSansSerif(144, true), sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(FuenteMsSansSerif(96), f) << "one font for the whole run";
    EXPECT_EQ(Escala(16, 144), 24);
}

TEST(Glifos, DrawnSmoothWithAlphaAndGreyedWhenDisabled)
{
    int lado = 0;
    HBITMAP verde = MapaGlifo(Glifo::Aceptar, 16, false);
    ASSERT_NE(verde, nullptr);
    const auto normal = Pixeles(verde, &lado);
    ASSERT_EQ(lado, 16);
    int opacos = 0, parciales = 0, verdes = 0;
    for (std::uint32_t p : normal) {
        const unsigned a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        EXPECT_LE(r, a);  // premultiplied
        EXPECT_LE(g, a);
        EXPECT_LE(b, a);
        opacos += a == 255;
        parciales += a > 0 && a < 255;
        verdes += a == 255 && g > 100 && r < 40 && b < 40;
    }
    EXPECT_EQ(normal[0] >> 24, 0u) << "the corner is transparent";
    EXPECT_GT(opacos, 10);
    EXPECT_GT(parciales, 5) << "smoothed edges";
    EXPECT_GT(verdes, 10) << "the check mark is green";
    DeleteObject(verde);

    HBITMAP gris = MapaGlifo(Glifo::Aceptar, 32, true);
    const auto apagado = Pixeles(gris, &lado);
    EXPECT_EQ(lado, 32);
    int grises = 0;
    for (std::uint32_t p : apagado) {
        const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        EXPECT_TRUE(r == g && g == b) << std::hex << p;
        grises += (p >> 24) == 255;
    }
    EXPECT_GT(grises, 40);
    DeleteObject(gris);

    // Every glyph draws something, and the two folders differ.
    for (int g = static_cast<int>(Glifo::Aceptar); g <= static_cast<int>(Glifo::UnidadRed); ++g) {
        HBITMAP b = MapaGlifo(static_cast<Glifo>(g), 16);
        int tinta = 0;
        for (std::uint32_t p : Pixeles(b, &lado))
            tinta += (p >> 24) > 128;
        EXPECT_GT(tinta, 6) << "glyph " << g;
        DeleteObject(b);
    }
    HBITMAP a = MapaGlifo(Glifo::CarpetaAbierta, 16), c = MapaGlifo(Glifo::CarpetaCerrada, 16);
    EXPECT_NE(Pixeles(a, &lado), Pixeles(c, &lado));
    DeleteObject(a);
    DeleteObject(c);
    HICON i = IconoGlifo(Glifo::Salir, 16);
    EXPECT_NE(i, nullptr);
    DestroyIcon(i);
}

TEST(PanelDegradado, ShadedThroughItsThreeColoursAndPassesItsControlsCommandsOn)
{
    prueba::Ventana v;
    auto* panel = PanelDegradado::Crea(v.hwnd(), 50, 0, 0, 289, 100);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(PanelDegradado::De(panel->hwnd()), panel);
    panel->ponColores(8246265, cl::White, 14544639);
    EXPECT_EQ(panel->colorEn(0), RGB(0xF9, 0xD3, 0x7D));
    EXPECT_EQ(panel->colorEn(0.5), RGB(255, 255, 255));
    EXPECT_EQ(panel->colorEn(1), ColorWindows(14544639));

    // Painted into a bitmap as a themed control behind it would have it painted.
    HDC pantalla = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(pantalla);
    HBITMAP mapa = CreateCompatibleBitmap(pantalla, 289, 100);
    ReleaseDC(nullptr, pantalla);
    HGDIOBJ viejo = SelectObject(dc, mapa);
    SendMessageW(panel->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_TRUE(Cerca(GetPixel(dc, 100, 0), panel->colorEn(0), 4)) << std::hex << GetPixel(dc, 100, 0);
    EXPECT_TRUE(Cerca(GetPixel(dc, 100, 50), RGB(255, 255, 255), 6)) << std::hex << GetPixel(dc, 100, 50);
    EXPECT_TRUE(Cerca(GetPixel(dc, 100, 99), panel->colorEn(1), 6)) << std::hex << GetPixel(dc, 100, 99);
    EXPECT_TRUE(Cerca(GetPixel(dc, 100, 25), panel->colorEn(0.25), 8)) << std::hex << GetPixel(dc, 100, 25);

    // A raised edge when bevelled.
    panel->ponBiselado(true);
    SendMessageW(panel->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(GetPixel(dc, 0, 50), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, 288, 50), GetSysColor(COLOR_BTNSHADOW));
    SelectObject(dc, viejo);
    DeleteObject(mapa);
    DeleteDC(dc);

    // A button on the panel: its click reaches the window the panel is in.
    HWND b = CreaBoton(panel->hwnd(), 77, 10, 60, 89, 25, "Aceptar", true, Glifo::Aceptar);
    SendMessageW(b, BM_CLICK, 0, 0);
    prueba::Bombea();
    ASSERT_FALSE(v.comandos().empty());
    EXPECT_EQ(v.comandos().back(), std::make_pair(77, static_cast<int>(BN_CLICKED)));

    // A label takes the colour given for it, over a transparent background.
    HWND etiqueta = CreateWindowExW(0, WC_STATICW, L"PRIMERO ==>", WS_CHILD | WS_VISIBLE, 5, 5, 80, 14, panel->hwnd(),
                                    nullptr, nullptr, nullptr);
    panel->ponColorTexto(etiqueta, cl::Red);
    HDC dcEtiqueta = GetDC(etiqueta);
    const LRESULT pincel = SendMessageW(panel->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dcEtiqueta),
                                        reinterpret_cast<LPARAM>(etiqueta));
    EXPECT_EQ(GetTextColor(dcEtiqueta), RGB(255, 0, 0));
    EXPECT_EQ(GetBkMode(dcEtiqueta), TRANSPARENT);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(pincel), GetStockObject(NULL_BRUSH));
    ReleaseDC(etiqueta, dcEtiqueta);
}

TEST(Boton, AWindowsButtonWithItsGlyphGreyedWhenDisabled)
{
    prueba::Ventana v;
    HWND b = CreaBoton(v.hwnd(), 10, 10, 10, 89, 25, "&Salir", true, Glifo::Salir);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(prueba::Texto(b), "&Salir");
    wchar_t clase[32];
    GetClassNameW(b, clase, 32);
    EXPECT_STREQ(clase, L"Button");
    BUTTON_IMAGELIST bil{};
    ASSERT_TRUE(SendMessageW(b, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&bil)));
    ASSERT_NE(bil.himl, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(bil.himl), 6);
    EXPECT_EQ(bil.uAlign, static_cast<UINT>(BUTTON_IMAGELIST_ALIGN_LEFT));
    int ancho = 0, alto = 0;
    ImageList_GetIconSize(bil.himl, &ancho, &alto);
    EXPECT_EQ(ancho, Escala(16, DpiDe(b)));

    // The fourth image, for the disabled button, is the grey one.
    IMAGEINFO normal{}, apagado{};
    ImageList_GetImageInfo(bil.himl, 0, &normal);
    ImageList_GetImageInfo(bil.himl, 3, &apagado);
    BITMAP bm{};
    GetObjectW(normal.hbmImage, sizeof bm, &bm);
    ASSERT_EQ(bm.bmBitsPixel, 32);
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(bm.bmWidth * bm.bmHeight));
    GetBitmapBits(normal.hbmImage, static_cast<LONG>(bits.size() * 4), bits.data());
    auto color = [&](const RECT& r) {
        int coloreados = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const std::uint32_t p = bits[static_cast<std::size_t>(y * bm.bmWidth + x)];
                coloreados += ((p >> 16) & 0xFF) != ((p >> 8) & 0xFF) || ((p >> 8) & 0xFF) != (p & 0xFF);
            }
        return coloreados;
    };
    EXPECT_GT(color(normal.rcImage), 10);
    EXPECT_EQ(color(apagado.rcImage), 0);

    // The forms' font.
    HFONT f = reinterpret_cast<HFONT>(SendMessageW(b, WM_GETFONT, 0, 0));
    EXPECT_EQ(f, FuenteMsSansSerif(DpiDe(b)));

    // A plain button has no image list, and a glyph given later replaces nothing twice.
    HWND llano = CreaBoton(v.hwnd(), 11, 10, 40, 78, 22, "F1 AYUDA", false);
    BUTTON_IMAGELIST ninguna{};
    SendMessageW(llano, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&ninguna));
    EXPECT_EQ(ninguna.himl, nullptr);
    PonGlifo(llano, Glifo::Ayuda);
    SendMessageW(llano, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&ninguna));
    EXPECT_NE(ninguna.himl, nullptr);
}
