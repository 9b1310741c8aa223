// The template window "Control de Plantilla Horaria": the centre's timetable template in a
// grid, where the user corrects the time at which each teaching hour starts.
#pragma once

#include "store/table.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TControlPlantilla;
}
class TModeloTabla;
class TRejillaDatos;

class TControlPlantilla : public QDialog {
    Q_OBJECT

public:
    explicit TControlPlantilla(QWidget* owner = nullptr);
    ~TControlPlantilla() override;

    TRejillaDatos* rejilla() const;
    TModeloTabla* modelo() const { return wwDataSource1_; }
    bool tablaAbierta() const { return wwTablePlantilla_ && wwTablePlantilla_->isOpen(); }

public slots:
    void PlantiHorDBGridEnter();
    void PlantiHorDBGridExit();
    void BitBtn1Click();

protected:
    void done(int resultado) override;

private:
    void sueltaTabla();

    std::unique_ptr<Ui::TControlPlantilla> ui_;
    std::unique_ptr<store::Table> wwTablePlantilla_;
    TModeloTabla* wwDataSource1_;
};
