// The one place the windows ask for help: "ZARE.CHM", its contents (contexto 0) or a context,
// for the window `llamante` (the modal one when one is open).
#pragma once

#include <windows.h>

#include <string>

namespace ventanas {

void PideAyuda(HWND llamante, const std::string& archivo, int contexto);

}  // namespace ventanas
