#include "optiontest.h"

#include "platform/debugoutput.h"
#include "platform/processrunner.h"
#include "settings/serveraddresses.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

// A value other than the default, inside its widget's range, for every key the dialog shows ("key=value;").
const QString kEveryKey
    = "weather/updateInterval=45;weather/ServerLocation=1;weather/metarfeed=2;general/UnitsGallon=false;"
      "general/UnitsLbs=false;general/ExportMetar=true;general/ExportMetarDir=/home/pilot/metar;"
      "general/ExportMetarFilename=metar_export.txt;general/ExportPMDG777WX=true;"
      "general/ExportPMDG777WXFolder=/home/pilot/PMDG/WX;general/ExportFPFSX=true;"
      "general/ExportFPFSXFolder=C:/Users/pilot/Documents/Flight Simulator X Files;general/ExportFPAirbusX=true;"
      "general/ExportFPAirbusXFolder=C:/Aerosoft/Airbus X/Flightplans;general/ExportFPXPlane=true;"
      "general/ExportFPXPlaneFolder=D:/X-Plane 11/Output/FMS plans;general/ExportFPSquawkbox=true;"
      "general/ExportFPSquawkboxFolder=C:/Users/pilot/Documents/vPilot Files;startup/clearwx=false;"
      "startup/downloadwx=true;startup/autoconnectfs=false;weather/update=false;weather/weatherradius=350;"
      "weather/noUpdateInApproach=false;weather/noUpdateInApproachHeight=3500;weather/XPUpdateDist=35;"
      "weather/XPUpdateTime=25;weather/createnewwxstation=false;weather/automode=true;weather/normalmode=false;"
      "weather/modelfilemode=false;weather/modelfileSize=32;weather/windSlightlGustSurfaceWind=false;"
      "weather/windTurbulenceInCloud=false;weather/windDwc=false;weather/windDwcDegreesPerSecond=12;"
      "weather/windDwcKnotsPerSecond=7;weather/generateCirrus=false;weather/mixedClouds=true;"
      "weather/icingInClouds=false;weather/generateFogAsStratus=true;weather/maxCloudLayers=3;"
      "weather/CavokCoverage=4;weather/CavokBase=4500;weather/minVisibility=1500;weather/maxVisibility=120;"
      "weather/minVisibilityMetar9999=80;interface/type=2;interface/FSmessage=false;interface/ServerIP=192.168.1.20;"
      "interface/ServerPort=17301;interface/PauseBetweenWXStation=450;"
      "interface/PathToFS=C:/Program Files/Lockheed Martin/Prepar3D v3;interface/PathToXPlane=D:/X-Plane 11;"
      "recorder/userid=DLH4AB;recorder/useremail=Jane Pilot;recorder/aerovaneuserid=4711;"
      "recorder/aerovanerecorderhash=9f+Kq/2x==;recorder/exportaerovane=true;recorder/flight2email=true;"
      "recorder/flight2emailadress=jane.pilot@example.org;recorder/isflight2phpfile=true;"
      "recorder/flight2phpfileUrl=http://127.0.0.1/live/position.php;"
      "sounds/airportambient_filename=/opt/aerovane/sounds/airport.wav;sounds/airportambient_minweight=20000;"
      "sounds/airportambient_isenable=true;sounds/boarding_filename=/opt/aerovane/sounds/boarding.wav;"
      "sounds/boarding_minweight=35000;sounds/boarding_isenable=true";

std::vector<std::pair<QString, QVariant>> EveryKey()
{
    std::vector<std::pair<QString, QVariant>> keys;
    for (const QString& item : kEveryKey.split(';'))
        keys.emplace_back(item.section('=', 0, 0), item.section('=', 1));
    return keys;
}

class RecordingRunner : public platform::CProcessRunner
{
public:
    int Run(const QString& program, const QStringList& arguments, int) override
    {
        commandLine = QStringList{program} + arguments;
        return exitCode;
    }
    int exitCode = 0;
    QStringList commandLine;
};

} // namespace

