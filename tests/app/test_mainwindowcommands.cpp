#include "app/aircraftlamps.h"
#include "loadeditor/aircraftconfigdlg.h"
#include "mainwindowtest.h"
#include "platform/simconnectsim.h"
#include "simlink/connectworker.h"
#include "simlink/fsuipcsimulator.h"
#include "simlink/fsuipctransport.h"
#include "simlink/job.h"
#include "tests/support/modaldialoganswer.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include <tuple>
#include <vector>

namespace {

aviation::structs::CAircraft Sample(bool onGround, int groundSpeed, int altitude, bool lights, bool brake)
{
    aviation::structs::CAircraft aircraft;
    aircraft.onGround = onGround;
    aircraft.groundSpeed = groundSpeed;
    aircraft.altitude = altitude;
    aircraft.landingLights = lights;
    aircraft.parkingBrake = brake;
    return aircraft;
}

QStringList StatusBarTexts(Aerovane_Pro& window)
{
    QStringList texts;
    for (const QLabel* label : window.statusBar()->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

} // namespace

TEST(AircraftLamps, ParkingBrakeAndLandingLightsShowWhereTheyBelong)
{
    const QString green = "background-color:green;";
    const QString red = "background-color:red;";
    const QString none = "background-color: transparent;";
    // on ground, ground speed, altitude, lights; expected landing-light style
    const std::vector<std::tuple<bool, int, int, bool, QString>> lights = {
        {false, 250, 4999, true, green}, {false, 250, 5000, true, none}, {false, 250, 5001, true, red},
        {true, 0, 300, true, red},       {true, 12, 300, false, green},  {true, 0, 300, false, none},
    };
    for (const auto& [onGround, speed, altitude, on, style] : lights) {
        const AircraftLamp lamp = AircraftLamps::LandingLights(Sample(onGround, speed, altitude, on, false));
        EXPECT_EQ(lamp.styleSheet, style) << altitude << " ft, " << speed << " kt";
        EXPECT_EQ(lamp.text, style == none ? "" : "Landing Lights");
    }
    EXPECT_EQ(AircraftLamps::ParkingBrake(Sample(true, 0, 300, false, true)).styleSheet, green);
    EXPECT_EQ(AircraftLamps::ParkingBrake(Sample(true, 5, 300, false, true)).styleSheet, red);
    EXPECT_EQ(AircraftLamps::ParkingBrake(Sample(true, 5, 300, false, false)).styleSheet,
              "background-color:  transparent;");
}

TEST_F(MainWindowTest, IcaoEntriesAreShownInCapitalsAndAnUnknownOneIsMarkedRed)
{
    Aerovane_Pro& window = Window();
    window.OnSetTextToolButtonICAO(QStringLiteral("eddf"));
    EXPECT_EQ(window.ui.action_Set_ICAO_WX->text(), "Set EDDF WX");

    window.ui.lineEditMetarICAO->setText(QStringLiteral("zzzq"));
    window.OnMetarEnter();
    EXPECT_EQ(window.ui.lineEditMetarICAO->text(), "ZZZQ");
    EXPECT_EQ(window.ui.lineEditMetarICAO->styleSheet(), "QLineEdit{background: red;}");
}

TEST_F(MainWindowTest, SetAllWeatherPicksXPlaneThenAutoThenModelFileThenNormal)
{
    using Generation = Aerovane_Pro::AllWeatherGeneration;
    // simulator version, auto mode, model-file mode
    const std::vector<std::tuple<int, bool, bool, Generation>> cases = {
        {9, true, true, Generation::XPlane},   {10, false, false, Generation::XPlane},
        {3, true, true, Generation::AutoMode}, {4, false, true, Generation::ModelFile},
        {3, false, false, Generation::Normal}, {0, false, false, Generation::Normal},
    };
    for (const auto& [version, autoMode, modelFile, expected] : cases) {
        CSettings::SetFSVersion(version);
        CSettings::SetAutoMode(autoMode);
        CSettings::SetModelFileMode(modelFile);
        EXPECT_EQ(Aerovane_Pro::ChooseAllWeatherGeneration(), expected) << version << autoMode << modelFile;
    }
}

TEST_F(MainWindowTest, AircraftSelectorListsProfilesAndFollowsTheSimulatorsAircraft)
{
    QDir().mkpath(ProgramFile("AircraftConfigs"));
    {
        QSettings profile(ProgramFile("AircraftConfigs/Boeing_737-800.cfg"), QSettings::IniFormat);
        profile.setValue("Name", "Boeing 737-800");
    }
    QFile(ProgramFile("AircraftConfigs/notes.txt")).open(QIODevice::WriteOnly);

    Aerovane_Pro& window = Window();
    auto* combo = window.ui.toolBar->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "Select Aircraft");
    EXPECT_EQ(combo->itemText(1), "Boeing 737-800");

    aviation::structs::CAircraftDetail detail;
    detail.name = L"Boeing 737-800";
    window.OnUpdateAircraftDetails(detail);
    EXPECT_EQ(combo->currentIndex(), 1);

    // A profile saved in the Aircraft Editor is the selected one afterwards, and the planner's.
    ModalDialogAnswer<CAircraftConfigDlg> editor([](CAircraftConfigDlg& dialog) {
        dialog.lineEdit_AircraftName->setText("Airbus A320");
        dialog.lineEdit_CruiseSpeed->setText("447");
        dialog.OnSave();
        return true;
    });
    window.ui.actionDlgAircraft_Config->trigger();
    ASSERT_EQ(editor.Answered(), 1);
    EXPECT_EQ(combo->currentText(), "Airbus A320");
    EXPECT_EQ(window.ui.tab_flightplanner->GetAircraft().cruiseSpeed, 447);
}

TEST_F(MainWindowTest, ConnectTurnsTheActionIntoDisconnectAndClearsTheWeatherOncePerRun)
{
    Aerovane_Pro& window = Window();
    window.OnButtonConnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
    EXPECT_EQ(window.ui.actionConnect_to_FS->text(), "Disconnect");
    EXPECT_TRUE(window.ui.actionClear_WX->isEnabled());

    window.OnDownloadWX();
    window.OnButtonConnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.IsConnected(); }, 10000)) << "disconnected";
    EXPECT_EQ(window.ui.actionConnect_to_FS->text(), "Connect");
    EXPECT_FALSE(window.ui.action_Set_all_WX->isEnabled());
    // A second click while the connect runs is no disconnect; the loaded weather can be set again at once.
    window.OnButtonConnect();
    window.OnButtonConnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected again";
    QTest::qWait(500);
    EXPECT_TRUE(window.IsConnected());
    EXPECT_TRUE(window.ui.action_Set_all_WX->isEnabled());
    EXPECT_EQ(peer.GetMessages(LinkWrit, LinkSubCode::ClearWeather).size(), 1u);
}

