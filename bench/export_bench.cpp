// The timetable export on made-up centres of growing size: every entry found through the
// import's tables, a few fractional ones, and HORARIO.CSV written a line at a time.
#include "export/orden_exportar.h"
#include "store/paths.h"
#include "store/table.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// A code: the prefix followed by the number.
std::string Codigo(const char* prefijo, int numero)
{
    std::string codigo = prefijo;
    codigo += std::to_string(numero);
    return codigo;
}

class Silencio : public import::Mensajes {
public:
    void Muestra(const std::string&) override {}
};

// A drive C with ZTEMP holding `grupos` groups, their teachers and subjects, and a SOLUC of
// 25 entries per group over five mornings (every tenth entry a 90-minute block).
class Centro {
public:
    explicit Centro(int grupos)
    {
        raiz_ = fs::temp_directory_path() / Codigo("export_bench.", static_cast<int>(::getpid()));
        fs::remove_all(raiz_);
        fs::create_directories(raiz_ / "ZTEMP");
        fs::create_directories(raiz_ / "zare");
        store::setDriveC(raiz_.string());
        const std::string w = "\\ZTEMP";
        store::recreateTable(w, "GRUPOST.DBF",
                             {{"ABREV", 'C', 10}, {"CODCURSOZARE", 'C', 15},
                              {"NOMEABREVGRUPZARE", 'C', 100}, {"NOMEABREVSUBGRUZARE", 'C', 100}},
                             {}, {});
        store::recreateTable(w, "PROFT.DBF", {{"ABREV", 'C', 10}, {"NOMBRE", 'C', 80}},
                             {{"ABREV", "ABREV"}}, {});
        store::recreateTable(w, "AULAT.DBF", {{"ABREV", 'C', 10}}, {}, {});
        store::recreateTable(w, "ASIGNOMT2.DBF",
                             {{"COD", 'C', 10}, {"CODCURSO", 'C', 20}, {"ABREVZARE", 'C', 100}},
                             {}, {});
        store::recreateTable(w, "DIASHORAST.DBF",
                             {{"DIA", 'I', 4}, {"HORA", 'I', 4}, {"HORADESDE", 'C', 5}}, {}, {});
        store::recreateTable(w, "SOLUC.DBF",
                             {{"ASIG", 'C', 10}, {"PROF", 'C', 10}, {"CODGRUPO", 'C', 10},
                              {"AULA", 'C', 10}, {"DIA", 'N', 1, 0}, {"HORA", 'N', 4, 1},
                              {"SESIONES", 'N', 4, 1}},
                             {}, {});
        store::Table g(w, "GRUPOST"), p(w, "PROFT"), a(w, "ASIGNOMT2"), d(w, "DIASHORAST"),
            s(w, "SOLUC");
        for (store::Table* t : {&g, &p, &a, &d, &s})
            t->open(store::Access::Exclusive);
        for (int dia = 1; dia <= 5; ++dia)
            for (int franja = 1; franja <= 32; ++franja) {
                d.append();
                d.setInteger("DIA", dia);
                d.setInteger("HORA", franja);
                std::string desde = std::to_string(7 + (franja + 1) / 2);
                desde += franja % 2 ? ":00" : ":30";
                d.setText("HORADESDE", desde);
                d.post();
            }
        for (int i = 0; i < grupos; ++i) {
            const std::string grupo = Codigo("G", i), curso = Codigo("C", i / 3);
            g.append();
            g.setText("ABREV", grupo);
            g.setText("CODCURSOZARE", curso);
            g.setText("NOMEABREVGRUPZARE", Codigo("Grupo ", i));
            g.post();
            p.append();
            p.setText("ABREV", Codigo("P", i));
            p.setText("NOMBRE", Codigo("Docente n\xFAmero ", i));
            p.post();
            for (int m = 0; m < 8 && i % 3 == 0; ++m) {
                a.append();
                a.setText("COD", Codigo("M", m));
                a.setText("CODCURSO", curso);
                a.setText("ABREVZARE", Codigo("MAT", m));
                a.post();
            }
            for (int e = 0; e < 25; ++e) {
                s.append();
                s.setText("ASIG", Codigo("M", e % 8));
                s.setText("PROF", Codigo("P", (i + e) % grupos));
                s.setText("CODGRUPO", grupo);
                s.setText("AULA", Codigo("A", i));
                s.setInteger("DIA", e % 5 + 1);
                s.setFloat("HORA", e / 5 + 1);
                s.setFloat("SESIONES", e % 10 == 9 ? 1.5 : 1);
                s.post();
            }
        }
    }
    ~Centro()
    {
        store::setDriveC("");
        fs::remove_all(raiz_);
    }
    std::string Carpeta() const { return (raiz_ / "zare").string(); }

private:
    fs::path raiz_;
};

void BM_ExportaHorario(benchmark::State& state)
{
    const Centro centro(static_cast<int>(state.range(0)));
    Silencio mensajes;
    for (auto _ : state) {
        import::EstadoConversion estado;
        if (!exportacion::ExportaCarpeta(centro.Carpeta(), estado, mensajes))
            state.SkipWithError("no folder");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 25);
    state.SetLabel("SOLUC entries");
}
BENCHMARK(BM_ExportaHorario)->Arg(40)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
