#include "ui/MainForm.h"

#include "files/folders.h"
#include "app/core/ini.h"
#include "app/core/lanzamiento.h"
#include "store/paths.h"
#include "ui/Anfitriona.h"
#include "ui/Ayuda.h"
#include "ui/ControlPlantilla.h"
#include "ui/Colores.h"
#include "ui/Dialogos.h"
#include "ui/Errores.h"
#include "ui/Formulario.h"
#include "ui/Glifos.h"
#include "ui/Texto.h"
#include "ui/models/ModeloTabla.h"
#include "ui_MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

void TMForm::MensajesVentana::Muestra(const std::string& texto)
{
    ui::Dialogos::Actuales().Mensaje(ventana_, ui::DeAnsi(texto));
}

TMForm::TMForm(const std::vector<std::string>& parametros, QWidget* padre)
    : QWidget(padre),
      ui_(std::make_unique<Ui::TMForm>()),
      mensajes_(this),
      importacion_(estado_, mensajes_),
      exportacion_(estado_, mensajes_),
      wwTableCentro_(std::make_unique<store::Table>(import::kTrabajo + "\\", "CONVOCAZARE.DBF")),
      wwTableNIVIMP_(std::make_unique<store::Table>(import::kTrabajo + "\\", "CURSOST.DBF")),
      wwDataSourceCODCENTRO_(new TModeloTabla(this)),
      wwDataSourceNIVIMP_(new TModeloTabla(this))
{
    ui_->setupUi(this);
    preparaControles();
    aplicaLanzamiento(parametros);
}

TMForm::~TMForm()
{
    // The grids let go of the tables before the tables close.
    wwDataSourceCODCENTRO_->ponTabla(nullptr);
    wwDataSourceNIVIMP_->ponTabla(nullptr);
}

void TMForm::preparaControles()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(599, 269);
    ui::AplicaFormulario(this);
    setWindowIcon(ui::Icono(ui::Glifo::CarpetaAbierta));

    ui_->BExportar->setIcon(ui::Icono(ui::Glifo::Aceptar));
    ui_->BImportar->setIcon(ui::Icono(ui::Glifo::Aceptar));
    ui_->BClose->setIcon(ui::Icono(ui::Glifo::Salir));
    ui_->BitBtn1->setIcon(ui::Icono(ui::Glifo::Continuar));
    ui_->BitBtn2->setIcon(ui::Icono(ui::Glifo::Aceptar));

    // A fallback font wider than the original may push "Ruta Actual:" into the folder's label.
    const int finLabel6 = ui_->Label6->geometry().right() + 4;
    if (finLabel6 > ui_->Label2->x())
        ui_->Label2->move(finLabel6, ui_->Label2->y());
    ui_->Directorios->ponEtiqueta(ui_->Label2);
    ui_->Unidades->ponLista(ui_->Directorios);

    wwDataSourceCODCENTRO_->ponColumnas({{"CONVOCATORIA", QStringLiteral("CONVOC."), 6, false},
                                         {"DESCRIPCION", QStringLiteral("DESCRIPCION"), 30, false}});
    wwDataSourceCODCENTRO_->ponTabla(wwTableCentro_.get());
    ui_->wwDBGridCODCENTRO->ponModelo(wwDataSourceCODCENTRO_);
    ui_->wwDBGridCODCENTRO->setEditTriggers(QAbstractItemView::NoEditTriggers);

    wwDataSourceNIVIMP_->ponColumnas({{"CODCURSO", QStringLiteral("CODCURSO"), 10, false},
                                      {"NOMECURSO", QStringLiteral("NOMECURSO"), 30, false},
                                      {"TURNO", QStringLiteral("TURNO"), 1, true},
                                      {"NIVEL", QStringLiteral("NIVEL"), 5, true},
                                      {"CURSO", QStringLiteral("CURSO"), 3, true}});
    wwDataSourceNIVIMP_->ponTabla(wwTableNIVIMP_.get());
    ui_->wwDBGridNIVIMP->ponModelo(wwDataSourceNIVIMP_);
    ui_->wwDBGridNIVIMP->ponColoresCelda(
        [this](QObject* s, const std::string& f, QStyle::State e, bool h, QFont& fuente, QBrush& fondo) {
            wwDBGridNIVIMPCalcCellColors(s, f, e, h, fuente, fondo);
        });

    connect(ui_->BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
    connect(ui_->BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TMForm::BitBtn1Click);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TMForm::FinalRecogida);
    connect(ui_->Button2, &QPushButton::clicked, this, &TMForm::Button2Click);
    connect(ui_->BClose, &QPushButton::clicked, this, &TMForm::BCloseClick);
    connect(ui_->Button1, &QPushButton::clicked, this, &TMForm::Button1Click);
    connect(ui_->wwDBGridNIVIMP, &TRejillaDatos::entra, this, &TMForm::wwDBGridNIVIMPEnter);

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this,
            [this] { ui::MuestraContexto(this, ui::ContextoAyudaDe(focusWidget() ? focusWidget() : this)); });
}

