#include "import/lista_codigos.h"

namespace import {

namespace {

unsigned char minuscula(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    switch (c) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return c;
    }
}

}  // namespace

std::string MinusculasAnsi(const std::string& texto)
{
    std::string r(texto);
    for (char& c : r)
        c = static_cast<char>(minuscula(static_cast<unsigned char>(c)));
    return r;
}

void ListaCodigos::Anade(const std::string& codigo)
{
    plegados_.insert(MinusculasAnsi(codigo));
}

bool ListaCodigos::Contiene(const std::string& codigo) const
{
    return plegados_.count(MinusculasAnsi(codigo)) != 0;
}

}  // namespace import
