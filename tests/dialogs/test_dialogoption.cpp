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

// A value other than the default, inside its widget's range, for every key the dialog shows.
const std::vector<std::pair<QString, QVariant>> kEveryKey = {
    {"weather/updateInterval", 45},
    {"weather/ServerLocation", 1},
    {"weather/metarfeed", 2},
    {"general/UnitsGallon", false},
    {"general/UnitsLbs", false},
    {"general/ExportMetar", true},
    {"general/ExportMetarDir", "/home/pilot/metar"},
    {"general/ExportMetarFilename", "metar_export.txt"},
    {"general/ExportPMDG777WX", true},
    {"general/ExportPMDG777WXFolder", "/home/pilot/PMDG/WX"},
    {"general/ExportFPFSX", true},
    {"general/ExportFPFSXFolder", "C:/Users/pilot/Documents/Flight Simulator X Files"},
    {"general/ExportFPAirbusX", true},
    {"general/ExportFPAirbusXFolder", "C:/Aerosoft/Airbus X/Flightplans"},
    {"general/ExportFPXPlane", true},
    {"general/ExportFPXPlaneFolder", "D:/X-Plane 11/Output/FMS plans"},
    {"general/ExportFPSquawkbox", true},
    {"general/ExportFPSquawkboxFolder", "C:/Users/pilot/Documents/vPilot Files"},
    {"startup/clearwx", false},
    {"startup/downloadwx", true},
    {"startup/autoconnectfs", false},
    {"weather/update", false},
    {"weather/weatherradius", 350},
    {"weather/noUpdateInApproach", false},
    {"weather/noUpdateInApproachHeight", 3500},
    {"weather/XPUpdateDist", 35},
    {"weather/XPUpdateTime", 25},
    {"weather/createnewwxstation", false},
    {"weather/automode", true},
    {"weather/normalmode", false},
    {"weather/modelfilemode", false},
    {"weather/modelfileSize", 32},
    {"weather/windSlightlGustSurfaceWind", false},
    {"weather/windTurbulenceInCloud", false},
    {"weather/windDwc", false},
    {"weather/windDwcDegreesPerSecond", 12},
    {"weather/windDwcKnotsPerSecond", 7},
    {"weather/generateCirrus", false},
    {"weather/mixedClouds", true},
    {"weather/icingInClouds", false},
    {"weather/generateFogAsStratus", true},
    {"weather/maxCloudLayers", 3},
    {"weather/CavokCoverage", 4},
    {"weather/CavokBase", 4500},
    {"weather/minVisibility", 1500},
    {"weather/maxVisibility", 120},
    {"weather/minVisibilityMetar9999", 80},
    {"interface/type", 2},
    {"interface/FSmessage", false},
    {"interface/ServerIP", "192.168.1.20"},
    {"interface/ServerPort", "17301"},
    {"interface/PauseBetweenWXStation", 450},
    {"interface/PathToFS", "C:/Program Files/Lockheed Martin/Prepar3D v3"},
    {"interface/PathToXPlane", "D:/X-Plane 11"},
    {"recorder/userid", "DLH4AB"},
    {"recorder/useremail", "Jane Pilot"},
    {"recorder/aerovaneuserid", "4711"},
    {"recorder/aerovanerecorderhash", "9f+Kq/2x=="},
    {"recorder/exportaerovane", true},
    {"recorder/flight2email", true},
    {"recorder/flight2emailadress", "jane.pilot@example.org"},
    {"recorder/isflight2phpfile", true},
    {"recorder/flight2phpfileUrl", "http://127.0.0.1/live/position.php"},
    {"sounds/airportambient_filename", "/opt/aerovane/sounds/airport.wav"},
    {"sounds/airportambient_minweight", 20000},
    {"sounds/airportambient_isenable", true},
    {"sounds/boarding_filename", "/opt/aerovane/sounds/boarding.wav"},
    {"sounds/boarding_minweight", 35000},
    {"sounds/boarding_isenable", true},
};

class RecordingRunner : public platform::CProcessRunner
{
public:
    explicit RecordingRunner(int exitCode)
        : m_exitCode(exitCode)
    {
    }
    int Run(const QString& program, const QStringList& arguments, int) override
    {
        commandLine = QStringList{program} + arguments;
        return m_exitCode;
    }
    QStringList commandLine;

private:
    int m_exitCode;
};

} // namespace

using OptionSettings = OptionTest;

