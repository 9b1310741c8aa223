#include "app/core/cp1252.h"

#include <cstdint>

namespace app {

namespace {

// The characters of bytes 0x80 to 0x9F; the five bytes Windows-1252 leaves undefined map to
// the control characters of the same value, as Windows converts them.
constexpr std::uint16_t kAltos[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::string Cp1252AUtf8(const std::string& texto)
{
    std::string r;
    r.reserve(texto.size() + texto.size() / 8);
    for (unsigned char c : texto) {
        std::uint32_t u = c >= 0x80 && c < 0xA0 ? kAltos[c - 0x80] : c;
        if (u < 0x80) {
            r += static_cast<char>(u);
        } else if (u < 0x800) {
            r += static_cast<char>(0xC0 | (u >> 6));
            r += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            r += static_cast<char>(0xE0 | (u >> 12));
            r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            r += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return r;
}

}  // namespace app
