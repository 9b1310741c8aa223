#include "desktop/formulario_principal.h"

#include "app/core/ini.h"
#include "app/core/lanzamiento.h"
#include "csv/decodifica_linea.h"
#include "desktop/protege.h"
#include "files/folders.h"

#include <stdexcept>

namespace desktop {

namespace {

// Frees the work folder when a direction's handler leaves, by its end or by an error.
struct SueltaAlSalir {
    explicit SueltaAlSalir(store::WorkLock& bloqueo) : bloqueo_(bloqueo) {}
    ~SueltaAlSalir() { bloqueo_.release(); }
    store::WorkLock& bloqueo_;
};

// A path as the system writes it (UTF-8) in the program's Windows-1252 texts.
std::string RutaEnAnsi(const std::string& ruta)
{
    const std::string ansi = csv::DecodificaLinea(ruta);
    return ansi.empty() ? ruta : ansi;
}

}  // namespace

FormularioPrincipal::FormularioPrincipal(VistaPrincipal& vista)
    : vista_(vista),
      mensajes_(vista),
      mensajesExportacion_(vista),
      importacion_(estado_, mensajes_),
      exportacion_(estado_, mensajesExportacion_),
      wwTableCentro_(std::make_unique<store::Table>(import::kTrabajo + "\\", "CONVOCAZARE.DBF")),
      wwTableNIVIMP_(std::make_unique<store::Table>(import::kTrabajo + "\\", "CURSOST.DBF"))
{
    const Ventana& v = VentanaPrincipal();
    wwDataSourceCODCENTRO_.PonColumnas(BuscaControl(v, "wwDBGridCODCENTRO")->rejilla.columnas);
    wwDataSourceCODCENTRO_.PonTabla(wwTableCentro_.get());
    wwDataSourceNIVIMP_.PonColumnas(BuscaControl(v, "wwDBGridNIVIMP")->rejilla.columnas);
    wwDataSourceNIVIMP_.PonTabla(wwTableNIVIMP_.get());
}

FormularioPrincipal::~FormularioPrincipal()
{
    // The grids let go of the tables before the tables close.
    wwDataSourceCODCENTRO_.PonTabla(nullptr);
    wwDataSourceNIVIMP_.PonTabla(nullptr);
}

FuenteDatos* FormularioPrincipal::FuenteDe(const std::string& rejilla)
{
    if (rejilla == "wwDBGridCODCENTRO")
        return &wwDataSourceCODCENTRO_;
    if (rejilla == "wwDBGridNIVIMP")
        return &wwDataSourceNIVIMP_;
    return nullptr;
}

// ---- Launch, close and help ----

// Stand-alone, or embedded in the host's window with one or both directions.
void FormularioPrincipal::AplicaLanzamiento(const std::vector<std::string>& parametros)
{
    estado_.EstadoTransformacion = 0;
    if (parametros.size() != 2)
        return;
    const app::Lanzamiento lanzamiento = app::InterpretaParametros(parametros);
    if (!lanzamiento.error.empty()) {
        vista_.Error(store::errorReport(std::runtime_error(lanzamiento.error)));
        return;
    }
    // A handle that names no window is the system's error: the program runs by itself.
    if (!Protege(vista_, [&] { vista_.Incrusta(lanzamiento.ventana); }))
        return;
    estado_.ModoLanzamiento = lanzamiento.ModoLanzamiento;
    // The panel left fills the upper area.
    const Ventana& v = VentanaPrincipal();
    if (lanzamiento.paneles == app::Paneles::SoloExportacion) {
        vista_.Muestra("Draw3D2", false);
        vista_.PonLugar("Draw3D3", {0, 0, v.ancho, BuscaControl(v, "Draw3D3")->lugar.alto});
    } else if (lanzamiento.paneles == app::Paneles::SoloImportacion) {
        vista_.Muestra("Draw3D3", false);
        vista_.PonLugar("Draw3D2", {0, 0, v.ancho, BuscaControl(v, "Draw3D2")->lugar.alto});
    }
}

bool FormularioPrincipal::EscribeResultado()
{
    if (estado_.ModoLanzamiento != 2)
        return true;
    if (app::EscribeValorIni(rutaResultado_, app::kSeccionResultado, app::kClaveResultado,
                             std::to_string(estado_.EstadoTransformacion)))
        return true;
    vista_.CursorNormal();
    vista_.Error(store::errorReport(std::runtime_error(app::TextoNoSePuedeEscribir(RutaEnAnsi(rutaResultado_)))));
    return false;
}

bool FormularioPrincipal::AlCerrar()
{
    return EscribeResultado();
}

// A record that cannot be written is said, but there is no window left to stay open in.
void FormularioPrincipal::AnfitrionaDesaparecida()
{
    EscribeResultado();
}

void FormularioPrincipal::Clic(const std::string& control)
{
    if (control == "BExportar")
        BExportarClick();
    else if (control == "BImportar")
        BImportarClick();
    else if (control == "BitBtn1")
        BitBtn1Click();
    else if (control == "BitBtn2")
        FinalRecogida();
    else if (control == "Button2")
        Button2Click();
    else if (control == "BClose")
        BCloseClick();
    else if (control == "Button1")
        Button1Click();
}

void FormularioPrincipal::Entra(const std::string& control)
{
    if (control == "wwDBGridNIVIMP")
        wwDBGridNIVIMPEnter();
}

void FormularioPrincipal::F1(const std::string& control)
{
    vista_.Ayuda("ZARE.CHM", ContextoAyuda(VentanaPrincipal(), control));
}

void FormularioPrincipal::BCloseClick()
{
    vista_.Cierra();
}

void FormularioPrincipal::Button1Click()
{
    vista_.Ayuda("ZARE.CHM", 0);
}

std::string FormularioPrincipal::CarpetaElegida()
{
    return vista_.CarpetaElegida() + files::separator();
}

// Edit mode on the current record; on an empty table a new blank record.
void FormularioPrincipal::EditaOAnade(FuenteDatos& fuente)
{
    if (fuente.EstadoActual() == FuenteDatos::Estado::Navegando)
        fuente.Edita();
}

// ---- Import: the folder and the calls ----

void FormularioPrincipal::BExportarClick()
{
    Protege(vista_, [&] {
        estado_.CarpetaCSV = CarpetaElegida();
        if (files::folderExists(estado_.CarpetaCSV)) {
            bloqueoTrabajo_.take(import::kTrabajo);  // in use: the error box, nothing changed
            vista_.Habilita("BExportar", false);
            estado_.EstadoTransformacion = 1;
            try {
                CargaConvocatorias();
            } catch (...) {
                bloqueoTrabajo_.release();  // the import cannot go on: it has ended
                throw;
            }
            return;
        }
        mensajes_.Muestra(import::kNoExisteCarpeta);
        if (estado_.ModoLanzamiento == 2) {
            estado_.EstadoTransformacion = -1;
            vista_.Cierra();
        }
    });
}

void FormularioPrincipal::CargaConvocatorias()
{
    vista_.Muestra("Directorios", false);
    vista_.Muestra("Unidades", false);
    vista_.Habilita("BImportar", false);
    if (!importacion_.CargaConvocatorias()) {
        bloqueoTrabajo_.release();
        return;
    }
    if (!wwTableCentro_->isOpen())
        wwTableCentro_->open(store::Access::Shared);
    wwDataSourceCODCENTRO_.Recarga();
    wwDataSourceCODCENTRO_.IrAFila(0);
    vista_.Muestra("Panel1", true);
    EditaOAnade(wwDataSourceCODCENTRO_);
}

void FormularioPrincipal::BitBtn1Click()
{
    Protege(vista_, [&] {
        CargaCursos();
        DatosNivel();
    });
}

void FormularioPrincipal::CargaCursos()
{
    // The call of the current row; a new blank row selects no call.
    std::string convocatoria;
    if (wwDataSourceCODCENTRO_.Activa() && wwDataSourceCODCENTRO_.FilaActual() >= 0)
        convocatoria = wwTableCentro_->asText("CONVOCATORIA");
    importacion_.SeleccionaConvocatoria(convocatoria);
    importacion_.CargaCursos();
}

// ---- Import: the course screen ----

void FormularioPrincipal::DatosNivel()
{
    Protege(vista_, [&] {
        if (!importacion_.ExisteTablaCursos())
            return;
        if (!wwTableNIVIMP_->isOpen()) {
            wwTableNIVIMP_->open(store::Access::Shared);
            wwTableNIVIMP_->setIndex("CODCURSO");
        }
        wwDataSourceNIVIMP_.Recarga();
        wwDataSourceNIVIMP_.IrAFila(0);
        vista_.Muestra("Panel1", false);
        vista_.Muestra("Panel2", true);
        EditaOAnade(wwDataSourceNIVIMP_);
    });
}

void FormularioPrincipal::wwDBGridNIVIMPEnter()
{
    Protege(vista_, [&] { EditaOAnade(wwDataSourceNIVIMP_); });
}

Color FormularioPrincipal::wwDBGridNIVIMPCalcCellColors(const std::string& Field) const
{
    if (Field == "CODCURSO" || Field == "NOMECURSO")
        return cl::BtnFace;
    return kSinColor;
}

void FormularioPrincipal::CompruebaNiveles()
{
    importacion_.CompruebaNiveles();
    if (estado_.NivelesIncompletos != 0) {
        vista_.Muestra("Label9", true);
        vista_.Muestra("BitBtn2", false);
        vista_.Muestra("Button2", true);
    }
}

void FormularioPrincipal::Button2Click()
{
    vista_.Muestra("Button2", false);
    vista_.Muestra("BitBtn2", true);
    vista_.Muestra("Label9", false);
    DatosNivel();
}

void FormularioPrincipal::FinalRecogida()
{
    Protege(vista_, [&] {
        vista_.ConfirmaEdicion("wwDBGridNIVIMP");
        if (wwDataSourceNIVIMP_.EstadoActual() == FuenteDatos::Estado::Editando ||
            wwDataSourceNIVIMP_.EstadoActual() == FuenteDatos::Estado::Anadiendo)
            wwDataSourceNIVIMP_.Confirma();
        CompruebaNiveles();
        if (estado_.NivelesIncompletos != 0)
            return;
        wwDataSourceNIVIMP_.PonTabla(nullptr);
        wwTableNIVIMP_->close();
        wwDataSourceNIVIMP_.PonTabla(wwTableNIVIMP_.get());
        vista_.Muestra("Panel2", false);

        // The import ends here, by its end or by an error: the folder is free again.
        const SueltaAlSalir suelta(bloqueoTrabajo_);
        vista_.CursorEspera();
        importacion_.EjecutaBuilders();
        vista_.CursorNormal();
        vista_.Habilita("BImportar", false);
        mensajes_.Muestra(import::kProcesoFinalizado);
        if (estado_.ModoLanzamiento == 2)
            vista_.Cierra();
    });
}

// ---- Export ----

void FormularioPrincipal::BImportarClick()
{
    Protege(vista_, [&] {
        estado_.CarpetaCSV = CarpetaElegida();
        if (!files::folderExists(estado_.CarpetaCSV)) {
            mensajes_.Muestra(import::kNoExisteCarpeta);
            if (estado_.ModoLanzamiento == 2) {
                estado_.EstadoTransformacion = 0;
                vista_.Cierra();
            }
            return;
        }
        bloqueoTrabajo_.take(import::kTrabajo);
        const SueltaAlSalir suelta(bloqueoTrabajo_);  // a stopped export can be started again
        PlantillaCentro();
        Importar2();
    });
}

void FormularioPrincipal::PlantillaCentro()
{
    exportacion_.PlantillaCentro();
    vista_.VentanaPlantilla();
    vista_.CursorEspera();
}

void FormularioPrincipal::Importar2()
{
    exportacion_.Importar2();
    vista_.CursorNormal();
    vista_.Habilita("BImportar", false);
    vista_.Habilita("BExportar", false);
    if (estado_.ModoLanzamiento == 2)
        vista_.Cierra();
}

}  // namespace desktop
