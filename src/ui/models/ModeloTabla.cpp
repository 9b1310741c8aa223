#include "ui/models/ModeloTabla.h"

#include "store/errors.h"
#include "store/table.h"
#include "ui/Errores.h"
#include "ui/Texto.h"

#include <cmath>

TModeloTabla::TModeloTabla(QObject* padre) : QAbstractTableModel(padre) {}

void TModeloTabla::ponColumnas(std::vector<ColumnaRejilla> columnas)
{
    beginResetModel();
    columnas_ = std::move(columnas);
    filas_.clear();
    actual_ = -1;
    endResetModel();
}

void TModeloTabla::ponTabla(store::Table* tabla)
{
    beginResetModel();
    tabla_ = tabla;
    filas_.clear();
    actual_ = -1;
    modificada_ = false;
    endResetModel();
    avisa();
}

bool TModeloTabla::activa() const
{
    return tabla_ && tabla_->isOpen();
}

namespace {

const store::FieldDef* Definicion(const store::Table* tabla, const std::string& campo)
{
    if (!tabla || !tabla->isOpen())
        return nullptr;
    const int i = tabla->fieldIndex(campo);
    return i < 0 ? nullptr : &tabla->fields()[static_cast<std::size_t>(i)];
}

}  // namespace

int TModeloTabla::longitudMaxima(int columna) const
{
    const store::FieldDef* d = Definicion(tabla_, columnas_[static_cast<std::size_t>(columna)].campo);
    if (!d)
        return 32767;
    switch (d->type) {
    case 'C':
    case 'N':
    case 'F':
        return d->size;
    case 'I':
        return 11;
    default:
        return 32767;
    }
}

bool TModeloTabla::columnaNumerica(int columna) const
{
    const store::FieldDef* d = Definicion(tabla_, columnas_[static_cast<std::size_t>(columna)].campo);
    return d && (d->type == 'I' || d->type == 'N' || d->type == 'F' || d->type == 'O');
}

bool TModeloTabla::columnaEntera(int columna) const
{
    const store::FieldDef* d = Definicion(tabla_, columnas_[static_cast<std::size_t>(columna)].campo);
    return d && (d->type == 'I' || ((d->type == 'N' || d->type == 'F') && d->decimals == 0));
}

int TModeloTabla::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : static_cast<int>(filas_.size());
}

int TModeloTabla::columnCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : static_cast<int>(columnas_.size());
}

