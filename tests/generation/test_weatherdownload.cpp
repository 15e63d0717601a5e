#include "tests/support/stallclock.h"
#include "weatherworkertest.h"

#include <QRegularExpression>

using aviation::Position;
using tools::WxServer;

TEST_F(WeatherWorkerTest, DownloadWeatherLoadsTheServersSnapshot)
{
    m_host.connected = true;
    Worker().DownloadWeather();

    EXPECT_EQ(Worker().GetMetar(QStringLiteral("EGLL")).GetRaw(),
              L"EGLL 221850Z AUTO 15006KT 9999 BKN027 15/13 Q1011 NOSIG");
    EXPECT_TRUE(Worker().GetTaf(QStringLiteral("EGLL")).startsWith(QStringLiteral("EGLL 111941Z 1119/1224")));
    EXPECT_EQ(Worker().GetTaf(QStringLiteral("ZZZZ")), QStringLiteral("no TAF available"));
    // Thousands of METARs and hundreds of SYNOPs.
    for (const char* count : {"Metar: \\d{4}", "Synop: \\d{3}"}) {
        const QRegularExpression line(QStringLiteral("^\\(WeatherManager\\) initialization finished, %1 $").arg(count));
        EXPECT_EQ(m_host.log.filter(line).size(), 1) << count;
    }
    EXPECT_FALSE(QFile::exists(ProgramFile(QStringLiteral("weather.gz"))));
    EXPECT_FALSE(QFile::exists(ProgramFile(QStringLiteral("weather.txt"))));
    EXPECT_EQ(Worker().GetWeatherSource(), WeatherDataLive);
    EXPECT_EQ(m_host.statuses.last(), QStringLiteral("Success"));
    // Connected: every weather command comes back.
    EXPECT_EQ(m_host.CallsStartingWith(QStringLiteral("sigDisableButton(")).mid(3),
              QStringList({"sigDisableButton(0,false)", "sigDisableButton(3,false)", "sigDisableButton(1,false)",
                           "sigDisableButton(2,false)"}));
}

TEST_F(WeatherWorkerTest, FailedDownloadsKeepTheLoadedWeatherAndSaySo)
{
    struct Case
    {
        const char* name;
        WxServer::Failure failure;
        bool closedPort;
        const char* reason; // the text between "Download weather failed: " and ", next try in"
        bool reached;
        qint64 passWindowAfter; // the body bytes after which the clock passes the stall window (see StallClock)
    };
    const qint64 never = StallClock::kNever;
    const Case cases[] = {
        {"not found", WxServer::Failure::NotFound, false, "HTTP 404", true, never},
        {"server error", WxServer::Failure::InternalError, false, "HTTP 500", true, never},
        {"connection refused", WxServer::Failure::None, true, "connection refused", false, never},
        {"silent server", WxServer::Failure::Stall, false, "stalled: less than 64 bytes in 1 s", false,
         StallClock::kOnUnansweredRequest},
        {"trickling server", WxServer::Failure::Trickle, false, "stalled: less than 64 bytes in 1 s", true, 1},
        {"HTML page with status 200", WxServer::Failure::HtmlPage, false, "damaged or incomplete archive", true, never},
        {"corrupt gzip", WxServer::Failure::CorruptGzip, false, "damaged or incomplete archive", true, never},
        {"gzip cut after the METAR section", WxServer::Failure::CutAtSection, false, "damaged or incomplete archive",
         true, never},
    };
    m_host.connected = true;
    // A second of a fixed clock, which passes only for a server that stops or trickles, once it has been reached.
    m_host.downloader.SetStallLimit(1000, 64);
    platform::ScopedClock clock(platform::NowSeconds());
    StallClock stallClock(clock, m_host.downloader, m_server, 1000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        stallClock.PassWindowAfter(c.passWindowAfter);
        Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString());
        m_host.Clear();
        m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), c.failure);
        PointSettingsAt(c.closedPort ? ClosedPortUrl() : m_server.BaseUrl());

        Worker().DownloadWeather();

        EXPECT_EQ(Worker().GetWeatherManager()->CMetarManager::GetCount(), 2);
        EXPECT_FALSE(m_host.statuses.contains(QStringLiteral("Success")));
        EXPECT_TRUE(m_host.statuses.last().startsWith(
            QStringLiteral("Download weather failed: %1, next try in ").arg(QLatin1String(c.reason))))
            << m_host.statuses.last().toStdString();
        EXPECT_TRUE(m_host.calls.contains(QStringLiteral("ShowWeatherServerReached(%1)").arg(c.reached)));
        EXPECT_TRUE(m_host.calls.contains(QStringLiteral("sigDisableButton(0,false)")));
    }
}

