#include "import/importacion.h"

#include "files/folders.h"
#include "import/construccion_aparte.h"
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
    // The subjects' tables are built aside while the groups and subgroups are, and put in place
    // at their turn; an error of those two ends the run with them never put there. (The
    // assignments built so beside the teachers and classrooms measured slower: their old table,
    // the largest, would then be deleted at the end of the run, not while it goes on.)
    ConstruccionAparte materias([this](TablasAparte& t) { ConstruyeMaterias(&t); }, HayArchivosDeMaterias());
    ImportaGrupos();
    ImportaSubgrupos();
    if (!materias.PonEnSuSitio(HayArchivosDeMaterias()))
        ImportaMaterias();
    ImportaProfesores();
    ImportaAulas();
    ImportaAsignaciones();
}

}  // namespace import
