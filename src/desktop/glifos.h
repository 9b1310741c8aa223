// The small pictures of the buttons, the windows, the folder list and the drive picker, by
// name: one list that the descriptions use and both front ends draw (src/ui/Glifos.cpp,
// src/win32/controles/glifos.cpp).
#pragma once

namespace desktop {

enum class Glifo {
    Ninguno,    // no picture
    Aceptar,    // green check mark
    Salir,      // open door with an arrow
    Continuar,  // arrow to the right
    Primero,
    Anterior10,
    Anterior,
    Siguiente,
    Siguiente10,
    Ultimo,
    Editar,
    Confirmar,
    Cancelar,
    Refrescar,
    Ayuda,
    CarpetaCerrada,
    CarpetaAbierta,
    Unidad,           // a fixed disk
    UnidadExtraible,  // a removable drive
    UnidadCD,         // a CD or DVD drive
    UnidadRed,        // a network drive
};

}  // namespace desktop
