#include "generationtest.h"
#include "platform/clock.h"
#include "recordingprompter.h"

#include <QRegularExpression>
#include <QTimer>

#include <stdexcept>
#include <utility>

namespace {

class NormalModeTest : public GenerationTest
{
protected:
    void SetUp() override
    {
        GenerationTest::SetUp();
        CSettings::SetWeatherRadius(100);
        CSettings::SetFSVersion(3);
        m_gen.connected = true;
    }

    void StartAtFrankfurt(const char* metars = kMetars)
    {
        Start(kAirports, metars);
        PutAircraft(50.026706, 8.558350);
    }
};

TEST_F(NormalModeTest, AreaModeSendsGlobalStationReportsAndStationsWithoutReports)
{
    StartAtFrankfurt();
    m_generator->GenerateFSWeather(QString());

    EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB", "EDDF", "ETOU", "EDFE", "EDFZ"}));
    for (const CFSWeatherStation& record : m_gen.weather) {
        EXPECT_TRUE(record.text.endsWith(QStringLiteral(" @@@ "))) << record.text.toStdString();
        EXPECT_EQ(record.seconds, 0);
    }
    EXPECT_EQ(m_gen.CallsStartingWith(QStringLiteral("sigUIUpdateProgress(")).mid(1, 2),
              QStringList({"sigUIUpdateProgress(50,Decoding Metar ETOU, 2 from 4)",
                           "sigUIUpdateProgress(75,Decoding Metar EDFE, 3 from 4)"}));
    EXPECT_EQ(m_gen.calls.mid(m_gen.calls.size() - 4),
              QStringList({"SetWeather(5)", "sigDisableButton(0,false)", "sigDisableButton(1,false)",
                           "OnGenerationRunning(false)"}));
}

TEST_F(NormalModeTest, StationWithSubstituteSendsTheSubstitutesReportUnderItsOwnIcao)
{
    WriteFile(ProgramFile(QStringLiteral("icaos.txt")), "# simulator ICAO,reporting ICAO\nEDFE,ETOU\n");
    StartAtFrankfurt();
    m_generator->GenerateFSWeather(QString());

    EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB", "EDDF", "EDFE", "EDFZ"}));
    EXPECT_EQ(m_gen.log.filter(QStringLiteral("Set station without weather")),
              QStringList({"(WeatherManager) Set station without weather : EDFZ"}));
}

TEST_F(NormalModeTest, WithoutStationListOnlyReportsAndTheGlobalStation)
{
    for (int version : {9, 0}) {
        StartAtFrankfurt("EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG\nEDFE 221850Z 23006KT 9999 SCT040 13/07 Q1019\n"
                         "ETOU 221856Z 25010KT 9999 FEW045 13/06 A3009\n");
        CSettings::SetFSVersion(version);
        m_generator->GenerateFSWeather(QString());
        EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB", "EDDF", "EDFE", "ETOU"})) << version;
        EXPECT_EQ(
            m_gen.CallsStartingWith(QStringLiteral("sigUIUpdateProgress("))
                .join(' ')
                .count(QRegularExpression(QStringLiteral("\\((33|66|100),Decoding Metar [A-Z]{4}, [123] from 3\\)"))),
            3);

        // No report within the radius: the global station alone.
        PutAircraft(45.5, -29.5);
        m_generator->GenerateFSWeather(QString());
        EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB"})) << version;
    }
}

// Reports without a readable wind take the nearest readable wind: no station is sent as calm for want of a wind.
TEST_F(NormalModeTest, ReportsWithoutWindAreSentWithTheNearestWindNeverAsCalm)
{
    StartAtFrankfurt("EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG\nEDFE 221850Z AUTO 9999 SCT040 13/07 Q1019\n"
                     "ETOU 221856Z /////KT 9999 FEW045 13/06 A3009\n");
    m_generator->GenerateFSWeather(QString());
    EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB", "EDDF", "EDFE", "ETOU", "EDFZ"}));
    // The surface wind group ("23908G13KT&D217LG") of every station is Frankfurt's 240/8, with the variation.
    for (const CFSWeatherStation& record : m_gen.weather)
        EXPECT_TRUE(record.text.section(QLatin1Char(' '), 2, 2).startsWith(QStringLiteral("23908G13KT&")))
            << record.text.toStdString();
}

TEST_F(NormalModeTest, SingleIcao)
{
    StartAtFrankfurt();
    m_generator->GenerateFSWeather(QStringLiteral("ETOU"));
    EXPECT_EQ(m_gen.Icaos(), QStringList({"ETOU"}));
    EXPECT_EQ(m_gen.calls.last(), QStringLiteral("OnGenerationRunning(false)"));

    // An unknown ICAO hands nothing over; the command is back all the same.
    m_gen.Clear();
    m_generator->GenerateFSWeather(QStringLiteral("KXYZ"));
    EXPECT_EQ(m_gen.log.last(), QStringLiteral("(WeatherManager) Metar not found KXYZ"));
    EXPECT_EQ(m_gen.calls.filter(QRegularExpression(QStringLiteral("^(SetWeather|sigDisableButton)"))),
              QStringList({"sigDisableButton(0,true)", "sigDisableButton(1,true)", "sigDisableButton(0,false)",
                           "sigDisableButton(1,false)"}));
}

TEST_F(NormalModeTest, StationTheModelNeverAnswersTakesTheNearestReport)
{
    Start();
    m_generator->SetWeatherSource(WeatherDataStored);
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::GridError);
    m_generator->GenerateFSWeather(QStringLiteral("ZZOC"));

