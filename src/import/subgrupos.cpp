// The subgroups: rows appended to GRUPOST.DBF under their parent group, numbered after the
// parent's code.
#include "import/campo_al_usarlo.h"
#include "import/codigos.h"
#include "files/folders.h"
#include "import/importacion.h"
#include "import/lectura.h"
#include "import/lista_codigos.h"
#include "store/paths.h"
#include "store/table.h"

#include <optional>

namespace import {

void Importacion::ImportaSubgrupos()
{
    if (!files::fileExists(files::pathInFolder(store::resolveFolder(kTrabajo), "GRUPOST.DBF"))) {
        mensajes_.Muestra("No existe archivo de Grupos (GRUPOST.DBF)");
        return;
    }
    if (FaltaArchivo("subgruposCentro.csv", "No existe archivo de Sub-Grupos (subgruposCentro.CSV)", false))
        return;

    store::Table grupos(kTrabajo, "GRUPOST");
    ListaCodigos lista;
    const std::string ruta = RutaCSV("subgruposCentro.csv");
    grupos.open(store::Access::Exclusive);
    // A subgroup is a copy of its parent's row (its shift, level, course and the ZARE codes and
    // names of the group and course) with its own fields set and the rest left blank. The
    // fields are found at the first subgroup whose parent is there, where reading them by name
    // failed before.
    struct Campos {
        store::FieldRef abrev, grupo, descrip, codSubgrupo, nombreSubgrupo, abreviadoSubgrupo, alumnos, tutor;
    };
    std::optional<Campos> c;
    CampoAlUsarlo claveDe(grupos, "CODGRUZARE");
    LeeCSV(ruta, true, [&](const csv::RegistroCSV& campos) {
        if (!grupos.locate(claveDe(), campos.Campo(0)))
            return true;
        const long filaPadre = grupos.recNo();
        if (!c) {
            Campos encontrados;
            encontrados.abrev = grupos.field("ABREV");
            encontrados.grupo = grupos.field("GRUPO");
            encontrados.descrip = grupos.field("DESCRIP");
            encontrados.codSubgrupo = grupos.field("CODSUBGRUZARE");
            encontrados.nombreSubgrupo = grupos.field("NOMESUBGRUZARE");
            encontrados.abreviadoSubgrupo = grupos.field("NOMEABREVSUBGRUZARE");
            encontrados.alumnos = grupos.field("NUMALUMN");
            encontrados.tutor = grupos.field("TUTOR");
            c = std::move(encontrados);
        }
        const std::string padre = grupos.asText(c->abrev);

        std::string candidato = CodigoSubgrupo(padre, 1);
        if (grupos.locate(c->abrev, candidato))
            lista.Anade(candidato);
        if (lista.Contiene(candidato)) {
            candidato = CodigoSubgrupo(padre, 99);
            for (int n = 1; n <= 99; ++n) {
                if (!grupos.locate(c->abrev, CodigoSubgrupo(padre, n))) {
                    candidato = CodigoSubgrupo(padre, n);
                    break;
                }
            }
        }
        lista.Anade(candidato);

        const std::string& codigo = campos.Campo(1);
        const std::string& nombre = campos.Campo(3);
        const std::string& abreviado = campos.Campo(4);
        const std::string descripcion = campos.Campo(2) + " (" + nombre + ")";

        grupos.goTo(filaPadre);  // the searches for a free code moved away from it
        grupos.appendCopy();
        grupos.setText(c->abrev, candidato);
        grupos.setText(c->alumnos, "");
        grupos.setText(c->tutor, "");
        grupos.setText(c->grupo, candidato.substr(candidato.size() - 1));
        grupos.setText(c->descrip, descripcion);
        grupos.setText(c->codSubgrupo, codigo);
        grupos.setText(c->nombreSubgrupo, nombre);
        grupos.setText(c->abreviadoSubgrupo, abreviado);
        grupos.post();
        return true;
    });
    grupos.close();
}

}  // namespace import
