// RMView's work before its first picture: 100,000 history records read,
// summed per day and the newest month's page made.
#include <filesystem>
#include <fstream>

#include <benchmark/benchmark.h>

#include "history_records.h"
#include "history_sample.h"
#include "usage.h"
#include "usage_page.h"

namespace {

constexpr int Records = 100000;

void BM_ParseHistory100k(benchmark::State& state) {
    const std::string text = rmview::bench::SampleHistory(Records);
    for (auto _ : state) {
        rmview::HistoryRead read;
        rmview::ReadHistoryText(text, read);
        benchmark::DoNotOptimize(read.Calls.data());
    }
    state.SetItemsProcessed(state.iterations() * Records);
}
BENCHMARK(BM_ParseHistory100k)->Unit(benchmark::kMillisecond);

void BM_Aggregate100k(benchmark::State& state) {
    rmview::HistoryRead read;
    rmview::ReadHistoryText(rmview::bench::SampleHistory(Records), read);
    for (auto _ : state) {
        const rmview::Usage usage = rmview::Aggregate(read.Calls);
        benchmark::DoNotOptimize(usage.Days.size());
    }
    state.SetItemsProcessed(state.iterations() * Records);
}
BENCHMARK(BM_Aggregate100k)->Unit(benchmark::kMillisecond);

// What RMView does before it draws: both files, the sums, the months and the page.
void BM_FilesToFirstPage100k(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "bench-rmview";
    std::filesystem::create_directories(folder / "log");
    std::ofstream(folder / "log" / "Rmonitor.csv", std::ios::binary) << rmview::bench::SampleHistory(Records);
    for (auto _ : state) {
        const rmview::HistoryRead read = rmview::ReadHistoryFiles(folder);
        const rmview::Usage usage = rmview::Aggregate(read.Calls);
        const auto months = rmview::MonthsWithUsage(usage);
        const rmview::UsagePage page = rmview::PageOf(usage, months.back());
        benchmark::DoNotOptimize(page.Days.data());
    }
    state.SetItemsProcessed(state.iterations() * Records);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FilesToFirstPage100k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
