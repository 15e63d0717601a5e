// The bridge client against the loopback bridge peer on 127.0.0.1: connection, handshake, version exchange,
// reads, writes, and a peer that answers late, in pieces, twice, wrongly or not at all.
#include "bridgetestsupport.h"

#include "simlink/linkmessage.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QThread>

#include <cstring>
#include <functional>
#include <string>

using aviation::structs::CAircraft;
using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftFuelTank;
using aviation::structs::CAircraftPayload;
using aviation::structs::CAircraftPayloadStation;

namespace {

std::string Frame(LinkCommand command, std::uint8_t subCode, const std::string& payload)
{
    return CLinkMessage(command, subCode, payload.c_str()).ToString() + "\n";
}

void ExpectSamePosition(const CAircraft& read, const CAircraft& expected)
{
    EXPECT_NEAR(read.GetLatitude(), expected.GetLatitude(), 1e-6);
    EXPECT_NEAR(read.GetLongitude(), expected.GetLongitude(), 1e-6);
}

} // namespace

TEST(BridgeClientConnect, PortWithoutListenerFailsWithinTheConnectWait)
{
    quint16 closedPort = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        closedPort = server.serverPort();
    }
    COvyxClient client;
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(client.Connect(QStringLiteral("127.0.0.1"), closedPort));
    EXPECT_LT(elapsed.elapsed(), 2100);
    EXPECT_FALSE(client.IsConnected());
}

TEST(BridgeClientConnect, DefaultWaitsAreTheProtocolOnes)
{
    const COvyxClient client;
    EXPECT_EQ(client.GetWaits().connect, 2000);
    EXPECT_EQ(client.GetWaits().write, 30000);
    EXPECT_EQ(client.GetWaits().writeReply, 30000);
    EXPECT_EQ(client.GetWaits().readReply, 10000);
}

TEST_F(BridgeTest, HandshakeSendsTheClientVersionAndLogsThePeer)
{
    ASSERT_TRUE(ConnectClient());
    EXPECT_TRUE(m_client.IsConnected());
    ASSERT_TRUE(m_peer.WaitForFrames(1, 1000));
    EXPECT_EQ(m_peer.GetFrames().at(0), "@HELO;000;0043;ClientName=Aerovanev2:ClientAPIVersion=1002");
    EXPECT_EQ(LogTexts(),
              (QStringList{QStringLiteral("(Client) - connected to 127.0.0.1:%1").arg(m_peer.GetPort()),
                           QStringLiteral("(Client) - Server waits for connection to any FS")}));

    // Connecting again on a connected client sends no second handshake.
    EXPECT_TRUE(ConnectClient());
    int first = 0, second = 0;
    ASSERT_TRUE(m_client.SendClientVersion(first, second));
    EXPECT_EQ(m_peer.GetMessages(LinkHelo).size(), 1u);
}

TEST_F(BridgeTest, HandshakeAnswersOfAnotherVersionAreReportedButAccepted)
{
    struct Case
    {
        std::string answer;
        int reportedVersion;
    };
    const Case cases[] = {
        {Frame(LinkAnsw, 0, "ServerName=Aerovane Bridge:ServerAPIVersion=1003"), 1003},
        // Any command is taken as the handshake's answer.
        {Frame(LinkFsst, 0, "ServerName=Aerovane Bridge:ServerAPIVersion=1002"), 1002},
        {Frame(LinkAnsw, 0, "ServerName=Aerovane Bridge"), 0},
        {Frame(LinkAnsw, 0, "ServerName=Aerovane Bridge:ServerAPIVersion"), 0},
        {Frame(LinkAnsw, 0, "ServerName=Aerovane Bridge:ServerAPIVersion=new"), 0},
        {Frame(LinkAnsw, 0, ""), 0},
    };
    for (const Case& c : cases) {
        COvyxClient client;
        client.SetWaits(ShortWaits());
        QSignalSpy log(&client, &COvyxClient::sigUIDebugStringFromClient);
        m_peer.AnswerNextWith(c.answer);
        ASSERT_TRUE(client.Connect(QStringLiteral("127.0.0.1"), m_peer.GetPort())) << c.answer;
        EXPECT_TRUE(client.IsConnected());
        const QString incompatible
            = QStringLiteral("Aerovane is not compatible with Nimbolux or Aerovane-Server. MinServerApiVersion=1002, "
                             "your ServerApiVersion=%1 Please download and install the last versions of Aerovane "
                             "and Nimbolux")
                  .arg(c.reportedVersion);
        const bool reported = !log.isEmpty() && log.first().at(0).toString() == incompatible;
        EXPECT_EQ(reported, c.reportedVersion != 1002) << c.answer;
        EXPECT_EQ(log.size(), c.reportedVersion != 1002 ? 3 : 2) << c.answer;
    }
}