TEST_F(OptionSettings, OkWritesBackEveryValueItLoaded)
{
    WriteIni(kEveryKey);
    Dialog().accept();
    for (const auto& [key, value] : kEveryKey)
        EXPECT_EQ(StoredText(key), value.toString()) << key.toStdString();
}

TEST_F(OptionSettings, CancelEscapeAndClosingLeaveTheFileUntouched)
{
    WriteIni(kEveryKey);
    const QByteArray before = IniBytes();
    const std::vector<std::function<void(DialogOption&)>> leaves = {
        [](DialogOption& dialog) { dialog.reject(); },
        [](DialogOption& dialog) {
            dialog.show();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        },
        [](DialogOption& dialog) {
            dialog.show();
            dialog.close();
        },
    };
    for (const auto& leave : leaves) {
        DialogOption dialog;
        dialog.findChild<QCheckBox*>("checkBox_MixedClouds")->setChecked(false);
        dialog.findChild<QLineEdit*>("lineEdit_ServerIP")->setText("10.0.0.1");
        leave(dialog);
        EXPECT_FALSE(dialog.isVisible());
        CSettings::Release();
        EXPECT_EQ(IniBytes(), before);
    }
}

TEST_F(OptionSettings, WeatherModesLoadTheLastTrueKeyAndStoreOneMode)
{
    struct Case
    {
        bool automode, normal, model;
        const char* checked;
    };
    for (const Case& c :
         {Case{false, false, false, "radioButton_WxModeModel"}, Case{true, true, false, "radioButton_WxModeNormal"},
          Case{true, false, true, "radioButton_WxModeModel"}, Case{true, true, true, "radioButton_WxModeModel"},
          Case{true, false, false, "radioButton_WxModeAuto"}}) {
        WriteIni(
            {{"weather/automode", c.automode}, {"weather/normalmode", c.normal}, {"weather/modelfilemode", c.model}});
        DialogOption dialog;
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(c.checked)->isChecked()) << c.checked;
        dialog.accept();
        const QString name = QString::fromLatin1(c.checked);
        EXPECT_EQ(StoredText("weather/automode"), name.endsWith("Auto") ? "true" : "false");
        EXPECT_EQ(StoredText("weather/normalmode"), name.endsWith("Normal") ? "true" : "false");
        EXPECT_EQ(StoredText("weather/modelfilemode"), name.endsWith("Model") ? "true" : "false");
    }
}

TEST_F(OptionSettings, OutOfRangeAndOddValuesLoadAsTheWidgetsShowThem)
{
    WriteIni({{"interface/type", 4},
              {"sounds/airportambient_minweight", 0},
              {"weather/ServerLocation", 5},
              {"weather/metarfeed", 4}});
    Dialog();
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

TEST_F(OptionSettings, EmptyFileShowsTheKeysDefaultsNotTheFormsOwn)
{
    Dialog();
    EXPECT_EQ(Widget<QLineEdit>("lineEdit_ServerPort")->text(), "17300");
    EXPECT_EQ(Widget<QSpinBox>("spinBox_XP_WeatherUpdateDistance")->value(), 20);
    EXPECT_EQ(Widget<QLineEdit>("lineEdit_exportMetarFilename")->text(), "metar.txt");
    EXPECT_TRUE(Widget<QRadioButton>("radioButtonNoaa")->isChecked());
    EXPECT_EQ(Widget<QLabel>("labelWeatherUpdateInterval")->text(), "30");
}

TEST_F(OptionSettings, UpdateGroupSwitchesTheWeatherWindAndCloudGroups)
{
    Dialog();
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
}

TEST_F(OptionSettings, FormShowsFourPagesAndTheModelSizeInNauticalMiles)
{
    DialogOption& dialog = Dialog();
    EXPECT_EQ(dialog.windowTitle(), "Aerovane - Options");
    EXPECT_EQ(dialog.size(), QSize(857, 590));
    auto* tabs = Widget<QTabWidget>("tabWidget");
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    EXPECT_EQ(titles, QStringList({"General", "Weather", "Interface", "FS-Recorder(BETA)"}));
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(Widget<QProgressBar>("progressBar_fs_tool")->isHidden());
    EXPECT_FALSE(Widget<QPushButton>("pushButton_search_icao")->isEnabled());
    EXPECT_FALSE(Widget<QPushButton>("pushButton_create_ovyxstation")->isEnabled());

    auto* slider = Widget<QSlider>("horizontalSlider_wxModelSize");
    for (const auto& [size, text] : {std::pair{20, "172 NM"}, {10, "86 NM"}, {64, "552 NM"}}) {
        slider->setValue(size);
        EXPECT_EQ(Widget<QLabel>("label_WxModelSize")->text(), text);
        EXPECT_EQ(slider->toolTip(), QString::number(size));
    }
}

TEST_F(OptionSettings, OwnerOnlyFileAndNoHashInAnyLog)
{
    const QString hash = QStringLiteral("Zq9+pR/secret==");
    for (const bool existed : {true, false}) {
        QFile::remove(IniPath());
        if (existed) {
            WriteIni({{"recorder/aerovanerecorderhash", hash}});
            ASSERT_TRUE(QFile::setPermissions(IniPath(),
                                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                                  | QFileDevice::ReadOther));
        }
        static QStringList qtMessages;
        qtMessages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& text) { qtMessages << text; });
        platform::ScopedDebugCapture debug;
        {
            DialogOption dialog;
            dialog.findChild<QLineEdit*>("lineEdit_aerovane_recorder_hash")->setText(hash);
            dialog.accept();
        }
        CSettings::Release();
        qInstallMessageHandler(previous);

        const QFileDevice::Permissions others
            = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
        EXPECT_EQ(QFileInfo(IniPath()).permissions() & others, QFileDevice::Permissions()) << existed;
        EXPECT_TRUE(QFileInfo(IniPath()).permissions() & QFileDevice::ReadOwner);
        EXPECT_EQ(StoredText("recorder/aerovanerecorderhash"), hash);
        for (const QString& line : qtMessages)
            EXPECT_FALSE(line.contains(hash)) << line.toStdString();
        for (const std::string& line : debug.Lines())
            EXPECT_EQ(line.find("Zq9"), std::string::npos) << line;
    }
}