using OptionSettings = OptionTest;

TEST_F(OptionSettings, OkWritesBackEveryValueItLoadedAndLeavingWritesNothing)
{
    WriteIni(EveryKey());
    const QByteArray before = IniBytes();
    const std::vector<std::function<void(DialogOption&)>> leaves = {
        [](DialogOption& dialog) { dialog.reject(); },
        [](DialogOption& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](DialogOption& dialog) { dialog.close(); },
    };
    for (const auto& leave : leaves) {
        DialogOption dialog;
        dialog.show();
        dialog.findChild<QCheckBox*>("checkBox_MixedClouds")->setChecked(false);
        dialog.findChild<QLineEdit*>("lineEdit_ServerIP")->setText("10.0.0.1");
        leave(dialog);
        EXPECT_FALSE(dialog.isVisible());
        CSettings::Release();
        EXPECT_EQ(IniBytes(), before);
    }

    Dialog().accept();
    for (const auto& [key, value] : EveryKey())
        EXPECT_EQ(StoredText(key), value.toString()) << key.toStdString();
}

TEST_F(OptionSettings, WeatherModesLoadTheLastTrueKeyAndStoreOneMode)
{
    // Auto-Mode, Normal, Model file as stored, and the mode shown.
    for (const auto& [stored, shown] :
         {std::pair{"000", "Model"}, {"110", "Normal"}, {"101", "Model"}, {"111", "Model"}, {"100", "Auto"}}) {
        WriteIni({{"weather/automode", stored[0] == '1'},
                  {"weather/normalmode", stored[1] == '1'},
                  {"weather/modelfilemode", stored[2] == '1'}});
        DialogOption dialog;
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("radioButton_WxMode") + shown)->isChecked())
            << stored;
        dialog.accept();
        const QString mode = QString::fromLatin1(shown);
        EXPECT_EQ(StoredText("weather/automode"), mode == "Auto" ? "true" : "false");
        EXPECT_EQ(StoredText("weather/normalmode"), mode == "Normal" ? "true" : "false");
        EXPECT_EQ(StoredText("weather/modelfilemode"), mode == "Model" ? "true" : "false");
    }
}

TEST_F(OptionSettings, MissingOutOfRangeAndOddValuesLoadAsTheWidgetsShowThem)
{
    EXPECT_EQ(DialogOption().findChild<QLineEdit*>("lineEdit_ServerPort")->text(), "17300");
    CSettings::Release();
    WriteIni({{"interface/type", 4},
              {"sounds/airportambient_minweight", 0},
              {"weather/ServerLocation", 5},
              {"weather/metarfeed", 4}});
    EXPECT_EQ(Widget<QComboBox>("comboBox_FSInterface")->currentText(), "Client/Server");
    EXPECT_TRUE(Widget<QLineEdit>("lineEdit_ServerIP")->isEnabled());
    EXPECT_TRUE(Widget<QLineEdit>("lineEdit_ServerPort")->isEnabled());
    EXPECT_EQ(Widget<QSpinBox>("spinBox_sound_airport_min_emptyweight")->value(), 1000);
    EXPECT_TRUE(Widget<QRadioButton>("radioButton_serverLocation_us")->isChecked());
    EXPECT_TRUE(Widget<QRadioButton>("radioButtonVatsim")->isChecked());
    EXPECT_FALSE(Widget<QSpinBox>("spinBox_CAVOK_Base")->isEnabled());
    Dialog().accept();
    EXPECT_EQ(StoredText("interface/type"), "4");
    EXPECT_EQ(StoredText("sounds/airportambient_minweight"), "1000");
    EXPECT_EQ(StoredText("weather/ServerLocation"), "1");
    EXPECT_EQ(StoredText("weather/metarfeed"), "1");
}

