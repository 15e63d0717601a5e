#include "flight/airbusxflightplan.h"
#include "flight/squawkboxflightplan.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

aviation::CWaypointWX Point(const wchar_t* ident, const wchar_t* airway = L"", int type = 4)
{
    aviation::WayPoint point(ident, 47.0, -122.0, L"", type, -1);
    point.SetAirway(airway);
    return aviation::CWaypointWX(point, 13.0f, 5.0f, 1013.2f);
}

aviation::CFlightplan Plan(std::vector<aviation::CWaypointWX> waypoints)
{
    aviation::CFlightplan plan;
    plan.waypoints = std::move(waypoints);
    if (!plan.waypoints.empty()) {
        plan.departure = plan.waypoints.front();
        plan.destination = plan.waypoints.back();
    }
    plan.alternate = Point(L"KTCM", L"", 1);
    return plan;
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QByteArray AirbusXFile(const QByteArray& segments)
{
    return "[CoRte]\n" + segments + "ArptArr=KPDX\nArptDep=KSEA\nRwyArr=\nRwyDep=\nSID=\n";
}

class ExportFilesTest : public ::testing::Test
{
protected:
    QString Path(const char* name) const { return m_folder.filePath(name); }

private:
    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ExportFilesTest, AirbusXJoinsLegsOnOneAirwayBetweenTheEnRouteWaypoints)
{
    const auto airport = [](const wchar_t* ident) { return Point(ident, L"", 1); };
    const struct
    {
        const char* what;
        std::vector<aviation::CWaypointWX> route;
        QByteArray segments;
    } cases[] = {
        {"imported plan",
         {airport(L"KSEA"), Point(L"SEA"), Point(L"OLM"), airport(L"KPDX")},
         "Airway1=DCT\nAirway1FROM=SEA\nAirway1TO=OLM\n"},
        {"airway change at the last en-route leg",
         {airport(L"KSEA"), Point(L"SEA", L"J5"), Point(L"BTG", L"J5"), Point(L"OLM", L"J5"), Point(L"UBG", L"V23"),
          airport(L"KPDX")},
         "Airway1=J5\nAirway1FROM=SEA\nAirway1TO=UBG\n"},
        {"segment open at the end",
         {airport(L"KSEA"), Point(L"SEA", L"J5"), Point(L"BTG", L"J5"), Point(L"OLM", L"J5"), Point(L"UBG", L"J5"),
          airport(L"KPDX")},
         "Airway1=J5\nAirway1FROM=SEA\nAirway1TO=UBG\n"},
        {"airway then direct legs",
         {airport(L"KSEA"), Point(L"SEA", L"V23"), Point(L"OLM", L"V23"), Point(L"BTG"), Point(L"UBG"),
          airport(L"KPDX")},
         "Airway1=V23\nAirway1FROM=SEA\nAirway1TO=BTG\nAirway2=DCT\nAirway2FROM=BTG\nAirway2TO=UBG\n"},
        {"airports only", {airport(L"KSEA"), airport(L"KPDX")}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AirbusXFlightplan::Write(Path("KSEAKPDX01.flp"), Plan(c.route)), AirbusXFlightplan::Result::Written)
            << c.what;
        EXPECT_EQ(Read(Path("KSEAKPDX01.flp")), AirbusXFile(c.segments)) << c.what;
    }
}

TEST_F(ExportFilesTest, SquawkBoxHoldsTheAirportsAndThePageTextsInKeyOrder)
{
    QFile old(Path("KSEA-KPDX.sfp"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("[SBFlightPlan]\nPilotName=Old Entry\n[Other]\nKey=1\n");
    old.close();
    const auto plan = Plan({Point(L"KSEA", L"", 1), Point(L"SEA"), Point(L"KPDX", L"", 1)});
    // The altitude goes out as typed, number or not.
    ASSERT_TRUE(SquawkBoxFlightplan::Write(Path("KSEA-KPDX.sfp"), plan, "FL350", "SEA J5 OLM"));
    EXPECT_EQ(Read(Path("KSEA-KPDX.sfp")),
              "[SBFlightPlan]\nAirspeed=0\nAlternate=KTCM\nAltitude=FL350\nArrival=KPDX\nDeparture=KSEA\n"
              "FlightHours=0\nFlightMinutes=0\nFuelHours=0\nFuelMinutes=0\nHeavy=0\nRemarks=\nRoute=SEA J5 OLM\n"
              "Suffix=\nType=0\nVoice=0\n");
}

TEST_F(ExportFilesTest, UnwritableFilesAreReportedNotWritten)
{
    // A folder setting that names a file: nothing can be created below it.
    QFile notAFolder(Path("export"));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    const auto plan = Plan({Point(L"KSEA", L"", 1), Point(L"KPDX", L"", 1)});
    EXPECT_EQ(AirbusXFlightplan::Write(Path("export/KSEAKPDX01.flp"), plan), AirbusXFlightplan::Result::NotWritten);
    EXPECT_FALSE(SquawkBoxFlightplan::Write(Path("export/KSEA-KPDX.sfp"), plan, "35000", ""));
    EXPECT_EQ(notAFolder.size(), 0);
}
