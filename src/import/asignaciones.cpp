// The teaching assignments: ASIGT.DBF pairs every group with every subject offered in its course.
#include "csv/clipper.h"
#include "import/importacion.h"
#include "store/table.h"

#include <unordered_map>
#include <vector>

namespace import {

void Importacion::ImportaAsignaciones()
{
    store::recreateTable(kTrabajo, "ASIGT.DBF",
                         {{"CASIG", 'C', 10},
                          {"CPROF", 'C', 10},
                          {"CGRUP", 'C', 10},
                          {"CAULA", 'C', 10},
                          {"TURNO", 'C', 1},
                          {"NIVEL", 'C', 5},
                          {"CURSO", 'C', 3},
                          {"GRUPO", 'C', 2},
                          {"HORAS", 'O', 8},
                          {"SESIONES", 'C', 20},
                          {"NCONEX", 'C', 4},
                          {"CLAVE", 'C', 10},
                          {"CLAVECURSO", 'C', 10},
                          {"CTAREA", 'C', 10}},
                         {}, {"ASIGT.DBF", "ASIGT.MDX"});
    store::Table asignaciones(kTrabajo, "ASIGT.DBF");
    asignaciones.open(store::Access::Shared);
    store::Table catalogo(kTrabajo, "ASIGNOMT");
    store::Table grupos(kTrabajo, "GRUPOST");
    store::Table oferta(kTrabajo, "ASIGNOMT2");
    catalogo.open(store::Access::Exclusive);
    grupos.open(store::Access::Exclusive);
    oferta.open(store::Access::Exclusive);

    // The offer rows grouped by course, each group in record order: the same pairs as a scan of
    // the whole offer table per group, without the scan.
    struct Materia {
        std::string cod, tarea;
    };
    std::unordered_map<std::string, std::vector<Materia>> porCurso;
    for (oferta.first(); !oferta.eof(); oferta.next())
        porCurso[oferta.asText("CODCURSO")].push_back({oferta.asText("COD"), oferta.asText("CODTAREA")});

    for (grupos.first(); !grupos.eof(); grupos.next()) {
        if (!csv::QuitaBlancos(grupos.asText("CODSUBGRUZARE")).empty())
            continue;
        const std::string cursoGrupo = grupos.asText("CODCURSOZARE");
        const std::string abrev = grupos.asText("ABREV");
        const auto materias = porCurso.find(cursoGrupo);
        if (materias == porCurso.end())
            continue;
        for (const Materia& materia : materias->second) {
            const std::string& cod = materia.cod;
            if (asignaciones.locate("CASIG;CGRUP", {cod, abrev}))
                continue;
            asignaciones.append();
            asignaciones.setText("CASIG", cod);
            asignaciones.setText("CGRUP", abrev);
            asignaciones.setText("CAULA", "");
            asignaciones.setText("TURNO", grupos.asText("TURNO"));
            asignaciones.setText("NIVEL", grupos.asText("NIVEL"));
            asignaciones.setText("CURSO", grupos.asText("CURSO"));
            asignaciones.setText("GRUPO", grupos.asText("GRUPO"));
            asignaciones.setFloat("HORAS", 4);
            asignaciones.setText("SESIONES", "1111");
            asignaciones.setText("CLAVE", grupos.asText("CODGRUZARE"));
            asignaciones.setText("CLAVECURSO", cursoGrupo);
            const std::string& tarea = materia.tarea;
            catalogo.first();
            const bool esTarea = catalogo.locate("COD;ESTAREA", {tarea, true});
            asignaciones.setText("CTAREA", esTarea ? tarea : "");
            asignaciones.post();
        }
    }
    asignaciones.close();
    grupos.close();
    oferta.close();
    catalogo.close();
}

}  // namespace import
