#include "desktop/fuente_datos.h"

#include "store/errors.h"
#include "store/table.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace desktop {

namespace {

const store::FieldDef* Definicion(const store::Table* tabla, const std::string& campo)
{
    if (!tabla || !tabla->isOpen())
        return nullptr;
    const int i = tabla->fieldIndex(campo);
    return i < 0 ? nullptr : &tabla->fields()[static_cast<std::size_t>(i)];
}

std::string_view SinBlancos(std::string_view t)
{
    constexpr std::string_view blancos = " \t\r\n\v\f";
    const auto a = t.find_first_not_of(blancos);
    if (a == std::string_view::npos)
        return {};
    return t.substr(a, t.find_last_not_of(blancos) - a + 1);
}

// A whole number written in decimal with an optional sign, nothing else.
bool LeeEntero(std::string_view t, long& valor)
{
    bool negativo = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negativo = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty() || t[0] == '+' || t[0] == '-')
        return false;
    unsigned long magnitud = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), magnitud);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size())
        return false;
    constexpr unsigned long maximo = static_cast<unsigned long>(std::numeric_limits<long>::max());
    if (magnitud > maximo + (negativo ? 1 : 0))
        return false;
    valor = negativo ? static_cast<long>(0 - magnitud) : static_cast<long>(magnitud);
    return true;
}

// A decimal number with a point, an optional sign and exponent, whatever the user's locale.
bool LeeReal(std::string_view t, double& valor)
{
    if (!t.empty() && t[0] == '+')
        t.remove_prefix(1);
    if (t.empty() || t[0] == '+')
        return false;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), valor);
    return r.ec == std::errc() && r.ptr == t.data() + t.size() && std::isfinite(valor);
}

}  // namespace

void FuenteDatos::PonColumnas(std::vector<ColumnaRejilla> columnas)
{
    observador_->AntesDeReiniciar();
    columnas_ = std::move(columnas);
    filas_.clear();
    actual_ = -1;
    observador_->TrasReiniciar();
}

void FuenteDatos::PonTabla(store::Table* tabla)
{
    observador_->AntesDeReiniciar();
    tabla_ = tabla;
    filas_.clear();
    actual_ = -1;
    modificada_ = false;
    observador_->TrasReiniciar();
    Avisa();
}

bool FuenteDatos::Activa() const
{
    return tabla_ && tabla_->isOpen();
}

int FuenteDatos::LongitudMaxima(int columna) const
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

bool FuenteDatos::ColumnaNumerica(int columna) const
{
    const store::FieldDef* d = Definicion(tabla_, columnas_[static_cast<std::size_t>(columna)].campo);
    return d && (d->type == 'I' || d->type == 'N' || d->type == 'F' || d->type == 'O');
}

bool FuenteDatos::ColumnaEntera(int columna) const
{
    const store::FieldDef* d = Definicion(tabla_, columnas_[static_cast<std::size_t>(columna)].campo);
    return d && (d->type == 'I' || ((d->type == 'N' || d->type == 'F') && d->decimals == 0));
}

const std::string& FuenteDatos::Valor(int fila, int columna) const
{
    return filas_[static_cast<std::size_t>(fila)].valores[static_cast<std::size_t>(columna)];
}

FuenteDatos::Estado FuenteDatos::EstadoActual() const
{
    if (!Activa())
        return Estado::Inactivo;
    if (!tabla_->editingOrAppending())
        return Estado::Navegando;
    if (actual_ >= 0 && filas_[static_cast<std::size_t>(actual_)].registro == 0)
        return Estado::Anadiendo;
    return Estado::Editando;
}

bool FuenteDatos::FilaNuevaSinCambios() const
{
    return EstadoActual() == Estado::Anadiendo && !modificada_;
}

void FuenteDatos::Avisa()
{
    observador_->FilaActualCambiada(actual_);
    observador_->EstadoCambiado();
}

void FuenteDatos::LeeFilaActual()
{
    if (actual_ < 0)
        return;
    Fila& f = filas_[static_cast<std::size_t>(actual_)];
    for (std::size_t c = 0; c < columnas_.size(); ++c)
        f.valores[c] = tabla_->asText(columnas_[c].campo);
    observador_->CeldasCambiadas(actual_, 0, NumeroColumnas() - 1);
}

void FuenteDatos::QuitaFila(int fila)
{
    observador_->AntesDeQuitar(fila);
    filas_.erase(filas_.begin() + fila);
    observador_->TrasQuitar();
    if (actual_ >= NumeroFilas())
        actual_ = NumeroFilas() - 1;
}

// Leaving the current record: a changed one is posted, an unchanged one left as it was (a new
// unchanged record disappears).
void FuenteDatos::DejaFila()
{
    if (!Activa() || !tabla_->editingOrAppending())
        return;
    const bool nueva = EstadoActual() == Estado::Anadiendo;
    if (modificada_) {
        tabla_->post();
        modificada_ = false;
        if (nueva)
            filas_[static_cast<std::size_t>(actual_)].registro = tabla_->recNo();
        LeeFilaActual();
        return;
    }
    tabla_->cancel();
    if (nueva) {
        QuitaFila(actual_);
        if (actual_ >= 0)
            tabla_->goTo(filas_[static_cast<std::size_t>(actual_)].registro);
    } else {
        LeeFilaActual();
    }
}

