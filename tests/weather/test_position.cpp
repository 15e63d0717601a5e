#include "weather/position.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <limits>
#include <thread>

using aviation::Position;

TEST(PositionMath, CourseToTheFourQuartersAndEqualPoints)
{
    const Position origin(0.0, 0.0);
    EXPECT_NEAR(aviation::CalcCourse(origin, Position(0, 1)), 90.0, 1e-9);
    EXPECT_NEAR(aviation::CalcCourse(origin, Position(1, 0)), 0.0, 1e-9);
    EXPECT_NEAR(aviation::CalcCourse(origin, Position(0, -1)), 270.0, 1e-9);
    EXPECT_NEAR(aviation::CalcCourse(origin, Position(-1, 0)), 180.0, 1e-9);
    EXPECT_EQ(Position::GetCourse(Position(50.03, 8.57), Position(50.03, 8.57)), 0.0);

    const Position pole(90.0, 0.0);
    EXPECT_NEAR(Position::GetCourse(pole, origin), 180.0, 1e-9);
    EXPECT_NEAR(Position::GetCourse(pole, Position(0, 90)), 90.0, 1e-9);
}

TEST(PositionMath, DistanceOfOneDegreeAntipodeAndPole)
{
    EXPECT_NEAR(aviation::CalcDistance(Position(0, 0), Position(0, 1)), 60.108, 0.001);
    EXPECT_NEAR(aviation::CalcDistance(0, 0, 0, 180), 10819.39, 0.01);
    EXPECT_NEAR(Position::GetDistance(Position(90, 0), Position(0, 0)), 5409.69, 0.01);
    EXPECT_NEAR(Position::GetDistance(Position(90, 0), Position(0, -123.4)), 5409.69, 0.01);
    EXPECT_EQ(aviation::CalcDistance(47.26, 11.34, 47.26, 11.34), 0.0);
}

TEST(PositionMath, RoundingOfTheCosineNeverGivesNaN)
{
    // For this pair the law of cosines rounds to just below -1 (antipode) and just above 1 (a hair apart).
    const Position a(-36.4435, -167.405);
    const Position antipode(36.4435, -167.405 + 180.0);
    const double far = aviation::CalcDistance(a, antipode);
    EXPECT_FALSE(std::isnan(far));
    EXPECT_NEAR(far, 10819.39, 0.01);

    const double near = aviation::CalcDistance(a, Position(-36.4435, -167.405 + 1e-9));
    EXPECT_FALSE(std::isnan(near));
    EXPECT_LT(near, 0.001);
}

TEST(PositionMath, DestinationCountsSixtyMilesPerDegree)
{
    const Position east = Position::GetDestination(Position(0, 0), 90.0, 60.0);
    EXPECT_NEAR(east.GetLatitude(), 0.0, 1e-9);
    EXPECT_NEAR(east.GetLongitude(), 1.0, 1e-9);
    const Position north = Position::GetDestination(Position(0, 0), 0.0, 60.0);
    EXPECT_NEAR(north.GetLatitude(), 1.0, 1e-9);
    EXPECT_NEAR(north.GetLongitude(), 0.0, 1e-9);

    // Crossing the antimeridian westward leaves the longitude below -180; eastward it wraps.
    EXPECT_NEAR(Position::GetDestination(Position(0, -179.5), 270.0, 60.0).GetLongitude(), -180.5, 1e-9);
    EXPECT_NEAR(Position::GetDestination(Position(0, 179.5), 90.0, 60.0).GetLongitude(), -179.5, 1e-9);

    // The longitude change takes the destination latitude in degrees, converted back to radians.
    EXPECT_DOUBLE_EQ(Position::GetDestination(Position(-80.0, 8.5), 73.0, 350.0).GetLongitude(), 34.193535753488689);

    Position aircraft(50.0, 8.0);
    aircraft.Move(180.0, 120.0);
    EXPECT_NEAR(aircraft.GetLatitude(), 48.0, 1e-9);
    EXPECT_NEAR(aircraft.GetLongitude(), 8.0, 1e-9);
}

TEST(PositionMath, DestinationExactlyAtAPoleIsThePole)
{
    // Here the sine of the destination latitude rounds to just beyond 1 (or -1).
    EXPECT_EQ(Position::GetDestination(Position(87.5, 10.0), 0.0, 150.0).GetLatitude(), 90.0);
    EXPECT_EQ(Position::GetDestination(Position(2.5, 10.0), 0.0, 5250.0).GetLatitude(), 90.0);
    EXPECT_EQ(Position::GetDestination(Position(-87.5, 10.0), 180.0, 150.0).GetLatitude(), -90.0);
    EXPECT_FALSE(std::isnan(Position::GetDestination(Position(-12.0, 10.0), 180.0, 4680.0).GetLongitude()));
}

