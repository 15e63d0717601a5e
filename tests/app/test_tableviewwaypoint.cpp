#include "app/tableviewwaypoint.h"

#include "flight/tab_flightplanner.h"
#include "forms/mainwindowform.h"

#include "tablecontent.h"

#include <QCoreApplication>
#include <QItemSelectionModel>

using aviation::CFlightplan;
using aviation::CWaypointWX;
using aviation::Position;
using aviation::WayPoint;
using aviation::weather::CWind;

namespace {

const QStringList kHeaders
    = {"Waypoint", "Type", "Lat", "Lon", "Course", "Dist", "Alt", "Wind", "Temp", "TAS", "Hdg", "GS", "Time"};

// A route point with the weather and leg values the planner worked out for it.
CWaypointWX Point(const wchar_t* ident, double latitude, double longitude, int type, int altitude)
{
    return CWaypointWX(ident, Position(latitude, longitude), L"", type, altitude, 13.0f, 5.0f, 1013.2f);
}

CWaypointWX Flown(CWaypointWX point, const CWind& wind, float temperature, int tas, int legMinutes)
{
    point.SetWind(wind);
    point.SetTemperature(temperature);
    point.SetTas(tas);
    point.WindCorrectionHeading(point.GetCourse(), tas, wind);
    point.SetLegTime(legMinutes);
    return point;
}

// Frankfurt to Munich by the TABUM intersection, calculated at FL240.
CFlightplan FrankfurtToMunich()
{
    CFlightplan plan;
    CWaypointWX eddf = Flown(Point(L"EDDF", 50.033, 8.570, 1, 364), CWind(240.0, 8.0), 14.0f, 0, 0);
    CWaypointWX tabum = Point(L"TABUM", 49.60, 9.60, 4, 24000);
    tabum.SetCourse(Position::GetCourse(eddf, tabum));
    tabum = Flown(tabum, CWind(270.0, 45.0), -33.0f, 440, 9);
    CWaypointWX eddm = Point(L"EDDM", 48.354, 11.786, 1, 1487);
    eddm.SetCourse(Position::GetCourse(tabum, eddm));
    eddm = Flown(eddm, CWind(265.0, 30.0), 11.0f, 440, 75);
    plan.waypoints = {eddf, tabum, eddm};
    plan.departure = eddf;
    plan.destination = eddm;
    plan.alternate = Point(L"EDDN", 49.499, 11.078, 2, 1046);
    return plan;
}

} // namespace

TEST(TableViewWaypoint, ShowsEveryRouteWaypointWithItsLeg)
{
    CTableViewWaypoint view;
    EXPECT_EQ(HeaderTexts(view), kHeaders);

    const CFlightplan plan = FrankfurtToMunich();
    view.SetFlightPlan(plan);
    const QList<QStringList> rows = AllRows(view);
    ASSERT_EQ(rows.size(), 3); // the alternate is not on the route
    // The first row has no leg: course and distance 0, no heading, no speeds and no time.
    EXPECT_EQ(rows[0],
              QStringList({"EDDF", "Airport", U8("50.03°"), U8("8.57°"), U8("0°"), "0 NM", "364", U8("240°/8 kt"),
                           U8("14°C"), "-", "-", "-", "-"}));
    EXPECT_EQ(rows[1].mid(0, 9),
              QStringList({"TABUM", "Intersection", U8("49.60°"), U8("9.60°"), U8("123°"), "48 NM", "24000",
                           U8("270°/45 kt"), U8("-33°C")}));
    // Wind from behind on the right: the heading turns right of the 123° course, the ground speed beats the TAS.
    EXPECT_EQ(rows[1].mid(9), QStringList({"440 kt", U8("126°"), "477 kt", "00:09"}));
    EXPECT_EQ(rows[2][12], "01:15");
    EXPECT_EQ(view.model()->index(1, 7).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));

    // A later calculation replaces the rows; an empty route leaves the headers alone.
    view.SetFlightPlan(CFlightplan());
    EXPECT_EQ(view.model()->rowCount(), 0);
    EXPECT_EQ(HeaderTexts(view), kHeaders);
}

