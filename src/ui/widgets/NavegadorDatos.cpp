#include "ui/widgets/NavegadorDatos.h"

#include "ui/Errores.h"
#include "ui/Glifos.h"
#include "ui/models/ModeloTabla.h"
#include "ui/widgets/RejillaDatos.h"

#include <QToolButton>

TNavegadorDatos::TNavegadorDatos(QWidget* padre) : QWidget(padre)
{
    struct Definicion {
        ui::Glifo glifo;
        const char* nombre;
        const char* pista;
    };
    static const Definicion definiciones[kBotones] = {
        {ui::Glifo::Primero, "nbFirst", "Move to first record"},
        {ui::Glifo::Anterior10, "nbPriorPage", "Move backward 10 records"},
        {ui::Glifo::Anterior, "nbPrior", "Move to prior record"},
        {ui::Glifo::Siguiente, "nbNext", "Move to next record"},
        {ui::Glifo::Siguiente10, "nbNextPage", "Move forward 10 records"},
        {ui::Glifo::Ultimo, "nbLast", "Move to last record"},
        {ui::Glifo::Editar, "nbEdit", "Edit current record"},
        {ui::Glifo::Confirmar, "nbPost", "Post changes of current record"},
        {ui::Glifo::Cancelar, "nbCancel", "Cancel changes made to current record"},
        {ui::Glifo::Refrescar, "nbRefresh", "Refresh the contents of the dataset"},
    };
    for (int i = 0; i < kBotones; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(definiciones[i].nombre);
        b->setIcon(ui::Icono(definiciones[i].glifo));
        b->setIconSize({16, 16});
        b->setToolTip(QString::fromLatin1(definiciones[i].pista));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
        connect(b, &QToolButton::clicked, this, [this, i] { pulsa(static_cast<Boton>(i)); });
        botones_[i] = b;
    }
    actualiza();
}

void TNavegadorDatos::resizeEvent(QResizeEvent*)
{
    // The buttons share the width, the first ones taking the pixels left over.
    const int base = width() / kBotones;
    int resto = width() % kBotones;
    int x = 0;
    for (QToolButton* b : botones_) {
        const int ancho = base + (resto-- > 0 ? 1 : 0);
        b->setGeometry(x, 0, ancho, height());
        x += ancho;
    }
}

void TNavegadorDatos::ponRejilla(TRejillaDatos* rejilla)
{
    rejilla_ = rejilla;
    TModeloTabla* m = rejilla->modelo();
    connect(m, &TModeloTabla::estadoCambiado, this, &TNavegadorDatos::actualiza);
    connect(m, &TModeloTabla::filaActualCambiada, this, &TNavegadorDatos::actualiza);
    connect(m, &QAbstractItemModel::modelReset, this, &TNavegadorDatos::actualiza);
    connect(m, &QAbstractItemModel::rowsInserted, this, &TNavegadorDatos::actualiza);
    connect(m, &QAbstractItemModel::rowsRemoved, this, &TNavegadorDatos::actualiza);
    actualiza();
}

void TNavegadorDatos::pulsa(Boton b)
{
    if (!rejilla_ || !rejilla_->modelo())
        return;
    TModeloTabla* m = rejilla_->modelo();
    const int fila = m->filaActual();
    const int ultima = m->rowCount() - 1;
    ui::Protege(this, [&] {
        switch (b) {
        case Primero: rejilla_->irAFila(0); break;
        case Anterior10: rejilla_->irAFila(std::max(0, fila - 10)); break;
        case Anterior: rejilla_->irAFila(std::max(0, fila - 1)); break;
        case Siguiente: rejilla_->irAFila(std::min(ultima, fila + 1)); break;
        case Siguiente10: rejilla_->irAFila(std::min(ultima, fila + 10)); break;
        case Ultimo: rejilla_->irAFila(ultima); break;
        case Editar: m->edita(); break;
        case Confirmar: rejilla_->confirmaEdicion(); m->confirma(); break;
        case Cancelar: m->cancela(); break;
        case Refrescar: m->refresca(); break;
        }
    });
    actualiza();
}

void TNavegadorDatos::actualiza()
{
    TModeloTabla* m = rejilla_ ? rejilla_->modelo() : nullptr;
    const bool activa = m && m->activa();
    const int fila = activa ? m->filaActual() : -1;
    const int ultima = activa ? m->rowCount() - 1 : -1;
    const bool editando = activa && m->estado() != TModeloTabla::Estado::Navegando;
    const bool arriba = activa && fila > 0;
    const bool abajo = activa && fila >= 0 && fila < ultima;
    botones_[Primero]->setEnabled(arriba);
    botones_[Anterior10]->setEnabled(arriba);
    botones_[Anterior]->setEnabled(arriba);
    botones_[Siguiente]->setEnabled(abajo);
    botones_[Siguiente10]->setEnabled(abajo);
    botones_[Ultimo]->setEnabled(abajo);
    botones_[Editar]->setEnabled(activa && !editando);
    botones_[Confirmar]->setEnabled(editando);
    botones_[Cancelar]->setEnabled(editando);
    botones_[Refrescar]->setEnabled(activa);
}
