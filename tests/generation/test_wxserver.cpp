#include "generation/gzipunpack.h"
#include "tools/wx-server/wxserver.h"
#include "weather/grib.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using aviation::weather::CGrib;
using aviation::weather::CLevel;
using tools::GridSource;
using tools::WxServer;

namespace {

// One raw HTTP exchange: the request as a client writes it, the whole response until the server closes. The
// server answers in this thread, so a loaded machine may take long over a big answer; a server that has not closed
// within a minute fails the test, naming the request.
QByteArray Exchange(quint16 port, const QByteArray& request)
{
    QTcpSocket socket;
    QEventLoop loop;
    QByteArray response;
    bool ended = false;
    const auto end = [&] {
        ended = true;
        loop.quit();
    };
    QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write(request); });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { response += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, end);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, end);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(60000);
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!ended)
        loop.exec();
    EXPECT_TRUE(ended) << "the server did not close the connection within a minute of "
                       << request.left(80).simplified().data();
    return response + socket.readAll();
}

QByteArray Body(const QByteArray& response)
{
    return response.mid(response.indexOf("\r\n\r\n") + 4);
}

CGrib Decoded(const QByteArray& line)
{
    CGrib point(QString::fromLatin1(line).toStdWString(), false);
    point.Decode(false);
    return point;
}

bool IsFinite(const CLevel& level)
{
    return std::isfinite(level.GetTemperature()) && std::isfinite(level.GetDewPoint()) && std::isfinite(level.direction)
        && std::isfinite(level.speed) && std::isfinite(level.GetHumidity());
}

} // namespace

TEST(WxServerGrid, MadeUpPointsDecodeEverywhereOnEarthWithAJetStreamInMidLatitudes)
{
    for (double latitude = -90.0; latitude <= 90.0; latitude += 7.5) {
        for (double longitude = -180.0; longitude <= 180.0; longitude += 22.5) {
            const QByteArray line = GridSource::SynthesizedPoint(latitude, longitude);
            EXPECT_EQ(line, GridSource::SynthesizedPoint(latitude, longitude)) << "the same point every time";
            const CGrib point = Decoded(line);
            const std::string where = line.left(28).toStdString();
            ASSERT_EQ(point.GetErrorText(), L"") << where;
            EXPECT_NEAR(point.GetPosition().GetLatitude(), latitude, 0.06) << where;
            ASSERT_GE(point.GetLevels().size(), 11u) << where;
            int previousAltitude = -1;
            for (const CLevel& level : point.GetLevels()) {
                EXPECT_TRUE(IsFinite(level)) << where;
                EXPECT_GT(level.GetAltitude(), previousAltitude) << where;
                EXPECT_LE(level.GetDewPoint(), level.GetTemperature()) << where;
                previousAltitude = level.GetAltitude();
            }
            EXPECT_TRUE(IsFinite(point.surfaceLevel)) << where;
        }
    }
    auto maxWind
        = [](double latitude) { return Decoded(GridSource::SynthesizedPoint(latitude, 10.0)).GetMaxWindLevel().speed; };
    EXPECT_GT(maxWind(40.0), 90.0);
    EXPECT_GT(maxWind(40.0), maxWind(5.0) + 40.0);
    EXPECT_GT(maxWind(-40.0), maxWind(-80.0) + 40.0);
}

TEST(WxServerGrid, AreaAnswersAreALatticeAndFilesWinWhereTheyCover)
{
    GridSource source;
    const QByteArray area = source.Answer(50.03, 8.57, true);
    EXPECT_TRUE(area.startsWith("# TIME:"));
    EXPECT_EQ(area.count("GRIB "), 25);
    // Near the pole the lattice's clamped rows would repeat; each position is sent once.
    EXPECT_LT(source.Answer(89.6, 0.0, true).count("GRIB "), 25);

    QTemporaryDir dir;
    QFile::copy(QStringLiteral(AEROVANE_TEST_DATA_DIR "/grid/three-points.txt"),
                dir.filePath(QStringLiteral("points.txt")));
    source.LoadFolder(dir.path());
    EXPECT_EQ(source.FilePointCount(), 3);
    const QByteArray single = source.Answer(50.12, 8.61, false);
    EXPECT_TRUE(single.contains("GRIB 06110 00012 99501 10086")) << single.toStdString();
    EXPECT_EQ(single.count("GRIB "), 1);
    EXPECT_EQ(source.Answer(50.1, 8.6, true).count("GRIB 06110"), 3);
    // Far from the file's points the answer is made up.
    EXPECT_TRUE(source.Answer(-33.95, 151.18, false).contains("GRIB 22190 00012 99340 31512"));
}

