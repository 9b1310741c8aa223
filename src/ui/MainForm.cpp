#include "ui/MainForm.h"

#include "ui/Anfitriona.h"
#include "ui/Ayuda.h"
#include "ui/Colores.h"
#include "ui/ControlPlantilla.h"
#include "ui/Dialogos.h"
#include "ui/Errores.h"
#include "ui/Texto.h"
#include "ui/models/ModeloTabla.h"
#include "ui/widgets/ListaCarpetas.h"
#include "ui/widgets/RejillaDatos.h"
#include "app/core/ini.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

TMForm::TMForm(const std::vector<std::string>& parametros, QWidget* padre)
    : QWidget(padre),
      comportamiento_(std::make_unique<desktop::FormularioPrincipal>(static_cast<desktop::VistaPrincipal&>(*this))),
      controles_(this, desktop::VentanaPrincipal()),
      wwDataSourceCODCENTRO_(new TModeloTabla(comportamiento_->wwDataSourceCODCENTRO(), this)),
      wwDataSourceNIVIMP_(new TModeloTabla(comportamiento_->wwDataSourceNIVIMP(), this))
{
    comportamiento_->PonRutaResultado(
        ui::RutaNativa(QCoreApplication::applicationDirPath() + "/" + QString::fromStdString(app::kArchivoResultado)));
    preparaControles();
    comportamiento_->AplicaLanzamiento(parametros);
}

TMForm::~TMForm()
{
    // The grids let go of their models, and the models of the data sources, before the
    // behaviour and its tables go.
    for (const char* rejilla : {"wwDBGridCODCENTRO", "wwDBGridNIVIMP"})
        controles_.Control<TRejillaDatos>(rejilla)->setModel(nullptr);
    delete wwDataSourceCODCENTRO_;
    delete wwDataSourceNIVIMP_;
    comportamiento_.reset();
}

void TMForm::preparaControles()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    // A fallback font wider than the original may push "Ruta Actual:" into the folder's label.
    QWidget* label6 = controles_["Label6"];
    QWidget* label2 = controles_["Label2"];
    const int finLabel6 = label6->geometry().right() + 4;
    if (finLabel6 > label2->x())
        label2->move(finLabel6, label2->y());

    controles_.Control<TRejillaDatos>("wwDBGridCODCENTRO")->ponModelo(wwDataSourceCODCENTRO_);
    auto* niveles = controles_.Control<TRejillaDatos>("wwDBGridNIVIMP");
    niveles->ponModelo(wwDataSourceNIVIMP_);
    niveles->ponColoresCelda(
        [this](QObject* s, const std::string& f, QStyle::State e, bool h, QFont& fuente, QBrush& fondo) {
            wwDBGridNIVIMPCalcCellColors(s, f, e, h, fuente, fondo);
        });

    // Every button and grid of the window passes its events on by its name.
    for (const auto& [nombre, w] : controles_.Todos()) {
        if (auto* boton = qobject_cast<QPushButton*>(w))
            connect(boton, &QPushButton::clicked, this, [this, n = nombre] { comportamiento_->Clic(n); });
        else if (auto* rejilla = qobject_cast<TRejillaDatos*>(w)) {
            connect(rejilla, &TRejillaDatos::entra, this, [this, n = nombre] { comportamiento_->Entra(n); });
            connect(rejilla, &TRejillaDatos::sale, this, [this, n = nombre] { comportamiento_->Sale(n); });
        }
    }
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] { comportamiento_->F1(controles_.NombreDe(focusWidget())); });
}

void TMForm::ponRutaResultado(const QString& ruta)
{
    comportamiento_->PonRutaResultado(ui::RutaNativa(ruta));
}

void TMForm::wwDBGridNIVIMPCalcCellColors(QObject*, const std::string& Field, QStyle::State, bool, QFont&,
                                          QBrush& ABrush)
{
    const desktop::Color color = comportamiento_->wwDBGridNIVIMPCalcCellColors(Field);
    if (color != desktop::kSinColor)
        ABrush.setColor(ui::ColorWindows(color));
}

// ---- The view ----

void TMForm::Mensaje(const std::string& texto)
{
    ui::Dialogos::Actuales().Mensaje(this, ui::DeAnsi(texto));
}

void TMForm::Error(const std::string& texto)
{
    ui::Dialogos::Actuales().Error(isVisible() ? this : nullptr, ui::DeAnsi(texto));
}

bool TMForm::Pregunta(const std::string& texto)
{
    return ui::Dialogos::Actuales().Confirma(this, ui::DeAnsi(texto));
}

void TMForm::CursorEspera()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TMForm::CursorNormal()
{
    ui::CursorNormal();
}

void TMForm::ConfirmaEdicion(const std::string& rejilla)
{
    if (auto* r = controles_.Control<TRejillaDatos>(rejilla))
        r->confirmaEdicion();
}

void TMForm::Ayuda(const std::string& archivo, int contexto)
{
    ui::PonArchivoAyuda(ui::DeAnsi(archivo));
    if (contexto == 0)
        ui::MuestraContenido(this);
    else
        ui::MuestraContexto(this, contexto);
}

std::string TMForm::CarpetaElegida()
{
    return ui::RutaNativa(controles_.Control<TListaCarpetas>("Directorios")->carpeta());
}

// A child of the host's window, without border, at (2, 2) of its client area. Handle 0, or a
// platform without foreign windows, leaves the window where the screen puts (2, 2).
void TMForm::Incrusta(std::uint32_t handle)
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

void TMForm::anfitrionaDesaparecida()
{
    comportamiento_->AnfitrionaDesaparecida();
    hide();
    emit cerrada();
}

void TMForm::VentanaPlantilla()
{
    TControlPlantilla ventana(this);
    ui::Dialogos::Actuales().Modal(ventana);
}

void TMForm::closeEvent(QCloseEvent* evento)
{
    if (!comportamiento_->AlCerrar()) {
        evento->ignore();  // the window stays open; a later close tries again
        return;
    }
    evento->accept();
    emit cerrada();
}