using OptionActions = OptionTest;

TEST_F(OptionActions, ModelFileWarnsAboutInterfaceAndStoredFolderButStaysChosen)
{
    const QString writable = m_workDir.path();
    struct Case
    {
        QString interface;
        QString storedFolder;
        QString typedFolder;
        const char* mode;
        std::vector<QString> warnings;
    };
    const QString needsConnection = "This weather mode requires a connection to FS via 'Simconnect' or "
                                    "'Simconnect & FSUIPC' or 'Client/Server'";
    const QString needsFolder = "This weather mode requires a writeable path to the flight simulator (FSX/P3D)";
    const std::vector<Case> cases = {
        {"FSUIPC", "", "", "radioButton_WxModeModel", {needsConnection, needsFolder}},
        {"SimConnect", writable, "", "radioButton_WxModeModel", {}},
        {"SimConnect & FSUIPC", writable, "", "radioButton_WxModeModel", {}},
        {"Client/Server", writable, "", "radioButton_WxModeModel", {}},
        {"SimConnect", "", writable, "radioButton_WxModeModel", {needsFolder}},
        {"SimConnect", writable + "/missing", "", "radioButton_WxModeModel", {needsFolder}},
        {"FSUIPC", "", "", "radioButton_WxModeNormal", {}},
        {"FSUIPC", "", "", "radioButton_WxModeAuto", {}},
    };
    for (const Case& c : cases) {
        CSettings::SetPathToFS(c.storedFolder);
        DialogOption dialog;
        dialog.findChild<QComboBox*>("comboBox_FSInterface")->setCurrentText(c.interface);
        dialog.findChild<QLineEdit*>("lineEdit_Path_FS")->setText(c.typedFolder);
        prompter.asked.clear();
        auto* button = dialog.findChild<QRadioButton*>(c.mode);
        if (QString::fromLatin1(c.mode).endsWith("Model"))
            dialog.findChild<QRadioButton*>("radioButton_WxModeNormal")->setChecked(true);
        button->click();
        std::vector<QString> warnings;
        for (const PromptRequest& request : prompter.asked) {
            EXPECT_EQ(request.kind, PromptKind::Warning);
            EXPECT_EQ(request.title, "Aerovane - Options");
            warnings.push_back(request.text);
        }
        EXPECT_EQ(warnings, c.warnings) << c.interface.toStdString() << " " << c.mode;
        EXPECT_TRUE(button->isChecked());
    }
}

