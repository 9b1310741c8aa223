// The command-line program `transorbelin`: the conversions without windows.
//
//   transorbelin [--unidad-c DIR] convocatorias CARPETA
//   transorbelin [--unidad-c DIR] cursos CARPETA CONVOCATORIA
//   transorbelin [--unidad-c DIR] importar CARPETA CONVOCATORIA NIVELES
//   transorbelin [--unidad-c DIR] exportar CARPETA
//
// Fixed messages go to `salida` (UTF-8, a line each); errors, as the desktop program's error box
// words them, go to `errores`. Exit status: 0 done with result code 1; 1 result code -1 or 0, or
// a missing folder; 2 an error stopped it; 3 incomplete courses; 64 wrong usage.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace app {

int EjecutaLineaComandos(const std::vector<std::string>& argumentos, std::ostream& salida,
                         std::ostream& errores);

}  // namespace app
