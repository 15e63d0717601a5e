#include "weather/position.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <future>
#include <limits>
#include <string>
#include <thread>
#include <utility>

using aviation::Position;

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Where(const Position& a, const Position& b)
{
    return std::to_string(a.GetLatitude()) + "," + std::to_string(a.GetLongitude()) + " -> "
        + std::to_string(b.GetLatitude()) + "," + std::to_string(b.GetLongitude());
}

// From one position to another, with the expected course or distance.
struct Leg
{
    Position from, to;
    double expected, tolerance;
};

} // namespace

TEST(PositionMath, CourseToTheFourQuartersFromAPoleAndToItself)
{
    const Leg legs[] = {{{0, 0}, {0, 1}, 90, 1e-9},          {{0, 0}, {1, 0}, 0, 1e-9},    {{0, 0}, {0, -1}, 270, 1e-9},
                        {{0, 0}, {-1, 0}, 180, 1e-9},        {{90, 0}, {0, 0}, 180, 1e-9}, {{90, 0}, {0, 90}, 90, 1e-9},
                        {{50.03, 8.57}, {50.03, 8.57}, 0, 0}};
    for (const Leg& leg : legs)
        EXPECT_NEAR(Position::GetCourse(leg.from, leg.to), leg.expected, leg.tolerance) << Where(leg.from, leg.to);
    // Due north is +0, which prints as "000", not "-00".
    EXPECT_FALSE(std::signbit(aviation::CalcCourse(Position(47.0, 11.0), Position(48.0, 11.0))));
}

TEST(PositionMath, DistanceOfOneDegreeAntipodePoleAndRoundedCosine)
{
    // The last two pairs make the law of cosines round just below -1 (antipode) and just above 1 (a hair
    // apart); a NaN fails every comparison below.
    const Leg legs[] = {{{0, 0}, {0, 1}, 60.108, 0.001},
                        {{0, 0}, {0, 180}, 10819.39, 0.01},
                        {{90, 0}, {0, 0}, 5409.69, 0.01},
                        {{90, 0}, {0, -123.4}, 5409.69, 0.01},
                        {{47.26, 11.34}, {47.26, 11.34}, 0.0, 0.0},
                        {{-36.4435, -167.405}, {36.4435, -167.405 + 180.0}, 10819.39, 0.01},
                        {{-36.4435, -167.405}, {-36.4435, -167.405 + 1e-9}, 0.0, 0.001}};
    for (const Leg& leg : legs)
        EXPECT_NEAR(aviation::CalcDistance(leg.from, leg.to), leg.expected, leg.tolerance) << Where(leg.from, leg.to);
}

TEST(PositionMath, DestinationCountsSixtyMilesPerDegreeAndStopsAtThePoles)
{
    const struct
    {
        Position from;
        double course, nm, latitude, longitude;
    } cases[] = {
        {{0, 0}, 90, 60, 0, 1},
        {{0, 0}, 0, 60, 1, 0},
        // Westward across the antimeridian the longitude stays below -180; eastward it wraps.
        {{0, -179.5}, 270, 60, 0, -180.5},
        {{0, 179.5}, 90, 60, 0, -179.5},
        // The longitude change takes the destination latitude in degrees, converted back to radians.
        {{-80.0, 8.5}, 73, 350, -77.0454437, 34.193535753488689},
        // The sine of the destination latitude rounds to just beyond +-1 here; any longitude but NaN will do.
        {{87.5, 10}, 0, 150, 90, kNaN},
        {{2.5, 10}, 0, 5250, 90, kNaN},
        {{-87.5, 10}, 180, 150, -90, kNaN},
        {{-12.0, 10}, 180, 4680, -90, kNaN},
    };
    for (const auto& c : cases) {
        const Position to = Position::GetDestination(c.from, c.course, c.nm);
        SCOPED_TRACE(Where(c.from, to));
        EXPECT_NEAR(to.GetLatitude(), c.latitude, 1e-6);
        if (std::isnan(c.longitude))
            EXPECT_FALSE(std::isnan(to.GetLongitude()));
        else
            EXPECT_NEAR(to.GetLongitude(), c.longitude, 1e-9);
    }
}

