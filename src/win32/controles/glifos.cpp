#include "win32/controles/glifos.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace controles {

namespace {

// Drawn this many times larger, then averaged down: GDI draws no smooth edges by itself.
constexpr int kSobremuestreo = 4;
// What stays of the background: a colour no drawing uses.
constexpr COLORREF kFondo = RGB(255, 0, 254);

struct Punto {
    double x, y;
};

// GDI on a large DIB, in the 16 by 16 grid of the drawings.
class Lienzo {
public:
    Lienzo(HDC dc, double escala) : dc_(dc), escala_(escala) {}

    POINT P(double x, double y) const { return {std::lround(x * escala_), std::lround(y * escala_)}; }
    int L(double v) const { return static_cast<int>(std::lround(v * escala_)); }

    void Relleno(std::initializer_list<Punto> puntos, COLORREF color) const
    {
        std::vector<POINT> p;
        for (const Punto& q : puntos)
            p.push_back(P(q.x, q.y));
        HBRUSH pincel = CreateSolidBrush(color);
        HGDIOBJ viejoPincel = SelectObject(dc_, pincel);
        HGDIOBJ viejaPluma = SelectObject(dc_, GetStockObject(NULL_PEN));
        Polygon(dc_, p.data(), static_cast<int>(p.size()));
        SelectObject(dc_, viejaPluma);
        SelectObject(dc_, viejoPincel);
        DeleteObject(pincel);
    }

    // A polygon filled and outlined.
    void Poligono(std::initializer_list<Punto> puntos, COLORREF relleno, COLORREF borde, double ancho) const
    {
        std::vector<POINT> p;
        for (const Punto& q : puntos)
            p.push_back(P(q.x, q.y));
        HBRUSH pincel = CreateSolidBrush(relleno);
        HPEN pluma = Pluma(borde, ancho, false);
        HGDIOBJ viejoPincel = SelectObject(dc_, pincel);
        HGDIOBJ viejaPluma = SelectObject(dc_, pluma);
        Polygon(dc_, p.data(), static_cast<int>(p.size()));
        SelectObject(dc_, viejaPluma);
        SelectObject(dc_, viejoPincel);
        DeleteObject(pluma);
        DeleteObject(pincel);
    }

    void Linea(std::initializer_list<Punto> puntos, COLORREF color, double ancho, bool redonda = true) const
    {
        std::vector<POINT> p;
        for (const Punto& q : puntos)
            p.push_back(P(q.x, q.y));
        HPEN pluma = Pluma(color, ancho, redonda);
        HGDIOBJ vieja = SelectObject(dc_, pluma);
        Polyline(dc_, p.data(), static_cast<int>(p.size()));
        SelectObject(dc_, vieja);
        DeleteObject(pluma);
    }

    void Rectangulo(double x, double y, double ancho, double alto, COLORREF color) const
    {
        RECT r{L(x), L(y), L(x + ancho), L(y + alto)};
        HBRUSH pincel = CreateSolidBrush(color);
        FillRect(dc_, &r, pincel);
        DeleteObject(pincel);
    }

    void Elipse(double x, double y, double ancho, double alto, COLORREF color) const
    {
        HBRUSH pincel = CreateSolidBrush(color);
        HGDIOBJ viejoPincel = SelectObject(dc_, pincel);
        HGDIOBJ viejaPluma = SelectObject(dc_, GetStockObject(NULL_PEN));
        Ellipse(dc_, L(x), L(y), L(x + ancho), L(y + alto));
        SelectObject(dc_, viejaPluma);
        SelectObject(dc_, viejoPincel);
        DeleteObject(pincel);
    }

