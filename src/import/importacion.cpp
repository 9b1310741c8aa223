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

namespace {

// A file missing while a builder's tables are built aside: they are built again the usual way.
struct FaltaAparte {};

}  // namespace

bool Importacion::FaltaArchivo(const std::string& nombre, const std::string& mensaje, TablasAparte* aparte)
{
    if (!aparte)
        return FaltaArchivo(nombre, mensaje, true);
    std::string ruta = RutaCSV(nombre);
    if (!files::fileExists(ruta))
        throw FaltaAparte{};
    aparte->archivos.push_back(std::move(ruta));
    return false;
}

store::Table& Importacion::TablaNueva(TablasAparte* aparte, std::unique_ptr<store::Table>& aqui,
                                      const std::string& carpeta, const std::string& nombre,
                                      const std::vector<store::FieldDef>& campos,
                                      const std::vector<store::IndexDef>& indices,
                                      const std::vector<std::string>& reemplaza)
{
    if (aparte) {
        aparte->tablas.push_back(std::make_unique<store::NewTable>(carpeta, nombre, campos, indices, reemplaza));
        return aparte->tablas.back()->table();
    }
    store::recreateTable(carpeta, nombre, campos, indices, reemplaza);
    aqui = std::make_unique<store::Table>(carpeta, nombre);
    aqui->open(store::Access::Shared);
    return *aqui;
}

void Importacion::EjecutaBuilders()
{
    // The subjects' tables are built aside while the groups and subgroups are, the teachers' and
    // classrooms' while the subjects' are finished, and each put in place at its turn; an error
    // before that turn ends the run with them never put there. (The assignments built so measured
    // slower: their old table, the largest, would be deleted at the end of the run, not while it
    // goes on.)
    ConstruccionAparte materias([this](TablasAparte& t) { ConstruyeMaterias(&t); });
    ImportaGrupos();
    ImportaSubgrupos();
    ConstruccionAparte profesoresYAulas([this](TablasAparte& t) {
        ConstruyeProfesores(&t);
        ConstruyeAulas(&t);
    });
    if (!materias.PonEnSuSitio())
        ImportaMaterias();
    if (!profesoresYAulas.PonEnSuSitio()) {
        ImportaProfesores();
        ImportaAulas();
    }
    ImportaAsignaciones();
}

}  // namespace import
