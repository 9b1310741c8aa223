// Small text helpers for cleaning CSV field values and forming codes from names. They work on
// 8-bit texts, byte by byte; the only blank they know is the space (code 32): tabs and the
// non-breaking space are ordinary characters. None of them fails.
#pragma once

#include <string>
#include <string_view>

namespace csv {

// The text without the spaces at its end.
std::string QuitaBlancosDerecha(std::string_view texto);

// The text without the spaces at its start.
std::string QuitaBlancosIzquierda(std::string_view texto);

// The text without the spaces at its start and end; inner spaces stay.
std::string QuitaBlancos(std::string_view texto);

// Only the ASCII capitals A to Z of the text, in order (accented capitals are dropped).
std::string SoloMayusculas(std::string_view texto);

// The character after each space of the text, in order, whatever it is; the first character is
// never taken and a space at the end gives nothing.
std::string InicialesTrasBlanco(std::string_view texto);

}  // namespace csv