// The launch: stand-alone, or embedded in the host's window with one or both directions.
void TMForm::aplicaLanzamiento(const std::vector<std::string>& parametros)
{
    estado_.EstadoTransformacion = 0;
    if (parametros.size() != 2)
        return;
    const app::Lanzamiento lanzamiento = app::InterpretaParametros(parametros);
    if (!lanzamiento.error.empty()) {
        ui::MuestraError(nullptr, std::runtime_error(lanzamiento.error));
        return;
    }
    incrusta(lanzamiento.ventana);
    estado_.ModoLanzamiento = lanzamiento.ModoLanzamiento;
    if (lanzamiento.paneles == app::Paneles::SoloExportacion) {
        ui_->Draw3D2->hide();
        ui_->Draw3D3->setGeometry(0, 0, width(), ui_->Draw3D3->height());
    } else if (lanzamiento.paneles == app::Paneles::SoloImportacion) {
        ui_->Draw3D3->hide();
        ui_->Draw3D2->setGeometry(0, 0, width(), ui_->Draw3D2->height());
    }
}

// A child of the host's window, without border, at (2, 2) of its client area. Handle 0, or a
// platform without foreign windows, leaves the window where the screen puts (2, 2).
void TMForm::incrusta(quint32 handle)
{
    handleAnfitriona_ = handle;
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    if (handle != 0)
        anfitriona_ = QWindow::fromWinId(static_cast<WId>(handle));
    winId();
    if (anfitriona_) {
        windowHandle()->setParent(anfitriona_);
        // Nothing tells a child that its parent from another program has gone: ask now and then.
        auto* vigia = new QTimer(this);
        connect(vigia, &QTimer::timeout, this, [this, vigia] {
            if (ui::VentanaAnfitrionaExiste(handleAnfitriona_))
                return;
            vigia->stop();
            anfitrionaDesaparecida();
        });
        vigia->start(250);
    }
    move(2, 2);
}

// The host's window has gone, and our window with it: the record as it stands, and the end.
// A record that cannot be written is said, but there is no window left to stay open in.
void TMForm::anfitrionaDesaparecida()
{
    escribeResultado();
    hide();
    emit cerrada();
}

bool TMForm::escribeResultado()
{
    if (estado_.ModoLanzamiento != 2)
        return true;
    const QString ruta = rutaResultado();
    if (app::EscribeValorIni(ui::RutaNativa(ruta), app::kSeccionResultado, app::kClaveResultado,
                             std::to_string(estado_.EstadoTransformacion)))
        return true;
    ui::CursorNormal();
    ui::MuestraError(this, std::runtime_error(app::TextoNoSePuedeEscribir(ui::AAnsi(ruta))));
    return false;
}

QString TMForm::rutaResultado() const
{
    if (!rutaResultado_.isEmpty())
        return rutaResultado_;
    return QCoreApplication::applicationDirPath() + "/" + QString::fromStdString(app::kArchivoResultado);
}

void TMForm::closeEvent(QCloseEvent* evento)
{
    if (!escribeResultado()) {
        evento->ignore();  // the window stays open; a later close tries again
        return;
    }
    evento->accept();
    emit cerrada();
}

void TMForm::BCloseClick()
{
    close();
}

void TMForm::Button1Click()
{
    ui::PonArchivoAyuda(QStringLiteral("ZARE.CHM"));
    ui::MuestraContenido(this);
}

std::string TMForm::carpetaElegida() const
{
    return ui::RutaNativa(ui_->Directorios->carpeta()) + "/";
}

// Edit mode on the current record; on an empty table a new blank record.
void TMForm::editaOAnade(TModeloTabla* fuente)
{
    if (fuente->estado() == TModeloTabla::Estado::Navegando)
        fuente->edita();
}

// Frees the work folder when a direction's handler leaves, by its end or by an error.
struct TMForm::SueltaAlSalir {
    explicit SueltaAlSalir(store::WorkLock& bloqueo) : bloqueo_(bloqueo) {}
    ~SueltaAlSalir() { bloqueo_.release(); }
    store::WorkLock& bloqueo_;
};

// ---- Import: the folder and the calls ----

void TMForm::BExportarClick()
{
    ui::Protege(this, [&] {
        estado_.CarpetaCSV = carpetaElegida();
        if (files::folderExists(estado_.CarpetaCSV)) {
            bloqueoTrabajo_.take(import::kTrabajo);  // in use: the error box, nothing changed
            ui_->BExportar->setEnabled(false);
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
            close();
        }
    });
}

