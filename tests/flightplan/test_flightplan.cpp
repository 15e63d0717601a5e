#include "flightplan/flightplan.h"

#include <gtest/gtest.h>

using aviation::CFlightplan;
using aviation::CWaypointWX;
using aviation::Position;

namespace {

// EDDF to EDDM with EDDS as alternate, as an imported plan file and the route finder leave it.
CFlightplan FrankfurtToMunich()
{
    CFlightplan plan;
    plan.departure = CWaypointWX(L"EDDF", Position(50.0333, 8.5706), L"Frankfurt", 1, 364, 13.0f, 5.0f, 1013.2f);
    plan.destination = CWaypointWX(L"EDDM", Position(48.3538, 11.7861), L"Munich", 1, 1487, 13.0f, 5.0f, 1013.2f);
    plan.alternate = CWaypointWX(L"EDDS", Position(48.6899, 9.2219), L"Stuttgart", 1, 1276, 13.0f, 5.0f, 1013.2f);
    plan.waypoints = {plan.departure, CWaypointWX(L"TABUM", Position(50.37, 8.92), L"", 4, 24000, 13.0f, 5.0f, 1013.2f),
                      plan.destination};
    plan.title = L"EDDF to EDDM";
    plan.flightLevel = L"FL240";
    plan.flightplanType = L"IFR";
    plan.routeType = L"HighAlt";
    plan.remarks = L"via T161";
    plan.cruiseAltitude = 24000;
    return plan;
}

} // namespace

// The planner's reset clears a plan but keeps what the route finder and the alternate field put there.
TEST(Flightplan, ClearKeepsFlightLevelRemarksAndAlternate)
{
    CFlightplan plan = FrankfurtToMunich();
    plan.Clear();
    EXPECT_TRUE(plan.waypoints.empty() && plan.title.empty() && plan.flightplanType.empty() && plan.routeType.empty());
    EXPECT_EQ(plan.cruiseAltitude, 0);
    EXPECT_TRUE(plan.departure.GetIdent().empty() && plan.destination.GetIdent().empty());
    EXPECT_EQ(plan.flightLevel, L"FL240");
    EXPECT_EQ(plan.remarks, L"via T161");
    EXPECT_EQ(plan.alternate.GetIdent(), L"EDDS");
    EXPECT_EQ(CFlightplan().cruiseAltitude, 0);
}

// Auto mode works on a copy while the planner goes on editing its own.
TEST(Flightplan, CopiesAreIndependentOfTheOriginal)
{
    CFlightplan plan = FrankfurtToMunich();
    const CFlightplan copy(plan);
    CFlightplan assigned;
    assigned = plan;
    plan.Clear();
    for (const CFlightplan* kept : std::initializer_list<const CFlightplan*>{&copy, &assigned}) {
        ASSERT_EQ(kept->waypoints.size(), 3u);
        EXPECT_EQ(kept->waypoints[1].GetIdent(), L"TABUM");
        EXPECT_EQ(kept->departure.GetIdent(), L"EDDF");
        EXPECT_EQ(kept->cruiseAltitude, 24000);
    }
}
