// The flight plan calculation of a 100-waypoint route from Seattle to San Francisco, with the demo snapshot's
// METARs and grid points every degree along the coast loaded beforehand, so that every look-up is answered by the
// weather model and no request leaves the program; and the printout of a calculated 1,000-waypoint plan from
// Frankfurt to Krakow: its HTML, and the PDF laid out and painted block by block as the planner page builds it.

#include "bench/quietwindow.h"
#include "forms/mainwindowform.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "planner/tab_flightplanner.h"
#include "planner/tab_flightplanner_print.h"
#include "platform/debugoutput.h"
#include "platform/locale.h"
#include "platform/programfolder.h"
#include "settings/settings.h"
#include "tools/wx-server/gridsource.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Hands the import its file.
class FileChooser : public CPrompter
{
public:
    explicit FileChooser(QString path)
        : m_path(std::move(path))
    {
    }
    PromptAnswer Ask(const PromptRequest&) override { return PromptAnswer::No; }
    QString Choose(const ChooserRequest&) override { return m_path; }

private:
    QString m_path;
};

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

// Grid points every degree over the coast from San Francisco to Seattle.
QString CoastGridText()
{
    QByteArray text("# TIME:1666465200\n");
    for (int latitude = 35; latitude <= 50; ++latitude) {
        for (int longitude = -126; longitude <= -119; ++longitude)
            text += tools::GridSource::SynthesizedPoint(latitude, longitude) + '\n';
    }
    return QString::fromLatin1(text);
}

// An X-Plane plan of KSEA, 98 fixes evenly along the coast and KSFO.
QByteArray RouteFile()
{
    constexpr int kPoints = 100;
    QByteArray text = "I\n3 version\n1\n" + QByteArray::number(kPoints - 1) + "\n";
    text += "1 KSEA 433.000000 47.449000 -122.309000\n";
    for (int i = 1; i < kPoints - 1; ++i) {
        const double share = static_cast<double>(i) / (kPoints - 1);
        text += QStringLiteral("11 FX%1 35000.000000 %2 %3\n")
                    .arg(i, 3, 10, QLatin1Char('0'))
                    .arg(47.449 + (37.619 - 47.449) * share, 0, 'f', 6)
                    .arg(-122.309 + (-122.375 + 122.309) * share, 0, 'f', 6)
                    .toLatin1();
    }
    text += "1 KSFO 13.000000 37.619000 -122.375000\n";
    return text;
}

// The planner page in its form with the route imported and calculated once.
class LoadedPlanner
{
public:
    LoadedPlanner()
    {
        QDir::setCurrent(m_folder.path());
        platform::SetProgramFolderForTesting(m_folder.path());
        m_worker = std::make_unique<CWeatherWorker>(&m_window);
        m_worker->EnableSimTimer(false);
        m_window.worker = m_worker.get();
        m_window.connected = false;
        m_worker->LoadWeatherFromText(ReadText(QStringLiteral(AEROVANE_WXSERVER_DATA "/metar.txt")), QString(),
                                      CoastGridText());
        m_worker->SetWeatherSource(WeatherDataStored);

        m_form.ui.setupUi(&m_form);
        Planner().Init(&m_window, m_worker.get());
        aviation::structs::CAircraftDetail boeing;
        boeing.name = L"Boeing 777-200ER";
        boeing.cruiseSpeed = 480;
        boeing.CruiseAlt = 35000;
        boeing.maxAlt = 43100;
        boeing.FuelFlow = 15000.0f;
        Planner().SetAircraft(boeing);
        m_form.ui.lineEdit_CruiseAlt->setText(QStringLiteral("35000"));

        const QString route = m_folder.filePath(QStringLiteral("KSEA-KSFO.fms"));
        QFile file(route);
        file.open(QIODevice::WriteOnly);
        file.write(RouteFile());
        file.close();
        FileChooser chooser(route);
        ScopedPrompter answering(chooser);
        Planner().ImportFP();
    }
    ~LoadedPlanner()
    {
        m_worker.reset();
        CSettings::Release();
        platform::SetProgramFolderForTesting(QString());
    }

    CTab_Flightplanner& Planner() { return *m_form.ui.tab_flightplanner; }

private:
    QTemporaryDir m_folder;
    QuietWindow m_window;
    std::unique_ptr<CWeatherWorker> m_worker;
    CMainWindowForm m_form;
};

void BM_CalculateRoute100(benchmark::State& state)
{
    LoadedPlanner loaded;
    for (auto _ : state)
        loaded.Planner().CalculateFP();
    state.counters["waypoints"] = static_cast<double>(loaded.Planner().GetFlightPlan().waypoints.size());
}
BENCHMARK(BM_CalculateRoute100)->Unit(benchmark::kMillisecond);

constexpr int kWaypoints = 1000;

aviation::CFlightplan CalculatedPlan()
{
    const wchar_t* metars[]
        = {L"EDDF 221850Z AUTO VRB01KT CAVOK 13/12 Q1017 NOSIG", L"EDDN 221850Z AUTO 17004KT CAVOK 12/10 Q1019 NOSIG",
           L"EPKK 221830Z 24006KT 9999 FEW035 11/07 Q1016 NOSIG"};
    aviation::CFlightplan plan;
    for (int i = 0; i < kWaypoints; ++i) {
        const bool airport = i == 0 || i == kWaypoints - 1;
        aviation::CWaypointWX point(airport ? (i == 0 ? L"EDDF" : L"EPKK") : L"WPT", {50.0, 8.57 + i * 0.0112}, L"",
                                    airport ? 1 : 4, airport ? 364 : 35000, -52.0f, 5.0f, 1013.2f);
        point.SetWind(aviation::weather::CWind(265.0 + i % 20, 40.0 + i % 30));
        point.WindCorrectionHeading(88.0, 450.0, point.GetWind());
        point.SetTas(450);
        point.SetLegTime(i == 0 ? 0 : 1);
        point.SetMetar(metars[i * 3 / kWaypoints]);
        plan.waypoints.push_back(point);
    }
    plan.departure = plan.waypoints.front();
    plan.destination = plan.waypoints.back();
    return plan;
}

const flightplanner::PrintedFields kFields{"270°/52 kt", "26500", "250", "1500", "800", "29050", true};

void BM_PrintoutHtml1000(benchmark::State& state)
{
    const aviation::CFlightplan plan = CalculatedPlan();
    for (auto _ : state)
        benchmark::DoNotOptimize(flightplanner::FlightPlanHtml(plan, kFields));
}
BENCHMARK(BM_PrintoutHtml1000)->Unit(benchmark::kMillisecond);

void BM_PrintoutPdf1000(benchmark::State& state)
{
    const QStringList blocks = flightplanner::FlightPlanBlocks(CalculatedPlan(), kFields);
    QTemporaryDir folder;
    for (auto _ : state) {
        if (flightplanner::WritePdf(blocks, folder.filePath("lastFP.pdf"), {}) != flightplanner::PrintResult::Printed)
            state.SkipWithError("the PDF was not written");
    }
}
BENCHMARK(BM_PrintoutPdf1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::UseCLocale();
    // The calculation writes a debug line per route point.
    platform::SetDebugSink([](const std::string&) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
