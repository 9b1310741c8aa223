// The forms' fonts. "MS Sans Serif" and Arial exist only on Windows; elsewhere the nearest
// fonts with the same metrics take their place, at the same pixel height.
#pragma once

#include <QFont>

namespace ui {

QFont FuenteMsSansSerif(int pixeles = 11);
QFont FuenteArial(int pixeles, bool negrita);

}  // namespace ui
