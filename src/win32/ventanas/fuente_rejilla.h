// The data grid's data (controles::DatosRejilla) over a window's data source
// (desktop::FuenteDatos): one call for each, the texts converted between the tables'
// Windows-1252 and the grid's UTF-8, and the grid told of every change the source reports.
#pragma once

#include "desktop/fuente_datos.h"
#include "win32/controles/datos_rejilla.h"

namespace ventanas {

class FuenteRejilla : public controles::DatosRejilla, private desktop::ObservadorFuente {
public:
    explicit FuenteRejilla(desktop::FuenteDatos& fuente);
    ~FuenteRejilla() override;
    FuenteRejilla(const FuenteRejilla&) = delete;
    FuenteRejilla& operator=(const FuenteRejilla&) = delete;

    int filas() const override { return fuente_.NumeroFilas(); }
    int columnas() const override { return fuente_.NumeroColumnas(); }
    controles::ColumnaDatos columna(int c) const override;
    std::string texto(int fila, int columna) const override;
    void ponTexto(int fila, int columna, const std::string& texto) override;

    bool activa() const override { return fuente_.Activa(); }
    Estado estado() const override;
    int filaActual() const override { return fuente_.FilaActual(); }
    bool filaNuevaSinCambios() const override { return fuente_.FilaNuevaSinCambios(); }

    void irAFila(int fila) override { fuente_.IrAFila(fila); }
    void edita() override { fuente_.Edita(); }
    void anade() override { fuente_.Anade(); }
    void confirma() override { fuente_.Confirma(); }
    void cancela() override { fuente_.Cancela(); }
    void borraActual() override { fuente_.BorraActual(); }
    void refresca() override { fuente_.Refresca(); }

private:
    void TrasReiniciar() override { avisa(); }
    void TrasInsertar() override { avisa(); }
    void TrasQuitar() override { avisa(); }
    void CeldasCambiadas(int, int, int) override { avisa(); }
    void FilaActualCambiada(int) override { avisa(); }
    void EstadoCambiado() override { avisa(); }

    desktop::FuenteDatos& fuente_;
};

// Windows-1252 and UTF-8, both ways.
std::string AnsiAUtf8(const std::string& ansi);
std::string Utf8AAnsi(const std::string& utf8);

}  // namespace ventanas
