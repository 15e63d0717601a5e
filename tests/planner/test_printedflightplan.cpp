#include "planner/tab_flightplanner_print.h"
#include "plannerprompter.h"
#include "tests/app/recordinglauncher.h"
#include "tests/flightplan/planfixtures.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <cmath>

using aviation::CFlightplan;
using aviation::CWaypointWX;
using aviation::weather::CWind;
using flightplanner::FlightPlanHtml;

namespace {

// Great-circle nautical miles per degree of latitude on the planner's earth.
const double kNmPerDegree = 6378.137 / 1.852 * M_PI / 180.0;
const wchar_t* const kSeattleMetar = L"KSEA 221853Z 22007KT 10SM SCT005 BKN030 09/08 A2977 RMK AO2 SLP088";
const wchar_t* const kPortlandMetar = L"KPDX 221853Z 26006KT 10SM FEW025 BKN030 12/08 A2980 RMK AO2 SLP091";

// A route point on the meridian of 122° W, so that its legs are whole parts of a degree.
CWaypointWX Point(const wchar_t* ident, double latitude, int type, int altitude, const CWind& wind, float temperature,
                  int groundSpeed, int minutes, const wchar_t* metar)
{
    CWaypointWX point(ident, {latitude, -122.0}, L"", type, altitude, temperature, 5.0f, 1013.2f);
    point.SetWind(wind);
    point.SetTemperature(temperature);
    point.SetTas(groundSpeed > 0 ? 450 : 0);
    point.SetGroundSpeed(groundSpeed);
    point.SetLegTime(minutes);
    point.SetMetar(metar);
    return point;
}

CFlightplan SeattlePortland()
{
    CFlightplan plan;
    plan.departure = Point(L"KSEA", 45.0, 1, 433, CWind(220.0, 7.0), 9.0f, 0, 0, kSeattleMetar);
    plan.departure.SetName(L"Seattle-Tacoma Intl");
    plan.destination = Point(L"KPDX", 45.5, 1, 31, CWind(), -99.0f, 0, 0, kPortlandMetar);
    plan.destination.SetName(L"Portland Intl");
    plan.alternate.SetName(L"Spokane Felts & Field");
    CWaypointWX olympia = Point(L"OLM", 46.0, 5, 35000, CWind(5.0, 12.4), -45.3f, 440, 45, kSeattleMetar);
    olympia.WindCorrectionHeading(0.0, 450.0, CWind(5.0, 12.4));
    olympia.SetGroundSpeed(440);
    plan.waypoints = {plan.departure, olympia, plan.destination};
    plan.waypoints.back().SetTas(450);
    return plan;
}

flightplanner::PrintedFields KilogramFields()
{
    return {QStringLiteral("220°/3 kt"), "453", "113", "680", "226", "1472", false};
}

QString ToolOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

} // namespace

TEST(PrintedFlightPlan, HtmlHoldsTitleAirportsLegsMetarsAndFuel)
{
    CFlightplan plan = SeattlePortland();
    plan.alternate = CWaypointWX(L"KGEG", {47.62, -117.53}, L"Spokane Intl & Felts", 2, 2376, 13.0f, 5.0f, 1013.2f);
    EXPECT_EQ(FlightPlanHtml(plan, KilogramFields()),
              "<center><h2>Aerovane-FP</h2> <b style='color:red;'>NOT FOR REAL WORLD NAVIGATION</b></center>"
              "Departure: <b>KSEA</b>, Seattle-Tacoma Intl<br>Destination: <b>KPDX</b>, Portland Intl<br>"
              "Alternate: <b>KGEG</b>, Spokane Intl &amp; Felts<br>"
              "<table border='0' rules='all' cellpadding='5' width='100%' style='border-collapse: collapse;'>"
              "<thead><tr><th width='9%'>Wayp</th><th width='14%'>Coords</th><th width='10%'>Type</th>"
              "<th width='8%'>Alt</th><th width='6%'>Dir</th><th width='7%'>Dist</th><th width='11%'>Wind</th>"
              "<th width='7%'>Temp</th><th width='6%'>Hdg</th><th width='7%'>TAS</th><th width='7%'>GS</th>"
              "<th width='8%'>Time</th></tr></thead><tbody>"
              "<tr><td>KSEA</td><td>45.00, -122.00</td><td>Airport</td><td>433ft</td><td>-</td><td>-</td>"
              "<td>220°/7kt</td><td>9°C</td><td>-</td><td>-</td><td>-</td><td>-</td></tr>"
              "<tr><td>OLM</td><td>46.00, -122.00</td><td>VOR</td><td>35000ft</td><td>0°</td><td>60 NM</td>"
              "<td>005°/12kt</td><td>-45°C</td><td>0°</td><td>450 kt</td><td>440 kt</td><td>00:45</td></tr>"
              "<tr><td>KPDX</td><td>45.50, -122.00</td><td>Airport</td><td>31ft</td><td>180°</td><td>30 NM</td>"
              "<td>n/a</td><td>n/a</td><td>0°</td><td>450 kt</td><td>0 kt</td><td>n/a</td></tr>"
              "<tr style='font-weight:bold;'><td></td><td></td><td></td><td></td><td></td><td>90NM</td>"
              "<td>220°/3 kt</td><td></td><td></td><td></td><td></td><td>00:45</td></tr></tbody></table><br>"
              "<h3>Metar</h3>KSEA 221853Z 22007KT 10SM SCT005 BKN030 09/08 A2977 RMK AO2 SLP088<br>"
              "KPDX 221853Z 26006KT 10SM FEW025 BKN030 12/08 A2980 RMK AO2 SLP091<br>"
              "<h3>Fuel</h3><table><tr><td>Fuel Route:</td><td>453 kg</td></tr>"
              "<tr><td>Fuel Taxi:</td><td>113 kg</td></tr><tr><td>Fuel Holding:</td><td>680 kg</td></tr>"
              "<tr><td>Fuel Extra:</td><td>226 kg</td></tr>"
              "<tr><td><b>Fuel Total:</b></td><td><b>1472 kg</b></td></tr></table>");
}

