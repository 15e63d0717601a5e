#include "app/tableviewwaypoint.h"

#include "forms/mainwindowform.h"
#include "planner/tab_flightplanner.h"

#include "tablecontent.h"

#include <QItemSelectionModel>
#include <gtest/gtest.h>

using aviation::CWaypointWX;
using aviation::Position;
using aviation::weather::CWind;

namespace {

const QStringList kHeaders
    = {"Waypoint", "Type", "Lat", "Lon", "Course", "Dist", "Alt", "Wind", "Temp", "TAS", "Hdg", "GS", "Time"};

CWaypointWX Point(const wchar_t* ident, double latitude, double longitude, int type, int altitude)
{
    return CWaypointWX(ident, Position(latitude, longitude), L"", type, altitude, 13.0f, 5.0f, 1013.2f);
}

CWaypointWX Planned(CWaypointWX point, const CWind& wind, float temperature, int tas, int groundSpeed, int minutes)
{
    point.SetWind(wind);
    point.SetTemperature(temperature);
    point.SetTas(tas);
    point.SetGroundSpeed(groundSpeed);
    point.SetLegTime(minutes);
    return point;
}

// A weather station at (0, 0) first, a fix the planner found no weather for, a calm fix a day and an hour on,
// and Munich.
aviation::CFlightplan Plan()
{
    aviation::CFlightplan plan;
    plan.waypoints = {
        Planned(Point(L"NULL", 0.0, 0.0, 3, 0), CWind(240.0, 8.0), 14.0f, 0, 0, 0),
        Point(L"TABUM", 49.60, 9.60, 4, 24000),
        Planned(Point(L"CALM", 49.00, 10.00, 9, 18000), CWind(270.0, 0.0), -21.0f, 0, 0, 1500),
        Planned(Point(L"EDDM", 48.354, 11.786, 1, 1487), CWind(265.0, 30.0), 11.0f, 440, 466, 75),
    };
    plan.alternate = Point(L"EDDN", 49.499, 11.078, 2, 1046);
    return plan;
}

} // namespace

TEST(TableViewWaypoint, OneRowPerRouteWaypointWithItsLeg)
{
    CTableViewWaypoint view;
    view.SetFlightPlan(Plan());
    // The first row has no leg: "-" for what was not worked out; later rows say "n/a". The leg after (0, 0)
    // counts as none. A calm wind is a known wind; the alternate is not on the route.
    const QList<QStringList> expected = {
        {"NULL", "WX-Station", U8("0.00°"), U8("0.00°"), U8("0°"), "0 NM", "0", U8("240°/8 kt"), U8("14°C"), "-", "-",
         "-", "-"},
        {"TABUM", "Intersection", U8("49.60°"), U8("9.60°"), U8("0°"), "0 NM", "24000", "n/a", "n/a", "n/a", U8("0°"),
         "n/a", "n/a"},
        {"CALM", "Unknown", U8("49.00°"), U8("10.00°"), U8("156°"), "39 NM", "18000", U8("270°/0 kt"), U8("-21°C"),
         "n/a", U8("0°"), "n/a", "01:00"},
        {"EDDM", "Airport", U8("48.35°"), U8("11.79°"), U8("118°"), "81 NM", "1487", U8("265°/30 kt"), U8("11°C"),
         "440 kt", U8("0°"), "466 kt", "01:15"},
    };
    EXPECT_EQ(AllRows(view), expected);
    // Each column as wide as its widest text: no position, distance or wind is elided.
    for (int column = 0; column < kHeaders.size(); ++column) {
        for (int row = 0; row < expected.size(); ++row)
            EXPECT_GT(view.columnWidth(column), view.fontMetrics().horizontalAdvance(expected[row][column])) << column;
    }

    view.SetFlightPlan(aviation::CFlightplan());
    EXPECT_EQ(view.model()->rowCount(), 0);
    EXPECT_EQ(HeaderTexts(view), kHeaders);
}

TEST(TableViewWaypoint, SelectsTheUpperRowOfAnIdentAndKeepsTheSelectionForOthers)
{
    aviation::CFlightplan plan = Plan();
    plan.waypoints.push_back(Point(L"TABUM", 49.60, 9.60, 4, 24000));
    CTableViewWaypoint view;
    view.SetFlightPlan(plan);
    const QModelIndexList upperTabum = {view.model()->index(1, 0)};
    for (const wchar_t* ident : {L"TABUM", L"KORED", L"tabum"}) {
        view.SelectWaypoint(Point(ident, 49.0, 10.0, 4, 0));
        EXPECT_EQ(view.selectionModel()->selectedRows(), upperTabum);
    }
}

TEST(TableViewWaypoint, ResetLeavesANewEmptyModelAndNoSelectionModelBehind)
{
    CMainWindowForm window;
    window.ui.setupUi(&window);
    window.ui.tab_flightplanner->Init(nullptr, nullptr);
    CTableViewWaypoint& view = *window.ui.tableView_waypoints;
    for (int reset = 0; reset < 5; ++reset) {
        view.SetFlightPlan(Plan());
        view.selectRow(1);
        const QAbstractItemModel* before = view.model();
        window.ui.tab_flightplanner->Reset();
        EXPECT_NE(view.model(), before);
        EXPECT_EQ(view.model()->rowCount(), 0);
        EXPECT_EQ(HeaderTexts(view), kHeaders);
    }
    // Without an event loop to clear up after it.
    EXPECT_EQ(view.findChildren<QItemSelectionModel*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}
