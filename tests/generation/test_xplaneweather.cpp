#include "generationtest.h"

#include <stdexcept>

using aviation::Position;

namespace {

const Position kWiesbaden(50.049801, 8.325400); // ETOU, 461 ft

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
    m_gen.connected = true;
    m_generator->GenerateXPlaneWeather();

    ASSERT_EQ(m_gen.weather.size(), 1u);
    const CFSWeatherStation& record = m_gen.weather[0];
    EXPECT_TRUE(record.text.isEmpty());
    EXPECT_EQ(record.block.Icao[0], '\0');
    // ETOU's A3009 and 25010KT.
    EXPECT_FLOAT_EQ(record.xplane.Press, 30.09f);
    EXPECT_FLOAT_EQ(record.xplane.WindLayer[0].Dir, 250.0f);
    EXPECT_EQ(m_gen.calls.last(), QStringLiteral("OnGenerationRunning(false)"));
}

TEST_F(XPlaneWeatherTest, WindTakesAReportWithin20NmAsItIsAndInterpolatesFartherOut)
{
    for (const auto& [distanceNm, wiesbadensReport] : {std::pair{19.0, true}, std::pair{21.0, false}}) {
        Start(kAirports, "ETOU 221856Z 25010KT 9999 FEW045 13/06 A3009 RMK AO2\n");
        const Position aircraft = Position::GetDestination(kWiesbaden, 180.0, distanceNm);
        PutAircraft(aircraft.GetLatitude(), aircraft.GetLongitude(), 8000);
        m_generator->GenerateXPLaneWind();
        EXPECT_EQ(m_gen.calls.filter(QStringLiteral("SendWindToXP")).size(), 1) << distanceNm;
        // The surface layer lies at the elevation of the report's station.
        EXPECT_EQ(m_gen.wind.WindLayer[0].Alt == 461 / 3.2808f, wiesbadensReport) << distanceNm;
    }
}

TEST_F(XPlaneWeatherTest, ErrorsEndTheGenerationWithTheirLine)
{
    // No grid record near: the wind record has no levels to take.
    Start(kAirports, kMetars, QString());
    PutAircraft(kWiesbaden.GetLatitude(), kWiesbaden.GetLongitude());
    m_generator->GenerateXPLaneWind();
    EXPECT_TRUE(
        m_gen.calls.contains(QStringLiteral("OnDebugString(Error: Weatherworker GenerateXPLaneWind out of range,0)")));
    EXPECT_TRUE(m_gen.CallsStartingWith(QStringLiteral("SendWindToXP")).isEmpty());

    // Errors of the other kinds end it the same way instead of escaping.
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { throw std::runtime_error("io"); }, " Runtime Error"},
        {[] { throw std::domain_error("x"); }, " Logic Error"},
        {[] { throw std::bad_alloc(); }, " Exception"},
        {[] { throw 1; }, " Unknown Error"},
    };
    for (const auto& [failure, kind] : cases) {
        m_gen.Clear();
        m_gen.failure = failure;
        m_generator->GenerateXPlaneWeather();
        EXPECT_TRUE(m_gen.calls.contains(
            QStringLiteral("OnDebugString(Error: Weatherworker GenerateXPlaneWeather%1,0)").arg(kind)))
            << kind;
    }
}

} // namespace
