// The forms' font, "MS Sans Serif" 8 points, for every control, at the DPI of the monitor a
// window is on; and the pixel sizes of the 96-DPI forms scaled to that DPI.
#pragma once

#include <windows.h>

namespace controles {

// The DPI of the monitor a window is on (GetDpiForWindow where Windows has it), else the
// screen's.
UINT DpiDe(HWND hwnd);

// A size given for 96 DPI, at `dpi`.
int Escala(int pixeles, UINT dpi);

// "MS Sans Serif" 8 points at `dpi`, bold or not. The font is kept for the whole run and must
// not be deleted.
HFONT FuenteMsSansSerif(UINT dpi, bool negrita = false);

// Sets a window's font (WM_SETFONT) to the forms' font at its DPI.
void PonFuente(HWND hwnd);

}  // namespace controles
