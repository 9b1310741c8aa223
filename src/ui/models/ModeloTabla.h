// A Qt item model over one of the windows' data sources (desktop/fuente_datos.h): the grid
// draws the source's rows and passes what the user types back to it. The source, not this
// model, knows the table and its states.
#pragma once

#include "desktop/fuente_datos.h"

#include <QAbstractTableModel>

#include <string>

class TModeloTabla : public QAbstractTableModel, private desktop::ObservadorFuente {
    Q_OBJECT

public:
    using Estado = desktop::FuenteDatos::Estado;

    // Follows `fuente`, which must outlive the model.
    explicit TModeloTabla(desktop::FuenteDatos& fuente, QObject* padre = nullptr);
    ~TModeloTabla() override;

    desktop::FuenteDatos& fuente() const { return fuente_; }

    const desktop::ColumnaRejilla& columna(int i) const { return fuente_.Columnas()[static_cast<std::size_t>(i)]; }
    int longitudMaxima(int columna) const { return fuente_.LongitudMaxima(columna); }
    bool columnaNumerica(int columna) const { return fuente_.ColumnaNumerica(columna); }
    bool columnaEntera(int columna) const { return fuente_.ColumnaEntera(columna); }
    bool activa() const { return fuente_.Activa(); }

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol) override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override;

    int filaActual() const { return fuente_.FilaActual(); }
    // True while rows are being added or removed: the views' current row then follows the
    // model, not the other way round.
    bool ocupado() const { return ocupado_; }
    Estado estado() const { return fuente_.EstadoActual(); }
    bool filaNuevaSinCambios() const { return fuente_.FilaNuevaSinCambios(); }

    void recarga() { fuente_.Recarga(); }
    void irAFila(int fila) { fuente_.IrAFila(fila); }
    void edita() { fuente_.Edita(); }
    void anade() { fuente_.Anade(); }
    void confirma() { fuente_.Confirma(); }
    void cancela() { fuente_.Cancela(); }
    void borraActual() { fuente_.BorraActual(); }
    void refresca() { fuente_.Refresca(); }

signals:
    void filaActualCambiada(int fila);
    void estadoCambiado();

private:
    void AntesDeReiniciar() override { beginResetModel(); }
    void TrasReiniciar() override { endResetModel(); }
    void AntesDeInsertar(int fila) override;
    void TrasInsertar() override;
    void AntesDeQuitar(int fila) override;
    void TrasQuitar() override;
    void CeldasCambiadas(int fila, int primera, int ultima) override;
    void FilaActualCambiada(int fila) override { emit filaActualCambiada(fila); }
    void EstadoCambiado() override { emit estadoCambiado(); }

    desktop::FuenteDatos& fuente_;
    bool ocupado_ = false;
};
