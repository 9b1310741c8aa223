// The template window "Control de Plantilla Horaria" drawn with Qt: its controls built from
// the window's description, its events passed to the toolkit-free behaviour
// (desktop/formulario_plantilla.h).
#pragma once

#include "desktop/formulario_plantilla.h"
#include "desktop/vista.h"
#include "ui/Construccion.h"

#include <QDialog>

#include <memory>

class TModeloTabla;
class TRejillaDatos;

class TControlPlantilla : public QDialog, private desktop::Vista {
    Q_OBJECT

public:
    explicit TControlPlantilla(QWidget* owner = nullptr);
    ~TControlPlantilla() override;

    TRejillaDatos* rejilla() const;
    TModeloTabla* modelo() const { return wwDataSource1_; }
    bool tablaAbierta() const { return comportamiento_->TablaAbierta(); }

public slots:
    void PlantiHorDBGridEnter() { comportamiento_->PlantiHorDBGridEnter(); }
    void BitBtn1Click() { comportamiento_->BitBtn1Click(); }

protected:
    void done(int resultado) override;

private:
    void Muestra(const std::string& control, bool visible) override { controles_.Muestra(control, visible); }
    void Habilita(const std::string& control, bool habilitado) override { controles_.Habilita(control, habilitado); }
    void PonLugar(const std::string& control, const desktop::Rectangulo& lugar) override { controles_.PonLugar(control, lugar); }
    void Mensaje(const std::string& texto) override;
    void Error(const std::string& texto) override;
    bool Pregunta(const std::string& texto) override;
    void CursorEspera() override;
    void CursorNormal() override;
    void ConfirmaEdicion(const std::string& rejilla) override;
    void Cierra() override { accept(); }
    void Ayuda(const std::string& archivo, int contexto) override;

    std::unique_ptr<desktop::FormularioPlantilla> comportamiento_;
    ui::ControlesQt controles_;
    TModeloTabla* wwDataSource1_;
};
