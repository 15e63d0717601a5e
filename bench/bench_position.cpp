// The METAR for a position over a world of data: a real day's METARs (one file of the weather center's
// cache), the real SYNOP bulletins and a composed world grid of 612 points, asked for 1,000 places, as
// weather generation asks for the simulator's stations around the aircraft.

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/random.h"
#include "weather/resourcetextstore.h"
#include "weather/textconversion.h"
#include "weather/weathermanager.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <sstream>
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

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::wstring CsvReports(const std::string& csv)
{
    std::istringstream in(csv);
    std::string reports;
    bool heading = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("raw_text,", 0) == 0)
            heading = true;
        else if (heading && !line.empty())
            reports += line.substr(0, line.find(',')) + "\n";
    }
    return CharToWString(reports.c_str());
}

std::unique_ptr<CWeatherManager> LoadWorld()
{
    platform::ScopedDebugCapture quiet;
    auto manager = std::make_unique<CWeatherManager>();
    ResourceTextStore::LoadAirports();
    ResourceTextStore::LoadStations();
    manager->InitAirports(ResourceTextStore::GetAirportText().toStdWString());
    manager->InitWxStations(ResourceTextStore::GetStationText().toStdWString());
    const std::string folder = AEROVANE_SHARED_DATA_DIR;
    manager->InitMetar(CsvReports(ReadFile(folder + "/metar/awc-2022-10-22T1912Z.csv")), true);
    bool first = true;
    if (DIR* directory = opendir((folder + "/synop").c_str())) {
        while (const dirent* entry = readdir(directory)) {
            const std::string name = entry->d_name;
            if (name[0] == '.' || name.find(".csv") != std::string::npos)
                continue;
            manager->InitSynop(CharToWString(ReadFile(folder + "/synop/" + name).c_str()), first);
            first = false;
        }
        closedir(directory);
    }
    const std::string grid = ReadFile(std::string(AEROVANE_TEST_DATA_DIR) + "/position/world-grid.txt");
    manager->InitWindData(CharToWString(grid.c_str()), true);
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
        const double latitude = std::asin(platform::RandomReal(-1.0, 1.0)) * 180.0 / 3.141592653589793;
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
