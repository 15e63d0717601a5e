#include "generation/gzipunpack.h"
#include "generation/wxdownloader.h"
#include "tests/support/stallclock.h"
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
    const QString historicGrid = QStringLiteral("/history/grib_1x1_2022-10-22_03_00_00.gz");
    m_server.SetFailure(historicGrid, WxServer::Failure::SlowThenTrickle);
    // A second server sends the history METARs at 20 kB/s.
    WxServer slowLine(QStringLiteral(AEROVANE_WXSERVER_DATA));
    ASSERT_TRUE(slowLine.Listen());
    slowLine.SetFailure(historicMetars, WxServer::Failure::Slow);
    // Less than 64 bytes in a second is a stall: the trickle brings 5. The second is one of a fixed clock, which
    // a row whose server stops or trickles moves past the window once it has seen what it expects first; for the
    // other rows no window runs out.
    m_downloader.SetStallLimit(1000, 64);
    platform::ScopedClock clock(platform::NowSeconds());
    StallClock stallClock(clock, m_downloader, m_server, 1000);
    const QByteArray metarText
        = ReadFile(QStringLiteral(AEROVANE_WXSERVER_DATA "/history/metar_noaa_2022-10-22_03_00_00"));
    struct Case
    {
        const char* name;
        QString url;
        int code; // -1: any failure
        const char* cause; // nullptr: any
        int deadlineMs; // -1: a large file's deadline
        qint64 passWindowAfter; // the body bytes after which the clock passes the stall window (see StallClock)
        bool answered; // the server sent its status line
        QByteArray text; // of a success, unpacked
    };
    const qint64 never = StallClock::kNever;
    const Case cases[] = {
        {"whole body", Url(QStringLiteral("/weather_vatsim.gz")), 0, "", 0, never, true, m_server.CombinedText()},
        {"not found",
         Url(QStringLiteral("/nothing.gz")),
         QNetworkReply::ContentNotFoundError,
         "HTTP 404",
         0,
         never,
         true,
         {}},
        {"server error", Url(QStringLiteral("/error.gz")), -1, "HTTP 500", 0, never, true, {}},
        {"connection refused",
         ClosedPortUrl() + QStringLiteral("/weather_vatsim.gz"),
         QNetworkReply::ConnectionRefusedError,
         "connection refused",
         0,
         never,
         false,
         {}},
        {"silent server is given up as stalled",
         Url(QStringLiteral("/slow.gz")),
         QNetworkReply::TimeoutError,
         "stalled: less than 64 bytes in 1 s",
         0,
         StallClock::kOnUnansweredRequest,
         false,
         {}},
        // A byte every 200 ms never lets the inactivity time-out run out; the stall rule ends it long before the
        // deadline of two minutes.
        {"trickling server is given up as stalled",
         Url(historicMetars),
         QNetworkReply::TimeoutError,
         "stalled: less than 64 bytes in 1 s",
         0,
         1,
         true,
         {}},
        // 32 kB at 20 kB/s, then a byte every 200 ms; the clock moves a window on once the 32 kB are in. The rule
        // looks back over the last window, not over the whole transfer.
        {"trickle after a fast start is given up as stalled",
         Url(historicGrid),
         QNetworkReply::TimeoutError,
         "stalled: less than 64 bytes in 1 s",
         0,
         WxServer::kSlowStartBytes,
         true,
         {}},
        {"slow line brings a large file whole", slowLine.BaseUrl() + historicMetars, 0, "", -1, never, true, metarText},
        {"host that does not resolve",
         QStringLiteral("http://no-such-host.invalid/weather_vatsim.gz"),
         -1,
         nullptr,
         0,
         never,
         false,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = m_dir.filePath(QStringLiteral("weather.gz"));
        QFile previous(path);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly | QIODevice::Truncate));
        previous.write("previous weather");
        previous.close();
        m_progress.clear();
        stallClock.PassWindowAfter(c.passWindowAfter);

        QFile target(path);
        const int code = c.deadlineMs < 0 ? m_downloader.DownloadLargeFile(c.url, &target)
                                          : m_downloader.Download(c.url, &target, c.deadlineMs);
        EXPECT_EQ(c.code == -1 ? code != 0 : code == c.code, true) << code;
        EXPECT_EQ(m_downloader.GetLastError(), code ? QString::number(code) : QString());
        if (c.cause) {
            EXPECT_EQ(m_downloader.GetLastErrorText().toStdString(), c.cause);
        }
        EXPECT_EQ(m_downloader.ServerAnswered(), c.answered);
        const QByteArray body = ReadFile(path);
        EXPECT_EQ(body.startsWith("\x1f\x8b") && body.size() > 10000, code == 0);
        EXPECT_EQ(body == "previous weather", code != 0);
        EXPECT_TRUE(code != 0 || gUncompress(body) == c.text);
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

// A large file gets the time that the length its server announces takes at the lowest rate; one of unknown length
// keeps the large file deadline of half an hour, not the least fitted one.
TEST_F(WXDownloaderTest, ALargeFilesDeadlineFitsTheLengthItsServerAnnounces)
{
    // The lowest rate, 100 kB/s, is five times what the slow line brings; the least fitted deadline is 0.1 s.
    m_downloader.SetFittedDeadline(100 * 1024, 100);
    m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), WxServer::Failure::Slow);
    const QString historicMetars = QStringLiteral("/history/metar_noaa_2022-10-22_03_00_00.gz");
    m_server.SetFailure(historicMetars, WxServer::Failure::SlowWithoutLength);

    QBuffer sized;
    EXPECT_EQ(m_downloader.DownloadLargeFile(Url(QStringLiteral("/weather_vatsim.gz")), &sized),
              QNetworkReply::TimeoutError);
    EXPECT_EQ(m_downloader.GetLastErrorText(), QStringLiteral("timed out"));
    EXPECT_TRUE(m_downloader.ServerAnswered());
    QBuffer unsized;
    ASSERT_EQ(m_downloader.DownloadLargeFile(Url(historicMetars), &unsized), 0)
        << m_downloader.GetLastErrorText().toStdString();
    EXPECT_TRUE(gUncompress(unsized.data())
                == ReadFile(QStringLiteral(AEROVANE_WXSERVER_DATA "/history/metar_noaa_2022-10-22_03_00_00")));
}

TEST_F(WXDownloaderTest, DownloadWithProgressNestsInsideAWaitingOne)
{
    // The outer call waits on a stalled server; a timer fires inside its event loop and starts a second one.
    m_server.SetFailure(QStringLiteral("/aerovane_info.php"), WxServer::Failure::Stall);
    bool busyInside = false;
    int innerCode = -1;
    QString innerBody;
    QTimer::singleShot(50, [&] {
        busyInside = m_downloader.IsBusy();
        innerCode = m_downloader.DownloadWithProgress(
            Url(QStringLiteral("/get_grib_v2.php?lat=50.03&lon=8.57&mode=single&key=64093")), &innerBody);
    });
    QString outerBody = QStringLiteral("unchanged");
    // The outer call's deadline ends it; the inner one has the downloader's limits.
    const int outerCode = m_downloader.DownloadWithProgress(Url(QStringLiteral("/aerovane_info.php")), &outerBody, 800);

    EXPECT_TRUE(busyInside);
    EXPECT_EQ(innerCode, 0);
    EXPECT_TRUE(innerBody.contains(QStringLiteral("GRIB ")));
    EXPECT_NE(outerCode, 0);
    EXPECT_EQ(outerBody, QStringLiteral("unchanged"));
    EXPECT_FALSE(m_downloader.IsBusy());
}
