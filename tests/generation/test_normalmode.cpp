#include "generationtest.h"

#include <QRegularExpression>

#include <stdexcept>

namespace {

const aviation::Position kFrankfurt(50.026706, 8.558350);

class NormalModeTest : public GenerationTest
{
protected:
    void SetUp() override
    {
        GenerationTest::SetUp();
        CSettings::SetWeatherRadius(30);
        CSettings::SetFSVersion(3);
    }
};

TEST_F(NormalModeTest, AreaModeSendsGlobalStationReportsAndStationsWithoutReports)
{
    Start();
    PutAircraft(kFrankfurt.GetLatitude(), kFrankfurt.GetLongitude());
    m_generator->GenerateFSWeather(QString());

    EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB", "EDDF", "ETOU", "EDFE", "EDFZ"}));
    for (const CFSWeatherStation& record : m_gen.weather) {
        EXPECT_TRUE(record.text.endsWith(QStringLiteral(" @@@ "))) << record.text.toStdString();
        EXPECT_EQ(record.seconds, 0);
    }
    EXPECT_EQ(m_gen.calls.mid(m_gen.calls.size() - 2), QStringList({"SetWeather(5)", "sigDisableButton(1,false)"}));
    EXPECT_TRUE(m_gen.log.contains(QStringLiteral("(WeatherManager) Stations without Weather founded: 4")));
}

TEST_F(NormalModeTest, StationWithSubstituteSendsTheSubstitutesReportUnderItsOwnIcao)
{
    WriteFile(ProgramFile(QStringLiteral("icaos.txt")), "# simulator ICAO,reporting ICAO\nEDFE,ETOU\n");
    Start();
    PutAircraft(kFrankfurt.GetLatitude(), kFrankfurt.GetLongitude());
    m_generator->GenerateFSWeather(QString());

    EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB", "EDDF", "EDFE", "EDFZ"}));
    EXPECT_FALSE(m_gen.log.contains(QStringLiteral("(WeatherManager) Set station without weather : ETOU")));
    EXPECT_TRUE(m_gen.log.contains(QStringLiteral("(WeatherManager) Set station without weather : EDFZ")));
}

TEST_F(NormalModeTest, DecodingProgressWithoutSimulatorStationList)
{
    Start(kAirports,
          "EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG\nETOU 221856Z 25010KT 9999 FEW045 13/06 A3009\n"
          "EDFE 221850Z 23006KT 9999 SCT040 13/07 Q1019\n");
    PutAircraft(kFrankfurt.GetLatitude(), kFrankfurt.GetLongitude());
    CSettings::SetFSVersion(9);
    m_generator->GenerateFSWeather(QString());

    EXPECT_EQ(m_gen.CallsStartingWith(QStringLiteral("sigUIUpdateProgress(")),
              QStringList({"sigUIUpdateProgress(33,Decoding Metar EDDF, 1 from 3)",
                           "sigUIUpdateProgress(66,Decoding Metar ETOU, 2 from 3)",
                           "sigUIUpdateProgress(100,Decoding Metar EDFE, 3 from 3)"}));
    EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB", "EDDF", "ETOU", "EDFE"}));
}

TEST_F(NormalModeTest, NoReportInRadiusWithoutStationListSendsOnlyTheGlobalStation)
{
    for (int version : {9, 0}) {
        Start();
        PutAircraft(45.5, -29.5);
        CSettings::SetFSVersion(version);
        m_generator->GenerateFSWeather(QString());
        EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB"})) << version;
    }
}

TEST_F(NormalModeTest, SingleIcao)
{
    Start();
    PutAircraft(kFrankfurt.GetLatitude(), kFrankfurt.GetLongitude());
    m_generator->GenerateFSWeather(QStringLiteral("ETOU"));
    EXPECT_EQ(m_gen.Icaos(), QStringList({"ETOU"}));
    EXPECT_EQ(m_gen.calls.last(), QStringLiteral("sigDisableButton(1,false)"));

    m_gen.Clear();
    m_generator->GenerateFSWeather(QStringLiteral("KXYZ"));
    EXPECT_EQ(m_gen.log.last(), QStringLiteral("(WeatherManager) Metar not found KXYZ"));
    EXPECT_TRUE(m_gen.calls.filter(QRegularExpression(QStringLiteral("^(SetWeather|sigDisableButton)"))).isEmpty());
}

TEST_F(NormalModeTest, StationTheModelNeverAnswersTakesTheNearestReport)
{
    Start();
    m_generator->SetWeatherSource(WeatherDataStored);
    m_server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::GridError);
    m_generator->GenerateFSWeather(QStringLiteral("ZZOC"));

    EXPECT_EQ(m_server.Requests().size(), 6);
    EXPECT_EQ(m_gen.log.count(QStringLiteral("No weather founded for Pos: 45,-30")), 1);
    // The nearest report goes under its own ICAO and position.
    EXPECT_EQ(m_gen.Icaos(), QStringList({"ETOU"}));
}

TEST_F(NormalModeTest, AnErrorEndsTheGenerationWithItsLineAndNoHandOver)
{
    struct Case
    {
        std::function<void()> failure;
        const char* line;
    };
    const Case cases[] = {
        {[] { throw std::out_of_range("index"); }, "Error: Weatherworker GenerateFSWeather out of range"},
        {[] { throw std::runtime_error("io"); }, "Error: Weatherworker GenerateFSWeather Runtime Error"},
        {[] { throw std::invalid_argument("arg"); }, "Error: Weatherworker GenerateFSWeather Logic Error"},
        {[] { throw std::bad_alloc(); }, "Error: Weatherworker GenerateFSWeather Exception"},
        {[] { throw 7; }, "Error: Weatherworker GenerateFSWeather Unknown Error"},
    };
    Start();
    PutAircraft(kFrankfurt.GetLatitude(), kFrankfurt.GetLongitude());
    for (const Case& c : cases) {
        m_gen.Clear();
        m_gen.failure = c.failure;
        m_generator->GenerateFSWeather(QStringLiteral("EDDF"));
        EXPECT_EQ(m_gen.calls.last(), QStringLiteral("OnDebugString(%1,0)").arg(QLatin1String(c.line)));
        EXPECT_TRUE(m_gen.CallsStartingWith(QStringLiteral("sigDisableButton")).isEmpty()) << c.line;
    }
}

} // namespace