    // An arc of the circle in the box, from `desde` degrees turning `giro` degrees
    // anticlockwise, 0 degrees pointing right.
    void Arco(double x, double y, double lado, double desde, double giro, COLORREF color, double ancho) const
    {
        const double cx = x + lado / 2, cy = y + lado / 2, r = lado / 2;
        const double pi = 3.14159265358979323846;
        const double a = desde * pi / 180, b = (desde + giro) * pi / 180;
        HPEN pluma = Pluma(color, ancho, false);
        HGDIOBJ vieja = SelectObject(dc_, pluma);
        SetArcDirection(dc_, AD_COUNTERCLOCKWISE);
        const POINT p1 = P(cx + r * std::cos(a), cy - r * std::sin(a));
        const POINT p2 = P(cx + r * std::cos(b), cy - r * std::sin(b));
        Arc(dc_, L(x), L(y), L(x + lado), L(y + lado), p1.x, p1.y, p2.x, p2.y);
        SelectObject(dc_, vieja);
        DeleteObject(pluma);
    }

    void Texto(const wchar_t* texto, double x, double y, double ancho, double alto, double pixeles, COLORREF color) const
    {
        HFONT f = CreateFontW(-L(pixeles), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
        HGDIOBJ vieja = SelectObject(dc_, f);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, color);
        RECT r{L(x), L(y), L(x + ancho), L(y + alto)};
        DrawTextW(dc_, texto, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc_, vieja);
        DeleteObject(f);
    }

private:
    HPEN Pluma(COLORREF color, double ancho, bool redonda) const
    {
        LOGBRUSH lb{BS_SOLID, color, 0};
        const DWORD estilo = PS_GEOMETRIC | PS_SOLID |
                             (redonda ? PS_ENDCAP_ROUND | PS_JOIN_ROUND : PS_ENDCAP_FLAT | PS_JOIN_MITER);
        return ExtCreatePen(estilo, std::max(1, L(ancho)), &lb, 0, nullptr);
    }

