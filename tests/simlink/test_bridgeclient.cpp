// The bridge client against the loopback bridge peer on 127.0.0.1: connection, handshake, version exchange,
// reads, writes, and a peer that answers late, in pieces, twice, wrongly or not at all.
#include "simlinktestsupport.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QThread>

#include <cstring>
#include <functional>

using namespace aviation::structs;

namespace {

void ExpectSamePosition(const CAircraft& read, const CAircraft& expected)
{
    EXPECT_NEAR(read.GetLatitude(), expected.GetLatitude(), 1e-6);
    EXPECT_NEAR(read.GetLongitude(), expected.GetLongitude(), 1e-6);
}

} // namespace

// A refused connection fails at once: with a connect wait of a minute, a client that waited it out would take that
// long; one that does not is done well within ten seconds, however loaded the machine.
TEST(BridgeClientConnect, PortWithoutListenerFailsWithinTheConnectWait)
{
    quint16 closedPort = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        closedPort = server.serverPort();
    }
    COvyxClient client;
    client.SetWaits(RoomyWaits());
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(client.Connect(QStringLiteral("127.0.0.1"), closedPort));
    EXPECT_LT(elapsed.elapsed(), 10000);
    EXPECT_FALSE(client.IsConnected());
}

TEST_F(BridgeTest, HandshakeSendsTheClientVersionAndLogsThePeer)
{
    ASSERT_TRUE(ConnectClient());
    EXPECT_TRUE(m_client.IsConnected());
    ASSERT_TRUE(m_peer.WaitForFrames(1, kEventWaitMs)) << "the handshake arrived";
    EXPECT_EQ(m_peer.GetFrames().at(0), "@HELO;000;0043;ClientName=Aerovanev2:ClientAPIVersion=1002");
    EXPECT_EQ(LogTexts(),
              (QStringList{QStringLiteral("(Client) - connected to 127.0.0.1:%1").arg(m_peer.GetPort()),
                           QStringLiteral("(Client) - Server waits for connection to any FS")}));

    // Connecting again on a connected client sends no second handshake.
    EXPECT_TRUE(ConnectClient());
    int first = 0, second = 0;
    ASSERT_TRUE(m_client.SendClientVersion(first, second));
    EXPECT_EQ(m_peer.GetMessages(LinkHelo).size(), 1u);

    // Without an answer the handshake fails.
    COvyxClient silent;
    COvyxClient::Waits waits = RoomyWaits();
    waits.writeReply = 200;
    silent.SetWaits(waits);
    m_peer.SetAnswerDelay(-1);
    EXPECT_FALSE(silent.Connect(QStringLiteral("127.0.0.1"), m_peer.GetPort()));
    EXPECT_FALSE(silent.IsConnected());
}

// A handshake answer of another API version, or one without a readable version (version 0), is reported, and
// the connection goes on.
TEST_F(BridgeTest, HandshakeAnswersOfAnotherVersionAreReportedButAccepted)
{
    const std::pair<std::string, int> cases[] = {
        {Frame(LinkAnsw, 0, "ServerName=Aerovane Bridge:ServerAPIVersion=1003"), 1003},
        // Any command is taken as the handshake's answer.
        {Frame(LinkFsst, 0, "ServerName=Aerovane Bridge:ServerAPIVersion=1002"), 1002},
        {Frame(LinkAnsw, 0, "ServerName=Aerovane Bridge"), 0},
        {Frame(LinkAnsw, 0, "ServerName=Aerovane Bridge:ServerAPIVersion"), 0},
        {Frame(LinkAnsw, 0, "ServerName=Aerovane Bridge:ServerAPIVersion=new"), 0},
        {Frame(LinkAnsw, 0, ""), 0},
    };
    for (const auto& [answer, version] : cases) {
        COvyxClient client;
        client.SetWaits(RoomyWaits());
        QSignalSpy log(&client, &COvyxClient::sigUIDebugStringFromClient);
        m_peer.AnswerNextWith(answer);
        ASSERT_TRUE(client.Connect(QStringLiteral("127.0.0.1"), m_peer.GetPort())) << answer;
        EXPECT_TRUE(client.IsConnected());
        const QString incompatible
            = QStringLiteral("Aerovane is not compatible with Nimbolux or Aerovane-Server. MinServerApiVersion=1002, "
                             "your ServerApiVersion=%1 Please download and install the last versions of Aerovane "
                             "and Nimbolux")
                  .arg(version);
        EXPECT_EQ(!log.isEmpty() && log.first().at(0).toString() == incompatible, version != 1002) << answer;
        EXPECT_EQ(log.size(), version != 1002 ? 3 : 2) << answer;
    }
}