void TMForm::CargaConvocatorias()
{
    ui_->Directorios->hide();
    ui_->Unidades->hide();
    ui_->BImportar->setEnabled(false);
    if (!importacion_.CargaConvocatorias()) {
        bloqueoTrabajo_.release();
        return;
    }
    if (!wwTableCentro_->isOpen())
        wwTableCentro_->open(store::Access::Shared);
    wwDataSourceCODCENTRO_->recarga();
    wwDataSourceCODCENTRO_->irAFila(0);
    ui_->Panel1->show();
    editaOAnade(wwDataSourceCODCENTRO_);
}

void TMForm::BitBtn1Click()
{
    ui::Protege(this, [&] {
        CargaCursos();
        DatosNivel();
    });
}

void TMForm::CargaCursos()
{
    // The call of the current row; a new blank row selects no call.
    std::string convocatoria;
    if (wwDataSourceCODCENTRO_->activa() && wwDataSourceCODCENTRO_->filaActual() >= 0)
        convocatoria = wwTableCentro_->asText("CONVOCATORIA");
    importacion_.SeleccionaConvocatoria(convocatoria);
    importacion_.CargaCursos();
}

// ---- Import: the course screen ----

void TMForm::DatosNivel()
{
    ui::Protege(this, [&] {
        if (!importacion_.ExisteTablaCursos())
            return;
        if (!wwTableNIVIMP_->isOpen()) {
            wwTableNIVIMP_->open(store::Access::Shared);
            wwTableNIVIMP_->setIndex("CODCURSO");
        }
        wwDataSourceNIVIMP_->recarga();
        wwDataSourceNIVIMP_->irAFila(0);
        ui_->Panel1->hide();
        ui_->Panel2->show();
        ui_->Panel2->raise();
        editaOAnade(wwDataSourceNIVIMP_);
    });
}

void TMForm::wwDBGridNIVIMPEnter()
{
    ui::Protege(this, [&] { editaOAnade(wwDataSourceNIVIMP_); });
}

void TMForm::wwDBGridNIVIMPCalcCellColors(QObject*, const std::string& Field, QStyle::State, bool, QFont&,
                                          QBrush& ABrush)
{
    if (Field == "CODCURSO" || Field == "NOMECURSO")
        ABrush.setColor(ui::ColorWindows(ui::cl::BtnFace));
}

void TMForm::CompruebaNiveles()
{
    importacion_.CompruebaNiveles();
    if (estado_.NivelesIncompletos != 0) {
        ui_->Label9->show();
        ui_->BitBtn2->hide();
        ui_->Button2->show();
    }
}

void TMForm::Button2Click()
{
    ui_->Button2->hide();
    ui_->BitBtn2->show();
    ui_->Label9->hide();
    DatosNivel();
}

void TMForm::FinalRecogida()
{
    ui::Protege(this, [&] {
        ui_->wwDBGridNIVIMP->confirmaEdicion();
        if (wwDataSourceNIVIMP_->estado() == TModeloTabla::Estado::Editando ||
            wwDataSourceNIVIMP_->estado() == TModeloTabla::Estado::Anadiendo)
            wwDataSourceNIVIMP_->confirma();
        CompruebaNiveles();
        if (estado_.NivelesIncompletos != 0)
            return;
        wwDataSourceNIVIMP_->ponTabla(nullptr);
        wwTableNIVIMP_->close();
        wwDataSourceNIVIMP_->ponTabla(wwTableNIVIMP_.get());
        ui_->Panel2->hide();

        // The import ends here, by its end or by an error: the folder is free again.
        const SueltaAlSalir suelta(bloqueoTrabajo_);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        importacion_.EjecutaBuilders();
        ui::CursorNormal();
        ui_->BImportar->setEnabled(false);
        mensajes_.Muestra(import::kProcesoFinalizado);
        if (estado_.ModoLanzamiento == 2)
            close();
    });
}

// ---- Export ----

void TMForm::BImportarClick()
{
    ui::Protege(this, [&] {
        estado_.CarpetaCSV = carpetaElegida();
        if (!files::folderExists(estado_.CarpetaCSV)) {
            mensajes_.Muestra(import::kNoExisteCarpeta);
            if (estado_.ModoLanzamiento == 2) {
                estado_.EstadoTransformacion = 0;
                close();
            }
            return;
        }
        bloqueoTrabajo_.take(import::kTrabajo);
        const SueltaAlSalir suelta(bloqueoTrabajo_);  // a stopped export can be started again
        PlantillaCentro();
        Importar2();
    });
}

void TMForm::PlantillaCentro()
{
    exportacion_.PlantillaCentro();
    {
        TControlPlantilla ventana(this);
        ui::Dialogos::Actuales().Modal(ventana);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TMForm::Importar2()
{
    exportacion_.Importar2();
    ui::CursorNormal();
    ui_->BImportar->setEnabled(false);
    ui_->BExportar->setEnabled(false);
    if (estado_.ModoLanzamiento == 2)
        close();
}
