// The main window drawn with Qt: its controls built from the description of the main window,
// the user's clicks, focus and F1 passed to the toolkit-free behaviour
// (desktop/formulario_principal.h), and what the behaviour asks shown here.
#pragma once

#include "desktop/formulario_principal.h"
#include "desktop/vista.h"
#include "ui/Construccion.h"

#include <QPointer>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <string>
#include <vector>

class TModeloTabla;

class TMForm : public QWidget, private desktop::VistaPrincipal {
    Q_OBJECT

public:
    // Creates the window and applies the launch given by the command-line parameters (without
    // the program's name).
    explicit TMForm(const std::vector<std::string>& parametros, QWidget* padre = nullptr);
    ~TMForm() override;

    desktop::FormularioPrincipal& comportamiento() { return *comportamiento_; }
    import::EstadoConversion& estado() { return comportamiento_->estado(); }
    const import::EstadoConversion& estado() const { return comportamiento_->estado(); }

    // The host window the form is shown in when embedded (null when none could be had) and
    // its handle as the host gave it.
    QWindow* ventanaAnfitriona() const { return anfitriona_; }
    quint32 handleAnfitriona() const { return handleAnfitriona_; }

    // The result record's file; "Orbelin.ini" beside the executable unless set.
    void ponRutaResultado(const QString& ruta);

    TModeloTabla* wwDataSourceCODCENTRO() const { return wwDataSourceCODCENTRO_; }
    TModeloTabla* wwDataSourceNIVIMP() const { return wwDataSourceNIVIMP_; }

    // The course grid's cell colours, as the grid asks for them.
    void wwDBGridNIVIMPCalcCellColors(QObject* Sender, const std::string& Field, QStyle::State State,
                                      bool Highlight, QFont& AFont, QBrush& ABrush);

signals:
    // The window has closed (the result record written first when embedded): being the main
    // window, this ends the program.
    void cerrada();

public slots:
    // The handlers, for the programs that drive the window without a person.
    void BExportarClick() { comportamiento_->BExportarClick(); }
    void BitBtn1Click() { comportamiento_->BitBtn1Click(); }
    void Button2Click() { comportamiento_->Button2Click(); }
    void FinalRecogida() { comportamiento_->FinalRecogida(); }
    void BImportarClick() { comportamiento_->BImportarClick(); }

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    // What the behaviour asks of the window.
    void Muestra(const std::string& control, bool visible) override { controles_.Muestra(control, visible); }
    void Habilita(const std::string& control, bool habilitado) override { controles_.Habilita(control, habilitado); }
    void PonLugar(const std::string& control, const desktop::Rectangulo& lugar) override { controles_.PonLugar(control, lugar); }
    void Mensaje(const std::string& texto) override;
    void Error(const std::string& texto) override;
    bool Pregunta(const std::string& texto) override;
    void CursorEspera() override;
    void CursorNormal() override;
    void ConfirmaEdicion(const std::string& rejilla) override;
    void Cierra() override { close(); }
    void Ayuda(const std::string& archivo, int contexto) override;
    std::string CarpetaElegida() override;
    void Incrusta(std::uint32_t ventana) override;
    void VentanaPlantilla() override;

    void preparaControles();
    void anfitrionaDesaparecida();

    std::unique_ptr<desktop::FormularioPrincipal> comportamiento_;
    ui::ControlesQt controles_;
    TModeloTabla* wwDataSourceCODCENTRO_;
    TModeloTabla* wwDataSourceNIVIMP_;

    QPointer<QWindow> anfitriona_;
    quint32 handleAnfitriona_ = 0;
};
