// The METAR finder's search as the user runs it: the dialog copies 5,000 loaded reports (the loopback server's
// snapshot of real METARs, topped up from its start), decodes them, filters them and lists every hit. Each
// iteration is one fresh dialog, so every report is decoded again; goal: under 50 ms.

#include "dialogs/wxfinderdlg.h"
#include "weather/weathermanager.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

constexpr int kReports = 5000;

// The snapshot's reports, repeated from the start until there are kReports of them.
std::wstring LoadedReports()
{
    QFile file(QStringLiteral(AEROVANE_WXSERVER_DATA "/metar.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return std::wstring();
    const QStringList lines = QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QStringList reports;
    while (!lines.isEmpty() && reports.size() < kReports)
        reports << lines.mid(0, kReports - reports.size());
    return reports.join('\n').toStdWString();
}

// Runs the finder over the manager with the fields filled by `fill`; the number of hits listed.
int Search(aviation::weather::CWeatherManager& manager, const std::function<void(WxFinderDlg&)>& fill)
{
    WxFinderDlg dialog;
    int hits = 0;
    QTimer::singleShot(0, &dialog, [&] {
        fill(dialog);
        dialog.findChild<QPushButton*>("pushButton_search")->click();
        hits = dialog.findChild<QListWidget*>("listWidget_result_metars")->count();
        dialog.accept();
    });
    dialog.Exec(&manager);
    return hits;
}

void RunSearch(benchmark::State& state, const std::function<void(WxFinderDlg&)>& fill)
{
    aviation::weather::CWeatherManager manager;
    manager.InitMetar(LoadedReports(), true);
    if (manager.aviation::weather::CMetarManager::GetCount() != kReports) {
        state.SkipWithError("no reports in " AEROVANE_WXSERVER_DATA "/metar.txt");
        return;
    }
    int hits = 0;
    for (auto _ : state)
        hits = Search(manager, fill);
    state.counters["hits"] = hits;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kReports);
}

// Every report with a visibility: nearly all of them are listed.
void BM_FinderListsEveryReport(benchmark::State& state)
{
    RunSearch(state, [](WxFinderDlg& dialog) { dialog.findChild<QLineEdit*>("lineEdit_vis_min")->setText("0"); });
}
BENCHMARK(BM_FinderListsEveryReport)->Unit(benchmark::kMillisecond);

// A typical question: German airports with broken clouds and 5 to 15 kt of wind.
void BM_FinderTypicalSearch(benchmark::State& state)
{
    RunSearch(state, [](WxFinderDlg& dialog) {
        dialog.findChild<QLineEdit*>("lineEdit_icao")->setText("ed");
        dialog.findChild<QLineEdit*>("lineEdit_wind_speed")->setText("10");
        dialog.findChild<QComboBox*>("comboBox_cloud_coverage")->setCurrentIndex(3);
    });
}
BENCHMARK(BM_FinderTypicalSearch)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // A window system is not needed to measure the search.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
