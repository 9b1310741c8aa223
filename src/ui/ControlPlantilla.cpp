#include "ui/ControlPlantilla.h"

#include "ui/Ayuda.h"
#include "ui/Dialogos.h"
#include "ui/Errores.h"
#include "ui/Texto.h"
#include "ui/models/ModeloTabla.h"
#include "ui/widgets/NavegadorDatos.h"
#include "ui/widgets/RejillaDatos.h"

#include <QApplication>
#include <QPushButton>
#include <QShortcut>

TControlPlantilla::TControlPlantilla(QWidget* owner)
    : QDialog(owner),
      comportamiento_(std::make_unique<desktop::FormularioPlantilla>(static_cast<desktop::Vista&>(*this))),
      controles_(this, desktop::VentanaPlantilla()),
      wwDataSource1_(new TModeloTabla(comportamiento_->wwDataSource1(), this))
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const desktop::Ventana& d = desktop::VentanaPlantilla();
    move(d.x, d.y);

    rejilla()->ponModelo(wwDataSource1_);
    controles_.Control<TNavegadorDatos>("wwDBNavigator1")->ponRejilla(rejilla());

    for (const auto& [nombre, w] : controles_.Todos()) {
        if (auto* boton = qobject_cast<QPushButton*>(w))
            connect(boton, &QPushButton::clicked, this, [this, n = nombre] { comportamiento_->Clic(n); });
        else if (auto* r = qobject_cast<TRejillaDatos*>(w)) {
            connect(r, &TRejillaDatos::entra, this, [this, n = nombre] { comportamiento_->Entra(n); });
            connect(r, &TRejillaDatos::sale, this, [this, n = nombre] { comportamiento_->Sale(n); });
        }
    }
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] { comportamiento_->F1(controles_.NombreDe(focusWidget())); });

    // The grid is the first control and has the focus when the window opens.
    rejilla()->setFocus();
}

TControlPlantilla::~TControlPlantilla()
{
    // The table is let go while the window can still say what went wrong.
    rejilla()->setModel(nullptr);
    delete wwDataSource1_;
    wwDataSource1_ = nullptr;
    comportamiento_.reset();
}

TRejillaDatos* TControlPlantilla::rejilla() const
{
    return controles_.Control<TRejillaDatos>("PlantiHorDBGrid");
}

void TControlPlantilla::done(int resultado)
{
    comportamiento_->AlCerrar();
    QDialog::done(resultado);
}

void TControlPlantilla::Mensaje(const std::string& texto)
{
    ui::Dialogos::Actuales().Mensaje(this, ui::DeAnsi(texto));
}

void TControlPlantilla::Error(const std::string& texto)
{
    ui::Dialogos::Actuales().Error(this, ui::DeAnsi(texto));
}

bool TControlPlantilla::Pregunta(const std::string& texto)
{
    return ui::Dialogos::Actuales().Confirma(this, ui::DeAnsi(texto));
}

void TControlPlantilla::CursorEspera()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TControlPlantilla::CursorNormal()
{
    ui::CursorNormal();
}

void TControlPlantilla::ConfirmaEdicion(const std::string& r)
{
    if (auto* g = controles_.Control<TRejillaDatos>(r))
        g->confirmaEdicion();
}

void TControlPlantilla::Ayuda(const std::string& archivo, int contexto)
{
    ui::PonArchivoAyuda(ui::DeAnsi(archivo));
    if (contexto == 0)
        ui::MuestraContenido(this);
    else
        ui::MuestraContexto(this, contexto);
}
