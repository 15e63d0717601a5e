#include "platform/clock.h"
#include "recordingprompter.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"
#include "weatherworkertest.h"

#include <QRegularExpression>
#include <QTimer>

#include <utility>

namespace {

constexpr std::int64_t kStart = 1796640000; // a whole minute, 7 Dec 2026

// The worker's scheduler driven tick by tick on a fixed clock, connected, with the aircraft near Munich.
class UpdateSchedulerTest : public WeatherWorkerTest
{
protected:
    void SetUp() override
    {
        WeatherWorkerTest::SetUp();
        m_host.connected = true;
        Worker().EnableSimTimer(false);
        Place(m_start, 3000);
    }

    void Place(const aviation::Position& position, int height, int altitude = 0)
    {
        m_aircraft.SetLatitude(position.GetLatitude());
        m_aircraft.SetLongitude(position.GetLongitude());
        m_aircraft.height = height;
        m_aircraft.altitude = altitude ? altitude : height + 1500;
        Worker().SetAircraft(m_aircraft);
    }

    // Advances the clock and runs one tick with a fresh record of the host's calls.
    void Tick(std::int64_t milliseconds = 1000)
    {
        m_clock.AdvanceMs(milliseconds);
        m_host.Clear();
        Worker().OnUpdateSimTimer();
    }

    bool StatusShown(const QString& text) const { return m_host.statuses.contains(text); }

    platform::ScopedClock m_clock{kStart};
    RecordingPrompter m_prompter;
    ScopedPrompter m_usePrompter{m_prompter};
    aviation::Position m_start{48.354, 11.786};
    aviation::structs::CAircraft m_aircraft;
};

} // namespace

TEST_F(UpdateSchedulerTest, NothingWhileDisconnectedAndNoSecondRunInOneSecond)
{
    m_host.connected = false;
    Worker().SetWeatherSource(WeatherDataLive);
    CSettings::SetNormalMode(true);
    Tick();
    EXPECT_TRUE(m_host.calls.isEmpty() && m_server.Requests().isEmpty()) << m_host.calls.join('\n').toStdString();

    m_host.connected = true;
    Worker().SetWeatherSource(WeatherDataStored);
    Tick();
    Tick(400);
    EXPECT_TRUE(m_host.calls.isEmpty()) << m_host.calls.join('\n').toStdString();
    Tick(600);
    EXPECT_FALSE(m_host.statuses.isEmpty());
}

TEST_F(UpdateSchedulerTest, OnlyLiveWeatherIsDownloadedAgainAndEverySourceIsGenerated)
{
    CSettings::SetNormalMode(true);
    for (int source : {WeatherDataLive, WeatherDataHistory, WeatherDataStored}) {
        m_worker.reset();
        m_server.ClearRequests();
        Worker().EnableSimTimer(false);
        Worker().SetAircraft(m_aircraft);
        Worker().SetWeatherSource(source);
        Tick();
        EXPECT_EQ(m_server.Requests().filter("weather_vatsim").size(), source == WeatherDataLive ? 1 : 0) << source;
        EXPECT_TRUE(StatusShown("Weather update")) << source;
        Tick();
        EXPECT_TRUE(StatusShown("Update in 1799s/200.0NM ")) << m_host.statuses.join('|').toStdString();
        EXPECT_EQ(m_server.Requests().filter("weather_vatsim").size(), source == WeatherDataLive ? 1 : 0) << source;
    }
}

