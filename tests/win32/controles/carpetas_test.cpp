// The folder list and the drive picker on a folder tree the test makes on drive C:.
#include "ventana_prueba.h"

#include "files/win32.h"
#include "win32/controles/lista_carpetas.h"
#include "win32/controles/selector_unidades.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace controles;
using files::win32::narrow;
using files::win32::widen;

namespace {

std::string DirectorioActual()
{
    wchar_t b[MAX_PATH * 2];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH * 2, b);
    return narrow(std::wstring(b, n));
}

void Borra(const std::wstring& ruta)
{
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW((ruta + L"\\*").c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring nombre = d.cFileName;
            if (nombre == L"." || nombre == L"..")
                continue;
            if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Borra(ruta + L"\\" + nombre);
            else
                DeleteFileW((ruta + L"\\" + nombre).c_str());
        } while (FindNextFileW(h, &d));
        FindClose(h);
    }
    RemoveDirectoryW(ruta.c_str());
}

// C:\...\Temp\controles-<pid>\Año 2026 with the folders "beta", "Alfa", "Ñandú", a hidden one
// and a file.
class Arbol : public ::testing::Test {
protected:
    void SetUp() override
    {
        antes_ = DirectorioActual();
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        base_ = std::wstring(temp) + L"controles-" + std::to_wstring(GetCurrentProcessId());
        Borra(base_);
        ASSERT_TRUE(CreateDirectoryW(base_.c_str(), nullptr));
        raiz_ = narrow(base_) + "\\Año 2026";
        ASSERT_TRUE(CreateDirectoryW(widen(raiz_).c_str(), nullptr));
        for (const char* h : {"beta", "Alfa", "Ñandú", "oculta"})
            ASSERT_TRUE(CreateDirectoryW(widen(raiz_ + "\\" + h).c_str(), nullptr));
        ASSERT_TRUE(SetFileAttributesW(widen(raiz_ + "\\oculta").c_str(), FILE_ATTRIBUTE_HIDDEN));
        HANDLE f = CreateFileW(widen(raiz_ + "\\notas.csv").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        CloseHandle(f);
        ASSERT_TRUE(SetCurrentDirectoryW(widen(raiz_).c_str()));
    }

    void TearDown() override
    {
        SetCurrentDirectoryW(widen(antes_).c_str());
        Borra(base_);
    }

    std::string antes_;
    std::wstring base_;
    std::string raiz_;
};

std::vector<std::string> Nombres(const ListaCarpetas& l)
{
    std::vector<std::string> r;
    for (const auto& e : l.entradas())
        r.push_back(e.nombre);
    return r;
}

RECT Fila(const ListaCarpetas& l, int fila)
{
    RECT r{};
    SendMessageW(l.listBox(), LB_GETITEMRECT, static_cast<WPARAM>(fila), reinterpret_cast<LPARAM>(&r));
    return r;
}

int Indice(const ListaCarpetas& l, const std::string& nombre)
{
    const auto& e = l.entradas();
    for (std::size_t i = 0; i < e.size(); ++i)
        if (e[i].nombre == nombre)
            return static_cast<int>(i);
    return -1;
}

// An owner-drawn row as the control draws it, into a bitmap: the leftmost column of the row
// that is not the list's background, and whether the row holds colour (a glyph) at all.
struct Dibujo {
    int primeraX = -1;
    int coloreados = 0;
    int glifo = 0;  // pixels drawn where the glyph goes, the first 20 columns
};

Dibujo DibujaFila(HWND dueno, HWND control, UINT tipo, int fila, int ancho, int alto)
{
    HDC pantalla = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(pantalla);
    HBITMAP mapa = CreateCompatibleBitmap(pantalla, ancho, alto);
    ReleaseDC(nullptr, pantalla);
    HGDIOBJ viejo = SelectObject(dc, mapa);
    DRAWITEMSTRUCT d{};
    d.CtlType = tipo;
    d.CtlID = static_cast<UINT>(GetDlgCtrlID(control));
    d.itemID = static_cast<UINT>(fila);
    d.itemAction = ODA_DRAWENTIRE;
    d.hwndItem = control;
    d.hDC = dc;
    d.rcItem = {0, 0, ancho, alto};
    SendMessageW(dueno, WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
    Dibujo r;
    const COLORREF fondo = GetSysColor(COLOR_WINDOW);
    for (int x = 0; x < ancho; ++x)
        for (int y = 0; y < alto; ++y) {
            const COLORREF p = GetPixel(dc, x, y);
            if (p != fondo && r.primeraX < 0)
                r.primeraX = x;
            r.glifo += x < 20 && p != fondo;
            r.coloreados += GetRValue(p) != GetGValue(p) || GetGValue(p) != GetBValue(p);
        }
    SelectObject(dc, viejo);
    DeleteObject(mapa);
    DeleteDC(dc);
    return r;
}

}  // namespace

TEST_F(Arbol, TheListShowsThePathAboveAndTheSubfoldersBelowAndDoubleClickEnters)
{
    prueba::Ventana v;
    auto* l = ListaCarpetas::Crea(v.hwnd(), 20, 10, 10, 288, 300);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->carpeta(), raiz_);

