// The main window: the two direction panels, the folder list and drive picker, the call panel
// and the course screen of the import, the launch modes and the result record.
#pragma once

#include "export/exportacion.h"
#include "import/estado.h"
#include "import/importacion.h"
#include "store/table.h"
#include "store/work_lock.h"

#include <QPointer>
#include <QStyle>
#include <QWindow>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class TMForm;
}

class TModeloTabla;

class TMForm : public QWidget {
    Q_OBJECT

public:
    // Creates the window and applies the launch given by the command-line parameters (without
    // the program's name).
    explicit TMForm(const std::vector<std::string>& parametros, QWidget* padre = nullptr);
    ~TMForm() override;

    import::EstadoConversion& estado() { return estado_; }
    const import::EstadoConversion& estado() const { return estado_; }

    // The host window the form is shown in when embedded (null when none could be had) and
    // its handle as the host gave it.
    QWindow* ventanaAnfitriona() const { return anfitriona_; }
    quint32 handleAnfitriona() const { return handleAnfitriona_; }

    // The result record's file; "Orbelin.ini" beside the executable unless set.
    QString rutaResultado() const;
    void ponRutaResultado(const QString& ruta) { rutaResultado_ = ruta; }

    TModeloTabla* wwDataSourceCODCENTRO() const { return wwDataSourceCODCENTRO_; }
    TModeloTabla* wwDataSourceNIVIMP() const { return wwDataSourceNIVIMP_; }

signals:
    // The window has closed (the result record written first when embedded): being the main
    // window, this ends the program.
    void cerrada();

public slots:
    void BExportarClick();
    void BitBtn1Click();
    void DatosNivel();
    void wwDBGridNIVIMPEnter();
    void Button2Click();
    void FinalRecogida();
    void BImportarClick();
    void BCloseClick();
    void Button1Click();

public:
    // The course grid's cell colours: the course code and name on the button-face colour.
    void wwDBGridNIVIMPCalcCellColors(QObject* Sender, const std::string& Field, QStyle::State State,
                                      bool Highlight, QFont& AFont, QBrush& ABrush);

    void CargaConvocatorias();
    void CargaCursos();
    void CompruebaNiveles();
    void PlantillaCentro();
    void Importar2();

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    class MensajesVentana : public import::Mensajes {
    public:
        explicit MensajesVentana(QWidget* ventana) : ventana_(ventana) {}
        void Muestra(const std::string& texto) override;

    private:
        QWidget* ventana_;
    };

    struct SueltaAlSalir;
    void preparaControles();
    void aplicaLanzamiento(const std::vector<std::string>& parametros);
    void incrusta(quint32 handle);
    void anfitrionaDesaparecida();
    bool escribeResultado();  // the result record when embedded; false after saying it failed
    std::string carpetaElegida() const;
    void editaOAnade(TModeloTabla* fuente);

    std::unique_ptr<Ui::TMForm> ui_;
    import::EstadoConversion estado_;
    MensajesVentana mensajes_;
    import::Importacion importacion_;
    exportacion::Exportacion exportacion_;
    // The work folder, held from a direction's button until that direction has ended.
    store::WorkLock bloqueoTrabajo_;

    // The form's table components and their data sources.
    std::unique_ptr<store::Table> wwTableCentro_;
    std::unique_ptr<store::Table> wwTableNIVIMP_;
    TModeloTabla* wwDataSourceCODCENTRO_;
    TModeloTabla* wwDataSourceNIVIMP_;

    QPointer<QWindow> anfitriona_;
    quint32 handleAnfitriona_ = 0;
    QString rutaResultado_;
};
