#include "forms/mainwindowform.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QSet>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

// The form's images are compiled into a static library, which registers them only when asked to.
static void RegisterFormImages()
{
    Q_INIT_RESOURCE(images);
}

namespace {

// The window the program builds is a QMainWindow with the form set up in it; these tests use a bare one.
class MainWindowFormTest : public ::testing::Test
{
protected:
    MainWindowFormTest()
    {
        RegisterFormImages();
        ui.setupUi(&window);
    }

    QMainWindow window;
    Ui::Aerovane_ProClass ui{};
};

// The object names of a menu's or tool bar's entries, "-" for a separator, separated by blanks.
QString Entries(const QWidget* widget)
{
    QStringList names;
    for (const QAction* action : widget->actions())
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return names.join(' ');
}

} // namespace

TEST_F(MainWindowFormTest, WindowIsNamedSizedAndTitled)
{
    EXPECT_EQ(window.objectName(), "Aerovane_ProClass");
    EXPECT_EQ(window.size(), QSize(967, 772));
    EXPECT_EQ(window.minimumSize(), QSize(500, 400));
    EXPECT_EQ(window.windowTitle(), "Aerovane Pro");

    QMainWindow named;
    named.setObjectName("Aerovane_Pro");
    Ui::Aerovane_ProClass other{};
    other.setupUi(&named);
    EXPECT_EQ(named.objectName(), "Aerovane_Pro");
}

// The window's slots and the pages find these widgets by page, class and container.
TEST_F(MainWindowFormTest, PagesAndProgramClassesSitWhereTheyAreLookedFor)
{
    const QStringList mainTabs = {"Weather", "Flight Planner", "Load Editor", "Flight Recorder"};
    ASSERT_EQ(ui.tabWidgetMain->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ui.tabWidgetMain->tabText(i), mainTabs[i]);
    EXPECT_EQ(ui.tabWidget_Output->tabText(0), "Flight Data");
    EXPECT_EQ(ui.tabWidget_Output->tabText(1), "Debug");
    EXPECT_EQ(ui.tabWidgetMain->currentIndex(), 0);
    EXPECT_EQ(ui.tabWidget_Output->currentIndex(), 0);

    EXPECT_EQ(dynamic_cast<CTab_Flightplanner*>(ui.tabWidgetMain->widget(1)), ui.tab_flightplanner);
    EXPECT_EQ(dynamic_cast<CTab_LoadEditor*>(ui.tabWidgetMain->widget(2)), ui.tab_LoadEditor);
    EXPECT_EQ(dynamic_cast<CTab_Flightrecorder*>(ui.tabWidgetMain->widget(3)), ui.tab_recorder);
    EXPECT_EQ(dynamic_cast<CWXStatusBar*>(window.statusBar()), ui.statusBar);
    const std::vector<std::pair<QWidget*, QWidget*>> inside = {{ui.tableViewLevelInfo, ui.tab_Weather},
                                                               {ui.tableView_waypoints, ui.groupBox_4},
                                                               {ui.tableViewAircraftData, ui.tab_FlightData},
                                                               {ui.tableViewDirectWindControl, ui.tab_FlightData},
                                                               {ui.widget_ScrollMainFuel, ui.scrollArea_fuel},
                                                               {ui.widget_ScrollMainPayload, ui.scrollArea_2},
                                                               {ui.lineEdit_Dep, ui.tab_flightplanner},
                                                               {ui.lineEdit_FlightStatus, ui.tab_recorder},
                                                               {ui.textEditDebug, ui.tab_Debug},
                                                               {ui.tabWidget_Output, ui.splitterBottom}};
    for (const auto& [widget, container] : inside)
        EXPECT_TRUE(container->isAncestorOf(widget)) << widget->objectName().toStdString();
    EXPECT_EQ(window.findChild<CTableViewWaypoint*>("tableView_waypoints"), ui.tableView_waypoints);
}

TEST_F(MainWindowFormTest, FieldsStartWithTheirLimitsAndStates)
{
    const std::vector<std::pair<QLineEdit*, int>> limits = {{ui.lineEditMetarICAO, 4},
                                                            {ui.lineEdit_Dep, 4},
                                                            {ui.lineEdit_Arrival, 4},
                                                            {ui.lineEdit_CruiseAlt, 5},
                                                            {ui.lineEdit_Altinate, 32767}};
    for (const auto& [edit, maxLength] : limits)
        EXPECT_EQ(edit->maxLength(), maxLength) << edit->objectName().toStdString();
    for (QWidget* off : {ui.pushButton_Calculate, ui.pushButton, ui.pushButton_resetflight})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    EXPECT_EQ(ui.pushButton->text(), "coming soon");
    EXPECT_EQ(ui.lineEdit_FlightStatus->text(), "Boarding");
    EXPECT_TRUE(ui.pushButton_Apply->isDefault());
    // The load editor builds its rows into these; they arrive without a layout or children.
    for (QWidget* host : {ui.widget_ScrollMainFuel, ui.widget_ScrollMainPayload})
        EXPECT_TRUE(host->layout() == nullptr && host->children().isEmpty());
}

