// The small pictures on the buttons, drawn here so the program ships no image files.
#pragma once

#include "desktop/glifos.h"

#include <QIcon>

namespace ui {

using Glifo = desktop::Glifo;

QIcon Icono(Glifo glifo);

}  // namespace ui
