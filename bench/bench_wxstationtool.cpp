// The weather-station generator over a simulator's files as large as they come: reading 20,000 stations from
// "wxstationlist.bin" and "wxmapping.bin", and a create that extends empty files with every airport of the
// embedded list and writes "airportlist.txt". Goal for each: under 0.5 s.

#include "dialogs/wxstationtool.h"
#include "platform/debugoutput.h"
#include "platform/programfolder.h"
#include "weather/resourcetextstore.h"
#include "weather/weatherstations.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextEdit>

#include <benchmark/benchmark.h>

namespace {

constexpr int kStations = 20000;

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct ToolWidgets
{
    QLabel status;
    QProgressBar progress;
    QTextEdit log;
    WxStationTool tool{{&status, &progress, &log}};
};

void BM_ReadTwentyThousandStations(benchmark::State& state)
{
    QTemporaryDir simulator;
    QDir(simulator.path()).mkdir(QStringLiteral("Weather"));
    QByteArray stations;
    QByteArray mapping;
    for (int i = 0; i < kStations; ++i) {
        const QByteArray code = QByteArray::number(i, 36).toUpper().rightJustified(4, 'K');
        stations += wxstationfiles::EncodeCode(code);
        mapping += wxstationfiles::EncodeMappingEntry(
            {code, 10.0f + i % 70, static_cast<float>(i % 360), 120.0f, "Some Regional Airport, United States"});
    }
    if (!WriteFile(simulator.filePath(QStringLiteral("Weather/wxstationlist.bin")), stations)
        || !WriteFile(simulator.filePath(QStringLiteral("Weather/wxmapping.bin")), mapping)) {
        state.SkipWithError("cannot write the station files");
        return;
    }
    ToolWidgets widgets;
    for (auto _ : state)
        benchmark::DoNotOptimize(widgets.tool.Read(simulator.path()));
    state.counters["entries"] = static_cast<double>(widgets.tool.MappingEntries().size());
}
BENCHMARK(BM_ReadTwentyThousandStations)->Unit(benchmark::kMillisecond);

void BM_CreateWithTheEmbeddedAirports(benchmark::State& state)
{
    aviation::weather::CWeatherStations database;
    ResourceTextStore::LoadAirports();
    database.InitAirports(ResourceTextStore::GetAirportText().toStdWString());
    const std::vector<aviation::weather::CStation> airports = database.GetAirportList();
    QTemporaryDir program;
    QTemporaryDir simulator;
    platform::SetProgramFolderForTesting(program.path());
    QDir(simulator.path()).mkdir(QStringLiteral("Weather"));
    platform::ScopedDebugCapture quiet;
    ToolWidgets widgets;
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(simulator.filePath(QStringLiteral("Weather/wxstationlist.bin")), QByteArray());
        WriteFile(simulator.filePath(QStringLiteral("Weather/wxmapping.bin")), QByteArray());
        widgets.tool.Read(simulator.path());
        state.ResumeTiming();
        widgets.tool.AddWxStationsToFS(simulator.path(), airports);
    }
    state.counters["airports"] = static_cast<double>(airports.size());
    state.counters["added"] = static_cast<double>(widgets.tool.StationIds().size());
    platform::SetProgramFolderForTesting(QString());
}
BENCHMARK(BM_CreateWithTheEmbeddedAirports)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
