// What both windows share in their message loops: the hourglass while a run lasts, F1 handed to
// the window it was pressed in, and the dialog keys (Tab, Enter, Esc) of our own window even
// when it lives inside another program's window.
#pragma once

#include <windows.h>

namespace ventanas {

// Sent to one of our windows for F1; wParam is the window that had the focus.
inline constexpr UINT kMensajeF1 = WM_APP + 20;

void PonCursorEspera(bool espera);
bool CursorEnEspera();
// For WM_SETCURSOR: true when the hourglass was set and the message is done with.
bool AplicaCursorEspera();

// The window of ours (main or template window) that holds `hwnd`; null for none.
HWND VentanaPropia(HWND hwnd);

// A message of the loop: F1 goes to the window it was pressed in, dialog keys are handled for
// that window, anything else is translated and dispatched.
void ProcesaMensaje(MSG& m);

}  // namespace ventanas
