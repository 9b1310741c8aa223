// The data-aware grid over a TModeloTabla: titles in their own colours, an indicator column
// that marks the current record and its state, fixed columns at the left that the cursor
// skips, alternate row colours, a per-cell colour handler, and the grid keys (what they do to
// the data source is desktop/acciones_rejilla.h's); Enter may move on as Tab does.
#pragma once

#include "desktop/controles.h"

#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <functional>
#include <string>

class TModeloTabla;

class TRejillaDatos : public QTableView {
    Q_OBJECT

public:
    // The cell colour handler: may change the font and the background brush of a cell.
    using ColoresCelda = std::function<void(QObject* sender, const std::string& campo, QStyle::State estado,
                                            bool resaltado, QFont& fuente, QBrush& fondo)>;

    explicit TRejillaDatos(QWidget* padre = nullptr);

    void ponModelo(TModeloTabla* modelo);
    TModeloTabla* modelo() const { return modelo_; }
    void ponColoresCelda(ColoresCelda manejador) { coloresCelda_ = std::move(manejador); }

    // Columns, colours, keys and scroll bar as the window's description gives them.
    void ponDescripcion(const desktop::DescripcionRejilla& descripcion);
    const desktop::DescripcionRejilla& descripcion() const { return descripcion_; }

    int columnasFijas() const { return descripcion_.columnasFijas; }
    int lineasTitulo() const { return std::max(1, descripcion_.lineasTitulo); }
    bool barraHorizontal() const { return horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn; }

    // Colours a cell is painted with, after the alternate rows and the cell colour handler.
    QColor fondoCelda(const QModelIndex& indice, QFont* fuente = nullptr, QColor* texto = nullptr) const;
    QColor colorDeTitulos() const { return titulos_; }
    QColor colorDeTextoTitulos() const { return textoTitulosColor_; }

    // Makes a row current, as the navigator does.
    void irAFila(int fila);
    // Ends an open cell editor, keeping what was typed.
    void confirmaEdicion();
    // Column widths from the columns' widths in characters and their titles.
    void ajustaColumnas();

signals:
    // The focus came into the grid, or left it for another control of the same window.
    void entra();
    void sale();

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    QModelIndex moveCursor(CursorAction accion, Qt::KeyboardModifiers modificadores) override;
    void currentChanged(const QModelIndex& actual, const QModelIndex& anterior) override;
    void changeEvent(QEvent* evento) override;

private:
    void sigueModelo(int fila);
    void focoCambiado();
    int primeraEditable() const;

    TModeloTabla* modelo_ = nullptr;
    ColoresCelda coloresCelda_;
    desktop::DescripcionRejilla descripcion_;
    QColor celdas_, alternas_, titulos_, textoTitulosColor_, filaActual_;
    bool dentro_ = false;
    bool moviendo_ = false;
};
