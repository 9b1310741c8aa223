// Subjects and activities: the catalogue ASIGNOMT.DBF (one row per long code, one per activity)
// and the offer table ASIGNOMT2.DBF (one row per subject line taken, one per activity), from the
// centre's and the general subject files and the activities file.
#include "csv/clipper.h"
#include "import/campo_al_usarlo.h"
#include "import/codigos.h"
#include "import/importacion.h"
#include "import/lectura.h"
#include "import/lista_codigos.h"
#include "store/table.h"
#include "store/text_map.h"
#include "store/text_set.h"

#include <exception>
#include <memory>
#include <vector>

namespace import {

namespace {

// The offer's rows are made in memory and appended in runs of about this many bytes, the size
// of the table's gathered writes.
constexpr std::size_t kBytesDeFilas = 512 * 1024;

// A subject line's columns, viewed in the record they were read into.
struct LineaMateria {
    std::string_view largo, nombre, materia, curso, tarea, abreviatura;
};

// Columns are read in the order 3, 4, 0, 1, 2, 5, so a short line fails on the first missing one.
LineaMateria LeeLineaMateria(const csv::RegistroCSV& campos)
{
    LineaMateria l;
    l.largo = campos.Campo(3);
    l.nombre = campos.Campo(4);
    l.materia = campos.Campo(0);
    l.curso = campos.Campo(1);
    l.tarea = campos.Campo(2);
    if (l.tarea == "0")
        l.tarea = {};
    l.abreviatura = campos.Campo(5);
    return l;
}

class Materias {
public:
    Materias(store::Table& catalogo, store::Table& oferta)
        : catalogo_(catalogo),
          oferta_(oferta),
          catCod_(catalogo.field("COD")),
          catLargo_(catalogo.field("CODLARGO")),
          catNombre_(catalogo.field("NOMBRE")),
          catTarea_(catalogo.field("CODTAREA")),
          catLargo2_(catalogo.field("CODLARGO2")),
          catEsTarea_(catalogo.field("ESTAREA")),
          ofCod_(oferta.field("COD")),
          ofLargo_(oferta.field("CODLARGO")),
          ofNombre_(oferta.field("NOMBRE")),
          ofMateria_(oferta.field("CODMATERIA")),
          ofCurso_(oferta.field("CODCURSO")),
          ofTarea_(oferta.field("CODTAREA")),
          ofAbreviatura_(oferta.field("ABREVZARE")),
          ofEsTarea_(oferta.field("ESTAREA"))
    {
        // Every offer row starts as a blank one that is not a task, made once in the table's
        // own record and dropped from there.
        oferta_.append();
        oferta_.setBool(ofEsTarea_, false);
        plantilla_.assign(oferta_.recordBytes());
        oferta_.cancel();
        filas_.reserve(kBytesDeFilas + plantilla_.size());
    }

    // A line that fails ends the builder with the offer rows before it in the table.
    ~Materias()
    {
        if (std::uncaught_exceptions() > excepcionesAlEmpezar_) {
            try {
                Vuelca();
            } catch (...) {
                // The line's own error is the one reported.
            }
        }
    }
    Materias(const Materias&) = delete;
    Materias& operator=(const Materias&) = delete;

    // The offer rows made so far, appended to the table: before anything else is appended to
    // it, before it is closed, and when a line fails (the rows before it were taken).
    void Vuelca() { oferta_.appendRecordsAndClear(filas_); }

    void Linea(const csv::RegistroCSV& campos)
    {
        const LineaMateria l = LeeLineaMateria(campos);
        if (largos_.contains(l.largo)) {
            if (const std::string* cod = codigoDeLargo_.find(l.largo))
                Oferta(*cod, l);
            return;
        }
        const std::string codigo = CodigoMateria(std::string(l.largo), std::string(l.nombre));
        const std::string candidato = CodigoMateriaLibre(codigo, codigos_);
        codigos_.Anade(candidato);
        largos_.add(l.largo);

        catalogo_.append();
        catalogo_.setText(catCod_, candidato);
        catalogo_.setText(catLargo_, l.largo);
        catalogo_.setText(catNombre_, l.nombre);
        catalogo_.setBool(catEsTarea_, false);
        catalogo_.setText(catTarea_, l.tarea);
        catalogo_.setText(catLargo2_, l.largo);
        catalogo_.post();
        bool primera = false;
        std::string& cod = codigoDeLargo_.add(catalogo_.textView(catLargo2_), &primera);
        if (primera)
            cod = catalogo_.textView(catCod_);
        Oferta(candidato, l);
    }

private:
    void Oferta(const std::string& cod, const LineaMateria& l)
    {
        const std::size_t en = filas_.size();
        filas_ += plantilla_;
        char* const fila = filas_.data() + en;
        oferta_.setTextIn(fila, ofCod_, cod);
        oferta_.setTextIn(fila, ofLargo_, l.largo);
        oferta_.setTextIn(fila, ofNombre_, l.nombre);
        oferta_.setTextIn(fila, ofMateria_, l.materia);
        oferta_.setTextIn(fila, ofCurso_, l.curso);
        oferta_.setTextIn(fila, ofTarea_, l.tarea);
        oferta_.setTextIn(fila, ofAbreviatura_, l.abreviatura);
        if (filas_.size() >= kBytesDeFilas)
            Vuelca();
    }

