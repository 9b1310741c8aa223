// The groups of the selected call: GRUPOST.DBF from "gruposCentro.csv", each group under its
// course's shift, level and course codes, with a short code kept apart from the earlier ones.
#include "import/codigos.h"
#include "import/importacion.h"
#include "import/lectura.h"
#include "import/lista_codigos.h"
#include "store/table.h"

namespace import {

const std::vector<store::FieldDef>& CamposGrupos()
{
    static const std::vector<store::FieldDef> campos = {
        {"ABREV", 'C', 10},          {"TURNO", 'C', 1},
        {"NIVEL", 'C', 5},           {"CURSO", 'C', 3},
        {"GRUPO", 'C', 2},           {"NUMALUMN", 'C', 2},
        {"DESCRIP", 'C', 80},        {"TUTOR", 'C', 10},
        {"CODGRUZARE", 'C', 15},     {"CODSUBGRUZARE", 'C', 15},
        {"CODCURSOZARE", 'C', 15},   {"NOMEGRUPOZARE", 'C', 100},
        {"NOMEABREVGRUPZARE", 'C', 100}, {"NOMESUBGRUZARE", 'C', 100},
        {"NOMEABREVSUBGRUZARE", 'C', 100}, {"NOMECURSOZARE", 'C', 100},
    };
    return campos;
}

void Importacion::ImportaGrupos()
{
    store::recreateTable(kTrabajo, "GRUPOST.DBF", CamposGrupos(), {}, {"GRUPOST.DBF", "GRUPOST.MDX"});
    if (FaltaArchivo("gruposCentro.csv", "No existe archivo de Grupos (gruposCentro.CSV)", true))
        return;

    store::Table grupos(kTrabajo, "GRUPOST.DBF");
    store::Table cursos(kTrabajo, "CURSOST");
    ListaCodigos lista;
    const std::string ruta = RutaCSV("gruposCentro.csv");
    grupos.open(store::Access::Shared);
    cursos.open(store::Access::Shared);
    LeeCSV(ruta, true, [&](const csv::RegistroCSV& campos) {
        if (campos.Campo(0) != convocatoria_)
            return true;
        if (!cursos.locate("NOMECURSO", {campos.Campo(4)}))
            return true;
        const std::string& nombreGrupo = campos.Campo(3);
        const std::string codigo = CodigoGrupo(
            cursos.asText("NIVEL") + cursos.asText("CURSO") + nombreGrupo, lista);
        lista.Anade(codigo);
        const std::string& nombreAbreviado = campos.Campo(5);

        grupos.append();
        grupos.setText("ABREV", codigo);
        grupos.setText("TURNO", cursos.asText("TURNO"));
        grupos.setText("NIVEL", cursos.asText("NIVEL"));
        grupos.setText("CURSO", cursos.asText("CURSO"));
        grupos.setText("GRUPO", nombreGrupo);
        grupos.setText("DESCRIP", campos.Campo(4) + " / " + nombreGrupo);
        grupos.setText("CODGRUZARE", campos.Campo(2));
        grupos.setText("CODCURSOZARE", campos.Campo(1));
        grupos.setText("NOMEGRUPOZARE", nombreGrupo);
        grupos.setText("NOMEABREVGRUPZARE", nombreAbreviado);
        grupos.setText("NOMECURSOZARE", campos.Campo(4));
        grupos.post();
        return true;
    });
    grupos.close();
}

}  // namespace import