// A whole file without SYNOP and TAF sections leaves those stores as the last good download filled them (a cut
// file is a failed download, above).
TEST_F(WeatherWorkerTest, MissingSectionsNeverEmptyTheirStores)
{
    Worker().DownloadWeather();
    const int synops = Worker().GetWeatherManager()->CSynopManager::GetCount();
    ASSERT_GT(synops, 100);
    m_server.SetCombinedText(QByteArray("[METAR]\n") + kFrankfurtMetars + "[/METAR]\n");
    m_host.Clear();
    Worker().DownloadWeather();
    EXPECT_EQ(m_host.statuses.last(), QStringLiteral("Success"));
    EXPECT_EQ(Worker().GetWeatherManager()->CSynopManager::GetCount(), synops);
    EXPECT_TRUE(Worker().GetTaf(QStringLiteral("EGLL")).startsWith(QStringLiteral("EGLL 111941Z")));
}

TEST_F(WeatherWorkerTest, StoredWeatherGivesWayOnlyToAGoodDownload)
{
    const Position frankfurt(50.1, 8.6);
    Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString::fromLatin1(kFrankfurtGrid));
    for (const WxServer::Failure failure : {WxServer::Failure::CorruptGzip, WxServer::Failure::None}) {
        Worker().SetWeatherSource(WeatherDataStored);
        m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), failure);
        Worker().DownloadWeather();
        const bool good = failure == WxServer::Failure::None;
        EXPECT_EQ(Worker().GetWeatherManager()->HasGribNear(frankfurt), !good);
        EXPECT_EQ(Worker().GetWeatherManager()->CMetarManager::GetCount() > 4000, good);
    }
}

TEST_F(WeatherWorkerTest, OnlyAGoodDownloadWritesTheExportAndXPlaneFiles)
{
    const QString xplane = m_workDir.filePath(QStringLiteral("xplane"));
    QDir().mkdir(xplane);
    CSettings::SetFSVersion(10);
    CSettings::SetPathToXPlane(xplane);
    CSettings::SetExportMetar(true);
    CSettings::SetExportMetarDir(m_workDir.path());
    m_server.SetCombinedText(QByteArray("[METAR]\n") + kFrankfurtMetars + "[/METAR]\n");
    Worker().DownloadWeather();
    EXPECT_EQ(ReadFile(xplane + QStringLiteral("/METAR.rwx")), QByteArray("\n") + kFrankfurtMetars);
    EXPECT_EQ(ReadFile(m_workDir.filePath(QStringLiteral("metar.txt"))), QByteArray("\n") + kFrankfurtMetars);

    m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), WxServer::Failure::HtmlPage);
    WriteFile(xplane + QStringLiteral("/METAR.rwx"), "earlier reports\n");
    Worker().DownloadWeather();
    EXPECT_EQ(ReadFile(xplane + QStringLiteral("/METAR.rwx")), QByteArray("earlier reports\n"));
    EXPECT_EQ(ReadFile(m_workDir.filePath(QStringLiteral("metar.txt"))), QByteArray("\n") + kFrankfurtMetars);
}

TEST_F(WeatherWorkerTest, DownloadWeatherFetchesGridDataOnlyWhenNoneIsNearTheAircraft)
{
    aviation::structs::CAircraft aircraft;
    aircraft.SetLatitude(50.034);
    aircraft.SetLongitude(8.571);
    Worker().SetAircraft(aircraft);

    Worker().DownloadWeather();
    EXPECT_EQ(m_server.Requests(),
              QStringList({"/weather_vatsim.gz", "/get_grib_v2.php?lat=50.03&lon=8.57&mode=multi&key=64093"}));
    EXPECT_TRUE(Worker().GetWeatherManager()->HasGribNear(aircraft));

    m_server.ClearRequests();
    Worker().DownloadWeather();
    EXPECT_EQ(m_server.Requests(), QStringList({"/weather_vatsim.gz"}));

    // Both fail: the weather's failure is shown before the grid is tried, and stands at the end.
    platform::ScopedClock clock(platform::NowSeconds());
    aircraft.SetLatitude(-33.95);
    aircraft.SetLongitude(151.18);
    Worker().SetAircraft(aircraft);
    m_host.connected = true;
    m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), WxServer::Failure::NotFound);
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), WxServer::Failure::InternalError);
    m_host.Clear();
    Worker().DownloadWeather();
    const QString weatherFailed = QStringLiteral("Download weather failed: HTTP 404, next try in 60 s");
    EXPECT_EQ(m_host.statuses.indexOf(weatherFailed), m_host.statuses.indexOf(QStringLiteral("Download Grib")) - 1);
    EXPECT_TRUE(m_host.statuses.contains(QStringLiteral("Download Grib failed: HTTP 500, next try in 60 s")));
    EXPECT_EQ(m_host.statuses.last(), weatherFailed);

    // The server answers again: the grid, held back for a minute since its failure, is tried at once.
    m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), WxServer::Failure::None);
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), WxServer::Failure::None);
    m_server.ClearRequests();
    EXPECT_TRUE(Worker().DownloadWeather());
    EXPECT_EQ(m_server.Requests(),
              QStringList({"/weather_vatsim.gz", "/get_grib_v2.php?lat=-33.95&lon=151.18&mode=multi&key=64093"}));
    EXPECT_TRUE(Worker().GetWeatherManager()->HasGribNear(aircraft));
}
