// The simulators' flight plan files: world-position texts, the three writers against files the simulators load,
// and the three readers on files as the simulators write them.
#include "flight/fs9flightplanfile.h"
#include "flight/fsxflightplanfile.h"
#include "flight/worldposition.h"
#include "flight/xplaneflightplanfile.h"
#include "platform/debugoutput.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cmath>

using aviation::CFlightplan;
using aviation::CWaypointWX;
using aviation::Position;
using aviation::WayPoint;

namespace {

QString FixturePath(const char* name)
{
    return QStringLiteral(AEROVANE_TEST_DATA_DIR "/flightplans/") + QLatin1String(name);
}

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

struct ReadPoint
{
    std::wstring ident;
    int type;
    double latitude;
    double longitude;
    int altitude;
};

void ExpectRoute(const CFlightplan& plan, const std::vector<ReadPoint>& expected)
{
    ASSERT_EQ(plan.waypoints.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        const CWaypointWX& point = plan.waypoints[index];
        SCOPED_TRACE(index);
        EXPECT_EQ(point.GetIdent(), expected[index].ident);
        EXPECT_EQ(point.GetType(), expected[index].type);
        EXPECT_NEAR(point.GetLatitude(), expected[index].latitude, 1e-4);
        EXPECT_NEAR(point.GetLongitude(), expected[index].longitude, 1e-4);
        EXPECT_EQ(point.GetAltitude(), expected[index].altitude);
    }
}

// The FSX reader as the open operation starts it: on the start element of the plan.
CFlightplan ReadFSX(const QByteArray& bytes)
{
    CFlightplan plan;
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("FlightPlan.FlightPlan"))
            planfile::ReadFSXFlightPlan(reader, plan);
    }
    return plan;
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FlightPlanFileTest : public ::testing::Test
{
protected:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }

    QStringList log;
    planfile::LogFunction logTo = [this](const QString& text) { log << text; };
    platform::ScopedDebugCapture debug;

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST(WorldPosition, TextsReadAsTheSimulatorsWriteThem)
{
    platform::ScopedDebugCapture debug;
    using planfile::CoordinateFromText;
    EXPECT_NEAR(CoordinateFromText(QStringLiteral("S33° 56' 46\""), planfile::kDegreeSign), -33.946111, 1e-6);
    EXPECT_NEAR(CoordinateFromText(QStringLiteral("W118* 24.5'"), planfile::kFS9DegreeMark), -118.408333, 1e-6);
    EXPECT_NEAR(CoordinateFromText(QStringLiteral(" N47° 26' 56.40\""), planfile::kDegreeSign), 47.449, 1e-6);

    const struct
    {
        const char* text;
        double latitude;
        double longitude;
        int altitude;
    } cases[] = {
        {"N47* 26.99', W122* 18.56', +000433.00", 47.449833, -122.309333, 433},
        {"N47° 26' 56.40\",W122° 18' 33.50\",+000433.60", 47.449, -122.309306, 434},
        // One mark per coordinate: the latitude keeps its minutes beside a degree-sign longitude.
        {"N47* 26' 56\",W122° 18' 34\",+433.00", 47.448889, -122.309444, 433},
        {"S33° 52' 7\",E151° 12' 33\",-1.00", -33.868611, 151.209167, -1},
        {"N47* 26.99', W122* 18.56'", 0.0, 0.0, 0},
        {"", 0.0, 0.0, 0},
        {"N47* 26.99', W122* 18.56', +1e300", 47.449833, -122.309333, 0},
    };
    for (const auto& c : cases) {
        const WayPoint point = planfile::WayPointFromText(QString::fromUtf8(c.text));
        EXPECT_NEAR(point.GetLatitude(), c.latitude, 1e-6) << c.text;
        EXPECT_NEAR(point.GetLongitude(), c.longitude, 1e-6) << c.text;
        EXPECT_EQ(point.GetAltitude(), c.altitude) << c.text;
        EXPECT_TRUE(point.GetIdent().empty() && point.GetName().empty() && point.GetType() == 0);
    }
}

