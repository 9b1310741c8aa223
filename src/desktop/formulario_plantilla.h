// What the template window "Control de Plantilla Horaria" does, whichever toolkit draws it:
// the template table opened when the grid takes the focus, a pending change posted when the
// focus leaves it or the window closes in any way, the table let go by "Aceptar".
#pragma once

#include "desktop/fuente_datos.h"
#include "desktop/vista.h"
#include "store/table.h"

#include <memory>
#include <string>

namespace desktop {

class FormularioPlantilla {
public:
    explicit FormularioPlantilla(Vista& vista);
    ~FormularioPlantilla();
    FormularioPlantilla(const FormularioPlantilla&) = delete;
    FormularioPlantilla& operator=(const FormularioPlantilla&) = delete;

    FuenteDatos& wwDataSource1() { return wwDataSource1_; }
    bool TablaAbierta() const { return wwTablePlantilla_ && wwTablePlantilla_->isOpen(); }

    void Clic(const std::string& control);
    void Entra(const std::string& control);
    void Sale(const std::string& control);
    void F1(const std::string& control);
    // The window closes, by "Aceptar", its close box or Esc: what was typed is kept.
    void AlCerrar();

    void PlantiHorDBGridEnter();
    void PlantiHorDBGridExit();
    void BitBtn1Click();

private:
    void SueltaTabla();

    Vista& vista_;
    std::unique_ptr<store::Table> wwTablePlantilla_;
    FuenteDatos wwDataSource1_;
};

}  // namespace desktop
