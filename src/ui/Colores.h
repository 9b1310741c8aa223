// Windows colour values (desktop/colores.h) as Qt colours.
#pragma once

#include "desktop/colores.h"

#include <QColor>

#include <cstdint>

namespace ui {

namespace cl = ::desktop::cl;

// The colour of a Windows colour value; kSinColor gives an invalid colour. System colours are
// those of the Windows XP scheme the screens were drawn with.
QColor ColorWindows(std::uint32_t valor);

// a and b mixed, `parteDeB` from 0 to 1.
QColor Mezcla(const QColor& a, const QColor& b, double parteDeB);

}  // namespace ui