TEST(WorldPosition, PositionsAreWrittenInWholeTruncatedUnits)
{
    EXPECT_EQ(planfile::WayPointToText(WayPoint(L"", -33.8688, 151.2093, L"", 0, -1), planfile::kDegreeSign, false),
              QString::fromUtf8("S33° 52' 7\",E151° 12' 33\",-1.00"));
    EXPECT_EQ(planfile::WayPointToText(WayPoint(L"", 47.5, 8.5, L"", 0, 1372), planfile::kFS9DegreeMark, true),
              QStringLiteral("N47* 30' 0\", E8* 30' 0\", +1372.00"));
    EXPECT_EQ(planfile::DegreesToText(12.3456789, planfile::kDegreeSign), QString::fromUtf8("12° 20' 44\""));
}

// Unreadable numbers: Qt takes "nan" and "inf" for numbers; neither they nor points off the globe are readable.
TEST(WorldPosition, NotANumberAndOffTheGlobeAreUnreadable)
{
    platform::ScopedDebugCapture debug;
    for (const char* text : {"Nnan* 0' 0\", E8* 30' 0\", +0.00", "N47* 0' 0\", Einf* 0' 0\", +0.00",
                             "N91* 0' 0\", E8* 0' 0\", +0.00", "N47* 0' 0\", W180* 30' 0\", +0.00"})
        EXPECT_FALSE(planfile::IsReadablePosition(planfile::WayPointFromText(QString::fromUtf8(text)))) << text;
    EXPECT_TRUE(planfile::IsReadablePosition(Position(-90.0, 180.0)));
}

TEST(FlightPlanWriters, FSXFileAsTheSimulatorLoadsIt)
{
    const QByteArray expected = R"(<?xml version="1.0" encoding="UTF-8"?>
<SimBase.Document Type="AceXML" version="1,0">
    <Descr>AceXML Document</Descr>
    <FlightPlan.FlightPlan>
        <Title>KSEA to KPDX</Title>
        <FPType>IFR</FPType>
        <RouteType>HighAlt</RouteType>
        <CruisingAlt>30000</CruisingAlt>
        <DepartureID>KSEA</DepartureID>
        <DepartureLLA>N47° 26' 56",W122° 18' 33",+433.00</DepartureLLA>
        <DestinationID>KPDX</DestinationID>
        <DestinationLLA>N45° 35' 19",W122° 35' 50",+30.00</DestinationLLA>
        <DeparturePosition>1</DeparturePosition>
        <Descr>KSEA, KPDX</Descr>
        <DepartureName>Seattle &amp; Tacoma Intl</DepartureName>
        <DestinationName>Portland Intl</DestinationName>
        <ATCWaypoint id="KSEA">
            <ATCWaypointType>Airport</ATCWaypointType>
            <WorldPosition>N47° 26' 56",W122° 18' 33",+433.00</WorldPosition>
            <ICAO>
                <ICAORegion>KK</ICAORegion>
                <ICAOIdent>KSEA</ICAOIdent>
            </ICAO>
        </ATCWaypoint>
        <ATCWaypoint id="SEA">
            <ATCWaypointType>VOR</ATCWaypointType>
            <WorldPosition>N47° 26' 7",W122° 18' 35",+30000.00</WorldPosition>
            <ICAO>
                <ICAORegion>KK</ICAORegion>
                <ICAOIdent>SEA</ICAOIdent>
            </ICAO>
        </ATCWaypoint>
        <ATCWaypoint id="HQ">
            <ATCWaypointType>NDB</ATCWaypointType>
            <WorldPosition>N46° 56' 49",W123° 52' 29",+30000.00</WorldPosition>
            <ICAO>
                <ICAORegion>KK</ICAORegion>
                <ICAOIdent>HQ</ICAOIdent>
            </ICAO>
        </ATCWaypoint>
        <ATCWaypoint id="KPDX">
            <ATCWaypointType>Airport</ATCWaypointType>
            <WorldPosition>N45° 35' 19",W122° 35' 50",+30.00</WorldPosition>
            <ICAO>
                <ICAORegion>KK</ICAORegion>
                <ICAOIdent>KPDX</ICAOIdent>
            </ICAO>
        </ATCWaypoint>
        <ATCWaypoint id="KOLM">
            <ATCWaypointType>Airport</ATCWaypointType>
            <WorldPosition>N46° 58' 9",W122° 54' 9",+209.00</WorldPosition>
            <ICAO>
                <ICAORegion>KK</ICAORegion>
                <ICAOIdent>KOLM</ICAOIdent>
            </ICAO>
        </ATCWaypoint>
    </FlightPlan.FlightPlan>
</SimBase.Document>)";
    EXPECT_EQ(planfile::WriteFSXFlightPlan(SeattleToPortland()), expected);
}

