// How the desktop program was launched: by itself, or embedded in a window of the host
// timetabling program, which passes a direction word and its own window handle in base 16.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app {

// Which direction panels the main window offers.
enum class Paneles {
    Ambos,
    SoloExportacion,  // "importar": the panel "desde ZARE hacia Orbelin" is hidden
    SoloImportacion,  // "exportar": the panel "desde Orbelin hacia ZARE" is hidden
};

struct Lanzamiento {
    int ModoLanzamiento = 0;     // 2 when embedded
    std::uint32_t ventana = 0;   // the host window's handle when embedded
    Paneles paneles = Paneles::Ambos;
    std::string error;           // the handle's conversion error (Windows-1252), else empty
};

// The integer of a text written "$" followed by base-16 digits of any case, at most FFFFFFFF,
// as a 32-bit value; nothing for any other text.
std::optional<std::uint32_t> ConvierteHexadecimal(const std::string& texto);

// Both programs take "--unidad-c DIR" before their own parameters: the folder that stands for
// drive C. Takes it off `parametros` and sets drive C; false for wrong usage (the option
// without a folder, or with an empty one), with `parametros` left as given.
bool QuitaOpcionUnidadC(std::vector<std::string>& parametros);

// The launch from the command-line parameters (without the program's name). Exactly two
// parameters with a valid handle embed; a bad handle gives the error text and the stand-alone
// launch.
Lanzamiento InterpretaParametros(const std::vector<std::string>& parametros);

}  // namespace app
