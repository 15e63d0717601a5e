#include "generation/wxdownloader.h"
#include "weatherworkertest.h"

#include <QBuffer>
#include <QTimer>

#include <utility>
#include <vector>

namespace {

using tools::WxServer;

class WXDownloaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Listen());
        m_downloader.SetTransferTimeout(1500);
        QObject::connect(&m_downloader, &WXDownloader::DownloadProgress,
                         [this](qint64 received, qint64 total) { m_progress.emplace_back(received, total); });
    }

    QString Url(const QString& path) const { return m_server.BaseUrl() + path; }

    QTemporaryDir m_dir;
    WxServer m_server{QStringLiteral(AEROVANE_WXSERVER_DATA)};
    WXDownloader m_downloader;
    std::vector<std::pair<qint64, qint64>> m_progress;
};

} // namespace

TEST_F(WXDownloaderTest, DownloadWritesTheBodyAndFailuresLeaveTheTargetAlone)
{
    m_server.SetFailure(QStringLiteral("/nothing.gz"), WxServer::Failure::NotFound);
    m_server.SetFailure(QStringLiteral("/slow.gz"), WxServer::Failure::Stall);
    const QString historicMetars = QStringLiteral("/history/metar_noaa_2022-10-22_03_00_00.gz");
    m_server.SetFailure(historicMetars, WxServer::Failure::Trickle);
    m_server.SetFailure(QStringLiteral("/error.gz"), WxServer::Failure::InternalError);
    // A second server sends the weather file (packed before any transfer starts) at 20 kB/s.
    WxServer slowLine(QStringLiteral(AEROVANE_WXSERVER_DATA));
    ASSERT_TRUE(slowLine.Listen());
    slowLine.SetFailure(QStringLiteral("/weather_vatsim.gz"), WxServer::Failure::Slow);
    // Less than 64 bytes in a second is a stall: the trickle brings 5, the slow line 20 kB.
    m_downloader.SetStallLimit(1000, 64);
    struct Case
    {
        const char* name;
        QString url;
        int code; // -1: any failure
        const char* cause; // nullptr: any
        int deadlineMs;
    };
    const Case cases[] = {
        {"whole body", Url(QStringLiteral("/weather_vatsim.gz")), 0, "", 0},
        {"not found", Url(QStringLiteral("/nothing.gz")), QNetworkReply::ContentNotFoundError, "HTTP 404", 0},
        {"server error", Url(QStringLiteral("/error.gz")), -1, "HTTP 500", 0},
        {"connection refused", ClosedPortUrl() + QStringLiteral("/weather_vatsim.gz"),
         QNetworkReply::ConnectionRefusedError, "connection refused", 0},
        {"silent server is given up as stalled", Url(QStringLiteral("/slow.gz")), QNetworkReply::TimeoutError,
         "stalled: less than 64 bytes in 1 s", 0},
        // A byte every 200 ms never lets the inactivity time-out run out; the stall rule ends it long before the
        // deadline of two minutes.
        {"trickling server is given up as stalled", Url(historicMetars), QNetworkReply::TimeoutError,
         "stalled: less than 64 bytes in 1 s", 0},
        // The weather file (110 kB) takes five seconds at 20 kB/s: the line passes the stall rule and runs to its
        // deadline.
        {"slow line runs to its deadline", slowLine.BaseUrl() + QStringLiteral("/weather_vatsim.gz"),
         QNetworkReply::TimeoutError, "timed out", 3000},
        {"host that does not resolve", QStringLiteral("http://no-such-host.invalid/weather_vatsim.gz"), -1, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = m_dir.filePath(QStringLiteral("weather.gz"));
        QFile previous(path);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly | QIODevice::Truncate));
        previous.write("previous weather");
        previous.close();
        m_progress.clear();

        QFile target(path);
        const int code = m_downloader.Download(c.url, &target, c.deadlineMs);
        EXPECT_EQ(c.code == -1 ? code != 0 : code == c.code, true) << code;
        EXPECT_EQ(m_downloader.GetLastError(), code ? QString::number(code) : QString());
        if (c.cause) {
            EXPECT_EQ(m_downloader.GetLastErrorText().toStdString(), c.cause);
        }
        const QByteArray body = ReadFile(path);
        EXPECT_EQ(body.startsWith("\x1f\x8b") && body.size() > 10000, code == 0);
        EXPECT_EQ(body == "previous weather", code != 0);
        ASSERT_FALSE(m_progress.empty());
        EXPECT_EQ(m_progress.back(), std::make_pair(qint64(0), qint64(0)));
    }

    // An unwritable target still counts as a transfer that worked; a body over the limit is refused.
    QFile unwritable(m_dir.filePath(QStringLiteral("no-such-folder/weather.gz")));
    EXPECT_EQ(m_downloader.Download(Url(QStringLiteral("/weather_vatsim.gz")), &unwritable), 0);
    m_downloader.SetMaxBodySize(1000);
    QBuffer buffer;
    EXPECT_NE(m_downloader.Download(Url(QStringLiteral("/weather_vatsim.gz")), &buffer), 0);
    EXPECT_TRUE(buffer.data().isEmpty());
}

TEST_F(WXDownloaderTest, DownloadWithProgressNestsInsideAWaitingOne)
{
    // The outer call waits on a stalled server; a timer fires inside its event loop and starts a second one.
    m_server.SetFailure(QStringLiteral("/aerovane_info.php"), WxServer::Failure::Stall);
    m_downloader.SetTransferTimeout(800);
    bool busyInside = false;
    int innerCode = -1;
    QString innerBody;
    QTimer::singleShot(50, [&] {
        busyInside = m_downloader.IsBusy();
        innerCode = m_downloader.DownloadWithProgress(
            Url(QStringLiteral("/get_grib_v2.php?lat=50.03&lon=8.57&mode=single&key=64093")), &innerBody);
    });
    QString outerBody = QStringLiteral("unchanged");
    const int outerCode = m_downloader.DownloadWithProgress(Url(QStringLiteral("/aerovane_info.php")), &outerBody);

    EXPECT_TRUE(busyInside);
    EXPECT_EQ(innerCode, 0);
    EXPECT_TRUE(innerBody.contains(QStringLiteral("GRIB ")));
    EXPECT_NE(outerCode, 0);
    EXPECT_EQ(outerBody, QStringLiteral("unchanged"));
    EXPECT_FALSE(m_downloader.IsBusy());
}