TEST(FlightPlanWriters, FS2004AndXPlaneFilesAsTheSimulatorsLoadThem)
{
    EXPECT_EQ(planfile::WriteFS9FlightPlan(SeattleToPortland()),
              QByteArray("[flightplan]\n"
                         "AppVersion=9.1.40901\n"
                         "title= KSEA to KPDX\n"
                         "description=KSEA, KPDX\n"
                         "type=IFR\n"
                         "routetype=1\n"
                         "cruising_altitude=30000\n"
                         "departure_id=KSEA, N47* 26' 56\", W122* 18' 33\", +433.00\n"
                         "departure_position=1\n"
                         "destination_id=KPDX, N45* 35' 19\", W122* 35' 50\", +30.00\n"
                         "departure_name=Seattle & Tacoma Intl\n"
                         "destination_name=Portland Intl\n"
                         "alternate_name=Olympia Rgnl\n"
                         "waypoint.0=KK, KSEA, ,KSEA, A, N47* 26' 56\", W122* 18' 33\", +433.00\n"
                         "waypoint.1=KK, SEA, ,SEA, V, N47* 26' 7\", W122* 18' 35\", +30000.00\n"
                         "waypoint.2=KK, HQ, ,HQ, N, N46* 56' 49\", W123* 52' 29\", +30000.00\n"
                         "waypoint.3=KK, KPDX, ,KPDX, A, N45* 35' 19\", W122* 35' 50\", +30.00\n"
                         "waypoint.4=KK, KOLM, ,KOLM, A, N46* 58' 9\", W122* 54' 9\", +209.00\n"));
    EXPECT_EQ(planfile::WriteXPlaneFlightPlan(SeattleToPortland()),
              QByteArray("I\n3 version\n0\n5\n"
                         "1 KSEA 0 47.449 -122.309\n"
                         "3 SEA 0 47.4354 -122.31\n"
                         "2 HQ 0 46.9472 -123.875\n"
                         "1 KPDX 0 45.5887 -122.597\n"
                         "28 KOLM 0 46.9694 -122.903\n"));
}

TEST_F(FlightPlanFileTest, FSXPlanAsTheSimulatorWritesIt)
{
    const CFlightplan plan = ReadFSX(ReadBytes(FixturePath("KSEA-KPDX_fsx.pln")));
    EXPECT_EQ(plan.title, L"KSEA to KPDX");
    EXPECT_EQ(plan.flightplanType, L"IFR");
    EXPECT_EQ(plan.routeType, L"LowAlt");
    EXPECT_EQ(plan.cruiseAltitude, 30000);
    EXPECT_EQ(plan.departure.GetIdent(), L"KSEA");
    EXPECT_EQ(plan.departure.GetName(), L"Seattle-Tacoma Intl");
    EXPECT_EQ(plan.departure.GetAltitude(), 433);
    EXPECT_EQ(plan.destination.GetIdent(), L"KPDX");
    EXPECT_NEAR(plan.destination.GetLatitude(), 45.588722, 1e-6);
    ExpectRoute(plan, {{L"KSEA", 1, 47.449, -122.309306, 0},
                       {L"SEA", 5, 47.435372, -122.309781, 30000},
                       {L"WP1", 4, 46.5, -122.75, 30000},
                       {L"BTG", 5, 45.7476, -122.5918, 30000},
                       {L"KPDX", 1, 45.588722, -122.5975, 0}});
}

TEST_F(FlightPlanFileTest, FS2004PlanAsTheSimulatorWritesIt)
{
    CFlightplan plan;
    ASSERT_TRUE(planfile::ReadFS9FlightPlan(Write("sea.pln", ReadBytes(FixturePath("KSEA-KPDX_fs9.pln"))), plan, logTo));
    EXPECT_EQ(plan.title, L"KSEA to KPDX");
    EXPECT_EQ(plan.cruiseAltitude, 30000);
    EXPECT_EQ(plan.departure.GetIdent(), L"KSEA");
    EXPECT_EQ(plan.departure.GetAltitude(), 433);
    EXPECT_EQ(plan.destination.GetName(), L"Portland Intl");
    ExpectRoute(plan, {{L"KSEA", 1, 47.449, -122.309333, 433},
                       {L"SEA", 5, 47.435333, -122.309833, 30000},
                       {L"OLM", 5, 46.9715, -122.902, 30000},
                       {L"HQ", 6, 46.947167, -123.875, 30000},
                       {L"KPDX", 1, 45.588667, -122.5975, 30}});
    EXPECT_EQ(plan.waypoints[1].GetName(), L"SEA");
    EXPECT_EQ(log, QStringList{"(FlightPlanner) - can not explode waypoint"});
}

