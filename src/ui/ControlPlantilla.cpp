#include "ui/ControlPlantilla.h"

#include "ui/Ayuda.h"
#include "ui/Errores.h"
#include "ui/Formulario.h"
#include "ui/Glifos.h"
#include "ui/models/ModeloTabla.h"
#include "ui_ControlPlantilla.h"

#include <QShortcut>

TControlPlantilla::TControlPlantilla(QWidget* owner)
    : QDialog(owner),
      ui_(std::make_unique<Ui::TControlPlantilla>()),
      wwTablePlantilla_(std::make_unique<store::Table>("C:\\ZTEMP", "plantilla")),
      wwDataSource1_(new TModeloTabla(this))
{
    ui_->setupUi(this);
    ui::AplicaFormulario(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(595, 310);
    move(338, 334);

    wwDataSource1_->ponColumnas({{"HORA", QStringLiteral("HORA"), 7, true},
                                 {"HORAINI", QStringLiteral("HORA INICIO CLASE"), 20, true}});
    wwDataSource1_->ponTabla(wwTablePlantilla_.get());
    ui_->PlantiHorDBGrid->ponModelo(wwDataSource1_);
    ui_->wwDBNavigator1->ponRejilla(ui_->PlantiHorDBGrid);
    ui_->BitBtn2->setIcon(ui::Icono(ui::Glifo::Aceptar));

    connect(ui_->PlantiHorDBGrid, &TRejillaDatos::entra, this, &TControlPlantilla::PlantiHorDBGridEnter);
    connect(ui_->PlantiHorDBGrid, &TRejillaDatos::sale, this, &TControlPlantilla::PlantiHorDBGridExit);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TControlPlantilla::BitBtn1Click);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this,
            [this] { ui::MuestraContexto(this, ui::ContextoAyudaDe(focusWidget() ? focusWidget() : this)); });

    // The grid is the first control and has the focus when the window opens.
    ui_->PlantiHorDBGrid->setFocus();
}

TControlPlantilla::~TControlPlantilla()
{
    sueltaTabla();
}

TRejillaDatos* TControlPlantilla::rejilla() const
{
    return ui_->PlantiHorDBGrid;
}

void TControlPlantilla::PlantiHorDBGridEnter()
{
    ui::Protege(this, [&] {
        if (!wwTablePlantilla_->isOpen()) {
            wwTablePlantilla_->open(store::Access::Shared);
            wwDataSource1_->recarga();
        }
        if (wwDataSource1_->estado() == TModeloTabla::Estado::Navegando)
            wwDataSource1_->edita();
    });
}

void TControlPlantilla::PlantiHorDBGridExit()
{
    ui::Protege(this, [&] {
        if (wwDataSource1_->estado() != TModeloTabla::Estado::Navegando &&
            wwDataSource1_->estado() != TModeloTabla::Estado::Inactivo)
            wwDataSource1_->confirma();
    });
}

void TControlPlantilla::BitBtn1Click()
{
    // The button took the focus from the grid first, so a pending change is posted already.
    sueltaTabla();
    accept();
}

void TControlPlantilla::done(int resultado)
{
    // Closed in any other way, what was typed in the grid is kept all the same.
    ui_->PlantiHorDBGrid->confirmaEdicion();
    PlantiHorDBGridExit();
    sueltaTabla();
    QDialog::done(resultado);
}

void TControlPlantilla::sueltaTabla()
{
    if (!wwTablePlantilla_)
        return;
    ui::Protege(this, [&] {
        wwDataSource1_->ponTabla(nullptr);
        if (wwTablePlantilla_->isOpen())
            wwTablePlantilla_->close();
    });
}
