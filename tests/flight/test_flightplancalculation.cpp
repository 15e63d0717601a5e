#include "flight/tab_flightplanner_calculation.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using aviation::CWaypointWX;
using aviation::weather::CWind;
using namespace flightplanner;

namespace {

std::vector<CWaypointWX> LegsOf(std::initializer_list<int> minutes)
{
    std::vector<CWaypointWX> points;
    for (int legMinutes : minutes) {
        points.emplace_back();
        points.back().SetLegTime(legMinutes);
    }
    return points;
}

} // namespace

TEST(FlightPlanCalculation, LegMinutesRoundUpAndTheFlightTimeShowsHoursAndMinutes)
{
    EXPECT_EQ(LegMinutes(100.0, 450), 14); // 13.33 minutes
    EXPECT_EQ(LegMinutes(75.0, 450), 10);
    EXPECT_EQ(LegMinutes(1e12, 1), std::numeric_limits<int>::max());

    const std::pair<long long, const char*> times[] = {{125, "02:05"}, {0, ""}, {-5, ""}, {1500, "25:00"}};
    for (const auto& [minutes, shown] : times)
        EXPECT_EQ(FlightTimeText(minutes), QString::fromUtf8(shown)) << minutes;
}

TEST(FlightPlanCalculation, RouteFuelDropsItsFractionAfterEveryPoint)
{
    // The first point has no leg and burns nothing.
    std::vector<CWaypointWX> route = LegsOf({0, 14});
    FuelSums sums = SumRouteFuel(route, {6000.0f, 250.0f, 1500.0f, 800.5f});
    EXPECT_FLOAT_EQ(route[0].GetLegFuel(), 0.0f);
    EXPECT_FLOAT_EQ(route[1].GetLegFuel(), 1400.0f);
    EXPECT_EQ(sums.route, 1400);
    EXPECT_EQ(sums.total, 3950);

    // 636 lb/h for one minute burns 10.6 lb: two such legs make 20, not 21.
    route = LegsOf({0, 1, 1});
    sums = SumRouteFuel(route, {636.0f, 0.0f, 0.0f, 0.0f});
    EXPECT_EQ(sums.route, 20);
    EXPECT_EQ(sums.total, 20);
}

TEST(FlightPlanCalculation, AbsurdFuelFiguresStopAtTheIntRange)
{
    std::vector<CWaypointWX> route = LegsOf({0, 90, 90});
    const FuelSums sums = SumRouteFuel(route, {1e30f, 1e30f, 0.0f, 0.0f});
    EXPECT_EQ(sums.route, std::numeric_limits<int>::max());
    EXPECT_EQ(sums.total, std::numeric_limits<int>::max());
    EXPECT_EQ(ShownFuel(1e30, false), std::numeric_limits<int>::max());
    EXPECT_EQ(ShownFuel(-1e30, true), std::numeric_limits<int>::min());
    EXPECT_EQ(TruncatedInt(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(FlightPlanCalculation, ShownFuelIsWholePoundsOrWholeKilograms)
{
    EXPECT_EQ(ShownFuel(1000.0, true), 1000);
    EXPECT_EQ(ShownFuel(1000.0, false), 453);
    EXPECT_EQ(ShownFuel(250.9, true), 250);
    EXPECT_EQ(ShownFuel(250.9, false), 113);
}

TEST(FlightPlanCalculation, MeanWindDividesByEveryPointOfTheRoute)
{
    RouteWind oneEnRoutePoint;
    oneEnRoutePoint.Add(CWind(270.0, 40.0));
    EXPECT_EQ(oneEnRoutePoint.MeanText(4), QStringLiteral("270°/10 kt"));

    RouteWind crossing;
    crossing.Add(CWind(360.0, 30.0));
    crossing.Add(CWind(90.0, 30.0));
    EXPECT_EQ(crossing.MeanText(2), QStringLiteral("045°/21 kt"));

    // No grid winds at all, or only unset ones, show nothing; nor does a route without points.
    RouteWind none;
    EXPECT_TRUE(none.MeanText(4).isEmpty());
    RouteWind unset;
    unset.Add(CWind());
    EXPECT_TRUE(unset.MeanText(3).isEmpty());
    EXPECT_TRUE(oneEnRoutePoint.MeanText(0).isEmpty());
}
