// Start-up load of the embedded station lists, and nearest-report queries over a world's METARs.
#include "platform/debugoutput.h"
#include "tests/support/recordingstore.h"
#include "tests/support/testdata.h"
#include "tools/common/weathercentercsv.h"
#include "weather/metarmanager.h"
#include "weather/resourcetextstore.h"
#include "weather/weatherstations.h"

#include <QtGlobal>
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CMetar;
using aviation::weather::CMetarManager;
using aviation::weather::CWeatherStations;

namespace {

const std::string kMetarFile = testsupport::SharedDataPath("metar/awc-2022-10-22T1912Z.csv");

using MetarStore = testsupport::RecordingStore<CMetarManager>;

void Silence()
{
    platform::SetDebugSink([](const std::string&) {});
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
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
    std::vector<std::wstring> reports;
    if (!tools::ReadMetarReports(kMetarFile, reports) || reports.empty()) {
        state.SkipWithError("shared METAR data not found");
        return;
    }
    CWeatherStations stations;
    ResourceTextStore::LoadAirports();
    stations.InitAirports(ResourceTextStore::GetAirportText().toStdWString());
    MetarStore store;
    store.SetOwner(&stations);
    store.InitMetar(tools::MetarStoreText(reports), true);

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
