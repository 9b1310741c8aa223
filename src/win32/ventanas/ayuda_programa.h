// The one place the windows ask for help: "ZARE.CHM" through the HTML Help viewer
// (win32/ayuda.h), its contents (contexto 0) or a help context, for the window `llamante` (the
// modal one when one is open, so the help window takes input while it is open).
#pragma once

#include <windows.h>

#include <string>

namespace ventanas {

// Loads the viewer; the program does it as it starts.
void PreparaAyuda();

// `archivo` is the application help file (Windows-1252); a help file that is missing, or a
// viewer that is, is said in the error box.
void PideAyuda(HWND llamante, const std::string& archivo, int contexto);

}  // namespace ventanas
