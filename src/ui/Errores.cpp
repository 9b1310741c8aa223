#include "ui/Errores.h"

#include "store/errors.h"
#include "ui/Dialogos.h"
#include "ui/Texto.h"

#include <QApplication>

namespace ui {

void MuestraError(QWidget* padre, const std::exception& error)
{
    Dialogos::Actuales().Error(padre, DeAnsi(store::errorReport(error)));
}

void MuestraError(QWidget* padre, const QString& mensaje)
{
    Dialogos::Actuales().Error(padre, DeAnsi(store::errorDisplayText(AAnsi(mensaje))));
}

void CursorNormal()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

}  // namespace ui
