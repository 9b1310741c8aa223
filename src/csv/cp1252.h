// Conversion of UTF-16 code units to Windows-1252 bytes, as Windows converts them for code
// page 1252 with no flags: exact characters, best-fit look-alikes, and "?" for the rest; and
// the case folding of Windows-1252 letters.
#pragma once

#include <array>

namespace csv {

// The Windows-1252 byte for every UTF-16 code unit, indexed by the unit.
extern const std::array<unsigned char, 65536> kUnidadACp1252;

inline unsigned char UnidadACp1252(char16_t unidad)
{
    return kUnidadACp1252[unidad];
}

// The lower case of a Windows-1252 byte, as Windows' ANSI comparisons fold letters: A-Z, the
// accented capitals (not the multiplication sign) and the four capitals above 0x80.
inline unsigned char MinusculaCp1252(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return c;
    }
}

}  // namespace csv
