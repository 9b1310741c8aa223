// Plain, slow versions of the line rules, written straight from their description, that the
// fuzz targets compare the real code against.
#pragma once

#include "csv/cp1252.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace referencia {

// UTF-8 to Windows-1252, one byte at a time.
inline std::string decodifica(std::string_view bytes)
{
    std::string texto;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i++]);
        std::uint32_t unidad = b;
        if (b >= 0x80) {
            unidad = b & 0x3F;
            for (int k = 0; k < ((b & 0x20) ? 2 : 1); ++k) {
                if (i >= bytes.size() || (static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80)
                    return {};
                unidad = (unidad << 6) + (static_cast<unsigned char>(bytes[i++]) & 0x3F);
            }
        }
        texto += static_cast<char>(csv::UnidadACp1252(static_cast<char16_t>(unidad & 0xFFFF)));
    }
    return texto;
}

// The splitting steps, as a list of positions and moves.
inline std::vector<std::string> divide(std::string_view t)
{
    t = t.substr(0, t.find('\0'));
    const std::size_t n = t.size();
    std::size_t p = 0;
    auto blanco = [&](std::size_t i) {
        const auto c = static_cast<unsigned char>(t[i]);
        return c >= 1 && c <= 32;
    };
    auto saltaBlancos = [&] {
        while (p < n && blanco(p))
            ++p;
    };
    std::vector<std::string> campos;
    saltaBlancos();
    while (p < n) {
        std::string campo;
        if (t[p] == '"') {
            ++p;
            while (p < n) {
                if (t[p] != '"') {
                    campo += t[p++];
                } else if (p + 1 < n && t[p + 1] == '"') {
                    campo += '"';
                    p += 2;
                } else {
                    ++p;
                    break;
                }
            }
        } else {
            while (p < n && t[p] != ',' && !blanco(p))
                campo += t[p++];
        }
        campos.push_back(campo);
        saltaBlancos();
        if (p < n && t[p] == ',') {
            if (p == n - 1)
                campos.emplace_back();
            ++p;
            saltaBlancos();
        }
    }
    return campos;
}

// The lines of a file: up to each LF, CRs removed, cut at 0x1A, ending at a line that begins
// with 0x1A; no empty line after a final LF.
inline std::vector<std::string> lineas(std::string_view archivo)
{
    std::vector<std::string> todas;
    std::size_t p = 0;
    while (p < archivo.size() && archivo[p] != '\x1A') {
        std::size_t lf = archivo.find('\n', p);
        if (lf == std::string_view::npos)
            lf = archivo.size();
        std::string linea;
        for (char c : archivo.substr(p, lf - p)) {
            if (c == '\x1A')
                break;
            if (c != '\r')
                linea += c;
        }
        todas.push_back(linea);
        p = lf + 1;
    }
    return todas;
}

}  // namespace referencia
