// The subgroups: rows appended to GRUPOST.DBF under their parent group, numbered after the
// parent's code.
#include "import/codigos.h"
#include "files/folders.h"
#include "import/importacion.h"
#include "import/lectura.h"
#include "import/lista_codigos.h"
#include "store/paths.h"
#include "store/table.h"

#include <iterator>
#include <optional>
#include <vector>

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
    // The parent's values copied into each subgroup, and the subgroup's own fields: found at
    // the first subgroup whose parent is there, where reading them by name failed before.
    static const char* const copiados[] = {"TURNO", "NIVEL", "CURSO", "CODGRUZARE", "CODCURSOZARE",
                                           "NOMEGRUPOZARE", "NOMEABREVGRUPZARE", "NOMECURSOZARE"};
    struct Campos {
        std::vector<store::FieldRef> copiados;
        store::FieldRef abrev, grupo, descrip, codSubgrupo, nombreSubgrupo, abreviadoSubgrupo;
    };
    std::optional<Campos> c;
    std::vector<std::string> delPadre(std::size(copiados));
    LeeCSV(ruta, true, [&](const csv::RegistroCSV& campos) {
        if (!grupos.locate("CODGRUZARE", {campos.Campo(0)}))
            return true;
        if (!c) {
            Campos encontrados;
            for (const char* campo : copiados)
                encontrados.copiados.push_back(grupos.field(campo));
            encontrados.abrev = grupos.field("ABREV");
            encontrados.grupo = grupos.field("GRUPO");
            encontrados.descrip = grupos.field("DESCRIP");
            encontrados.codSubgrupo = grupos.field("CODSUBGRUZARE");
            encontrados.nombreSubgrupo = grupos.field("NOMESUBGRUZARE");
            encontrados.abreviadoSubgrupo = grupos.field("NOMEABREVSUBGRUZARE");
            c = std::move(encontrados);
        }
        for (std::size_t i = 0; i < std::size(copiados); ++i)
            delPadre[i] = grupos.asText(c->copiados[i]);
        const std::string padre = grupos.asText(c->abrev);

        std::string candidato = CodigoSubgrupo(padre, 1);
        if (grupos.locate("ABREV", {candidato}))
            lista.Anade(candidato);
        if (lista.Contiene(candidato)) {
            candidato = CodigoSubgrupo(padre, 99);
            for (int n = 1; n <= 99; ++n) {
                if (!grupos.locate("ABREV", {CodigoSubgrupo(padre, n)})) {
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

        grupos.append();
        grupos.setText(c->abrev, candidato);
        for (std::size_t i = 0; i < std::size(copiados); ++i)
            grupos.setText(c->copiados[i], delPadre[i]);
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
