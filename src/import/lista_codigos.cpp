#include "import/lista_codigos.h"

#include "csv/cp1252.h"

namespace import {

std::string MinusculasAnsi(const std::string& texto)
{
    std::string r(texto);
    for (char& c : r)
        c = static_cast<char>(csv::MinusculaCp1252(static_cast<unsigned char>(c)));
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