TEST_F(MainWindowTest, DisconnectShowsNotConnectedOnEveryLinkType)
{
    aviation::IPC::CFSUIPCSimulator fsuipc(aviation::IPC::CFSUIPCSimulator::Kind::FSX);
    aviation::IPC::CScopedFSUIPCTransport transport(fsuipc);
    platform::simconnect::Reset("fsx");
    for (int type : {1, 2, 3, 4}) {
        SCOPED_TRACE(type);
        CSettings::SetInterfaceType(type);
        Aerovane_Pro window;
        window.OnButtonConnect();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
        window.OnButtonConnect();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.IsConnected(); }, 10000)) << "disconnected";
        EXPECT_TRUE(QTest::qWaitFor([&] { return StatusBarTexts(window).contains("not connected"); }, 10000))
            << "the status bar says \"not connected\": " << StatusBarTexts(window).join('|').toStdString();
    }
    platform::simconnect::Reset(platform::simconnect::SimulatorFromEnvironment());
}

TEST_F(MainWindowTest, AFailedAutomaticConnectIsTriedAgainAfterAPauseOnly)
{
    CSettings::SetAutoConnectFS(true);
    peer.Stop();
    QElapsedTimer sinceBuilt;
    sinceBuilt.start();
    Aerovane_Pro& window = Window();
    // The start-up connects a second after the window was built; the retry comes five seconds after the failure.
    // However late the look below comes, there is no more than one try for each pause since the window was built;
    // a retry without the pause would have made many in the second watched here.
    ASSERT_TRUE(QTest::qWaitFor([&] { return LogText().contains("(ConnectWorker) Connect failed: "); }, 30000))
        << "the start-up's connect failed";
    QTest::qWait(1000);
    EXPECT_FALSE(window.IsConnected());
    EXPECT_EQ(window.ui.actionConnect_to_FS->text(), "Auto Connect");
    const int tries = LogText().count("(ConnectWorker) trying to connect");
    EXPECT_LE(tries, 1 + sinceBuilt.elapsed() / Aerovane_Pro::kAutoConnectRetryMs);
}

