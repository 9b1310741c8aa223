#include "ui/Formulario.h"

#include "ui/Colores.h"
#include "ui/Fuentes.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>

namespace ui {

namespace {

void Aplica(QWidget* w)
{
    const QVariant colorFuente = w->property("colorFuente");
    if (colorFuente.isValid()) {
        QPalette p = w->palette();
        const QColor c = ColorDeFormulario(colorFuente.toString());
        p.setColor(QPalette::WindowText, c);
        p.setColor(QPalette::ButtonText, c);
        p.setColor(QPalette::Text, c);
        w->setPalette(p);
    }
    const QVariant color = w->property("color");
    if (color.isValid()) {
        // The background of the control itself: lists and drop-down boxes paint their own.
        const QColor c = ColorDeFormulario(color.toString());
        QPalette p = w->palette();
        p.setColor(QPalette::Window, c);
        if (qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QComboBox*>(w))
            p.setColor(QPalette::Base, c);
        if (qobject_cast<QComboBox*>(w))
            p.setColor(QPalette::Button, c);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    const QVariant arial = w->property("fuenteArial");
    if (arial.isValid()) {
        QFont f = FuenteArial(arial.toInt(), w->font().bold());
        f.setUnderline(w->font().underline());
        w->setFont(f);
    }
    const QVariant pixeles = w->property("fuentePixeles");
    if (pixeles.isValid()) {
        QFont f = w->font();
        f.setPixelSize(pixeles.toInt());
        w->setFont(f);
    }
    if (w->property("autoTamano").toBool())
        w->adjustSize();
}

}  // namespace

void AplicaFormulario(QWidget* formulario)
{
    formulario->setFont(FuenteMsSansSerif());
    Aplica(formulario);
    for (QWidget* w : formulario->findChildren<QWidget*>())
        Aplica(w);
}

}  // namespace ui
