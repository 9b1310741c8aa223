// demo_horario: makes up the timetable solution that the timetabling product would compute,
// for the demo and the screenshots: SOLUC.DBF and DIASHORAST.DBF in \ZTEMP, from the teaching
// assignments that the import wrote (ASIGT.DBF). Every assignment gets a teacher of PROFT.DBF
// when it has none, and its weekly hours spread over Monday to Friday, six hours a day, with no
// group or teacher in two places at once.
//
//   TRANSORBELIN_UNIDAD_C=DIR demo_horario
#include "store/errors.h"
#include "store/table.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int kDias = 5;
constexpr int kHoras = 6;

void CreaTablas()
{
    store::recreateTable("\\ZTEMP", "SOLUC.DBF",
                         {{"ASIG", 'C', 10}, {"PROF", 'C', 10}, {"CODGRUPO", 'C', 10}, {"AULA", 'C', 10},
                          {"DIA", 'N', 2}, {"HORA", 'N', 5, 1}, {"SESIONES", 'N', 5, 1}, {"TURNO", 'C', 1},
                          {"NIVEL", 'C', 5}, {"CURSO", 'C', 3}, {"GRUPO", 'C', 2}},
                         {}, {"SOLUC.DBF"});
    store::recreateTable("\\ZTEMP", "DIASHORAST.DBF", {{"DIA", 'N', 2}, {"HORA", 'N', 3}, {"HORADESDE", 'C', 5}},
                         {}, {"DIASHORAST.DBF"});
    // Two slots per teaching hour, from 08:00 in half hours.
    store::Table dh("\\ZTEMP", "DIASHORAST.DBF");
    dh.open(store::Access::Exclusive);
    for (int dia = 1; dia <= kDias; ++dia) {
        for (int slot = 1; slot <= 2 * kHoras; ++slot) {
            const int minutos = 8 * 60 + (slot - 1) * 30;
            char hora[6];
            std::snprintf(hora, sizeof hora, "%02d:%02d", minutos / 60, minutos % 60);
            dh.append();
            dh.setInteger("DIA", dia);
            dh.setInteger("HORA", slot);
            dh.setText("HORADESDE", hora);
            dh.post();
        }
    }
}

}  // namespace

int main()
{
    try {
        CreaTablas();
        std::vector<std::string> profesores;
        {
            store::Table proft("\\ZTEMP", "PROFT.DBF");
            proft.open(store::Access::Shared);
            for (proft.first(); !proft.eof(); proft.next())
                profesores.push_back(proft.asText("ABREV"));
        }
        if (profesores.empty())
            throw store::EngineError("PROFT.DBF has no teachers");
        store::Table asignaciones("\\ZTEMP", "ASIGT.DBF");
        store::Table solucion("\\ZTEMP", "SOLUC.DBF");
        asignaciones.open(store::Access::Shared);
        solucion.open(store::Access::Exclusive);
        std::set<std::tuple<std::string, int, int>> ocupado;  // group or teacher, day, hour
        int entradas = 0;
        int turno = 0;
        for (asignaciones.first(); !asignaciones.eof(); asignaciones.next()) {
            const std::string asig = asignaciones.asText("CASIG");
            std::string prof = asignaciones.asText("CPROF");
            if (prof.empty())
                prof = profesores[static_cast<std::size_t>(turno) % profesores.size()];
            const std::string grupo = asignaciones.asText("CGRUP");
            if (asig.empty() || prof.empty() || grupo.empty())
                continue;
            const int horas = std::min(kDias, static_cast<int>(std::lround(asignaciones.asFloat("HORAS"))));
            for (int h = 0; h < horas; ++h) {
                // A different day for each hour of the subject, the first free hour in it.
                for (int intento = 0; intento < kDias; ++intento) {
                    const int dia = (turno + h + intento) % kDias + 1;
                    int hora = 1;
                    while (hora <= kHoras && (ocupado.count({"G" + grupo, dia, hora}) || ocupado.count({"P" + prof, dia, hora})))
                        ++hora;
                    if (hora > kHoras)
                        continue;
                    ocupado.insert({"G" + grupo, dia, hora});
                    ocupado.insert({"P" + prof, dia, hora});
                    solucion.append();
                    solucion.setText("ASIG", asig);
                    solucion.setText("PROF", prof);
                    solucion.setText("CODGRUPO", grupo);
                    solucion.setText("AULA", asignaciones.asText("CAULA"));
                    solucion.setInteger("DIA", dia);
                    solucion.setFloat("HORA", hora);
                    solucion.setFloat("SESIONES", 1);
                    solucion.setText("TURNO", asignaciones.asText("TURNO"));
                    solucion.setText("NIVEL", asignaciones.asText("NIVEL"));
                    solucion.setText("CURSO", asignaciones.asText("CURSO"));
                    solucion.setText("GRUPO", asignaciones.asText("GRUPO"));
                    solucion.post();
                    ++entradas;
                    break;
                }
            }
            ++turno;
        }
        std::printf("demo_horario: %d timetable entries in SOLUC.DBF\n", entradas);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_horario: %s\n", e.what());
        return 2;
    }
}