    // The path from the drive's root down, each folder one step further in and open.
    const auto& e = l->entradas();
    std::vector<std::string> camino;
    std::size_t p = 3;
    camino.push_back(raiz_.substr(0, 3));
    while (p < raiz_.size()) {
        std::size_t fin = raiz_.find('\\', p);
        if (fin == std::string::npos)
            fin = raiz_.size();
        camino.push_back(raiz_.substr(p, fin - p));
        p = fin + 1;
    }
    ASSERT_EQ(e.size(), camino.size() + 3);
    for (std::size_t i = 0; i < camino.size(); ++i) {
        EXPECT_EQ(e[i].nombre, camino[i]);
        EXPECT_EQ(e[i].nivel, static_cast<int>(i));
        EXPECT_TRUE(e[i].abierta);
    }
    EXPECT_EQ(e[0].nombre.size(), 3u);
    EXPECT_EQ(e[0].nombre.substr(1), ":\\");
    // Then the subfolders, closed, sorted regardless of case, the file and the hidden one left out.
    const std::size_t n = camino.size();
    EXPECT_EQ(e[n].nombre, "Alfa");
    EXPECT_EQ(e[n + 1].nombre, "beta");
    EXPECT_EQ(e[n + 2].nombre, "Ñandú");
    for (std::size_t i = n; i < e.size(); ++i) {
        EXPECT_FALSE(e[i].abierta);
        EXPECT_EQ(e[i].nivel, static_cast<int>(n));
        EXPECT_EQ(e[i].ruta, raiz_ + "\\" + e[i].nombre);
    }
    // The list box holds the same names, the open folder selected.
    EXPECT_EQ(SendMessageW(l->listBox(), LB_GETCOUNT, 0, 0), static_cast<LRESULT>(e.size()));
    EXPECT_EQ(SendMessageW(l->listBox(), LB_GETCURSEL, 0, 0), static_cast<LRESULT>(n - 1));

    // Drawn with the folder glyphs, each level 9 pixels further in.
    const Dibujo raiz = DibujaFila(l->hwnd(), l->listBox(), ODT_LISTBOX, 0, 288, 16);
    const Dibujo hija = DibujaFila(l->hwnd(), l->listBox(), ODT_LISTBOX, static_cast<int>(n), 288, 16);
    EXPECT_GT(raiz.coloreados, 20) << "a yellow folder";
    EXPECT_EQ(hija.primeraX - raiz.primeraX, 9 * static_cast<int>(n));

    std::vector<std::string> cambios;
    l->observa([&](const std::string& c) { cambios.push_back(c); });