// The hold of an approach stays after the landing and across a reconnect; it ends when the aircraft climbs above
// the height again, or shows up more than 20 NM from its last read: a new flight, which gets its weather at the gate.
TEST_F(UpdateSchedulerTest, ApproachHoldEndsOnAClimbOrANewFlightSomewhereElse)
{
    Worker().SetWeatherSource(WeatherDataStored);
    CSettings::SetNormalMode(true);
    const aviation::Position near = aviation::Position::GetDestination(m_start, 90, 18);
    const aviation::Position far = aviation::Position::GetDestination(m_start, 90, 300);
    struct Case
    {
        aviation::Position position;
        int height;
        bool reconnect;
        bool approach;
    } cases[] = {
        // On the ground below 5000 ft there is no approach before the aircraft was above it.
        {m_start, 100, false, false}, {m_start, 6000, false, false}, {near, 4000, false, true},
        {near, 0, false, true},       {near, 0, true, true},         {near, 5001, false, false},
        {near, 6000, false, false},   {near, 0, false, true},        {far, 0, false, false},
    };
    for (const Case& c : cases) {
        if (c.reconnect) {
            m_host.connected = false;
            Tick();
            m_host.connected = true;
        }
        Place(c.position, c.height);
        Tick();
        EXPECT_EQ(StatusShown("Approach - no Weather Update"), c.approach) << c.height;
    }
    EXPECT_TRUE(StatusShown("Weather update"));
}

// A transfer that waits (the link is stopped) holds generation back; once Clear WX has dropped it, the update that
// fell due meanwhile comes.
TEST_F(UpdateSchedulerTest, NothingIsGeneratedWhileATransferWaits)
{
    Worker().SetWeatherSource(WeatherDataStored);
    CSettings::SetNormalMode(true);
    CConnectWorker link;
    link.Stop();
    link.AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));
    m_host.connectWorker = &link;
    Tick();
    EXPECT_TRUE(m_host.CallsStartingWith(QStringLiteral("SetWeather")).isEmpty());
    link.StopWeatherTransfer();
    Tick();
    EXPECT_TRUE(StatusShown("Weather update"));
    m_host.connectWorker = nullptr;
}

// A tick inside a generation's grid wait downloads and generates nothing; the download and the update that fell
// due meanwhile come on the first tick after it.
TEST_F(UpdateSchedulerTest, ATickInsideAGenerationStartsNothingAndWhatFellDueComesAfterIt)
{
    Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString());
    Worker().SetWeatherSource(WeatherDataLive);
    CSettings::SetNormalMode(true);
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::Stall);
    // The stalled server sends nothing: a second of the test's clock without bytes gives its request up, and the
    // tick in the wait moves the clock that second on once the server has taken the request.
    m_host.downloader.SetStallLimit(1000, 64);
    QStringList inTheWait;
    const QMetaObject::Connection tickInTheWait
        = QObject::connect(&m_server, &tools::WxServer::RequestServed, [this, &inTheWait] {
              QTimer::singleShot(0, [this, &inTheWait] {
                  if (inTheWait.isEmpty()) {
                      Tick();
                      inTheWait << m_host.calls << m_server.Requests();
                  }
              });
          });
    Worker().GenerateFSWeather(QString());
    QObject::disconnect(tickInTheWait);
    EXPECT_EQ(inTheWait.join('|').toStdString(), "/get_grib_v2.php?lat=48.35&lon=11.79&mode=multi&key=64093");
    EXPECT_EQ(m_host.CallsStartingWith(QStringLiteral("SetWeather")), QStringList({"SetWeather(3)"}));

    // The server answers again, with the usual room.
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::None);
    m_host.downloader.SetStallLimit(WXDownloader::kDefaultStallWindowMs, WXDownloader::kDefaultStallMinimumBytes);
    m_server.ClearRequests();
    Tick();
    EXPECT_EQ(m_server.Requests().filter("weather_vatsim").size(), 1);
    EXPECT_TRUE(StatusShown("Weather update"));
    EXPECT_EQ(m_host.CallsStartingWith(QStringLiteral("SetWeather")).size(), 1);
}

