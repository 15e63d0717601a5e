// Every stored key: its default on an empty file, its exact spelling in the file, and its round trip.
#include "settingstestsupport.h"

#include <QRect>
#include <QVariant>

#include <functional>
#include <vector>

namespace {

struct KeyCase
{
    QString key;
    QVariant defaultValue;
    QVariant sample;
    std::function<QVariant()> get;
    std::function<void()> setSample;
};

// A value unlike the default, of the same type, that a user could store.
bool SampleFor(bool defaultValue)
{
    return !defaultValue;
}
// Next to the default, so within the range the store holds the key to.
int SampleFor(int defaultValue)
{
    return defaultValue > 1 ? defaultValue - 1 : defaultValue + 1;
}
// A port for a port, a path for every other text.
QString SampleFor(const QString& defaultValue)
{
    bool isNumber = false;
    const int number = defaultValue.toInt(&isNumber);
    return isNumber ? QString::number(number - 1) : QStringLiteral("C:/Users/Pilot/Flight Plans, März");
}
QRect SampleFor(const QRect&)
{
    return QRect(-8, 31, 1920, 1017);
}
QByteArray SampleFor(const QByteArray&)
{
    return QByteArray("\x00\xff\x01 state", 10);
}

template<typename T, typename Setter> KeyCase Row(const char* key, T (*get)(), Setter set, T defaultValue)
{
    const T sample = SampleFor(defaultValue);
    return {QString::fromLatin1(key), QVariant::fromValue(defaultValue), QVariant::fromValue(sample),
            [get] { return QVariant::fromValue(get()); }, [set, sample] { set(sample); }};
}

// The keys as the settings file spells them, with the default each getter must give while a key is absent.
std::vector<KeyCase> StoredKeys()
{
    using S = CSettings;
    const QString none;
    return {
        Row("general/ExportFPAirbusX", &S::GetExportFPAirbusX, &S::SetExportFPAirbusX, false),
        Row("general/ExportFPAirbusXFolder", &S::GetExportFPAirbusXFolder, &S::SetExportFPAirbusXFolder, none),
        Row("general/ExportFPSquawkbox", &S::GetExportFPSquawkbox, &S::SetExportFPSquawkbox, false),
        Row("general/ExportFPSquawkboxFolder", &S::GetExportFPSquawkboxFolder, &S::SetExportFPSquawkboxFolder, none),
        Row("general/ExportFPXPlane", &S::GetExportFPXPlane, &S::SetExportFPXPlane, false),
        Row("general/ExportFPXPlaneFolder", &S::GetExportFPXPlaneFolder, &S::SetExportFPXPlaneFolder, none),
        Row("general/ExportFPFS9", &S::GetExportFPFS9, &S::SetExportFPFS9, false),
        Row("general/ExportFPFS9Folder", &S::GetExportFPFS9Folder, &S::SetExportFPFS9Folder, none),
        Row("general/ExportFPFSX", &S::GetExportFPFSX, &S::SetExportFPFSX, false),
        Row("general/ExportFPFSXFolder", &S::GetExportFPFSXFolder, &S::SetExportFPFSXFolder, none),
        Row("general/ExportMetar", &S::GetExportMetar, &S::SetExportMetar, false),
        Row("general/ExportMetarDir", &S::GetExportMetarDir, &S::SetExportMetarDir, none),
        Row("general/ExportMetarFilename", &S::GetExportMetarFilename, &S::SetExportMetarFilename,
            QStringLiteral("metar.txt")),
        Row("general/ExportPMDG777WX", &S::GetExportPMDG777WX, &S::SetExportPMDG777WX, false),
        Row("general/ExportPMDG777WXFolder", &S::GetExportPMDG777WXFolder, &S::SetExportPMDG777WXFolder, none),
        Row("general/UnitsGallon", &S::GetUnitsGallon, &S::SetUnitsGallon, true),
        Row("general/UnitsLbs", &S::GetUnitsLbs, &S::SetUnitsLbs, true),
        Row("general/logfilenumber", &S::GetLogFileNumber, &S::SetLogFileNumber, 1),
        Row("general/maxlogfilenumber", &S::GetMaxLogFileNumber, &S::SetMaxLogFileNumber, 10),
        Row("general/PathToFlightplan", &S::GetPathToFlightplan, &S::SetPathToFlightplan, none),

        Row("gui/mainGeometry", &S::GetMainGeometry, &S::SetMainGeometry, QRect(553, 219, 814, 642)),
        Row("gui/mainState", &S::GetMainState, &S::SetMainState, QByteArray()),
        Row("gui/splittermain", &S::GetSplitterMain, &S::SetSplitterMain, QByteArray()),
        Row("gui/splitterbottom", &S::GetSplitterBottom, &S::SetSplitterBottom, QByteArray()),
        Row("gui/stayontop", &S::GetStayOnTop, &S::SetStayOnTop, false),

        Row("views/showtabdebug", &S::GetShowTabDebug, &S::SetShowTabDebug, true),
        Row("views/showtabflightdata", &S::GetShowTabFlightData, &S::SetShowTabFlightData, true),
        Row("views/showtabflightrecorder", &S::GetShowTabFlightRecorder, &S::SetShowTabFlightRecorder, true),
        Row("views/showtabflightplanner", &S::GetShowTabFlightPlanner, &S::SetShowTabFlightPlanner, true),
        Row("views/showtabloadeditor", &S::GetShowTabLoadEditor, &S::SetShowTabLoadEditor, true),
        Row("views/showtabweather", &S::GetShowTabWeather, &S::SetShowTabWeather, true),

        Row("info/aircrafteditor", &S::GetInfoAircraftEditor, &S::SetInfoAircraftEditor, true),
        Row("info/automode", &S::GetInfoAutoMode, &S::SetInfoAutoMode, true),
        Row("info/showtipdialog", &S::GetShowTipDialog, &S::SetShowTipDialog, true),

        Row("startup/autoconnectfs", &S::GetAutoConnectFS, &S::SetAutoConnectFS, true),
        Row("startup/clearwx", &S::GetClearWX, &S::SetClearWX, true),
        Row("startup/downloadwx", &S::GetDownloadWX, &S::SetDownloadWX, false),

        Row("weather/automode", &S::GetAutoMode, &S::SetAutoMode, false),
        Row("weather/modelfilemode", &S::GetModelFileMode, &S::SetModelFileMode, false),
        Row("weather/normalmode", &S::GetNormalMode, &S::SetNormalMode, false),
        Row("weather/modelfileSize", &S::GetModelFileSize, &S::SetModelFileSize, 20),
        Row("weather/createnewwxstation", &S::GetCreateNewWXStation, &S::SetCreateNewWXStation, true),
        Row("weather/ServerLocation", &S::GetServerLocation, &S::SetServerLocation, 0),
        Row("weather/metarfeed", &S::GetMetarFeed, &S::SetMetarFeed, 3),
        Row("weather/maxCloudLayers", &S::GetMaxCloudLayers, &S::SetMaxCloudLayers, 5),
        Row("weather/CavokBase", &S::GetCavokBase, &S::SetCavokBase, 7000),
        Row("weather/CavokCoverage", &S::GetCavokCoverage, &S::SetCavokCoverage, 1),
        Row("weather/generateCirrus", &S::GetGenerateCirrus, &S::SetGenerateCirrus, true),
        Row("weather/generateFogAsStratus", &S::GetGenerateFogAsStratus, &S::SetGenerateFogAsStratus, false),
        Row("weather/icingInClouds", &S::GetIcingInClouds, &S::SetIcingInClouds, true),
        Row("weather/mixedClouds", &S::GetMixedClouds, &S::SetMixedClouds, false),
        Row("weather/maxVisibility", &S::GetMaxVisibility, &S::SetMaxVisibility, 200),
        Row("weather/minVisibilityMetar9999", &S::GetMinVisibilityMetar9999, &S::SetMinVisibilityMetar9999, 50),
        Row("weather/minVisibility", &S::GetMinVisibility, &S::SetMinVisibility, 0),
        Row("weather/windTurbulenceInCloud", &S::GetWindTurbulenceInCloud, &S::SetWindTurbulenceInCloud, true),
        Row("weather/windSlightlGustSurfaceWind", &S::GetWindSlightlGustSurfaceWind, &S::SetWindSlightlGustSurfaceWind,
            true),
        Row("weather/windDwc", &S::GetWindDwc, &S::SetWindDwc, true),
        Row("weather/windDwcDegreesPerSecond", &S::GetWindDwcDegreesPerSecond, &S::SetWindDwcDegreesPerSecond, 5),
        Row("weather/windDwcKnotsPerSecond", &S::GetWindDwcKnotsPerSecond, &S::SetWindDwcKnotsPerSecond, 2),
        Row("weather/update", &S::GetWeatherUpdate, &S::SetWeatherUpdate, true),
        Row("weather/updateInterval", &S::GetUpdateInterval, &S::SetUpdateInterval, 30),
        Row("weather/weatherradius", &S::GetWeatherRadius, &S::SetWeatherRadius, 200),
        Row("weather/noUpdateInApproach", &S::GetNoUpdateInApproach, &S::SetNoUpdateInApproach, true),
        Row("weather/noUpdateInApproachHeight", &S::GetNoUpdateInApproachHeight, &S::SetNoUpdateInApproachHeight, 5000),
        Row("weather/XPUpdateDist", &S::GetXPUpdateDist, &S::SetXPUpdateDist, 20),
        Row("weather/XPUpdateTime", &S::GetXPUpdateTime, &S::SetXPUpdateTime, 10),

        Row("interface/type", &S::GetInterfaceType, &S::SetInterfaceType, 1),
        Row("interface/FSmessage", &S::GetFSMessage, &S::SetFSMessage, true),
        Row("interface/PauseBetweenWXStation", &S::GetPauseBetweenWXStation, &S::SetPauseBetweenWXStation, 200),
        Row("interface/ServerIP", &S::GetServerIP, &S::SetServerIP, QStringLiteral("127.0.0.1")),
        Row("interface/ServerPort", &S::GetServerPort, &S::SetServerPort, QStringLiteral("17300")),
        Row("interface/PathToFS", &S::GetPathToFS, &S::SetPathToFS, none),
        Row("interface/PathToXPlane", &S::GetPathToXPlane, &S::SetPathToXPlane, none),

        Row("recorder/flightautostart", &S::GetFlightAutoStart, &S::SetFlightAutoStart, false),
        Row("recorder/exportaerovane", &S::GetExportAerovane, &S::SetExportAerovane, false),
        Row("recorder/aerovaneuserid", &S::GetAerovaneUserId, &S::SetAerovaneUserId, none),
        Row("recorder/aerovanerecorderhash", &S::GetAerovaneRecorderHash, &S::SetAerovaneRecorderHash, none),
        Row("recorder/flight2email", &S::GetFlight2Email, &S::SetFlight2Email, false),
        Row("recorder/flight2emailadress", &S::GetFlight2EmailAdress, &S::SetFlight2EmailAdress, none),
        Row("recorder/isflight2phpfile", &S::GetIsFlight2PhpFile, &S::SetIsFlight2PhpFile, false),
        Row("recorder/flight2phpfileUrl", &S::GetFlight2PhpFileUrl, &S::SetFlight2PhpFileUrl, none),
        Row("recorder/userid", &S::GetUserId, &S::SetUserId, none),
        Row("recorder/useremail", &S::GetUserEmail, &S::SetUserEmail, none),
    };
}

using SettingsKeys = SettingsTest;

TEST_F(SettingsKeys, EmptyFileGivesEveryDefaultAndReadingCreatesNoFile)
{
    for (const KeyCase& row : StoredKeys())
        EXPECT_EQ(row.get(), row.defaultValue) << row.key.toStdString();
    EXPECT_FALSE(CSettings::GetDwlTaf());
    EXPECT_FALSE(CSettings::GetUnitsKg());
    EXPECT_FALSE(CSettings::GetUnitsLiter());
    CSettings::Release();

    EXPECT_TRUE(FilesInWorkingDir().isEmpty()) << FilesInWorkingDir().join(QLatin1Char(' ')).toStdString();
}

TEST_F(SettingsKeys, FileSpellsEveryKeyExactlyAndTheNextRunReadsItBack)
{
    const std::vector<KeyCase> rows = StoredKeys();
    QStringList tableKeys;
    for (const KeyCase& row : rows) {
        row.setSample();
        tableKeys << row.key;
    }
    CSettings::Release();

    QStringList fileKeys = KeysInIniFile();
    fileKeys.sort();
    tableKeys.sort();
    EXPECT_EQ(fileKeys, tableKeys);

    SimulateRestart();
    for (const KeyCase& row : rows)
        EXPECT_EQ(row.get(), row.sample) << row.key.toStdString();
}

TEST_F(SettingsKeys, GeneralGroupWrittenByQtIsReadOnTheNextRunAndDerivesTheUnits)
{
    WriteIniText("[%General]\nlogfilenumber=7\nExportFPFSXFolder=D:/Plans\nUnitsLbs=false\nUnitsGallon=false\n");

    EXPECT_EQ(CSettings::GetLogFileNumber(), 7);
    EXPECT_EQ(CSettings::GetExportFPFSXFolder(), QStringLiteral("D:/Plans"));
    EXPECT_TRUE(CSettings::GetUnitsKg());
    EXPECT_TRUE(CSettings::GetUnitsLiter());
}

} // namespace