    // A double-click on "Ñandú" enters it: the current directory, the list and the listeners.
    const RECT r = Fila(*l, Indice(*l, "Ñandú"));
    prueba::DobleClic(l->listBox(), r.left + 40, (r.top + r.bottom) / 2);
    EXPECT_EQ(l->carpeta(), raiz_ + "\\Ñandú");
    EXPECT_EQ(DirectorioActual(), raiz_ + "\\Ñandú");
    ASSERT_EQ(cambios.size(), 1u);
    EXPECT_EQ(cambios[0], raiz_ + "\\Ñandú");
    EXPECT_EQ(l->entradas().back().nombre, "Ñandú");
    EXPECT_TRUE(l->entradas().back().abierta);

    // Enter on an ancestor goes up to it.
    SetFocus(l->listBox());
    SendMessageW(l->listBox(), LB_SETCURSEL, static_cast<WPARAM>(Indice(*l, "Año 2026")), 0);
    prueba::Tecla(VK_RETURN);
    EXPECT_EQ(l->carpeta(), raiz_);
    EXPECT_EQ(DirectorioActual(), raiz_);

    // The root.
    ASSERT_TRUE(l->abreEntrada(0));
    EXPECT_EQ(l->carpeta(), raiz_.substr(0, 3));
    EXPECT_EQ(l->entradas().size(), 1 + std::count_if(l->entradas().begin(), l->entradas().end(),
                                                       [](const auto& x) { return !x.abierta; }));
}

TEST_F(Arbol, AFolderThatCannotBeOpenedChangesNothingAndSaysWhy)
{
    prueba::Ventana v;
    auto* l = ListaCarpetas::Crea(v.hwnd(), 20, 10, 10, 288, 300);
    std::string fallida;
    unsigned long codigo = 0;
    l->ponAlFallar([&](const std::string& ruta, unsigned long c) {
        fallida = ruta;
        codigo = c;
    });
    const auto antes = Nombres(*l);
    // The folder went away after the list was drawn.
    Borra(widen(raiz_ + "\\beta"));
    EXPECT_FALSE(l->abreEntrada(Indice(*l, "beta")));
    EXPECT_EQ(fallida, raiz_ + "\\beta");
    EXPECT_TRUE(codigo == ERROR_FILE_NOT_FOUND || codigo == ERROR_PATH_NOT_FOUND) << codigo;
    EXPECT_EQ(Nombres(*l), antes);
    EXPECT_EQ(DirectorioActual(), raiz_);
    EXPECT_FALSE(l->abre(raiz_ + "\\notas.csv"));
    EXPECT_EQ(l->carpeta(), raiz_);
}

TEST_F(Arbol, TheLabelShowsTheFolderShortenedToTheListsWidth)
{
    prueba::Ventana v;
    auto* l = ListaCarpetas::Crea(v.hwnd(), 20, 10, 10, 120, 200);
    HWND etiqueta = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 220, 400, 14, v.hwnd(), nullptr,
                                    nullptr, nullptr);
    l->ponEtiqueta(etiqueta);
    const std::string t = prueba::Texto(etiqueta);
    EXPECT_EQ(t.substr(0, 7), raiz_.substr(0, 3) + "...\\") << t;
    EXPECT_TRUE(t.ends_with("\\Año 2026")) << t;
    MoveWindow(l->hwnd(), 10, 10, 700, 200, TRUE);
    prueba::Bombea();
    EXPECT_EQ(prueba::Texto(etiqueta), raiz_);

    HDC dc = GetDC(etiqueta);
    EXPECT_EQ(ListaCarpetas::AbreviaRuta(dc, "C:\\uno\\dos", 1000), "C:\\uno\\dos");
    const std::string corta = ListaCarpetas::AbreviaRuta(dc, "C:\\una carpeta larga\\otra más larga\\fin", 60);
    EXPECT_EQ(corta, "C:\\...\\fin");
    ReleaseDC(etiqueta, dc);
}

