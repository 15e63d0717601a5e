#include "flightplan/airbusxflightplan.h"
#include "flightplan/squawkboxflightplan.h"
#include "tests/flightplan/planfixtures.h"

#include <gtest/gtest.h>

namespace {

aviation::CWaypointWX Point(const wchar_t* ident, const wchar_t* airway = L"", int type = 4)
{
    aviation::WayPoint point(ident, 47.0, -122.0, L"", type, -1);
    point.SetAirway(airway);
    return aviation::CWaypointWX(point, 13.0f, 5.0f, 1013.2f);
}

// KSEA, the en-route waypoints, KPDX.
aviation::CFlightplan Plan(std::vector<aviation::CWaypointWX> enRoute)
{
    aviation::CFlightplan plan;
    plan.departure = Point(L"KSEA", L"", 1);
    plan.destination = Point(L"KPDX", L"", 1);
    plan.alternate = Point(L"KTCM", L"", 1);
    plan.waypoints = std::move(enRoute);
    plan.waypoints.insert(plan.waypoints.begin(), plan.departure);
    plan.waypoints.push_back(plan.destination);
    return plan;
}

} // namespace

TEST(ExportFiles, AirbusXJoinsLegsOnOneAirwayBetweenTheEnRouteWaypoints)
{
    const QTemporaryDir folder;
    const struct
    {
        const char* what;
        std::vector<aviation::CWaypointWX> enRoute;
        QByteArray segments;
    } cases[] = {
        {"imported plan", {Point(L"SEA"), Point(L"OLM")}, "Airway1=DCT\nAirway1FROM=SEA\nAirway1TO=OLM\n"},
        {"airway change at the last en-route leg",
         {Point(L"SEA", L"J5"), Point(L"BTG", L"J5"), Point(L"OLM", L"J5"), Point(L"UBG", L"V23")},
         "Airway1=J5\nAirway1FROM=SEA\nAirway1TO=UBG\n"},
        {"segment open at the end",
         {Point(L"SEA", L"J5"), Point(L"BTG", L"J5"), Point(L"OLM", L"J5"), Point(L"UBG", L"J5")},
         "Airway1=J5\nAirway1FROM=SEA\nAirway1TO=UBG\n"},
        {"airway then direct legs",
         {Point(L"SEA", L"V23"), Point(L"OLM", L"V23"), Point(L"BTG"), Point(L"UBG")},
         "Airway1=V23\nAirway1FROM=SEA\nAirway1TO=BTG\nAirway2=DCT\nAirway2FROM=BTG\nAirway2TO=UBG\n"},
        {"airports only", {}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AirbusXFlightplan::Write(folder.filePath("KSEAKPDX01.flp"), Plan(c.enRoute)),
                  AirbusXFlightplan::Result::Written)
            << c.what;
        EXPECT_EQ(ReadBytes(folder.filePath("KSEAKPDX01.flp")),
                  "[CoRte]\n" + c.segments + "ArptArr=KPDX\nArptDep=KSEA\nRwyArr=\nRwyDep=\nSID=\n")
            << c.what;
    }
}

TEST(ExportFiles, SquawkBoxReplacesTheFileWithTheTextsAsTypedInKeyOrder)
{
    const QTemporaryDir folder;
    const QString path = WriteFile(folder, "KSEA-KPDX.sfp", "[SBFlightPlan]\nPilotName=Old Entry\n[Other]\nKey=1\n");
    ASSERT_TRUE(SquawkBoxFlightplan::Write(path, Plan({Point(L"SEA")}), "FL350", "SEA J5 OLM"));
    EXPECT_EQ(ReadBytes(path),
              "[SBFlightPlan]\nAirspeed=0\nAlternate=KTCM\nAltitude=FL350\nArrival=KPDX\nDeparture=KSEA\n"
              "FlightHours=0\nFlightMinutes=0\nFuelHours=0\nFuelMinutes=0\nHeavy=0\nRemarks=\nRoute=SEA J5 OLM\n"
              "Suffix=\nType=0\nVoice=0\n");

    // Below a file nothing can be created: reported, not counted as written.
    const QString notAFolder = WriteFile(folder, "export", "");
    EXPECT_EQ(AirbusXFlightplan::Write(notAFolder + "/KSEAKPDX01.flp", Plan({})),
              AirbusXFlightplan::Result::NotWritten);
    EXPECT_FALSE(SquawkBoxFlightplan::Write(notAFolder + "/KSEA-KPDX.sfp", Plan({}), "35000", ""));
    EXPECT_TRUE(ReadBytes(notAFolder).isEmpty());
}
