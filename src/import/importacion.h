// The import direction without windows: calls, courses, the completeness check and the six
// table builders, run in the order of the import run. The desktop program's handlers and the
// command-line program call these same methods; each front end adds only its own display.
#pragma once

#include "import/estado.h"
#include "store/table.h"

#include <memory>
#include <string>
#include <vector>

namespace import {

// The course screen's warning when a course lacks its level or course code.
inline const std::string kNivelesIncompletos =
    "!!!!!!! ATENCI\xD3N !!!!!!!  Existe alg\xFAn NIVEL o CURSO, sin contenido. Debe completar "
    "todos los datos en la columna NIVEL y CURSO.";

// What a builder made aside (ConstruccionAparte): its tables, in the order it made them, and the
// input files whose presence it relied on, by their paths.
struct TablasAparte {
    std::vector<std::unique_ptr<store::NewTable>> tablas;
    std::vector<std::string> archivos;
};

class Importacion {
public:
    Importacion(EstadoConversion& estado, Mensajes& mensajes);

    // Calls: recreates CONVOCAZARE.DBF and fills it from "convocatoriasCentro.csv". Answers
    // false, after the message, when the file is missing.
    bool CargaConvocatorias();
    void CreaTablaConvocatorias();

    // The call whose rows the later steps take (the CONVOCATORIA of the row chosen in the grid).
    void SeleccionaConvocatoria(const std::string& codigo);
    const std::string& Convocatoria() const { return convocatoria_; }

    // Courses: recreates CURSOST.DBF with the courses of the selected call from "gruposCentro.csv".
    void CargaCursos();
    // The course screen's precondition: answers false, after the message, when CURSOST.DBF is missing.
    bool ExisteTablaCursos();
    // Sets NivelesIncompletos: 1 when a course in record order has an empty NIVEL or CURSO.
    void CompruebaNiveles();

    // The import run after a passed check: the six builders in order. An error from a builder
    // propagates and ends the run there; after a full run the front end shows kProcesoFinalizado.
    void EjecutaBuilders();

    void ImportaGrupos();
    void ImportaSubgrupos();
    void ImportaMaterias();
    void ImportaProfesores();
    void ImportaAulas();
    void ImportaAsignaciones();

private:
    // ImportaMaterias, ImportaProfesores and ImportaAulas. Given `aparte`, their tables are built
    // aside into it (ConstruccionAparte), to be put in place later.
    void ConstruyeMaterias(TablasAparte* aparte);
    void ConstruyeProfesores(TablasAparte* aparte);
    void ConstruyeAulas(TablasAparte* aparte);
    std::string RutaCSV(const std::string& nombre) const;
    bool FaltaArchivo(const std::string& nombre, const std::string& mensaje, bool marcaFallo);
    // The same for a builder that may build aside: there a missing file throws instead of its
    // message, and the builder runs again the usual way at its turn; a file there is noted, to be
    // there still at that turn.
    bool FaltaArchivo(const std::string& nombre, const std::string& mensaje, TablasAparte* aparte);
    // A builder's table made anew: in place (recreateTable, then opened shared into `aqui`, as
    // the import run always did) or, given `aparte`, aside (a NewTable added to it, opened
    // exclusive). Answers the table to fill.
    store::Table& TablaNueva(TablasAparte* aparte, std::unique_ptr<store::Table>& aqui, const std::string& carpeta,
                             const std::string& nombre, const std::vector<store::FieldDef>& campos,
                             const std::vector<store::IndexDef>& indices, const std::vector<std::string>& reemplaza);

    EstadoConversion& estado_;
    Mensajes& mensajes_;
    std::string convocatoria_;
};

}  // namespace import