TEST(PositionMath, InterpolatesByDistanceFromBothEnds)
{
    const Position frankfurt(50.03, 8.57);
    const Position munich(48.35, 11.78);
    const Position middle(49.19, 10.175);
    EXPECT_DOUBLE_EQ(aviation::InterpolateByDistance(10.0, frankfurt, 20.0, munich, frankfurt), 10.0);
    EXPECT_DOUBLE_EQ(aviation::InterpolateByDistance(10.0, frankfurt, 20.0, munich, munich), 20.0);
    EXPECT_NEAR(aviation::InterpolateByDistance(1013.0, Position(0, 0), 1003.0, Position(0, 2), Position(0, 1)), 1008.0,
                1e-9);
    const double between = aviation::InterpolateByDistance(10.0, frankfurt, 20.0, munich, middle);
    EXPECT_GT(between, 14.0);
    EXPECT_LT(between, 16.0);

    // All three positions the same: no distances to weigh, the first value stands.
    EXPECT_EQ(aviation::InterpolateByDistance(7.0, frankfurt, 9.0, frankfurt, frankfurt), 7.0);
}

TEST(PositionMath, NormalizesAnglesIntoOneTurn)
{
    EXPECT_EQ(aviation::NormalizeAngle(-90.0), 270.0);
    EXPECT_EQ(aviation::NormalizeAngle(720.0), 0.0);
    EXPECT_EQ(aviation::NormalizeAngle(360.0), 0.0);
    EXPECT_EQ(aviation::NormalizeAngle(359.5), 359.5);
    EXPECT_EQ(aviation::NormalizeAngle(-400.0), 320.0);
    EXPECT_EQ(aviation::NormalizeAngle(-1e-20), 0.0);
    EXPECT_NEAR(aviation::NormalizeAngle(1000.1), 280.1, 1e-9);

    // A full turn backwards and a course due north are +0, which prints as "000", not "-00".
    EXPECT_FALSE(std::signbit(aviation::NormalizeAngle(-360.0)));
    EXPECT_FALSE(std::signbit(aviation::NormalizeAngle(-720.0)));
    EXPECT_FALSE(std::signbit(aviation::NormalizeAngle(-0.0)));
    EXPECT_FALSE(std::signbit(aviation::CalcCourse(Position(0, 0), Position(1, 0))));
    char course[8];
    std::snprintf(course, sizeof course, "%03.0f", aviation::CalcCourse(Position(47.0, 11.0), Position(48.0, 11.0)));
    EXPECT_STREQ(course, "000");
}

TEST(PositionMath, NormalizingInfiniteOrHugeAnglesReturnsAtOnce)
{
    // Runs on its own thread so that a looping normalisation fails the test instead of hanging it.
    auto normalize = [](double x) {
        std::packaged_task<double()> task([x] { return aviation::NormalizeAngle(x); });
        std::future<double> result = task.get_future();
        std::thread(std::move(task)).detach();
        if (result.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
            ADD_FAILURE() << "NormalizeAngle(" << x << ") did not return within 100 ms";
            std::quick_exit(1);
        }
        return result.get();
    };
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(normalize(inf)));
    EXPECT_TRUE(std::isnan(normalize(-inf)));
    EXPECT_TRUE(std::isnan(normalize(std::numeric_limits<double>::quiet_NaN())));
    const double huge = normalize(1e300);
    EXPECT_GE(huge, 0.0);
    EXPECT_LT(huge, 360.0);
    const double hugeNegative = normalize(-1e300);
    EXPECT_GE(hugeNegative, 0.0);
    EXPECT_LT(hugeNegative, 360.0);
}

TEST(PositionMath, SplitsDegreesIntoDegreesMinutesSeconds)
{
    int d = 0, m = 0, s = 0;
    aviation::DegToDMS(47.2625, d, m, s);
    EXPECT_EQ(d, 47);
    EXPECT_EQ(m, 15);
    EXPECT_EQ(s, 45);
    aviation::DegToDMS(-10.5, d, m, s);
    EXPECT_EQ(d, -10);
    EXPECT_EQ(m, -30);
    EXPECT_EQ(s, 0);

    // Values with no place in an int give nothing rather than an undefined conversion.
    for (double absurd :
         {1e300, -1e300, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        aviation::DegToDMS(absurd, d, m, s);
        EXPECT_EQ(d, 0);
        EXPECT_EQ(m, 0);
        EXPECT_EQ(s, 0);
    }
}

TEST(PositionValue, ComparesExactlyAndCopiesThePositionPart)
{
    EXPECT_TRUE(Position(50.03, 8.57) == Position(50.03, 8.57));
    EXPECT_FALSE(Position(50.03, 8.57) == Position(50.03, 8.570000001));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(Position(nan, 0) == Position(nan, 0));

    Position p;
    EXPECT_EQ(p.GetLatitude(), 0.0);
    EXPECT_EQ(p.GetLongitude(), 0.0);
    p.SetLatitude(-33.95);
    p.SetLongitude(151.18);
    EXPECT_TRUE(p.GetPosition() == Position(-33.95, 151.18));
    EXPECT_NEAR(aviation::RadToDeg(aviation::DegToRad(123.4)), 123.4, 1e-12);
}
