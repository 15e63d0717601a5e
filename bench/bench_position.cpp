// The METAR for a position over a world of data: a real day's METARs (one file of the weather center's
// cache), the real SYNOP bulletins and a composed world grid of 612 points, asked for 1,000 places, as
// weather generation asks for the simulator's stations around the aircraft.

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/random.h"
#include "tests/support/synopcorpus.h"
#include "tests/support/testdata.h"
#include "tools/common/weathercentercsv.h"
#include "weather/position.h"
#include "weather/resourcetextstore.h"
#include "weather/weathermanager.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CWeatherManager;

namespace {

// 2023-01-17 13:00 UTC: the Romanian bulletins of 12:00 that day are fresh.
constexpr std::int64_t kSeventeenthOneOClock = 1673960400;
constexpr int kPositions = 1000;

std::unique_ptr<CWeatherManager> LoadWorld()
{
    platform::ScopedDebugCapture quiet;
    auto manager = std::make_unique<CWeatherManager>();
    ResourceTextStore::LoadAirports();
    ResourceTextStore::LoadStations();
    manager->InitAirports(ResourceTextStore::GetAirportText().toStdWString());
    manager->InitWxStations(ResourceTextStore::GetStationText().toStdWString());
    std::vector<std::wstring> metars;
    tools::ReadMetarReports(testsupport::SharedDataPath("metar/awc-2022-10-22T1912Z.csv"), metars);
    manager->InitMetar(tools::MetarStoreText(metars), true);
    bool first = true;
    for (const synopcorpus::File& file : synopcorpus::ReadFiles()) {
        manager->InitSynop(file.text, first);
        first = false;
    }
    manager->InitWindData(testsupport::ReadLatin1File(testsupport::TestDataPath("position/world-grid.txt")), true);
    return manager;
}

CWeatherManager& World()
{
    static const std::unique_ptr<CWeatherManager> world = LoadWorld();
    return *world;
}

// Simulator weather stations are airports: every n-th airport of the station database.
std::vector<CStation> AirportStations(CWeatherManager& manager)
{
    const std::vector<CStation> airports = manager.GetAirportList();
    std::vector<CStation> stations;
    const size_t step = std::max<size_t>(1, airports.size() / kPositions);
    for (size_t i = 0; i < airports.size() && stations.size() < kPositions; i += step)
        stations.push_back(airports[i]);
    return stations;
}

// Places spread evenly over the sphere (oceans and poles included), each a made-up station.
std::vector<CStation> WorldStations(CWeatherManager& manager)
{
    platform::SeedRandom(7);
    std::vector<CStation> stations;
    for (int i = 0; i < kPositions; ++i) {
        const double latitude = aviation::RadToDeg(std::asin(platform::RandomReal(-1.0, 1.0)));
        const Position position(latitude, platform::RandomReal(-180.0, 180.0));
        CStation station;
        manager.MakeStation(station, &position, L"", L"XWXQ");
        stations.push_back(station);
    }
    return stations;
}

void RunQueries(benchmark::State& state, const std::vector<CStation>& stations)
{
    CWeatherManager& manager = World();
    platform::ScopedClock clock(kSeventeenthOneOClock);
    platform::ScopedDebugCapture quiet;
    int produced = 0;
    for (auto _ : state) {
        for (const CStation& station : stations) {
            CMetar metar;
            metar.SetStation(station);
            const int status = manager.GetMetarForPosition(station.GetPosition(), metar, 30.0, 30.0);
            produced += status == 1;
            benchmark::DoNotOptimize(metar);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(stations.size()));
    state.counters["status1_share"]
        = static_cast<double>(produced) / static_cast<double>(state.iterations() * stations.size());
}

void BM_MetarForPosition(benchmark::State& state)
{
    RunQueries(state, AirportStations(World()));
}
BENCHMARK(BM_MetarForPosition)->Unit(benchmark::kMillisecond);

void BM_MetarForPositionAnywhere(benchmark::State& state)
{
    RunQueries(state, WorldStations(World()));
}
BENCHMARK(BM_MetarForPositionAnywhere)->Unit(benchmark::kMillisecond);

} // namespace