TEST_F(MainWindowFormTest, ActionsStartEnabledUncheckedAndWithTheirShortcuts)
{
    const QList<QAction*> actions = window.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(actions.size(), 25);
    for (const QAction* action : actions) {
        const bool disabled = action == ui.actionViewUserButtons || action == ui.actionViewWeather;
        EXPECT_EQ(action->isEnabled(), !disabled) << action->objectName().toStdString();
        EXPECT_FALSE(action->isChecked()) << action->objectName().toStdString();
    }

    const std::vector<std::pair<QAction*, std::pair<const char*, const char*>>> commands
        = {{ui.actionDownload_WX, {"&Download WX", "Ctrl+D"}},
           {ui.action_Set_all_WX, {"&Set all WX", "Ctrl+S"}},
           {ui.actionExit, {"&Exit", "Ctrl+F4"}},
           {ui.actionDownload_History_WX, {"Download &History WX", "Ctrl+H"}},
           {ui.actionClear_WX, {"Clear WX", "Ctrl+Shift+C"}},
           {ui.actionSave_WX, {"Save WX", ""}}};
    for (const auto& [action, textAndKeys] : commands) {
        EXPECT_EQ(action->text(), textAndKeys.first);
        EXPECT_EQ(action->shortcut(), QKeySequence(textAndKeys.second)) << textAndKeys.first;
    }
    EXPECT_EQ(ui.actionClear_WX->toolTip(), "Clears the weather in the flight simulator");
}

TEST_F(MainWindowFormTest, MenusAndToolBarListTheirCommandsInOrder)
{
    const QList<QAction*> bar = ui.menuBar->actions();
    ASSERT_EQ(bar.size(), 4);
    EXPECT_EQ(bar[0], ui.menu_Aerovane->menuAction());
    EXPECT_EQ(bar[3], ui.menuInfo->menuAction());
    EXPECT_EQ(Entries(ui.menu_Aerovane),
              "actionDownload_WX actionDownload_History_WX actionLoad_WX_from_file "
              "actionSave_WX - actionPreference actionSimple_Configurator - actionExit");
    EXPECT_EQ(Entries(ui.menuView),
              "actionViewWeather actionViewFlight_planner actionViewLoad_Editor "
              "actionViewFlight_Recorder - actionViewDebug actionViewFlight_Data - "
              "actionViewUserButtons - actionViewStay_On_Top");
    EXPECT_EQ(Entries(ui.menuWX_Tools), "actionClear_WX actionWX_Finder");
    EXPECT_EQ(Entries(ui.menuInfo), "actionAbout actionWiki_Manuel actionShow_Tips");

    EXPECT_EQ(Entries(ui.toolBar),
              "- actionDownload_WX - action_Set_all_WX - action_Set_ICAO_WX - actionClear_WX - "
              "actionRefresh_AI - actionDlgAircraft_Config - actionConnect_to_FS");
    EXPECT_EQ(ui.toolBar->toolButtonStyle(), Qt::ToolButtonTextOnly);
    EXPECT_EQ(ui.toolBar->iconSize(), QSize(30, 30));
    EXPECT_TRUE(ui.toolBar->isMovable());
    EXPECT_FALSE(ui.toolBar->isFloatable());
    for (const QAction* toolOnly : {ui.action_Set_all_WX, ui.action_Set_ICAO_WX, ui.actionRefresh_AI,
                                    ui.actionDlgAircraft_Config, ui.actionConnect_to_FS}) {
        for (const QWidget* shownIn : toolOnly->associatedWidgets())
            EXPECT_EQ(qobject_cast<const QMenu*>(shownIn), nullptr) << toolOnly->objectName().toStdString();
    }
}

TEST_F(MainWindowFormTest, ExitClosesTheWindow)
{
    window.show();
    ui.actionExit->trigger();
    EXPECT_FALSE(window.isVisible());
}

TEST(FormImages, EveryImageTheWindowNamesIsThere)
{
    RegisterFormImages();
    for (const char* path :
         {":/image/Resources/favicon.ico", ":/image/Resources/backgroundWeather.png",
          ":/image/Resources/icon_download.png", ":/image/Resources/set_all_wx.png", ":/image/Resources/sun.png",
          ":/image/Resources/Aerovane_Pro_logo.png", ":/image/backgroundFP", ":/image/vatroute_small", ":/image/logo",
          ":/image/tip", ":/image/back", ":/image/forward", ":/image/ok", ":/image/unok"})
        EXPECT_FALSE(QImage(path).isNull()) << path;
    EXPECT_FALSE(QFile::exists(":/image/button_seticao"));
}

// Leaves pictures of the form in the build folder, to be looked at after a change of the form: the window as it
// opens, then each of the other main pages.
TEST_F(MainWindowFormTest, PicturesOfTheFormAreSavedAndNotBlank)
{
    window.show();
    QApplication::processEvents();
    const QImage picture = window.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(967, 772));
    ASSERT_TRUE(picture.save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/mainwindowform.png")));
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 7)
        for (int x = 0; x < picture.width(); x += 7)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
    // The tool bar's gradient must not swallow its buttons: its free end stays light.
    const QRect bar = ui.toolBar->geometry();
    EXPECT_GT(QColor(picture.pixel(bar.right() - 2, bar.center().y())).lightness(), 150);

    // Each page draws the background its style sheet gives it, not the tab widget's red behind it.
    for (int page = 1; page < ui.tabWidgetMain->count(); ++page) {
        ui.tabWidgetMain->setCurrentIndex(page);
        QApplication::processEvents();
        QWidget* shown = ui.tabWidgetMain->widget(page);
        const QImage pagePicture = window.grab().toImage();
        pagePicture.save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/mainwindowform-%1.png").arg(shown->objectName()));
        const QColor corner(pagePicture.pixel(shown->mapTo(&window, QPoint(4, shown->height() - 4))));
        EXPECT_FALSE(corner.red() > 200 && corner.green() < 120) << shown->objectName().toStdString();
    }
}
