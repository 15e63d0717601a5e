#include "weather/level.h"
#include "weather/position.h"

#include <gtest/gtest.h>

#include <limits>

using aviation::weather::CLevel;
using aviation::weather::CWind;

namespace {

CLevel MakeLevel(int altitude, double direction, double speed, double temperature, double dewPoint, float pressure)
{
    return CLevel(altitude, CWind(direction, speed), temperature, dewPoint, pressure, 50.0);
}

} // namespace

TEST(Wind, DirectionDifferenceWrapsThroughNorthAndFormatsWithOrWithoutGust)
{
    EXPECT_EQ(aviation::DirectionDifference(350, 10).direction, -20.0);
    EXPECT_EQ(aviation::DirectionDifference(10, 350).direction, 20.0);
    EXPECT_EQ(aviation::DirectionDifference(270, 90).direction, 180.0);
    EXPECT_EQ(aviation::DirectionDifference(90, 271).direction, 179.0);

    EXPECT_EQ(CWind(270, 15).Format(L"%03.0f%02.0fKT"), L"27015KT");
    EXPECT_EQ(CWind(270, 15, -1).Format(L"%03.0f%02.0fKT"), L"27015KT");
    EXPECT_EQ(CWind(90, 22, 35).Format(L"%03.0f%02.0fG%02.0fKT"), L"09022G35KT");
    EXPECT_EQ(CWind(1e30, 1e30).Format(L"%f %f"), L"") << "too long for the 40-character buffer";
    // A wind normalised from a full turn backwards is north, not "-00".
    EXPECT_EQ(CWind(aviation::NormalizeAngle(-360.0), 5).Format(L"%03.0f%02.0fKT"), L"00005KT");
}

TEST(Level, ComputesHumidityOnlyFromKnownValuesAndHasDataIgnoresSpeedAndGust)
{
    EXPECT_NEAR(CLevel(0, CWind(), 20, 10, 1013, -1).GetHumidity(), 52.5, 0.05);
    EXPECT_NEAR(CLevel(0, CWind(), -10, -15, 500, -1).GetHumidity(), 66.7, 0.05);
    EXPECT_EQ(CLevel(0, CWind(), 99, 10, 1013, -1).GetHumidity(), -1.0);
    EXPECT_EQ(CLevel(0, CWind(), 20, 99, 1013, -1).GetHumidity(), -1.0);
    EXPECT_EQ(CLevel(0, CWind(), 20, 10, -1, -1).GetHumidity(), -1.0);
    EXPECT_EQ(CLevel(0, CWind(), 20, 10, 1013, 80).GetHumidity(), 80.0);

    CLevel level;
    level.speed = 25;
    level.gust = 30;
    EXPECT_FALSE(level.HasData());
    level.SetAltitude(3000);
    EXPECT_TRUE(level.HasData());
    EXPECT_TRUE(MakeLevel(-99, 270, -1, -99, -99, -1).HasData());
}

TEST(Level, InterpolatesThroughNorthCopiesWithinTwentyFeetAndHoldsTheLowerLevelFarBelow)
{
    CLevel low = MakeLevel(1000, 350, 10, 15, 5, 980);
    low.gust = 25;
    const CLevel high = MakeLevel(3000, 10, 30, 5, -5, 920);
    const struct
    {
        int altitude, expectedAltitude;
        double direction, speed, gust, temperature;
    } cases[] = {
        {2000, 2000, 0, 20, -1, 10}, // halfway, through north
        {1019, 1000, 350, 10, 25, 15}, // within 20 ft of a level: a copy
        {981, 1000, 350, 10, 25, 15},  {2981, 3000, 10, 30, 0, 5}, {1020, 1020, 350.2, 10.2, -1, 14.9},
        {0, 1000, 350, 10, -1, 15}, // the ground and more than 500 ft below take the lower level
        {400, 1000, 350, 10, -1, 15},  {600, 600, 346, 6, -1, 17}, // within 500 ft below: extrapolated
        {5000, 5000, 30, 50, -1, -5}, // above the upper level too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.altitude);
        CLevel level;
        level.Interpolate(low, high, c.altitude);
        EXPECT_EQ(level.GetAltitude(), c.expectedAltitude);
        EXPECT_NEAR(level.direction, c.direction, 1e-9);
        EXPECT_NEAR(level.speed, c.speed, 1e-9);
        EXPECT_EQ(level.gust, c.gust);
        EXPECT_NEAR(level.GetTemperature(), c.temperature, 1e-9);
    }

    CLevel level;
    level.Interpolate(low, high, 2000);
    EXPECT_DOUBLE_EQ(level.GetDewPoint(), 0.0);
    EXPECT_FLOAT_EQ(level.GetPressure(), 950.0f);
    // Either argument may be the level itself.
    low.Interpolate(low, high, 2000);
    EXPECT_DOUBLE_EQ(low.direction, 0.0);
    EXPECT_DOUBLE_EQ(low.GetTemperature(), 10.0);
}

TEST(Level, LevelsAtOneAltitudeGiveTheFirstAndAbsurdAltitudesDoNotOverflow)
{
    const int lowest = std::numeric_limits<int>::min();
    const int highest = std::numeric_limits<int>::max();
    const CLevel first = MakeLevel(2000, 240, 12, 15, 5, 980);
    const CLevel second = MakeLevel(2000, 260, 30, 5, -5, 920);
    const CLevel bottom = MakeLevel(lowest, 240, 12, 15, 5, 980);
    const CLevel top = MakeLevel(highest, 260, 30, 5, -5, 920);
    const struct
    {
        const CLevel &level1, &level2;
        int altitude, expectedAltitude;
        double speed, temperature;
    } cases[] = {{first, second, 5000, 5000, 12, 15}, // no gradient between them: the first
                 {bottom, top, highest, highest, 30, 5},
                 {top, bottom, lowest + 10, lowest, 12, 15},
                 {bottom, top, 0, lowest, 12, 15},
                 {top, bottom, 5000, highest, 30, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.altitude);
        CLevel level;
        level.Interpolate(c.level1, c.level2, c.altitude);
        EXPECT_EQ(level.GetAltitude(), c.expectedAltitude);
        EXPECT_NEAR(level.speed, c.speed, 1e-6);
        EXPECT_NEAR(level.GetTemperature(), c.temperature, 1e-6);
    }
}
