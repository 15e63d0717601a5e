#include "weatherworkertest.h"

#include <QTcpServer>

#include <vector>

using aviation::Position;
using aviation::weather::CGrib;
using tools::WxServer;

namespace {

const QString kGridPath = QStringLiteral("/get_grib_v2.php");

} // namespace

TEST_F(WeatherWorkerTest, DownloadGribAsksForTheAreaAndStoresIt)
{
    const Position position(50.034, 8.571);
    EXPECT_TRUE(Worker().DownloadGrib(position, false));
    EXPECT_EQ(m_server.Requests(), QStringList({"/get_grib_v2.php?lat=50.03&lon=8.57&mode=multi&key=64093"}));
    EXPECT_TRUE(Worker().GetWeatherManager()->HasGribNear(position));
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherManager) Download Grib, position: 50.03, 8.57")));
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherManager) Grib decoded")));
    EXPECT_EQ(m_host.calls.last(), QStringLiteral("sigUIUpdateProgress(0,)"));
}

TEST_F(WeatherWorkerTest, DownloadGribFailuresLeaveTheStoreAlone)
{
    struct Case
    {
        const char* name;
        WxServer::Failure failure;
        const char* logLine;
    };
    const Case cases[] = {
        {"refusal", WxServer::Failure::GridError,
         "(WeatherWorker) - Error: no grid data available for this position\n"},
        {"not found", WxServer::Failure::NotFound, "(WeatherManager) Download Grib - Network Error 203"},
    };
    Worker().LoadWeatherFromText(QString(), QString(), QString::fromLatin1(kFrankfurtGrid));
    const std::wstring before = Worker().GetWeatherManager()->CGribManager::GetAllRaw();
    for (const Case& c : cases) {
        m_host.Clear();
        m_server.SetFailure(kGridPath, c.failure);
        EXPECT_FALSE(Worker().DownloadGrib(Position(-33.95, 151.18), true)) << c.name;
        EXPECT_EQ(Worker().GetWeatherManager()->CGribManager::GetAllRaw(), before) << c.name;
        EXPECT_TRUE(m_host.log.contains(QString::fromLatin1(c.logLine))) << c.name;
        EXPECT_EQ(m_host.calls.last(), QStringLiteral("sigUIUpdateProgress(0,)")) << c.name;
    }
}

TEST_F(WeatherWorkerTest, DownloadSingleGribAsksOnlyForLiveWeatherWithNothingNear)
{
    const Position frankfurt(50.1, 8.6);
    Worker().LoadWeatherFromText(QString(), QString(), QString::fromLatin1(kFrankfurtGrid));
    CGrib record;

    // A stored point 5 NM away answers without a request, whatever the source.
    Worker().SetWeatherSource(WeatherDataLive);
    EXPECT_TRUE(Worker().DownloadSingleGrib(Position(50.15, 8.65), &record));
    EXPECT_NEAR(record.GetPosition().GetLatitude(), frankfurt.GetLatitude(), 0.001);

    // Nothing near Sydney, but the weather is stored weather: no request, and nothing within 500 km.
    Worker().SetWeatherSource(WeatherDataStored);
    EXPECT_FALSE(Worker().DownloadSingleGrib(Position(-33.95, 151.18), &record));
    EXPECT_TRUE(m_server.Requests().isEmpty());

    Worker().SetWeatherSource(WeatherDataLive);
    EXPECT_TRUE(Worker().DownloadSingleGrib(Position(-33.95, 151.18), &record));
    EXPECT_EQ(m_server.Requests(), QStringList({"/get_grib_v2.php?lat=-33.95&lon=151.18&mode=single&key=64093"}));
    EXPECT_NEAR(record.GetPosition().GetLatitude(), -34.0, 0.01);
    EXPECT_NEAR(record.GetPosition().GetLongitude(), 151.2, 0.01);
}

TEST_F(WeatherWorkerTest, DownloadSingleGribFailuresFallBackToTheStoredPoints)
{
    Worker().SetWeatherSource(WeatherDataLive);
    CGrib record;

    m_server.SetFailure(kGridPath, WxServer::Failure::GridError);
    EXPECT_FALSE(Worker().DownloadSingleGrib(Position(50.1, 8.6), &record));
    EXPECT_TRUE(
        m_host.log.contains(QStringLiteral("(WeatherWorker) - Error: no grid data available for this position\n")));
    EXPECT_EQ(m_host.calls.last(), QStringLiteral("sigUIUpdateProgress(0,)"));

    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString closed = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    PointSettingsAt(closed);
    EXPECT_FALSE(Worker().DownloadSingleGrib(Position(50.1, 8.6), &record));
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherManager) Download single Grib - Network Error 1")));

    // A point stored earlier within 500 km still answers after a failed request.
    Worker().LoadWeatherFromText(QString(), QString(), QString::fromLatin1(kFrankfurtGrid));
    Worker().SetWeatherSource(WeatherDataLive);
    EXPECT_TRUE(Worker().DownloadSingleGrib(Position(52.0, 8.6), &record));
    EXPECT_EQ(m_host.log.count(QStringLiteral("(WeatherManager) Download single Grib - Network Error 1")), 2);
}

TEST_F(WeatherWorkerTest, GenerateGridLaysOutRowsFromTheCentreOutwards)
{
    const Position centre(50.0, 8.0);
    const std::vector<Position> grid = Worker().GenerateGrid(centre, 200, 40);
    ASSERT_EQ(grid.size(), 121u);
    EXPECT_EQ(grid[0], centre);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(grid[i], Position::GetDestination(centre, 270.0, 40.0 * i)) << i;
        EXPECT_EQ(grid[5 + i], Position::GetDestination(centre, 90.0, 40.0 * i)) << i;
    }
    EXPECT_EQ(grid[11], Position::GetDestination(centre, 0.0, 40.0));
    EXPECT_EQ(grid[12], Position::GetDestination(grid[11], 270.0, 40.0));
    EXPECT_EQ(grid[110], Position::GetDestination(centre, 180.0, 200.0));
    EXPECT_EQ(grid[120], Position::GetDestination(grid[110], 90.0, 200.0));
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherManager) Grid generated: 121")));

    struct Case
    {
        int halfWidth;
        int spacing;
        size_t points;
    };
    const Case cases[] = {{30, 40, 1}, {0, 40, 1}, {-1, 40, 0}, {40, 40, 9}, {200, 0, 1}, {200, -40, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(Worker().GenerateGrid(centre, c.halfWidth, c.spacing).size(), c.points)
            << c.halfWidth << " " << c.spacing;
}
