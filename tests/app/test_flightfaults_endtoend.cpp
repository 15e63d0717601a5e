// The window meeting faults in flight: a bridge peer stopped mid-transfer and restarted, the user's disconnect, a
// close during a transfer, termination signals and a settings file of hostile numbers.
#include "app/aerovane_pro_signals.h"
#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "simlink/connectworker.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <csignal>

namespace {

class LinkFaultsEndToEnd : public MainWindowTest
{
protected:
    // Connected, the aircraft read, the live weather downloaded.
    Aerovane_Pro& FlyingWindow()
    {
        CSettings::SetNormalMode(true);
        CSettings::SetWeatherRadius(480);
        Aerovane_Pro& window = Window();
        window.show();
        window.ui.actionConnect_to_FS->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return window.GetConnectWorker()->GetAircraft().GetLatitude() != 0.0; }, 30000))
            << "the aircraft read";
        window.ui.actionDownload_WX->trigger();
        return window;
    }

    static bool StatusShows(Aerovane_Pro& window, const QString& text)
    {
        const QList<QLabel*> labels = window.ui.statusBar->findChildren<QLabel*>();
        return std::any_of(labels.begin(), labels.end(), [&](QLabel* label) { return label->text() == text; });
    }
};

} // namespace

TEST_F(LinkFaultsEndToEnd, PeerStoppedMidTransferAndRestartedIsReconnectedAndSentNewWeather)
{
    CSettings::SetAutoConnectFS(true);
    CSettings::SetPauseBetweenWXStation(40);
    Aerovane_Pro& window = FlyingWindow();
    ASSERT_TRUE(window.IsConnected());
    const quint16 port = peer.GetPort();
    window.ui.action_Set_all_WX->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer.GetWeatherWrites().size() >= 5; }, 10000)) << "five records sent";

    peer.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.IsConnected(); }, 60000)) << "the lost link noticed";
    EXPECT_TRUE(StatusShows(window, "not connected"));
    EXPECT_EQ(window.ui.actionConnect_to_FS->text(), "Connect");
    EXPECT_FALSE(window.ui.action_Set_all_WX->isEnabled());
    EXPECT_TRUE(window.ui.lineEdit_doors->text().isEmpty());

    peer.ClearFrames();
    ASSERT_TRUE(peer.Start(port));
    // The automatic connect tries again five seconds after the failed attempt.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 60000)) << "reconnected";
    const QString logAtReconnect = LogText();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !peer.GetWeatherWrites().empty(); }, 30000))
        << "the scheduler sends the weather again at its next tick";

    EXPECT_EQ(logAtReconnect.count("(ConnectWorker) Connection to the simulator lost: "), 1);
    EXPECT_TRUE(logAtReconnect.contains("(ConnectWorker) Weather transfer failed: connection lost"));
    EXPECT_FALSE(logAtReconnect.contains("Weather transfer Complete"));
    EXPECT_TRUE(logAtReconnect.contains("Connected to Aerovane Server, Sim:FSX")
                || logAtReconnect.contains("(Client) - FS Version: FSX"));
}

TEST_F(LinkFaultsEndToEnd, AfterTheUsersDisconnectWeatherCommandsAnswerNotConnected)
{
    Aerovane_Pro& window = FlyingWindow();
    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.IsConnected(); }, 10000)) << "disconnected";
    EXPECT_TRUE(QTest::qWaitFor([&] { return StatusShows(window, "not connected"); }, 60000))
        << "the status bar says \"not connected\"";
    EXPECT_FALSE(window.ui.action_Set_all_WX->isEnabled());

    peer.ClearFrames();
    window.OnSetAllWX();
    EXPECT_TRUE(StatusShows(window, "not connected"));
    QTest::qWait(200);
    EXPECT_TRUE(peer.GetWeatherWrites().empty());
}

