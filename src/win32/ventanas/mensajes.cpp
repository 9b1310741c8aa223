#include "win32/ventanas/mensajes.h"

#include "win32/ventanas/identificadores.h"

#include <cwchar>

namespace ventanas {

namespace {

bool espera = false;

bool EsPropia(HWND hwnd)
{
    wchar_t clase[64];
    if (!GetClassNameW(hwnd, clase, 64))
        return false;
    return std::wcscmp(clase, kClasePrincipal) == 0 || std::wcscmp(clase, kClasePlantilla) == 0;
}

}  // namespace

void PonCursorEspera(bool e)
{
    espera = e;
    SetCursor(LoadCursorW(nullptr, e ? IDC_WAIT : IDC_ARROW));
}

bool CursorEnEspera()
{
    return espera;
}

bool AplicaCursorEspera()
{
    if (!espera)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

HWND VentanaPropia(HWND hwnd)
{
    // Walking up the parents stops at ours: embedded, the main window's parent is the host's.
    for (; hwnd; hwnd = GetParent(hwnd)) {
        if (EsPropia(hwnd))
            return hwnd;
    }
    return nullptr;
}

void ProcesaMensaje(MSG& m)
{
    HWND propia = VentanaPropia(m.hwnd);
    if (propia && m.message == WM_KEYDOWN && m.wParam == VK_F1) {
        SendMessageW(propia, kMensajeF1, reinterpret_cast<WPARAM>(m.hwnd), 0);
        return;
    }
    if (propia && IsDialogMessageW(propia, &m))
        return;
    TranslateMessage(&m);
    DispatchMessageW(&m);
}

}  // namespace ventanas