TEST_F(BridgeTest, VersionExchangeGivesTheSimulatorOfThePeerOrFails)
{
    using Sim = tools::CBridgePeer::Simulator;
    ASSERT_TRUE(ConnectClient());
    for (const auto& [simulator, first, second] :
         {std::make_tuple(Sim::FSX, 3, 3), std::make_tuple(Sim::P3D, 4, 3), std::make_tuple(Sim::FS9, 2, 1),
          std::make_tuple(Sim::XPlane, 10, 10)}) {
        m_peer.SetSimulator(simulator);
        int readFirst = -1, readSecond = -1;
        ASSERT_TRUE(m_client.SendClientVersion(readFirst, readSecond));
        EXPECT_EQ(readFirst, first);
        EXPECT_EQ(readSecond, second);
    }
    EXPECT_EQ(m_peer.GetFrames().back(), "@COFS;080;0018;ClientVersion=1002");

    // Refused answers; the number is what the first value holds afterwards, -1 untouched.
    const std::pair<std::string, int> refused[] = {
        {Frame(LinkAnsw, 80, "SimVersion=3:FSVersion=3"), -1},
        {Frame(LinkFsst, 80, "SimVersion=0:FSVersion=3"), 0},
        {Frame(LinkFsst, 80, "SimVersion=3"), -1},
        {Frame(LinkFsst, 80, "SimVersion3:FSVersion=3"), -1},
        {Frame(LinkFsst, 80, "SimVersion=3:FSVersion"), 3},
        {Frame(LinkFsst, 80, "SimVersion=3=1:FSVersion=3"), -1},
    };
    for (const auto& [answer, expectedFirst] : refused) {
        m_peer.AnswerNextWith(answer);
        int first = -1, second = -1;
        EXPECT_FALSE(m_client.SendClientVersion(first, second)) << answer;
        EXPECT_EQ(first, expectedFirst) << answer;
        EXPECT_EQ(second, -1) << answer;
    }
}

TEST_F(BridgeTest, ReadsTheAircraftAsItFliesAndWhatWasWritten)
{
    ASSERT_TRUE(ConnectClient());
    CAircraft first, second;
    ASSERT_TRUE(m_client.ReadAircraft(first));
    ExpectSamePosition(first, m_peer.GetAircraft());
    EXPECT_EQ(first.altitude, 5000);
    ASSERT_TRUE(m_client.ReadAircraft(second));
    // One second at 240 kt: 1/15 NM further on.
    EXPECT_NEAR(aviation::CalcDistance(first, second), 240.0 / 3600.0, 1e-3);
    EXPECT_EQ(m_peer.GetFrames().back(), "@READ;001;0000;");

    CAircraftFuel fuel = m_peer.GetFuel();
    fuel.SetTankLevel(4, 95.5);
    ASSERT_TRUE(m_client.SendFuel(fuel));
    CAircraftPayload payload = m_peer.GetPayload();
    payload.stations.at(4).weight = 4100.0f;
    ASSERT_TRUE(m_client.SendPayload(payload));

    CAircraftDetail detail;
    CAircraftFuel readFuel;
    CAircraftPayload readPayload;
    ASSERT_TRUE(m_client.ReadAircraftDetail(detail));
    ASSERT_TRUE(m_client.ReadFuel(readFuel));
    ASSERT_TRUE(m_client.ReadPayload(readPayload));
    EXPECT_EQ(detail.Registration, L"D-AVNE");
    EXPECT_EQ(readFuel.GetTankCount(), m_peer.GetFuel().GetTankCount());
    EXPECT_DOUBLE_EQ(readFuel.GetTank(4).level, 95.5);
    EXPECT_EQ(readPayload.count, m_peer.GetPayload().count);
    EXPECT_FLOAT_EQ(readPayload.stations.at(4).weight, 4100.0f);
}

TEST_F(BridgeTest, ReadAnsweredWithAnotherSubCodeOrCommandFailsAndKeepsTheRecord)
{
    ASSERT_TRUE(ConnectClient());
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(55.0, 100.0, 7, L""));
    for (const std::string& answer :
         {Frame(LinkAnsw, 1, "NumOfStation=1:FuelWeight=6.7:StationID=3|Name=x|Capacity=50|Level=1"),
          Frame(LinkFsst, 2, "NumOfStation=0:FuelWeight=6.7")}) {
        m_peer.AnswerNextWith(answer);
        EXPECT_FALSE(m_client.ReadFuel(fuel)) << answer;
        ASSERT_EQ(fuel.GetTankCount(), 1);
        EXPECT_DOUBLE_EQ(fuel.GetTank(7).level, 55.0);
    }
}