TEST(PositionMath, InterpolatesByDistanceFromBothEnds)
{
    const Position frankfurt(50.03, 8.57);
    const Position munich(48.35, 11.78);
    EXPECT_DOUBLE_EQ(aviation::InterpolateByDistance(10.0, frankfurt, 20.0, munich, frankfurt), 10.0);
    EXPECT_DOUBLE_EQ(aviation::InterpolateByDistance(10.0, frankfurt, 20.0, munich, munich), 20.0);
    EXPECT_NEAR(aviation::InterpolateByDistance(1013.0, Position(0, 0), 1003.0, Position(0, 2), Position(0, 1)), 1008.0,
                1e-9);
    // All three positions the same: no distances to weigh, the first value stands.
    EXPECT_EQ(aviation::InterpolateByDistance(7.0, frankfurt, 9.0, frankfurt, frankfurt), 7.0);
}

TEST(PositionMath, NormalizesAnglesIntoOneTurnAsPlusZeroForNorth)
{
    const std::pair<double, double> cases[] = {{-90, 270},  {720, 0},  {360, 0},  {359.5, 359.5}, {-400, 320},
                                               {-1e-20, 0}, {-360, 0}, {-720, 0}, {-0.0, 0},      {1000.1, 280.1}};
    for (const auto& c : cases) {
        const double angle = aviation::NormalizeAngle(c.first);
        EXPECT_NEAR(angle, c.second, 1e-9) << c.first;
        // A full turn backwards is +0, which prints as "000", not "-00".
        EXPECT_FALSE(std::signbit(angle)) << c.first;
    }
}

TEST(PositionMath, NormalizingInfiniteOrHugeAnglesReturnsAtOnce)
{
    // Runs on its own thread so that a looping normalisation fails the test instead of hanging it; the looping
    // thread is left to spin until the test binary ends.
    auto normalize = [](double x) {
        std::packaged_task<double()> task([x] { return aviation::NormalizeAngle(x); });
        std::future<double> result = task.get_future();
        std::thread(std::move(task)).detach();
        if (result.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            ADD_FAILURE() << "NormalizeAngle(" << x << ") did not return within a minute";
            return kNaN;
        }
        return result.get();
    };
    for (double x : {kInf, -kInf, kNaN})
        EXPECT_TRUE(std::isnan(normalize(x))) << x;
    for (double x : {1e300, -1e300}) {
        const double angle = normalize(x);
        EXPECT_TRUE(angle >= 0.0 && angle < 360.0) << x << " gave " << angle;
    }
}

TEST(PositionMath, SplitsDegreesIntoDegreesMinutesSecondsAndAbsurdValuesIntoZeros)
{
    // Values with no place in an int give zeros rather than an undefined conversion. A hair under a whole degree
    // rounds up into the degrees, not only into the minutes.
    const std::pair<double, std::array<int, 3>> cases[]
        = {{47.2625, {47, 15, 45}},   {-10.5, {-10, -30, 0}}, {-122.309444, {-122, -18, -34}},
           {47.4499999, {47, 27, 0}}, {1e300, {0, 0, 0}},     {-1e300, {0, 0, 0}},
           {kNaN, {0, 0, 0}},         {kInf, {0, 0, 0}},      {47.9999999, {48, 0, 0}},
           {-47.9999999, {-48, 0, 0}}};
    for (const auto& c : cases) {
        std::array<int, 3> dms{-1, -1, -1};
        aviation::DegToDMS(c.first, dms[0], dms[1], dms[2]);
        EXPECT_EQ(dms, c.second) << c.first;
    }
}

TEST(PositionValue, ComparesExactlyAndNeverEqualsANaN)
{
    EXPECT_TRUE(Position(50.03, 8.57) == Position(50.03, 8.57));
    EXPECT_FALSE(Position(50.03, 8.57) == Position(50.03, 8.570000001));
    EXPECT_FALSE(Position(kNaN, 0) == Position(kNaN, 0));
}
