#include "win32/ventanas/etiqueta.h"

#include "files/win32.h"
#include "win32/controles/colores.h"

#include <commctrl.h>

namespace ventanas {

namespace {

constexpr UINT_PTR kSubclase = 0x544F5A45;

std::wstring TextoDe(HWND hwnd)
{
    const int largo = GetWindowTextLengthW(hwnd);
    std::wstring t(static_cast<std::size_t>(largo) + 1, L'\0');
    GetWindowTextW(hwnd, t.data(), largo + 1);
    t.resize(static_cast<std::size_t>(largo));
    return t;
}

UINT Formato(const EstiloEtiqueta& e)
{
    UINT f = DT_NOPREFIX | (e.centrado ? DT_CENTER : DT_LEFT);
    f |= e.ajustaLineas ? DT_WORDBREAK : DT_SINGLELINE;
    return f;
}

// The panel under a transparent label drawn again, then the label over it.
void RedibujaConFondo(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    HWND padre = GetParent(hwnd);
    MapWindowPoints(nullptr, padre, reinterpret_cast<POINT*>(&r), 2);
    RedrawWindow(padre, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK ProcEtiqueta(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR datos)
{
    auto* estilo = reinterpret_cast<EstiloEtiqueta*>(datos);
    switch (mensaje) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        if (estilo->fondo != 0xFFFFFFFFu) {
            HBRUSH b = CreateSolidBrush(controles::ColorWindows(estilo->fondo));
            FillRect(dc, &r, b);
            DeleteObject(b);
        }
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, controles::ColorWindows(estilo->colorTexto));
        HGDIOBJ vieja = SelectObject(dc, estilo->fuente);
        std::wstring texto = TextoDe(hwnd);
        DrawTextW(dc, texto.c_str(), static_cast<int>(texto.size()), &r, Formato(*estilo));
        SelectObject(dc, vieja);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT r = DefSubclassProc(hwnd, mensaje, w, l);
        if (estilo->fondo == 0xFFFFFFFFu)
            RedibujaConFondo(hwnd);
        else
            InvalidateRect(hwnd, nullptr, FALSE);
        return r;
    }
    case WM_SHOWWINDOW:
        if (!w && estilo->fondo == 0xFFFFFFFFu)
            RedibujaConFondo(hwnd);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &ProcEtiqueta, kSubclase);
        delete estilo;
        break;
    }
    return DefSubclassProc(hwnd, mensaje, w, l);
}

}  // namespace

HWND CreaEtiqueta(HWND padre, int id, int x, int y, int ancho, int alto, const std::string& texto,
                  const EstiloEtiqueta& estilo)
{
    HWND e = CreateWindowExW(WS_EX_TRANSPARENT, WC_STATICW, files::win32::widen(texto).c_str(),
                             WS_CHILD | SS_LEFT | SS_NOPREFIX, x, y, ancho, alto, padre,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!e)
        return nullptr;
    SendMessageW(e, WM_SETFONT, reinterpret_cast<WPARAM>(estilo.fuente), FALSE);
    SetWindowSubclass(e, &ProcEtiqueta, kSubclase, reinterpret_cast<DWORD_PTR>(new EstiloEtiqueta(estilo)));
    return e;
}

void AjustaAlTexto(HWND etiqueta)
{
    HDC dc = GetDC(etiqueta);
    HGDIOBJ vieja = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(etiqueta, WM_GETFONT, 0, 0)));
    std::wstring texto = TextoDe(etiqueta);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, texto.c_str(), static_cast<int>(texto.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, vieja);
    ReleaseDC(etiqueta, dc);
    SetWindowPos(etiqueta, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ventanas
