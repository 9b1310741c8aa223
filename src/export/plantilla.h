// The centre's timetable template PLANTILLA.DBF: the start time of every teaching hour.
// Built once with 20 hours; from then on it keeps whatever the user set in it.
#pragma once

#include <string>
#include <vector>

namespace exportacion {

// Builds "\ZTEMP\PLANTILLA.DBF" (fields HORA, HORAINI, HORAFIN, tag HORA) with hours 1 to 20
// when the file is missing; an existing template is left as it is. Answers true when it built.
bool CreaPlantillaSiFalta();

// The start time and end time the built template gives to an hour from 1 to 20: hours 1 to 16
// start at 08:00 to 23:00, hours 17 to 20 at 00:00 to 03:00; each ends an hour later.
std::string HoraInicioPlantilla(int hora);
std::string HoraFinPlantilla(int hora);

// The HORAINI values of the template in the order of its tag HORA: entry 0 is the first hour.
std::vector<std::string> LeeListaPlantilla();

}  // namespace exportacion
