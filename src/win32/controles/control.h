// The base of our window classes: registers a class once, creates the window with the C++
// object that drives it, and hands every message to that object until the window is gone.
// The object belongs to its window and is deleted with it.
#pragma once

#include <windows.h>

namespace controles {

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND hwnd() const { return hwnd_; }

    // The object of one of our windows, or null for any other window.
    static Control* De(HWND hwnd);

protected:
    Control() = default;
    virtual ~Control() = default;

    // Creates the window of class `clase` (registered on first use) as a child of `padre`, at
    // (x, y) of its client area, and attaches `objeto` to it. On failure the object is deleted
    // and null comes back.
    static HWND CreaVentana(Control* objeto, const wchar_t* clase, HWND padre, int id, int x, int y, int ancho,
                            int alto, DWORD estilo, DWORD estiloExtendido = 0);

    // A message for this window; the default is DefWindowProcW.
    virtual LRESULT Procesa(UINT mensaje, WPARAM w, LPARAM l);

private:
    static LRESULT CALLBACK Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l);

    HWND hwnd_ = nullptr;
};

}  // namespace controles
