#include "weather/waypoint.h"

#include "platform/debugoutput.h"

#include <gtest/gtest.h>

#include <limits>

using aviation::CWaypointWX;
using aviation::Position;
using aviation::WayPoint;
using aviation::weather::CWind;

TEST(WayPoint, KeepsIdentPositionTypeAndAltitude)
{
    const WayPoint point(L"EDDF", 50.0333, 8.5706, L"Frankfurt Main", 1, 364);
    EXPECT_EQ(point.GetIdent(), L"EDDF");
    EXPECT_EQ(point.GetName(), L"Frankfurt Main");
    EXPECT_DOUBLE_EQ(point.GetLatitude(), 50.0333);
    EXPECT_DOUBLE_EQ(point.GetLongitude(), 8.5706);
    EXPECT_EQ(point.GetType(), 1);
    EXPECT_EQ(point.GetAltitude(), 364);

    const WayPoint fromPosition(L"KPT", Position(49.7, 7.6), L"Kompa", 4, 12000);
    EXPECT_DOUBLE_EQ(fromPosition.GetLatitude(), 49.7);
    EXPECT_EQ(fromPosition.GetTypeText(), L"Intersection");

    WayPoint copy;
    EXPECT_EQ(copy.GetAltitude(), -1);
    EXPECT_EQ(copy.GetType(), 0);
    copy = point;
    copy.SetAltitude(5000);
    copy.SetName(L"Rhein-Main");
    EXPECT_EQ(copy.GetIdent(), L"EDDF");
    EXPECT_EQ(copy.GetAltitude(), 5000);
    EXPECT_EQ(point.GetAltitude(), 364);
    EXPECT_EQ(point.GetName(), L"Frankfurt Main");

    const WayPoint unnamed(nullptr, 1.0, 2.0, nullptr, 3, -1);
    EXPECT_TRUE(unnamed.GetIdent().empty());
    EXPECT_TRUE(unnamed.GetName().empty());
}