TEST_F(OptionSettings, FormShowsFourPagesAndTheModelSizeInNauticalMiles)
{
    EXPECT_EQ(Dialog().windowTitle(), "Aerovane - Options");
    EXPECT_EQ(Dialog().size(), QSize(857, 590));
    auto* tabs = Widget<QTabWidget>("tabWidget");
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    EXPECT_EQ(titles, QStringList({"General", "Weather", "Interface", "FS-Recorder(BETA)"}));
    EXPECT_TRUE(Widget<QProgressBar>("progressBar_fs_tool")->isHidden());
    EXPECT_FALSE(Widget<QPushButton>("pushButton_search_icao")->isEnabled());
    EXPECT_FALSE(Widget<QPushButton>("pushButton_create_ovyxstation")->isEnabled());
    for (const auto& [size, text] : {std::pair{20, "172 NM"}, {10, "86 NM"}, {64, "552 NM"}}) {
        Widget<QSlider>("horizontalSlider_wxModelSize")->setValue(size);
        EXPECT_EQ(Widget<QLabel>("label_WxModelSize")->text(), text);
    }
}

TEST_F(OptionSettings, OwnerOnlyFileAndNoHashInAnyLog)
{
    const QString hash = QStringLiteral("Zq9+pR/secret==");
    static QStringList qtMessages;
    const QtMessageHandler previous
        = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) { qtMessages << text; });
    platform::ScopedDebugCapture debug;
    for (const bool existed : {true, false}) {
        QFile::remove(IniPath());
        if (existed) {
            WriteIni({{"recorder/aerovanerecorderhash", hash}});
            ASSERT_TRUE(QFile::setPermissions(IniPath(),
                                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                                  | QFileDevice::ReadOther));
        }
        DialogOption dialog;
        dialog.findChild<QLineEdit*>("lineEdit_aerovane_recorder_hash")->setText(hash);
        dialog.accept();
        CSettings::Release();
        const QFileDevice::Permissions others
            = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
        EXPECT_EQ(QFileInfo(IniPath()).permissions() & others, QFileDevice::Permissions()) << existed;
        EXPECT_TRUE(QFileInfo(IniPath()).permissions() & QFileDevice::ReadOwner);
        EXPECT_EQ(StoredText("recorder/aerovanerecorderhash"), hash);
    }
    qInstallMessageHandler(previous);
    for (const QString& line : qtMessages)
        EXPECT_FALSE(line.contains(hash)) << line.toStdString();
    EXPECT_FALSE(debug.Contains("Zq9"));
}

using OptionActions = OptionTest;

// The folder checked is the one typed in the dialog, which is stored only on OK.
TEST_F(OptionActions, ModelFileWarnsAboutInterfaceAndTypedFolderButStaysChosen)
{
    const QString writable = QDir::currentPath();
    const QString needsConnection = "This weather mode requires a connection to FS via 'Simconnect' or "
                                    "'Simconnect & FSUIPC' or 'Client/Server'";
    const QString needsFolder = "This weather mode requires a writeable path to the flight simulator (FSX/P3D)";
    struct Case
    {
        QString interface, storedFolder, typedFolder;
        const char* mode;
        QStringList warnings;
    };
    const Case cases[] = {
        {"FSUIPC", "", "", "Model", {needsConnection, needsFolder}},
        {"SimConnect", "", writable, "Model", {}},
        {"SimConnect", writable, "", "Model", {needsFolder}},
        {"SimConnect", writable, writable + "/missing", "Model", {needsFolder}},
        {"FSUIPC", "", "", "Normal", {}},
        {"FSUIPC", "", "", "Auto", {}},
    };
    for (const Case& c : cases) {
        CSettings::SetPathToFS(c.storedFolder);
        DialogOption dialog;
        dialog.findChild<QComboBox*>("comboBox_FSInterface")->setCurrentText(c.interface);
        dialog.findChild<QLineEdit*>("lineEdit_Path_FS")->setText(c.typedFolder);
        dialog.findChild<QRadioButton*>("radioButton_WxModeNormal")->setChecked(QLatin1String(c.mode) != "Normal");
        prompter.asked.clear();
        auto* button = dialog.findChild<QRadioButton*>(QStringLiteral("radioButton_WxMode") + c.mode);
        button->click();
        QStringList warnings;
        for (const PromptRequest& request : prompter.asked) {
            EXPECT_EQ(request.kind, PromptKind::Warning);
            EXPECT_EQ(request.title, "Aerovane - Options");
            warnings << request.text;
        }
        EXPECT_EQ(warnings, c.warnings) << c.interface.toStdString() << " " << c.mode;
        EXPECT_TRUE(button->isChecked());
    }
}

