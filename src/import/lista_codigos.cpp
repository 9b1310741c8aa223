#include "import/lista_codigos.h"

#include "csv/cp1252.h"

#include <algorithm>

namespace import {

namespace {

char Minuscula(char c)
{
    return static_cast<char>(csv::MinusculaCp1252(static_cast<unsigned char>(c)));
}

}  // namespace

std::string MinusculasAnsi(const std::string& texto)
{
    std::string r(texto.size(), '\0');
    std::transform(texto.begin(), texto.end(), r.begin(), Minuscula);
    return r;
}

std::string_view ListaCodigos::Pliega(std::string_view codigo) const
{
    plegado_.resize(codigo.size());
    std::transform(codigo.begin(), codigo.end(), plegado_.begin(), Minuscula);
    return plegado_;
}

}  // namespace import
