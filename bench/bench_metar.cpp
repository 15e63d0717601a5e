// Decoding speed of the METAR decoder on the real reports of the weather center's snapshots
// (raw_text column of <shared data>/metar/*.csv); items_per_second = reports decoded per second.

#include "tools/common/weathercentercsv.h"
#include "weather/metar.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<aviation::weather::CMetar> ReadRealMetars()
{
    std::vector<aviation::weather::CMetar> metars;
    const std::filesystem::path folder = std::filesystem::path(AEROVANE_SHARED_DATA_DIR) / "metar";
    if (!std::filesystem::is_directory(folder))
        return metars;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".csv")
            continue;
        std::vector<std::wstring> reports;
        tools::ReadMetarReports(entry.path().string(), reports);
        for (const std::wstring& report : reports)
            metars.emplace_back(report);
    }
    return metars;
}

void BM_DecodeRealMetars(benchmark::State& state)
{
    std::vector<aviation::weather::CMetar> metars = ReadRealMetars();
    if (metars.empty()) {
        state.SkipWithError("no reports in " AEROVANE_SHARED_DATA_DIR "/metar");
        return;
    }
    for (auto _ : state) {
        for (aviation::weather::CMetar& metar : metars)
            benchmark::DoNotOptimize(metar.Decode());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(metars.size()));
}
BENCHMARK(BM_DecodeRealMetars)->Unit(benchmark::kMillisecond);

} // namespace