// Clear WX pressed while a generation waits for its grid stops it in every mode: nothing reaches the simulator after
// the clear (no records, no new stations, no theme, no X-Plane wind), the METAR list stays empty, and commands 0 and
// 1 come back once, at its end.
TEST_F(UpdateSchedulerTest, ClearWxInAGenerationsWaitStopsItAndNothingFollowsTheClear)
{
    QTemporaryDir simulator;
    ASSERT_TRUE(QDir().mkpath(simulator.filePath(QStringLiteral("Weather/themes"))));
    CSettings::SetPathToFS(simulator.path());
    CSettings::SetInterfaceType(2);
    // The live weather is in, without a grid near the aircraft: each generation asks for one, and the grid server
    // stalls. A second of the test's clock without bytes gives the request up; the clear moves the clock on.
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::GridError);
    ASSERT_TRUE(Worker().DownloadWeather());
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::Stall);
    m_host.downloader.SetStallLimit(1000, 64);
    // Each stalled request holds the grid back a while: the next row begins after that.
    Worker().SetFirstDownloadRetry(1);
    const struct
    {
        const char* name;
        int version;
        bool normal, modelFile, automode;
    } cases[] = {{"normal", 3, true, false, false},
                 {"weather model file", 3, false, true, false},
                 {"auto", 3, false, false, true},
                 {"X-Plane", 10, true, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_clock.AdvanceMs(60000);
        CSettings::SetFSVersion(c.version);
        CSettings::SetNormalMode(c.normal);
        CSettings::SetModelFileMode(c.modelFile);
        CSettings::SetAutoMode(c.automode);
        Worker().RequestWeatherUpdate();
        Worker().AppendToMetarList(Worker().GetMetar(QStringLiteral("EDDM")));
        bool cleared = false;
        const QMetaObject::Connection clearInTheWait
            = QObject::connect(&m_server, &tools::WxServer::RequestServed, [&] {
                  QTimer::singleShot(0, [&] {
                      if (std::exchange(cleared, true))
                          return;
                      Worker().OnWeatherCleared();
                      m_host.calls << QStringLiteral("Clear WX");
                      m_clock.AdvanceMs(1000);
                  });
              });
        Tick();
        QObject::disconnect(clearInTheWait);
        ASSERT_TRUE(cleared);

        const QStringList afterClear = m_host.calls.mid(m_host.calls.indexOf(QStringLiteral("Clear WX")));
        for (const char* handOver : {"SetWeather", "SendStationToFS", "SetWeatherTheme", "SendWindToXP"})
            EXPECT_TRUE(afterClear.filter(QLatin1String(handOver)).isEmpty()) << afterClear.join('\n').toStdString();
        EXPECT_EQ(afterClear.filter(QRegularExpression(QStringLiteral("sigDisableButton\\([01],"))),
                  QStringList({"sigDisableButton(0,false)", "sigDisableButton(1,false)"}));
        EXPECT_EQ(m_host.log.count(CWeatherWorker::GenerationStoppedText()), 1);
        EXPECT_TRUE(Worker().GetMetarList().empty());
        EXPECT_TRUE(QDir(simulator.filePath(QStringLiteral("Weather/themes"))).isEmpty());
    }
}

TEST_F(UpdateSchedulerTest, NormalModeRegeneratesOnlyBeyondTheRadius)
{
    Worker().SetWeatherSource(WeatherDataStored);
    CSettings::SetNormalMode(true);
    Tick();
    struct Case
    {
        double nm;
        bool update;
    } cases[] = {{199.9, false}, {200.1, true}};
    for (const Case& c : cases) {
        // Positions are placed on one metric and measured on another: scale to the measured one.
        const double scale
            = 200.0 / aviation::Position::GetDistance(m_start, aviation::Position::GetDestination(m_start, 45, 200));
        const aviation::Position moved = aviation::Position::GetDestination(m_start, 45, c.nm * scale);
        ASSERT_EQ(aviation::Position::GetDistance(m_start, moved) > 200.0, c.update) << c.nm;
        Place(moved, 3000);
        Tick();
        EXPECT_EQ(StatusShown("Weather update"), c.update) << m_host.statuses.join('|').toStdString();
    }
}

