// The scheduler's ticks with the loopback weather server and the loopback bridge peer behind a real connection
// worker: download, generation and regeneration in normal mode, and a weather theme in model-file mode.
#include "generation/weatherthemefile.h"
#include "generationtest.h"
#include "platform/clock.h"
#include "simlink/connectworker.h"
#include "tools/bridge-peer/bridgepeer.h"

namespace {

// Hands the records and the theme to the connection worker and queues their jobs, as the main window does.
class SchedulerHost : public GenerationHost
{
public:
    void SetWeather(const std::vector<CFSWeatherStation>& stations) override
    {
        GenerationHost::SetWeather(stations);
        link->SetWeather(stations);
        link->AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));
    }
    void SetWeatherTheme(const std::string& theme) override
    {
        GenerationHost::SetWeatherTheme(theme);
        link->AddJob(CJob(JobLoadWeatherTheme, QString::fromStdString(theme)));
    }
    bool IsConnected() override { return link->IsConnected(); }
    CConnectWorker* GetConnectWorker() override { return link.get(); }

    std::unique_ptr<CConnectWorker> link;
};

class SchedulerEndToEnd : public WeatherWorkerTest
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
        CSettings::SetWindDwc(false);
        WriteFile(ProgramFile(QStringLiteral("airportlist.txt")), kAirports);
        m_server.SetCombinedText(QByteArray("[METAR]\n") + kMetars + "[/METAR]\n");
        m_host.link = std::make_unique<CConnectWorker>();
        m_host.link->AddJob(CJob(JobConnect, QString()));
        ASSERT_TRUE(WaitUntil([this] { return m_host.link->IsConnected(); })) << "connected";
        m_worker = std::make_unique<CWeatherWorker>(&m_host);
        m_worker->EnableSimTimer(false);
        m_worker->SetWeatherSource(WeatherDataLive);
        Place(m_frankfurt);
    }

    void TearDown() override
    {
        m_worker.reset();
        m_host.link.reset();
        WeatherWorkerTest::TearDown();
    }

    void Place(const aviation::Position& position)
    {
        aviation::structs::CAircraft aircraft;
        aircraft.SetLatitude(position.GetLatitude());
        aircraft.SetLongitude(position.GetLongitude());
        aircraft.altitude = 9000;
        aircraft.height = 8500;
        m_worker->SetAircraft(aircraft);
    }

    // One tick a second after the one before.
    void Tick()
    {
        m_clock.AdvanceMs(1000);
        m_host.Clear();
        m_worker->OnUpdateSimTimer();
    }

    int Downloads() const { return m_server.Requests().filter(QStringLiteral("weather_vatsim")).size(); }

    // The scheduler acts at most once a second of this clock.
    platform::ScopedClock m_clock{platform::NowSeconds()};
    tools::CBridgePeer m_peer;
    SchedulerHost m_host;
    std::unique_ptr<CWeatherWorker> m_worker;
    aviation::Position m_frankfurt{50.026706, 8.558350};
};

} // namespace

TEST_F(SchedulerEndToEnd, TicksDownloadGenerateOnceAndRegenerateFarAway)
{
    CSettings::SetNormalMode(true);
    Tick();
    EXPECT_EQ(Downloads(), 1);
    ASSERT_EQ(m_host.CallsStartingWith("SetWeather("), QStringList{"SetWeather(5)"});
    EXPECT_EQ(m_host.CallsStartingWith("ShowMetar"), QStringList{"ShowMetar(EDDF)"});
    ASSERT_TRUE(WaitUntil([this] { return m_peer.GetWeatherWrites().size() == 5; })) << "the five records written";
    // Nothing is generated while a transfer runs; the next ticks come a second later, but at once in real time.
    ASSERT_TRUE(WaitUntil([this] { return !m_host.link->IsSendingWeather(); })) << "the transfer ended";

    Tick();
    EXPECT_EQ(Downloads(), 1);
    EXPECT_TRUE(m_host.CallsStartingWith("SetWeather(").isEmpty());

    // 201 NM on the measure the scheduler uses.
    const double scale = 201.0
        / aviation::Position::GetDistance(m_frankfurt, aviation::Position::GetDestination(m_frankfurt, 100, 201));
    Place(aviation::Position::GetDestination(m_frankfurt, 100, 201 * scale));
    Tick();
    EXPECT_EQ(Downloads(), 1);
    EXPECT_EQ(m_host.CallsStartingWith("SetWeather(").size(), 1);
}

TEST_F(SchedulerEndToEnd, ModelFileModeWritesTheThemeThatThePeerIsToldToLoad)
{
    QTemporaryDir simulator;
    ASSERT_TRUE(QDir().mkpath(simulator.filePath(QStringLiteral("Weather/themes"))));
    CSettings::SetPathToFS(simulator.path());
    CSettings::SetModelFileMode(true);
    CSettings::SetModelFileSize(3);
    ResetWeatherThemeNames();
    m_worker->SetThemeLoadDelay(100);
    Tick();
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherManager) Generate weather model")));
    EXPECT_TRUE(QFile::exists(simulator.filePath(QStringLiteral("Weather/themes/aerovane.WTB"))));
    EXPECT_TRUE(QFile::exists(simulator.filePath(QStringLiteral("Weather/themes/aerovane.wt"))));
    ASSERT_TRUE(WaitUntil([this] { return !m_peer.GetMessages(LinkWrit, LinkSubCode::WriteWeatherTheme).empty(); }))
        << "the peer told to load the theme";
    EXPECT_EQ(m_peer.GetMessages(LinkWrit, LinkSubCode::WriteWeatherTheme)[0].GetPayload(), "weather/themes/aerovane");
}
