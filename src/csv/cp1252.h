// Conversion of UTF-16 code units to Windows-1252 bytes, as Windows converts them for code
// page 1252 with no flags: exact characters, best-fit look-alikes, and "?" for the rest.
#pragma once

#include <array>

namespace csv {

// The Windows-1252 byte for every UTF-16 code unit, indexed by the unit.
extern const std::array<unsigned char, 65536> kUnidadACp1252;

inline unsigned char UnidadACp1252(char16_t unidad)
{
    return kUnidadACp1252[unidad];
}

}  // namespace csv
