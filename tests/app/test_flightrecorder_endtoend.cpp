// The bridge peer plays the Frankfurt-Munich script twice in one session, one sample per aircraft read 2 s apart as
// in a real run; the window's tracker follows each flight to the gate, where the recorder reports, stores and lists
// it. Between the flights the aircraft stands at Munich long enough for a track point, then the simulator moves it
// back to Frankfurt.
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

TEST_F(FlightRecorderEndToEnd, TwoScriptedFlightsFromFrankfurtToMunichInOneSessionAreReportedStoredAndListed)
{
    std::vector<aviation::structs::CAircraft> script;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Load(QStringLiteral(AEROVANE_BRIDGEPEER_FLIGHTS "/eddf-eddm.txt"), script, error))
        << error.toStdString();
    // The script's last sample stands at the Munich stand; 15 of them (30 s) before the second flight.
    std::vector<aviation::structs::CAircraft> session = script;
    session.insert(session.end(), 14, script.back());
    session.insert(session.end(), script.begin(), script.end());
    const aviation::Position munichStand = script.back();
    const aviation::Position onBlock = script[script.size() - 2];

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
    peer.PlayFlight(session);
    // The recorder page asks for the aircraft details; autostart records one flight after another.
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_recorder);
    window.ui.checkBox_record_autostart->click();

    const FlightPhaseTracker& tracker = window.GetFlightPhaseTracker();
    const auto reports = [&window] {
        return window.ui.textBrowser_FlightResults->toPlainText().count(QStringLiteral("Flight Report from"));
    };
    std::vector<int> phases{tracker.GetFlightData().GetPhase()};
    std::size_t played = 0;
    for (; played < session.size() && reports() < 2; ++played) {
        clock.AdvanceMs(2000);
        window.GetConnectWorker()->AddJob(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return samples > static_cast<int>(played); }, 60000))
            << "aircraft sample " << played + 1 << " taken";
        if (tracker.GetFlightData().GetPhase() != phases.back())
            phases.push_back(tracker.GetFlightData().GetPhase());
    }
    // The sample that parks the aircraft is reported at once, and the report starts a new flight.
    EXPECT_EQ(phases, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 0}));

    // Each flight from the airport where the aircraft left its stand to the one where it stopped at the gate.
    const QString report = window.ui.textBrowser_FlightResults->toPlainText();
    EXPECT_EQ(report.count("Aircraft: Boeing 737-800 Aerovane Air Registration: D-AVNE"), 2) << report.toStdString();
    EXPECT_EQ(report.count("Dep:EDDF\nDest:EDDM\n"), 2) << report.toStdString();

    const QStringList files = QDir(CSettings::GetFlightsFolder()).entryList({QStringLiteral("*.xml")}, QDir::Files);
    ASSERT_EQ(files.size(), 2);
    std::vector<FlightListEntry> stored(2);
    for (int i = 0; i < 2; ++i) {
        stored[i].path = QDir(CSettings::GetFlightsFolder()).filePath(files[i]);
        ASSERT_TRUE(CFlightFile::Read(stored[i]));
        EXPECT_EQ(QStringList({stored[i].callsign, stored[i].aircraft, stored[i].flight.GetDeparture(),
                               stored[i].flight.GetDestination()}),
                  QStringList({"AVN101", "Boeing 737-800 Aerovane Air", "EDDF", "EDDM"}))
            << i;
        // The on-block sample closes the track, less than 30 s after the track point before it.
        ASSERT_FALSE(stored[i].flight.GetTrack().empty());
        EXPECT_TRUE(stored[i].flight.GetTrack().back() == onBlock) << i;
    }
    const CFlightData& first = stored[0].flight;
    for (const QDateTime& time :
         {first.GetOffBlockTime(), first.GetTakeOffTime(), first.GetLandingTime(), first.GetOnBlockTime()})
        EXPECT_FALSE(time.isNull());
    // Written as UTC clock values, read back as local ones.
    EXPECT_EQ(first.GetTakeOffTime().toString("hh:mm:ss"),
              QDateTime::fromSecsSinceEpoch(kBoarding + 6 * 2, Qt::UTC).toString("hh:mm:ss"));
    // The second flight's track begins where the first one ended: parked at Munich, before the move.
    EXPECT_TRUE(stored[1].flight.GetTrack().front() == munichStand);

    FlightDlg list(&window);
    list.show();
    QTableWidget* table = list.findChild<QTableWidget*>(QStringLiteral("tableWidget_flights"));
    ASSERT_EQ(table->rowCount(), 2);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(QStringList({table->item(row, 2)->text(), table->item(row, 3)->text()}),
                  QStringList({"EDDF", "EDDM"}))
            << row;
    EXPECT_EQ(table->item(0, 5)->text(), "00:00");
    // No cell cut: the aircraft title and the departure time fit their columns.
    for (const int column : {1, 4})
        EXPECT_GE(table->columnWidth(column), table->fontMetrics().horizontalAdvance(table->item(0, column)->text()));

    window.ui.tab_recorder->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightrecorder_page.png"));
    list.grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightrecorder_list.png"));
}