// The transfer ends between two records; the close request itself never waits for it.
TEST_F(LinkFaultsEndToEnd, CloseDuringATransferEndsItQuicklyWithoutFreezingTheWindow)
{
    CSettings::SetPauseBetweenWXStation(2000);
    Aerovane_Pro& window = FlyingWindow();
    window.ui.action_Set_all_WX->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !peer.GetWeatherWrites().empty(); }, 30000)) << "the first record sent";

    // The records left take minutes of pauses: a close that waited for them would take that long; one that does not
    // returns well within ten seconds, however loaded the machine.
    QElapsedTimer closing;
    closing.start();
    window.close();
    EXPECT_LT(closing.elapsed(), 10000) << "the close request waited for the transfer";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 60000)) << "the window closed";
    EXPECT_LT(peer.GetWeatherWrites().size(), 60u) << "the transfer went on after the close";
    EXPECT_TRUE(LogText().contains("(Main) Close"));
}

// Every number key (but the link's type and port) at an extreme, zero or text: the window starts on a screen,
// connects, generates in each mode and closes; the sanitizer builds report any overflow on the way. The tip dialog
// stays off as in every window test: on a slow machine the start-up runs before the close and would wait for it.
TEST_F(LinkFaultsEndToEnd, HostileSettingsNumbersStartGenerateInEveryModeAndClose)
{
    const QByteArray keys = "general/logfilenumber general/maxlogfilenumber weather/modelfileSize "
                            "weather/ServerLocation weather/metarfeed weather/maxCloudLayers weather/CavokBase "
                            "weather/CavokCoverage weather/maxVisibility weather/minVisibilityMetar9999 "
                            "weather/minVisibility weather/windDwcDegreesPerSecond weather/windDwcKnotsPerSecond "
                            "weather/updateInterval weather/weatherradius weather/noUpdateInApproachHeight "
                            "weather/XPUpdateDist weather/XPUpdateTime";
    for (const char* value : {"2147483647", "-2147483647", "0", "many"}) {
        SCOPED_TRACE(value);
        QByteArray general = "[%General]\n";
        QByteArray weather = "[weather]\n";
        for (const QByteArray& key : keys.split(' '))
            (key.startsWith("general/") ? general : weather) += key.mid(key.indexOf('/') + 1) + '=' + value + '\n';
        CSettings::Release();
        QFile ini(QStringLiteral("aerovane_pro.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(general + weather + "[interface]\ntype=4\nServerPort=" + QByteArray::number(peer.GetPort())
                  + "\nPauseBetweenWXStation=" + value + "\n[gui]\nmainGeometry=@Rect(-30000 -30000 814 642)\n"
                  + "[info]\nshowtipdialog=false\n");
        ini.close();

        Aerovane_Pro window;
        window.show();
        EXPECT_FALSE(QGuiApplication::primaryScreen()->availableGeometry().intersected(window.geometry()).isEmpty());
        window.ui.actionConnect_to_FS->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
        window.ui.actionDownload_WX->trigger();
        CWeatherWorker& worker = *window.GetWeatherWorker();
        worker.GenerateFSWeather(QString());
        worker.GenerateFSWeatherAutoMode();
        worker.SetThemeLoadDelay(1);
        worker.GenerateFSWeatherModelFile();
        worker.GenerateXPlaneWeather();
        worker.GenerateXPLaneWind();
        window.close();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 60000)) << "the window closed";
    }
}

// The log ends with "(Main) Close", which the next start looks for before it offers to send a crashed run's log.
TEST_F(LinkFaultsEndToEnd, TerminationSignalsCloseTheWindowAsAClose)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        Aerovane_Pro window;
        new TerminationSignals(&window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 60000)) << "the window shown";
        std::raise(signal);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 60000)) << "the window closed";
        EXPECT_TRUE(LogText().contains("(Main) Close"));
    }
}

// The end of a download (0, 0) leaves the bar at an idle 0 %, not in the busy mode an empty range draws.
TEST_F(LinkFaultsEndToEnd, TheEndOfADownloadLeavesTheProgressBarIdle)
{
    Aerovane_Pro& window = Window();
    QProgressBar* bar = window.ui.statusBar->findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    window.OnUpdateProgress(qint64{4000}, qint64{-1});
    ASSERT_EQ(bar->maximum(), 0);
    window.OnUpdateProgress(qint64{0}, qint64{0});
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
}
