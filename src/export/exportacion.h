// The export direction without windows: the timetable template and the timetable export that
// turns the solution SOLUC into HORARIOZARECSV.DBF and "HORARIO.CSV". The desktop program's
// handlers and the command-line program call these same methods.
#pragma once

#include "import/estado.h"

#include <string>

namespace exportacion {

class Exportacion {
public:
    Exportacion(import::EstadoConversion& estado, import::Mensajes& mensajes);

    // Builds "\ZTEMP\PLANTILLA.DBF" when it is missing; an existing template is kept. The
    // desktop program shows the template window after it.
    void PlantillaCentro();

    // The timetable export into estado.CarpetaCSV, which must name an existing folder. At its
    // end EstadoTransformacion is 1 and "Proceso finalizado" has been shown; the caller then
    // disables both directions (and closes the window when embedded). An error (engine, file,
    // an hour beyond the template) propagates; it leaves EstadoTransformacion unchanged, and
    // an earlier "HORARIO.CSV" untouched unless the error came while writing it.
    void Importar2();

private:
    import::EstadoConversion& estado_;
    import::Mensajes& mensajes_;
};

}  // namespace exportacion