TEST_F(MainWindowTest, CloseLogsToTheFileOnlyAndSavesTheLayout)
{
    Aerovane_Pro& window = Window();
    window.show();
    window.close();
    EXPECT_TRUE(LogText().contains(" - (Main) Close\n"));
    EXPECT_FALSE(window.ui.textEditDebug->toPlainText().contains("(Main) Close"));
    EXPECT_EQ(window.GetConnectWorker(), nullptr);
    EXPECT_EQ(window.GetDownloader(), nullptr);
    CSettings::Release();
    QSettings file(QStringLiteral("aerovane_pro.ini"), QSettings::IniFormat);
    for (const char* key : {"gui/mainState", "gui/mainGeometry", "gui/splittermain", "gui/splitterbottom"})
        EXPECT_TRUE(file.contains(key)) << key;
}

TEST_F(MainWindowTest, ClosingDuringAStalledDownloadEndsTheDownloadAndLeavesNoTimerBehind)
{
    server.SetFailure(QStringLiteral("/weather_vatsim.gz"), tools::WxServer::Failure::Stall);
    Aerovane_Pro& window = Window();
    window.show();
    window.OnButtonConnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";

    bool downloadReturned = false;
    QTimer::singleShot(0, &window, [&] {
        QTimer::singleShot(300, &window, &QWidget::close);
        window.OnDownloadWX();
        downloadReturned = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloadReturned; }, 10000)) << "the download returned";
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.GetConnectWorker(), nullptr);
    // The wind and simulation timers would reach the connection thread now if they still ran.
    QTest::qWait(1200);
    EXPECT_TRUE(LogText().contains("(Main) Close"));
}

// Set all WX pressed four times on the tool bar while the grid server stalls: the button is off from the first press
// on and the worker turns Set ICAO WX away, so one generation asks for the grid once. The link that comes back in
// the wait leaves the button off, and the commands that would load other weather are off as well. The records
// reach the simulator once the grid is given up, and the commands are back for the next press, which generates again.
TEST_F(MainWindowTest, SetAllWeatherPressedDuringAStalledGridGeneratesOnceAndThenAgain)
{
    Aerovane_Pro& window = Window();
    window.show();
    QWidget& setAll = *window.ui.toolBar->widgetForAction(window.ui.action_Set_all_WX);
    QWidget& setIcao = *window.ui.toolBar->widgetForAction(window.ui.action_Set_ICAO_WX);
    const QList<QAction*> weatherCommands = {window.ui.action_Set_all_WX, window.ui.actionDownload_WX,
                                             window.ui.actionDownload_History_WX, window.ui.actionLoad_WX_from_file};
    window.OnDownloadWX();
    window.OnButtonConnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.ui.action_Set_ICAO_WX->text() == "Set EDDF WX"; }, 60000))
        << "the aircraft read and its nearest report shown";
    // The stalled grid request is given up by the program's own limits, half a minute on.
    server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::Stall);
    server.ClearRequests();
    peer.ClearFrames();

    QList<bool> enabledInTheWait;
    const QMetaObject::Connection pressesInTheWait
        = QObject::connect(&server, &tools::WxServer::RequestServed, &window, [&] {
              QTimer::singleShot(0, &window, [&] {
                  if (!enabledInTheWait.isEmpty())
                      return;
                  for (int press = 0; press < 4; ++press) {
                      enabledInTheWait << setAll.isEnabled();
                      QTest::mouseClick(&setAll, Qt::LeftButton);
                  }
                  QTest::mouseClick(&setIcao, Qt::LeftButton);
                  window.OnThreadSignalJobFinished(JobConnect, QString());
                  for (const QAction* command : weatherCommands)
                      enabledInTheWait << command->isEnabled();
              });
          });
    QTest::mouseClick(&setAll, Qt::LeftButton);
    QObject::disconnect(pressesInTheWait);
    EXPECT_EQ(enabledInTheWait, QList<bool>({false, false, false, false, false, false, false, false}));
    EXPECT_EQ(server.Requests().filter(QStringLiteral("get_grib")).size(), 1)
        << server.Requests().join('\n').toStdString();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return LogText().count("(WeatherManager) Weather generation under way") == 1; }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !peer.GetWeatherWrites().empty(); }, 60000)) << "records written";
    for (const QAction* command : weatherCommands)
        EXPECT_TRUE(command->isEnabled()) << command->objectName().toStdString();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.GetConnectWorker()->IsSendingWeather(); }, 60000))
        << "the transfer ended";
    peer.ClearFrames();
    QTest::mouseClick(&setAll, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !peer.GetWeatherWrites().empty(); }, 60000)) << "generated again";
}
