// Push buttons with a glyph beside their text (the forms' BitBtns): Windows' own button,
// themed, with the glyph given through an image list, greyed when the button is disabled.
#pragma once

#include "win32/controles/glifos.h"

#include <windows.h>

#include <string>

namespace controles {

// A visible push button; `texto` is UTF-8 and may hold a "&" before its access key. Without
// a glyph (`conGlifo` false) it is a plain button.
HWND CreaBoton(HWND padre, int id, int x, int y, int ancho, int alto, const std::string& texto, bool conGlifo,
               Glifo glifo = Glifo::Aceptar);

// Gives a button made by CreaBoton its glyph, or a new one; the old image list goes.
void PonGlifo(HWND boton, Glifo glifo);

}  // namespace controles
