// The calls of the centre: CONVOCAZARE.DBF from "convocatoriasCentro.csv".
#include "import/anade_registro.h"
#include "import/importacion.h"
#include "import/lectura.h"
#include "store/table.h"

namespace import {

void Importacion::CreaTablaConvocatorias()
{
    store::recreateTable(kTrabajo, "CONVOCAZARE.DBF",
                         {{"CONVOCATORIA", 'C', 10}, {"DESCRIPCION", 'C', 60}}, {},
                         {"CONVOCAZARE.DBF"});
}

bool Importacion::CargaConvocatorias()
{
    CreaTablaConvocatorias();
    if (FaltaArchivo("convocatoriasCentro.csv",
                     "No existe archivo de Convocatorias(convocatoriasCentro.CSV)", true))
        return false;

    store::Table tabla(kTrabajo, "CONVOCAZARE.DBF");
    csv::LectorCSV lector;
    lector.Abrir(RutaCSV("convocatoriasCentro.csv"));
    tabla.open(store::Access::Shared);
    if (!lector.Fin())
        lector.SaltaLinea();
    while (!lector.Fin()) {
        const csv::RegistroCSV& campos = lector.Siguiente();
        AnadeRegistro(tabla, [&] {
            tabla.setText("CONVOCATORIA", campos.Campo(0));
            tabla.setText("DESCRIPCION", campos.Campo(1));
        });
    }
    lector.Cerrar();
    tabla.close();
    return true;
}

}  // namespace import
