#include "planner/tab_flightplanner_pmdgwind.h"
#include "platform/debugoutput.h"
#include "tests/flightplan/planfixtures.h"

#include <gtest/gtest.h>

#include <cmath>

using aviation::CFlightplan;
using aviation::CWaypointWX;
using aviation::weather::CWind;

namespace {

// Made-up levels every 3000 ft, each 4° further round, 2 kt stronger and 4 °C colder than the one below:
// 235°/22 kt and 10 °C at the surface give 275°/42 kt and -30 °C at 30000 ft.
CWaypointWX Point(const wchar_t* ident, double latitude, double longitude, const CWind& surfaceWind,
                  double surfaceTemperature)
{
    CWaypointWX point(ident, {latitude, longitude}, L"", 4, 0, 13.0f, 5.0f, 1013.2f);
    aviation::weather::CGrib grib;
    grib.SetStandardAtmosphere(surfaceWind, surfaceTemperature, 0.0, 1013.0);
    point.SetGrib(grib);
    return point;
}

// Frankfurt to New York over two oceanic fixes; New York without grid weather.
CFlightplan TransatlanticPlan()
{
    CFlightplan plan;
    plan.departure = CWaypointWX(L"EDDF", {50.03, 8.57}, L"", 1, 364, 13.0f, 5.0f, 1013.2f);
    plan.destination = CWaypointWX(L"KJFK", {40.64, -73.78}, L"", 1, 13, 13.0f, 5.0f, 1013.2f);
    plan.waypoints
        = {Point(L"EDDF", 50.03, 8.57, CWind(235.0, 22.0), 10.0), Point(L"5530N", 55.0, -30.0, CWind(-2.6, 10.0), -5.0),
           Point(L"5040N", 50.0, -40.0, CWind(std::nan(""), 10.0), std::nan("")), plan.destination};
    return plan;
}

} // namespace

TEST(PMDG777Wind, TwoLinesPerPointWithTheWindsAndTemperaturesOfTenAltitudes)
{
    const QString text = flightplanner::PMDG777WindText(TransatlanticPlan());
    const QStringList lines = text.split('\n');
    ASSERT_EQ(lines.size(), 9); // four points and the empty rest after the last line end
    EXPECT_EQ(lines[0], "EDDF\t 243@26(2)\t247@28(-2)\t251@30(-6)\t259@34(-14)\t267@38(-22)");
    EXPECT_EQ(lines[1], "\t\t275@42(-30)\t280@45(-35)\t287@48(-42)\t287@48(-42)\t287@48(-42)");
    EXPECT_TRUE(lines[2].startsWith("5530N\t 005@14(-13)\t")); // 5.4° at 6000 ft
    // What the grid could not give is written as unset; no grid weather at all is the empty level everywhere.
    EXPECT_TRUE(lines[4].startsWith("5040N\t -01@14(-99)\t"));
    EXPECT_FALSE(text.contains("nan", Qt::CaseInsensitive));
    EXPECT_EQ(lines[6], "KJFK\t -01@-1(-99)\t-01@-1(-99)\t-01@-1(-99)\t-01@-1(-99)\t-01@-1(-99)");
}

TEST(PMDG777Wind, FileIsNamedAfterTheAirportsAndStaysInItsFolder)
{
    QTemporaryDir folder;
    CFlightplan plan = TransatlanticPlan();
    ASSERT_TRUE(flightplanner::WritePMDG777WindFile(folder.path(), plan));
    EXPECT_EQ(ReadBytes(folder.filePath("EDDFKJFK.wx")), flightplanner::PMDG777WindText(plan).toLatin1());

    // An ident from a plan file or the route finder cannot leave the folder.
    plan.departure = CWaypointWX(L"../x", {0.0, 0.0}, L"", 1, 0, 13.0f, 5.0f, 1013.2f);
    ASSERT_TRUE(flightplanner::WritePMDG777WindFile(folder.path(), plan));
    EXPECT_TRUE(QFile::exists(folder.filePath(".._xKJFK.wx")));

    // Without a folder nothing is written, not even in the root folder.
    platform::ScopedDebugCapture debug;
    EXPECT_FALSE(flightplanner::WritePMDG777WindFile(QString(), plan));
    EXPECT_EQ(debug.Lines(), std::vector<std::string>{"Can not create file: /.._xKJFK.wx\n"});
}
