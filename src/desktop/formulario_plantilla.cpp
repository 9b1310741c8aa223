#include "desktop/formulario_plantilla.h"

#include "desktop/controles.h"
#include "desktop/protege.h"
#include "import/estado.h"

namespace desktop {

FormularioPlantilla::FormularioPlantilla(Vista& vista)
    : vista_(vista), wwTablePlantilla_(std::make_unique<store::Table>(import::kTrabajoC, "plantilla"))
{
    wwDataSource1_.PonColumnas(BuscaControl(VentanaPlantilla(), "PlantiHorDBGrid")->rejilla.columnas);
    wwDataSource1_.PonTabla(wwTablePlantilla_.get());
}

FormularioPlantilla::~FormularioPlantilla()
{
    SueltaTabla();
}

void FormularioPlantilla::Clic(const std::string& control)
{
    if (control == "BitBtn2")
        BitBtn1Click();
}

void FormularioPlantilla::Entra(const std::string& control)
{
    if (control == "PlantiHorDBGrid")
        PlantiHorDBGridEnter();
}

void FormularioPlantilla::Sale(const std::string& control)
{
    if (control == "PlantiHorDBGrid")
        PlantiHorDBGridExit();
}

void FormularioPlantilla::F1(const std::string& control)
{
    vista_.Ayuda("ZARE.CHM", ContextoAyuda(VentanaPlantilla(), control));
}

void FormularioPlantilla::PlantiHorDBGridEnter()
{
    Protege(vista_, [&] {
        if (!wwTablePlantilla_->isOpen()) {
            wwTablePlantilla_->open(store::Access::Shared);
            wwDataSource1_.Recarga();
        }
        if (wwDataSource1_.EstadoActual() == FuenteDatos::Estado::Navegando)
            wwDataSource1_.Edita();
    });
}

void FormularioPlantilla::PlantiHorDBGridExit()
{
    Protege(vista_, [&] {
        if (wwDataSource1_.EstadoActual() != FuenteDatos::Estado::Navegando &&
            wwDataSource1_.EstadoActual() != FuenteDatos::Estado::Inactivo)
            wwDataSource1_.Confirma();
    });
}

void FormularioPlantilla::BitBtn1Click()
{
    // The button took the focus from the grid first, so a pending change is posted already.
    SueltaTabla();
    vista_.Cierra();
}

void FormularioPlantilla::AlCerrar()
{
    // Closed in any other way, what was typed in the grid is kept all the same.
    vista_.ConfirmaEdicion("PlantiHorDBGrid");
    PlantiHorDBGridExit();
    SueltaTabla();
}

void FormularioPlantilla::SueltaTabla()
{
    if (!wwTablePlantilla_)
        return;
    Protege(vista_, [&] {
        wwDataSource1_.PonTabla(nullptr);
        if (wwTablePlantilla_->isOpen())
            wwTablePlantilla_->close();
    });
}

}  // namespace desktop
