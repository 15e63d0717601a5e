#include "dialogs/dialogoption.h"
#include "dialogs/wxfiledialog.h"
#include "generation/weatherworker.h"
#include "loadeditor/aircraftconfigdlg.h"
#include "mainwindowtest.h"
#include "recorder/tab_flightrecorder.h"
#include "tests/support/modaldialoganswer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <vector>

namespace {

const QString kMetars = "EDDF 040650Z 24008KT 9999 FEW030 12/07 Q1018\n"
                        "EGLL 040650Z 23012KT 9999 SCT025 13/08 Q1016\n"
                        "LFPG 040700Z 22010KT CAVOK 14/06 Q1017\n";
// The store reads reports up to their "=" and gives each back with "=" and a line end.
const QString kSynops = "AAXX 31001 78310 01470 70303 10250 20214 30094 40104 56004 60111 70398 8597/=\n"
                        "AAXX 31001 78315 01462 70402 10233 20228 30037 40102 58001 60011 79598 8597/";

class TabCommandsTest : public MainWindowTest
{
protected:
    // The pages of the View menu with their action and setting.
    struct PageRow
    {
        QWidget* page;
        QTabWidget* tabs;
        QAction* action;
        std::function<bool()> setting;
    };
    std::vector<PageRow> Pages(Aerovane_Pro& w)
    {
        return {
            {w.ui.tab_recorder, w.ui.tabWidgetMain, w.ui.actionViewFlight_Recorder,
             &CSettings::GetShowTabFlightRecorder},
            {w.ui.tab_flightplanner, w.ui.tabWidgetMain, w.ui.actionViewFlight_planner,
             &CSettings::GetShowTabFlightPlanner},
            {w.ui.tab_LoadEditor, w.ui.tabWidgetMain, w.ui.actionViewLoad_Editor, &CSettings::GetShowTabLoadEditor},
            {w.ui.tab_Weather, w.ui.tabWidgetMain, w.ui.actionViewWeather, &CSettings::GetShowTabWeather},
            {w.ui.tab_FlightData, w.ui.tabWidget_Output, w.ui.actionViewFlight_Data, &CSettings::GetShowTabFlightData},
            {w.ui.tab_Debug, w.ui.tabWidget_Output, w.ui.actionViewDebug, &CSettings::GetShowTabDebug},
        };
    }

    Aerovane_Pro& ConnectedWindow()
    {
        Aerovane_Pro& window = Window();
        window.OnButtonConnect();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
        return window;
    }

    // The log written from the mark on, once the awaited text appeared in it (a failure when it does not).
    QString LogAfter(int mark, const QString& awaited)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return LogText().mid(mark).contains(awaited); }, 60000))
            << "the log did not say " << awaited.toStdString();
        return LogText().mid(mark);
    }
};

} // namespace

TEST_F(TabCommandsTest, ViewWeatherRemovesThePageAndBringsItBackLastAndCurrent)
{
    Aerovane_Pro& window = Window();
    QTabWidget* tabs = window.ui.tabWidgetMain;
    ASSERT_GE(tabs->indexOf(window.ui.tab_Weather), 0);

    window.ui.actionViewWeather->trigger();
    EXPECT_EQ(tabs->indexOf(window.ui.tab_Weather), -1);
    EXPECT_FALSE(window.ui.actionViewWeather->isChecked());
    EXPECT_FALSE(CSettings::GetShowTabWeather());

    window.OnTabShowWeather();
    EXPECT_EQ(tabs->indexOf(window.ui.tab_Weather), tabs->count() - 1);
    EXPECT_EQ(tabs->currentWidget(), window.ui.tab_Weather);
    EXPECT_TRUE(window.ui.actionViewWeather->isChecked());
    EXPECT_TRUE(CSettings::GetShowTabWeather());
}

TEST_F(TabCommandsTest, OutputAreaCollapsesWithoutPagesAndReturnsWithOne)
{
    Aerovane_Pro& window = Window();
    window.OnTabShowFlightData();
    EXPECT_EQ(window.ui.tabWidget_Output->maximumHeight(), 160);
    window.OnTabShowDebug();
    EXPECT_EQ(window.ui.tabWidget_Output->count(), 0);
    EXPECT_EQ(window.ui.tabWidget_Output->maximumHeight(), 0);
    window.OnTabShowDebug();
    EXPECT_EQ(window.ui.tabWidget_Output->maximumHeight(), 160);
    EXPECT_EQ(window.ui.tabWidget_Output->tabText(0), "Debug");
    EXPECT_FALSE(CSettings::GetShowTabFlightData());
    EXPECT_TRUE(CSettings::GetShowTabDebug());
}

