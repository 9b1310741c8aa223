// The subgroups: rows appended to GRUPOST.DBF under their parent group, numbered after the
// parent's code.
#include "import/codigos.h"
#include "files/folders.h"
#include "import/importacion.h"
#include "import/lectura.h"
#include "import/lista_codigos.h"
#include "store/paths.h"
#include "store/table.h"

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
    LeeCSV(ruta, true, [&](const csv::RegistroCSV& campos) {
        if (!grupos.locate("CODGRUZARE", {campos.Campo(0)}))
            return true;
        static const char* const copiados[] = {"TURNO", "NIVEL", "CURSO", "CODGRUZARE", "CODCURSOZARE",
                                               "NOMEGRUPOZARE", "NOMEABREVGRUPZARE", "NOMECURSOZARE"};
        std::vector<std::string> delPadre;
        for (const char* campo : copiados)
            delPadre.push_back(grupos.asText(campo));
        const std::string padre = grupos.asText("ABREV");

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
        grupos.setText("ABREV", candidato);
        for (std::size_t i = 0; i < std::size(copiados); ++i)
            grupos.setText(copiados[i], delPadre[i]);
        grupos.setText("GRUPO", candidato.substr(candidato.size() - 1));
        grupos.setText("DESCRIP", descripcion);
        grupos.setText("CODSUBGRUZARE", codigo);
        grupos.setText("NOMESUBGRUZARE", nombre);
        grupos.setText("NOMEABREVSUBGRUZARE", abreviado);
        grupos.post();
        return true;
    });
    grupos.close();
}

}  // namespace import
