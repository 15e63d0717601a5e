// The two weather-worker operations that hold the GUI thread: writing the 20 x 20 weather theme pair around the
// aircraft (model-file mode, once per update), and one direct wind control step (twice a second all flight),
// over the demo snapshot's METARs and SYNOPs and 500 real grid points around Frankfurt, loaded beforehand.

#include "bench/quietwindow.h"
#include "generation/weatherworker.h"
#include "platform/programfolder.h"
#include "settings/settings.h"
#include "tests/support/testdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

// A worker in a temporary program folder with the weather loaded and the aircraft over Frankfurt.
class LoadedWorker
{
public:
    LoadedWorker()
    {
        QDir::setCurrent(m_folder.path());
        platform::SetProgramFolderForTesting(m_folder.path());
        QDir().mkpath(m_folder.filePath(QStringLiteral("Sim/Weather/themes")));
        CSettings::SetPathToFS(m_folder.filePath(QStringLiteral("Sim")));
        m_worker = std::make_unique<CWeatherWorker>(&m_window);
        m_worker->EnableSimTimer(false);
        const QString data = QStringLiteral(AEROVANE_WXSERVER_DATA);
        m_worker->LoadWeatherFromText(ReadText(data + "/metar.txt"), ReadText(data + "/synop.txt"),
                                      QString::fromStdWString(testsupport::FrankfurtLatticeGridText()));
        m_worker->SetWeatherSource(WeatherDataStored);
        aviation::structs::CAircraft aircraft;
        aircraft.SetLatitude(50.03);
        aircraft.SetLongitude(8.57);
        aircraft.altitude = 2500;
        aircraft.height = 1200;
        aircraft.ambientWind = aviation::weather::CWind(250, 12);
        m_worker->SetAircraft(aircraft);
    }
    ~LoadedWorker()
    {
        m_worker.reset();
        CSettings::Release();
        platform::SetProgramFolderForTesting(QString());
    }
    CWeatherWorker& Worker() { return *m_worker; }

private:
    QTemporaryDir m_folder;
    QuietWindow m_window;
    std::unique_ptr<CWeatherWorker> m_worker;
};

void BM_ThemePair20x20(benchmark::State& state)
{
    LoadedWorker loaded;
    for (auto _ : state)
        loaded.Worker().GenerateFSWeatherModelFile();
    aviation::weather::CWeatherManager& model = *loaded.Worker().GetWeatherManager();
    state.counters["metars"] = model.aviation::weather::CMetarManager::GetCount();
    state.counters["gridNearAircraft"] = model.HasGribNear({50.03, 8.57});
}
BENCHMARK(BM_ThemePair20x20)->Unit(benchmark::kMillisecond);

void BM_WindControlStep(benchmark::State& state)
{
    LoadedWorker loaded;
    loaded.Worker().UpdateDirectWindControl(); // the 30-s weather refresh
    for (auto _ : state)
        loaded.Worker().UpdateDirectWindControl();
}
BENCHMARK(BM_WindControlStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
