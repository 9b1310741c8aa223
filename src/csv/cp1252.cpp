#include "csv/cp1252.h"

#include <array>
#include <cstdint>

namespace csv {

namespace {

struct Par {
    std::uint16_t unidad;
    std::uint8_t byte;
};

// The pairs listed in data/cp1252-bestfit.tsv; every unit not listed becomes "?".
constexpr Par kPares[] = {
#include "csv/cp1252_pares.inc"
};

constexpr std::array<unsigned char, 65536> construyeTabla()
{
    std::array<unsigned char, 65536> tabla{};
    for (auto& b : tabla)
        b = '?';
    for (const Par& p : kPares)
        tabla[p.unidad] = p.byte;
    return tabla;
}

}  // namespace

constexpr std::array<unsigned char, 65536> kUnidadACp1252 = construyeTabla();

namespace {

constexpr bool asciiSeConservaIgual()
{
    for (int u = 0; u < 0x80; ++u)
        if (kUnidadACp1252[u] != u)
            return false;
    return true;
}

// The decoder copies ASCII bytes without looking them up; that is only right while the table
// maps every unit below 0x80 to itself.
static_assert(asciiSeConservaIgual(), "the Windows-1252 table must keep ASCII unchanged");

}  // namespace

}  // namespace csv
