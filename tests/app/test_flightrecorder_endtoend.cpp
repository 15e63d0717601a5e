// The bridge peer plays the Frankfurt-Munich script, one sample per aircraft read 2 s apart as in a real run; the
// window's tracker follows it to the gate, where the recorder reports, stores and lists the flight.
#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "platform/clock.h"
#include "recorder/flightdlg.h"
#include "recorder/flightfile.h"
#include "recorder/tab_flightrecorder.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"
#include "tools/bridge-peer/flightscript.h"

#include <QTest>

#include <vector>

namespace {

// 2026-12-07 12:58:00 UTC.
constexpr qint64 kBoarding = 1796648280;

using FlightRecorderEndToEnd = MainWindowTest;

} // namespace

TEST_F(FlightRecorderEndToEnd, ScriptedFlightFromFrankfurtToMunichIsReportedStoredAndListed)
{
    std::vector<aviation::structs::CAircraft> script;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Load(QStringLiteral(AEROVANE_BRIDGEPEER_FLIGHTS "/eddf-eddm.txt"), script, error))
        << error.toStdString();
    platform::ScopedClock clock(kBoarding);
    CSettings::SetUserId(QStringLiteral("AVN101"));
    auto& window = Window();
    window.show();
    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
    // The samples come when the test asks for them, not every second.
    window.GetWeatherWorker()->EnableSimTimer(false);
    // Counted after the window's own slot has taken them: both are queued in the GUI thread, the window's first.
    QObject receiver;
    int samples = 0;
    QObject::connect(window.GetConnectWorker(), &CConnectWorker::sigThreadJobFinished, &receiver,
                     [&samples](int type, const QString&) { samples += type == JobGetAircraftData ? 1 : 0; });
    peer.PlayFlight(script);
    // The recorder page asks for the aircraft details; recording starts a new flight.
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_recorder);
    window.ui.pushButton_record->click();

    const FlightPhaseTracker& tracker = window.GetFlightPhaseTracker();
    const auto reported = [&window] {
        return window.ui.textBrowser_FlightResults->toPlainText().contains(QStringLiteral("Flight Report from"));
    };
    std::vector<int> phases{tracker.GetFlightData().GetPhase()};
    std::size_t played = 0;
    for (; played < script.size() && !reported(); ++played) {
        clock.AdvanceMs(2000);
        window.GetConnectWorker()->AddJob(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return samples > static_cast<int>(played); }, 5000));
        if (tracker.GetFlightData().GetPhase() != phases.back())
            phases.push_back(tracker.GetFlightData().GetPhase());
    }
    // The sample that parks the aircraft is reported at once, and the report starts a new flight.
    EXPECT_EQ(phases, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 9, 10, PhaseNone}));
    EXPECT_FALSE(window.ui.tab_recorder->IsRecording());

    const QString report = window.ui.textBrowser_FlightResults->toPlainText();
    EXPECT_EQ(report.count("Flight Report from"), 1);
    EXPECT_TRUE(report.contains("Aircraft: Boeing 737-800 Aerovane Air Registration: D-AVNE")) << report.toStdString();
    // The airports where the aircraft left and reached its stand, as the file holds them.
    EXPECT_TRUE(report.contains("Dep:EDDF\nDest:EDDM\n")) << report.toStdString();

    const QStringList files = QDir(CSettings::GetFlightsFolder()).entryList({QStringLiteral("*.xml")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    FlightListEntry stored;
    stored.path = QDir(CSettings::GetFlightsFolder()).filePath(files[0]);
    ASSERT_TRUE(CFlightFile::Read(stored));
    for (const QDateTime& time : {stored.flight.GetOffBlockTime(), stored.flight.GetTakeOffTime(),
                                  stored.flight.GetLandingTime(), stored.flight.GetOnBlockTime()})
        EXPECT_FALSE(time.isNull());
    // Written as UTC clock values, read back as local ones.
    EXPECT_EQ(stored.flight.GetTakeOffTime().toString("hh:mm:ss"),
              QDateTime::fromSecsSinceEpoch(kBoarding + 6 * 2, Qt::UTC).toString("hh:mm:ss"));
    EXPECT_EQ(
        QStringList({stored.callsign, stored.aircraft, stored.flight.GetDeparture(), stored.flight.GetDestination()}),
        QStringList({"AVN101", "Boeing 737-800 Aerovane Air", "EDDF", "EDDM"}));
    // The first sample, the off-block one, one every more than 30 s and the on-block one.
    EXPECT_LT(stored.flight.GetTrack().size(), played);

    FlightDlg list(&window);
    list.show();
    QTableWidget* table = list.findChild<QTableWidget*>(QStringLiteral("tableWidget_flights"));
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 2)->text(), "EDDF");
    EXPECT_EQ(table->item(0, 5)->text(), "00:00");
    // No cell cut: the aircraft title and the departure time fit their columns.
    for (const int column : {1, 4})
        EXPECT_GE(table->columnWidth(column), table->fontMetrics().horizontalAdvance(table->item(0, column)->text()));

    window.ui.tab_recorder->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightrecorder_page.png"));
    list.grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightrecorder_list.png"));
}