    HDC dc_;
    double escala_;
};

void Triangulo(const Lienzo& l, double x, double y, double ancho, double alto, bool izquierda, COLORREF c)
{
    if (izquierda)
        l.Relleno({{x + ancho, y}, {x, y + alto / 2}, {x + ancho, y + alto}}, c);
    else
        l.Relleno({{x, y}, {x + ancho, y + alto / 2}, {x, y + alto}}, c);
}

void Dibuja(const Lienzo& l, Glifo g, bool apagado)
{
    const COLORREF gris = RGB(160, 160, 160);
    const COLORREF tinta = apagado ? gris : RGB(0, 0, 0);
    auto color = [&](COLORREF c) { return apagado ? gris : c; };
    const COLORREF verde = color(RGB(0, 128, 0));
    switch (g) {
    case Glifo::Ninguno:
        break;
    case Glifo::Aceptar:
        l.Linea({{2.5, 8.5}, {6.2, 12.2}, {13.5, 3.5}}, verde, 2.6);
        break;
    case Glifo::Salir: {
        // Door frame, the door swung open, and an arrow going out.
        const COLORREF marco = color(RGB(96, 64, 32));
        l.Poligono({{6.5, 1.5}, {14.5, 1.5}, {14.5, 14.5}, {6.5, 14.5}}, apagado ? RGB(220, 220, 220) : RGB(255, 255, 210),
                   marco, 1.2);
        l.Poligono({{6.5, 1.5}, {10.5, 3.0}, {10.5, 16.0}, {6.5, 14.5}}, apagado ? RGB(180, 180, 180) : RGB(170, 110, 50),
                   marco, 1.2);
        l.Linea({{1.0, 8.0}, {5.5, 8.0}}, verde, 1.8);
        l.Linea({{3.0, 5.8}, {0.8, 8.0}, {3.0, 10.2}}, verde, 1.8);
        break;
    }
    case Glifo::Continuar:
        l.Relleno({{2, 6}, {8, 6}, {8, 2.5}, {14, 8}, {8, 13.5}, {8, 10}, {2, 10}}, color(RGB(0, 96, 192)));
        break;
    case Glifo::Primero:
        l.Rectangulo(4, 4, 1.6, 8, tinta);
        Triangulo(l, 6, 4, 5, 8, true, tinta);
        break;
    case Glifo::Anterior10:
        Triangulo(l, 2.5, 4, 5, 8, true, tinta);
        Triangulo(l, 7.5, 4, 5, 8, true, tinta);
        break;
    case Glifo::Anterior:
        Triangulo(l, 5.5, 4, 5, 8, true, tinta);
        break;
    case Glifo::Siguiente:
        Triangulo(l, 5.5, 4, 5, 8, false, tinta);
        break;
    case Glifo::Siguiente10:
        Triangulo(l, 3.5, 4, 5, 8, false, tinta);
        Triangulo(l, 8.5, 4, 5, 8, false, tinta);
        break;
    case Glifo::Ultimo:
        Triangulo(l, 5, 4, 5, 8, false, tinta);
        l.Rectangulo(10.4, 4, 1.6, 8, tinta);
        break;
    case Glifo::Editar:
        l.Relleno({{3.5, 11}, {8, 5}, {12.5, 11}}, tinta);
        break;
    case Glifo::Confirmar:
        l.Linea({{3.5, 8.5}, {6.5, 11.5}, {12.5, 4.5}}, verde, 2.2);
        break;
    case Glifo::Cancelar:
        l.Linea({{4.5, 4.5}, {11.5, 11.5}}, color(RGB(192, 0, 0)), 2.2);
        l.Linea({{11.5, 4.5}, {4.5, 11.5}}, color(RGB(192, 0, 0)), 2.2);
        break;
    case Glifo::Refrescar: {
        const COLORREF c = color(RGB(0, 0, 128));
        l.Arco(3.5, 3.5, 9, 60, 270, c, 1.6);
        l.Relleno({{9.2, 1.6}, {13.2, 4.4}, {8.8, 6.6}}, c);
        break;
    }
    case Glifo::Ayuda:
        l.Elipse(1.5, 1.5, 13, 13, color(RGB(0, 80, 170)));
        l.Texto(L"?", 1.5, 1.5, 13, 13, 11, RGB(255, 255, 255));
        break;
    case Glifo::CarpetaCerrada:
    case Glifo::CarpetaAbierta: {
        const COLORREF borde = RGB(160, 120, 20);
        l.Poligono({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}}, RGB(236, 196, 80), borde, 0.9);
        if (g == Glifo::CarpetaAbierta)
            l.Poligono({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}, RGB(255, 226, 120), borde, 0.9);
        else
            l.Poligono({{1.5, 6.5}, {14.5, 6.5}, {14.5, 13.5}, {1.5, 13.5}}, RGB(255, 226, 120), borde, 0.9);
        break;
    }
    case Glifo::Unidad:
        l.Poligono({{1.5, 5.5}, {14.5, 5.5}, {14.5, 11.5}, {1.5, 11.5}}, RGB(214, 214, 214), RGB(90, 90, 90), 0.9);
        l.Rectangulo(11, 8, 2, 1.5, RGB(0, 170, 0));
        break;
    case Glifo::UnidadExtraible:
        l.Poligono({{2.5, 4.5}, {13.5, 4.5}, {13.5, 12.5}, {2.5, 12.5}}, RGB(214, 214, 214), RGB(90, 90, 90), 0.9);
        l.Rectangulo(4.5, 6.5, 7, 1.5, RGB(60, 60, 60));
        l.Rectangulo(11, 10, 1.5, 1.5, RGB(0, 170, 0));
        break;
    case Glifo::UnidadCD:
        l.Elipse(1.5, 1.5, 13, 13, RGB(120, 120, 130));
        l.Elipse(2.3, 2.3, 11.4, 11.4, RGB(210, 215, 230));
        l.Elipse(6, 6, 4, 4, RGB(120, 120, 130));
        l.Elipse(6.8, 6.8, 2.4, 2.4, RGB(255, 255, 255));
        break;
    case Glifo::UnidadRed:
        l.Poligono({{1.5, 2.5}, {14.5, 2.5}, {14.5, 8.5}, {1.5, 8.5}}, RGB(214, 214, 214), RGB(90, 90, 90), 0.9);
        l.Rectangulo(11, 5, 2, 1.5, RGB(0, 170, 0));
        l.Linea({{8, 8.5}, {8, 13}}, RGB(40, 40, 40), 1.2, false);
        l.Linea({{2, 13}, {14, 13}}, RGB(40, 40, 40), 1.2, false);
        break;
    }
}

