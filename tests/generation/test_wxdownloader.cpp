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
    // A row whose body has begun passes the window in two halves: once passWindowAfter bytes are in, and once more
    // have come after those. What came before lies a whole window back then, what came between only half: the
    // stall shows only to a rule that looks back to the earliest of the last 64 bytes, not to the last arrival.
    qint64 passHalfAfter = 0;
    int halvesLeft = 0;
    QObject rowClock;
    QObject::connect(&m_downloader, &WXDownloader::DownloadProgress, &rowClock, [&](qint64 received) {
        if (halvesLeft == 0 || received < passHalfAfter)
            return;
        clock.AdvanceMs(500);
        passHalfAfter = received + 1;
        --halvesLeft;
    });
    const QByteArray metarText
        = ReadFile(QStringLiteral(AEROVANE_WXSERVER_DATA "/history/metar_noaa_2022-10-22_03_00_00"));
    struct Case
    {
        const char* name;
        QString url;
        int code; // -1: any failure
        const char* cause; // nullptr: any
        int deadlineMs; // -1: a large file's deadline
        qint64 passWindowAfter; // the body bytes after which the clock passes the stall window (see above)
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
        // 32 kB at 20 kB/s, then a byte every 200 ms; the fast start lies a window back once the trickle has begun.
        // The rule looks back over the last window, not over the whole transfer; missing the stall costs a minute.
        {"trickle after a fast start is given up as stalled",
         Url(historicGrid),
         QNetworkReply::TimeoutError,
         "stalled: less than 64 bytes in 1 s",
         60000,
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
        stallClock.PassWindowAfter(c.passWindowAfter > 0 ? StallClock::kNever : c.passWindowAfter);
        passHalfAfter = c.passWindowAfter;
        halvesLeft = c.passWindowAfter > 0 ? 2 : 0;

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

// A call that its deadline ended is named timed out, however long a nested call then holds its frame: the clock
// passing the stall window meanwhile marks nothing on the finished reply.
TEST_F(WXDownloaderTest, ACallEndedAtItsDeadlineStaysTimedOutWhileANestedOneHoldsItsFrame)
{
    m_server.SetFailure(QStringLiteral("/aerovane_info.php"), WxServer::Failure::Stall);
    m_server.SetFailure(QStringLiteral("/slow.gz"), WxServer::Failure::Stall);
    m_downloader.SetStallLimit(1000, 64);
    platform::ScopedClock clock(platform::NowSeconds());
    // The outer reply's end at its deadline is the first failure; the clock passes the stall window right then,
    // before the outer watch's first check a window after the start.
    QObject context;
    QObject::connect(&m_downloader, &WXDownloader::NetworkError, &context, [&] { clock.AdvanceMs(1000); });
    int innerCode = -1;
    QTimer::singleShot(0, &context, [&] {
        // The nested call has a window of a minute and lasts until its deadline, well past that check.
        m_downloader.SetStallLimit(60000, 64);
        innerCode = m_downloader.DownloadWithProgress(Url(QStringLiteral("/slow.gz")), nullptr, 2000);
    });
    const int outerCode = m_downloader.DownloadWithProgress(Url(QStringLiteral("/aerovane_info.php")), nullptr, 200);

    EXPECT_EQ(innerCode, QNetworkReply::TimeoutError);
    EXPECT_EQ(outerCode, QNetworkReply::TimeoutError);
    EXPECT_EQ(m_downloader.GetLastErrorText().toStdString(), "timed out");
}

// A transfer that stops is given up when the stall falls due, not up to a window later. The clock brings the stall
// within 100 ms before the first check, a window after the start, and makes it due a tenth of a window after that
// check; the owner cancels 4 tenths later, long before a check that slept a whole window would see the stall.
TEST_F(WXDownloaderTest, AStoppedTransferIsGivenUpWhenTheStallFallsDue)
{
    constexpr int window = 10000;
    m_server.SetFailure(QStringLiteral("/slow.gz"), WxServer::Failure::Stall);
    m_downloader.SetStallLimit(window, 64);
    platform::ScopedClock clock(platform::NowSeconds());
    // Each step starts the next on a precise timer, so it comes after the check it follows whatever the load: the
    // first check runs within 5 % of its window.
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        clock.AdvanceMs(window - 100);
        QTimer::singleShot(window * 11 / 10, Qt::PreciseTimer, &context, [&] {
            clock.AdvanceMs(100);
            QTimer::singleShot(window * 4 / 10, Qt::PreciseTimer, &context, [this] { m_downloader.AbortAll(); });
        });
    });

    EXPECT_EQ(m_downloader.Download(Url(QStringLiteral("/slow.gz")), nullptr), QNetworkReply::TimeoutError);
    EXPECT_EQ(m_downloader.GetLastErrorText().toStdString(), "stalled: less than 64 bytes in 10 s");
}
