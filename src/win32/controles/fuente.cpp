#include "win32/controles/fuente.h"

#include <map>
#include <mutex>
#include <utility>

namespace controles {

UINT DpiDe(HWND hwnd)
{
    // GetDpiForWindow exists from Windows 10 on; older systems have one DPI for every screen.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && hwnd) {
        if (const UINT dpi = getDpiForWindow(hwnd))
            return dpi;
    }
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

int Escala(int pixeles, UINT dpi)
{
    return MulDiv(pixeles, static_cast<int>(dpi), 96);
}

HFONT FuenteMsSansSerif(UINT dpi, bool negrita)
{
    static std::mutex cerrojo;
    static std::map<std::pair<UINT, bool>, HFONT> fuentes;
    const std::lock_guard<std::mutex> guarda(cerrojo);
    HFONT& f = fuentes[{dpi, negrita}];
    if (!f) {
        f = CreateFontW(-MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, negrita ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                        FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
        if (!f)
            f = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return f;
}

void PonFuente(HWND hwnd)
{
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FuenteMsSansSerif(DpiDe(hwnd))), TRUE);
}

}  // namespace controles