QVariant TModeloTabla::data(const QModelIndex& indice, int rol) const
{
    if (!indice.isValid() || indice.row() >= rowCount() || indice.column() >= columnCount())
        return {};
    if (rol == Qt::DisplayRole || rol == Qt::EditRole)
        return ui::DeAnsi(filas_[static_cast<std::size_t>(indice.row())].valores[static_cast<std::size_t>(indice.column())]);
    if (rol == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(
            (columnaNumerica(indice.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags TModeloTabla::flags(const QModelIndex& indice) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(indice);
    if (indice.isValid() && columnas_[static_cast<std::size_t>(indice.column())].editable)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TModeloTabla::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0 && seccion < columnCount())
        return columnas_[static_cast<std::size_t>(seccion)].titulo;
    return {};
}

TModeloTabla::Estado TModeloTabla::estado() const
{
    if (!activa())
        return Estado::Inactivo;
    if (!tabla_->editingOrAppending())
        return Estado::Navegando;
    if (actual_ >= 0 && filas_[static_cast<std::size_t>(actual_)].registro == 0)
        return Estado::Anadiendo;
    return Estado::Editando;
}

bool TModeloTabla::filaNuevaSinCambios() const
{
    return estado() == Estado::Anadiendo && !modificada_;
}

void TModeloTabla::avisa()
{
    emit filaActualCambiada(actual_);
    emit estadoCambiado();
}

void TModeloTabla::leeFilaActual()
{
    if (actual_ < 0)
        return;
    Fila& f = filas_[static_cast<std::size_t>(actual_)];
    for (std::size_t c = 0; c < columnas_.size(); ++c)
        f.valores[c] = tabla_->asText(columnas_[c].campo);
    emit dataChanged(index(actual_, 0), index(actual_, columnCount() - 1));
}

void TModeloTabla::quitaFila(int fila)
{
    ocupado_ = true;
    beginRemoveRows({}, fila, fila);
    filas_.erase(filas_.begin() + fila);
    endRemoveRows();
    ocupado_ = false;
    if (actual_ >= static_cast<int>(filas_.size()))
        actual_ = static_cast<int>(filas_.size()) - 1;
}

// Leaving the current record: a changed one is posted, an unchanged one left as it was (a new
// unchanged record disappears).
void TModeloTabla::dejaFila()
{
    if (!activa() || !tabla_->editingOrAppending())
        return;
    const bool nueva = estado() == Estado::Anadiendo;
    if (modificada_) {
        tabla_->post();
        modificada_ = false;
        if (nueva)
            filas_[static_cast<std::size_t>(actual_)].registro = tabla_->recNo();
        leeFilaActual();
        return;
    }
    tabla_->cancel();
    if (nueva) {
        quitaFila(actual_);
        if (actual_ >= 0)
            tabla_->goTo(filas_[static_cast<std::size_t>(actual_)].registro);
    } else {
        leeFilaActual();
    }
}

void TModeloTabla::recarga()
{
    dejaFila();
    beginResetModel();
    filas_.clear();
    actual_ = -1;
    modificada_ = false;
    if (activa()) {
        const long registroActual = tabla_->recNo();
        for (tabla_->first(); !tabla_->eof(); tabla_->next()) {
            Fila f;
            f.registro = tabla_->recNo();
            for (const ColumnaRejilla& c : columnas_)
                f.valores.push_back(tabla_->asText(c.campo));
            if (f.registro == registroActual)
                actual_ = static_cast<int>(filas_.size());
            filas_.push_back(std::move(f));
        }
        if (actual_ < 0 && !filas_.empty())
            actual_ = 0;
        if (actual_ >= 0)
            tabla_->goTo(filas_[static_cast<std::size_t>(actual_)].registro);
    }
    endResetModel();
    avisa();
}

void TModeloTabla::irAFila(int fila)
{
    if (!activa() || fila < 0 || fila >= rowCount() || fila == actual_)
        return;
    const long destino = filas_[static_cast<std::size_t>(fila)].registro;
    dejaFila();
    for (std::size_t i = 0; i < filas_.size(); ++i) {
        if (filas_[i].registro == destino) {
            actual_ = static_cast<int>(i);
            break;
        }
    }
    tabla_->goTo(destino);
    avisa();
}

void TModeloTabla::edita()
{
    if (!activa() || tabla_->editingOrAppending())
        return;
    if (filas_.empty()) {
        anade();
        return;
    }
    tabla_->edit();
    modificada_ = false;
    emit estadoCambiado();
}

void TModeloTabla::anade()
{
    if (!activa())
        return;
    dejaFila();
    tabla_->append();
    const int fila = rowCount();
    ocupado_ = true;
    beginInsertRows({}, fila, fila);
    filas_.push_back(Fila{0, std::vector<std::string>(columnas_.size())});
    endInsertRows();
    ocupado_ = false;
    actual_ = fila;
    modificada_ = false;
    avisa();
}

void TModeloTabla::confirma()
{
    if (!activa() || !tabla_->editingOrAppending())
        return;
    const bool nueva = estado() == Estado::Anadiendo;
    tabla_->post();
    modificada_ = false;
    if (nueva)
        filas_[static_cast<std::size_t>(actual_)].registro = tabla_->recNo();
    leeFilaActual();
    emit estadoCambiado();
}

void TModeloTabla::cancela()
{
    if (!activa() || !tabla_->editingOrAppending())
        return;
    const bool nueva = estado() == Estado::Anadiendo;
    tabla_->cancel();
    modificada_ = false;
    if (nueva) {
        quitaFila(actual_);
        if (actual_ >= 0)
            tabla_->goTo(filas_[static_cast<std::size_t>(actual_)].registro);
        avisa();
        return;
    }
    leeFilaActual();
    emit estadoCambiado();
}

void TModeloTabla::borraActual()
{
    if (!activa() || actual_ < 0)
        return;
    if (estado() == Estado::Anadiendo) {
        cancela();
        return;
    }
    if (tabla_->editingOrAppending()) {
        if (modificada_)
            tabla_->post();
        else
            tabla_->cancel();
        modificada_ = false;
    }
    tabla_->deleteRecord();
    quitaFila(actual_);
    if (actual_ >= 0)
        tabla_->goTo(filas_[static_cast<std::size_t>(actual_)].registro);
    avisa();
}

void TModeloTabla::refresca()
{
    recarga();
}

void TModeloTabla::escribeCampo(int columna, const QString& texto)
{
    const std::string& campo = columnas_[static_cast<std::size_t>(columna)].campo;
    if (!columnaNumerica(columna) || texto.trimmed().isEmpty()) {
        tabla_->setText(campo, ui::AAnsi(columnaNumerica(columna) ? QString() : texto));
        return;
    }
    bool ok = false;
    if (columnaEntera(columna)) {
        const long valor = texto.trimmed().toLong(&ok);
        if (!ok)
            throw store::EngineError("'" + ui::AAnsi(texto) + "' no es un valor entero v\xE1lido");
        tabla_->setInteger(campo, valor);
        return;
    }
    const double valor = texto.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(valor))
        throw store::EngineError("'" + ui::AAnsi(texto) + "' no es un valor de coma flotante v\xE1lido");
    tabla_->setFloat(campo, valor);
}

bool TModeloTabla::setData(const QModelIndex& indice, const QVariant& valor, int rol)
{
    if (rol != Qt::EditRole || !indice.isValid() || !activa() ||
        !columnas_[static_cast<std::size_t>(indice.column())].editable)
        return false;
    const QString texto = valor.toString();
    const auto& actual = filas_[static_cast<std::size_t>(indice.row())].valores[static_cast<std::size_t>(indice.column())];
    if (ui::AAnsi(texto) == actual)
        return true;
    return ui::Protege(nullptr, [&] {
        irAFila(indice.row());
        if (!tabla_->editingOrAppending()) {
            tabla_->edit();
            modificada_ = false;
        }
        escribeCampo(indice.column(), texto);
        modificada_ = true;
        auto& celda = filas_[static_cast<std::size_t>(actual_)].valores[static_cast<std::size_t>(indice.column())];
        celda = tabla_->asText(columnas_[static_cast<std::size_t>(indice.column())].campo);
        emit dataChanged(index(actual_, indice.column()), index(actual_, indice.column()));
        emit estadoCambiado();
    });
}
