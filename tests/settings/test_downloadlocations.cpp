// Download addresses composed from the settings: server bases, METAR feeds, fixed files, the grid request
// path and the flights folder.
#include "settingstestsupport.h"

#include "platform/programfolder.h"
#include "weather/position.h"

#include <QLocale>
#include <QSettings>

#include <clocale>
#include <string>

namespace {

const QString kFirstBase = QStringLiteral("http://127.0.0.1:28001");
const QString kSecondBase = QStringLiteral("http://127.0.0.1:28002");
const QString kShannonSingle = QStringLiteral("/get_grib_v2.php?lat=53.50&lon=-9.25&mode=single&key=64093");
const QString kShannonMulti = QStringLiteral("/get_grib_v2.php?lat=53.50&lon=-9.25&mode=multi&key=64093");

using DownloadLocations = SettingsTest;

TEST_F(DownloadLocations, ServerLocationZeroChoosesTheFirstBaseAnyOtherTheSecond)
{
    EXPECT_EQ(CSettings::GetServerUrl(), kFirstBase);
    EXPECT_EQ(CSettings::GetSynopUrl(), kFirstBase + QStringLiteral("/synop.txt"));
    EXPECT_EQ(CSettings::GetSynopBBXXUrl(), kFirstBase + QStringLiteral("/synop_BBXX.txt"));
    EXPECT_EQ(CSettings::GetTafUrl(), kFirstBase + QStringLiteral("/taf.txt"));

    for (int location : {1, 5, -1}) {
        CSettings::SetServerLocation(location);
        EXPECT_EQ(CSettings::GetServerUrl(), kSecondBase) << location;
        EXPECT_EQ(CSettings::GetServerUrlDE(), kFirstBase) << location;
        EXPECT_EQ(CSettings::GetTafUrl(), kSecondBase + QStringLiteral("/taf.txt")) << location;
    }
}

TEST_F(DownloadLocations, WeatherServerFeedIsStoredOnFirstUseAndSurvivesALocationSwitch)
{
    const QString firstFeed = kFirstBase + QStringLiteral("/metar_noaa.txt");
    EXPECT_EQ(CSettings::GetMetarFeedUrl(), firstFeed);
    CSettings::SetServerLocation(1);
    EXPECT_EQ(CSettings::GetMetarFeedUrl(), firstFeed);
    CSettings::Release();
    EXPECT_EQ(QSettings(IniPath(), QSettings::IniFormat).value(QStringLiteral("weather/metar_noaa")).toString(),
              firstFeed);

    // Any feed other than the two networks is the weather server's file.
    QSettings(IniPath(), QSettings::IniFormat).remove(QStringLiteral("weather/metar_noaa"));
    for (int feed : {0, 3, 4, 99}) {
        CSettings::SetMetarFeed(feed);
        EXPECT_EQ(CSettings::GetMetarFeedUrl(), kSecondBase + QStringLiteral("/metar_noaa.txt")) << feed;
    }
}

TEST_F(DownloadLocations, NetworkFeedsUseTheirStoredAddressAsEdited)
{
    CSettings::SetMetarFeed(1);
    EXPECT_EQ(CSettings::GetMetarFeedUrl(), QStringLiteral("http://127.0.0.1:28003/metar.php?id=ALL"));
    CSettings::SetMetarFeed(2);
    EXPECT_EQ(CSettings::GetMetarFeedUrl(), QStringLiteral("http://127.0.0.1:28004/metar.php"));
    CSettings::Release();
    EXPECT_TRUE(KeysInIniFile().contains(QStringLiteral("weather/metar_vatsim")));
    EXPECT_TRUE(KeysInIniFile().contains(QStringLiteral("weather/metar_ivao")));

    QSettings(IniPath(), QSettings::IniFormat)
        .setValue(QStringLiteral("weather/metar_vatsim"), QStringLiteral("http://metar.example.net/all.txt"));
    CSettings::SetMetarFeed(1);
    EXPECT_EQ(CSettings::GetMetarFeedUrl(), QStringLiteral("http://metar.example.net/all.txt"));
}

TEST_F(DownloadLocations, FeedAddressTypedWithACommaIsKeptByTheWriteBack)
{
    const QString edited = QStringLiteral("http://127.0.0.1:28004/metar.php?id=EDDF,EGLL,LOWW");
    WriteIniText("[weather]\nmetarfeed=2\nmetar_ivao=http://127.0.0.1:28004/metar.php?id=EDDF,EGLL,LOWW\n");

    EXPECT_EQ(CSettings::GetMetarFeedUrl(), edited);
    SimulateRestart();
    EXPECT_EQ(CSettings::GetMetarFeedUrl(), edited);
}

TEST_F(DownloadLocations, BuiltInAddressesAreLoopbackAndTestsCanReplaceThem)
{
    const ServerAddresses builtIn = ServerAddresses::BuiltIn();
    for (const QString& url : {builtIn.serverUrlDE, builtIn.serverUrlUS, builtIn.metarVatsimUrl, builtIn.metarIvaoUrl})
        EXPECT_TRUE(url.startsWith(QStringLiteral("http://"))) << url.toStdString();
    EXPECT_FALSE(builtIn.serverUrlDE.endsWith(QLatin1Char('/')));
    EXPECT_FALSE(builtIn.serverUrlUS.endsWith(QLatin1Char('/')));

    {
        ServerAddresses other = LoopbackAddresses();
        other.serverUrlDE = QStringLiteral("http://127.0.0.1:39000");
        ScopedServerAddresses scoped(other);
        EXPECT_EQ(CSettings::GetServerUrl(), QStringLiteral("http://127.0.0.1:39000"));
    }
    EXPECT_EQ(CSettings::GetServerUrl(), kFirstBase);
}

// Lets two runs on one machine each use a loopback server of their own, route finder and recorder included.
TEST_F(DownloadLocations, EnvironmentBaseReplacesBothLocationsAndTheServicesOfTheBuild)
{
    const ServerAddresses build = ServerAddresses::BuiltIn();
    for (const auto& [value, base] :
         {std::pair<QByteArray, QString>{"http://127.0.0.1:28005/", "http://127.0.0.1:28005"},
          {"  http://127.0.0.1:28006  ", "http://127.0.0.1:28006"},
          {"", build.serverUrlDE}}) {
        qputenv("AEROVANE_SERVER_URL", value);
        const ServerAddresses addresses = ServerAddresses::BuiltIn();
        EXPECT_EQ(addresses.serverUrlDE, base) << value.constData();
        EXPECT_EQ(addresses.serverUrlUS, value.isEmpty() ? build.serverUrlUS : base) << value.constData();
        EXPECT_EQ(addresses.recorderUrl, value.isEmpty() ? build.recorderUrl : base) << value.constData();
        EXPECT_EQ(addresses.routeFinderUrl, value.isEmpty() ? build.routeFinderUrl : base) << value.constData();
        EXPECT_EQ(addresses.metarVatsimUrl, build.metarVatsimUrl);
    }
    qunsetenv("AEROVANE_SERVER_URL");
}

TEST(GribRequestPath, FormatsTwoDecimalsLatitudeFirstWithTheServiceKey)
{
    const aviation::Position shannon(53.5, -9.25);
    EXPECT_EQ(CSettings::GetGribRequestPath(shannon, 1), kShannonSingle);
    EXPECT_EQ(CSettings::GetGribRequestPath(shannon, 0), kShannonMulti);
    EXPECT_EQ(CSettings::GetGribRequestPath(shannon, 2), kShannonMulti);
    EXPECT_EQ(CSettings::GetGribRequestPath(aviation::Position(-33.946, 151.177), 1),
              QStringLiteral("/get_grib_v2.php?lat=-33.95&lon=151.18&mode=single&key=64093"));
}

TEST(GribRequestPath, IgnoresACommaDecimalLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    const QLocale previousQtLocale;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    const QString single = CSettings::GetGribRequestPath(aviation::Position(53.5, -9.25), 1);
    const QString area = CSettings::GetGribRequestPath(aviation::Position(53.5, -9.25), 0);

    QLocale::setDefault(previousQtLocale);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(single, kShannonSingle);
    EXPECT_EQ(area, kShannonMulti);
}

TEST(FlightsFolder, IsInTheProgramFolderWhateverTheWorkingDirectory)
{
    platform::SetProgramFolderForTesting(QStringLiteral("/opt/aerovane"));
    const QString folder = CSettings::GetFlightsFolder();
    platform::SetProgramFolderForTesting(QString());

    EXPECT_EQ(folder, QStringLiteral("/opt/aerovane") + QDir::separator() + QStringLiteral("flights"));
}

} // namespace
