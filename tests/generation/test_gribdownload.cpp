#include "platform/clock.h"
#include "tests/support/stallclock.h"
#include "weatherworkertest.h"

#include <QTimer>

#include <utility>
#include <vector>

using aviation::Position;
using aviation::weather::CGrib;
using tools::WxServer;

// A network failure holds every grid download back, the next try waiting as a failed weather download's does; a
// refusal is the answer for one position and holds nothing back.
TEST_F(WeatherWorkerTest, DownloadGribStoresTheAreaAndFailuresHoldEveryGridDownloadBack)
{
    platform::ScopedClock clock(1796640000);
    m_host.connected = true;
    const Position frankfurt(50.034, 8.571);
    EXPECT_TRUE(Worker().DownloadGrib(frankfurt, false));
    EXPECT_EQ(m_server.Requests(), QStringList({"/get_grib_v2.php?lat=50.03&lon=8.57&mode=multi&key=64093"}));
    EXPECT_TRUE(Worker().GetWeatherManager()->HasGribNear(frankfurt));

    const Position sydney(-33.95, 151.18);
    const std::wstring before = Worker().GetWeatherManager()->CGribManager::GetAllRaw();
    const std::pair<WxServer::Failure, QString> failures[] = {
        {WxServer::Failure::GridError, QString()},
        {WxServer::Failure::NotFound, "Download Grib failed: HTTP 404, next try in 60 s"},
        {WxServer::Failure::Trickle, "Download Grib failed: stalled: less than 64 bytes in 1 s, next try in 120 s"},
    };
    // The trickle is given up after a second of the clock, which passes once its body has begun.
    m_host.downloader.SetStallLimit(1000, 64);
    StallClock stallClock(clock, m_host.downloader, m_server, 1000);
    for (const auto& [failure, shown] : failures) {
        clock.AdvanceMs(60000);
        stallClock.PassWindowAfter(failure == WxServer::Failure::Trickle ? 1 : StallClock::kNever);
        m_host.Clear();
        m_server.ClearRequests();
        m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), failure);
        EXPECT_FALSE(Worker().DownloadGrib(sydney, true));
        EXPECT_EQ(m_server.Requests().size(), 1);
        EXPECT_EQ(Worker().GetWeatherManager()->CGribManager::GetAllRaw(), before);
        EXPECT_EQ(Worker().GridFailureText(platform::NowSeconds()), shown);
        EXPECT_EQ(m_host.statuses.last(), shown.isEmpty() ? QStringLiteral("Download Grib") : shown);
    }
    EXPECT_TRUE(m_host.log.contains(
        QStringLiteral("(WeatherManager) Download Grib - Network Error 4 (stalled: less than 64 bytes in 1 s)")));

    // Until the next try is due every caller gets no grid at once.
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), WxServer::Failure::None);
    m_server.ClearRequests();
    clock.AdvanceMs(119000);
    Worker().SetWeatherSource(WeatherDataLive);
    CGrib record;
    EXPECT_FALSE(Worker().DownloadGrib(sydney, false));
    EXPECT_FALSE(Worker().DownloadSingleGrib(sydney, &record));
    EXPECT_TRUE(m_server.Requests().isEmpty());
    clock.AdvanceMs(1000);
    EXPECT_TRUE(Worker().DownloadGrib(sydney, false));
    EXPECT_TRUE(Worker().GridFailureText(platform::NowSeconds()).isEmpty());
}

