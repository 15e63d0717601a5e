// The simulators' flight plan files: world-position texts, the writers against golden files the simulators load,
// and the readers on files as the simulators write them.
#include "flightplan/fs9flightplanfile.h"
#include "flightplan/fsxflightplanfile.h"
#include "flightplan/planfilereader.h"
#include "flightplan/worldposition.h"
#include "flightplan/xplaneflightplanfile.h"
#include "planfixtures.h"
#include "platform/debugoutput.h"

#include <QStringList>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using aviation::CFlightplan;
using aviation::CWaypointWX;
using aviation::Position;
using aviation::WayPoint;

namespace {

CWaypointWX Point(const wchar_t* ident, double latitude, double longitude, const wchar_t* name, int type, int altitude)
{
    return CWaypointWX(ident, Position(latitude, longitude), name, type, altitude, 13.0f, 5.0f, 1013.2f);
}

// Seattle to Portland by the SEA VOR and the HQ beacon, Olympia as alternate, as the calculation leaves it.
CFlightplan SeattleToPortland()
{
    CFlightplan plan;
    plan.departure = Point(L"KSEA", 47.449, -122.309306, L"Seattle & Tacoma Intl", 1, 433);
    plan.destination = Point(L"KPDX", 45.588722, -122.5975, L"Portland Intl", 1, 30);
    plan.alternate = Point(L"KOLM", 46.969444, -122.9025, L"Olympia Rgnl", 2, 209);
    plan.waypoints = {plan.departure, Point(L"SEA", 47.435372, -122.309781, L"SEA", 5, 30000),
                      Point(L"HQ", 46.947222, -123.875, L"HQ", 6, 30000), plan.destination, plan.alternate};
    plan.cruiseAltitude = 30000;
    return plan;
}

// "ident type latitude longitude altitude" of every waypoint, positions to four decimals.
QString Route(const std::vector<CWaypointWX>& waypoints)
{
    QStringList points;
    for (const CWaypointWX& point : waypoints)
        points << QStringLiteral("%1 %2 %3 %4 %5")
                      .arg(QString::fromStdWString(point.GetIdent()))
                      .arg(point.GetType())
                      .arg(point.GetLatitude(), 0, 'f', 4)
                      .arg(point.GetLongitude(), 0, 'f', 4)
                      .arg(point.GetAltitude());
    return points.join(QStringLiteral(", "));
}

std::wstring Ends(const CFlightplan& plan)
{
    return plan.departure.GetIdent() + L"-" + plan.destination.GetIdent();
}

// The FSX reader as the open operation starts it: on the start element of the plan.
CFlightplan ReadFSX(const QByteArray& bytes)
{
    CFlightplan plan;
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.readNext() == QXmlStreamReader::StartElement
            && reader.name() == QLatin1String("FlightPlan.FlightPlan"))
            planfile::ReadFSXFlightPlan(reader, plan);
    }
    return plan;
}

class FlightPlanFileTest : public ::testing::Test
{
protected:
    QString Write(const QString& name, const QByteArray& bytes) { return WriteFile(m_dir, name, bytes); }