TEST_F(FlightPlanFileTest, FS2004ListsTooShortAreNoPlanAndAGapEndsTheRoute)
{
    const QByteArray head = "[flightplan]\ncruising_altitude=24000.000\n"
                            "departure_id=KSEA, N47* 26.94', W122* 18.56', +000433.00\n";
    const QByteArray first = "waypoint.0=, KSEA, , KSEA, A, N47* 26.94', W122* 18.56', +000433.00,\n";
    const QByteArray third = "waypoint.2=K1, SEA, , SEA, V, N47* 26.12', W122* 18.59', +000000.00,\n";
    const QByteArray destination = "destination_id=KPDX, N45* 35.32', W122* 35.85', +000030.00\n";

    CFlightplan plan;
    EXPECT_FALSE(planfile::ReadFS9FlightPlan(Write("nodest.pln", head + "destination_id=KPDX\n" + first), plan, logTo));
    EXPECT_FALSE(planfile::ReadFS9FlightPlan(Write("written.pln", planfile::WriteFS9FlightPlan(SeattleToPortland())),
                                             plan, logTo));
    EXPECT_EQ(log, QStringList({"(Flightplanner) - Not FS9 flight plan", "(Flightplanner) - Not FS9 flight plan"}));

    log.clear();
    ASSERT_TRUE(planfile::ReadFS9FlightPlan(Write("gap.pln", head + destination + first + third), plan, logTo));
    EXPECT_EQ(plan.cruiseAltitude, 24000);
    ExpectRoute(plan, {{L"KSEA", 1, 47.449, -122.309333, 433}});
    EXPECT_EQ(log, QStringList{"(FlightPlanner) - can not explode waypoint"});
}

TEST_F(FlightPlanFileTest, XPlanePlansOfBothVersionsAsXPlaneWritesThem)
{
    CFlightplan plan;
    ASSERT_TRUE(planfile::ReadXPlaneFlightPlan(FixturePath("EDDF-LOWW_xp9.fms"), plan));
    EXPECT_EQ(plan.flightplanType, L"IFR");
    EXPECT_EQ(plan.departure.GetIdent(), L"EDDF");
    EXPECT_EQ(plan.destination.GetIdent(), L"LOWW");
    ExpectRoute(plan, {{L"+50.030_+008.500", 4, 50.03, 8.5, 0},
                       {L"EDDF", 1, 50.033333, 8.570556, 364},
                       {L"TABUM", 4, 50.37, 8.92, 24000},
                       {L"RID", 4, 49.933333, 9.5, 24000},
                       {L"LOWW", 1, 48.110278, 16.569722, 600}});

    plan = CFlightplan();
    ASSERT_TRUE(planfile::ReadXPlaneFlightPlan(FixturePath("KSEA-KPDX_xp11.fms"), plan));
    EXPECT_EQ(plan.departure.GetIdent(), L"KSEA");
    EXPECT_EQ(plan.destination.GetIdent(), L"KPDX");
    ExpectRoute(plan, {{L"KSEA", 1, 47.449, -122.309306, 433},
                       {L"SEA", 4, 47.435372, -122.309781, 0},
                       {L"OLM", 4, 46.9715, -122.902, 10000},
                       {L"HQ", 4, 46.947222, -123.875, 10000},
                       {L"KPDX", 1, 45.588722, -122.5975, 30}});
}

