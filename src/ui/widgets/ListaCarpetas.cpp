#include "ui/widgets/ListaCarpetas.h"

#include "store/errors.h"
#include "ui/Errores.h"
#include "ui/Glifos.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kSangria = 9;
constexpr int kAltoElemento = 16;

// Draws a folder with its icon, indented by its depth; 16 pixels high.
class DelegadoCarpeta : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override
    {
        const int nivel = indice.data(TListaCarpetas::RolNivel).toInt();
        return {nivel * kSangria + 20 + opcion.fontMetrics.horizontalAdvance(indice.data().toString()) + 4,
                kAltoElemento};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override
    {
        static const QIcon abierta = ui::Icono(ui::Glifo::CarpetaAbierta);
        static const QIcon cerrada = ui::Icono(ui::Glifo::CarpetaCerrada);
        const int nivel = indice.data(TListaCarpetas::RolNivel).toInt();
        const bool esAbierta = indice.data(TListaCarpetas::RolAbierta).toBool();
        const QRect r = opcion.rect;
        const int x = r.left() + 2 + nivel * kSangria;
        (esAbierta ? abierta : cerrada).paint(p, QRect(x, r.top(), 16, 16));
        const QString texto = indice.data().toString();
        QRect caja(x + 19, r.top(), opcion.fontMetrics.horizontalAdvance(texto) + 4, r.height());
        const bool seleccionado = opcion.state & QStyle::State_Selected;
        if (seleccionado)
            p->fillRect(caja, opcion.palette.color(QPalette::Highlight));
        p->setPen(opcion.palette.color(seleccionado ? QPalette::HighlightedText : QPalette::Text));
        p->drawText(caja.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, texto);
        if (seleccionado && (opcion.state & QStyle::State_HasFocus)) {
            p->setPen(QPen(opcion.palette.color(QPalette::HighlightedText), 1, Qt::DotLine));
            p->drawRect(caja.adjusted(0, 0, -1, -1));
        }
    }
};

QString Limpia(const QString& ruta)
{
    return QDir::cleanPath(QFileInfo(ruta).absoluteFilePath());
}

}  // namespace

TListaCarpetas::TListaCarpetas(QWidget* padre) : QListWidget(padre)
{
    setItemDelegate(new DelegadoCarpeta(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* e) { abreElemento(e); });
    muestraDirectorioActual();
}

void TListaCarpetas::muestraDirectorioActual()
{
    carpeta_ = Limpia(QDir::currentPath());
    reconstruye();
    actualizaEtiqueta();
}

void TListaCarpetas::abre(const QString& ruta)
{
    const QString limpia = Limpia(ruta);
    if (!QDir::setCurrent(limpia))
        throw store::FileError(QFileInfo(limpia).isDir() ? 5 : 3);
    carpeta_ = limpia;
    reconstruye();
    actualizaEtiqueta();
    emit carpetaCambiada(carpeta_);
}

void TListaCarpetas::abreElemento(QListWidgetItem* elemento)
{
    if (!elemento)
        return;
    const QString ruta = elemento->data(RolRuta).toString();
    ui::Protege(this, [&] { abre(ruta); });
}

void TListaCarpetas::keyPressEvent(QKeyEvent* evento)
{
    // Enter opens the selected folder, as a double-click does.
    if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) {
        abreElemento(currentItem());
        return;
    }
    QListWidget::keyPressEvent(evento);
}

void TListaCarpetas::reconstruye()
{
    clear();
    // Ancestors from the root down to the open folder.
    QStringList cadena;
    QDir d(carpeta_);
    for (;;) {
        cadena.prepend(d.absolutePath());
        if (d.isRoot() || !d.cdUp())
            break;
    }
    int nivel = 0;
    QListWidgetItem* actual = nullptr;
    for (const QString& ruta : cadena) {
        const QString nombre = QDir(ruta).isRoot() ? QDir::toNativeSeparators(ruta) : QFileInfo(ruta).fileName();
        auto* e = new QListWidgetItem(nombre, this);
        e->setData(RolRuta, ruta);
        e->setData(RolNivel, nivel++);
        e->setData(RolAbierta, true);
        actual = e;
    }
    const QFileInfoList hijas = QDir(carpeta_).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& h : hijas) {
        auto* e = new QListWidgetItem(h.fileName(), this);
        e->setData(RolRuta, Limpia(h.absoluteFilePath()));
        e->setData(RolNivel, nivel);
        e->setData(RolAbierta, false);
    }
    setCurrentItem(actual);
    scrollToItem(actual, QAbstractItemView::PositionAtCenter);
}

void TListaCarpetas::ponEtiqueta(QLabel* etiqueta)
{
    etiqueta_ = etiqueta;
    actualizaEtiqueta();
}

void TListaCarpetas::resizeEvent(QResizeEvent* evento)
{
    QListWidget::resizeEvent(evento);
    actualizaEtiqueta();
}

void TListaCarpetas::actualizaEtiqueta()
{
    if (!etiqueta_)
        return;
    etiqueta_->setText(AbreviaRuta(QDir::toNativeSeparators(carpeta_), etiqueta_->fontMetrics(), width()));
    etiqueta_->setToolTip(QDir::toNativeSeparators(carpeta_));
    etiqueta_->adjustSize();
}

QString TListaCarpetas::AbreviaRuta(const QString& ruta, const QFontMetrics& metricas, int ancho)
{
    if (metricas.horizontalAdvance(ruta) <= ancho)
        return ruta;
    const QChar sep = QDir::separator();
    QStringList partes = ruta.split(sep);
    // The first part is the root ("" for "/", "C:" on Windows); the last, the folder itself.
    const QString raiz = partes.takeFirst() + sep;
    while (partes.size() > 1) {
        partes.removeFirst();
        const QString intento = raiz + "..." + sep + partes.join(sep);
        if (metricas.horizontalAdvance(intento) <= ancho)
            return intento;
    }
    return metricas.elidedText(raiz + "..." + sep + partes.join(sep), Qt::ElideRight, ancho);
}
