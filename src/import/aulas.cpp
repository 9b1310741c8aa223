// The classrooms: AULAT.DBF from "aulasCentro.csv", one row per classroom code.
#include "csv/lector_csv.h"
#include "import/codigos.h"
#include "import/importacion.h"
#include "import/lista_codigos.h"
#include "store/table.h"

#include <memory>

namespace import {

void Importacion::ImportaAulas()
{
    ConstruyeAulas(nullptr);
}

void Importacion::ConstruyeAulas(TablasAparte* aparte)
{
    if (FaltaArchivo("aulasCentro.csv", "No existe archivo de Aulas (aulasCentro.CSV)", aparte))
        return;

    csv::LectorCSV lector;
    lector.Abrir(RutaCSV("aulasCentro.csv"));
    std::unique_ptr<store::Table> aqui;
    store::Table& aulas = TablaNueva(aparte, aqui, kTrabajoC, "AULAT.DBF",
                                     {{"ABREV", 'C', 10},
                                      {"NOMBRE", 'C', 80},
                                      {"EDIFICIO", 'C', 1},
                                      {"MAXALUM", 'I', 4},
                                      {"CODAULA", 'C', 10}},
                                     {}, {"AULAT.DBF", "AULAT.MDX"});
    ListaCodigos lista;
    const store::FieldRef codAula = aulas.field("CODAULA");
    if (!lector.Fin())
        lector.SaltaLinea();
    while (!lector.Fin()) {
        const csv::RegistroCSV& campos = lector.Siguiente();
        const std::string& codigoAula = campos.Campo(0);
        const std::string& nombre = campos.Campo(1);
        if (aulas.locate(codAula, codigoAula))
            continue;
        const std::string codigo = CodigoAula(codigoAula, lista);
        lista.Anade(codigo);
        aulas.append();
        aulas.setText("ABREV", codigo);
        aulas.setText("NOMBRE", nombre);
        aulas.setText("CODAULA", codigoAula);
        aulas.post();
    }
    lector.Cerrar();
    aulas.close();
}

}  // namespace import
