// A top-level window of the test's own (hidden) to put a control in, and the messages a user's keys
// and clicks would send. Every test pumps the thread's messages as the program's loop would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace prueba {

class Ventana {
public:
    Ventana(int ancho = 800, int alto = 600);
    ~Ventana();
    HWND hwnd() const { return hwnd_; }
    // The WM_COMMAND messages that reached the window: control id and notification code.
    const std::vector<std::pair<int, int>>& comandos() const { return comandos_; }

private:
    static LRESULT CALLBACK Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l);
    HWND hwnd_ = nullptr;
    std::vector<std::pair<int, int>> comandos_;
};

// Dispatches the thread's pending messages (posted ones, timers, paints).
void Bombea();
// A key pressed and released where the focus is, through WM_KEYDOWN.
void Tecla(WORD vk);
// The same with Ctrl or Shift held (as GetKeyState sees it).
void TeclaCon(WORD modificador, WORD vk);
// Characters typed where the focus is, one WM_CHAR each, the focus followed after each one.
void Escribe(const std::wstring& texto);
// A click, or a double-click, at a point of a window's client area.
void Clic(HWND hwnd, int x, int y);
void DobleClic(HWND hwnd, int x, int y);
// A window's text as UTF-8.
std::string Texto(HWND hwnd);

}  // namespace prueba
