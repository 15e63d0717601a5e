// The keys of the settings file "aerovane_pro.ini", one row each: accessor name, value type, key text and the
// default its getter returns while the key is absent. Row X(Name, Type, "group/key", default) gives
// CSettings::GetName() and CSettings::SetName(value); rows of AEROVANE_READ_ONLY_SETTINGS give only the getter.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

// clang-format off
#define AEROVANE_STORED_SETTINGS(X) \
    /* general: flight-plan export, METAR export, units, log rotation */ \
    X(ExportFPAirbusX,             bool,       "general/ExportFPAirbusX",              false) \
    X(ExportFPAirbusXFolder,       QString,    "general/ExportFPAirbusXFolder",        QString()) \
    X(ExportFPSquawkbox,           bool,       "general/ExportFPSquawkbox",            false) \
    X(ExportFPSquawkboxFolder,     QString,    "general/ExportFPSquawkboxFolder",      QString()) \
    X(ExportFPXPlane,              bool,       "general/ExportFPXPlane",               false) \
    X(ExportFPXPlaneFolder,        QString,    "general/ExportFPXPlaneFolder",         QString()) \
    X(ExportFPFS9,                 bool,       "general/ExportFPFS9",                  false) \
    X(ExportFPFS9Folder,           QString,    "general/ExportFPFS9Folder",            QString()) \
    X(ExportFPFSX,                 bool,       "general/ExportFPFSX",                  false) \
    X(ExportFPFSXFolder,           QString,    "general/ExportFPFSXFolder",             QString()) \
    X(ExportMetar,                 bool,       "general/ExportMetar",                  false) \
    X(ExportMetarDir,              QString,    "general/ExportMetarDir",               QString()) \
    X(ExportMetarFilename,         QString,    "general/ExportMetarFilename",          QStringLiteral("metar.txt")) \
    X(ExportPMDG777WX,             bool,       "general/ExportPMDG777WX",              false) \
    X(ExportPMDG777WXFolder,       QString,    "general/ExportPMDG777WXFolder",        QString()) \
    X(UnitsGallon,                 bool,       "general/UnitsGallon",                  true) \
    X(UnitsLbs,                    bool,       "general/UnitsLbs",                     true) \
    X(LogFileNumber,               int,        "general/logfilenumber",                1) \
    X(MaxLogFileNumber,            int,        "general/maxlogfilenumber",             10) \
    X(PathToFlightplan,            QString,    "general/PathToFlightplan",             QString()) \
    /* gui: main window layout */ \
    X(MainGeometry,                QRect,      "gui/mainGeometry",                     QRect(553, 219, 814, 642)) \
    X(MainState,                   QByteArray, "gui/mainState",                        QByteArray()) \
    X(SplitterMain,                QByteArray, "gui/splittermain",                     QByteArray()) \
    X(SplitterBottom,              QByteArray, "gui/splitterbottom",                   QByteArray()) \
    X(StayOnTop,                   bool,       "gui/stayontop",                        false) \
    /* views: tabs of the main window */ \
    X(ShowTabDebug,                bool,       "views/showtabdebug",                   true) \
    X(ShowTabFlightData,           bool,       "views/showtabflightdata",              true) \
    X(ShowTabFlightRecorder,       bool,       "views/showtabflightrecorder",          true) \
    X(ShowTabFlightPlanner,        bool,       "views/showtabflightplanner",           true) \
    X(ShowTabLoadEditor,           bool,       "views/showtabloadeditor",              true) \
    X(ShowTabWeather,              bool,       "views/showtabweather",                 true) \
    /* info: one-time hints */ \
    X(InfoAircraftEditor,          bool,       "info/aircrafteditor",                  true) \
    X(InfoAutoMode,                bool,       "info/automode",                        true) \
    X(ShowTipDialog,               bool,       "info/showtipdialog",                   true) \
    /* startup */ \
    X(AutoConnectFS,               bool,       "startup/autoconnectfs",                true) \
    X(ClearWX,                     bool,       "startup/clearwx",                      true) \
    X(DownloadWX,                  bool,       "startup/downloadwx",                   false) \
    /* weather: modes and sources */ \
    X(AutoMode,                    bool,       "weather/automode",                     false) \
    X(ModelFileMode,               bool,       "weather/modelfilemode",                false) \
    X(NormalMode,                  bool,       "weather/normalmode",                   false) \
    X(ModelFileSize,               int,        "weather/modelfileSize",                20) \
    X(CreateNewWXStation,          bool,       "weather/createnewwxstation",           true) \
    X(ServerLocation,              int,        "weather/ServerLocation",               0) \
    X(MetarFeed,                   int,        "weather/metarfeed",                    3) \
    /* weather: generation options */ \
    X(MaxCloudLayers,              int,        "weather/maxCloudLayers",               5) \
    X(CavokBase,                   int,        "weather/CavokBase",                    7000) \
    X(CavokCoverage,               int,        "weather/CavokCoverage",                1) \
    X(GenerateCirrus,              bool,       "weather/generateCirrus",               true) \
    X(GenerateFogAsStratus,        bool,       "weather/generateFogAsStratus",         false) \
    X(IcingInClouds,               bool,       "weather/icingInClouds",                true) \
    X(MixedClouds,                 bool,       "weather/mixedClouds",                  false) \
    X(MaxVisibility,               int,        "weather/maxVisibility",                200) \
    X(MinVisibilityMetar9999,      int,        "weather/minVisibilityMetar9999",       50) \
    X(MinVisibility,               int,        "weather/minVisibility",                0) \
    X(WindTurbulenceInCloud,       bool,       "weather/windTurbulenceInCloud",        true) \
    X(WindSlightlGustSurfaceWind,  bool,       "weather/windSlightlGustSurfaceWind",   true) \
    /* weather: direct wind control */ \
    X(WindDwc,                     bool,       "weather/windDwc",                      true) \
    X(WindDwcDegreesPerSecond,     int,        "weather/windDwcDegreesPerSecond",      5) \
    X(WindDwcKnotsPerSecond,       int,        "weather/windDwcKnotsPerSecond",        2) \
    /* weather: update policy */ \
    X(WeatherUpdate,               bool,       "weather/update",                       true) \
    X(UpdateInterval,              int,        "weather/updateInterval",               30) \
    X(WeatherRadius,               int,        "weather/weatherradius",                200) \
    X(NoUpdateInApproach,          bool,       "weather/noUpdateInApproach",           true) \
    X(NoUpdateInApproachHeight,    int,        "weather/noUpdateInApproachHeight",     5000) \
    X(XPUpdateDist,                int,        "weather/XPUpdateDist",                 20) \
    X(XPUpdateTime,                int,        "weather/XPUpdateTime",                 10) \
    /* interface: the link to the simulator */ \
    X(InterfaceType,               int,        "interface/type",                       1) \
    X(FSMessage,                   bool,       "interface/FSmessage",                  true) \
    X(PauseBetweenWXStation,       int,        "interface/PauseBetweenWXStation",      200) \
    X(ServerIP,                    QString,    "interface/ServerIP",                   QStringLiteral("127.0.0.1")) \
    X(ServerPort,                  QString,    "interface/ServerPort",                 QStringLiteral("17300")) \
    X(PathToFS,                    QString,    "interface/PathToFS",                   QString()) \
    X(PathToXPlane,                QString,    "interface/PathToXPlane",               QString()) \
    /* recorder: flight reports and uploads */ \
    X(FlightAutoStart,             bool,       "recorder/flightautostart",             false) \
    X(ExportAerovane,              bool,       "recorder/exportaerovane",              false) \
    X(AerovaneUserId,              QString,    "recorder/aerovaneuserid",              QString()) \
    X(AerovaneRecorderHash,        QString,    "recorder/aerovanerecorderhash",        QString()) \
    X(Flight2Email,                bool,       "recorder/flight2email",                false) \
    X(Flight2EmailAdress,          QString,    "recorder/flight2emailadress",          QString()) \
    X(IsFlight2PhpFile,            bool,       "recorder/isflight2phpfile",            false) \
    X(Flight2PhpFileUrl,           QString,    "recorder/flight2phpfileUrl",           QString()) \
    X(UserId,                      QString,    "recorder/userid",                      QString()) \
    X(UserEmail,                   QString,    "recorder/useremail",                   QString())

#define AEROVANE_READ_ONLY_SETTINGS(X) \
    /* only consulted by the separate-file weather download, which the combined download replaces */ \
    X(DwlTaf,                      bool,       "weather/dwlTaf",                       false)
// clang-format on
