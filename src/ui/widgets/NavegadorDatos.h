// The record navigator: ten buttons acting on a grid's data source (first, back ten, prior,
// next, forward ten, last, edit, post, cancel, refresh; what each does and when it is enabled
// is desktop/acciones_rejilla.h's). The buttons take no focus, so using them does not leave
// the grid.
#pragma once

#include <QWidget>

class QToolButton;
class TRejillaDatos;

class TNavegadorDatos : public QWidget {
    Q_OBJECT

public:
    enum Boton { Primero, Anterior10, Anterior, Siguiente, Siguiente10, Ultimo, Editar, Confirmar, Cancelar, Refrescar };
    static constexpr int kBotones = 10;

    explicit TNavegadorDatos(QWidget* padre = nullptr);

    void ponRejilla(TRejillaDatos* rejilla);
    QToolButton* boton(Boton b) const { return botones_[b]; }
    void pulsa(Boton b);

protected:
    void resizeEvent(QResizeEvent* evento) override;

private:
    void actualiza();

    QToolButton* botones_[kBotones] = {};
    TRejillaDatos* rejilla_ = nullptr;
};
