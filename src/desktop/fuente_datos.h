// A data source over one of our tables: the rows a grid shows, in the table's current order,
// and the table's cursor as the grid's current row. Edits go into the table's current record
// as the data-aware grids do: typing puts the record into edit mode, moving to another row
// posts a changed record and drops an unchanged new one, and the windows' handlers post,
// cancel, append and delete through here so the rows stay in step with the table. A grid of
// any toolkit follows it through an observer.
#pragma once

#include "desktop/controles.h"

#include <string>
#include <vector>

namespace store {
class Table;
}

namespace desktop {

// What a grid must redraw. Rows added or removed come in pairs (before, after).
class ObservadorFuente {
public:
    virtual ~ObservadorFuente() = default;
    virtual void AntesDeReiniciar() {}
    virtual void TrasReiniciar() {}
    virtual void AntesDeInsertar(int /*fila*/) {}
    virtual void TrasInsertar() {}
    virtual void AntesDeQuitar(int /*fila*/) {}
    virtual void TrasQuitar() {}
    virtual void CeldasCambiadas(int /*fila*/, int /*primera*/, int /*ultima*/) {}
    virtual void FilaActualCambiada(int /*fila*/) {}
    virtual void EstadoCambiado() {}
};

class FuenteDatos {
public:
    enum class Estado { Inactivo, Navegando, Editando, Anadiendo };

    void PonObservador(ObservadorFuente* observador) { observador_ = observador ? observador : &ninguno_; }

    void PonColumnas(std::vector<ColumnaRejilla> columnas);
    const std::vector<ColumnaRejilla>& Columnas() const { return columnas_; }
    int NumeroColumnas() const { return static_cast<int>(columnas_.size()); }
    // Characters that can be typed into a column: the field's size (11 for an integer).
    int LongitudMaxima(int columna) const;
    bool ColumnaNumerica(int columna) const;
    bool ColumnaEntera(int columna) const;

    // The table shown; null shows nothing. The table is not owned.
    void PonTabla(store::Table* tabla);
    store::Table* Tabla() const { return tabla_; }
    bool Activa() const;

    int NumeroFilas() const { return static_cast<int>(filas_.size()); }
    // A cell's text as the table holds it (Windows-1252).
    const std::string& Valor(int fila, int columna) const;
    int FilaActual() const { return actual_; }
    Estado EstadoActual() const;
    bool Modificada() const { return modificada_; }
    // The current row is a new record not yet changed by the user.
    bool FilaNuevaSinCambios() const;

    // Reads every record again; the current record stays current. A pending change is posted
    // first, an unchanged new record dropped.
    void Recarga();
    // Makes a row current, leaving the row before as moving in a grid does.
    void IrAFila(int fila);
    // Puts the current record into edit mode; on an empty table a new blank record is started.
    void Edita();
    // Starts a new blank record at the end.
    void Anade();
    // Posts the current record when it is being edited or appended (unchanged or not).
    void Confirma();
    // Drops the changes of the current record; a new record disappears.
    void Cancela();
    // Deletes the current record (a new one is cancelled); the next becomes current.
    void BorraActual();
    // Leaves edit mode as moving away would, then reads every record again.
    void Refresca();
    // What the user typed into a cell (Windows-1252): the row becomes current and the record
    // goes into edit mode. A text that is no number in a numeric column is an error. A text
    // equal to the cell's changes nothing.
    void Escribe(int fila, int columna, const std::string& texto);

private:
    struct Fila {
        long registro = 0;  // physical record number; 0 for a new record not yet posted
        std::vector<std::string> valores;
    };

    void DejaFila();
    void LeeFilaActual();
    void QuitaFila(int fila);
    void EscribeCampo(int columna, const std::string& texto);
    void Avisa();

    ObservadorFuente ninguno_;
    ObservadorFuente* observador_ = &ninguno_;
    store::Table* tabla_ = nullptr;
    std::vector<ColumnaRejilla> columnas_;
    std::vector<Fila> filas_;
    int actual_ = -1;
    bool modificada_ = false;
};

}  // namespace desktop
