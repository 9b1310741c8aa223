// The courses of the selected call (CURSOST.DBF) and the check that each has its codes.
#include "csv/lector_csv.h"
#include "files/folders.h"
#include "import/anade_registro.h"
#include "import/importacion.h"
#include "store/paths.h"
#include "store/table.h"

namespace import {

void Importacion::CargaCursos()
{
    // Only the table file is deleted: its index is written anew with the table.
    store::recreateTable(kTrabajo, "CURSOST.DBF",
                         {{"ABREV", 'C', 3},
                          {"TURNO", 'C', 1},
                          {"NIVEL", 'C', 5},
                          {"CURSO", 'C', 3},
                          {"NOMECURSO", 'C', 50},
                          {"CODCURSO", 'C', 10}},
                         {{"CODCURSO", "CODCURSO"}}, {"CURSOST.DBF"});
    if (FaltaArchivo("gruposCentro.CSV", "No existe archivo de Grupos(gruposCentro.CSV)", true))
        return;

    csv::LectorCSV lector;
    lector.Abrir(RutaCSV("gruposCentro.CSV"));
    store::Table tabla(kTrabajo, "CURSOST.DBF");
    tabla.open(store::Access::Shared);
    const store::FieldRef codCurso = tabla.field("CODCURSO");
    if (!lector.Fin())
        lector.SaltaLinea();
    while (!lector.Fin()) {
        const csv::RegistroCSV& campos = lector.Siguiente();
        if (campos.Campo(0) != convocatoria_)
            continue;
        if (tabla.locate(codCurso, campos.Campo(1)))
            continue;
        AnadeRegistro(tabla, [&] {
            tabla.setText("NOMECURSO", campos.Campo(4));
            tabla.setText("CODCURSO", campos.Campo(1));
        });
    }
    lector.Cerrar();
    tabla.close();
}

bool Importacion::ExisteTablaCursos()
{
    if (files::fileExists(files::pathInFolder(store::resolveFolder(kTrabajo), "CURSOST.DBF")))
        return true;
    mensajes_.Muestra("No existe archivo del Cursos (CURSOST.DBF)");
    estado_.EstadoTransformacion = -1;
    return false;
}

void Importacion::CompruebaNiveles()
{
    store::Table cursos(kTrabajo, "CURSOST");
    cursos.open(store::Access::Shared);
    for (cursos.first(); !cursos.eof(); cursos.next()) {
        if (cursos.asText("NIVEL").empty() || cursos.asText("CURSO").empty()) {
            estado_.NivelesIncompletos = 1;
            return;
        }
    }
    estado_.NivelesIncompletos = 0;
}

}  // namespace import
