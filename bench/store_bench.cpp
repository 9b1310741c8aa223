// The table engine's speed on the import's workloads: appending many records, and many locates
// on a large table, also while it grows.
#include "store/errors.h"
#include "store/paths.h"
#include "store/table.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace store;

namespace {

constexpr int kRecords = 100000;

const std::vector<FieldDef> kFields = {
    {"ABREV", 'C', 10, 0}, {"NOMBRE", 'C', 40, 0}, {"CODCURSO", 'C', 10, 0}, {"HORAS", 'N', 6, 2},
    {"NLIN", 'I', 0, 0},   {"ESTAREA", 'L', 0, 0}};

std::string code(int i)
{
    std::string s = "C";
    s += std::to_string(i);
    return s;
}

// A scratch work folder for one benchmark, removed at its end.
struct Scratch {
    fs::path root = fs::temp_directory_path() / ("store_bench." + std::to_string(::getpid()));
    Scratch()
    {
        fs::remove_all(root);
        fs::create_directories(root / "ZTEMP");
        setDriveC(root.string());
    }
    ~Scratch() { fs::remove_all(root); }
};

void appendRecords(Table& t, int count)
{
    for (int i = 0; i < count; ++i) {
        t.append();
        t.setText("ABREV", code(i));
        std::string name = "Profesor n\xFAmero ";
        name += std::to_string(i);
        t.setText("NOMBRE", name);
        t.setText("CODCURSO", code(i % 97));
        t.setFloat("HORAS", (i % 30) * 0.5);
        t.setInteger("NLIN", i);
        t.setBool("ESTAREA", i % 2 == 0);
        t.post();
    }
}

void appendWith(benchmark::State& state, const std::vector<IndexDef>& indexes)
{
    Scratch scratch;
    for (auto _ : state) {
        try {
            recreateTable("\\ZTEMP", "PROFT.DBF", kFields, indexes, {"PROFT.DBF", "PROFT.MDX"});
        } catch (const EngineError& e) {
            state.SkipWithError(e.what());
            return;
        }
        Table t("\\ZTEMP", "PROFT");
        t.open(Access::Exclusive);
        appendRecords(t, kRecords);
        t.close();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Append100kWithOneTag(benchmark::State& state)
{
    appendWith(state, {{"ABREV", "ABREV"}});
}

void BM_Append100kWithoutIndex(benchmark::State& state)
{
    appendWith(state, {});
}

// 100,000 locates of existing and missing codes on a 100,000-record table, the first one
// building the in-memory index.
void BM_Locate100kOn100kRecords(benchmark::State& state)
{
    Scratch scratch;
    recreateTable("\\ZTEMP", "PROFT.DBF", kFields, {}, {});
    {
        Table t("\\ZTEMP", "PROFT");
        t.open(Access::Exclusive);
        appendRecords(t, kRecords);
    }
    int found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Table t("\\ZTEMP", "PROFT");
        t.open(Access::Exclusive);
        state.ResumeTiming();
        for (int i = 0; i < kRecords; ++i)
            found += t.locate("ABREV", {code((i * 7919) % (kRecords + 1000))});
        state.PauseTiming();
        t.close();
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

// The builders' pattern on a growing table: locate a two-field key, append when missing.
void BM_LocateAppendLocateGrowing(benchmark::State& state)
{
    Scratch scratch;
    for (auto _ : state) {
        recreateTable("\\ZTEMP", "ASIGT.DBF", kFields, {}, {"ASIGT.DBF"});
        Table t("\\ZTEMP", "ASIGT");
        t.open(Access::Exclusive);
        for (int i = 0; i < kRecords; ++i) {
            const std::string a = code(i % 50000), c = code(i % 7);
            if (!t.locate("ABREV;CODCURSO", {a, c})) {
                t.append();
                t.setText("ABREV", a);
                t.setText("CODCURSO", c);
                t.post();
            }
        }
        t.close();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

}  // namespace

BENCHMARK(BM_Append100kWithOneTag)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Append100kWithoutIndex)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Locate100kOn100kRecords)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LocateAppendLocateGrowing)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