    QStringList log;
    planfile::LogFunction logTo = [this](const QString& text) { log << text; };
    platform::ScopedDebugCapture debug;

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST(WorldPosition, TextsReadAsTheSimulatorsWriteThemAndAreWrittenToTheNearestSecond)
{
    EXPECT_NEAR(planfile::CoordinateFromText(QString::fromUtf8("S33° 56' 46\""), planfile::kDegreeSign), -33.946111,
                1e-6);
    EXPECT_NEAR(planfile::CoordinateFromText("W118* 24.5'", planfile::kFS9DegreeMark), -118.408333, 1e-6);
    const struct
    {
        const char* text;
        double latitude, longitude;
        int altitude;
    } cases[] = {
        {"N47* 26.99', W122* 18.56', +000433.00", 47.449833, -122.309333, 433},
        {"N47° 26' 56.40\",W122° 18' 33.50\",+000433.60", 47.449, -122.309306, 434},
        {"N47* 26' 56\",W122° 18' 34\",+433.00", 47.448889, -122.309444, 433}, // one mark per coordinate
        {"S33° 52' 7\",E151° 12' 33\",-1.00", -33.868611, 151.209167, -1},
        {"N47* 26.99', W122* 18.56', +1e300", 47.449833, -122.309333, 0},
        // Signed decimal degrees as some planners write them, with or without the mark, beside a lettered part.
        {"54.765892 , -130.647858,+5000", 54.765892, -130.647858, 5000},
        {"-33.946111°,+151.177222°,+21.00", -33.946111, 151.177222, 21},
        {"47.449*, -122.309306*, +000433.00", 47.449, -122.309306, 433},
        {"N54° 17' 9\", -130.444678, +116.0", 54.285833, -130.444678, 116},
        // Decimal degrees behind the letter; a last number without its mark is the unit after the last marked one.
        {"N47.449944,W122.309417,+433", 47.449944, -122.309417, 433},
        {"N47° 26.5,W122° 18' 34,+433.00", 47.441667, -122.309444, 433},
        // Seconds without minutes: a marked number counts in its mark's unit.
        {"N47° 56\",W122° 18' 34\",+433.00", 47.015556, -122.309444, 433},
        // A longitude near the meridian as "%g" writes it: the exponent's sign is not the number's.
        {"N51.4775,W5e-05,+0", 51.4775, -0.00005, 0},
        {"N4.7e1,E8.5,+0", 47.0, 8.5, 0},
    };
    for (const auto& c : cases) {
        const WayPoint point = planfile::WayPointFromText(QString::fromUtf8(c.text));
        EXPECT_NEAR(point.GetLatitude(), c.latitude, 1e-6) << c.text;
        EXPECT_NEAR(point.GetLongitude(), c.longitude, 1e-6) << c.text;
        EXPECT_EQ(point.GetAltitude(), c.altitude) << c.text;
    }
    // Qt takes "nan" and "inf" for numbers; neither they nor points off the globe nor parts that are neither
    // lettered nor plain decimal degrees are readable, nor lettered parts with numbers that lack their marks, no
    // number, or text behind the seconds; the hemisphere letter is a coordinate's only sign.
    for (const char* text : {"N47* 26.99', W122* 18.56'",
                             ", , ",
                             "Nnan* 0' 0\", E8* 30' 0\", +0.00",
                             "N47* 0' 0\", Einf* 0' 0\", +0.00",
                             "N91* 0' 0\", E8* 0' 0\", +0.00",
                             "N47* 0' 0\", W180* 30' 0\", +0.00",
                             "90.5, 8.5, +0",
                             "47.5, -180.25, +0",
                             "54.7N, 130.6W, +0",
                             "54* 45' 57\", -130.647858, +0",
                             "X54.7, -130.6, +0",
                             "1e1, 8.5, +0",
                             "N46 58 18,W122 54 7,+0",
                             "N47:26:56,W122:18:34,+0",
                             "N,W122.309417,+0",
                             "Nabc* 0' 0\", E8.5, +0",
                             "N47* 0' 0\" 5, E8.5, +0",
                             "S-33.946111,E151.177222,+21",
                             "N+47.449944,W122.309417,+433",
                             "N51.4775,W-5e-05,+0",
                             "N47° -30' 0\",E8° 30' 0\",+0.00",
                             "S33* 52' -7\", E151* 12' 33\", +0.00",
                             "N47* 26.99', W-122* 18.56', +000433.00",
                             "N47* 26.99', W122* +18.56', +000433.00"})
        EXPECT_FALSE(planfile::IsReadablePosition(planfile::WayPointFromText(text))) << text;

    EXPECT_EQ(planfile::WayPointToText(WayPoint(L"", -33.8688, 151.2093, L"", 0, -1), planfile::kDegreeSign, false),
              QString::fromUtf8("S33° 52' 8\",E151° 12' 33\",-1.00"));
    EXPECT_EQ(planfile::WayPointToText(WayPoint(L"", 47.5, 8.5, L"", 0, 1372), planfile::kFS9DegreeMark, true),
              "N47* 30' 0\", E8* 30' 0\", +1372.00");
}

// Decimal seconds, comments, an airway, a "User" point named only by its id, "30000.000" as cruising altitude;
// cut short, the plan keeps the waypoints read before the cut.
TEST_F(FlightPlanFileTest, FSXPlanAsTheSimulatorWritesIt)
{
    const QByteArray bytes = ReadBytes(FixturePath("KSEA-KPDX_fsx.pln"));
    const CFlightplan plan = ReadFSX(bytes);
    EXPECT_EQ(plan.title + L"|" + plan.flightplanType + L"|" + plan.routeType, L"KSEA to KPDX|IFR|LowAlt");
    EXPECT_EQ(plan.cruiseAltitude, 30000);
    const QString firstThree
        = "KSEA 1 47.4490 -122.3093 0, SEA 5 47.4354 -122.3098 30000, WP1 4 46.5000 -122.7500 30000";
    EXPECT_EQ(Route(plan.waypoints), firstThree + ", BTG 5 45.7476 -122.5918 30000, KPDX 1 45.5887 -122.5975 0");
    EXPECT_EQ(Route({plan.departure, plan.destination}), "KSEA 1 47.4490 -122.3093 433, KPDX 1 45.5887 -122.5975 30");

    EXPECT_EQ(Route(ReadFSX(bytes.left(bytes.indexOf("<ATCWaypoint id=\"BTG\">") + 60)).waypoints), firstThree);
    EXPECT_TRUE(debug.Contains("TabFlightplanner: XMLError - "));
}

TEST_F(FlightPlanFileTest, FS2004PlanAsTheSimulatorWritesIt)
{
    CFlightplan plan;
    ASSERT_TRUE(planfile::ReadFS9FlightPlan(FixturePath("KSEA-KPDX_fs9.pln"), plan, logTo));
    EXPECT_EQ(plan.title + L"|" + plan.destination.GetName(), L"KSEA to KPDX|Portland Intl");
    EXPECT_EQ(Route(plan.waypoints),
              "KSEA 1 47.4490 -122.3093 433, SEA 5 47.4353 -122.3098 30000, "
              "OLM 5 46.9715 -122.9020 30000, HQ 6 46.9472 -123.8750 30000, "
              "KPDX 1 45.5887 -122.5975 30");
    EXPECT_EQ(log, QStringList{"(FlightPlanner) - can not explode waypoint"});

    // A short destination answers like a short departure; a gap ends the route.
    const QByteArray head = "[flightplan]\ncruising_altitude=24000.000\n"
                            "departure_id=KSEA, N47* 26.94', W122* 18.56', +000433.00\n";
    const QByteArray waypoints = "waypoint.0=, KSEA, , KSEA, A, N47* 26.94', W122* 18.56', +000433.00,\n"
                                 "waypoint.2=K1, SEA, , SEA, V, N47* 26.12', W122* 18.59', +000000.00,\n";
    log.clear();
    plan = CFlightplan();
    EXPECT_FALSE(
        planfile::ReadFS9FlightPlan(Write("short.pln", head + "destination_id=KPDX\n" + waypoints), plan, logTo));
    EXPECT_EQ(log, QStringList{"(Flightplanner) - Not FS9 flight plan"});

    log.clear();
    const QByteArray destination = "destination_id=KPDX, N45* 35.32', W122* 35.85', +000030.00\n";
    ASSERT_TRUE(planfile::ReadFS9FlightPlan(Write("gap.pln", head + destination + waypoints), plan, logTo));
    EXPECT_EQ(plan.cruiseAltitude, 24000);
    EXPECT_EQ(Route(plan.waypoints), "KSEA 1 47.4490 -122.3093 433");
    EXPECT_EQ(log, QStringList{"(FlightPlanner) - can not explode waypoint"});
}

// Version 3 with the count minus one in line 4, a lat/lon row first, tabs and the "0 ----" end row; version
// 1100 with its header and airway column; then rows that cannot be used.
TEST_F(FlightPlanFileTest, XPlanePlansAsXPlaneWritesThemAndRowsThatCannotBeUsed)
{
    CFlightplan plan;
    ASSERT_TRUE(planfile::ReadXPlaneFlightPlan(FixturePath("EDDF-LOWW_xp9.fms"), plan));
    EXPECT_EQ(plan.flightplanType, L"IFR");
    EXPECT_EQ(Ends(plan), L"EDDF-LOWW");
    EXPECT_EQ(Route(plan.waypoints),
              "+50.030_+008.500 4 50.0300 8.5000 0, EDDF 1 50.0333 8.5706 364, "
              "TABUM 4 50.3700 8.9200 24000, RID 4 49.9333 9.5000 24000, "
              "LOWW 1 48.1103 16.5697 600");

    plan = CFlightplan();
    ASSERT_TRUE(planfile::ReadXPlaneFlightPlan(FixturePath("KSEA-KPDX_xp11.fms"), plan));
    EXPECT_EQ(Ends(plan), L"KSEA-KPDX");
    EXPECT_EQ(Route(plan.waypoints),
              "KSEA 1 47.4490 -122.3093 433, SEA 4 47.4354 -122.3098 0, "
              "OLM 4 46.9715 -122.9020 10000, HQ 4 46.9472 -123.8750 10000, "
              "KPDX 1 45.5887 -122.5975 30");

    plan = CFlightplan();
    EXPECT_FALSE(planfile::ReadXPlaneFlightPlan(Write("short.fms", "I\n3 version\n0\n1\n"), plan));
    EXPECT_FALSE(planfile::ReadXPlaneFlightPlan(QStringLiteral("/nonexistent/plan.fms"), plan));
    EXPECT_TRUE(plan.waypoints.empty());
    // Unreadable positions, too few items, no code; two blanks make an empty item (the latitude's place).
    ASSERT_TRUE(planfile::ReadXPlaneFlightPlan(Write("rows.fms",
                                                     "V\n3 version\n0\n99999999999\n11 ABC 0 nan 8.5\n"
                                                     "11 DEF 0 47.1 inf\n11 GHI 0 91.0 8.5\n"
                                                     "11 ONLY FOUR 1\nx JKL 0 47.0 8.0\n"
                                                     "11 MNO 0  47.2 8.2\n11 PQR 0 47.3 8.3\n"),
                                               plan));
    EXPECT_EQ(plan.flightplanType, L"VFR");
    EXPECT_EQ(Route(plan.waypoints), "MNO 4 0.0000 47.2000 0, PQR 4 47.3000 8.3000 0");
    EXPECT_EQ(Ends(plan), L"MNO-PQR");
}

// "&" escaped in the FSX names but world-position quotes raw; an NDB "NDB", "N" and code 2; the alternate
// "Airport", "A" and code 28.
TEST(FlightPlanWriters, GiveFilesAsTheSimulatorsLoadThem)
{
    EXPECT_EQ(planfile::WriteFSXFlightPlan(SeattleToPortland()), ReadBytes(FixturePath("KSEA-KPDX_golden_fsx.pln")));
    EXPECT_EQ(planfile::WriteFS9FlightPlan(SeattleToPortland()), ReadBytes(FixturePath("KSEA-KPDX_golden_fs9.pln")));
    EXPECT_EQ(planfile::WriteXPlaneFlightPlan(SeattleToPortland()), ReadBytes(FixturePath("KSEA-KPDX_golden_xp.fms")));
}

// Whole-second positions, the kinds, the cruising altitude, idents with "%" and a digit, and names with a dash, an
// eth, commas and quotes come back from every format as far as it carries them, however often the plan goes out
// and in again.
TEST_F(FlightPlanFileTest, EveryFormatReadsBackWhatItWrote)
{
    const auto whole
        = [](int degrees, int minutes, int seconds) { return degrees + minutes / 60.0 + seconds / 3600.0; };
    CFlightplan plan;
    plan.departure
        = Point(L"KSEA", whole(47, 26, 56), -whole(122, 18, 34), L"Seattle–Tacoma Intl, \"Sea-Tac\"", 1, 433);
    plan.destination = Point(L"KPDX", whole(45, 35, 19), -whole(122, 35, 51), L"Portland Intl, Höfðabakki", 1, 30);
    plan.waypoints = {plan.departure,
                      Point(L"SEA", whole(47, 26, 7), -whole(122, 18, 35), L"SEA", 5, 31000),
                      Point(L"HQ", whole(46, 56, 50), -whole(123, 52, 30), L"HQ", 6, 31000),
                      Point(L"ELMAA", whole(46, 10, 59), -whole(122, 51, 0), L"ELMAA", 4, 31000),
                      Point(L"TOC%1", whole(46, 0, 11), -whole(122, 53, 9), L"TOC%1", 4, 31000),
                      Point(L"A%2B", whole(45, 50, 2), -whole(122, 44, 41), L"A%2B", 4, 31000),
                      plan.destination};
    plan.cruiseAltitude = 31000;
    const struct
    {
        const char* file;
        QByteArray (*write)(const CFlightplan&);
        bool kindsAndAltitude;
        double tolerance;
        const wchar_t* departureName;
        const wchar_t* destinationName;
    } formats[] = {
        {"KSEA-KPDX.pln", planfile::WriteFSXFlightPlan, true, 1e-6, L"Seattle–Tacoma Intl, \"Sea-Tac\"",
         L"Portland Intl, Höfðabakki"},
        {"KSEA-KPDX_fs9.pln", planfile::WriteFS9FlightPlan, true, 1e-6, L"Seattle-Tacoma Intl, \"Sea-Tac\"",
         L"Portland Intl, Höfðabakki"},
        {"KSEAKPDX.fms", planfile::WriteXPlaneFlightPlan, false, 1e-3, L"KSEA", L"KPDX"},
    };
    for (const auto& format : formats) {
        SCOPED_TRACE(format.file);
        CFlightplan written = plan;
        for (int cycle = 0; cycle < 3; ++cycle) {
            const planfile::PlanFileReading reading
                = planfile::ReadPlanFile(Write(format.file, format.write(written)), 0, nullptr, logTo);
            ASSERT_FALSE(reading.Refused()) << reading.error.toStdString();
            const CFlightplan& read = reading.plan;
            EXPECT_EQ(Ends(read), L"KSEA-KPDX");
            EXPECT_EQ(read.departure.GetName() + L"|" + read.destination.GetName(),
                      std::wstring(format.departureName) + L"|" + format.destinationName);
            EXPECT_EQ(read.cruiseAltitude, format.kindsAndAltitude ? 31000 : 0);
            ASSERT_EQ(read.waypoints.size(), plan.waypoints.size());
            for (std::size_t index = 0; index < plan.waypoints.size(); ++index) {
                const CWaypointWX& expected = plan.waypoints[index];
                const CWaypointWX& point = read.waypoints[index];
                EXPECT_EQ(point.GetIdent(), expected.GetIdent());
                EXPECT_EQ(point.GetType(), format.kindsAndAltitude || expected.GetType() == 1 ? expected.GetType() : 4);
                EXPECT_NEAR(point.GetLatitude(), expected.GetLatitude(), format.tolerance) << cycle;
                EXPECT_NEAR(point.GetLongitude(), expected.GetLongitude(), format.tolerance) << cycle;
            }
            written = read;
        }
    }
}

// The newest simulators name some waypoints by an ICAO block alone and may write 1000000 ft as cruising altitude;
// a position cut short is no position either.
TEST_F(FlightPlanFileTest, WaypointsWithoutAPositionArePlacedAsAirportsOrLeftOut)
{
    const planfile::AirportFinder airports = [](const QString& ident, CWaypointWX& airport) {
        if (ident == "KSEA")
            airport = Point(L"KSEA", 47.449, -122.309306, L"Seattle-Tacoma Intl", 1, 433);
        else if (ident == "KPDX")
            airport = Point(L"KPDX", 45.588722, -122.5975, L"Portland Intl", 1, 30);
        return ident == "KSEA" || ident == "KPDX";
    };
    const auto waypoint = [](const char* ident, const char* type, const char* position = nullptr) {
        return QByteArray("<ATCWaypoint id=\"") + ident + "\"><ATCWaypointType>" + type + "</ATCWaypointType>"
            + (position ? QByteArray("<WorldPosition>") + position + "</WorldPosition>" : QByteArray())
            + "<ICAO><ICAOIdent>" + ident + "</ICAOIdent></ICAO></ATCWaypoint>\n";
    };
    const QByteArray olm = waypoint("OLM", "VOR", "N46° 58' 17.40\",W122° 54' 7.20\",+0.00");
    const QByteArray route = waypoint("KSEA", "Airport") + waypoint("SEA", "VOR") + olm + waypoint("WP1", "User")
        + waypoint("BTG", "VOR", "N45° 44' 51.36\",W122° 35'") + waypoint("KPDX", "Airport");
    const struct
    {
        const char* destination;
        QByteArray waypoints;
        const char* error;
        const char* route;
        QStringList notes;
    } cases[] = {
        {"KPDX",
         route,
         "",
         "KSEA 1 47.4490 -122.3093 433, OLM 5 46.9715 -122.9020 35000, KPDX 1 45.5887 -122.5975 30",
         {"3 waypoints without a position were left out",
          "the cruising altitude of 1000000 ft does not fit the field and was not taken"}},
        // Kinds as some planners write them, in any case.
        {"KPDX",
         waypoint("KSEA", "AIRPORT") + waypoint("OLM", "vor", "N46° 58' 17.40\",W122° 54' 7.20\",+0.00")
             + waypoint("HQ", "Ndb", "N46° 56' 50\",W123° 52' 30\",+0.00") + waypoint("KPDX", "airport"),
         "",
         "KSEA 1 47.4490 -122.3093 433, OLM 5 46.9715 -122.9020 35000, HQ 6 46.9472 -123.8750 35000, "
         "KPDX 1 45.5887 -122.5975 30",
         {"the cruising altitude of 1000000 ft does not fit the field and was not taken"}},
        // A sign behind the hemisphere letter.
        {"KPDX",
         waypoint("KSEA", "Airport") + olm
             + waypoint("ELMAA", "Intersection", "N46° 10' 59\",W-122° 51' 0\",+000000.00")
             + waypoint("KPDX", "Airport"),
         "",
         "KSEA 1 47.4490 -122.3093 433, OLM 5 46.9715 -122.9020 35000, KPDX 1 45.5887 -122.5975 30",
         {"1 waypoint without a position was left out",
          "the cruising altitude of 1000000 ft does not fit the field and was not taken"}},
        {"KXXX", route, "it names no departure and destination airport with a position", "", {}},
        {"KPDX", waypoint("SEA", "VOR") + olm, "it holds fewer than two waypoints with a position", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination);
        const QByteArray file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SimBase.Document Type=\"AceXML\" "
                                "version=\"1,0\"><FlightPlan.FlightPlan><CruisingAlt>1000000</CruisingAlt>"
                                "<DepartureID>KSEA</DepartureID><DestinationID>"
            + QByteArray(c.destination) + "</DestinationID>\n" + c.waypoints
            + "</FlightPlan.FlightPlan></SimBase.Document>\n";
        const planfile::PlanFileReading reading
            = planfile::ReadPlanFile(Write("plan.pln", file), 35000, airports, logTo);
        EXPECT_EQ(reading.error, c.error);
        if (!reading.Refused()) {
            EXPECT_EQ(Route(reading.plan.waypoints), c.route);
            EXPECT_EQ(reading.plan.cruiseAltitude, 35000);
            EXPECT_EQ(Route({reading.plan.departure}), "KSEA 1 47.4490 -122.3093 433");
            EXPECT_EQ(reading.notes, c.notes);
        }
    }
}
