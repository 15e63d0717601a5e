// The loopback bridge peer as the end-to-end tests rely on it, and one whole bridge session against it byte for
// byte: login, version exchange, the four reads, the ten writes and the logout leave exactly the frames of
// tests/data/bridge/session-frames.log.
#include "simlinktestsupport.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <fstream>
#include <sstream>

using namespace aviation::structs;

namespace {

// Reads from a raw socket until `lines` line feeds have arrived, the peer has closed, or a minute is over.
QByteArray ReadLines(QTcpSocket& socket, int lines)
{
    QByteArray received;
    QElapsedTimer elapsed;
    elapsed.start();
    while (received.count('\n') < lines && elapsed.elapsed() < kEventWaitMs) {
        if (socket.waitForReadyRead(static_cast<int>(kEventWaitMs - elapsed.elapsed())))
            received += socket.readAll();
        else if (socket.state() != QAbstractSocket::ConnectedState)
            break;
    }
    return received;
}

} // namespace

TEST_F(BridgeTest, ScriptedSessionLeavesTheGoldenFrameLog)
{
    ASSERT_TRUE(ConnectClient());
    int simulator = 0, weatherKind = 0;
    ASSERT_TRUE(m_client.SendClientVersion(simulator, weatherKind));

    CAircraft aircraft;
    CAircraftFuel fuel;
    CAircraftPayload payload;
    CAircraftDetail detail;
    ASSERT_TRUE(m_client.ReadAircraft(aircraft));
    ASSERT_TRUE(m_client.ReadFuel(fuel));
    ASSERT_TRUE(m_client.ReadPayload(payload));
    ASSERT_TRUE(m_client.ReadAircraftDetail(detail));

    fuel.SetTankLevel(4, 55.0);
    payload.stations.at(3).weight = 9100.0f;
    CXPWeather xplane;
    xplane.Press = 29.98f;
    xplane.Temp = 8.0f;
    xplane.Dew = 3.0f;
    xplane.Cloudlayer[0] = XPCloudLayer{2, 0.75f, 914.0f, 1300.0f};
    xplane.WindLayer[0] = XPWindLayer{600.0f, 250.0f, 12.0f, 0.0f, 0.0f, 0.0f};
    ASSERT_TRUE(m_client.SendFuel(fuel));
    ASSERT_TRUE(m_client.SendPayload(payload));
    ASSERT_TRUE(m_client.SendWind(aviation::weather::CWind(250.0, 12.0, 22.0)));
    ASSERT_TRUE(m_client.SendWeatherStation(MunichStation()));
    ASSERT_TRUE(m_client.SendMetar("EDDF 071020Z 25012G22KT 9999 BKN030 08/03 Q1015"));
    ASSERT_TRUE(m_client.SendXPlaneWeather(xplane));
    ASSERT_TRUE(m_client.SetWeatherTheme("Fair Weather"));
    ASSERT_TRUE(m_client.SendXPlaneWind(xplane));
    ASSERT_TRUE(m_client.SendText("Update Weather"));
    ASSERT_TRUE(m_client.ClearWeather());
    ASSERT_TRUE(m_client.Logout());
    ASSERT_TRUE(m_peer.WaitForFrames(17, kEventWaitMs)) << "every frame of the session arrived";

    std::ifstream file(AEROVANE_TEST_DATA_DIR "/bridge/session-frames.log", std::ios::binary);
    std::ostringstream golden;
    golden << file.rdbuf();
    ASSERT_FALSE(golden.str().empty());
    EXPECT_EQ(m_peer.GetFrameLog(), golden.str());
    EXPECT_EQ(m_peer.GetWeatherWrites().size(), 3u);
}

// The peer counts station records (METAR and block) as weather writes, which the worker's transfer test reads.
TEST_F(BridgeTest, PeerCountsStationRecordsAsWeatherWrites)
{
    ASSERT_TRUE(ConnectClient());
    ASSERT_TRUE(m_client.SendMetar("EDDF 071020Z 25012KT 9999 FEW030 08/03 Q1015"));
    ASSERT_TRUE(m_client.SetWeatherTheme("Fair Weather"));
    ASSERT_TRUE(m_client.SendXPlaneWind(CXPWeather()));
    ASSERT_TRUE(m_client.SendMetar("EDDM 071020Z 07005KT CAVOK 06/01 Q1018"));
    const std::vector<CLinkMessage> writes = m_peer.GetWeatherWrites();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].GetPayload(), "EDDM 071020Z 07005KT CAVOK 06/01 Q1018");
    m_peer.ClearFrames();
    EXPECT_TRUE(m_peer.GetWeatherWrites().empty());
}

TEST_F(BridgeTest, PeerAnswersRequestsThatArriveTogetherBeforeTheLogoutCloses)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_peer.GetPort());
    ASSERT_TRUE(socket.waitForConnected(kEventWaitMs)) << "connected to the peer";
    socket.write("@HELO;000;0043;ClientName=Aerovanev2:ClientAPIVersion=1002\n@COFS;080;0018;ClientVersion=1002\n"
                 "@READ;002;0000;\n@QUIT;082;0006;Logout\n");
    ASSERT_TRUE(socket.waitForBytesWritten(kEventWaitMs)) << "the requests written";
    const QList<QByteArray> answers = ReadLines(socket, 3).split('\n');
    ASSERT_GE(answers.size(), 3) << "three answers came";
    EXPECT_EQ(answers[0], "@ANSW;000;0048;ServerName=Aerovane Bridge:ServerAPIVersion=1002");
    EXPECT_EQ(answers[1], "@FSST;080;0024;SimVersion=3:FSVersion=3");
    EXPECT_TRUE(answers[2].startsWith("@ANSW;002;0224;NumOfStation=3:FuelWeight=6.700000:StationID=3|Name=Left Main"));
    EXPECT_TRUE(m_peer.WaitForFrames(4, kEventWaitMs)) << "the four requests arrived";
}

TEST_F(BridgeTest, PeerDropsAClientThatNeverEndsItsLine)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_peer.GetPort());
    ASSERT_TRUE(socket.waitForConnected(kEventWaitMs)) << "connected to the peer";
    socket.write(QByteArray(70 * 1024, 'W'));
    socket.waitForBytesWritten(kEventWaitMs);
    ReadLines(socket, 1);
    EXPECT_NE(socket.state(), QAbstractSocket::ConnectedState) << "the peer did not drop the client within a minute";
    EXPECT_TRUE(m_peer.GetFrames().empty());

    ASSERT_TRUE(ConnectClient()) << "the peer serves the next client";
}

TEST(BridgePeer, PortInUseIsReported)
{
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
    tools::CBridgePeer peer;
    EXPECT_FALSE(peer.Start(taken.serverPort()));
    EXPECT_EQ(peer.GetPort(), 0);
    EXPECT_TRUE(peer.Start());
}