TEST_F(BridgeTest, WritesLogTheirSuccessTexts)
{
    ASSERT_TRUE(ConnectClient());
    CNewWeather station;
    std::memcpy(station.Icao, "EDDF", 4);
    const std::tuple<std::function<bool()>, std::uint8_t, QString> cases[] = {
        {[&] { return m_client.SendFuel(m_peer.GetFuel()); }, 2, "(Client) - Send AircraftFuel"},
        {[&] { return m_client.SendPayload(m_peer.GetPayload()); }, 3, "(Client) - Send AircraftPayload"},
        {[&] { return m_client.SendWind(aviation::weather::CWind(270.0, 15.0)); }, 5, QString()},
        {[&] { return m_client.SendWeatherStation(station); }, 6, "(Client) - Weather newweather OK"},
        {[&] { return m_client.SendMetar("EDDF 071020Z 25012KT 9999 FEW030 08/03 Q1015"); }, 7,
         "(Client)-Weather metar ICAO: EDDF 071020Z 25012KT 9999 FEW030 08/03 Q1015 - ok"},
        {[&] { return m_client.SendXPlaneWeather(CXPWeather()); }, 8, "(Client) - Weather xplane ok"},
        {[&] { return m_client.SetWeatherTheme("Fog"); }, 9, "(Client)OK"},
        {[&] { return m_client.SendXPlaneWind(CXPWeather()); }, 11, QString()},
        {[&] { return m_client.SendText("Update Weather"); }, 13, "(Client) - OK"},
        {[&] { return m_client.ClearWeather(); }, 81, "(Client) - Clear WX OK"},
    };
    for (const auto& [write, subCode, logged] : cases) {
        m_log.clear();
        EXPECT_TRUE(write()) << int(subCode);
        EXPECT_EQ(LogTexts(), logged.isEmpty() ? QStringList() : QStringList{logged}) << int(subCode);
        EXPECT_EQ(m_peer.GetMessages(LinkWrit, subCode).size(), 1u) << int(subCode);

        // Refused: no success text.
        m_peer.SetRefuseWrites(true);
        m_log.clear();
        EXPECT_FALSE(write()) << int(subCode);
        EXPECT_TRUE(m_log.isEmpty()) << int(subCode);
        m_peer.SetRefuseWrites(false);
    }

    // An answer of any sub-code is accepted; one without a line end ends with its announced length.
    for (const std::string& answer :
         {Frame(LinkAnsw, 200, "Theme Fog loaded"), CLinkMessage(LinkAnsw, 9, "Theme Fog loaded").ToString()}) {
        m_peer.AnswerNextWith(answer);
        m_log.clear();
        EXPECT_TRUE(m_client.SetWeatherTheme("Fog"));
        EXPECT_EQ(LogTexts(), QStringList{"(Client)Theme Fog loaded"});
    }
    CAircraft aircraft;
    EXPECT_TRUE(m_client.ReadAircraft(aircraft));
}

TEST_F(BridgeTest, AnswerSplitIntoThreeSegmentsIsReadWhole)
{
    ASSERT_TRUE(ConnectClient());
    m_peer.SetAnswerSplit(3, 40);
    CAircraft aircraft;
    ASSERT_TRUE(m_client.ReadAircraft(aircraft));
    ExpectSamePosition(aircraft, m_peer.GetAircraft());
    EXPECT_TRUE(aircraft.landingLights) << "the last item arrived with the last segment";
    CAircraftFuel fuel;
    ASSERT_TRUE(m_client.ReadFuel(fuel));
    EXPECT_EQ(fuel.GetTankCount(), 3);
}

