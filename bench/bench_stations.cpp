// Start-up load of the embedded station lists, and nearest-report queries over a world's METARs.
#include "platform/debugoutput.h"
#include "weather/metarmanager.h"
#include "weather/resourcetextstore.h"
#include "weather/weatherstations.h"

#include <QtGlobal>
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CMetar;
using aviation::weather::CMetarManager;
using aviation::weather::CWeatherStations;

namespace {

const char* const kMetarFile = AEROVANE_SHARED_DATA_DIR "/metar/awc-2022-10-22T1912Z.csv";

class MetarStore : public CMetarManager
{
public:
    void Report(const std::wstring&) override { }
    bool IsBusy() override { return busy; }
    bool SetBusy(bool value) override { return busy = value; }

private:
    bool busy = false;
};

void Silence()
{
    platform::SetDebugSink([](const std::string&) {});
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

// The METAR section as the store receives it: one report per line.
std::wstring ReadMetarText(const char* path)
{
    std::ifstream file(path);
    std::wstring text;
    std::string line;
    bool rows = false;
    while (std::getline(file, line)) {
        if (!rows) {
            rows = line.rfind("raw_text,", 0) == 0;
            continue;
        }
        const std::string raw = line.substr(0, line.find(','));
        text.append(raw.begin(), raw.end());
        text += L'\n';
    }
    return text;
}

void BM_LoadStationLists(benchmark::State& state)
{
    Silence();
    std::size_t airports = 0;
    for (auto _ : state) {
        ResourceTextStore::Release();
        ResourceTextStore::LoadAirports();
        ResourceTextStore::LoadStations();
        auto stations = std::make_unique<CWeatherStations>();
        stations->InitAirports(ResourceTextStore::GetAirportText().toStdWString());
        stations->InitWxStations(ResourceTextStore::GetStationText().toStdWString());
        state.PauseTiming(); // the database's destruction is not part of the start-up
        airports = stations->GetAirportList().size();
        stations.reset();
        state.ResumeTiming();
    }
    state.counters["airports"] = static_cast<double>(airports);
}
BENCHMARK(BM_LoadStationLists)->Unit(benchmark::kMillisecond);

void BM_NearestMetar(benchmark::State& state)
{
    Silence();
    const std::wstring text = ReadMetarText(kMetarFile);
    if (text.empty()) {
        state.SkipWithError("shared METAR data not found");
        return;
    }
    CWeatherStations stations;
    ResourceTextStore::LoadAirports();
    stations.InitAirports(ResourceTextStore::GetAirportText().toStdWString());
    MetarStore store;
    store.SetOwner(&stations);
    store.InitMetar(text, true);

    std::mt19937 random(1);
    std::uniform_real_distribution<double> latitude(-90.0, 90.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    std::vector<Position> queries;
    for (int i = 0; i < 10000; ++i)
        queries.emplace_back(latitude(random), longitude(random));

    for (auto _ : state) {
        for (const Position& query : queries)
            benchmark::DoNotOptimize(store.GetNearestMetar(query));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * queries.size()));
    state.counters["reports"] = store.GetCount();
}
BENCHMARK(BM_NearestMetar)->Unit(benchmark::kMillisecond);

} // namespace
