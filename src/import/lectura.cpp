#include "import/lectura.h"

namespace import {

void LeeCSV(const std::string& ruta, bool saltaCabecera,
            const std::function<bool(const csv::RegistroCSV&)>& porLinea)
{
    csv::LectorCSV lector;
    lector.Abrir(ruta);
    if (saltaCabecera && !lector.Fin())
        lector.SaltaLinea();
    while (!lector.Fin()) {
        if (!porLinea(lector.Siguiente()))
            break;
    }
    lector.Cerrar();
}

}  // namespace import
