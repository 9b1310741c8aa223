#include "import/codigos.h"

#include "csv/clipper.h"

namespace import {

std::string Corta(const std::string& texto, std::size_t longitud)
{
    return texto.size() > longitud ? texto.substr(0, longitud) : texto;
}

std::string CodigoGrupo(const std::string& baseLarga, const ListaCodigos& lista)
{
    std::string base = Corta(baseLarga);
    if (!lista.Contiene(base))
        return base;
    if (base.size() > 9)
        base.pop_back();
    for (char letra = 'A'; letra <= 'Y'; ++letra) {
        if (!lista.Contiene(base + letra))
            return base + letra;
    }
    return base + 'Y';
}

std::string CodigoSubgrupo(const std::string& padre, int numero)
{
    const std::string cifras = std::to_string(numero);
    return Corta(padre, kLongitudCodigo - cifras.size()) + cifras;
}

std::string CodigoProfesor(const std::string& nombre, const ListaCodigos& lista)
{
    const std::string base = Corta(csv::SoloMayusculas(nombre));
    if (!lista.Contiene(base))
        return base;
    const std::string prefijo = Corta(base, 3);
    for (long n = 1;; ++n) {
        std::string candidato = prefijo + std::to_string(n);
        if (!lista.Contiene(candidato))
            return candidato;
    }
}

std::string CodigoAula(const std::string& codigoAula, const ListaCodigos& lista)
{
    const std::string candidato = Corta(codigoAula);
    if (!lista.Contiene(candidato))
        return candidato;
    const std::string prefijo = Corta(codigoAula, 3);
    for (int n = 1; n <= 99; ++n) {
        if (!lista.Contiene(prefijo + std::to_string(n)))
            return prefijo + std::to_string(n);
    }
    return prefijo + "99";
}

std::string CodigoMateria(const std::string& codigoLargo, const std::string& nombre)
{
    std::string codigo = codigoLargo.size() <= 10
                             ? codigoLargo
                             : codigoLargo.substr(0, 1) + csv::InicialesTrasBlanco(codigoLargo);
    if (codigo.size() < 2)
        codigo = nombre.substr(0, 1) + csv::InicialesTrasBlanco(nombre);
    if (codigo.size() > 10)
        codigo = csv::QuitaBlancos(codigo.substr(0, 10));
    return codigo;
}

std::string CodigoMateriaLibre(const std::string& codigo, const ListaCodigos& lista)
{
    if (!lista.Contiene(codigo))
        return codigo;
    auto numerado = [&](int n) {
        std::string candidato = codigo + std::to_string(n);
        const std::string limpio = csv::QuitaBlancos(candidato);
        const std::size_t l = limpio.size();
        if (l > 10)
            candidato = limpio.substr(0, 8) + limpio.substr(l - 2, 2);
        return candidato;
    };
    for (int n = 1; n <= 99; ++n) {
        std::string candidato = numerado(n);
        if (!lista.Contiene(candidato))
            return candidato;
    }
    return numerado(99);
}

}  // namespace import