TEST(TableViewWaypoint, MissingValuesAndTheLegAfterZeroZero)
{
    CFlightplan plan;
    // Nothing worked out on a later row gives "n/a"; a calm wind is a known wind; the leg after a point at
    // (0, 0) counts as no leg; a leg of a day and an hour shows as 01:00.
    CWaypointWX origin = Point(L"NULL", 0.0, 0.0, 3, 0);
    CWaypointWX unplanned = Point(L"TABUM", 49.60, 9.60, 4, 24000);
    CWaypointWX calm = Point(L"CALM", 49.00, 10.00, 9, 18000);
    calm.SetWind(CWind(270.0, 0.0));
    calm.SetTemperature(-21.0f);
    calm.SetLegTime(1500);
    plan.waypoints = {origin, unplanned, calm};

    CTableViewWaypoint view;
    view.SetFlightPlan(plan);
    const QList<QStringList> expected = {
        {"NULL", "WX-Station", U8("0.00°"), U8("0.00°"), U8("0°"), "0 NM", "0", "n/a", "n/a", "-", "-", "-", "-"},
        {"TABUM", "Intersection", U8("49.60°"), U8("9.60°"), U8("0°"), "0 NM", "24000", "n/a", "n/a", "n/a", U8("0°"),
         "n/a", "n/a"},
        {"CALM", "Unknown", U8("49.00°"), U8("10.00°"), U8("156°"), "39 NM", "18000", U8("270°/0 kt"), U8("-21°C"),
         "n/a", U8("0°"), "n/a", "01:00"},
    };
    EXPECT_EQ(AllRows(view), expected);
}

TEST(TableViewWaypoint, SelectsTheFirstRowOfTheIdentAndKeepsTheSelectionForOthers)
{
    CFlightplan plan = FrankfurtToMunich();
    // A round trip passes TABUM twice.
    plan.waypoints.push_back(Point(L"TABUM", 49.60, 9.60, 4, 24000));
    CTableViewWaypoint view;
    view.SelectWaypoint(Point(L"EDDF", 50.033, 8.570, 1, 364)); // empty grid: nothing to select
    EXPECT_FALSE(view.selectionModel()->hasSelection());
    view.SetFlightPlan(plan);

    view.SelectWaypoint(Point(L"TABUM", 49.60, 9.60, 4, 24000));
    EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList({view.model()->index(1, 0)}));
    for (const wchar_t* other : {L"KORED", L"tabum", L""}) {
        view.SelectWaypoint(Point(other, 49.0, 10.0, 4, 0));
        EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList({view.model()->index(1, 0)}));
    }
    view.SelectWaypoint(Point(L"EDDM", 48.354, 11.786, 1, 1487));
    EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList({view.model()->index(2, 0)}));
}

TEST(TableViewWaypoint, ResetGivesANewEmptyModelAndLeavesNoSelectionModelsBehind)
{
    CTableViewWaypoint view;
    for (int reset = 0; reset < 5; ++reset) {
        view.SetFlightPlan(FrankfurtToMunich());
        view.selectRow(1);
        const QAbstractItemModel* before = view.model();
        view.ResetModel();
        EXPECT_NE(view.model(), before);
        EXPECT_EQ(view.model()->rowCount(), 0);
        EXPECT_EQ(HeaderTexts(view), kHeaders);
        EXPECT_EQ(view.columnWidth(12), 50);
        EXPECT_FALSE(view.selectionModel()->hasSelection());
    }
    // One model and one selection model, without waiting for an event loop to clear up.
    EXPECT_EQ(view.findChildren<QAbstractItemModel*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_EQ(view.findChildren<QItemSelectionModel*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(view.findChildren<QItemSelectionModel*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
    view.SetFlightPlan(FrankfurtToMunich());
    view.SelectWaypoint(Point(L"EDDM", 48.354, 11.786, 1, 1487));
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 1);
}

TEST(TableViewWaypoint, ThePlannersResetEmptiesItsGrid)
{
    CMainWindowForm window;
    window.ui.setupUi(&window);
    window.ui.tab_flightplanner->Init(nullptr, nullptr);
    CTableViewWaypoint& grid = *window.ui.tableView_waypoints;
    grid.SetFlightPlan(FrankfurtToMunich());
    window.ui.tab_flightplanner->Reset();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(HeaderTexts(grid), kHeaders);
}