TEST_F(OptionActions, UpdateGroupAndInterfaceSwitchTheFieldsThatDependOnThem)
{
    auto* update = Widget<QGroupBox>("groupBox_Weatherupdateinterval");
    const std::vector<QWidget*> followers
        = {Widget<QGroupBox>("groupBox_FSWeather"), Widget<QGroupBox>("groupBox_FSWind"),
           Widget<QGroupBox>("groupBox_FSClouds"), Widget<QRadioButton>("radioButton_WxModeNormal"),
           Widget<QSlider>("horizontalSliderWeatherUpdateInterval")};
    for (const bool on : {false, true}) {
        update->setChecked(on);
        for (QWidget* widget : followers)
            EXPECT_EQ(widget->isEnabled(), on) << widget->objectName().toStdString();
    }

    // Server fields and the wind group as each interface leaves them, from "Client/Server" on.
    Widget<QComboBox>("comboBox_FSInterface")->setCurrentText("Client/Server");
    for (const auto& [interface, server, wind] : {std::tuple{"SimConnect", true, false},
                                                  {"FSUIPC", false, true},
                                                  {"SimConnect", false, false},
                                                  {"Client/Server", true, true},
                                                  {"SimConnect & FSUIPC", false, true}}) {
        Widget<QComboBox>("comboBox_FSInterface")->setCurrentText(interface);
        EXPECT_EQ(Widget<QLineEdit>("lineEdit_ServerIP")->isEnabled(), server) << interface;
        EXPECT_EQ(Widget<QLineEdit>("lineEdit_ServerPort")->isEnabled(), server) << interface;
        EXPECT_EQ(Widget<QGroupBox>("groupBox_FSWind")->isEnabled(), wind) << interface;
    }
}

TEST_F(OptionActions, ChoosersFillTheirFieldsACancelLeavesThemAndAnUnwritableFolderIsRefused)
{
    const QString chosen = QDir::currentPath();
    CSettings::SetExportFPFSX(true);
    CSettings::SetExportFPFSXFolder("C:/old");
    CSettings::SetPathToFS("C:/FSX");
    // The sound page is switched off in the form; its chooser still works once the page is on.
    Widget<QWidget>("tab_ambient")->setEnabled(true);
    struct Case
    {
        const char* button;
        const char* field;
        QString answer, expected, warning;
    };
    const QString refused = "Path to flightsimulator is not writeable!";
    const Case cases[] = {
        {"toolButton_OpenFolder_ExportFPFSX", "lineEdit_Export_FP_FSX", "", "C:/old", ""},
        {"toolButton_OpenFolder_ExportFPFSX", "lineEdit_Export_FP_FSX", chosen, chosen, ""},
        {"toolButton_openFolder_FS", "lineEdit_Path_FS", "", "C:/FSX", refused},
        {"toolButton_openFolder_FS", "lineEdit_Path_FS", chosen + "/missing", "C:/FSX", refused},
        {"toolButton_openFolder_FS", "lineEdit_Path_FS", chosen, chosen, ""},
        {"toolButton_sound_airport", "lineEdit_sound_airport", chosen + "/airport.wav", chosen + "/airport.wav", ""},
        {"toolButton_sound_airport", "lineEdit_sound_airport", "", "", ""},
    };
    for (const Case& c : cases) {
        prompter.asked.clear();
        prompter.chooserAnswers = QStringList{c.answer};
        Widget<QToolButton>(c.button)->click();
        EXPECT_EQ(Widget<QLineEdit>(c.field)->text(), c.expected) << c.button;
        EXPECT_EQ(prompter.asked.empty() ? QString() : prompter.asked.back().text, c.warning) << c.button;
    }
}

