#include "export/plantilla.h"

#include "files/folders.h"
#include "import/estado.h"
#include "store/paths.h"
#include "store/table.h"

#include <cstdio>

namespace exportacion {

namespace {

constexpr int kHorasPlantilla = 20;
const std::string kTablaPlantilla = "PLANTILLA.DBF";

// The clock hour at which a template hour starts.
int HoraReloj(int hora)
{
    return hora <= 16 ? hora + 7 : hora - 17;
}

// "h:00" with a leading "0" while shorter than five characters.
std::string TextoHora(int horaReloj)
{
    char texto[16];
    std::snprintf(texto, sizeof texto, "%02d:00", horaReloj);
    return texto;
}

}  // namespace

std::string HoraInicioPlantilla(int hora)
{
    return TextoHora(HoraReloj(hora));
}

std::string HoraFinPlantilla(int hora)
{
    return TextoHora(HoraReloj(hora) + 1);
}

bool CreaPlantillaSiFalta()
{
    const std::string carpeta = store::resolveFolder(import::kTrabajo);
    if (files::fileExists(files::pathInFolder(carpeta, kTablaPlantilla)))
        return false;
    // Built aside and put in place with its 20 hours: an existing template is never rebuilt,
    // so one cut short would stay so.
    store::NewTable nueva(import::kTrabajo, kTablaPlantilla,
                          {{"HORA", 'I', 4}, {"HORAINI", 'C', 5}, {"HORAFIN", 'C', 5}}, {{"HORA", "HORA"}});
    store::Table& plantilla = nueva.table();
    for (int hora = 1; hora <= kHorasPlantilla; ++hora) {
        plantilla.append();
        plantilla.setInteger("HORA", hora);
        plantilla.setText("HORAINI", HoraInicioPlantilla(hora));
        plantilla.setText("HORAFIN", HoraFinPlantilla(hora));
        plantilla.post();
    }
    nueva.commit();
    return true;
}

std::vector<std::string> LeeListaPlantilla()
{
    std::vector<std::string> lista;
    store::Table plantilla(import::kTrabajo, kTablaPlantilla);
    plantilla.open(store::Access::Shared);
    plantilla.setIndex("HORA");
    for (plantilla.first(); !plantilla.eof(); plantilla.next())
        lista.push_back(plantilla.asText("HORAINI"));
    plantilla.close();
    return lista;
}

}  // namespace exportacion
