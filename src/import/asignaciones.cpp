// The teaching assignments: ASIGT.DBF pairs every group with every subject offered in its course.
#include "csv/clipper.h"
#include "import/importacion.h"
#include "store/table.h"
#include "store/text_set.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace import {

namespace {

// Rows made in memory are appended in runs of about this many bytes: the size of the table's
// gathered writes, so that most rows are written from here without joining its pending run.
constexpr std::size_t kBytesDeCopias = 512 * 1024;
// A subject whose fields' bytes are not made yet.
constexpr std::uint32_t kSinHacer = UINT32_MAX;

}  // namespace

void Importacion::ImportaAsignaciones()
{
    store::recreateTable(kTrabajo, "ASIGT.DBF",
                         {{"CASIG", 'C', 10},
                          {"CPROF", 'C', 10},
                          {"CGRUP", 'C', 10},
                          {"CAULA", 'C', 10},
                          {"TURNO", 'C', 1},
                          {"NIVEL", 'C', 5},
                          {"CURSO", 'C', 3},
                          {"GRUPO", 'C', 2},
                          {"HORAS", 'O', 8},
                          {"SESIONES", 'C', 20},
                          {"NCONEX", 'C', 4},
                          {"CLAVE", 'C', 10},
                          {"CLAVECURSO", 'C', 10},
                          {"CTAREA", 'C', 10}},
                         {}, {"ASIGT.DBF", "ASIGT.MDX"});
    store::Table asignaciones(kTrabajo, "ASIGT.DBF");
    asignaciones.open(store::Access::Shared);
    store::Table catalogo(kTrabajo, "ASIGNOMT");
    store::Table grupos(kTrabajo, "GRUPOST");
    store::Table oferta(kTrabajo, "ASIGNOMT2");
    catalogo.open(store::Access::Exclusive);
    grupos.open(store::Access::Exclusive);
    oferta.open(store::Access::Exclusive);

    // The offer rows grouped by course, each group in record order: the same pairs as a scan of
    // the whole offer table per group, without the scan. Whether a subject's task code names a
    // task of the catalogue (which nothing changes meanwhile) is looked up at its first row, and
    // once per task code: most rows share a few codes, the empty one above all.
    struct Materia {
        std::string cod, tarea;
        std::uint32_t numero;            // its subject code's number (`numeroDe`)
        int esTarea = -1;                // -1: not looked up yet
        std::uint32_t enRegistro = kSinHacer;  // where its CASIG and CTAREA bytes start in `campos`
    };
    std::unordered_map<std::string, bool> tareas;  // by task code, whether the catalogue has it
    struct Curso {
        std::vector<Materia> filas;
        std::vector<Materia*> distintas;  // the first row of each subject code, in order
    };
    std::unordered_map<std::string, Curso> porCurso;
    store::TextSet codigos;  // each subject code a number, from 0
    const store::FieldRef codCurso = oferta.field("CODCURSO"), codOferta = oferta.field("COD"),
                          codTarea = oferta.field("CODTAREA");
    Curso* curso = nullptr;
    std::string cursoActual;
    for (oferta.first(); !oferta.eof(); oferta.next()) {
        const std::string_view codigoCurso = oferta.textView(codCurso);
        if (!curso || codigoCurso != cursoActual) {  // a course's rows mostly come one after another
            cursoActual.assign(codigoCurso);
            curso = &porCurso[cursoActual];
        }
        const std::string_view cod = oferta.textView(codOferta);
        const std::uint32_t numero = codigos.add(cod);
        curso->filas.push_back({std::string(cod), std::string(oferta.textView(codTarea)), numero});
    }
    // A course's first row of each code: the course that saw a code last is kept by its number.
    std::vector<const Curso*> vistoPor(codigos.size(), nullptr);
    for (auto& [_, delCurso] : porCurso)
        for (Materia& materia : delCurso.filas)
            if (std::exchange(vistoPor[materia.numero], &delCurso) != &delCurso)
                delCurso.distintas.push_back(&materia);

    // The pairs already in ASIGT, which holds only what this loop appended: a group code met for
    // the first time has none, so its pairs are its course's distinct subjects; the codes it got
    // are kept as a set only when the same group code comes again.
    std::unordered_map<std::string, const Curso*> primerCurso;                    // by CGRUP
    std::unordered_map<std::string, std::unordered_set<std::string>> asignadas;  // CASIG by CGRUP
    const store::FieldRef casig = asignaciones.field("CASIG"), cgrup = asignaciones.field("CGRUP"),
                          caula = asignaciones.field("CAULA"), turnoAsig = asignaciones.field("TURNO"),
                          nivelAsig = asignaciones.field("NIVEL"), cursoAsig = asignaciones.field("CURSO"),
                          grupoAsig = asignaciones.field("GRUPO"), horas = asignaciones.field("HORAS"),
                          sesiones = asignaciones.field("SESIONES"), claveAsig = asignaciones.field("CLAVE"),
                          claveCurso = asignaciones.field("CLAVECURSO"), ctarea = asignaciones.field("CTAREA");
    const store::FieldRef subgrupoDe = grupos.field("CODSUBGRUZARE"), cursoDe = grupos.field("CODCURSOZARE"),
                          abrevDe = grupos.field("ABREV"), turnoDe = grupos.field("TURNO"),
                          nivelDe = grupos.field("NIVEL"), cursoNumDe = grupos.field("CURSO"),
                          grupoDe = grupos.field("GRUPO"), claveDe = grupos.field("CODGRUZARE");
    // A group's first row is made field by field; its other rows are copies of it that change
    // only the subject and its task. All are made in memory and appended together, in runs.
    std::string copias, primera;
    // Each subject's CASIG and CTAREA bytes, made at its first copied row, one after another.
    std::string campos;
    // Room for a run and the row that completes it, so that the run is never moved as it grows.
    copias.reserve(kBytesDeCopias + asignaciones.fieldOffset(ctarea) + asignaciones.fieldDef(ctarea).size);
    const std::size_t enCasig = asignaciones.fieldOffset(casig), anchoCasig = asignaciones.fieldDef(casig).size,
                      enCtarea = asignaciones.fieldOffset(ctarea), anchoCtarea = asignaciones.fieldDef(ctarea).size;
    const auto anadeCopias = [&] { asignaciones.appendRecordsAndClear(copias); };
    std::string cursoGrupo;
    try {
        for (grupos.first(); !grupos.eof(); grupos.next()) {
            if (!csv::QuitaBlancos(grupos.textView(subgrupoDe)).empty())
                continue;
            cursoGrupo.assign(grupos.textView(cursoDe));
            const auto materias = porCurso.find(cursoGrupo);
            if (materias == porCurso.end())
                continue;
            const std::string abrev(grupos.textView(abrevDe));
            const Curso& delGrupo = materias->second;
            std::unordered_set<std::string>* yaAsignadas = nullptr;
            if (const auto antes = primerCurso.emplace(abrev, &delGrupo); !antes.second) {
                auto [conjunto, nuevo] = asignadas.try_emplace(abrev);
                if (nuevo)
                    for (const Materia* m : antes.first->second->distintas)
                        conjunto->second.insert(m->cod);
                yaAsignadas = &conjunto->second;
            }
            bool primeraFila = true;
            for (Materia* fila : delGrupo.distintas) {
                Materia& materia = *fila;
                const std::string& cod = materia.cod;
                if (yaAsignadas && !yaAsignadas->insert(cod).second)
                    continue;
                if (materia.esTarea < 0) {
                    // Its task code is looked up in the catalogue once for every subject that has it.
                    auto [tarea, nueva] = tareas.try_emplace(materia.tarea, false);
                    if (nueva) {
                        catalogo.first();
                        tarea->second = catalogo.locate("COD;ESTAREA", {materia.tarea, true});
                    }
                    materia.esTarea = tarea->second ? 1 : 0;
                }
                if (primeraFila) {
                    // The group's first row is made field by field in the table's own record,
                    // taken from there and dropped: it is appended with the copies.
                    asignaciones.append();
                    asignaciones.setText(cgrup, abrev);
                    asignaciones.setText(caula, "");
                    asignaciones.setText(turnoAsig, grupos.textView(turnoDe));
                    asignaciones.setText(nivelAsig, grupos.textView(nivelDe));
                    asignaciones.setText(cursoAsig, grupos.textView(cursoNumDe));
                    asignaciones.setText(grupoAsig, grupos.textView(grupoDe));
                    asignaciones.setFloat(horas, 4);
                    asignaciones.setText(sesiones, "1111");
                    asignaciones.setText(claveAsig, grupos.textView(claveDe));
                    asignaciones.setText(claveCurso, cursoGrupo);
                    asignaciones.setText(casig, cod);
                    asignaciones.setText(ctarea, materia.esTarea ? materia.tarea : "");
                    primera.assign(asignaciones.recordBytes());
                    asignaciones.cancel();
                    copias += primera;
                    primeraFila = false;
                } else {
                    const std::size_t en = copias.size();
                    copias += primera;
                    char* const fila = copias.data() + en;
                    if (materia.enRegistro == kSinHacer) {
                        asignaciones.setTextIn(fila, casig, cod);
                        asignaciones.setTextIn(fila, ctarea, materia.esTarea ? materia.tarea : "");
                        materia.enRegistro = static_cast<std::uint32_t>(campos.size());
                        campos.append(fila + enCasig, anchoCasig).append(fila + enCtarea, anchoCtarea);
                    } else {
                        const char* const suyos = campos.data() + materia.enRegistro;
                        std::memcpy(fila + enCasig, suyos, anchoCasig);
                        std::memcpy(fila + enCtarea, suyos + anchoCasig, anchoCtarea);
                    }
                }
                if (copias.size() >= kBytesDeCopias)
                    anadeCopias();
            }
        }
        anadeCopias();
    } catch (...) {
        // The rows made before the error reach the table, as they did one by one.
        anadeCopias();
        throw;
    }
    asignaciones.close();
    grupos.close();
    oferta.close();
    catalogo.close();
}

}  // namespace import
