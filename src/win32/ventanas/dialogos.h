// The program's message boxes, titled with the application title: a fixed message with one
// button "Aceptar", the error box with the error icon and OK, and a question with "Aceptar" and
// "Cancelar". Texts are Windows-1252, as the windows' behaviour gives them.
#pragma once

#include <windows.h>

#include <string>

namespace ventanas {

inline constexpr wchar_t kTituloAplicacion[] = L"TransOrbelosZARECSV";

void Mensaje(HWND dueno, const std::string& texto);
void Error(HWND dueno, const std::string& texto);
bool Pregunta(HWND dueno, const std::string& texto);

// The system's text of a Windows error code, without its line end, in Windows-1252.
std::string TextoDelSistema(DWORD codigo);

}  // namespace ventanas
