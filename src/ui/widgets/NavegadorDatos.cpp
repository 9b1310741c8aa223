#include "ui/widgets/NavegadorDatos.h"

#include "desktop/acciones_rejilla.h"
#include "ui/Errores.h"
#include "ui/Glifos.h"
#include "ui/models/ModeloTabla.h"
#include "ui/widgets/RejillaDatos.h"

#include <QToolButton>

TNavegadorDatos::TNavegadorDatos(QWidget* padre) : QWidget(padre)
{
    static const ui::Glifo glifos[kBotones] = {
        ui::Glifo::Primero, ui::Glifo::Anterior10, ui::Glifo::Anterior, ui::Glifo::Siguiente, ui::Glifo::Siguiente10,
        ui::Glifo::Ultimo,  ui::Glifo::Editar,     ui::Glifo::Confirmar, ui::Glifo::Cancelar, ui::Glifo::Refrescar,
    };
    for (int i = 0; i < kBotones; ++i) {
        auto* b = new QToolButton(this);
        const desktop::DescripcionBoton& d = desktop::BotonesNavegador()[static_cast<std::size_t>(i)];
        b->setObjectName(QString::fromLatin1(d.nombre));
        b->setIcon(ui::Icono(glifos[i]));
        b->setIconSize({16, 16});
        b->setToolTip(QString::fromLatin1(d.pista));
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
    desktop::FuenteDatos& fuente = rejilla_->modelo()->fuente();
    const auto boton = static_cast<desktop::BotonNavegador>(b);
    ui::Protege(this, [&] {
        // The moving buttons move the grid's cursor, which moves the source's.
        const int destino = desktop::FilaDestino(fuente, boton);
        if (destino >= 0)
            rejilla_->irAFila(destino);
        if (boton == desktop::BotonNavegador::Confirmar)
            rejilla_->confirmaEdicion();
        desktop::PulsaNavegador(fuente, boton);
    });
    actualiza();
}

void TNavegadorDatos::actualiza()
{
    TModeloTabla* m = rejilla_ ? rejilla_->modelo() : nullptr;
    for (int i = 0; i < kBotones; ++i)
        botones_[i]->setEnabled(m && desktop::BotonHabilitado(m->fuente(), static_cast<desktop::BotonNavegador>(i)));
}