TEST_F(BridgeTest, HandshakeWithoutAnswerFails)
{
    m_peer.SetAnswerDelay(-1);
    COvyxClient::Waits waits = ShortWaits();
    waits.writeReply = 200;
    m_client.SetWaits(waits);
    EXPECT_FALSE(ConnectClient());
    EXPECT_FALSE(m_client.IsConnected());
}

TEST_F(BridgeTest, VersionExchangeGivesTheSimulatorOfThePeer)
{
    struct Case
    {
        tools::CBridgePeer::Simulator simulator;
        int first;
        int second;
    };
    using Sim = tools::CBridgePeer::Simulator;
    ASSERT_TRUE(ConnectClient());
    for (const Case& c :
         {Case{Sim::FSX, 3, 3}, Case{Sim::P3D, 4, 3}, Case{Sim::FS9, 2, 1}, Case{Sim::XPlane, 10, 10}}) {
        m_peer.SetSimulator(c.simulator);
        int first = -1, second = -1;
        ASSERT_TRUE(m_client.SendClientVersion(first, second));
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(second, c.second);
    }
    EXPECT_EQ(m_peer.GetFrames().back(), "@COFS;080;0018;ClientVersion=1002");
}

TEST_F(BridgeTest, VersionExchangeRefusesOtherAnswers)
{
    struct Case
    {
        std::string answer;
        int first; // what the first number holds afterwards, -1 untouched
    };
    const Case cases[] = {
        {Frame(LinkAnsw, 80, "SimVersion=3:FSVersion=3"), -1},
        {Frame(LinkFsst, 80, "SimVersion=0:FSVersion=3"), 0},
        {Frame(LinkFsst, 80, "SimVersion=3"), -1},
        {Frame(LinkFsst, 80, "SimVersion3:FSVersion=3"), -1},
        {Frame(LinkFsst, 80, "SimVersion=3:FSVersion"), 3},
        {Frame(LinkFsst, 80, "SimVersion=3=1:FSVersion=3"), -1},
    };
    ASSERT_TRUE(ConnectClient());
    for (const Case& c : cases) {
        m_peer.AnswerNextWith(c.answer);
        int first = -1, second = -1;
        EXPECT_FALSE(m_client.SendClientVersion(first, second)) << c.answer;
        EXPECT_EQ(first, c.first) << c.answer;
        EXPECT_EQ(second, -1) << c.answer;
    }
}

TEST_F(BridgeTest, ReadsTheAircraftAsItFlies)
{
    ASSERT_TRUE(ConnectClient());
    CAircraft first;
    ASSERT_TRUE(m_client.ReadAircraft(first));
    ExpectSamePosition(first, m_peer.GetAircraft());
    EXPECT_EQ(first.altitude, 5000);
    EXPECT_EQ(first.groundSpeed, 240);
    EXPECT_TRUE(first.landingLights);
    EXPECT_EQ(first.ambientWind.gust, -1.0);

    CAircraft second;
    ASSERT_TRUE(m_client.ReadAircraft(second));
    // One second at 240 kt: 1/15 NM further on.
    EXPECT_NEAR(aviation::CalcDistance(first, second), 240.0 / 3600.0, 1e-3);
    EXPECT_EQ(m_peer.GetMessages(LinkRead, 1).size(), 2u);
    EXPECT_EQ(m_peer.GetFrames().back(), "@READ;001;0000;");
}