TEST_F(FlightPlanFileTest, XPlaneRowsThatCannotBeUsedAreSkipped)
{
    CFlightplan plan;
    plan.title = L"kept";
    EXPECT_FALSE(planfile::ReadXPlaneFlightPlan(Write("short.fms", "I\n3 version\n0\n1\n"), plan));
    EXPECT_FALSE(planfile::ReadXPlaneFlightPlan(QStringLiteral("/nonexistent/plan.fms"), plan));
    EXPECT_TRUE(plan.waypoints.empty());

    ASSERT_TRUE(planfile::ReadXPlaneFlightPlan(Write("rows.fms", "V\n3 version\n0\n99999999999\n"
                                                                 "11 ABC 0 nan 8.5\n"
                                                                 "11 DEF 0 47.1 inf\n"
                                                                 "11 GHI 0 91.0 8.5\n"
                                                                 "11 ONLY FOUR 1\n"
                                                                 "x JKL 0 47.0 8.0\n"
                                                                 "11 MNO 0  47.2 8.2\n"
                                                                 "11 PQR 0 47.3 8.3\n"),
                                               plan));
    EXPECT_EQ(plan.flightplanType, L"VFR");
    // Two blanks make an empty item: the latitude reads 0 and the longitude comes from the latitude's place.
    ExpectRoute(plan, {{L"MNO", 4, 0.0, 47.2, 0}, {L"PQR", 4, 47.3, 8.3, 0}});
    EXPECT_EQ(plan.departure.GetIdent(), L"MNO");
    EXPECT_EQ(plan.destination.GetIdent(), L"PQR");
}

TEST(FlightPlanRoundTrips, FSXAndXPlaneFilesKeepTheRoute)
{
    platform::ScopedDebugCapture debug;
    const CFlightplan written = SeattleToPortland();
    const CFlightplan fsx = ReadFSX(planfile::WriteFSXFlightPlan(written));
    EXPECT_EQ(fsx.cruiseAltitude, 30000);
    EXPECT_EQ(fsx.departure.GetName(), L"Seattle & Tacoma Intl");
    EXPECT_EQ(fsx.destination.GetIdent(), L"KPDX");
    ExpectRoute(fsx, {{L"KSEA", 1, 47.448889, -122.309167, 0},
                      {L"SEA", 5, 47.435278, -122.309722, 30000},
                      {L"HQ", 6, 46.946944, -123.874722, 30000},
                      {L"KPDX", 1, 45.588611, -122.597222, 0},
                      {L"KOLM", 1, 46.969167, -122.9025, 0}});

    QTemporaryDir dir;
    const QString path = dir.filePath("KSEAKPDX.fms");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(planfile::WriteXPlaneFlightPlan(written));
    file.close();
    CFlightplan xplane;
    ASSERT_TRUE(planfile::ReadXPlaneFlightPlan(path, xplane));
    EXPECT_EQ(xplane.departure.GetIdent(), L"KSEA");
    EXPECT_EQ(xplane.destination.GetIdent(), L"KPDX");
    ExpectRoute(xplane, {{L"KSEA", 1, 47.449, -122.309, 0},
                         {L"SEA", 4, 47.4354, -122.31, 0},
                         {L"HQ", 4, 46.9472, -123.875, 0},
                         {L"KPDX", 1, 45.5887, -122.597, 0},
                         {L"KOLM", 4, 46.9694, -122.903, 0}});
}

// Damaged files: each reader ends with what it could read and never reads past the data.
TEST_F(FlightPlanFileTest, DamagedFilesAreReadAsFarAsTheyGo)
{
    const QByteArray fsx = ReadBytes(FixturePath("KSEA-KPDX_fsx.pln"));
    const CFlightplan cut = ReadFSX(fsx.left(fsx.indexOf("<ATCWaypoint id=\"BTG\">") + 60));
    ExpectRoute(cut, {{L"KSEA", 1, 47.449, -122.309306, 0},
                      {L"SEA", 5, 47.435372, -122.309781, 30000},
                      {L"WP1", 4, 46.5, -122.75, 30000}});
    EXPECT_TRUE(debug.Contains("TabFlightplanner: XMLError - "));

    QByteArray binary;
    for (int index = 0; index < 4096; ++index)
        binary.append(static_cast<char>((index * 7919) % 256));
    for (const QByteArray& bytes : {QByteArray(), binary, fsx.left(200), QByteArray("[flightplan]\n\n\n\n\n\n\n")}) {
        CFlightplan plan;
        ReadFSX(bytes);
        planfile::ReadFS9FlightPlan(Write("damaged.pln", bytes), plan, logTo);
        planfile::ReadXPlaneFlightPlan(Write("damaged.fms", bytes), plan);
        for (const CWaypointWX& point : plan.waypoints)
            EXPECT_TRUE(planfile::IsReadablePosition(point));
    }
}
