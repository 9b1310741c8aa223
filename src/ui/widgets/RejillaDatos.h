// The data-aware grid over a TModeloTabla: titles in their own colours, an indicator column
// that marks the current record and its state, fixed columns at the left that the cursor
// skips, alternate row colours, a per-cell colour handler, and the grid keys: Ctrl+Delete
// deletes the current record after a confirmation, Insert or the down arrow on the last row
// start a new one, Esc drops the changes, and Enter may move on as Tab does.
#pragma once

#include <QStyle>
#include <QTableView>

#include <functional>
#include <string>

class TModeloTabla;

class TRejillaDatos : public QTableView {
    Q_OBJECT
    Q_PROPERTY(int columnasFijas READ columnasFijas WRITE setColumnasFijas)
    Q_PROPERTY(int lineasTitulo READ lineasTitulo WRITE setLineasTitulo)
    Q_PROPERTY(QString colorCeldas READ colorCeldas WRITE setColorCeldas)
    Q_PROPERTY(QString colorFilasAlternas READ colorFilasAlternas WRITE setColorFilasAlternas)
    Q_PROPERTY(QString colorTitulos READ colorTitulos WRITE setColorTitulos)
    Q_PROPERTY(QString colorTextoTitulos READ colorTextoTitulos WRITE setColorTextoTitulos)
    Q_PROPERTY(QString colorFilaActual READ colorFilaActual WRITE setColorFilaActual)
    Q_PROPERTY(bool permiteAnadir MEMBER permiteAnadir_)
    Q_PROPERTY(bool permiteBorrar MEMBER permiteBorrar_)
    Q_PROPERTY(bool enterComoTab MEMBER enterComoTab_)
    Q_PROPERTY(bool barraHorizontal READ barraHorizontal WRITE setBarraHorizontal)

public:
    // The cell colour handler: may change the font and the background brush of a cell.
    using ColoresCelda = std::function<void(QObject* sender, const std::string& campo, QStyle::State estado,
                                            bool resaltado, QFont& fuente, QBrush& fondo)>;

    explicit TRejillaDatos(QWidget* padre = nullptr);

    void ponModelo(TModeloTabla* modelo);
    TModeloTabla* modelo() const { return modelo_; }
    void ponColoresCelda(ColoresCelda manejador) { coloresCelda_ = std::move(manejador); }

    int columnasFijas() const { return fijas_; }
    void setColumnasFijas(int n) { fijas_ = n; }
    int lineasTitulo() const { return lineasTitulo_; }
    void setLineasTitulo(int n);
    QString colorCeldas() const { return textoCeldas_; }
    void setColorCeldas(const QString& c);
    QString colorFilasAlternas() const { return textoAlternas_; }
    void setColorFilasAlternas(const QString& c);
    QString colorTitulos() const { return textoTitulos_; }
    void setColorTitulos(const QString& c);
    QString colorTextoTitulos() const { return textoTextoTitulos_; }
    void setColorTextoTitulos(const QString& c);
    QString colorFilaActual() const { return textoFilaActual_; }
    void setColorFilaActual(const QString& c);
    bool barraHorizontal() const { return horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn; }
    void setBarraHorizontal(bool b);

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
    int fijas_ = 0;
    int lineasTitulo_ = 1;
    QString textoCeldas_, textoAlternas_, textoTitulos_, textoTextoTitulos_, textoFilaActual_;
    QColor celdas_, alternas_, titulos_, textoTitulosColor_, filaActual_;
    bool permiteAnadir_ = false;
    bool permiteBorrar_ = false;
    bool enterComoTab_ = false;
    bool dentro_ = false;
    bool moviendo_ = false;
};