TEST(PrintedFlightPlan, LegsAndTotalsRoundAsPrinted)
{
    CFlightplan plan = SeattlePortland();
    plan.waypoints[1] = Point(L"BTG", 45.0 + 100.4 / kNmPerDegree, 5, 35000, {}, 0.0f, 440, 45, L"");
    plan.waypoints[2] = Point(L"KPDX", 45.0 + 300.8 / kNmPerDegree, 1, 31, {}, 0.0f, 440, 30, L"");
    const QString html = FlightPlanHtml(plan, {});
    for (const char* cell : {"100 NM", "200 NM", "00:45", "00:30", "300NM", "01:15"})
        EXPECT_TRUE(html.contains(QStringLiteral("<td>%1</td>").arg(cell))) << cell;
}

TEST(PrintedFlightPlan, TenWaypointsFitOnePageWithEveryHeaderOnOneLine)
{
    CFlightplan plan = SeattlePortland();
    plan.waypoints.resize(1);
    for (const wchar_t* fix : {L"SEA", L"OLM", L"TOU", L"UBG", L"BTG", L"LAVAE", L"HQM", L"BOTYS", L"KPDX"})
        plan.waypoints.push_back(Point(fix, 45.0 + plan.waypoints.size() * 0.1, 4, 35000, CWind(260.0, 45.0), -52.0f,
                                       431, 8, kPortlandMetar));
    QTemporaryDir folder;
    const QString path = folder.filePath("lastFP.pdf");
    ASSERT_EQ(flightplanner::WritePdf(flightplanner::FlightPlanBlocks(plan, KilogramFields()), path, {}),
              flightplanner::PrintResult::Printed);

    EXPECT_TRUE(ToolOutput("pdfinfo", {path}).contains(QRegularExpression("Pages:\\s+1\\n")));
    const QString text = ToolOutput("pdftotext", {"-layout", path, "-"});
    EXPECT_TRUE(text.contains("NOT FOR REAL WORLD NAVIGATION"));
    for (const CWaypointWX& point : plan.waypoints)
        EXPECT_TRUE(text.contains(QString::fromStdWString(point.GetIdent())));
    EXPECT_TRUE(text.contains(QRegularExpression("Wayp +Coords +Type +Alt +Dir +Dist +Wind +Temp +Hdg +TAS +GS +Time")))
        << text.toStdString();
}

class PrintFPTest : public PlannerPageTest
{
protected:
    const QString pdf = dir.filePath("lastFP.pdf");
    RecordingLauncher launcher;
    platform::ScopedLauncher scopedLauncher{launcher};
};

TEST_F(PrintFPTest, CreatePdfReplacesTheLastFileOpensItOnceAndWarnsWhenItCannotBeWritten)
{
    WriteFile(dir, "lastFP.pdf", "an old flight plan");
    // A printer left unchosen and a cancelled box write nothing.
    for (const char* button : {"Print", "Cancel", "Create PDF and Open"}) {
        prompter.buttonAnswer = button;
        planner->PrintFP();
        EXPECT_EQ(launcher.calls.empty(), ReadBytes(pdf) == "an old flight plan") << button;
    }
    EXPECT_EQ(prompter.printDialogs, 1);
    EXPECT_TRUE(ReadBytes(pdf).startsWith("%PDF"));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].second, pdf);

    platform::SetProgramFolderForTesting(WriteFile(dir, "plain", "") + "/folder");
    planner->PrintFP();
    ASSERT_EQ(prompter.asked.size(), 5u);
    EXPECT_EQ(prompter.asked[4].kind, PromptKind::Warning);
    EXPECT_TRUE(prompter.asked[4].text.startsWith("Can not create the PDF file "));
    EXPECT_EQ(launcher.calls.size(), 1u);
}
