#include "win32/controles/control.h"

namespace controles {

namespace {

// Marks our windows, so that De() never takes another window's user data for an object.
const wchar_t kPropiedad[] = L"TransOrbelinZARE.Control";

// The object being created, until its window's WM_NCCREATE takes it.
thread_local Control* pendiente = nullptr;

}  // namespace

Control* Control::De(HWND hwnd)
{
    return hwnd ? static_cast<Control*>(GetPropW(hwnd, kPropiedad)) : nullptr;
}

HWND Control::CreaVentana(Control* objeto, const wchar_t* clase, HWND padre, int id, int x, int y, int ancho,
                          int alto, DWORD estilo, DWORD estiloExtendido)
{
    HINSTANCE instancia = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(instancia, clase, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &Control::Procedimiento;
        wc.hInstance = instancia;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = clase;
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            delete objeto;
            return nullptr;
        }
    }
    pendiente = objeto;
    HWND hwnd = CreateWindowExW(estiloExtendido, clase, L"", estilo | WS_CHILD, x, y, ancho, alto, padre,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instancia, objeto);
    if (!hwnd) {
        // Without WM_NCCREATE the object is ours to delete; after it, WM_NCDESTROY deleted it.
        if (pendiente == objeto)
            delete objeto;
        pendiente = nullptr;
        return nullptr;
    }
    return hwnd;
}

LRESULT Control::Procesa(UINT mensaje, WPARAM w, LPARAM l)
{
    return DefWindowProcW(hwnd_, mensaje, w, l);
}

LRESULT CALLBACK Control::Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l)
{
    Control* objeto = De(hwnd);
    if (mensaje == WM_NCCREATE) {
        objeto = static_cast<Control*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        objeto->hwnd_ = hwnd;
        pendiente = nullptr;
        SetPropW(hwnd, kPropiedad, objeto);
    }
    if (!objeto)
        return DefWindowProcW(hwnd, mensaje, w, l);
    const LRESULT r = objeto->Procesa(mensaje, w, l);
    if (mensaje == WM_NCDESTROY) {
        RemovePropW(hwnd, kPropiedad);
        delete objeto;
    }
    return r;
}

}  // namespace controles
