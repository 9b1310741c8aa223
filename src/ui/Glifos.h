// The small pictures on the buttons, drawn here so the program ships no image files.
#pragma once

#include <QIcon>

namespace ui {

enum class Glifo {
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
    Unidad,
};

QIcon Icono(Glifo glifo);

}  // namespace ui
