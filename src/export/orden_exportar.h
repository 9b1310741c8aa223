// The export direction as the command line runs it: no template window between the template
// and the export.
#pragma once

#include "import/estado.h"

#include <string>

namespace exportacion {

// Checks the folder, sets CarpetaCSV, builds the template when missing and runs the export.
// A missing folder shows "No existe la carpeta" and answers false (EstadoTransformacion 0 when
// embedded, else unchanged). Errors propagate as Importar2 says.
bool ExportaCarpeta(const std::string& carpeta, import::EstadoConversion& estado,
                    import::Mensajes& mensajes);

}  // namespace exportacion