TEST_F(BridgeTest, ReadsDetailsFuelAndPayload)
{
    ASSERT_TRUE(ConnectClient());
    CAircraftDetail detail;
    CAircraftFuel fuel;
    CAircraftPayload payload;
    ASSERT_TRUE(m_client.ReadAircraftDetail(detail));
    ASSERT_TRUE(m_client.ReadFuel(fuel));
    ASSERT_TRUE(m_client.ReadPayload(payload));
    EXPECT_EQ(detail.name, m_peer.GetDetail().name);
    EXPECT_EQ(detail.Registration, L"D-AVNE");
    EXPECT_FLOAT_EQ(detail.maxTakeOffWeight, m_peer.GetDetail().maxTakeOffWeight);
    ASSERT_EQ(fuel.GetTankCount(), m_peer.GetFuel().GetTankCount());
    EXPECT_EQ(fuel.GetTank(4).name, L"Center");
    EXPECT_DOUBLE_EQ(fuel.GetTank(4).capacity, m_peer.GetFuel().GetTank(4).capacity);
    EXPECT_EQ(payload.count, m_peer.GetPayload().count);
    EXPECT_EQ(payload.stations.at(2).name, L"Forward Cabin");
}

TEST_F(BridgeTest, ReadAnsweredWithAnotherSubCodeFailsAndKeepsTheRecord)
{
    ASSERT_TRUE(ConnectClient());
    m_peer.AnswerNextWith(Frame(LinkAnsw, 1, "NumOfStation=1:FuelWeight=6.7:StationID=3|Name=x|Capacity=50|Level=1"));
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(55.0, 100.0, 7, L""));
    ScopedQtDebugCapture debug;
    EXPECT_FALSE(m_client.ReadFuel(fuel));
    ASSERT_EQ(fuel.GetTankCount(), 1);
    EXPECT_DOUBLE_EQ(fuel.GetTank(7).level, 55.0);
    EXPECT_TRUE(debug.Contains(QStringLiteral("Written TimeOut")));

    m_peer.AnswerNextWith(Frame(LinkFsst, 2, "NumOfStation=0:FuelWeight=6.7"));
    EXPECT_FALSE(m_client.ReadFuel(fuel));
    EXPECT_EQ(fuel.GetTankCount(), 1);
}

TEST_F(BridgeTest, WritesLogTheirSuccessTexts)
{
    ASSERT_TRUE(ConnectClient());
    m_log.clear();
    CAircraftFuel fuel = m_peer.GetFuel();
    CAircraftPayload payload = m_peer.GetPayload();
    CNewWeather station;
    std::memcpy(station.Icao, "EDDF", 4);
    struct Case
    {
        std::function<bool()> write;
        std::uint8_t subCode;
        QString logged; // empty: nothing
    };
    const Case cases[] = {
        {[&] { return m_client.SendFuel(fuel); }, 2, QStringLiteral("(Client) - Send AircraftFuel")},
        {[&] { return m_client.SendPayload(payload); }, 3, QStringLiteral("(Client) - Send AircraftPayload")},
        {[&] { return m_client.SendWind(aviation::weather::CWind(270.0, 15.0)); }, 5, QString()},
        {[&] { return m_client.SendWeatherStation(station); }, 6, QStringLiteral("(Client) - Weather newweather OK")},
        {[&] { return m_client.SendMetar("EDDF 071020Z 25012KT 9999 FEW030 08/03 Q1015"); }, 7,
         QStringLiteral("(Client)-Weather metar ICAO: EDDF 071020Z 25012KT 9999 FEW030 08/03 Q1015 - ok")},
        {[&] { return m_client.SendXPlaneWeather(CXPWeather()); }, 8, QStringLiteral("(Client) - Weather xplane ok")},
        {[&] { return m_client.SetWeatherTheme("Fog"); }, 9, QStringLiteral("(Client)OK")},
        {[&] { return m_client.SendXPlaneWind(CXPWeather()); }, 11, QString()},
        {[&] { return m_client.SendText("Update Weather"); }, 13, QStringLiteral("(Client) - OK")},
        {[&] { return m_client.ClearWeather(); }, 81, QStringLiteral("(Client) - Clear WX OK")},
    };
    for (const Case& c : cases) {
        m_log.clear();
        EXPECT_TRUE(c.write()) << int(c.subCode);
        EXPECT_EQ(LogTexts(), c.logged.isEmpty() ? QStringList() : QStringList{c.logged}) << int(c.subCode);
        EXPECT_EQ(m_peer.GetMessages(LinkWrit, c.subCode).size(), 1u) << int(c.subCode);

        // Refused: no success text.
        m_peer.SetRefuseWrites(true);
        m_log.clear();
        EXPECT_FALSE(c.write()) << int(c.subCode);
        EXPECT_TRUE(m_log.isEmpty()) << int(c.subCode);
        m_peer.SetRefuseWrites(false);
    }
}

