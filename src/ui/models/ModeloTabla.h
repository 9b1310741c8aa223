// A data source over one of our tables: the rows a grid shows, in the table's current order,
// and the table's cursor as the grid's current row. The grid's edits go into the table's
// current record as the data-aware grids do: typing puts the record into edit mode, moving to
// another row posts a changed record and drops an unchanged new one, and the form's handlers
// post, cancel, append and delete through here so the rows stay in step with the table.
#pragma once

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace store {
class Table;
}

struct ColumnaRejilla {
    std::string campo;
    QString titulo;
    int anchoCaracteres = 10;
    bool editable = false;
};

class TModeloTabla : public QAbstractTableModel {
    Q_OBJECT

public:
    enum class Estado { Inactivo, Navegando, Editando, Anadiendo };

    explicit TModeloTabla(QObject* padre = nullptr);

    void ponColumnas(std::vector<ColumnaRejilla> columnas);
    const ColumnaRejilla& columna(int i) const { return columnas_[static_cast<std::size_t>(i)]; }
    // Characters that can be typed into a column: the field's size.
    int longitudMaxima(int columna) const;
    bool columnaNumerica(int columna) const;
    bool columnaEntera(int columna) const;

    // The table shown; null shows nothing. The table is not owned.
    void ponTabla(store::Table* tabla);
    store::Table* tabla() const { return tabla_; }
    bool activa() const;

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol) override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override;

    int filaActual() const { return actual_; }
    // True while rows are being added or removed: the views' current row then follows the
    // model, not the other way round.
    bool ocupado() const { return ocupado_; }
    Estado estado() const;
    bool modificada() const { return modificada_; }
    // The current row is a new record not yet changed by the user.
    bool filaNuevaSinCambios() const;

    // Reads every record again; the current record stays current. A pending change is posted
    // first, an unchanged new record dropped.
    void recarga();
    // Makes a row current, leaving the row before as moving in a grid does.
    void irAFila(int fila);
    // Puts the current record into edit mode; on an empty table a new blank record is started.
    void edita();
    // Starts a new blank record at the end.
    void anade();
    // Posts the current record when it is being edited or appended (unchanged or not).
    void confirma();
    // Drops the changes of the current record; a new record disappears.
    void cancela();
    // Deletes the current record (a new one is cancelled); the next becomes current.
    void borraActual();
    // Leaves edit mode as moving away would, then reads every record again.
    void refresca();

signals:
    void filaActualCambiada(int fila);
    void estadoCambiado();

private:
    struct Fila {
        long registro = 0;  // physical record number; 0 for a new record not yet posted
        std::vector<std::string> valores;
    };

    void dejaFila();
    void leeFilaActual();
    void quitaFila(int fila);
    void escribeCampo(int columna, const QString& texto);
    void avisa();

    store::Table* tabla_ = nullptr;
    std::vector<ColumnaRejilla> columnas_;
    std::vector<Fila> filas_;
    int actual_ = -1;
    bool modificada_ = false;
    bool ocupado_ = false;
};
