// Any line through DecodificaLinea and DivideCampos: no crash, no read out of bounds, and the
// same result as the plain versions in referencia.h.
#include "csv/decodifica_linea.h"
#include "csv/divide_campos.h"
#include "referencia.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tam)
{
    const std::string_view linea(reinterpret_cast<const char*>(datos), tam);

    const std::string texto = csv::DecodificaLinea(linea);
    if (texto != referencia::decodifica(linea) || texto.size() > linea.size())
        std::abort();

    const csv::RegistroCSV registro = csv::DivideCampos(texto);
    const std::vector<std::string> esperado = referencia::divide(texto);
    if (registro.Cuenta() != static_cast<int>(esperado.size()))
        std::abort();
    for (int i = 0; i < registro.Cuenta(); ++i)
        if (registro.Campo(i) != esperado[static_cast<std::size_t>(i)])
            std::abort();

    // The raw bytes split too, as a Windows-1252 text would be.
    csv::RegistroCSV reusado = registro;
    csv::DivideCampos(linea, reusado);
    if (reusado.Cuenta() != static_cast<int>(referencia::divide(linea).size()))
        std::abort();
    return 0;
}
