// One weather update as the window's thread runs it, around London Heathrow with the real METARs of a weather
// center snapshot (<shared data>/metar/awc-2022-10-22T1912Z.csv) and the embedded station lists, the grid points
// of the whole area loaded beforehand so that no download is timed:
//  - normal mode, radius 200 NM, FSX, with the FSX flag on every four-letter airport as the simulator's own list
//    has it (about 360 records, each a New Weather block and an extended METAR text);
//  - the first auto-mode run (121 grid points) over SimConnect.

#include "generation/weatherworker.h"
#include "platform/debugoutput.h"
#include "platform/locale.h"
#include "platform/programfolder.h"
#include "settings/settings.h"
#include "tests/generation/fakewindowhost.h"
#include "tools/common/weathercentercsv.h"
#include "tools/wx-server/gridsource.h"
#include "weather/resourcetextstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const aviation::Position kHeathrow(51.4775, -0.461389);

// A host that keeps only the number of records handed over.
class CountingHost : public FakeWindowHost
{
public:
    void SetWeather(const std::vector<CFSWeatherStation>& stations) override { records = stations.size(); }
    std::size_t records = 0;
};

// The embedded airport list with the FSX flag (8th field) on every airport with a four-letter ICAO.
QByteArray AirportListWithFsxFlags()
{
    ResourceTextStore::LoadAirports();
    QByteArray list;
    for (QString line : ResourceTextStore::GetAirportText().split(QLatin1Char('\n'))) {
        QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() > 7 && !line.contains(QLatin1Char('#')) && fields[0].trimmed().size() == 4)
            fields[7] = QStringLiteral("1");
        list += fields.join(QLatin1Char(';')).toLatin1() + '\n';
    }
    return list;
}

QString RealMetars()
{
    std::vector<std::wstring> reports;
    tools::ReadMetarReports(std::string(AEROVANE_SHARED_DATA_DIR) + "/metar/awc-2022-10-22T1912Z.csv", reports);
    QString text;
    for (const std::wstring& report : reports)
        text += QString::fromStdWString(report) + QLatin1Char('\n');
    return text;
}

// Grid points a degree apart over everything within 400 NM of Heathrow.
QString AreaGrid()
{
    QByteArray text = "# TIME:1491555600\n";
    for (int latitude = 44; latitude <= 59; ++latitude) {
        for (int longitude = -13; longitude <= 12; ++longitude)
            text += tools::GridSource::SynthesizedPoint(latitude, longitude) + '\n';
    }
    return QString::fromLatin1(text);
}

// The program folder (with the flagged airport list) and working directory of every run, and the weather texts.
struct Setting
{
    Setting()
    {
        platform::SetDebugSink([](const std::string&) {});
        QFile list(folder.filePath(QStringLiteral("airportlist.txt")));
        list.open(QIODevice::WriteOnly);
        list.write(AirportListWithFsxFlags());
        list.close();
        platform::SetProgramFolderForTesting(folder.path());
        QDir::setCurrent(folder.path());
        CSettings::SetFSVersion(3);
        CSettings::SetInterfaceType(2);
        metars = RealMetars();
        grid = AreaGrid();
    }

    std::unique_ptr<CWeatherWorker> Worker(CountingHost& host) const
    {
        auto worker = std::make_unique<CWeatherWorker>(&host);
        worker->EnableSimTimer(false);
        worker->LoadWeatherFromText(metars, QString(), grid);
        aviation::structs::CAircraft aircraft;
        aircraft.SetLatitude(kHeathrow.GetLatitude());
        aircraft.SetLongitude(kHeathrow.GetLongitude());
        aircraft.altitude = 3000;
        worker->SetAircraft(aircraft);
        return worker;
    }

    QTemporaryDir folder;
    QString metars;
    QString grid;
};

const Setting& TheSetting()
{
    static const Setting setting;
    return setting;
}

void BM_NormalModeAroundHeathrow(benchmark::State& state)
{
    CountingHost host;
    const std::unique_ptr<CWeatherWorker> worker = TheSetting().Worker(host);
    for (auto _ : state)
        worker->GenerateFSWeather(QString());
    state.counters["records"] = static_cast<double>(host.records);
}
BENCHMARK(BM_NormalModeAroundHeathrow)->Unit(benchmark::kMillisecond);

void BM_FirstAutoModeRunAroundHeathrow(benchmark::State& state)
{
    CountingHost host;
    host.connected = true;
    for (auto _ : state) {
        // Each run is a first run on a fresh worker: a run adds the stations it makes to the station store.
        state.PauseTiming();
        std::unique_ptr<CWeatherWorker> worker = TheSetting().Worker(host);
        state.ResumeTiming();
        worker->GenerateFSWeatherAutoMode();
        state.PauseTiming();
        worker.reset();
        state.ResumeTiming();
    }
    state.counters["records"] = static_cast<double>(host.records);
}
BENCHMARK(BM_FirstAutoModeRunAroundHeathrow)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::UseCLocale();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    CSettings::Release();
    return 0;
}