TEST_F(TabCommandsTest, RestoreTabsAppliesTheSixSettings)
{
    // Per page in restore order (recorder, planner, load editor, weather, flight data, debug): shown before, and
    // the stored setting.
    struct Case
    {
        std::vector<bool> shownBefore;
        std::vector<bool> setting;
    };
    const std::vector<Case> cases = {
        {{true, true, true, true, true, true}, {true, true, true, true, true, true}},
        {{true, true, true, true, true, true}, {true, true, true, true, true, false}},
        {{false, true, false, true, true, false}, {true, true, false, false, true, true}},
    };
    Aerovane_Pro& window = Window();
    const std::vector<PageRow> pages = Pages(window);
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const int index = pages[i].tabs->indexOf(pages[i].page);
            if (!c.shownBefore[i] && index >= 0)
                pages[i].tabs->removeTab(index);
            else if (c.shownBefore[i] && index < 0)
                pages[i].tabs->addTab(pages[i].page, QStringLiteral("page"));
            pages[i].action->setChecked(false);
        }
        CSettings::SetShowTabFlightRecorder(c.setting[0]);
        CSettings::SetShowTabFlightPlanner(c.setting[1]);
        CSettings::SetShowTabLoadEditor(c.setting[2]);
        CSettings::SetShowTabWeather(c.setting[3]);
        CSettings::SetShowTabFlightData(c.setting[4]);
        CSettings::SetShowTabDebug(c.setting[5]);
        const int mainCount = window.ui.tabWidgetMain->count();
        const int outputCount = window.ui.tabWidget_Output->count();

        window.RestoreTabs();
        for (std::size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(pages[i].tabs->indexOf(pages[i].page) >= 0, c.setting[i]) << i;
            EXPECT_EQ(pages[i].action->isChecked(), c.setting[i]) << i;
            EXPECT_EQ(pages[i].setting(), c.setting[i]) << i;
        }
        if (c.shownBefore == c.setting) {
            EXPECT_EQ(window.ui.tabWidgetMain->count(), mainCount);
            EXPECT_EQ(window.ui.tabWidget_Output->count(), outputCount);
        }
    }
}

TEST_F(TabCommandsTest, PageHiddenInTheLastRunStaysHiddenAfterTheStart)
{
    CSettings::SetShowTabDebug(false);
    Aerovane_Pro& window = Window();
    // The start-up sequence, a second after the window was built, restores the pages.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.ui.tabWidget_Output->indexOf(window.ui.tab_Debug) < 0; }, 30000))
        << "the debug page hidden";
    EXPECT_FALSE(window.ui.actionViewDebug->isChecked());
    EXPECT_GE(window.ui.tabWidget_Output->indexOf(window.ui.tab_FlightData), 0);
}

TEST_F(TabCommandsTest, StayOnTopFollowsTheSettingNotTheAction)
{
    Aerovane_Pro& window = Window();
    window.show();
    ASSERT_FALSE(CSettings::GetStayOnTop());
    for (const bool onTop : {true, false}) {
        // The action was put into the new state before; the setting still says the old one.
        window.ui.actionViewStay_On_Top->setChecked(!onTop);
        window.ui.actionViewStay_On_Top->trigger();
        EXPECT_EQ(CSettings::GetStayOnTop(), onTop);
        EXPECT_EQ(window.ui.actionViewStay_On_Top->isChecked(), onTop);
        EXPECT_EQ(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        EXPECT_TRUE(window.isVisible());
    }
}

TEST_F(TabCommandsTest, WindowStartedWithAutostartRecordsAtOnce)
{
    CSettings::SetFlightAutoStart(true);
    Aerovane_Pro& window = Window();
    EXPECT_TRUE(window.ui.tab_recorder->IsRecording());
    EXPECT_TRUE(window.ui.checkBox_record_autostart->isChecked());
    EXPECT_EQ(window.ui.pushButton_record->text(), "Stop Recorder Flight");
}

TEST_F(TabCommandsTest, RecorderResetWhileRecordingStopsAndAsksForFuelAndDetails)
{
    Aerovane_Pro& window = ConnectedWindow();
    window.OnTabFlightRecorderStartStopRecord();
    window.ui.lineEdit_FlightStatus->setText("Taxi");
    const int mark = LogText().size();

    window.ui.pushButton_resetflight->click();
    EXPECT_FALSE(window.ui.tab_recorder->IsRecording());
    EXPECT_EQ(window.ui.pushButton_record->text(), "Start Recorder Flight");
    EXPECT_TRUE(window.ui.lineEdit_FlightStatus->text().isEmpty());
    const QString log = LogAfter(mark, "New Job - Get AC-Details");
    EXPECT_LT(log.indexOf("New Job - Get Fuel"), log.indexOf("New Job - Get AC-Details"));
    EXPECT_GE(log.indexOf("New Job - Get Fuel"), 0);
}

TEST_F(TabCommandsTest, MainTabChangeAsksTheSimulatorForThePagesData)
{
    Aerovane_Pro& window = ConnectedWindow();
    int mark = LogText().size();
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_LoadEditor);
    LogAfter(mark, "New Job - Get Payload");

    mark = LogText().size();
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_recorder);
    const QString log = LogAfter(mark, "New Job - Get AC-Details");
    EXPECT_TRUE(log.contains("New Job - Get Fuel"));
}

