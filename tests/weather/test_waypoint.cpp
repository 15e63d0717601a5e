#include "weather/waypoint.h"

#include "platform/debugoutput.h"

#include <gtest/gtest.h>

#include <limits>

using aviation::CWaypointWX;
using aviation::Position;
using aviation::WayPoint;
using aviation::weather::CWind;

TEST(WayPoint, BuildsFromEitherPositionFormAndNamesEveryPointType)
{
    const WayPoint point(L"KPT", Position(49.7, 7.6), L"Kompa", 4, 12000);
    EXPECT_EQ(point.GetIdent(), L"KPT");
    EXPECT_DOUBLE_EQ(point.GetLatitude(), 49.7);
    EXPECT_DOUBLE_EQ(point.GetLongitude(), 7.6);
    EXPECT_EQ(point.GetAltitude(), 12000);

    const WayPoint unnamed(nullptr, 1.0, 2.0, nullptr, 3, -1);
    EXPECT_TRUE(unnamed.GetIdent().empty());
    EXPECT_TRUE(unnamed.GetName().empty());

    const wchar_t* const texts[]
        = {L"Unknown", L"Airport", L"Alternate", L"WX-Station", L"Intersection", L"VOR", L"NDB", L"DME", L"Unknown"};
    for (int type = 0; type <= 8; ++type)
        EXPECT_EQ(WayPoint(L"X", 0.0, 0.0, L"", type, 0).GetTypeText(), texts[type]) << type;
    EXPECT_EQ(WayPoint(L"X", 0.0, 0.0, L"", -1, 0).GetTypeText(), L"Unknown");
}

TEST(WayPoint, CarriesTheRouteFindersAirwayThroughCopies)
{
    WayPoint fix(L"TABUM", 50.37, 8.92, L"", 4, -1);
    EXPECT_TRUE(fix.GetAirway().empty());
    fix.SetAirway(L"T161");

    WayPoint assigned;
    assigned = fix;
    EXPECT_EQ(assigned.GetAirway(), L"T161");
    const CWaypointWX planned(fix, 13.0f, 5.0f, 1013.2f);
    EXPECT_EQ(planned.GetAirway(), L"T161");
    CWaypointWX copy(planned);
    EXPECT_EQ(copy.GetAirway(), L"T161");
    copy = CWaypointWX();
    EXPECT_TRUE(copy.GetAirway().empty());
}

TEST(WaypointWX, StartsWithStandardValuesOrThePlannersAndUnsetWind)
{
    const CWaypointWX standard;
    EXPECT_EQ(standard.GetWind().direction, -1.0);
    EXPECT_EQ(standard.GetWind().speed, -1.0);
    EXPECT_FLOAT_EQ(standard.GetTemperature(), 13.0f);
    EXPECT_FLOAT_EQ(standard.GetDewPoint(), 5.0f);
    EXPECT_FLOAT_EQ(standard.GetQNH(), 1013.2f);

    const CWaypointWX planned(L"LOWW", Position(48.11, 16.57), L"Wien", 2, 600, -3.0f, -7.0f, 1021.0f);
    EXPECT_EQ(planned.GetTypeText(), L"Alternate");
    EXPECT_EQ(planned.GetAltitude(), 600);
    EXPECT_FLOAT_EQ(planned.GetTemperature(), -3.0f);
    EXPECT_FLOAT_EQ(planned.GetDewPoint(), -7.0f);
    EXPECT_FLOAT_EQ(planned.GetQNH(), 1021.0f);
    EXPECT_EQ(planned.GetWind().speed, -1.0);
}

TEST(WaypointWX, CorrectsHeadingAndGroundSpeedForTheWind)
{
    const struct
    {
        double course, tas;
        CWind wind;
        double heading, tolerance;
        int groundSpeed;
    } cases[] = {
        {0.0, 100.0, CWind(90.0, 20.0, 0.0), 11.54, 0.005, 97},
        {90.0, 100.0, CWind(270.0, 30.0, 0.0), 90.0, 1e-9, 130},
        {90.0, 100.0, CWind(90.0, 30.0, 0.0), 90.0, 1e-9, 70},
        // A wind from the left of north pulls the heading below 360, never below 0.
        {0.0, 100.0, CWind(350.0, 10.0, 0.0), 359.0, 0.05, 90},
        // An absurd airspeed from a damaged aircraft profile gives the largest ground speed, not a wrapped one.
        {45.0, 1e12, CWind(90.0, 20.0, 0.0), 45.0, 1e-6, std::numeric_limits<int>::max()},
    };
    CWaypointWX point;
    for (const auto& c : cases) {
        point.WindCorrectionHeading(c.course, c.tas, c.wind);
        EXPECT_NEAR(point.GetHeading(), c.heading, c.tolerance) << c.course << " " << c.wind.direction;
        EXPECT_EQ(point.GetGroundSpeed(), c.groundSpeed) << c.course << " " << c.wind.direction;
    }
}

TEST(WaypointWX, LeavesHeadingAloneForNoAirspeedOrOverwhelmingWind)
{
    CWaypointWX point;
    point.WindCorrectionHeading(0.0, 100.0, CWind(90.0, 20.0, 0.0));
    const double heading = point.GetHeading();
    const int groundSpeed = point.GetGroundSpeed();

    platform::ScopedDebugCapture capture;
    point.WindCorrectionHeading(45.0, 0.5, CWind(90.0, 20.0, 0.0));
    EXPECT_TRUE(capture.Contains("FlightPlanner: WindCorrectionHeading - TAS < 1\n"));
    EXPECT_EQ(point.GetHeading(), heading);
    EXPECT_EQ(point.GetGroundSpeed(), groundSpeed);

    capture.Clear();
    point.WindCorrectionHeading(0.0, 100.0, CWind(90.0, 150.0, 0.0));
    EXPECT_TRUE(capture.Contains("Flight planner - Error-Wind is to high\n"));
    EXPECT_EQ(point.GetHeading(), heading);
    EXPECT_EQ(point.GetGroundSpeed(), groundSpeed);
}