// A late answer to a timed-out read, and a stale answer sent twice, are waiting in the socket when the next read
// goes out: neither is taken for its answer. Only the read that is to time out has a short wait.
TEST_F(BridgeTest, LateAndStaleAnswersAreNotTakenForTheNext)
{
    COvyxClient::Waits impatient = RoomyWaits();
    impatient.readReply = 150;
    ASSERT_TRUE(ConnectClient());
    const std::pair<std::function<void()>, std::size_t> misbehave[]
        = {{[&] { m_peer.SetAnswerDelay(400); }, 1}, {[&] { m_peer.SendStaleAnswerAfterNext(); }, 2}};
    for (const auto& [setup, answers] : misbehave) {
        const std::size_t sentBefore = m_peer.GetSentCount();
        setup();
        CAircraft aircraft;
        m_client.SetWaits(impatient);
        m_client.ReadAircraft(aircraft);
        m_client.SetWaits(RoomyWaits());
        const CAircraft oldSample = m_peer.GetAircraft();
        ASSERT_TRUE(m_peer.WaitForSent(sentBefore + answers, kEventWaitMs)) << "the late or stale answers sent";
        QThread::msleep(50);
        m_peer.SetAnswerDelay(0);

        ASSERT_TRUE(m_client.ReadAircraft(aircraft));
        ExpectSamePosition(aircraft, m_peer.GetAircraft());
        EXPECT_GT(aviation::CalcDistance(aircraft, oldSample), 0.05) << "took the old answer";
    }
}

TEST_F(BridgeTest, PeerClosingDuringTheWaitDisconnectsAndNothingIsSentAfter)
{
    CAircraft aircraft;
    aircraft.altitude = 1234;
    EXPECT_FALSE(m_client.ReadAircraft(aircraft)) << "never connected";
    EXPECT_FALSE(m_client.ClearWeather());
    EXPECT_EQ(m_peer.GetConnectionCount(), 0);

    ASSERT_TRUE(ConnectClient());
    m_peer.CloseOnNextRequest();
    EXPECT_FALSE(m_client.ReadAircraft(aircraft));
    EXPECT_FALSE(m_client.IsConnected());
    EXPECT_EQ(aircraft.altitude, 1234);
    const std::size_t frames = m_peer.GetFrames().size();
    EXPECT_FALSE(m_client.ReadAircraft(aircraft));
    EXPECT_FALSE(m_client.SendText("Update Weather"));
    QThread::msleep(50);
    EXPECT_EQ(m_peer.GetFrames().size(), frames) << "sent on a closed link";

    // A later connect starts over on the same client.
    ASSERT_TRUE(ConnectClient());
    EXPECT_TRUE(m_client.ReadAircraft(aircraft));
    EXPECT_EQ(m_peer.GetConnectionCount(), 2);
}

TEST_F(BridgeTest, EndlessAnswerIsDroppedAtItsLimitAndOversizedRequestIsNotSent)
{
    ASSERT_TRUE(ConnectClient());
    m_peer.AnswerNextWith(std::string(COvyxClient::kMaxFrameBytes + 100, 'x'));
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(m_client.SetWeatherTheme("Fog"));
    // Dropping it takes milliseconds; waiting for the line end would take the whole minute-long reply wait.
    EXPECT_LT(elapsed.elapsed(), 10000) << "waited for a line end that cannot come";
    CAircraft aircraft;
    EXPECT_TRUE(m_client.ReadAircraft(aircraft)) << "the rest of the endless answer is not taken for the next";

    const std::size_t framesBefore = m_peer.GetFrames().size();
    EXPECT_FALSE(m_client.SendMetar(std::string(CLinkMessage::kMaxPayloadLength + 1, 'M').c_str()));
    EXPECT_TRUE(m_client.SendText("Update Weather"));
    EXPECT_EQ(m_peer.GetFrames().size(), framesBefore + 1);
}

TEST_F(BridgeTest, LogoutSendsQuitWithoutWaitingAndSoDoesDeletion)
{
    COvyxClient never;
    EXPECT_TRUE(never.Logout());
    ASSERT_TRUE(ConnectClient());
    EXPECT_TRUE(m_client.Logout());
    EXPECT_FALSE(m_client.IsConnected());
    ASSERT_TRUE(m_peer.WaitForFrames(2, kEventWaitMs)) << "the logout arrived";
    EXPECT_EQ(m_peer.GetFrames().back(), "@QUIT;082;0006;Logout");
    CAircraft aircraft;
    EXPECT_FALSE(m_client.ReadAircraft(aircraft));

    {
        COvyxClient client;
        ASSERT_TRUE(client.Connect(QStringLiteral("127.0.0.1"), m_peer.GetPort()));
    }
    ASSERT_TRUE(m_peer.WaitForFrames(4, kEventWaitMs)) << "the deleted client's logout arrived";
    EXPECT_EQ(m_peer.GetFrames().back(), "@QUIT;082;0006;Logout");
}