// A top-down 32-bit DIB section and its bits.
HBITMAP CreaDib(int ancho, int alto, std::uint32_t** bits)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = ancho;
    bi.bmiHeader.biHeight = -alto;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = static_cast<std::uint32_t*>(p);
    return b;
}

}  // namespace

HBITMAP MapaGlifo(Glifo glifo, int lado, bool apagado)
{
    lado = std::max(1, lado);
    const int grande = lado * kSobremuestreo;
    std::uint32_t* bitsGrande = nullptr;
    HBITMAP dibGrande = CreaDib(grande, grande, &bitsGrande);
    std::uint32_t* bits = nullptr;
    HBITMAP dib = CreaDib(lado, lado, &bits);
    if (!dibGrande || !dib) {
        if (dibGrande)
            DeleteObject(dibGrande);
        if (dib)
            DeleteObject(dib);
        return nullptr;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ viejo = SelectObject(dc, dibGrande);
    RECT todo{0, 0, grande, grande};
    HBRUSH fondo = CreateSolidBrush(kFondo);
    FillRect(dc, &todo, fondo);
    DeleteObject(fondo);
    Dibuja(Lienzo(dc, grande / 16.0), glifo, apagado);
    GdiFlush();
    SelectObject(dc, viejo);
    DeleteDC(dc);

    // Each pixel: the share of its block that was drawn on, in the drawn pixels' mean colour.
    const std::uint32_t clave = (GetRValue(kFondo) << 16) | (GetGValue(kFondo) << 8) | GetBValue(kFondo);
    const int n = kSobremuestreo * kSobremuestreo;
    for (int y = 0; y < lado; ++y) {
        for (int x = 0; x < lado; ++x) {
            int r = 0, g = 0, b = 0, cubiertos = 0;
            for (int j = 0; j < kSobremuestreo; ++j) {
                for (int i = 0; i < kSobremuestreo; ++i) {
                    const std::uint32_t p =
                        bitsGrande[(y * kSobremuestreo + j) * grande + x * kSobremuestreo + i] & 0xFFFFFFu;
                    if (p == clave)
                        continue;
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    ++cubiertos;
                }
            }
            // Premultiplied: the mean colour times the coverage is the sum over the block.
            const std::uint32_t a = static_cast<std::uint32_t>(cubiertos * 255 / n);
            bits[y * lado + x] = (a << 24) | (static_cast<std::uint32_t>(r / n) << 16) |
                                 (static_cast<std::uint32_t>(g / n) << 8) | static_cast<std::uint32_t>(b / n);
        }
    }
    DeleteObject(dibGrande);
    return dib;
}

HICON IconoGlifo(Glifo glifo, int lado, bool apagado)
{
    HBITMAP color = MapaGlifo(glifo, lado, apagado);
    if (!color)
        return nullptr;
    // The mask is unused for a 32-bit colour bitmap with alpha, but must be given.
    HBITMAP mascara = CreateBitmap(lado, lado, 1, 1, nullptr);
    ICONINFO ii{TRUE, 0, 0, mascara, color};
    HICON icono = CreateIconIndirect(&ii);
    DeleteObject(mascara);
    DeleteObject(color);
    return icono;
}

HIMAGELIST ListaDeBoton(Glifo glifo, int lado)
{
    HIMAGELIST lista = ImageList_Create(lado, lado, ILC_COLOR32, 6, 0);
    if (!lista)
        return nullptr;
    HBITMAP normal = MapaGlifo(glifo, lado, false);
    HBITMAP apagado = MapaGlifo(glifo, lado, true);
    // normal, hot, pressed, disabled, default, stylus hot
    for (HBITMAP b : {normal, normal, normal, apagado, normal, normal})
        ImageList_Add(lista, b, nullptr);
    DeleteObject(normal);
    DeleteObject(apagado);
    return lista;
}

}  // namespace controles
