#include "win32/controles/panel_degradado.h"

#include "win32/controles/colores.h"

namespace controles {

namespace {

const wchar_t kClase[] = L"TOZPanelDegradado";

TRIVERTEX Vertice(int x, int y, COLORREF c)
{
    TRIVERTEX v{};
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(c) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(c) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(c) << 8);
    return v;
}

}  // namespace

PanelDegradado* PanelDegradado::Crea(HWND padre, int id, int x, int y, int ancho, int alto)
{
    auto* panel = new PanelDegradado;
    if (!CreaVentana(panel, kClase, padre, id, x, y, ancho, alto, WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT))
        return nullptr;
    return panel;
}

PanelDegradado* PanelDegradado::De(HWND hwnd)
{
    return dynamic_cast<PanelDegradado*>(Control::De(hwnd));
}

void PanelDegradado::ponColores(std::uint32_t inicio, std::uint32_t medio, std::uint32_t fin)
{
    colores_[0] = inicio;
    colores_[1] = medio;
    colores_[2] = fin;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void PanelDegradado::ponBiselado(bool biselado)
{
    biselado_ = biselado;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void PanelDegradado::ponColorTexto(HWND etiqueta, std::uint32_t color)
{
    coloresTexto_[etiqueta] = color;
    InvalidateRect(etiqueta, nullptr, TRUE);
}

COLORREF PanelDegradado::colorEn(double altura) const
{
    if (altura <= 0.5)
        return Mezcla(ColorWindows(colores_[0]), ColorWindows(colores_[1]), altura * 2);
    return Mezcla(ColorWindows(colores_[1]), ColorWindows(colores_[2]), (altura - 0.5) * 2);
}

void PanelDegradado::Pinta(HDC dc) const
{
    RECT r;
    GetClientRect(hwnd(), &r);
    const int medio = r.top + (r.bottom - r.top) / 2;
    TRIVERTEX v[4] = {Vertice(r.left, r.top, ColorWindows(colores_[0])), Vertice(r.right, medio, ColorWindows(colores_[1])),
                      Vertice(r.left, medio, ColorWindows(colores_[1])),
                      Vertice(r.right, r.bottom, ColorWindows(colores_[2]))};
    GRADIENT_RECT rectangulos[2] = {{0, 1}, {2, 3}};
    GradientFill(dc, v, 4, rectangulos, 2, GRADIENT_FILL_RECT_V);
    if (biselado_) {
        RECT b = r;
        DrawEdge(dc, &b, BDR_RAISEDINNER, BF_RECT);
    }
}

LRESULT PanelDegradado::Procesa(UINT mensaje, WPARAM w, LPARAM l)
{
    switch (mensaje) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        Pinta(dc);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        // Themed buttons and other controls draw the panel behind them through this.
        Pinta(reinterpret_cast<HDC>(w));
        return 0;
    case WM_SIZE:
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Labels and check boxes show the shading through them.
        HDC dc = reinterpret_cast<HDC>(w);
        HWND hija = reinterpret_cast<HWND>(l);
        SetBkMode(dc, TRANSPARENT);
        const auto c = coloresTexto_.find(hija);
        SetTextColor(dc, ColorWindows(c != coloresTexto_.end() ? c->second : 0x80000012));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return SendMessageW(GetParent(hwnd()), mensaje, w, l);
    case WM_PARENTNOTIFY:
        if (LOWORD(w) == WM_DESTROY)
            coloresTexto_.erase(reinterpret_cast<HWND>(l));
        break;
    }
    return Control::Procesa(mensaje, w, l);
}

}  // namespace controles
