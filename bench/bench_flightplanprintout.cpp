// The printout of a calculated 1,000-waypoint plan from Frankfurt to Krakow: its HTML, and the PDF laid out and
// painted block by block as the planner page builds it.

#include "planner/tab_flightplanner_print.h"
#include "platform/locale.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
