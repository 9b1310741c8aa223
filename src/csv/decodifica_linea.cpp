#include "csv/decodifica_linea.h"

#include "csv/cp1252.h"

#include <cstdint>
#include <cstring>

namespace csv {

namespace {

constexpr std::uint64_t kBitsAltos = 0x8080808080808080ULL;

bool esContinuacion(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

}  // namespace

void DecodificaLinea(std::string_view bytes, std::string& texto)
{
    // Each code unit comes from at least one byte and gives exactly one, so the text is never
    // longer than the line.
    texto.resize(bytes.size());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    char* out = texto.data();
    std::size_t i = 0;
    std::size_t o = 0;
    while (i < n) {
        // Runs of ASCII, eight bytes at a time: the table keeps them unchanged.
        if (n - i >= 8) {
            std::uint64_t ocho;
            std::memcpy(&ocho, in + i, 8);
            if ((ocho & kBitsAltos) == 0) {
                std::memcpy(out + o, in + i, 8);
                i += 8;
                o += 8;
                continue;
            }
        }
        const unsigned char b = in[i++];
        if (b < 0x80) {
            out[o++] = static_cast<char>(b);
            continue;
        }
        std::uint32_t valor = b & 0x3F;
        const int siguen = (b & 0x20) ? 2 : 1;
        for (int k = 0; k < siguen; ++k) {
            if (i == n || !esContinuacion(in[i])) {
                texto.clear();
                return;
            }
            valor = (valor << 6) | (in[i++] & 0x3F);
        }
        out[o++] = static_cast<char>(UnidadACp1252(static_cast<char16_t>(valor & 0xFFFF)));
    }
    texto.resize(o);
}

std::string DecodificaLinea(std::string_view bytes)
{
    std::string texto;
    DecodificaLinea(bytes, texto);
    return texto;
}

}  // namespace csv