TEST_F(BridgeTest, WriteAnswersOfAnySubCodeAreAccepted)
{
    ASSERT_TRUE(ConnectClient());
    m_peer.AnswerNextWith(Frame(LinkAnsw, 200, "Done"));
    EXPECT_TRUE(m_client.SendText("Set Fuel"));
    m_peer.AnswerNextWith(Frame(LinkAnsw, 9, "Theme Fog loaded"));
    m_log.clear();
    EXPECT_TRUE(m_client.SetWeatherTheme("Fog"));
    EXPECT_EQ(LogTexts(), QStringList{QStringLiteral("(Client)Theme Fog loaded")});
}

TEST_F(BridgeTest, FuelAndPayloadWrittenAreReadBack)
{
    ASSERT_TRUE(ConnectClient());
    CAircraftFuel fuel = m_peer.GetFuel();
    fuel.SetTankLevel(4, 95.5);
    ASSERT_TRUE(m_client.SendFuel(fuel));
    CAircraftPayload payload = m_peer.GetPayload();
    payload.stations.at(4).weight = 4100.0f;
    ASSERT_TRUE(m_client.SendPayload(payload));

    CAircraftFuel readFuel;
    CAircraftPayload readPayload;
    ASSERT_TRUE(m_client.ReadFuel(readFuel));
    ASSERT_TRUE(m_client.ReadPayload(readPayload));
    EXPECT_DOUBLE_EQ(readFuel.GetTank(4).level, 95.5);
    EXPECT_FLOAT_EQ(readPayload.stations.at(4).weight, 4100.0f);
}

TEST_F(BridgeTest, RequestsNeedAConnection)
{
    ScopedQtDebugCapture debug;
    CAircraft aircraft;
    aircraft.altitude = 1234;
    EXPECT_FALSE(m_client.ReadAircraft(aircraft));
    EXPECT_EQ(aircraft.altitude, 1234);
    EXPECT_FALSE(m_client.SendText("Set Fuel"));
    EXPECT_FALSE(m_client.ClearWeather());
    EXPECT_FALSE(debug.Contains(QStringLiteral("Write: ")));
    EXPECT_EQ(m_peer.GetConnectionCount(), 0);
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
    EXPECT_TRUE(m_client.SetWeatherTheme("Fog"));
    EXPECT_EQ(LogTexts().last(), QStringLiteral("(Client)OK"));
}

TEST_F(BridgeTest, LateAnswerToATimedOutReadIsNotTakenForTheNext)
{
    COvyxClient::Waits waits = ShortWaits();
    waits.readReply = 150;
    m_client.SetWaits(waits);
    ASSERT_TRUE(ConnectClient());
    const std::size_t sentBefore = m_peer.GetSentCount();

    m_peer.SetAnswerDelay(400);
    CAircraft late;
    ScopedQtDebugCapture debug;
    EXPECT_FALSE(m_client.ReadAircraft(late));
    EXPECT_TRUE(debug.Contains(QStringLiteral("ReadReady Timeout")));
    const CAircraft lateSample = m_peer.GetAircraft();
    // The late answer is on its way to the client before the next request goes out.
    ASSERT_TRUE(m_peer.WaitForSent(sentBefore + 1, 2000));
    QThread::msleep(50);

    m_peer.SetAnswerDelay(0);
    CAircraft current;
    ASSERT_TRUE(m_client.ReadAircraft(current));
    ExpectSamePosition(current, m_peer.GetAircraft());
    EXPECT_GT(aviation::CalcDistance(current, lateSample), 0.05) << "took the late answer";
}

TEST_F(BridgeTest, StaleAnswerWaitingInTheSocketIsDropped)
{
    ASSERT_TRUE(ConnectClient());
    CAircraft aircraft;
    ASSERT_TRUE(m_client.ReadAircraft(aircraft));
    const CAircraft firstSample = m_peer.GetAircraft();
    const std::size_t sentBefore = m_peer.GetSentCount();

    // The second answer is followed by the first once more.
    m_peer.SendStaleAnswerAfterNext();
    ASSERT_TRUE(m_client.ReadAircraft(aircraft));
    ASSERT_TRUE(m_peer.WaitForSent(sentBefore + 2, 2000));
    QThread::msleep(50);

    ASSERT_TRUE(m_client.ReadAircraft(aircraft));
    ExpectSamePosition(aircraft, m_peer.GetAircraft());
    EXPECT_GT(aviation::CalcDistance(aircraft, firstSample), 0.1) << "took the stale answer";
}

