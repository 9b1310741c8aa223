#include "win32/controles/datos_en_memoria.h"

#include <algorithm>
#include <stdexcept>

namespace controles {

std::string CortaUtf8(const std::string& texto, int caracteres)
{
    std::size_t i = 0;
    for (int n = 0; i < texto.size() && n < caracteres; ++n) {
        ++i;
        // The continuation bytes of a character go with it.
        while (i < texto.size() && (static_cast<unsigned char>(texto[i]) & 0xC0) == 0x80)
            ++i;
    }
    return texto.substr(0, i);
}

DatosEnMemoria::DatosEnMemoria(std::vector<ColumnaDatos> columnas, std::vector<std::vector<std::string>> filas)
    : columnas_(std::move(columnas)), filas_(std::move(filas))
{
    for (auto& f : filas_)
        f.resize(columnas_.size());
    actual_ = filas_.empty() ? -1 : 0;
}

std::string DatosEnMemoria::texto(int fila, int columna) const
{
    return filas_.at(static_cast<std::size_t>(fila)).at(static_cast<std::size_t>(columna));
}

void DatosEnMemoria::ponTexto(int fila, int columna, const std::string& texto)
{
    if (fila != actual_)
        throw std::logic_error("Only the current row can be changed");
    const ColumnaDatos& c = columnas_.at(static_cast<std::size_t>(columna));
    if (estado_ == Estado::Navegando) {
        original_ = filas_[static_cast<std::size_t>(fila)];
        estado_ = Estado::Editando;
    }
    filas_[static_cast<std::size_t>(fila)][static_cast<std::size_t>(columna)] =
        c.longitudMaxima > 0 ? CortaUtf8(texto, c.longitudMaxima) : texto;
    modificada_ = true;
    avisa();
}

void DatosEnMemoria::DejaFila()
{
    if (estado_ == Estado::Anadiendo && !modificada_) {
        filas_.erase(filas_.begin() + actual_);
        actual_ = std::min(actual_, filas() - 1);
    }
    estado_ = Estado::Navegando;
    modificada_ = false;
}

void DatosEnMemoria::irAFila(int fila)
{
    if (fila < 0 || fila >= filas())
        return;
    const bool nuevaSinCambios = filaNuevaSinCambios();
    const int antes = actual_;
    DejaFila();
    // A dropped new row was the last one: the rows after it did not move.
    actual_ = nuevaSinCambios && fila > antes ? std::min(fila, filas() - 1) : fila;
    avisa();
}

void DatosEnMemoria::edita()
{
    if (filas_.empty()) {
        anade();
        return;
    }
    if (estado_ == Estado::Navegando) {
        original_ = filas_[static_cast<std::size_t>(actual_)];
        estado_ = Estado::Editando;
        avisa();
    }
}

void DatosEnMemoria::anade()
{
    DejaFila();
    filas_.emplace_back(columnas_.size());
    actual_ = filas() - 1;
    estado_ = Estado::Anadiendo;
    modificada_ = false;
    avisa();
}

void DatosEnMemoria::confirma()
{
    if (estado_ == Estado::Navegando)
        return;
    estado_ = Estado::Navegando;
    modificada_ = false;
    avisa();
}

void DatosEnMemoria::cancela()
{
    if (estado_ == Estado::Editando) {
        filas_[static_cast<std::size_t>(actual_)] = original_;
    } else if (estado_ == Estado::Anadiendo) {
        filas_.erase(filas_.begin() + actual_);
        actual_ = std::min(actual_, filas() - 1);
    }
    estado_ = Estado::Navegando;
    modificada_ = false;
    avisa();
}

void DatosEnMemoria::borraActual()
{
    if (actual_ < 0)
        return;
    if (estado_ == Estado::Anadiendo) {
        cancela();
        return;
    }
    filas_.erase(filas_.begin() + actual_);
    actual_ = std::min(actual_, filas() - 1);
    estado_ = Estado::Navegando;
    modificada_ = false;
    avisa();
}

void DatosEnMemoria::refresca()
{
    DejaFila();
    avisa();
}

}  // namespace controles