TEST_F(UpdateSchedulerTest, ModelFileModeBoxesComeOnceEvenWhileTicksGoOn)
{
    Worker().SetWeatherSource(WeatherDataStored);
    CSettings::SetModelFileMode(true);
    CSettings::SetInterfaceType(1);
    m_prompter.whileOpen = [this] { Tick(); };
    Tick();
    ASSERT_EQ(m_prompter.asked.size(), 1u);
    EXPECT_EQ(m_prompter.asked[0].title, QStringLiteral("Aerovane - Interface"));
    EXPECT_TRUE(CSettings::GetNormalMode());
    EXPECT_FALSE(CSettings::GetModelFileMode());
    m_prompter.whileOpen = nullptr;
    Tick();
    EXPECT_TRUE(StatusShown("Weather update"));

    // Before FSX the mode cannot run: one reminder per update period, nothing generated.
    CSettings::SetNormalMode(false);
    CSettings::SetModelFileMode(true);
    CSettings::SetInterfaceType(2);
    CSettings::SetFSVersion(2);
    m_prompter.asked.clear();
    for (int i = 0; i < 5; ++i)
        Tick();
    Tick(1795 * 1000);
    ASSERT_EQ(m_prompter.asked.size(), 1u);
    EXPECT_EQ(m_prompter.asked[0].text,
              QStringLiteral("Your FS-Version is not compatible with this weather mode. Minimum FSX"));
    EXPECT_TRUE(StatusShown("WxModel Mode"));
    Tick();
    EXPECT_EQ(m_prompter.asked.size(), 2u);
    EXPECT_FALSE(m_host.log.contains("(WeatherManager) Generate weather model"));
}

// A theme that cannot be written is tried again after the retry time (shortened here from a minute), not after
// 80 NM or the update period; the box comes once, and a good write brings the mode's countdown back.
TEST_F(UpdateSchedulerTest, ModelFileModeRetriesAFailedWriteAfterTheRetryTime)
{
    Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString());
    Worker().SetWeatherSource(WeatherDataStored);
    Worker().SetThemeWriteRetry(5);
    Worker().SetThemeLoadDelay(1);
    CSettings::SetModelFileMode(true);
    CSettings::SetModelFileSize(1);
    CSettings::SetInterfaceType(2);
    CSettings::SetFSVersion(3);
    QTemporaryDir simulator;
    ASSERT_TRUE(QDir().mkpath(simulator.filePath(QStringLiteral("Weather/themes"))));

    const std::tuple<std::int64_t, QString, bool, QString> ticks[] = {
        // seconds after the last tick, simulator folder, written, status shown (last in the tick, empty: any)
        {1, "", true, "Write weather theme failed: no simulator folder set, next try in 5 s"},
        {1, "", false, "Write weather theme failed: no simulator folder set, next try in 4 s"},
        {3, "", false, "Write weather theme failed: no simulator folder set, next try in 1 s"},
        {1, "", true, "Write weather theme failed: no simulator folder set, next try in 5 s"},
        {5, simulator.path(), true, ""},
        {5, simulator.path(), false, "WxModel Mode - Update in 80.00 NM/1795s"},
    };
    for (const auto& [seconds, folder, written, status] : ticks) {
        CSettings::SetPathToFS(folder);
        Tick(seconds * 1000);
        EXPECT_EQ(m_host.log.contains("(WeatherManager) Generate weather model"), written) << seconds;
        EXPECT_TRUE(status.isEmpty() || m_host.statuses.last() == status) << m_host.statuses.join('|').toStdString();
    }
    EXPECT_EQ(m_prompter.asked.size(), 1u);
}

TEST_F(UpdateSchedulerTest, XPlaneWindFollowsOnlyAbove2000FeetAboveGround)
{
    Worker().SetWeatherSource(WeatherDataStored);
    CSettings::SetFSVersion(10);
    CSettings::SetNormalMode(true); // X-Plane comes first whatever the mode
    Place(m_start, 1500, 4000);
    Tick();
    EXPECT_TRUE(StatusShown("Weather update"));
    for (int altitude : {6000, 9000, 2000}) {
        Place(m_start, 1500, altitude);
        Tick(31000);
        EXPECT_FALSE(StatusShown("Wind update")) << altitude;
    }
    Place(m_start, 2500, 4000);
    Tick();
    EXPECT_TRUE(StatusShown("Wind update"));
    EXPECT_TRUE(StatusShown("XPlane Mode - Update in 20.0NM/506s "));
}