TEST(WayPoint, CarriesTheRouteFindersAirwayThroughCopies)
{
    WayPoint fix(L"TABUM", 50.37, 8.92, L"", 4, -1);
    EXPECT_TRUE(fix.GetAirway().empty());
    EXPECT_TRUE(WayPoint().GetAirway().empty());
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

TEST(WayPoint, NamesEveryPointTypeAndUnknownOutsideTheTable)
{
    const wchar_t* const texts[]
        = {L"Unknown", L"Airport", L"Alternate", L"WX-Station", L"Intersection", L"VOR", L"NDB", L"DME", L"Unknown"};
    for (int type = 0; type <= 8; ++type)
        EXPECT_EQ(WayPoint(L"X", 0.0, 0.0, L"", type, 0).GetTypeText(), texts[type]) << type;
    EXPECT_EQ(WayPoint(L"X", 0.0, 0.0, L"", -1, 0).GetTypeText(), L"Unknown");
}

TEST(WaypointWX, StartsWithStandardValuesAndUnsetWind)
{
    const CWaypointWX point;
    EXPECT_EQ(point.GetWind().direction, -1.0);
    EXPECT_EQ(point.GetWind().speed, -1.0);
    EXPECT_EQ(point.GetWind().gust, 0.0);
    EXPECT_FLOAT_EQ(point.GetTemperature(), 13.0f);
    EXPECT_FLOAT_EQ(point.GetDewPoint(), 5.0f);
    EXPECT_FLOAT_EQ(point.GetQNH(), 1013.2f);
    EXPECT_EQ(point.GetTas(), 0);
    EXPECT_EQ(point.GetGroundSpeed(), 0);
    EXPECT_EQ(point.GetLegTime(), 0);
    EXPECT_EQ(point.GetCourse(), 0.0);
    EXPECT_EQ(point.GetHeading(), 0.0);
    EXPECT_EQ(point.GetLegFuel(), 0.0f);
    EXPECT_TRUE(point.GetMetar().empty());
    EXPECT_TRUE(point.GetGrib().GetLevels().empty());
}

TEST(WaypointWX, CarriesThePlannersLegValuesThroughCopies)
{
    CWaypointWX point(L"LOWW", Position(48.11, 16.57), L"Wien", 2, 600, -3.0f, -7.0f, 1021.0f);
    EXPECT_EQ(point.GetTypeText(), L"Alternate");
    EXPECT_FLOAT_EQ(point.GetTemperature(), -3.0f);
    EXPECT_FLOAT_EQ(point.GetDewPoint(), -7.0f);
    EXPECT_FLOAT_EQ(point.GetQNH(), 1021.0f);
    EXPECT_EQ(point.GetTas(), 0);

    point.SetWind(CWind(250.0, 35.0, 0.0));
    point.SetTas(440);
    point.SetLegTime(42);
    point.SetCourse(118.5);
    point.SetLegFuel(1850.0f);
    point.SetMetar(L"LOWW 061250Z 25015KT 9999 FEW030 M03/M07 Q1021");
    aviation::weather::CGrib grib(L"GRIB 24680 67890 99481 10165", true);
    point.SetGrib(grib);

    CWaypointWX copy;
    copy = point;
    point.SetTas(250);
    EXPECT_EQ(copy.GetIdent(), L"LOWW");
    EXPECT_EQ(copy.GetWind().direction, 250.0);
    EXPECT_EQ(copy.GetTas(), 440);
    EXPECT_EQ(copy.GetLegTime(), 42);
    EXPECT_EQ(copy.GetCourse(), 118.5);
    EXPECT_FLOAT_EQ(copy.GetLegFuel(), 1850.0f);
    EXPECT_EQ(copy.GetMetar(), L"LOWW 061250Z 25015KT 9999 FEW030 M03/M07 Q1021");
    EXPECT_EQ(copy.GetGrib().GetRaw(), grib.GetRaw());

    const CWaypointWX fromPoint(WayPoint(L"LOWW", 48.11, 16.57, L"Wien", 1, 600), 20.0f, 10.0f, 1005.0f);
    EXPECT_EQ(fromPoint.GetAltitude(), 600);
    EXPECT_FLOAT_EQ(fromPoint.GetQNH(), 1005.0f);
    EXPECT_EQ(fromPoint.GetWind().speed, -1.0);
}

TEST(WaypointWX, CorrectsHeadingAndGroundSpeedForTheWind)
{
    CWaypointWX point;
    point.WindCorrectionHeading(0.0, 100.0, CWind(90.0, 20.0, 0.0));
    EXPECT_NEAR(point.GetHeading(), 11.54, 0.005);
    EXPECT_EQ(point.GetGroundSpeed(), 97);

    point.WindCorrectionHeading(90.0, 100.0, CWind(270.0, 30.0, 0.0));
    EXPECT_NEAR(point.GetHeading(), 90.0, 1e-9);
    EXPECT_EQ(point.GetGroundSpeed(), 130);

    point.WindCorrectionHeading(90.0, 100.0, CWind(90.0, 30.0, 0.0));
    EXPECT_NEAR(point.GetHeading(), 90.0, 1e-9);
    EXPECT_EQ(point.GetGroundSpeed(), 70);

    // A wind from the left of north pulls the heading below 360, never below 0.
    point.WindCorrectionHeading(0.0, 100.0, CWind(350.0, 10.0, 0.0));
    EXPECT_NEAR(point.GetHeading(), 359.0, 0.05);
    EXPECT_EQ(point.GetGroundSpeed(), 90);

    // An absurd airspeed from a damaged aircraft profile gives the largest ground speed, not a wrapped one.
    point.WindCorrectionHeading(45.0, 1e12, CWind(90.0, 20.0, 0.0));
    EXPECT_NEAR(point.GetHeading(), 45.0, 1e-6);
    EXPECT_EQ(point.GetGroundSpeed(), std::numeric_limits<int>::max());
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
