// Decoding speed of the METAR decoder on the real reports of the weather center's snapshots
// (raw_text column of <shared data>/metar/*.csv); items_per_second = reports decoded per second.

#include "weather/metar.h"
#include "weather/textconversion.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
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
        std::ifstream file(entry.path(), std::ios::binary);
        std::string line;
        bool rows = false;
        while (std::getline(file, line)) {
            if (!rows) {
                rows = line.rfind("raw_text,", 0) == 0;
                continue;
            }
            const std::string raw = line.substr(0, line.find(','));
            if (!raw.empty())
                metars.emplace_back(CharToWString(raw.c_str()));
        }
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
