#include "ui/widgets/RejillaDatos.h"

#include "ui/Colores.h"
#include "ui/Dialogos.h"
#include "ui/Errores.h"
#include "ui/models/ModeloTabla.h"
#include "ui/Texto.h"
#include "desktop/acciones_rejilla.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

#include <optional>

namespace {

constexpr int kAnchoIndicador = 11;

void Bisel(QPainter& p, const QRect& r)
{
    const QRect b = r.adjusted(0, 0, -1, -1);
    p.setPen(ui::ColorWindows(ui::cl::BtnHighlight));
    p.drawLine(b.topLeft(), b.topRight());
    p.drawLine(b.topLeft(), b.bottomLeft());
    p.setPen(ui::ColorWindows(ui::cl::BtnShadow));
    p.drawLine(b.bottomLeft(), b.bottomRight());
    p.drawLine(b.topRight(), b.bottomRight());
}

// The titles: left-aligned, in the grid's title colours, wrapped over their lines.
class CabeceraRejilla : public QHeaderView {
public:
    explicit CabeceraRejilla(TRejillaDatos* rejilla) : QHeaderView(Qt::Horizontal, rejilla), rejilla_(rejilla)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

protected:
    void paintSection(QPainter* p, const QRect& r, int seccion) const override
    {
        p->save();
        p->fillRect(r, rejilla_->colorDeTitulos());
        Bisel(*p, r);
        p->setPen(rejilla_->colorDeTextoTitulos());
        p->setFont(font());
        const QString texto = model() ? model()->headerData(seccion, Qt::Horizontal).toString() : QString();
        p->drawText(r.adjusted(3, 1, -2, -1), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, texto);
        p->restore();
    }

private:
    TRejillaDatos* rejilla_;
};

// The indicator column: the current record marked by its state (browse, edit, new).
class IndicadorRejilla : public QHeaderView {
public:
    explicit IndicadorRejilla(TRejillaDatos* rejilla) : QHeaderView(Qt::Vertical, rejilla), rejilla_(rejilla)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
    }

    QSize sizeHint() const override { return {kAnchoIndicador, QHeaderView::sizeHint().height()}; }

protected:
    void paintSection(QPainter* p, const QRect& r, int fila) const override
    {
        p->save();
        p->fillRect(r, ui::ColorWindows(ui::cl::BtnFace));
        Bisel(*p, r);
        TModeloTabla* m = rejilla_->modelo();
        if (m && fila == m->filaActual()) {
            p->setRenderHint(QPainter::Antialiasing);
            const QPointF c = QRectF(r).center();
            p->setPen(Qt::NoPen);
            p->setBrush(Qt::black);
            switch (m->estado()) {
            case TModeloTabla::Estado::Editando: {
                p->setRenderHint(QPainter::Antialiasing, false);
                p->setPen(Qt::black);
                const int x = static_cast<int>(c.x());
                const int y = static_cast<int>(c.y());
                p->drawLine(x, y - 4, x, y + 4);
                p->drawLine(x - 2, y - 4, x + 2, y - 4);
                p->drawLine(x - 2, y + 4, x + 2, y + 4);
                break;
            }
            case TModeloTabla::Estado::Anadiendo: {
                QFont f = font();
                f.setBold(true);
                p->setFont(f);
                p->setPen(Qt::black);
                p->drawText(r, Qt::AlignCenter, QStringLiteral("*"));
                break;
            }
            default: {
                QPainterPath t;
                t.moveTo(c.x() - 2, c.y() - 4);
                t.lineTo(c.x() + 2.5, c.y());
                t.lineTo(c.x() - 2, c.y() + 4);
                t.closeSubpath();
                p->drawPath(t);
                break;
            }
            }
        }
        p->restore();
    }

private:
    TRejillaDatos* rejilla_;
};

