// What the data grid and the navigator show and act on: rows of text in columns, a current
// row, and the states of a record being browsed, edited or added. The grid knows nothing of
// tables; a thin adapter puts a table (or anything else) behind this. Texts are UTF-8.
// Any operation may throw a std::exception: the grid and the navigator show its text and
// stay where they were. The members follow the Linux program's table model one for one (rows,
// columns and their lengths, a cell's text, setting it, the current row, the state, moving,
// edit, append, post, cancel, delete, refresh), so an adapter over a table is a thin one: it
// converts the table's Windows-1252 texts to UTF-8 and calls avisa() where the model signals.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace controles {

struct ColumnaDatos {
    std::string campo;       // the field's name, handed to the cell colour handler
    std::string titulo;
    int anchoCaracteres = 10;
    bool editable = false;
    int longitudMaxima = 0;  // characters that can be typed; 0 for no limit
    bool numerica = false;   // right-aligned
    bool entera = false;     // digits and a sign only
};

class DatosRejilla {
public:
    enum class Estado { Inactivo, Navegando, Editando, Anadiendo };

    virtual ~DatosRejilla() = default;

    virtual int filas() const = 0;
    virtual int columnas() const = 0;
    virtual ColumnaDatos columna(int c) const = 0;
    virtual std::string texto(int fila, int columna) const = 0;
    // Writes a cell of the current row, putting the record into edit mode.
    virtual void ponTexto(int fila, int columna, const std::string& texto) = 0;

    virtual bool activa() const = 0;
    virtual Estado estado() const = 0;
    virtual int filaActual() const = 0;
    // The current row is a new record not yet changed by the user.
    virtual bool filaNuevaSinCambios() const = 0;

    // Makes a row current, leaving the row before as moving in a grid does (a changed record
    // is posted, an unchanged new one dropped).
    virtual void irAFila(int fila) = 0;
    virtual void edita() = 0;
    virtual void anade() = 0;
    virtual void confirma() = 0;
    virtual void cancela() = 0;
    virtual void borraActual() = 0;
    virtual void refresca() = 0;

    // Who is told when rows, the current row or the state change. Returns a number for
    // dejaDeObservar.
    int observa(std::function<void()> f)
    {
        observadores_.emplace_back(++ultimo_, std::move(f));
        return ultimo_;
    }
    void dejaDeObservar(int numero)
    {
        std::erase_if(observadores_, [numero](const auto& o) { return o.first == numero; });
    }

protected:
    // For the implementation, after each change.
    void avisa()
    {
        const auto copia = observadores_;
        for (const auto& o : copia)
            o.second();
    }

private:
    std::vector<std::pair<int, std::function<void()>>> observadores_;
    int ultimo_ = 0;
};

}  // namespace controles