TEST(WxServer, AnswersCarryTheirLengthAndFailuresLookLikeARealServer)
{
    WxServer server(QStringLiteral(AEROVANE_WXSERVER_DATA));
    ASSERT_TRUE(server.Listen());
    server.SetFailure(QStringLiteral("/aerovane_info.php"), WxServer::Failure::HtmlPage);

    const QByteArray weather = Exchange(server.Port(), "GET /weather_vatsim.gz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    ASSERT_TRUE(weather.startsWith("HTTP/1.1 200 OK\r\n"));
    const QByteArray body = Body(weather);
    EXPECT_TRUE(weather.contains("Content-Length: " + QByteArray::number(body.size()) + "\r\n"));
    const QByteArray text = gUncompress(body);
    EXPECT_TRUE(text.startsWith("[METAR]\n"));
    EXPECT_TRUE(text.contains("[/SYNOP]\n[TAF]\n"));
    EXPECT_EQ(text, server.CombinedText());

    struct Case
    {
        QByteArray request;
        QByteArray status;
        QByteArray contains;
    };
    const Case cases[] = {
        {"GET /aerovane_info.php HTTP/1.1\r\n\r\n", "HTTP/1.1 200 OK\r\n", "Content-Type: text/html\r\n"},
        {"GET /get_grib_v2.php?lat=95&lon=0&mode=multi HTTP/1.1\r\n\r\n", "HTTP/1.1 ", "\r\n\r\nError: "},
        {"GET /history/../metar.txt HTTP/1.1\r\n\r\n", "HTTP/1.1 404", ""},
        {"GET /history/%2e%2e%2fmetar.txt HTTP/1.1\r\n\r\n", "HTTP/1.1 404", ""},
        {"GET /nothing HTTP/1.1\r\n\r\n", "HTTP/1.1 404", ""},
        // Upper air only for the days the archive holds METARs of.
        {"GET /history/grib_1x1_2022-10-21_03_00_00.gz HTTP/1.1\r\n\r\n", "HTTP/1.1 404", ""},
        {"GET /history/grib_1x1_2022-10-22_99_00_00.gz HTTP/1.1\r\n\r\n", "HTTP/1.1 404", ""},
        {"POST /weather_vatsim.gz HTTP/1.1\r\nContent-Length: 0\r\n\r\n", "HTTP/1.1 405", ""},
        {"HELLO\r\n\r\n", "HTTP/1.1 400", ""},
        {"GET /" + QByteArray(40000, 'a'), "HTTP/1.1 400", ""}, // an oversized request head
        {"GET /get_grib_v2.php?lat=nan&lon=8.57&mode=single HTTP/1.1\r\n\r\n", "HTTP/1.1 200", ""},
    };
    for (const Case& c : cases) {
        const QByteArray response = Exchange(server.Port(), c.request);
        EXPECT_TRUE(response.startsWith(c.status) && response.contains(c.contains)) << c.request.left(80).toStdString();
    }
    const QByteArray history
        = Body(Exchange(server.Port(), "GET /history/metar_noaa_2022-10-22_03_00_00.gz HTTP/1.1\r\n\r\n"));
    EXPECT_EQ(gUncompress(history).count('\n'), 724);
    // Without a length the body ends where the server closes the connection.
    server.SetFailure(QStringLiteral("/history/metar_noaa_2022-10-22_03_00_00.gz"),
                      WxServer::Failure::SlowWithoutLength);
    const QByteArray unsized
        = Exchange(server.Port(), "GET /history/metar_noaa_2022-10-22_03_00_00.gz HTTP/1.1\r\n\r\n");
    EXPECT_FALSE(unsized.contains("Content-Length"));
    EXPECT_EQ(gUncompress(Body(unsized)), gUncompress(history));
    // The grid of 03 UTC that day: dated then, one point a degree over Europe, where the history METARs lie.
    const QByteArray grid
        = gUncompress(Body(Exchange(server.Port(), "GET /history/grib_1x1_2022-10-22_03_00_00.gz HTTP/1.1\r\n\r\n")));
    EXPECT_TRUE(grid.startsWith("# TIME:1666407600\nGRIB ")) << grid.left(40).toStdString();
    EXPECT_EQ(grid.count("\nGRIB "), 37 * 71);
    EXPECT_TRUE(server.Requests().contains(QStringLiteral("/weather_vatsim.gz")));
}

// A slot of RequestServed may wait for anything, even for the client to give up and the server to let go of its
// socket: the signal comes once the server's handling of that socket is done.
TEST(WxServer, ARequestServedSlotMayWaitForTheClientToGiveUp)
{
    WxServer server(QStringLiteral(AEROVANE_WXSERVER_DATA));
    ASSERT_TRUE(server.Listen());
    server.SetFailure(QStringLiteral("/weather_vatsim.gz"), WxServer::Failure::Stall);
    QTcpSocket client;
    const auto waitUntil = [](const std::function<bool()>& done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return done();
    };
    bool socketGone = false;
    QObject::connect(&server, &WxServer::RequestServed, [&] {
        client.abort();
        socketGone = waitUntil([&] { return server.findChildren<QTcpSocket*>().isEmpty(); });
    });
    QObject::connect(&client, &QTcpSocket::connected,
                     [&] { client.write("GET /weather_vatsim.gz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"); });
    client.connectToHost(QHostAddress::LocalHost, server.Port());
    EXPECT_TRUE(waitUntil([&] { return socketGone; }));
    EXPECT_EQ(server.Requests(), QStringList({"/weather_vatsim.gz"}));
}

TEST(WxServer, EveryFailureNameOfTheCommandLineGivesItsMode)
{
    using Failure = WxServer::Failure;
    const std::pair<const char*, Failure> names[] = {{"404", Failure::NotFound},
                                                     {"stall", Failure::Stall},
                                                     {"corrupt-gzip", Failure::CorruptGzip},
                                                     {"html", Failure::HtmlPage},
                                                     {"grid-error", Failure::GridError},
                                                     {"cut", Failure::CutAtSection},
                                                     {"trickle", Failure::Trickle},
                                                     {"500", Failure::InternalError},
                                                     {"slow", Failure::Slow},
                                                     {"slow-then-trickle", Failure::SlowThenTrickle},
                                                     {"slow-no-length", Failure::SlowWithoutLength},
                                                     {"none", Failure::None}};
    for (const auto& [name, expected] : names) {
        Failure failure = expected == Failure::None ? Failure::Stall : Failure::None;
        EXPECT_TRUE(WxServer::ParseFailure(QString::fromLatin1(name), failure)) << name;
        EXPECT_TRUE(failure == expected) << name;
    }
    Failure failure = Failure::Stall;
    EXPECT_FALSE(WxServer::ParseFailure(QStringLiteral("Slow"), failure));
    EXPECT_TRUE(failure == Failure::Stall);
}