TEST_F(UpdateSchedulerTest, NearestMetarDisplay)
{
    Worker().SetWeatherSource(WeatherDataStored);
    Tick();
    EXPECT_EQ(m_host.CallsStartingWith("ShowNoMetarNearby"),
              QStringList{"ShowNoMetarNearby(no metar station in the vicinity)"});
    EXPECT_TRUE(m_host.calls.contains("sigDisableButton(2,true)"));

    const QString raw = QStringLiteral("EDDM 071020Z 27010KT 9999 FEW030 05/01 Q1013");
    Worker().LoadWeatherFromText(raw + "\n", {}, {});
    Tick();
    EXPECT_TRUE(m_host.calls.contains("ShowMetar(EDDM)"));
    EXPECT_TRUE(m_host.calls.contains("sigDisableButton(2,false)"));
    EXPECT_EQ(m_host.CallsStartingWith("ShowFSMessage"), QStringList{"ShowFSMessage(" + raw + ")"});
    Tick();
    EXPECT_TRUE(m_host.CallsStartingWith("ShowMetar").isEmpty()); // next display after 30 s
}

// The server is down at start: nothing is generated from an empty model, the download is tried again after a
// minute, then after twice as long, and the first good one makes the weather live.
TEST_F(UpdateSchedulerTest, DownloadFailingAtStartIsRetriedSoonWithBackOffAndNothingIsGeneratedMeanwhile)
{
    CSettings::SetNormalMode(true);
    m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), tools::WxServer::Failure::NotFound);
    EXPECT_FALSE(Worker().DownloadWeather());
    EXPECT_EQ(Worker().GetWeatherSource(), WeatherDataNone);
    m_host.Clear();
    Worker().GenerateFSWeather(QString());
    EXPECT_TRUE(m_host.CallsStartingWith(QStringLiteral("SetWeather")).isEmpty());
    EXPECT_TRUE(
        m_host.log.contains(QStringLiteral("(WeatherManager) FSWeather: no weather loaded, nothing generated")));

    const std::tuple<std::int64_t, int, bool> ticks[] = {
        // seconds after the last tick, downloads asked for in this tick, server answers
        {30, 0, false},
        {31, 1, false},
        {119, 0, false},
        {2, 1, true},
    };
    for (const auto& [seconds, downloads, serverUp] : ticks) {
        if (serverUp)
            m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), tools::WxServer::Failure::None);
        m_server.ClearRequests();
        Tick(seconds * 1000);
        EXPECT_EQ(m_server.Requests().filter("weather_vatsim").size(), downloads) << seconds;
    }
    EXPECT_EQ(Worker().GetWeatherSource(), WeatherDataLive);
    EXPECT_FALSE(m_host.CallsStartingWith(QStringLiteral("SetWeather")).isEmpty()) << "generated once loaded";
}

// Without a link the scheduler tries nothing, so a failure says that its next try waits for the link instead of
// counting down to a try that would not come; the first tick with the link, the back-off passed, tries again.
TEST_F(UpdateSchedulerTest, AFailureWithoutALinkWaitsForItAndTheFirstTickWithItTriesAgain)
{
    CSettings::SetNormalMode(true);
    m_host.connected = false;
    m_server.SetFailure(QStringLiteral("/weather_vatsim.gz"), tools::WxServer::Failure::NotFound);
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::NotFound);
    Worker().DownloadWeather();
    EXPECT_EQ(m_host.statuses.last(), "Download weather failed: HTTP 404, next try once FS is connected");
    EXPECT_TRUE(m_host.statuses.contains("Download Grib failed: HTTP 404, next try once FS is connected"));
    m_server.ClearRequests();
    Tick(120000);
    EXPECT_TRUE(m_server.Requests().isEmpty());

    m_host.connected = true;
    Tick();
    EXPECT_EQ(m_server.Requests().filter("weather_vatsim").size(), 1);
    EXPECT_EQ(m_host.statuses.last(), "Download weather failed: HTTP 404, next try in 120 s");

    // A link lost during the countdown: the failure waits for the link again, said once.
    m_host.connected = false;
    Tick();
    EXPECT_EQ(m_host.statuses, QStringList({"Download weather failed: HTTP 404, next try once FS is connected"}));
    Tick();
    EXPECT_TRUE(m_host.calls.isEmpty());
}
