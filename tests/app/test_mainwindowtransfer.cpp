// The program's main road through the window as main builds it: connect to the bridge peer, download the weather
// from the loopback server, set the weather of every station, and see each record arrive at the peer while the
// window stays responsive.
#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

// The window, counting the records weather generation hands over.
class RecordingWindow : public Aerovane_Pro
{
public:
    void SetWeather(const std::vector<CFSWeatherStation>& stations) override
    {
        records += stations.size();
        Aerovane_Pro::SetWeather(stations);
    }
    std::size_t records = 0;
};

// The longest pause between the ticks of a 10 ms timer of the GUI thread.
class GuiGapProbe
{
public:
    GuiGapProbe()
    {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_timer.start(10);
    }
    qint64 Longest() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

} // namespace

TEST_F(MainWindowTest, ConnectDownloadAndSetAllWeatherSendsEveryRecordToTheSimulator)
{
    CSettings::SetNormalMode(true);
    CSettings::SetWeatherRadius(480);
    auto& window = Window<RecordingWindow>();
    window.show();

    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
    // The update timer would send weather of its own; this test sends it by command only.
    window.GetWeatherWorker()->EnableSimTimer(false);
    // Told after the window's own handler of the same read.
    QObject readHandled;
    bool positionKnown = false;
    QObject::connect(
        window.GetConnectWorker(), &CConnectWorker::sigThreadJobFinished, &readHandled,
        [&](int type) { positionKnown = positionKnown || type == JobGetAircraftData; }, Qt::QueuedConnection);
    window.GetConnectWorker()->AddJob(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return positionKnown; }, 10000)) << "the window took the aircraft's position";

    window.ui.actionDownload_WX->trigger();
    ASSERT_TRUE(window.ui.action_Set_all_WX->isEnabled());
    peer.ClearFrames();
    window.ui.action_Set_all_WX->trigger();
    ASSERT_GT(window.records, 100u);

    GuiGapProbe probe;
    ASSERT_TRUE(QTest::qWaitFor([&] { return LogText().contains("(ConnectWorker) Weather transfer Complete"); }, 60000))
        << "the weather transfer completed";
    EXPECT_EQ(peer.GetWeatherWrites().size(), window.records);
    RecordProperty("records", static_cast<int>(window.records));
    RecordProperty("longest_gui_gap_ms", static_cast<int>(probe.Longest()));
    std::printf("%zu records sent, longest GUI-thread gap %lld ms\n", window.records,
                static_cast<long long>(probe.Longest()));
}

// Clear WX while records are still going out: the transfer stops, and the weather being cleared is not sent on.
TEST_F(MainWindowTest, ClearWxStopsTheRunningWeatherTransfer)
{
    CSettings::SetNormalMode(true);
    // The longest pause between records: the transfer is still under way when Clear WX comes.
    CSettings::SetPauseBetweenWXStation(2000);
    auto& window = Window<RecordingWindow>();
    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "the link came up";
    window.GetWeatherWorker()->EnableSimTimer(false);
    window.GetConnectWorker()->AddJob(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.GetConnectWorker()->GetAircraft().GetLatitude() != 0.0; }, 10000))
        << "the aircraft's position arrived";
    window.ui.actionDownload_WX->trigger();
    window.ui.action_Set_all_WX->trigger();
    ASSERT_GT(window.records, 1u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !peer.GetWeatherWrites().empty(); }, 10000))
        << "the first record reached the simulator";

    // The client waits for the peer's answer to each record, so the peer holds every record sent but the one under
    // way. However late Clear WX comes, that one at most goes out after it.
    const std::size_t sentBeforeClear = peer.GetWeatherWrites().size();
    window.ui.actionClear_WX->trigger();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return LogText().contains("(ConnectWorker) Weather transfer failed: stopped by Clear WX"); }, 60000))
        << "the log says the transfer was stopped by Clear WX";
    EXPECT_LE(peer.GetWeatherWrites().size(), sentBeforeClear + 1);
}
