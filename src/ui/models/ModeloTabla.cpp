#include "ui/models/ModeloTabla.h"

#include "ui/Errores.h"
#include "ui/Texto.h"

TModeloTabla::TModeloTabla(desktop::FuenteDatos& fuente, QObject* padre) : QAbstractTableModel(padre), fuente_(fuente)
{
    fuente_.PonObservador(this);
}

TModeloTabla::~TModeloTabla()
{
    fuente_.PonObservador(nullptr);
}

int TModeloTabla::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : fuente_.NumeroFilas();
}

int TModeloTabla::columnCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : fuente_.NumeroColumnas();
}

QVariant TModeloTabla::data(const QModelIndex& indice, int rol) const
{
    if (!indice.isValid() || indice.row() >= rowCount() || indice.column() >= columnCount())
        return {};
    if (rol == Qt::DisplayRole || rol == Qt::EditRole)
        return ui::DeAnsi(fuente_.Valor(indice.row(), indice.column()));
    if (rol == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(
            (columnaNumerica(indice.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags TModeloTabla::flags(const QModelIndex& indice) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(indice);
    if (indice.isValid() && columna(indice.column()).editable)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TModeloTabla::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0 && seccion < columnCount())
        return ui::DeAnsi(columna(seccion).titulo);
    return {};
}

bool TModeloTabla::setData(const QModelIndex& indice, const QVariant& valor, int rol)
{
    if (rol != Qt::EditRole || !indice.isValid() || !activa() || !columna(indice.column()).editable)
        return false;
    return ui::Protege(nullptr, [&] { fuente_.Escribe(indice.row(), indice.column(), ui::AAnsi(valor.toString())); });
}

void TModeloTabla::AntesDeInsertar(int fila)
{
    ocupado_ = true;
    beginInsertRows({}, fila, fila);
}

void TModeloTabla::TrasInsertar()
{
    endInsertRows();
    ocupado_ = false;
}

void TModeloTabla::AntesDeQuitar(int fila)
{
    ocupado_ = true;
    beginRemoveRows({}, fila, fila);
}

void TModeloTabla::TrasQuitar()
{
    endRemoveRows();
    ocupado_ = false;
}

void TModeloTabla::CeldasCambiadas(int fila, int primera, int ultima)
{
    emit dataChanged(index(fila, primera), index(fila, ultima));
}
