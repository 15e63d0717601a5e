// Decoding speed of real SYNOP reports: every report of the shared GTS bulletins, each with its section header
// in front as the SYNOP store receives it, built from its text (header decode) and then fully decoded.

#include "tests/support/synopcorpus.h"
#include "weather/synop.h"

#include <benchmark/benchmark.h>

using aviation::weather::CSynop;

static void BM_DecodeRealSynops(benchmark::State& state)
{
    std::vector<std::wstring> reports;
    for (const synopcorpus::Report& report : synopcorpus::Reports())
        reports.push_back(report.text);
    if (reports.empty()) {
        state.SkipWithError("no SYNOP bulletins in the shared data folder");
        return;
    }
    std::int64_t decoded = 0;
    for (auto _ : state) {
        for (const std::wstring& report : reports) {
            CSynop synop(report);
            benchmark::DoNotOptimize(synop.Decode());
        }
        decoded += static_cast<std::int64_t>(reports.size());
    }
    state.SetItemsProcessed(decoded);
}
BENCHMARK(BM_DecodeRealSynops);
