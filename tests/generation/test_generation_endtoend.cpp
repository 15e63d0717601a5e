// Weather from the loopback weather server to the loopback bridge peer: a window host that hands the generated
// records to a real connection worker on the bridge link, as the main window does.
#include "generationtest.h"
#include "simlink/connectworker.h"
#include "tests/support/stallclock.h"
#include "tools/bridge-peer/bridgepeer.h"

#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace {

class LinkedHost : public GenerationHost
{
public:
    void SetWeather(const std::vector<CFSWeatherStation>& stations) override
    {
        GenerationHost::SetWeather(stations);
        link->SetWeather(stations);
        link->AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));
    }
    void SendWindToXP(const CXPWeather& record) override
    {
        GenerationHost::SendWindToXP(record);
        link->SendWindToXP(record);
    }
    bool IsConnected() override { return link->IsConnected(); }

    std::unique_ptr<CConnectWorker> link;
};

bool WaitFor(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 60000)
        QThread::msleep(10);
    return done();
}

class GenerationEndToEnd : public WeatherWorkerTest
{
protected:
    void SetUp() override
    {
        WeatherWorkerTest::SetUp();
        ASSERT_TRUE(m_peer.Start());
        CSettings::SetInterfaceType(4);
        CSettings::SetServerIP(QStringLiteral("127.0.0.1"));
        CSettings::SetServerPort(QString::number(m_peer.GetPort()));
        CSettings::SetPauseBetweenWXStation(0);
        CSettings::SetWeatherRadius(100);
        WriteFile(ProgramFile(QStringLiteral("airportlist.txt")), kAirports);
        m_server.SetCombinedText(QByteArray("[METAR]\n") + kMetars + "[/METAR]\n");
        Connect();
        m_generator = std::make_unique<CWeatherWorker>(&m_linked);
        m_generator->DownloadWeather();
        aviation::structs::CAircraft aircraft;
        aircraft.SetLatitude(50.026706);
        aircraft.SetLongitude(8.558350);
        aircraft.altitude = 3000;
        m_generator->SetAircraft(aircraft);
    }

    void TearDown() override
    {
        m_generator.reset();
        m_linked.link.reset();
        WeatherWorkerTest::TearDown();
    }

    void Connect()
    {
        m_linked.link = std::make_unique<CConnectWorker>();
        m_linked.link->AddJob(CJob(JobConnect, QString()));
        ASSERT_TRUE(WaitFor([this] { return m_linked.link->IsConnected(); })) << "connected";
    }

    // Waits for the records the host handed over to reach the peer, and compares their texts.
    void ExpectRecordsWritten()
    {
        const std::size_t count = m_linked.weather.size();
        ASSERT_GT(count, 0u);
        ASSERT_TRUE(WaitFor([&] { return m_peer.GetWeatherWrites().size() >= count; })) << "every record written";
        const std::vector<CLinkMessage> writes = m_peer.GetWeatherWrites();
        ASSERT_EQ(writes.size(), count);
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(QString::fromStdString(writes[i].GetPayload()), m_linked.weather[i].text) << i;
        m_peer.ClearFrames();
    }

    tools::CBridgePeer m_peer;
    LinkedHost m_linked;
    std::unique_ptr<CWeatherWorker> m_generator;
};

TEST_F(GenerationEndToEnd, NormalAutoAndXPlaneWeatherReachTheBridge)
{
    EXPECT_EQ(CSettings::GetFSVersion(), 3);
    m_peer.ClearFrames();
    m_generator->GenerateFSWeather(QString());
    EXPECT_EQ(m_linked.Icaos(), QStringList({"GLOB", "EDDF", "ETOU", "EDFE", "EDFZ"}));
    ExpectRecordsWritten();

    m_generator->GenerateFSWeatherAutoMode();
    EXPECT_EQ(m_linked.Icaos().first(), QStringLiteral("GLOB"));
    ExpectRecordsWritten();

    // The peer plays X-Plane from the next connection on.
    m_peer.SetSimulator(tools::CBridgePeer::Simulator::XPlane);
    m_linked.link.reset();
    Connect();
    ASSERT_TRUE(WaitFor([] { return CSettings::GetFSVersion() == 9 || CSettings::GetFSVersion() == 10; }))
        << "X-Plane's version stored";
    m_peer.ClearFrames();
    m_generator->GenerateXPlaneWeather();
    m_generator->GenerateXPLaneWind();
    ASSERT_TRUE(WaitFor([this] {
        return m_peer.GetMessages(LinkWrit, LinkSubCode::WriteXPlaneWind).size() == 1
            && m_peer.GetWeatherWrites().size() == 1;
    })) << "the X-Plane wind and weather written";
    EXPECT_EQ(m_peer.GetWeatherWrites()[0].GetSubCode(), LinkSubCode::WriteXPlaneWeather);
}

// A grid server that never answers costs the generation one try, not one per station: the stations take the
// standard atmosphere and the records reach the bridge.
TEST_F(GenerationEndToEnd, AStalledGridServerCostsTheGenerationOneTry)
{
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::Stall);
    m_server.ClearRequests();
    m_peer.ClearFrames();
    {
        // The grid request is given up a second of this clock after the server has taken it.
        platform::ScopedClock clock(platform::NowSeconds());
        m_linked.downloader.SetStallLimit(1000, 64);
        StallClock stallClock(clock, m_linked.downloader, m_server, 1000);
        stallClock.PassWindowAfter(StallClock::kOnUnansweredRequest);
        m_generator->GenerateFSWeather(QString());
    }
    ExpectRecordsWritten();
    EXPECT_EQ(m_server.Requests().filter(QStringLiteral("get_grib")).size(), 1)
        << m_server.Requests().join('\n').toStdString();
    EXPECT_TRUE(m_linked.statuses.contains(
        QStringLiteral("Download Grib failed: stalled: less than 64 bytes in 1 s, next try in 60 s")));
}

} // namespace