TEST_F(OptionActions, InterfaceChoiceSwitchesServerFieldsAndWind)
{
    CSettings::SetInterfaceType(4);
    Dialog();
    auto* combo = Widget<QComboBox>("comboBox_FSInterface");
    auto* ip = Widget<QLineEdit>("lineEdit_ServerIP");
    auto* port = Widget<QLineEdit>("lineEdit_ServerPort");
    auto* wind = Widget<QGroupBox>("groupBox_FSWind");
    struct Step
    {
        const char* text;
        bool server, wind;
    };
    for (const Step& step :
         {Step{"SimConnect", true, false}, Step{"FSUIPC", false, true}, Step{"SimConnect", false, false},
          Step{"Client/Server", true, true}, Step{"SimConnect & FSUIPC", false, true}}) {
        combo->setCurrentText(step.text);
        EXPECT_EQ(ip->isEnabled(), step.server) << step.text;
        EXPECT_EQ(port->isEnabled(), step.server) << step.text;
        EXPECT_EQ(wind->isEnabled(), step.wind) << step.text;
    }
}

TEST_F(OptionActions, ChoosersFillTheirFieldsAndACancelLeavesThem)
{
    const QString chosen = m_workDir.path();
    CSettings::SetExportFPFSX(true);
    CSettings::SetExportFPFSXFolder("C:/old");
    CSettings::SetExportMetar(true);
    CSettings::SetPathToFS("C:/FSX");
    CSettings::SetPathToXPlane("D:/X-Plane 11");
    Dialog();
    // The sound page is switched off in the form; its chooser still works once the page is on.
    Widget<QWidget>("tab_ambient")->setEnabled(true);
    struct Case
    {
        const char* button;
        const char* field;
        QString answer;
        QString expected;
        QString caption;
    };
    const std::vector<Case> cases = {
        {"toolButton_OpenFolder_ExportFPFSX", "lineEdit_Export_FP_FSX", "", "C:/old", "Export Flight Plan FSX"},
        {"toolButton_OpenFolder_ExportFPFSX", "lineEdit_Export_FP_FSX", chosen, chosen, "Export Flight Plan FSX"},
        {"toolButton_OpenDirectoryDialog", "lineEdit_exportMetarDirectory", chosen, chosen, ""},
        {"toolButton_openFolder_XPlane", "lineEdit_Path_XPlane", "", "D:/X-Plane 11", "Path To FS"},
        {"toolButton_openFolder_FS", "lineEdit_Path_FS", chosen, chosen, "Path To FS"},
        {"toolButton_sound_airport", "lineEdit_sound_airport", chosen + "/airport.wav", chosen + "/airport.wav",
         "Select Sound"},
        {"toolButton_sound_airport", "lineEdit_sound_airport", "", "", "Select Sound"},
    };
    for (const Case& c : cases) {
        prompter.choosers.clear();
        prompter.chooserAnswers = QStringList{c.answer};
        Widget<QToolButton>(c.button)->click();
        EXPECT_EQ(Widget<QLineEdit>(c.field)->text(), c.expected) << c.button;
        ASSERT_EQ(prompter.choosers.size(), 1u) << c.button;
        EXPECT_EQ(prompter.choosers[0].caption, c.caption);
    }
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(OptionActions, SimulatorFolderThatCannotBeWrittenIsRefused)
{
    CSettings::SetPathToFS("C:/FSX");
    Dialog();
    for (const QString& answer : {QString(), m_workDir.filePath("missing")}) {
        prompter.chooserAnswers = QStringList{answer};
        Widget<QToolButton>("toolButton_openFolder_FS")->click();
        EXPECT_EQ(Widget<QLineEdit>("lineEdit_Path_FS")->text(), "C:/FSX");
        ASSERT_FALSE(prompter.asked.empty());
        EXPECT_EQ(prompter.asked.back().text, "Path to flightsimulator is not writeable!");
    }
}

TEST_F(OptionActions, PingAsksForTheServersHostAndLogsItsState)
{
    ServerAddresses addresses = ServerAddresses::BuiltIn();
    addresses.serverUrlDE = "http://127.0.0.1:17380";
    ScopedServerAddresses scopedAddresses(addresses);
    for (const auto& [exitCode, line] :
         {std::pair{0, "Server 127.0.0.1 is ok.\n"}, {1, "Server 127.0.0.1 is down.\n"}}) {
        RecordingRunner runner(exitCode);
        platform::ScopedProcessRunner scopedRunner(runner);
        platform::ScopedDebugCapture debug;
        ASSERT_TRUE(QMetaObject::invokeMethod(&Dialog(), "OnPushbuttonPingServer"));
        EXPECT_EQ(runner.commandLine, QStringList({"ping", "-c", "1", "-W", "2", "127.0.0.1"}));
        EXPECT_TRUE(debug.Contains(line)) << line;
    }
}
