// The state one conversion run shares between its steps and with the window or command line
// that drives it, and the one way the core shows a fixed message.
#pragma once

#include <string>

namespace import {

struct EstadoConversion {
    std::string CarpetaCSV;        // the chosen folder of the CSV files, ending in "/"
    int EstadoTransformacion = 0;  // 0 nothing done, 1 started or completed, -1 failed
    int ModoLanzamiento = 0;       // 2 when embedded in the host window
    int NivelesIncompletos = 0;    // 1 when the last check found a course without level or course
};

// Shows a fixed message (Windows-1252 text) and returns when the user has seen it.
class Mensajes {
public:
    virtual ~Mensajes() = default;
    virtual void Muestra(const std::string& texto) = 0;
};

// Messages both directions show.
inline const std::string kProcesoFinalizado = "Proceso finalizado";
inline const std::string kNoExisteCarpeta = "No existe la carpeta";

// The work folder in its two written forms; both resolve to ZTEMP on the stand-in for drive C.
inline const std::string kTrabajo = "\\ZTEMP";
inline const std::string kTrabajoC = "C:\\ZTEMP";

}  // namespace import
