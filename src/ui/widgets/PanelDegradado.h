// A panel shaded from top to bottom through a start, a middle and an end colour (the windows'
// Draw3D panels), or of one colour with a raised edge (their plain panels).
#pragma once

#include "desktop/colores.h"

#include <QColor>
#include <QWidget>

class TPanelDegradado : public QWidget {
    Q_OBJECT

public:
    explicit TPanelDegradado(QWidget* padre = nullptr);

    // Windows colour values; a middle or end not given follows the start (a plain panel).
    void ponColores(desktop::Color inicio, desktop::Color medio = desktop::kSinColor,
                    desktop::Color fin = desktop::kSinColor);
    bool biselado() const { return biselado_; }
    void setBiselado(bool b);

    // The colour at a height from 0 (top) to 1 (bottom).
    QColor colorEn(double altura) const;

protected:
    void paintEvent(QPaintEvent* evento) override;

private:
    QColor colores_[3];
    bool biselado_ = false;
};
