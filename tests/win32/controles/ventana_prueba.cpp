#include "ventana_prueba.h"

#include "files/win32.h"

#include <commctrl.h>

namespace prueba {

Ventana::Ventana(int ancho, int alto)
{
    static bool registrada = false;
    if (!registrada) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Ventana::Procedimiento;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"TOZVentanaPrueba";
        RegisterClassExW(&wc);
        registrada = true;
    }
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, L"TOZVentanaPrueba", L"prueba", WS_OVERLAPPEDWINDOW, 0, 0, ancho, alto,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) {
        ADD_FAILURE() << "No window could be created (error " << GetLastError()
                      << "): Wine needs an X display; scripts/windows-tests runs the tests under xvfb-run";
        return;
    }
    // Left hidden: the controls get the same messages, and Wine without a window manager waits
    // two seconds for each shown window to go away. Focus and keys work as in a shown one.
    SetForegroundWindow(hwnd_);
    Bombea();
}

Ventana::~Ventana()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
    Bombea();
}

LRESULT CALLBACK Ventana::Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l)
{
    if (mensaje == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
    auto* yo = reinterpret_cast<Ventana*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (mensaje == WM_COMMAND && yo)
        yo->comandos_.emplace_back(LOWORD(w), HIWORD(w));
    return DefWindowProcW(hwnd, mensaje, w, l);
}

void Bombea()
{
    MSG m;
    for (int vueltas = 0; vueltas < 1000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++vueltas) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

void Tecla(WORD vk)
{
    HWND foco = GetFocus();
    SendMessageW(foco, WM_KEYDOWN, vk, 1);
    SendMessageW(foco, WM_KEYUP, vk, 0xC0000001);
    Bombea();
}

void TeclaCon(WORD modificador, WORD vk)
{
    BYTE estado[256];
    GetKeyboardState(estado);
    const BYTE antes = estado[modificador];
    estado[modificador] = 0x80;
    SetKeyboardState(estado);
    Tecla(vk);
    GetKeyboardState(estado);
    estado[modificador] = antes;
    SetKeyboardState(estado);
}

void Escribe(const std::wstring& texto)
{
    for (wchar_t c : texto) {
        SendMessageW(GetFocus(), WM_CHAR, c, 1);
        Bombea();
    }
}

void Clic(HWND hwnd, int x, int y)
{
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Bombea();
}

void DobleClic(HWND hwnd, int x, int y)
{
    Clic(hwnd, x, y);
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Bombea();
}

std::string Texto(HWND hwnd)
{
    const int largo = GetWindowTextLengthW(hwnd);
    std::wstring t(static_cast<std::size_t>(largo) + 1, L'\0');
    GetWindowTextW(hwnd, t.data(), largo + 1);
    t.resize(static_cast<std::size_t>(largo));
    return files::win32::narrow(t);
}

}  // namespace prueba