TEST_F(OptionActions, PingAsksForTheServersHostAndLogsItsState)
{
    ServerAddresses addresses = ServerAddresses::BuiltIn();
    addresses.serverUrlDE = "http://127.0.0.1:17380";
    ScopedServerAddresses scopedAddresses(addresses);
    RecordingRunner runner;
    platform::ScopedProcessRunner scopedRunner(runner);
    for (const auto& [exitCode, line] :
         {std::pair{0, "Server 127.0.0.1 is ok.\n"}, {1, "Server 127.0.0.1 is down.\n"}}) {
        runner.exitCode = exitCode;
        platform::ScopedDebugCapture debug;
        ASSERT_TRUE(QMetaObject::invokeMethod(&Dialog(), "OnPushbuttonPingServer"));
        EXPECT_EQ(runner.commandLine, QStringList({"ping", "-c", "1", "-W", "2", "127.0.0.1"}));
        EXPECT_TRUE(debug.Contains(line)) << line;
    }
}

// The settings store takes exactly the numbers the dialog offers: nothing stored can run generation or the
// scheduler outside what the user can choose.
TEST_F(OptionTest, EveryNumberTheDialogSetsHasTheSameRangeInTheSettingsStore)
{
    const std::pair<const char*, const char*> numbers[] = {
        {"horizontalSliderWeatherUpdateInterval", "weather/updateInterval"},
        {"horizontalSliderWXRange", "weather/weatherradius"},
        {"spinBox_NoWeatherUpdateInApproachHeight", "weather/noUpdateInApproachHeight"},
        {"spinBox_XP_WeatherUpdateDistance", "weather/XPUpdateDist"},
        {"spinBox_XP_WeatherUpdateTime_in_min", "weather/XPUpdateTime"},
        {"horizontalSlider_wxModelSize", "weather/modelfileSize"},
        {"spinBox_DWC_DegPerSecond", "weather/windDwcDegreesPerSecond"},
        {"spinBox_DWC_KnotsPerSecond", "weather/windDwcKnotsPerSecond"},
        {"spinBox_CAVOK_Base", "weather/CavokBase"},
        {"spinBox_minVisibility", "weather/minVisibility"},
        {"spinBox_maxVisibility", "weather/maxVisibility"},
        {"spinBox_MetarVisibility9999", "weather/minVisibilityMetar9999"},
        {"spinBox_FSInterface_pause_wxstation", "interface/PauseBetweenWXStation"},
    };
    for (const auto& [name, key] : numbers) {
        const QWidget* widget = Widget<QWidget>(name);
        const std::optional<CSettings::NumberRange> range = CSettings::GetNumberRange(key);
        ASSERT_TRUE(range) << key;
        EXPECT_EQ(range->lowest, widget->property("minimum").toInt()) << key;
        EXPECT_EQ(range->highest, widget->property("maximum").toInt()) << key;
    }
    // The lists: coverage 0/8 to 8/8 by index, the link types from 1.
    const auto coverage = CSettings::GetNumberRange("weather/CavokCoverage");
    const auto link = CSettings::GetNumberRange("interface/type");
    ASSERT_TRUE(coverage && link);
    EXPECT_EQ(coverage->highest - coverage->lowest + 1, Widget<QComboBox>("comboBox_CAVOK_Coverage")->count());
    EXPECT_EQ(link->lowest, 1);
    EXPECT_EQ(link->highest, Widget<QComboBox>("comboBox_FSInterface")->count());
}
