#include "ui/Aplicacion.h"

#include "ui/Colores.h"
#include "ui/Dialogos.h"
#include "ui/Errores.h"
#include "ui/Fuentes.h"

#include <QPalette>
#include <QStyleFactory>
#include <QWidget>

namespace ui {

Aplicacion::Aplicacion(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(kTituloAplicacion);
    AplicaAspecto(*this);
}

bool Aplicacion::notify(QObject* receptor, QEvent* evento)
{
    try {
        return QApplication::notify(receptor, evento);
    } catch (const std::exception& e) {
        CursorNormal();
        MuestraError(qobject_cast<QWidget*>(receptor), e);
    }
    return false;
}

void AplicaAspecto(QApplication& aplicacion)
{
    aplicacion.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p = aplicacion.palette();
    const QColor cara = ColorWindows(cl::BtnFace);
    p.setColor(QPalette::Window, cara);
    p.setColor(QPalette::Button, cara);
    p.setColor(QPalette::WindowText, ColorWindows(cl::BtnText));
    p.setColor(QPalette::ButtonText, ColorWindows(cl::BtnText));
    p.setColor(QPalette::Light, ColorWindows(cl::BtnHighlight));
    p.setColor(QPalette::Midlight, ColorWindows(cl::Light3D));
    p.setColor(QPalette::Mid, ColorWindows(cl::BtnShadow));
    p.setColor(QPalette::Dark, ColorWindows(cl::BtnShadow));
    p.setColor(QPalette::Shadow, ColorWindows(cl::DkShadow3D));
    p.setColor(QPalette::Highlight, ColorWindows(cl::Highlight));
    p.setColor(QPalette::HighlightedText, ColorWindows(cl::HighlightText));
    p.setColor(QPalette::ToolTipBase, ColorWindows(cl::InfoBk));
    p.setColor(QPalette::ToolTipText, ColorWindows(cl::InfoText));
    aplicacion.setPalette(p);
    aplicacion.setFont(FuenteMsSansSerif());
}

}  // namespace ui
