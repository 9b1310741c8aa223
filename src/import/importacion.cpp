#include "import/importacion.h"

#include "files/folders.h"
#include "store/paths.h"

namespace import {

Importacion::Importacion(EstadoConversion& estado, Mensajes& mensajes)
    : estado_(estado), mensajes_(mensajes)
{
}

void Importacion::SeleccionaConvocatoria(const std::string& codigo)
{
    convocatoria_ = codigo;
}

std::string Importacion::RutaCSV(const std::string& nombre) const
{
    return estado_.CarpetaCSV + nombre;
}

// A missing input file gets the builder's message; most builders then mark the run as failed.
bool Importacion::FaltaArchivo(const std::string& nombre, const std::string& mensaje, bool marcaFallo)
{
    if (files::fileExists(RutaCSV(nombre)))
        return false;
    mensajes_.Muestra(mensaje);
    if (marcaFallo)
        estado_.EstadoTransformacion = -1;
    return true;
}

void Importacion::EjecutaBuilders()
{
    ImportaGrupos();
    ImportaSubgrupos();
    ImportaMaterias();
    ImportaProfesores();
    ImportaAulas();
    ImportaAsignaciones();
}

}  // namespace import