    EXPECT_EQ(m_server.Requests().size(), 6);
    EXPECT_EQ(m_gen.log.count(QStringLiteral("No weather founded for Pos: 45,-30")), 1);
    EXPECT_EQ(m_gen.Icaos(), QStringList({"ETOU"}));
}

TEST_F(NormalModeTest, AnErrorEndsTheGenerationWithItsLineAndNoHandOver)
{
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { throw std::out_of_range("index"); }, " out of range"},
        {[] { throw std::runtime_error("io"); }, " Runtime Error"},
        {[] { throw std::invalid_argument("arg"); }, " Logic Error"},
        {[] { throw std::bad_alloc(); }, " Exception"},
        {[] { throw 7; }, " Unknown Error"},
    };
    StartAtFrankfurt();
    for (const auto& [failure, kind] : cases) {
        m_gen.Clear();
        m_gen.failure = failure;
        m_generator->GenerateFSWeather(QStringLiteral("EDDF"));
        EXPECT_TRUE(m_gen.calls.contains(
            QStringLiteral("OnDebugString(Error: Weatherworker GenerateFSWeather%1,0)").arg(kind)));
        EXPECT_EQ(m_gen.calls.mid(m_gen.calls.size() - 3),
                  QStringList({"sigDisableButton(0,false)", "sigDisableButton(1,false)", "OnGenerationRunning(false)"}))
            << kind;
    }
}

// Whatever asks for weather while a generation waits for its grid is refused with a status line that says so, a
// download too: one generation, one grid request, no question asked and no theme step begun. Commands 0 and 1 are
// off from its start; at its end command 0 comes back, command 1 not, as the link was lost in the wait.
TEST_F(NormalModeTest, NothingThatAsksForWeatherStartsInsideARunningGeneration)
{
    Start(kAirports, kMetars, QString());
    PutAircraft(50.026706, 8.558350);
    m_generator->EnableSimTimer(false);
    m_generator->SetWeatherSource(WeatherDataLive);
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::Stall);
    // The stalled server sends nothing: a second of the clock without bytes gives its request up, once the requests
    // in the wait were made.
    platform::ScopedClock clock(platform::NowSeconds());
    m_gen.downloader.SetStallLimit(1000, 64);
    RecordingPrompter prompter;
    ScopedPrompter usePrompter(prompter);
    bool acted = false;
    const QMetaObject::Connection inTheWait = QObject::connect(&m_server, &tools::WxServer::RequestServed, [&] {
        QTimer::singleShot(0, [&] {
            if (std::exchange(acted, true))
                return;
            m_generator->GenerateFSWeather(QString());
            m_generator->GenerateFSWeather(QStringLiteral("EDDF"));
            m_generator->GenerateFSWeatherAutoMode();
            m_generator->GenerateXPlaneWeather();
            m_generator->GenerateXPLaneWind();
            m_generator->GenerateFSWeatherModelFile();
            EXPECT_FALSE(m_generator->DownloadWeather());
            m_gen.connected = false;
            clock.AdvanceMs(1000);
        });
    });
    m_generator->GenerateFSWeather(QString());
    QObject::disconnect(inTheWait);

    EXPECT_EQ(m_server.Requests().size(), 1) << m_server.Requests().join('\n').toStdString();
    EXPECT_EQ(m_gen.statuses.count(QStringLiteral("Weather generation under way")), 7);
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_TRUE(m_gen.statuses.filter(QStringLiteral("Write weather theme")).isEmpty());
    EXPECT_TRUE(m_generator->DownloadFailureText(0).isEmpty());
    EXPECT_TRUE(m_gen.CallsStartingWith(QStringLiteral("SendWindToXP")).isEmpty());
    EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB", "EDDF", "ETOU", "EDFE", "EDFZ"}));
    EXPECT_EQ(m_gen.CallsStartingWith(QStringLiteral("SetWeather")).size(), 1);
    EXPECT_EQ(m_gen.CallsStartingWith(QStringLiteral("sigDisableButton")),
              QStringList({"sigDisableButton(0,true)", "sigDisableButton(1,true)", "sigDisableButton(0,false)"}));
    EXPECT_EQ(m_gen.CallsStartingWith(QStringLiteral("OnGenerationRunning")),
              QStringList({"OnGenerationRunning(true)", "OnGenerationRunning(false)"}));
}

} // namespace
