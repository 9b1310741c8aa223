// The groups of the selected call: GRUPOST.DBF from "gruposCentro.csv", each group under its
// course's shift, level and course codes, with a short code kept apart from the earlier ones.
#include "import/campo_al_usarlo.h"
#include "import/codigos.h"
#include "import/importacion.h"
#include "import/lectura.h"
#include "import/lista_codigos.h"
#include "store/table.h"

#include <optional>

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
    // The courses' fields, found at the first group of the call whose course is there, where
    // reading them by name failed before; the groups' own, which this builder made, at once.
    struct DelCurso {
        store::FieldRef turno, nivel, curso;
    };
    std::optional<DelCurso> delCurso;
    CampoAlUsarlo nombreCursoDe(cursos, "NOMECURSO");
    const store::FieldRef abrev = grupos.field("ABREV"), turno = grupos.field("TURNO"), nivel = grupos.field("NIVEL"),
                          curso = grupos.field("CURSO"), grupo = grupos.field("GRUPO"),
                          descrip = grupos.field("DESCRIP"), codGrupo = grupos.field("CODGRUZARE"),
                          codCurso = grupos.field("CODCURSOZARE"), nombre = grupos.field("NOMEGRUPOZARE"),
                          abreviado = grupos.field("NOMEABREVGRUPZARE"), nombreCurso = grupos.field("NOMECURSOZARE");
    LeeCSV(ruta, true, [&](const csv::RegistroCSV& campos) {
        if (campos.Campo(0) != convocatoria_)
            return true;
        if (!cursos.locate(nombreCursoDe(), campos.Campo(4)))
            return true;
        if (!delCurso)
            delCurso = DelCurso{cursos.field("TURNO"), cursos.field("NIVEL"), cursos.field("CURSO")};
        const std::string& nombreGrupo = campos.Campo(3);
        const std::string codigo = CodigoGrupo(
            cursos.asText(delCurso->nivel) + cursos.asText(delCurso->curso) + nombreGrupo, lista);
        lista.Anade(codigo);
        const std::string& nombreAbreviado = campos.Campo(5);

        grupos.append();
        grupos.setText(abrev, codigo);
        grupos.setText(turno, cursos.asText(delCurso->turno));
        grupos.setText(nivel, cursos.asText(delCurso->nivel));
        grupos.setText(curso, cursos.asText(delCurso->curso));
        grupos.setText(grupo, nombreGrupo);
        grupos.setText(descrip, campos.Campo(4) + " / " + nombreGrupo);
        grupos.setText(codGrupo, campos.Campo(2));
        grupos.setText(codCurso, campos.Campo(1));
        grupos.setText(nombre, nombreGrupo);
        grupos.setText(abreviado, nombreAbreviado);
        grupos.setText(nombreCurso, campos.Campo(4));
        grupos.post();
        return true;
    });
    grupos.close();
}

}  // namespace import
