#include "ui/widgets/PanelDegradado.h"

#include "ui/Colores.h"

#include <QLinearGradient>
#include <QPainter>

TPanelDegradado::TPanelDegradado(QWidget* padre) : QWidget(padre)
{
    for (QColor& c : colores_)
        c = ui::ColorWindows(ui::cl::BtnFace);
}

void TPanelDegradado::ponColores(desktop::Color inicio, desktop::Color medio, desktop::Color fin)
{
    const QColor primero = ui::ColorWindows(inicio);
    colores_[0] = primero.isValid() ? primero : ui::ColorWindows(ui::cl::BtnFace);
    colores_[1] = medio == desktop::kSinColor ? colores_[0] : ui::ColorWindows(medio);
    colores_[2] = fin == desktop::kSinColor ? colores_[0] : ui::ColorWindows(fin);
    update();
}

void TPanelDegradado::setBiselado(bool b)
{
    biselado_ = b;
    update();
}

QColor TPanelDegradado::colorEn(double altura) const
{
    if (altura <= 0.5)
        return ui::Mezcla(colores_[0], colores_[1], altura * 2);
    return ui::Mezcla(colores_[1], colores_[2], (altura - 0.5) * 2);
}

void TPanelDegradado::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, colores_[0]);
    g.setColorAt(0.5, colores_[1]);
    g.setColorAt(1, colores_[2]);
    p.fillRect(rect(), g);
    if (biselado_) {
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.setPen(ui::ColorWindows(ui::cl::BtnHighlight));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(ui::ColorWindows(ui::cl::BtnShadow));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
}