TEST_F(TabCommandsTest, AcceptedLoadsGoFuelFirstThenPayloadAndTheFirstPageReturns)
{
    Aerovane_Pro& window = ConnectedWindow();
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_LoadEditor);
    int mark = LogText().size();
    window.OnTabLoadEditorAccept();
    EXPECT_EQ(window.ui.tabWidgetMain->currentIndex(), 0);
    const QString log = LogAfter(mark, "New Job - Set Payload");
    ASSERT_GE(log.indexOf("New Job - Set Fuel"), 0);
    EXPECT_LT(log.indexOf("New Job - Set Fuel"), log.indexOf("New Job - Set Payload"));

    // Disconnected, nothing is queued: the writes would only be dropped at the next connect.
    window.OnButtonConnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.IsConnected(); }, 10000)) << "disconnected";
    mark = LogText().size();
    window.OnTabLoadEditorAccept();
    QTest::qWait(300); // time for a queued job's log line
    EXPECT_FALSE(LogText().mid(mark).contains("New Job - Set"));
}

TEST_F(TabCommandsTest, LoadDialogAcceptedWithoutAFileKeepsTheWeather)
{
    Aerovane_Pro& window = Window();
    CWeatherWorker* worker = window.GetWeatherWorker();
    worker->LoadWeatherFromText(kMetars, QString(), QString());
    worker->SetWeatherSource(WeatherDataLive);
    ModalDialogAnswer<WxFileDialog> answer([](WxFileDialog& dialog) {
        EXPECT_EQ(dialog.GetMode(), WxFileDialog::Load);
        EXPECT_TRUE(dialog.GetMetar().isEmpty() && dialog.GetSynop().isEmpty() && dialog.GetGrib().isEmpty());
        return true;
    });

    window.ui.actionLoad_WX_from_file->trigger();
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(worker->GetWeatherSource(), WeatherDataLive);
    EXPECT_EQ(worker->GetWeatherManager()->aviation::weather::CMetarManager::GetCount(), 3);
}

TEST_F(TabCommandsTest, SaveDialogGetsEveryLoadedReportWithItsSeparator)
{
    Aerovane_Pro& window = Window();
    window.GetWeatherWorker()->LoadWeatherFromText(kMetars, kSynops, QString());
    QString metar, synop;
    ModalDialogAnswer<WxFileDialog> answer([&](WxFileDialog& dialog) {
        EXPECT_EQ(dialog.GetMode(), WxFileDialog::Save);
        metar = dialog.GetMetar();
        synop = dialog.GetSynop();
        return false;
    });

    window.ui.actionSave_WX->trigger();
    ASSERT_EQ(answer.Answered(), 1);
    EXPECT_EQ(metar, kMetars);
    EXPECT_EQ(synop, kSynops + "=\n");
}

TEST_F(TabCommandsTest, AircraftEditorClosingListsNewProfiles)
{
    Aerovane_Pro& window = Window();
    auto* combo = window.ui.toolBar->findChild<QComboBox*>();
    ASSERT_TRUE(combo);
    ASSERT_EQ(combo->count(), 1);
    ModalDialogAnswer<CAircraftConfigDlg> answer([&](CAircraftConfigDlg&) {
        // What the editor saves while it is open.
        QDir(ProgramFolderPath()).mkpath("AircraftConfigs");
        QFile profile(ProgramFile("AircraftConfigs/Airbus_A320.cfg"));
        profile.open(QIODevice::WriteOnly);
        return true;
    });

    window.ui.actionDlgAircraft_Config->trigger();
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(window.findChildren<CAircraftConfigDlg*>().size(), 0);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "Airbus A320");
}

TEST_F(TabCommandsTest, OptionsDialogIsGoneAfterItClosesAndTheWindControlFollowsTheSetting)
{
    Aerovane_Pro& window = Window();
    for (const bool dwc : {false, true}) {
        ModalDialogAnswer<DialogOption> answer([&](DialogOption& dialog) {
            dialog.findChild<QCheckBox*>(QStringLiteral("checkBox_DirectWindControl"))->setChecked(dwc);
            return true;
        });
        window.ui.actionPreference->trigger();
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_TRUE(window.findChildren<DialogOption*>().isEmpty());
        EXPECT_EQ(window.ui.tableViewDirectWindControl->isEnabled(), dwc);
    }
}
