#include "app/core/ini.h"

#include "csv/cp1252.h"

#include "files/profile.h"

#include <vector>

namespace app {

namespace {

bool IgualSinMayusculas(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (csv::MinusculaCp1252(static_cast<unsigned char>(a[i])) !=
            csv::MinusculaCp1252(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool EsBlanco(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string Recorta(const std::string& s)
{
    std::size_t i = 0, f = s.size();
    while (i < f && EsBlanco(s[i]))
        ++i;
    while (f > i && EsBlanco(s[f - 1]))
        --f;
    return s.substr(i, f - i);
}

struct Linea {
    std::string contenido;  // without its line end
    std::string fin;        // "\r\n", "\n" or "" for a last line without one
};

std::vector<Linea> Divide(const std::string& texto)
{
    std::vector<Linea> lineas;
    std::size_t inicio = 0;
    while (inicio < texto.size()) {
        const std::size_t lf = texto.find('\n', inicio);
        if (lf == std::string::npos) {
            lineas.push_back({texto.substr(inicio), ""});
            break;
        }
        const bool cr = lf > inicio && texto[lf - 1] == '\r';
        const std::size_t finContenido = cr ? lf - 1 : lf;
        lineas.push_back({texto.substr(inicio, finContenido - inicio), cr ? "\r\n" : "\n"});
        inicio = lf + 1;
    }
    return lineas;
}

// The section name of a header line ("[name]", blanks around it ignored), or false.
bool Cabecera(const std::string& contenido, std::string& nombre)
{
    const std::string s = Recorta(contenido);
    if (s.empty() || s[0] != '[')
        return false;
    const std::size_t cierre = s.rfind(']');
    nombre = Recorta(s.substr(1, (cierre == std::string::npos || cierre == 0 ? s.size() : cierre) - 1));
    return true;
}

// The key of a line inside a section: the text before "=", or the whole line without one.
std::string ClaveDe(const std::string& contenido)
{
    const std::size_t igual = contenido.find('=');
    return Recorta(igual == std::string::npos ? contenido : contenido.substr(0, igual));
}

}  // namespace

std::string ActualizaTextoIni(const std::string& texto, const std::string& seccion,
                              const std::string& clave, const std::string& valor)
{
    std::vector<Linea> lineas = Divide(texto);
    std::string nl = "\r\n";
    for (const Linea& l : lineas) {
        if (!l.fin.empty()) {
            nl = l.fin;
            break;
        }
    }

    // The first section of that name: its header and the end of its lines.
    std::size_t cabecera = lineas.size();
    std::size_t finSeccion = lineas.size();
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        std::string nombre;
        if (!Cabecera(lineas[i].contenido, nombre))
            continue;
        if (cabecera < lineas.size()) {
            finSeccion = i;
            break;
        }
        if (IgualSinMayusculas(nombre, Recorta(seccion)))
            cabecera = i;
    }

    const std::string nuevaLinea = clave + "=" + valor;
    if (cabecera == lineas.size()) {
        if (!lineas.empty() && lineas.back().fin.empty())
            lineas.back().fin = nl;
        lineas.push_back({"[" + seccion + "]", nl});
        lineas.push_back({nuevaLinea, nl});
    } else {
        std::size_t ultimaNoBlanca = cabecera;
        bool hecho = false;
        for (std::size_t i = cabecera + 1; i < finSeccion; ++i) {
            if (Recorta(lineas[i].contenido).empty())
                continue;
            ultimaNoBlanca = i;
            const std::string claveLinea = ClaveDe(lineas[i].contenido);
            if (IgualSinMayusculas(claveLinea, Recorta(clave))) {
                lineas[i].contenido = claveLinea + "=" + valor;
                hecho = true;
                break;
            }
        }
        if (!hecho) {
            if (lineas[ultimaNoBlanca].fin.empty())
                lineas[ultimaNoBlanca].fin = nl;
            lineas.insert(lineas.begin() + static_cast<long>(ultimaNoBlanca) + 1, {nuevaLinea, nl});
        }
    }

    std::string resultado;
    resultado.reserve(texto.size() + nuevaLinea.size() + seccion.size() + 8);
    for (const Linea& l : lineas)
        resultado += l.contenido + l.fin;
    return resultado;
}

std::string TextoNoSePuedeEscribir(const std::string& ruta)
{
    return "Unable to write to " + ruta;
}

bool EscribeValorIni(const std::string& ruta, const std::string& seccion,
                     const std::string& clave, const std::string& valor)
{
    return files::writeProfileString(ruta, seccion, clave, valor, [&](const std::string& texto) {
        return ActualizaTextoIni(texto, seccion, clave, valor);
    });
}

}  // namespace app