TEST_F(Arbol, TheDrivePickerListsTheRealDrivesAndDrivesTheList)
{
    const auto unidades = UnidadesDeLaMaquina();
    auto tiene = [&](char letra) {
        return std::any_of(unidades.begin(), unidades.end(), [&](const Unidad& u) { return u.letra == letra; });
    };
    // Wine's drive C, and Z for the Linux root.
    ASSERT_TRUE(tiene('C'));
    ASSERT_TRUE(tiene('Z'));
    for (const Unidad& u : unidades) {
        EXPECT_EQ(u.raiz, std::string(1, u.letra) + ":\\");
        EXPECT_EQ(u.texto, TextoUnidad(u.letra, u.etiqueta));
        EXPECT_NE(u.tipo, static_cast<unsigned>(DRIVE_NO_ROOT_DIR));
    }
    EXPECT_EQ(TextoUnidad('C', "SISTEMA"), "c: [SISTEMA]");
    EXPECT_EQ(TextoUnidad('D', ""), "d:");
    EXPECT_EQ(GlifoDeUnidad(DRIVE_CDROM), Glifo::UnidadCD);
    EXPECT_EQ(GlifoDeUnidad(DRIVE_REMOTE), Glifo::UnidadRed);
    EXPECT_EQ(GlifoDeUnidad(DRIVE_FIXED), Glifo::Unidad);

    prueba::Ventana v;
    auto* l = ListaCarpetas::Crea(v.hwnd(), 20, 10, 10, 288, 200);
    auto* s = SelectorUnidades::Crea(v.hwnd(), 21, 10, 220, 137, 22);
    ASSERT_NE(s, nullptr);
    s->ponLista(l);
    const auto& lista = s->unidades();
    EXPECT_EQ(SendMessageW(s->comboBox(), CB_GETCOUNT, 0, 0), static_cast<LRESULT>(lista.size()));
    auto fila = [&](char letra) {
        for (std::size_t i = 0; i < lista.size(); ++i)
            if (lista[i].letra == letra)
                return static_cast<int>(i);
        return -1;
    };
    // The combo box's texts are the drives'.
    wchar_t texto[64];
    SendMessageW(s->comboBox(), CB_GETLBTEXT, static_cast<WPARAM>(fila('Z')), reinterpret_cast<LPARAM>(texto));
    EXPECT_EQ(narrow(texto).substr(0, 2), "z:");

    // Each drive is drawn with the picture of its kind before its text.
    const Dibujo c0 = DibujaFila(s->hwnd(), s->comboBox(), ODT_COMBOBOX, fila('C'), 137, 18);
    EXPECT_GT(c0.glifo, 50) << "the disk";
    EXPECT_GT(c0.coloreados, 2) << "its green light";
    EXPECT_LE(c0.primeraX, 4);

    // It shows the list's drive.
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(raiz_[0])));
    EXPECT_EQ(s->elegida(), fila(c));

    // Choosing Z opens its root; choosing C again comes back to the folder left there.
    SendMessageW(s->comboBox(), CB_SETCURSEL, static_cast<WPARAM>(fila('Z')), 0);
    SendMessageW(s->hwnd(), WM_COMMAND, MAKEWPARAM(1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(s->comboBox()));
    prueba::Bombea();
    EXPECT_EQ(l->carpeta(), "Z:\\");
    EXPECT_EQ(DirectorioActual(), "Z:\\");
    EXPECT_EQ(s->elegida(), fila('Z'));
    s->elige(fila(c));
    EXPECT_EQ(l->carpeta(), raiz_);

    // The list moving onto another drive moves the picker.
    ASSERT_TRUE(l->abre("Z:\\tmp"));
    EXPECT_EQ(s->elegida(), fila('Z'));
    ASSERT_TRUE(l->abre(raiz_ + "\\Alfa"));
    EXPECT_EQ(s->elegida(), fila(c));
}
