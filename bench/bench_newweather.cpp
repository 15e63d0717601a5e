// Speed of the simulator weather record: the New Weather block and the extended METAR text of one station, over
// the real reports of one weather center snapshot (<shared data>/metar) with a real grid point from
// tests/data/grid; items_per_second = stations filled per second, settings read from the INI file as in the
// program. Run it in an empty folder (the settings file is looked for in the working directory).

#include "generation/extendedmetar.h"
#include "generation/newweatherbuilder.h"
#include "tests/support/testdata.h"
#include "tools/common/weathercentercsv.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace aviation::weather;

std::vector<CWeatherSet> RealStations()
{
    std::vector<CWeatherSet> sets;
    std::vector<std::wstring> reports;
    if (!tools::ReadMetarReports(testsupport::SharedDataPath("metar/awc-2022-10-22T0252Z.csv"), reports))
        return sets;
    const std::vector<std::wstring> grid = testsupport::GridPointLines("frankfurt-area.txt");
    CGrib grib(grid.empty() ? std::wstring() : grid.front(), false);
    grib.Decode(false);
    for (const std::wstring& report : reports) {
        CMetar metar(report);
        metar.Decode();
        sets.emplace_back(metar, CSynop(), grib);
    }
    return sets;
}

void BM_FillStationRecords(benchmark::State& state)
{
    const std::vector<CWeatherSet> sets = RealStations();
    if (sets.empty()) {
        state.SkipWithError("no reports in " AEROVANE_SHARED_DATA_DIR "/metar");
        return;
    }
    for (auto _ : state) {
        for (const CWeatherSet& set : sets) {
            CNewWeather block;
            SetNewWeather(set, block, 2.0f);
            benchmark::DoNotOptimize(MakeExtendedMetar(set, block));
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(sets.size()));
}
BENCHMARK(BM_FillStationRecords)->Unit(benchmark::kMillisecond);

} // namespace
