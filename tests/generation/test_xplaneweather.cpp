#include "generationtest.h"

#include <stdexcept>

using aviation::Position;

namespace {

const Position kWiesbaden(50.049801, 8.325400); // ETOU, 461 ft
constexpr float kFeetPerMetre = 3.2808f;

class XPlaneWeatherTest : public GenerationTest
{
protected:
    void SetUp() override
    {
        GenerationTest::SetUp();
        CSettings::SetFSVersion(10);
    }
};

TEST_F(XPlaneWeatherTest, WeatherAtTheAircraftGoesAsOneXPlaneRecord)
{
    Start();
    PutAircraft(kWiesbaden.GetLatitude(), kWiesbaden.GetLongitude());
    m_generator->GenerateXPlaneWeather();

    ASSERT_EQ(m_gen.weather.size(), 1u);
    const CFSWeatherStation& record = m_gen.weather[0];
    EXPECT_TRUE(record.text.isEmpty());
    EXPECT_EQ(record.block.Icao[0], '\0');
    EXPECT_EQ(record.seconds, 0);
    // ETOU's A3009 and 25010KT.
    EXPECT_FLOAT_EQ(record.xplane.Press, 30.09f);
    EXPECT_FLOAT_EQ(record.xplane.WindLayer[0].Dir, 250.0f);
    EXPECT_EQ(m_gen.calls.last(), QStringLiteral("sigDisableButton(1,false)"));
}

TEST_F(XPlaneWeatherTest, WindTakesANearReportAsItIsAndInterpolatesFartherOut)
{
    struct Case
    {
        double distanceNm;
        bool wiesbadensReport; // the surface wind is at Wiesbaden's elevation
    };
    for (const Case& c : {Case{19.0, true}, Case{21.0, false}}) {
        Start(kAirports, "ETOU 221856Z 25010KT 9999 FEW045 13/06 A3009 RMK AO2\n");
        const Position aircraft = Position::GetDestination(kWiesbaden, 180.0, c.distanceNm);
        PutAircraft(aircraft.GetLatitude(), aircraft.GetLongitude(), 8000);
        m_generator->GenerateXPLaneWind();
        EXPECT_EQ(m_gen.calls.filter(QStringLiteral("SendWindToXP")).size(), 1) << c.distanceNm;
        EXPECT_EQ(m_gen.wind.WindLayer[0].Alt == 461 / kFeetPerMetre, c.wiesbadensReport) << c.distanceNm;
        EXPECT_GT(m_gen.wind.WindLayer[1].Speed, 0.0f) << c.distanceNm;
    }
}

TEST_F(XPlaneWeatherTest, ErrorsEndTheGenerationWithTheirLine)
{
    // No grid record near: the wind record has no levels to take.
    Start(kAirports, kMetars, QString());
    PutAircraft(kWiesbaden.GetLatitude(), kWiesbaden.GetLongitude());
    m_generator->GenerateXPLaneWind();
    EXPECT_EQ(m_gen.calls.last(),
              QStringLiteral("OnDebugString(Error: Weatherworker GenerateXPLaneWind out of range,0)"));
    EXPECT_TRUE(m_gen.CallsStartingWith(QStringLiteral("SendWindToXP")).isEmpty());

    // Errors of the other kinds end it the same way instead of escaping.
    struct Case
    {
        std::function<void()> failure;
        const char* line;
    };
    const Case cases[] = {
        {[] { throw std::runtime_error("io"); }, "Error: Weatherworker GenerateXPlaneWeather Runtime Error"},
        {[] { throw std::domain_error("x"); }, "Error: Weatherworker GenerateXPlaneWeather Logic Error"},
        {[] { throw std::bad_alloc(); }, "Error: Weatherworker GenerateXPlaneWeather Exception"},
        {[] { throw 1; }, "Error: Weatherworker GenerateXPlaneWeather Unknown Error"},
    };
    for (const Case& c : cases) {
        m_gen.Clear();
        m_gen.failure = c.failure;
        m_generator->GenerateXPlaneWeather();
        EXPECT_EQ(m_gen.calls.last(), QStringLiteral("OnDebugString(%1,0)").arg(QLatin1String(c.line)));
    }
}

} // namespace
