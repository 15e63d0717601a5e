#include "planner/tab_flightplanner_calculation.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using aviation::CWaypointWX;
using aviation::weather::CWind;
using namespace flightplanner;

namespace {

std::vector<CWaypointWX> LegsOf(std::initializer_list<int> minutes)
{
    std::vector<CWaypointWX> points(minutes.size());
    auto point = points.begin();
    for (int legMinutes : minutes)
        (point++)->SetLegTime(legMinutes);
    return points;
}

} // namespace

TEST(FlightPlanCalculation, LegTimesFlightTimeAndFuelFigures)
{
    EXPECT_EQ(LegMinutes(100.0, 450), 14); // 13.33 minutes
    EXPECT_EQ(FlightTimeText(125), QStringLiteral("02:05"));
    EXPECT_EQ(FlightTimeText(0), QString());

    // The first point has no leg and burns nothing; 6000 lb/h for 14 minutes burn 1400 lb.
    std::vector<CWaypointWX> route = LegsOf({0, 14});
    FuelSums sums = SumRouteFuel(route, {6000.0f, 250.0f, 1500.0f, 800.5f});
    EXPECT_FLOAT_EQ(route[1].GetLegFuel(), 1400.0f);
    EXPECT_EQ(sums.route, 1400);
    EXPECT_EQ(sums.total, 3950);
    // Two legs of 10.6 lb make 20 lb, the fraction dropped after each.
    route = LegsOf({0, 1, 1});
    EXPECT_EQ(SumRouteFuel(route, {636.0f, 0.0f, 0.0f, 0.0f}).route, 20);
    EXPECT_EQ(ShownFuel(1000.0, false), 453);
    EXPECT_EQ(ShownFuel(250.9, true), 250);

    // Absurd profiles stop at the int range.
    sums = SumRouteFuel(route, {1e30f, 1e30f, 0.0f, 0.0f});
    EXPECT_EQ(sums.route, std::numeric_limits<int>::max());
    EXPECT_EQ(sums.total, std::numeric_limits<int>::max());
    EXPECT_EQ(ShownFuel(1e30, false), std::numeric_limits<int>::max());
    EXPECT_EQ(LegMinutes(1e12, 1), std::numeric_limits<int>::max());
}

TEST(FlightPlanCalculation, MeanWindDividesByEveryPointOfTheRoute)
{
    RouteWind wind;
    EXPECT_TRUE(wind.MeanText(4).isEmpty()); // no grid winds
    wind.Add(CWind()); // an unset wind adds nothing
    EXPECT_TRUE(wind.MeanText(4).isEmpty());
    wind.Add(CWind(270.0, 40.0));
    EXPECT_EQ(wind.MeanText(4), QStringLiteral("270°/10 kt"));
    EXPECT_TRUE(wind.MeanText(0).isEmpty());
}
