// What the main window does, whichever toolkit draws it: the direction buttons and their
// handlers in order, the call and course screens, the template window, the launch modes, the
// close with its result record and the work-folder lock. The toolkit builds the controls from
// VentanaPrincipal(), passes the user's clicks here by control name, and shows what the
// behaviour asks of its VistaPrincipal.
#pragma once

#include "desktop/controles.h"
#include "desktop/fuente_datos.h"
#include "desktop/vista.h"
#include "export/exportacion.h"
#include "import/estado.h"
#include "import/importacion.h"
#include "store/table.h"
#include "store/work_lock.h"

#include <memory>
#include <string>
#include <vector>

namespace desktop {

class FormularioPrincipal {
public:
    explicit FormularioPrincipal(VistaPrincipal& vista);
    ~FormularioPrincipal();
    FormularioPrincipal(const FormularioPrincipal&) = delete;
    FormularioPrincipal& operator=(const FormularioPrincipal&) = delete;

    import::EstadoConversion& estado() { return estado_; }
    const import::EstadoConversion& estado() const { return estado_; }

    // The result record's file (a path as the system writes it): "Orbelin.ini" beside the
    // executable, which the toolkit knows.
    void PonRutaResultado(const std::string& ruta) { rutaResultado_ = ruta; }
    const std::string& RutaResultado() const { return rutaResultado_; }

    // The launch given by the command-line parameters (without the program's name), once the
    // controls exist.
    void AplicaLanzamiento(const std::vector<std::string>& parametros);

    // A button was pressed; names that are no button of the window do nothing.
    void Clic(const std::string& control);
    // The focus came into a grid, or left it.
    void Entra(const std::string& control);
    void Sale(const std::string&) {}
    // F1 in a control: its help context.
    void F1(const std::string& control);

    // The window is asked to close (its close box, "&Salir", a handler): the record is written
    // when embedded. False keeps the window open: the record could not be written and that
    // was said; a later close tries again.
    bool AlCerrar();
    // The host's window has gone, and ours with it: the record as it stands.
    void AnfitrionaDesaparecida();

    FuenteDatos& wwDataSourceCODCENTRO() { return wwDataSourceCODCENTRO_; }
    FuenteDatos& wwDataSourceNIVIMP() { return wwDataSourceNIVIMP_; }
    // The data source a grid of the window shows; null for any other name.
    FuenteDatos* FuenteDe(const std::string& rejilla);

    // The handlers, by the window's names.
    void BExportarClick();
    void BitBtn1Click();
    void DatosNivel();
    void wwDBGridNIVIMPEnter();
    void Button2Click();
    void FinalRecogida();
    void BImportarClick();
    void BCloseClick();
    void Button1Click();
    // The course grid's cell colours: the course code and name on the button-face colour;
    // kSinColor leaves a cell as the grid paints it.
    Color wwDBGridNIVIMPCalcCellColors(const std::string& Field) const;

    void CargaConvocatorias();
    void CargaCursos();
    void CompruebaNiveles();
    void PlantillaCentro();
    void Importar2();

private:
    class MensajesVista : public import::Mensajes {
    public:
        explicit MensajesVista(Vista& vista) : vista_(vista) {}
        void Muestra(const std::string& texto) override { vista_.Mensaje(texto); }

    protected:
        Vista& vista_;
    };
    // The export's one message is its end: the hourglass goes before it is shown.
    class MensajesExportacion : public MensajesVista {
    public:
        using MensajesVista::MensajesVista;
        void Muestra(const std::string& texto) override
        {
            vista_.CursorNormal();
            vista_.Mensaje(texto);
        }
    };

    bool EscribeResultado();
    std::string CarpetaElegida();
    static void EditaOAnade(FuenteDatos& fuente);

    VistaPrincipal& vista_;
    import::EstadoConversion estado_;
    MensajesVista mensajes_;
    MensajesExportacion mensajesExportacion_;
    import::Importacion importacion_;
    exportacion::Exportacion exportacion_;
    // The work folder, held from a direction's button until that direction has ended.
    store::WorkLock bloqueoTrabajo_;

    // The window's table components and their data sources.
    std::unique_ptr<store::Table> wwTableCentro_;
    std::unique_ptr<store::Table> wwTableNIVIMP_;
    FuenteDatos wwDataSourceCODCENTRO_;
    FuenteDatos wwDataSourceNIVIMP_;

    std::string rutaResultado_;
};

}  // namespace desktop
