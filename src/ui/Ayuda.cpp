#include "ui/Ayuda.h"

#include "ui/ContextosAyuda.h"
#include "ui/Errores.h"
#include "ui/Glifos.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ui {

namespace {

QString& Archivo()
{
    static QString nombre = QStringLiteral("ZARE.CHM");
    return nombre;
}

QPointer<VentanaAyuda>& Ventana()
{
    static QPointer<VentanaAyuda> v;
    return v;
}

}  // namespace

void PonArchivoAyuda(const QString& nombre)
{
    Archivo() = nombre;
}

QString ArchivoAyuda()
{
    return Archivo();
}

QStringList CarpetasAyudaDe(const QString& carpetaPrograma)
{
    return {QDir::cleanPath(carpetaPrograma + "/help"),
            QDir::cleanPath(carpetaPrograma + "/../share/transorbelinzare/help")};
}

QString CarpetaAyuda()
{
    for (const QString& carpeta : CarpetasAyudaDe(QCoreApplication::applicationDirPath()))
        if (QFileInfo::exists(carpeta + "/index.html"))
            return carpeta;
    return {};
}

QString TextoAyudaNoInstalada()
{
    const QStringList carpetas = CarpetasAyudaDe(QCoreApplication::applicationDirPath());
    return QStringLiteral("La ayuda no est\u00E1 instalada: no se encuentran sus p\u00E1ginas (index.html) en ") +
           QDir::toNativeSeparators(carpetas[0]) + QStringLiteral(" ni en ") + QDir::toNativeSeparators(carpetas[1]);
}

// A context without a page of its own opens the contents (context 0).
QUrl PaginaAyuda(int contexto)
{
    const char* pagina = nullptr;
    const char* contenido = nullptr;
    for (const PaginaDeContexto& p : kPaginasDeContexto) {
        if (p.contexto == contexto)
            pagina = p.pagina;
        if (p.contexto == 0)
            contenido = p.pagina;
    }
    if (!pagina)
        pagina = contenido;
    return QUrl::fromLocalFile(CarpetaAyuda() + "/" + QString::fromLatin1(pagina));
}

int ContextoAyudaDe(const QWidget* control)
{
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        const int c = w->property("contextoAyuda").toInt();
        if (c != 0)
            return c;
    }
    return 0;
}

// The help window on a page; without the pages, a box that says where they were looked for.
void MuestraPagina(QWidget* llamante, int contexto)
{
    if (CarpetaAyuda().isEmpty()) {
        MuestraError(llamante, TextoAyudaNoInstalada());
        return;
    }
    VentanaAyuda::Unica()->muestra(PaginaAyuda(contexto));
}

void MuestraContenido(QWidget* llamante)
{
    MuestraPagina(llamante, 0);
}

void MuestraContexto(QWidget* llamante, int contexto)
{
    MuestraPagina(llamante, contexto);
}

VentanaAyuda* VentanaAyuda::Unica()
{
    if (!Ventana())
        Ventana() = new VentanaAyuda;
    return Ventana();
}

VentanaAyuda* VentanaAyuda::Abierta()
{
    return Ventana();
}

VentanaAyuda::VentanaAyuda() : QWidget(nullptr, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Ayuda de TransOrbelinZARE"));
    setWindowIcon(Icono(Glifo::Ayuda));
    resize(680, 560);

    navegador_ = new QTextBrowser(this);
    navegador_->setObjectName("navegadorAyuda");
    navegador_->setOpenExternalLinks(true);
    navegador_->setSearchPaths({CarpetaAyuda()});

    auto* contenido = new QPushButton(QStringLiteral("Contenido"), this);
    auto* atras = new QPushButton(QStringLiteral("Atr\u00E1s"), this);
    auto* adelante = new QPushButton(QStringLiteral("Adelante"), this);
    auto* cerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    atras->setEnabled(false);
    adelante->setEnabled(false);
    connect(contenido, &QPushButton::clicked, this, [this] { muestra(PaginaAyuda(0)); });
    connect(atras, &QPushButton::clicked, navegador_, &QTextBrowser::backward);
    connect(adelante, &QPushButton::clicked, navegador_, &QTextBrowser::forward);
    connect(navegador_, &QTextBrowser::backwardAvailable, atras, &QPushButton::setEnabled);
    connect(navegador_, &QTextBrowser::forwardAvailable, adelante, &QPushButton::setEnabled);
    connect(cerrar, &QPushButton::clicked, this, &QWidget::close);
    cerrar->setObjectName("cerrarAyuda");

    auto* botones = new QHBoxLayout;
    botones->addWidget(contenido);
    botones->addWidget(atras);
    botones->addWidget(adelante);
    botones->addStretch();
    botones->addWidget(cerrar);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 6);
    v->addLayout(botones);
    v->addWidget(navegador_);
}

// Esc closes the help, as it does a dialog.
void VentanaAyuda::keyPressEvent(QKeyEvent* evento)
{
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(evento);
}

void VentanaAyuda::muestra(const QUrl& pagina)
{
    // A modal window blocks every window but its own: while one is open, the help window
    // becomes one of its windows, above it and taking input (it closes with it).
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* dueno = modal && modal != this ? modal : nullptr;
    if (parentWidget() != dueno) {
        hide();
        setParent(dueno, Qt::Window);
    }
    navegador_->setSource(pagina);
    show();
    raise();
    activateWindow();
}

}  // namespace ui
