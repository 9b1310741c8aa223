// The teachers: PROFT.DBF from "profesoresGrupoCentro.csv", one row per employee code, with a
// code made of the capitals of the name and a tag on that code for the export.
#include "import/codigos.h"
#include "import/importacion.h"
#include "import/lectura.h"
#include "import/lista_codigos.h"
#include "store/table.h"

#include <memory>

namespace import {

void Importacion::ImportaProfesores()
{
    ConstruyeProfesores(nullptr);
}

void Importacion::ConstruyeProfesores(TablasAparte* aparte)
{
    if (FaltaArchivo("profesoresGrupoCentro.csv", "No existe archivo de profesores (profesoresGrupoCentro.csv)",
                     aparte))
        return;

    csv::LectorCSV lector;
    lector.Abrir(RutaCSV("profesoresGrupoCentro.csv"));
    std::unique_ptr<store::Table> aqui;
    store::Table& profesores = TablaNueva(aparte, aqui, kTrabajo, "PROFT.DBF",
                                          {{"ABREV", 'C', 10},
                                           {"NOMBRE", 'C', 80},
                                           {"DEPART", 'C', 40},
                                           {"DNI", 'C', 15},
                                           {"X_EMPLEADO", 'C', 10}},
                                          {{"ABREV", "ABREV"}}, {"PROFT.DBF", "PROFT.MDX"});
    ListaCodigos lista;
    const store::FieldRef abrev = profesores.field("ABREV"), nombreProfesor = profesores.field("NOMBRE"),
                          depart = profesores.field("DEPART"), dni = profesores.field("DNI"),
                          empleado = profesores.field("X_EMPLEADO");
    if (!lector.Fin())
        lector.SaltaLinea();
    while (!lector.Fin()) {
        const csv::RegistroCSV& campos = lector.Siguiente();
        const std::string& nombre = campos.Campo(2);
        if (profesores.locate(empleado, campos.Campo(0)))
            continue;
        const std::string codigo = CodigoProfesor(nombre, lista);
        lista.Anade(codigo);
        profesores.append();
        profesores.setText(abrev, codigo);
        profesores.setText(nombreProfesor, nombre);
        profesores.setText(depart, "");
        profesores.setText(dni, "");
        profesores.setText(empleado, campos.Campo(0));
        profesores.post();
    }
    lector.Cerrar();
    profesores.close();
}

}  // namespace import