TEST_F(BridgeTest, PeerClosingDuringTheWaitDisconnects)
{
    ASSERT_TRUE(ConnectClient());
    m_peer.CloseOnNextRequest();
    CAircraft aircraft;
    aircraft.altitude = 1234;
    EXPECT_FALSE(m_client.ReadAircraft(aircraft));
    EXPECT_FALSE(m_client.IsConnected());
    EXPECT_EQ(aircraft.altitude, 1234);

    ScopedQtDebugCapture debug;
    EXPECT_FALSE(m_client.ReadAircraft(aircraft));
    EXPECT_FALSE(m_client.SendText("Update Weather"));
    EXPECT_FALSE(debug.Contains(QStringLiteral("Write: "))) << "sent on a closed link";

    // A later connect starts over on the same client.
    ASSERT_TRUE(ConnectClient());
    EXPECT_TRUE(m_client.ReadAircraft(aircraft));
    EXPECT_EQ(m_peer.GetConnectionCount(), 2);
}

TEST_F(BridgeTest, AnswerWithoutLineEndEndsWithItsAnnouncedLength)
{
    ASSERT_TRUE(ConnectClient());
    m_peer.AnswerNextWith(CLinkMessage(LinkAnsw, 9, "Fog loaded").ToString());
    m_log.clear();
    EXPECT_TRUE(m_client.SetWeatherTheme("Fog"));
    EXPECT_EQ(LogTexts(), QStringList{QStringLiteral("(Client)Fog loaded")});
    CAircraft aircraft;
    EXPECT_TRUE(m_client.ReadAircraft(aircraft));
}

TEST_F(BridgeTest, EndlessAnswerIsDroppedAtItsLimit)
{
    ASSERT_TRUE(ConnectClient());
    m_peer.AnswerNextWith(std::string(COvyxClient::kMaxFrameBytes + 100, 'x'));
    ScopedQtDebugCapture debug;
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(m_client.SetWeatherTheme("Fog"));
    EXPECT_LT(elapsed.elapsed(), ShortWaits().writeReply) << "waited for a line end that cannot come";
    EXPECT_TRUE(debug.Contains(QStringLiteral("dropped")));
    CAircraft aircraft;
    EXPECT_TRUE(m_client.ReadAircraft(aircraft)) << "the rest of the endless answer is not taken for the next";
}

TEST_F(BridgeTest, OversizedRequestIsNotSent)
{
    ASSERT_TRUE(ConnectClient());
    const std::size_t framesBefore = m_peer.GetFrames().size();
    const std::string text(CLinkMessage::kMaxPayloadLength + 1, 'M');
    EXPECT_FALSE(m_client.SendMetar(text.c_str()));
    EXPECT_TRUE(m_client.SendText("Update Weather"));
    EXPECT_EQ(m_peer.GetFrames().size(), framesBefore + 1);
}

TEST_F(BridgeTest, LogoutSendsQuitWithoutWaiting)
{
    ASSERT_TRUE(ConnectClient());
    EXPECT_TRUE(m_client.Logout());
    EXPECT_FALSE(m_client.IsConnected());
    ASSERT_TRUE(m_peer.WaitForFrames(2, 2000));
    EXPECT_EQ(m_peer.GetFrames().back(), "@QUIT;082;0006;Logout");
    CAircraft aircraft;
    EXPECT_FALSE(m_client.ReadAircraft(aircraft));
}

TEST_F(BridgeTest, LogoutOfANeverConnectedClientSucceeds)
{
    EXPECT_TRUE(m_client.Logout());
    EXPECT_FALSE(m_client.IsConnected());
}

TEST_F(BridgeTest, DeletingAConnectedClientLogsOut)
{
    {
        COvyxClient client;
        ASSERT_TRUE(client.Connect(QStringLiteral("127.0.0.1"), m_peer.GetPort()));
    }
    ASSERT_TRUE(m_peer.WaitForFrames(2, 2000));
    EXPECT_EQ(m_peer.GetFrames().back(), "@QUIT;082;0006;Logout");
}
