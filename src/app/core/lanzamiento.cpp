#include "app/core/lanzamiento.h"

#include "store/paths.h"

namespace app {

std::optional<std::uint32_t> ConvierteHexadecimal(const std::string& texto)
{
    if (texto.size() < 2 || texto[0] != '$')
        return std::nullopt;
    std::uint64_t valor = 0;
    for (std::size_t i = 1; i < texto.size(); ++i) {
        const char c = texto[i];
        int digito;
        if (c >= '0' && c <= '9')
            digito = c - '0';
        else if (c >= 'a' && c <= 'f')
            digito = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digito = c - 'A' + 10;
        else
            return std::nullopt;
        valor = valor * 16 + static_cast<std::uint64_t>(digito);
        if (valor > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(valor);
}

bool QuitaOpcionUnidadC(std::vector<std::string>& parametros)
{
    if (parametros.empty() || parametros[0] != "--unidad-c")
        return true;
    if (parametros.size() < 2 || parametros[1].empty())
        return false;
    store::setDriveC(parametros[1]);
    parametros.erase(parametros.begin(), parametros.begin() + 2);
    return true;
}

Lanzamiento InterpretaParametros(const std::vector<std::string>& parametros)
{
    Lanzamiento l;
    if (parametros.size() != 2)
        return l;
    const std::string handle = "$" + parametros[1];
    const std::optional<std::uint32_t> ventana = ConvierteHexadecimal(handle);
    if (!ventana) {
        l.error = "'" + handle + "' no es un valor entero v\xE1lido";
        return l;
    }
    l.ventana = *ventana;
    l.ModoLanzamiento = static_cast<int>(parametros.size());

    // Only the letters A to Z are lowered, as the host writes the word.
    std::string palabra = parametros[0];
    for (char& c : palabra)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (palabra == "importar")
        l.paneles = Paneles::SoloExportacion;
    else if (palabra == "exportar")
        l.paneles = Paneles::SoloImportacion;
    return l;
}

}  // namespace app
