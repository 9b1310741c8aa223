#include "csv/clipper.h"

namespace csv {

std::string QuitaBlancosDerecha(std::string_view texto)
{
    const auto ultimo = texto.find_last_not_of(' ');
    return std::string(ultimo == std::string_view::npos ? std::string_view() : texto.substr(0, ultimo + 1));
}

std::string QuitaBlancosIzquierda(std::string_view texto)
{
    const auto primero = texto.find_first_not_of(' ');
    return std::string(primero == std::string_view::npos ? std::string_view() : texto.substr(primero));
}

std::string QuitaBlancos(std::string_view texto)
{
    return QuitaBlancosIzquierda(QuitaBlancosDerecha(texto));
}

std::string SoloMayusculas(std::string_view texto)
{
    std::string resultado;
    for (char c : texto)
        if (c >= 'A' && c <= 'Z')
            resultado += c;
    return resultado;
}

std::string InicialesTrasBlanco(std::string_view texto)
{
    std::string resultado;
    for (std::size_t i = 0; i + 1 < texto.size(); ++i)
        if (texto[i] == ' ')
            resultado += texto[i + 1];
    return resultado;
}

}  // namespace csv
