// The production index under an import: 100,000 records appended to a table with one
// character tag of length 10, the index flushed after each post as the table does.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/mdx.h"

namespace {

constexpr std::uint32_t kRecords = 100000;

std::string scratchPath()
{
    const auto dir = std::filesystem::temp_directory_path() / ("mdx_bench." + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / "ASIGT.MDX").string();
}

std::vector<std::string> codes(bool ascending)
{
    std::mt19937 random(42);
    std::vector<std::string> keys;
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "C%08u", ascending ? i : static_cast<unsigned>(random() % 100000000));
        keys.push_back(code);
    }
    return keys;
}

void appendWithFlush(benchmark::State& state, bool ascending)
{
    const std::string path = scratchPath();
    const std::vector<std::string> keys = codes(ascending);
    for (auto _ : state) {
        auto index = store::MdxIndex::create(path, {{"ABREV", "ABREV", 'C', 10}});
        for (std::uint32_t rec = 1; rec <= kRecords; ++rec) {
            index->insert(0, store::MdxKey{keys[rec - 1], 0}, rec);
            index->flush();
        }
        benchmark::DoNotOptimize(index->find(0, store::MdxKey{keys[kRecords / 2], 0}));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

void BM_Mdx100kInsertsRandomKeys(benchmark::State& state) { appendWithFlush(state, false); }
void BM_Mdx100kInsertsAscendingKeys(benchmark::State& state) { appendWithFlush(state, true); }

// Opening a 100,000-key index: read and checked whole.
void BM_MdxOpen100kKeys(benchmark::State& state)
{
    const std::string path = scratchPath();
    {
        const std::vector<std::string> keys = codes(false);
        auto index = store::MdxIndex::create(path, {{"ABREV", "ABREV", 'C', 10}});
        for (std::uint32_t rec = 1; rec <= kRecords; ++rec)
            index->insert(0, store::MdxKey{keys[rec - 1], 0}, rec);
        index->flush();
    }
    for (auto _ : state) {
        auto index = store::MdxIndex::open(path, false, "ASIGT");
        benchmark::DoNotOptimize(index->tags().size());
    }
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

}  // namespace

BENCHMARK(BM_Mdx100kInsertsRandomKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mdx100kInsertsAscendingKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MdxOpen100kKeys)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