    store::Table& catalogo_;
    store::Table& oferta_;
    const store::FieldRef catCod_, catLargo_, catNombre_, catTarea_, catLargo2_, catEsTarea_;
    const store::FieldRef ofCod_, ofLargo_, ofNombre_, ofMateria_, ofCurso_, ofTarea_, ofAbreviatura_, ofEsTarea_;
    ListaCodigos codigos_;
    store::TextSet largos_;  // long codes with a catalogue row; letter case counts
    // While lines are read every catalogue row is noted here, so the first row of a long code,
    // as a locate on CODLARGO2 finds it, is known without one: by each row's CODLARGO2 as the
    // table reads it back, the COD of the first row that has it.
    store::TextMap<std::string> codigoDeLargo_;
    std::string plantilla_;  // an offer row before its texts are set
    std::string filas_;      // offer rows made and not appended yet
    const int excepcionesAlEmpezar_ = std::uncaught_exceptions();
};

const std::vector<store::FieldDef>& CamposCatalogo()
{
    static const std::vector<store::FieldDef> campos = {{"COD", 'C', 10},      {"CODLARGO", 'C', 10},
                                                        {"NOMBRE", 'C', 80},   {"ESTAREA", 'L', 1},
                                                        {"CODTAREA", 'C', 10}, {"CODLARGO2", 'C', 50}};
    return campos;
}

const std::vector<store::FieldDef>& CamposOferta()
{
    static const std::vector<store::FieldDef> campos = {
        {"COD", 'C', 10},        {"CODLARGO", 'C', 10}, {"NOMBRE", 'C', 80},   {"CODMATERIA", 'C', 20},
        {"CODCURSO", 'C', 20},   {"ESTAREA", 'L', 1},   {"CODTAREA", 'C', 10}, {"ABREVZARE", 'C', 100}};
    return campos;
}

}  // namespace

void Importacion::ImportaMaterias()
{
    ConstruyeMaterias(nullptr);
}

void Importacion::ConstruyeMaterias(TablasAparte* aparte)
{
    if (FaltaArchivo("materiasHorarioOfertaCentro.csv",
                     "No existe archivo de Materias Centro (materiasHorarioOfertaCentro.CSV)", aparte))
        return;

    csv::LectorCSV centro;
    centro.Abrir(RutaCSV("materiasHorarioOfertaCentro.csv"));
    std::unique_ptr<store::Table> catalogoAqui, ofertaAqui;
    store::Table& catalogo = TablaNueva(aparte, catalogoAqui, kTrabajo, "ASIGNOMT.DBF", CamposCatalogo(), {},
                                        {"ASIGNOMT.DBF", "ASIGNOMT.MDX"});
    store::Table& oferta = TablaNueva(aparte, ofertaAqui, kTrabajoC, "ASIGNOMT2.DBF", CamposOferta(), {},
                                      {"ASIGNOMT2.DBF", "ASIGNOMT2.MDX"});
    Materias materias(catalogo, oferta);
    // Closed here, not by their destructors, so that a failure to write them is reported.
    const auto cierra = [&] {
        materias.Vuelca();
        oferta.close();
        catalogo.close();
    };

    if (!centro.Fin())
        centro.SaltaLinea();
    while (!centro.Fin())
        materias.Linea(centro.Siguiente());
    centro.Cerrar();

    if (FaltaArchivo("materiasHorarioOfertaXeral.csv",
                     "No existe archivo de Materias Generales (materiasHorarioOfertaXeral.CSV)", aparte)) {
        cierra();
        return;
    }
    store::Table cursos(kTrabajo, "CURSOST");
    cursos.open(store::Access::Shared);
    CampoAlUsarlo codCurso(cursos, "CODCURSO");
    LeeCSV(RutaCSV("materiasHorarioOfertaXeral.csv"), true, [&](const csv::RegistroCSV& campos) {
        if (!cursos.locate(codCurso(), campos.Campo(1)) && campos.Campo(2) == "0")
            return true;
        materias.Linea(campos);
        return true;
    });

    if (FaltaArchivo("actividadesProfesor.csv", "No existe archivo de Actividades (actividadesProfesor.CSV)",
                     aparte)) {
        cierra();
        return;
    }
    materias.Vuelca();  // the activities' rows come after the subjects'
    bool cabeceraTomada = false;
    const store::FieldRef codCatalogo = catalogo.field("COD");
    LeeCSV(RutaCSV("actividadesProfesor.csv"), false, [&](const csv::RegistroCSV& campos) {
        const std::string& codigo = campos.Campo(0);
        const std::string& largo = campos.Campo(1);
        const std::string& nombre = campos.Campo(2);
        if (catalogo.locate(codCatalogo, Corta(codigo)))
            return true;
        // The first line whose code is free stands for the header.
        if (!cabeceraTomada) {
            cabeceraTomada = true;
            return true;
        }
        catalogo.append();
        catalogo.setText("COD", codigo);
        catalogo.setText("CODLARGO", largo);
        catalogo.setText("NOMBRE", nombre);
        catalogo.setBool("ESTAREA", true);
        catalogo.setText("CODTAREA", codigo);
        catalogo.setText("CODLARGO2", largo);
        catalogo.post();

        oferta.append();
        oferta.setText("COD", codigo);
        oferta.setText("CODLARGO", largo);
        oferta.setText("NOMBRE", nombre);
        oferta.setBool("ESTAREA", true);
        oferta.setText("CODTAREA", codigo);
        oferta.post();
        return true;
    });
    cierra();
}

}  // namespace import