// Paints each cell in the grid's colours and edits it in a line limited to the field's size.
class DelegadoRejilla : public QStyledItemDelegate {
public:
    DelegadoRejilla(TRejillaDatos* rejilla, bool enterComoTab)
        : QStyledItemDelegate(rejilla), rejilla_(rejilla), enterComoTab_(enterComoTab)
    {
    }

    void paint(QPainter* p, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override
    {
        QFont fuente = opcion.font;
        QColor texto;
        const QColor fondo = rejilla_->fondoCelda(indice, &fuente, &texto);
        p->save();
        p->fillRect(opcion.rect, fondo);
        p->setFont(fuente);
        p->setPen(texto);
        const auto alineacion = Qt::Alignment(indice.data(Qt::TextAlignmentRole).toInt());
        p->drawText(opcion.rect.adjusted(2, 0, -2, 0), alineacion | Qt::AlignVCenter,
                    indice.data().toString());
        p->restore();
    }

    QWidget* createEditor(QWidget* padre, const QStyleOptionViewItem&, const QModelIndex& indice) const override
    {
        auto* editor = new QLineEdit(padre);
        editor->setFrame(false);
        if (TModeloTabla* m = rejilla_->modelo()) {
            editor->setMaxLength(m->longitudMaxima(indice.column()));
            if (m->columnaEntera(indice.column()))
                editor->setValidator(new QRegularExpressionValidator(QRegularExpression("[-+]?[0-9]*"), editor));
            if (m->columnaNumerica(indice.column()))
                editor->setAlignment(Qt::AlignRight);
        }
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& indice) const override
    {
        auto* linea = static_cast<QLineEdit*>(editor);
        linea->setText(indice.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget* editor, QAbstractItemModel* modelo, const QModelIndex& indice) const override
    {
        modelo->setData(indice, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& opcion, const QModelIndex&) const override
    {
        editor->setGeometry(opcion.rect.adjusted(0, 0, -1, -1));
    }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        if (enterComoTab_ && evento->type() == QEvent::KeyPress) {
            const int tecla = static_cast<QKeyEvent*>(evento)->key();
            if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
                auto* editor = static_cast<QWidget*>(objeto);
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::EditNextItem);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(objeto, evento);
    }

private:
    TRejillaDatos* rejilla_;
    bool enterComoTab_;
};

}  // namespace

TRejillaDatos::TRejillaDatos(QWidget* padre) : QTableView(padre)
{
    setHorizontalHeader(new CabeceraRejilla(this));
    setVerticalHeader(new IndicadorRejilla(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setTabKeyNavigation(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(kAnchoIndicador);
    horizontalHeader()->setStretchLastSection(false);
    ponDescripcion(desktop::DescripcionRejilla{});
    QPalette p = palette();
    p.setColor(QPalette::Mid, QColor(160, 160, 160));
    setPalette(p);
    connect(qApp, &QApplication::focusChanged, this, &TRejillaDatos::focoCambiado);
}

void TRejillaDatos::ponModelo(TModeloTabla* modelo)
{
    modelo_ = modelo;
    setModel(modelo);
    connect(modelo, &TModeloTabla::filaActualCambiada, this, &TRejillaDatos::sigueModelo);
    connect(modelo, &TModeloTabla::estadoCambiado, verticalHeader()->viewport(), qOverload<>(&QWidget::update));
    connect(modelo, &TModeloTabla::estadoCambiado, viewport(), qOverload<>(&QWidget::update));
    connect(modelo, &QAbstractItemModel::modelReset, this, &TRejillaDatos::ajustaColumnas);
    ajustaColumnas();
}

void TRejillaDatos::ajustaColumnas()
{
    const QFontMetrics fm(font());
    QFont negrita = font();
    negrita.setBold(true);
    horizontalHeader()->setFont(negrita);
    const QFontMetrics fmTitulo(negrita);
    verticalHeader()->setDefaultSectionSize(fm.height() + 4);
    horizontalHeader()->setFixedHeight(lineasTitulo() * fmTitulo.height() + 4);
    if (!modelo_)
        return;
    for (int c = 0; c < modelo_->columnCount(); ++c) {
        const desktop::ColumnaRejilla& col = modelo_->columna(c);
        // Short code columns hold capitals, wider than digits in the fallback fonts.
        const QChar tipo = col.anchoCaracteres <= 5 ? QLatin1Char('W') : QLatin1Char('0');
        int ancho = col.anchoCaracteres * fm.horizontalAdvance(tipo) + 4;
        if (lineasTitulo() == 1)
            ancho = std::max(ancho, fmTitulo.horizontalAdvance(ui::DeAnsi(col.titulo)) + 6);
        setColumnWidth(c, ancho);
    }
}

void TRejillaDatos::changeEvent(QEvent* evento)
{
    QTableView::changeEvent(evento);
    if (evento->type() == QEvent::FontChange)
        ajustaColumnas();
}

void TRejillaDatos::ponDescripcion(const desktop::DescripcionRejilla& descripcion)
{
    descripcion_ = descripcion;
    celdas_ = ui::ColorWindows(descripcion.colorCeldas);
    alternas_ = ui::ColorWindows(descripcion.colorFilasAlternas);
    titulos_ = ui::ColorWindows(descripcion.colorTitulos);
    textoTitulosColor_ = ui::ColorWindows(descripcion.colorTextoTitulos);
    filaActual_ = ui::ColorWindows(descripcion.colorFilaActual);
    QPalette p = palette();
    p.setColor(QPalette::Base, celdas_);
    setPalette(p);
    setHorizontalScrollBarPolicy(descripcion.barraHorizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (descripcion.soloLectura)
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new DelegadoRejilla(this, descripcion.enterComoTab));
    ajustaColumnas();
}

QColor TRejillaDatos::fondoCelda(const QModelIndex& indice, QFont* fuente, QColor* texto) const
{
    QColor fondo = celdas_;
    if (alternas_.isValid() && indice.row() % 2 == 1)
        fondo = alternas_;
    QColor tinta = ui::ColorWindows(ui::cl::BtnText);
    const bool filaActual = modelo_ && indice.row() == modelo_->filaActual();
    const bool celdaActual = filaActual && indice.column() == currentIndex().column();
    const bool resaltado = celdaActual && hasFocus() && !filaActual_.isValid();
    QFont f = fuente ? *fuente : font();
    if (coloresCelda_ && modelo_) {
        QBrush pincel(fondo);
        QStyle::State estado = QStyle::State_Enabled;
        if (celdaActual)
            estado |= QStyle::State_HasFocus;
        coloresCelda_(const_cast<TRejillaDatos*>(this), modelo_->columna(indice.column()).campo, estado,
                      resaltado, f, pincel);
        fondo = pincel.color();
    }
    if (filaActual && filaActual_.isValid()) {
        // The current row blended with the grid's row colour, in white letters.
        fondo = ui::Mezcla(fondo, filaActual_, 0.72);
        tinta = Qt::white;
    } else if (resaltado) {
        fondo = ui::ColorWindows(ui::cl::Highlight);
        tinta = ui::ColorWindows(ui::cl::HighlightText);
    }
    if (fuente)
        *fuente = f;
    if (texto)
        *texto = tinta;
    return fondo;
}

int TRejillaDatos::primeraEditable() const
{
    return modelo_ && columnasFijas() < modelo_->columnCount() ? columnasFijas() : 0;
}

void TRejillaDatos::irAFila(int fila)
{
    if (!modelo_ || fila < 0 || fila >= modelo_->rowCount())
        return;
    setCurrentIndex(modelo_->index(fila, std::max(currentIndex().column(), primeraEditable())));
}

void TRejillaDatos::sigueModelo(int fila)
{
    if (moviendo_ || !modelo_)
        return;
    moviendo_ = true;
    if (fila >= 0)
        setCurrentIndex(modelo_->index(fila, std::max(currentIndex().column(), primeraEditable())));
    moviendo_ = false;
    verticalHeader()->viewport()->update();
    viewport()->update();
}

void TRejillaDatos::currentChanged(const QModelIndex& actual, const QModelIndex& anterior)
{
    QTableView::currentChanged(actual, anterior);
    verticalHeader()->viewport()->update();
    viewport()->update();
    if (moviendo_ || !modelo_ || modelo_->ocupado() || !actual.isValid())
        return;
    moviendo_ = true;
    // The fixed columns take no cursor: a click there selects the row.
    if (actual.column() < primeraEditable())
        setCurrentIndex(modelo_->index(actual.row(), primeraEditable()));
    if (actual.row() != modelo_->filaActual()) {
        const bool ok = ui::Protege(this, [&] { modelo_->irAFila(actual.row()); });
        if (!ok || modelo_->filaActual() != actual.row())
            setCurrentIndex(modelo_->index(std::max(0, modelo_->filaActual()), currentIndex().column()));
    }
    moviendo_ = false;
}

QModelIndex TRejillaDatos::moveCursor(CursorAction accion, Qt::KeyboardModifiers modificadores)
{
    QModelIndex i = QTableView::moveCursor(accion, modificadores);
    const int fijas = primeraEditable();
    if (!modelo_ || !i.isValid() || i.column() >= fijas)
        return i;
    const QModelIndex actual = currentIndex();
    if (accion == MovePrevious) {
        if (actual.row() > 0)
            return modelo_->index(actual.row() - 1, modelo_->columnCount() - 1);
        return actual;
    }
    return modelo_->index(i.row(), fijas);
}

void TRejillaDatos::keyPressEvent(QKeyEvent* evento)
{
    if (!modelo_) {
        QTableView::keyPressEvent(evento);
        return;
    }
    const int tecla = evento->key();
    const bool ctrl = evento->modifiers() & Qt::ControlModifier;
    std::optional<desktop::TeclaRejilla> propia;
    if (tecla == Qt::Key_Delete && ctrl)
        propia = desktop::TeclaRejilla::CtrlSupr;
    else if (tecla == Qt::Key_Insert && evento->modifiers() == Qt::NoModifier)
        propia = desktop::TeclaRejilla::Insertar;
    else if (tecla == Qt::Key_Down)
        propia = desktop::TeclaRejilla::Abajo;
    else if (tecla == Qt::Key_Escape)
        propia = desktop::TeclaRejilla::Escape;
    if (propia) {
        bool hecha = true;
        const auto pregunta = [this](const std::string& texto) {
            return ui::Dialogos::Actuales().Confirma(this, ui::DeAnsi(texto));
        };
        ui::Protege(this, [&] { hecha = desktop::PulsaTeclaRejilla(modelo_->fuente(), descripcion_, *propia, pregunta); });
        if (hecha)
            return;
    }
    if (descripcion_.enterComoTab && (tecla == Qt::Key_Return || tecla == Qt::Key_Enter)) {
        setCurrentIndex(moveCursor(MoveNext, Qt::NoModifier));
        return;
    }
    QTableView::keyPressEvent(evento);
}

void TRejillaDatos::confirmaEdicion()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = QApplication::focusWidget();
    if (!editor || !viewport()->isAncestorOf(editor))
        editor = viewport()->findChild<QLineEdit*>();
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

// Enter and exit follow the window's own focus, so a message box or another window taking the
// keyboard for a while is no exit, and coming back is no entry.
void TRejillaDatos::focoCambiado()
{
    QWidget* foco = window()->focusWidget();
    const bool dentro = foco && (foco == this || isAncestorOf(foco));
    if (dentro == dentro_)
        return;
    dentro_ = dentro;
    if (dentro)
        emit entra();
    else
        emit sale();
}
