// A DatosRejilla over rows kept in memory, with the record states of a table: typing puts the
// current row into edit mode, moving to another row posts a changed row and drops an unchanged
// new one, Esc restores the row as it was. For grids whose data is not a table, and for trying
// the grid out.
#pragma once

#include "win32/controles/datos_rejilla.h"

#include <string>
#include <vector>

namespace controles {

class DatosEnMemoria : public DatosRejilla {
public:
    DatosEnMemoria(std::vector<ColumnaDatos> columnas, std::vector<std::vector<std::string>> filas);

    const std::vector<std::vector<std::string>>& contenido() const { return filas_; }

    int filas() const override { return static_cast<int>(filas_.size()); }
    int columnas() const override { return static_cast<int>(columnas_.size()); }
    ColumnaDatos columna(int c) const override { return columnas_.at(static_cast<std::size_t>(c)); }
    std::string texto(int fila, int columna) const override;
    void ponTexto(int fila, int columna, const std::string& texto) override;

    bool activa() const override { return true; }
    Estado estado() const override { return estado_; }
    int filaActual() const override { return actual_; }
    bool filaNuevaSinCambios() const override { return estado_ == Estado::Anadiendo && !modificada_; }

    void irAFila(int fila) override;
    void edita() override;
    void anade() override;
    void confirma() override;
    void cancela() override;
    void borraActual() override;
    void refresca() override;

private:
    void DejaFila();

    std::vector<ColumnaDatos> columnas_;
    std::vector<std::vector<std::string>> filas_;
    std::vector<std::string> original_;
    int actual_ = -1;
    Estado estado_ = Estado::Navegando;
    bool modificada_ = false;
};

// The first `caracteres` characters of a UTF-8 text.
std::string CortaUtf8(const std::string& texto, int caracteres);

}  // namespace controles