void FuenteDatos::Recarga()
{
    DejaFila();
    observador_->AntesDeReiniciar();
    filas_.clear();
    actual_ = -1;
    modificada_ = false;
    if (Activa()) {
        const long registroActual = tabla_->recNo();
        for (tabla_->first(); !tabla_->eof(); tabla_->next()) {
            Fila f;
            f.registro = tabla_->recNo();
            for (const ColumnaRejilla& c : columnas_)
                f.valores.push_back(tabla_->asText(c.campo));
            if (f.registro == registroActual)
                actual_ = NumeroFilas();
            filas_.push_back(std::move(f));
        }
        if (actual_ < 0 && !filas_.empty())
            actual_ = 0;
        if (actual_ >= 0)
            tabla_->goTo(filas_[static_cast<std::size_t>(actual_)].registro);
    }
    observador_->TrasReiniciar();
    Avisa();
}

void FuenteDatos::IrAFila(int fila)
{
    if (!Activa() || fila < 0 || fila >= NumeroFilas() || fila == actual_)
        return;
    const long destino = filas_[static_cast<std::size_t>(fila)].registro;
    DejaFila();
    // Leaving a new blank row may have removed it: the row wanted is found by its record.
    for (std::size_t i = 0; i < filas_.size(); ++i) {
        if (filas_[i].registro == destino) {
            actual_ = static_cast<int>(i);
            break;
        }
    }
    tabla_->goTo(destino);
    Avisa();
}

void FuenteDatos::Edita()
{
    if (!Activa() || tabla_->editingOrAppending())
        return;
    if (filas_.empty()) {
        Anade();
        return;
    }
    tabla_->edit();
    modificada_ = false;
    observador_->EstadoCambiado();
}

void FuenteDatos::Anade()
{
    if (!Activa())
        return;
    DejaFila();
    tabla_->append();
    const int fila = NumeroFilas();
    observador_->AntesDeInsertar(fila);
    filas_.push_back(Fila{0, std::vector<std::string>(columnas_.size())});
    observador_->TrasInsertar();
    actual_ = fila;
    modificada_ = false;
    Avisa();
}

void FuenteDatos::Confirma()
{
    if (!Activa() || !tabla_->editingOrAppending())
        return;
    const bool nueva = EstadoActual() == Estado::Anadiendo;
    tabla_->post();
    modificada_ = false;
    if (nueva)
        filas_[static_cast<std::size_t>(actual_)].registro = tabla_->recNo();
    LeeFilaActual();
    observador_->EstadoCambiado();
}

void FuenteDatos::Cancela()
{
    if (!Activa() || !tabla_->editingOrAppending())
        return;
    const bool nueva = EstadoActual() == Estado::Anadiendo;
    tabla_->cancel();
    modificada_ = false;
    if (nueva) {
        QuitaFila(actual_);
        if (actual_ >= 0)
            tabla_->goTo(filas_[static_cast<std::size_t>(actual_)].registro);
        Avisa();
        return;
    }
    LeeFilaActual();
    observador_->EstadoCambiado();
}

void FuenteDatos::BorraActual()
{
    if (!Activa() || actual_ < 0)
        return;
    if (EstadoActual() == Estado::Anadiendo) {
        Cancela();
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
    QuitaFila(actual_);
    if (actual_ >= 0)
        tabla_->goTo(filas_[static_cast<std::size_t>(actual_)].registro);
    Avisa();
}

void FuenteDatos::Refresca()
{
    Recarga();
}

void FuenteDatos::EscribeCampo(int columna, const std::string& texto)
{
    const std::string& campo = columnas_[static_cast<std::size_t>(columna)].campo;
    const std::string_view limpio = SinBlancos(texto);
    if (!ColumnaNumerica(columna) || limpio.empty()) {
        tabla_->setText(campo, ColumnaNumerica(columna) ? std::string() : texto);
        return;
    }
    if (ColumnaEntera(columna)) {
        long valor = 0;
        if (!LeeEntero(limpio, valor))
            throw store::EngineError("'" + texto + "' no es un valor entero v\xE1lido");
        tabla_->setInteger(campo, valor);
        return;
    }
    double valor = 0;
    if (!LeeReal(limpio, valor))
        throw store::EngineError("'" + texto + "' no es un valor de coma flotante v\xE1lido");
    tabla_->setFloat(campo, valor);
}

void FuenteDatos::Escribe(int fila, int columna, const std::string& texto)
{
    if (!Activa() || fila < 0 || fila >= NumeroFilas() || columna < 0 || columna >= NumeroColumnas() ||
        !columnas_[static_cast<std::size_t>(columna)].editable)
        return;
    if (texto == Valor(fila, columna))
        return;
    IrAFila(fila);
    if (!tabla_->editingOrAppending()) {
        tabla_->edit();
        modificada_ = false;
    }
    EscribeCampo(columna, texto);
    modificada_ = true;
    filas_[static_cast<std::size_t>(actual_)].valores[static_cast<std::size_t>(columna)] =
        tabla_->asText(columnas_[static_cast<std::size_t>(columna)].campo);
    observador_->CeldasCambiadas(actual_, columna, columna);
    observador_->EstadoCambiado();
}

}  // namespace desktop