TEST_F(WeatherWorkerTest, DownloadSingleGribAsksOnlyForLiveWeatherWithNothingNear)
{
    Worker().LoadWeatherFromText(QString(), QString(), QString::fromLatin1(kFrankfurtGrid));
    const Position sydney(-33.95, 151.18);
    CGrib record;

    // A stored point 5 NM away answers without a request, whatever the source; stored weather asks nothing.
    Worker().SetWeatherSource(WeatherDataStored);
    EXPECT_TRUE(Worker().DownloadSingleGrib(Position(50.15, 8.65), &record));
    EXPECT_NEAR(record.GetPosition().GetLatitude(), 50.1, 0.001);
    EXPECT_FALSE(Worker().DownloadSingleGrib(sydney, &record));
    EXPECT_TRUE(m_server.Requests().isEmpty());

    Worker().SetWeatherSource(WeatherDataLive);
    EXPECT_TRUE(Worker().DownloadSingleGrib(sydney, &record));
    EXPECT_EQ(m_server.Requests(), QStringList({"/get_grib_v2.php?lat=-33.95&lon=151.18&mode=single&key=64093"}));
    EXPECT_NEAR(record.GetPosition().GetLongitude(), 151.2, 0.01);

    // Failed requests: a point stored within 500 km still answers, none farther away.
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), WxServer::Failure::GridError);
    EXPECT_FALSE(Worker().DownloadSingleGrib(Position(-40.0, 100.0), &record));
    EXPECT_TRUE(
        m_host.log.contains(QStringLiteral("(WeatherWorker) - Error: no grid data available for this position\n")));
    PointSettingsAt(ClosedPortUrl());
    EXPECT_TRUE(Worker().DownloadSingleGrib(Position(52.0, 8.6), &record));
    EXPECT_TRUE(m_host.log.contains(
        QStringLiteral("(WeatherManager) Download single Grib - Network Error 1 (connection refused)")));
}

TEST_F(WeatherWorkerTest, GenerateGridLaysOutRowsFromTheCentreOutwards)
{
    const Position centre(50.0, 8.0);
    const std::vector<Position> grid = Worker().GenerateGrid(centre, 200, 40);
    ASSERT_EQ(grid.size(), 121u);
    // The centre, its row west then east, then the rows north and south of it, each west then east.
    EXPECT_EQ(grid[0], centre);
    EXPECT_EQ(grid[5], Position::GetDestination(centre, 270.0, 200.0));
    EXPECT_EQ(grid[6], Position::GetDestination(centre, 90.0, 40.0));
    EXPECT_EQ(grid[11], Position::GetDestination(centre, 0.0, 40.0));
    EXPECT_EQ(grid[12], Position::GetDestination(grid[11], 270.0, 40.0));
    EXPECT_EQ(grid[110], Position::GetDestination(centre, 180.0, 200.0));
    EXPECT_EQ(grid[120], Position::GetDestination(grid[110], 90.0, 200.0));

    const int cases[][3] = {{30, 40, 1}, {-1, 40, 0}, {40, 40, 9}, {200, 0, 1}, {200, -40, 1}};
    for (const auto& [halfWidth, spacing, points] : cases)
        EXPECT_EQ(Worker().GenerateGrid(centre, halfWidth, spacing).size(), static_cast<std::size_t>(points))
            << halfWidth << " " << spacing;
}

// Two grid requests under way together that both fail hold grid downloads back once: the one that began before the
// other's failure was noted does not lengthen the hold.
TEST_F(WeatherWorkerTest, GridRequestsFailingTogetherHoldTheGridBackOnce)
{
    platform::ScopedClock clock(1796640000);
    m_host.connected = true;
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), WxServer::Failure::Stall);
    // The stalled server sends nothing: a second of the clock without bytes gives each request up. The clock passes
    // that second once the server has taken both requests.
    m_host.downloader.SetStallLimit(1000, 64);
    const Position sydney(-33.95, 151.18);
    bool second = false;
    const QMetaObject::Connection whileTheFirstWaits
        = QObject::connect(&m_server, &WxServer::RequestServed, [this, &clock, &second, &sydney] {
              if (!std::exchange(second, true))
                  QTimer::singleShot(0, [this, &sydney] { EXPECT_FALSE(Worker().DownloadGrib(sydney, false)); });
              else
                  clock.AdvanceMs(1000);
          });
    EXPECT_FALSE(Worker().DownloadGrib(Position(50.034, 8.571), false));
    QObject::disconnect(whileTheFirstWaits);
    EXPECT_EQ(m_server.Requests().size(), 2);
    EXPECT_EQ(Worker().GridFailureText(platform::NowSeconds()),
              "Download Grib failed: stalled: less than 64 bytes in 1 s, next try in 60 s");

    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), WxServer::Failure::None);
    m_host.downloader.SetStallLimit(WXDownloader::kDefaultStallWindowMs, WXDownloader::kDefaultStallMinimumBytes);
    clock.AdvanceMs(60000);
    EXPECT_TRUE(Worker().DownloadGrib(sydney, false));
}
