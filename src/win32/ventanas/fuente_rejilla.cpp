#include "win32/ventanas/fuente_rejilla.h"

#include "app/core/cp1252.h"
#include "files/win32.h"

#include <windows.h>

namespace ventanas {

std::string AnsiAUtf8(const std::string& ansi)
{
    return app::Cp1252AUtf8(ansi);
}

std::string Utf8AAnsi(const std::string& utf8)
{
    const std::wstring ancho = files::win32::widen(utf8);
    if (ancho.empty())
        return {};
    const int n = WideCharToMultiByte(1252, 0, ancho.data(), static_cast<int>(ancho.size()), nullptr, 0, nullptr, nullptr);
    std::string r(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(1252, 0, ancho.data(), static_cast<int>(ancho.size()), r.data(), n, nullptr, nullptr);
    return r;
}

FuenteRejilla::FuenteRejilla(desktop::FuenteDatos& fuente) : fuente_(fuente)
{
    fuente_.PonObservador(this);
}

FuenteRejilla::~FuenteRejilla()
{
    fuente_.PonObservador(nullptr);
}

controles::ColumnaDatos FuenteRejilla::columna(int c) const
{
    const desktop::ColumnaRejilla& d = fuente_.Columnas().at(static_cast<std::size_t>(c));
    controles::ColumnaDatos r;
    r.campo = d.campo;
    r.titulo = AnsiAUtf8(d.titulo);
    r.anchoCaracteres = d.anchoCaracteres;
    r.editable = d.editable;
    // Without a table the field's size is unknown: the column's width stands for it.
    r.longitudMaxima = fuente_.Activa() ? fuente_.LongitudMaxima(c) : d.anchoCaracteres;
    r.numerica = fuente_.Activa() && fuente_.ColumnaNumerica(c);
    r.entera = fuente_.Activa() && fuente_.ColumnaEntera(c);
    return r;
}

std::string FuenteRejilla::texto(int fila, int columna) const
{
    return AnsiAUtf8(fuente_.Valor(fila, columna));
}

void FuenteRejilla::ponTexto(int fila, int columna, const std::string& texto)
{
    fuente_.Escribe(fila, columna, Utf8AAnsi(texto));
}

controles::DatosRejilla::Estado FuenteRejilla::estado() const
{
    switch (fuente_.EstadoActual()) {
    case desktop::FuenteDatos::Estado::Inactivo: return Estado::Inactivo;
    case desktop::FuenteDatos::Estado::Navegando: return Estado::Navegando;
    case desktop::FuenteDatos::Estado::Editando: return Estado::Editando;
    case desktop::FuenteDatos::Estado::Anadiendo: return Estado::Anadiendo;
    }
    return Estado::Inactivo;
}

}  // namespace ventanas
