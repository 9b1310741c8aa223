// A panel shaded from top to bottom through a start, a middle and an end colour (the forms'
// Draw3D panels), or of one colour with a raised edge (the forms' plain panels). Colours are
// given as the form files write them ("clInfoBk", "8246265").
#pragma once

#include <QColor>
#include <QWidget>

class TPanelDegradado : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString colorInicio READ colorInicio WRITE setColorInicio)
    Q_PROPERTY(QString colorMedio READ colorMedio WRITE setColorMedio)
    Q_PROPERTY(QString colorFin READ colorFin WRITE setColorFin)
    Q_PROPERTY(bool biselado READ biselado WRITE setBiselado)

public:
    explicit TPanelDegradado(QWidget* padre = nullptr);

    QString colorInicio() const { return textos_[0]; }
    QString colorMedio() const { return textos_[1]; }
    QString colorFin() const { return textos_[2]; }
    bool biselado() const { return biselado_; }
    void setColorInicio(const QString& c) { pon(0, c); }
    void setColorMedio(const QString& c) { pon(1, c); }
    void setColorFin(const QString& c) { pon(2, c); }
    void setBiselado(bool b);

    // The colour at a height from 0 (top) to 1 (bottom).
    QColor colorEn(double altura) const;

protected:
    void paintEvent(QPaintEvent* evento) override;

private:
    void pon(int i, const QString& c);

    QString textos_[3];
    QColor colores_[3];
    bool biselado_ = false;
};
