#include "export/orden_exportar.h"

#include "files/folders.h"
#include "export/exportacion.h"
#include "store/paths.h"

namespace exportacion {

bool ExportaCarpeta(const std::string& carpeta, import::EstadoConversion& estado,
                    import::Mensajes& mensajes)
{
    if (!files::folderExists(carpeta)) {
        mensajes.Muestra(import::kNoExisteCarpeta);
        if (estado.ModoLanzamiento == 2)
            estado.EstadoTransformacion = 0;
        return false;
    }
    estado.CarpetaCSV = store::resolveFolder(carpeta) + "/";
    Exportacion exportacion(estado, mensajes);
    exportacion.PlantillaCentro();
    exportacion.Importar2();
    return true;
}

}  // namespace exportacion
