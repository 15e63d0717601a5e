#include "generation/wxdownloader.h"
#include "tools/wx-server/wxserver.h"

#include <QBuffer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

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

// A port on 127.0.0.1 that nothing listens on.
quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

TEST_F(WXDownloaderTest, DownloadWritesTheWholeBodyIntoTheTarget)
{
    QFile target(m_dir.filePath(QStringLiteral("weather.gz")));
    EXPECT_EQ(m_downloader.Download(Url(QStringLiteral("/weather_vatsim.gz")), &target), 0);
    EXPECT_EQ(m_downloader.GetLastError(), QString());
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    const QByteArray body = target.readAll();
    EXPECT_GT(body.size(), 10000);
    EXPECT_TRUE(body.startsWith("\x1f\x8b"));
    ASSERT_FALSE(m_progress.empty());
    EXPECT_EQ(m_progress.back(), std::make_pair(qint64(0), qint64(0)));
}

TEST_F(WXDownloaderTest, FailuresReturnTheirCodeAndLeaveTheTargetAlone)
{
    m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), WxServer::Failure::NotFound);
    m_server.SetFailure(QStringLiteral("/slow.gz"), WxServer::Failure::Stall);
    struct Case
    {
        const char* name;
        QString url;
        int code; // 0: any failure
    };
    const Case cases[] = {
        {"not found", Url(QStringLiteral("/weather_vatsim.gz")), QNetworkReply::ContentNotFoundError},
        {"connection refused", QStringLiteral("http://127.0.0.1:%1/weather_vatsim.gz").arg(ClosedPort()),
         QNetworkReply::ConnectionRefusedError},
        {"stalled server ends at the time-out", Url(QStringLiteral("/slow.gz")), 0},
        {"host that does not resolve", QStringLiteral("http://no-such-host.invalid/weather_vatsim.gz"), 0},
    };
    for (const Case& c : cases) {
        const QString path = m_dir.filePath(QStringLiteral("kept.gz"));
        QFile previous(path);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("previous weather");
        previous.close();
        m_progress.clear();

        QFile target(path);
        const int code = m_downloader.Download(c.url, &target);
        if (c.code != 0) {
            EXPECT_EQ(code, c.code) << c.name;
        }
        EXPECT_NE(code, 0) << c.name;
        EXPECT_EQ(m_downloader.GetLastError(), QString::number(code)) << c.name;
        ASSERT_TRUE(target.open(QIODevice::ReadOnly));
        EXPECT_EQ(target.readAll(), QByteArray("previous weather")) << c.name;
        ASSERT_FALSE(m_progress.empty()) << c.name;
        EXPECT_EQ(m_progress.back(), std::make_pair(qint64(0), qint64(0))) << c.name;
    }
}

TEST_F(WXDownloaderTest, UnwritableTargetStillReportsTheTransfer)
{
    QFile target(m_dir.filePath(QStringLiteral("no-such-folder/weather.gz")));
    EXPECT_EQ(m_downloader.Download(Url(QStringLiteral("/weather_vatsim.gz")), &target), 0);
    EXPECT_FALSE(target.exists());
}

TEST_F(WXDownloaderTest, DownloadWithProgressGivesTheBodyAsText)
{
    QString body = QStringLiteral("unchanged");
    EXPECT_EQ(m_downloader.DownloadWithProgress(Url(QStringLiteral("/aerovane_info.php")), &body), 0);
    EXPECT_TRUE(body.contains(QStringLiteral("<weatherserverversion>2.1.0</weatherserverversion>")));

    body = QStringLiteral("unchanged");
    EXPECT_EQ(m_downloader.DownloadWithProgress(Url(QStringLiteral("/nothing-here")), &body),
              QNetworkReply::ContentNotFoundError);
    EXPECT_EQ(body, QStringLiteral("unchanged"));
    EXPECT_EQ(m_downloader.GetLastError(), QStringLiteral("203"));
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
    QString outerBody;
    const int outerCode = m_downloader.DownloadWithProgress(Url(QStringLiteral("/aerovane_info.php")), &outerBody);

    EXPECT_TRUE(busyInside);
    EXPECT_EQ(innerCode, 0);
    EXPECT_TRUE(innerBody.contains(QStringLiteral("GRIB ")));
    EXPECT_NE(outerCode, 0);
    EXPECT_TRUE(outerBody.isEmpty());
    EXPECT_FALSE(m_downloader.IsBusy());
}

TEST_F(WXDownloaderTest, BodyLargerThanTheLimitIsRefused)
{
    m_downloader.SetMaxBodySize(1000);
    QBuffer target;
    EXPECT_NE(m_downloader.Download(Url(QStringLiteral("/weather_vatsim.gz")), &target), 0);
    EXPECT_TRUE(target.data().isEmpty());
}
