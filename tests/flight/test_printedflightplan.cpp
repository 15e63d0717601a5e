#include "flight/tab_flightplanner_print.h"
#include "forms/mainwindowform.h"
#include "plannerprompter.h"
#include "platform/programfolder.h"
#include "settings/settings.h"
#include "tests/app/recordinglauncher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>

using aviation::CFlightplan;
using aviation::CWaypointWX;
using aviation::Position;
using aviation::weather::CWind;
using flightplanner::FlightPlanHtml;
using flightplanner::PrintedFields;

namespace {

// Great-circle nautical miles per degree of latitude on the planner's earth.
const double kNmPerDegree = 6378.137 / 1.852 * M_PI / 180.0;

const wchar_t* const kSeattleMetar
    = L"KSEA 221853Z 22007KT 10SM SCT005 SCT015 BKN030 09/08 A2977 RMK AO2 SLP088 T00890078";
const wchar_t* const kPortlandMetar
    = L"KPDX 221853Z 26006KT 10SM FEW025 BKN030 BKN047 12/08 A2980 RMK AO2 RAE15 SLP091 P0000 T01220078";

CWaypointWX Point(const wchar_t* ident, double latitude, int type, int altitude)
{
    return CWaypointWX(ident, Position(latitude, -122.0), L"", type, altitude, 13.0f, 5.0f, 1013.2f);
}

CWaypointWX Leg(CWaypointWX point, const CWind& wind, float temperature, int tas, int groundSpeed, int minutes)
{
    point.SetWind(wind);
    point.SetTemperature(temperature);
    point.SetTas(tas);
    point.SetGroundSpeed(groundSpeed);
    point.SetLegTime(minutes);
    return point;
}

// Seattle to Portland over the Olympia VOR, drawn along one meridian so that the legs are whole degrees.
CFlightplan SeattlePortland()
{
    CFlightplan plan;
    plan.departure = Point(L"KSEA", 45.0, 1, 433);
    plan.departure.SetName(L"Seattle-Tacoma Intl");
    plan.destination = Point(L"KPDX", 45.5, 1, 31);
    plan.destination.SetName(L"Portland Intl");
    plan.alternate = Point(L"KSFF", 47.68, 2, 1957);
    plan.alternate.SetName(L"Spokane Felts & Field");

    CWaypointWX seattle = Leg(plan.departure, CWind(220.0, 7.0), 9.0f, 0, 0, 0);
    seattle.SetMetar(kSeattleMetar);
    CWaypointWX olympia = Leg(Point(L"OLM", 46.0, 5, 35000), CWind(5.0, 12.4), -45.3f, 450, 440, 45);
    olympia.WindCorrectionHeading(0.0, 450.0, CWind(5.0, 12.4));
    olympia.SetGroundSpeed(440);
    olympia.SetMetar(kSeattleMetar);
    CWaypointWX portland = Leg(plan.destination, CWind(), -99.0f, 450, 0, 0);
    portland.SetMetar(kPortlandMetar);
    plan.waypoints = {seattle, olympia, portland};
    return plan;
}

PrintedFields KilogramFields()
{
    PrintedFields fields;
    fields.averageWind = QStringLiteral("220°/3 kt");
    fields.fuelRoute = QStringLiteral("453");
    fields.fuelTaxi = QStringLiteral("113");
    fields.fuelHolding = QStringLiteral("680");
    fields.fuelExtra = QStringLiteral("226");
    fields.fuelTotal = QStringLiteral("1472");
    fields.unitsLbs = false;
    return fields;
}

// The cells of the HTML's table rows (header row excluded), row by row.
std::vector<QStringList> Rows(const QString& html)
{
    std::vector<QStringList> rows;
    const QString body = html.section(QStringLiteral("<tbody>"), 1).section(QStringLiteral("</tbody>"), 0, 0);
    for (QString row : body.split(QStringLiteral("</tr>"), Qt::SkipEmptyParts)) {
        row = row.section('>', 1); // drop the row's own tag
        QStringList cells;
        for (const QString& cell : row.split(QStringLiteral("</td>"), Qt::SkipEmptyParts))
            cells << cell.mid(4);
        rows.push_back(cells);
    }
    return rows;
}

QString ToolOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST(PrintedFlightPlan, HtmlHoldsTitleAirportsLegsMetarsAndFuel)
{
    const QString expected = QStringLiteral(
        "<center><h2>Aerovane-FP</h2> <b style='color:red;'>NOT FOR REAL WORLD NAVIGATION</b></center>"
        "Departure: <b>KSEA</b>, Seattle-Tacoma Intl<br>"
        "Destination: <b>KPDX</b>, Portland Intl<br>"
        "Alternate: <b>KSFF</b>, Spokane Felts &amp; Field<br>"
        "<table border='0' rules='all' cellpadding='5' style='border-collapse: collapse;'><thead><tr>"
        "<th>Wayp</th><th>Coords</th><th>Type</th><th>Alt</th><th>Dir</th><th>Dist</th><th>Wind</th><th>Temp</th>"
        "<th>Hdg</th><th>TAS</th><th>GS</th><th>Time</th></tr></thead><tbody>"
        "<tr><td>KSEA</td><td>45.00, -122.00</td><td>Airport</td><td>433ft</td><td>-</td><td>-</td>"
        "<td>220°/7kt</td><td>9°C</td><td>-</td><td>-</td><td>-</td><td>-</td></tr>"
        "<tr><td>OLM</td><td>46.00, -122.00</td><td>VOR</td><td>35000ft</td><td>0°</td><td>60 NM</td>"
        "<td>005°/12kt</td><td>-45°C</td><td>0°</td><td>450 kt</td><td>440 kt</td><td>00:45</td></tr>"
        "<tr><td>KPDX</td><td>45.50, -122.00</td><td>Airport</td><td>31ft</td><td>180°</td><td>30 NM</td>"
        "<td>-01°/-1kt</td><td>-99°C</td><td>0°</td><td>450 kt</td><td>0 kt</td><td>n/a</td></tr>"
        "<tr style='font-weight:bold;'><td></td><td></td><td></td><td></td><td></td><td>90NM</td>"
        "<td>220°/3 kt</td><td></td><td></td><td></td><td></td><td>00:45</td></tr>"
        "</tbody></table><br>"
        "<h3>Metar</h3>"
        "KSEA 221853Z 22007KT 10SM SCT005 SCT015 BKN030 09/08 A2977 RMK AO2 SLP088 T00890078<br>"
        "KPDX 221853Z 26006KT 10SM FEW025 BKN030 BKN047 12/08 A2980 RMK AO2 RAE15 SLP091 P0000 T01220078<br>"
        "<h3>Fuel</h3><table>"
        "<tr><td>Fuel Route:</td><td>453 kg</td></tr>"
        "<tr><td>Fuel Taxi:</td><td>113 kg</td></tr>"
        "<tr><td>Fuel Holding:</td><td>680 kg</td></tr>"
        "<tr><td>Fuel Extra:</td><td>226 kg</td></tr>"
        "<tr><td><b>Fuel Total:</b></td><td><b>1472 kg</b></td></tr>"
        "</table>");
    EXPECT_EQ(FlightPlanHtml(SeattlePortland(), KilogramFields()), expected);
}

TEST(PrintedFlightPlan, LegsAndTotalsRoundAsPrinted)
{
    CFlightplan plan;
    const double first = 100.4 / kNmPerDegree;
    const double second = 200.4 / kNmPerDegree;
    plan.waypoints = {Leg(Point(L"KSEA", 45.0, 1, 433), CWind(220.0, 7.0), 9.0f, 0, 0, 0),
                      Leg(Point(L"BTG", 45.0 + first, 5, 35000), CWind(5.0, 12.4), -45.3f, 450, 440, 45),
                      Leg(Point(L"KPDX", 45.0 + first + second, 1, 31), CWind(260.0, 6.0), 12.0f, 450, 445, 30),
                      Leg(Point(L"LONG", 47.0, 4, 35000), CWind(270.0, 40.0), -50.0f, 450, 400, 1500)};
    const std::vector<QStringList> rows = Rows(FlightPlanHtml(plan, PrintedFields()));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1].mid(5, 3), QStringList({"100 NM", "005°/12kt", "-45°C"}));
    EXPECT_EQ(rows[1][11], QStringLiteral("00:45"));
    EXPECT_EQ(rows[2][5], QStringLiteral("200 NM"));
    EXPECT_EQ(rows[2][11], QStringLiteral("00:30"));
    // A leg of 1500 minutes shows the clock time it ends at, a day later.
    EXPECT_EQ(rows[3][11], QStringLiteral("01:00"));

    plan.waypoints.pop_back();
    const QStringList totals = Rows(FlightPlanHtml(plan, PrintedFields())).back();
    EXPECT_EQ(totals[5], QStringLiteral("300NM"));
    EXPECT_EQ(totals[11], QStringLiteral("01:15"));
}

TEST(PrintedFlightPlan, EachRunOfOneMetarPrintsItOnce)
{
    CFlightplan plan;
    for (const wchar_t* metar : {L"", kSeattleMetar, kSeattleMetar, kPortlandMetar, kSeattleMetar}) {
        plan.waypoints.push_back(Point(L"FIX", 45.0, 4, 0));
        plan.waypoints.back().SetMetar(metar);
    }
    const QString metars = FlightPlanHtml(plan, PrintedFields()).section(QStringLiteral("<h3>Metar</h3>"), 1);
    EXPECT_TRUE(metars.startsWith(QString::fromWCharArray(kSeattleMetar) + "<br>"
                                  + QString::fromWCharArray(kPortlandMetar) + "<br>"
                                  + QString::fromWCharArray(kSeattleMetar) + "<br><h3>Fuel</h3>"));
}

TEST(PrintedFlightPlan, TenWaypointsFitOnePageWithEveryHeaderOnOneLine)
{
    CFlightplan plan = SeattlePortland();
    const wchar_t* const fixes[] = {L"SEA", L"OLM", L"TOU", L"UBG", L"BTG", L"LAVAE", L"HQM", L"BOTYS", L"KPDX"};
    plan.waypoints.resize(1);
    for (const wchar_t* fix : fixes) {
        CWaypointWX point = Point(fix, 45.0 + plan.waypoints.size() * 0.1, 4, 35000);
        point.SetMetar(kPortlandMetar);
        plan.waypoints.push_back(Leg(point, CWind(260.0, 45.0), -52.0f, 450, 431, 8));
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("lastFP.pdf"));
    QTextDocument document;
    flightplanner::SetDocumentHtml(document, FlightPlanHtml(plan, KilogramFields()));
    ASSERT_TRUE(flightplanner::WritePdf(document, path));

    EXPECT_TRUE(ToolOutput(QStringLiteral("pdfinfo"), {path}).contains(QRegularExpression("Pages:\\s+1\\n")));
    const QString text
        = ToolOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("NOT FOR REAL WORLD NAVIGATION")));
    for (const CWaypointWX& point : plan.waypoints)
        EXPECT_TRUE(text.contains(QString::fromStdWString(point.GetIdent()))) << point.GetIdent().size();
    EXPECT_TRUE(text.contains(QString::fromWCharArray(kPortlandMetar)));
    EXPECT_TRUE(text.contains(QRegularExpression(
        "Wayp\\s+Coords\\s+Type\\s+Alt\\s+Dir\\s+Dist\\s+Wind\\s+Temp\\s+Hdg\\s+TAS\\s+GS\\s+Time\\n")))
        << text.toStdString();
}

// The planner page as the window holds it, its program folder a temporary one.
class PrintFPTest : public ::testing::Test
{
protected:
    PrintFPTest()
    {
        QDir::setCurrent(m_workDir.path());
        platform::SetProgramFolderForTesting(m_programDir.path());
        ui.setupUi(&window);
        ui.tab_flightplanner->Init(nullptr, nullptr);
    }
    ~PrintFPTest() override
    {
        CSettings::Release();
        platform::SetProgramFolderForTesting(QString());
        QDir::setCurrent(m_previousDir);
    }

    QString PdfPath() const { return m_programDir.filePath(QStringLiteral("lastFP.pdf")); }

    QString m_previousDir = QDir::currentPath();
    QTemporaryDir m_workDir;
    QTemporaryDir m_programDir;
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
    PlannerPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    RecordingLauncher launcher;
    platform::ScopedLauncher scopedLauncher{launcher};
};

TEST_F(PrintFPTest, CreatePdfReplacesTheLastFileAndOpensIt)
{
    QFile stale(PdfPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("an old flight plan");
    stale.close();

    prompter.buttonAnswer = QStringLiteral("Create PDF and Open");
    ui.tab_flightplanner->PrintFP();
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, QStringLiteral("Aerovane - Flight plan"));
    EXPECT_EQ(prompter.asked[0].text, QStringLiteral("Print, create PDF-File or export Flight plan"));
    EXPECT_EQ(prompter.buttonRows[0], QStringList({"Print", "Create PDF and Open", "Cancel"}));
    QFile written(PdfPath());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("%PDF"));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].second, PdfPath());
}

TEST_F(PrintFPTest, PrintAndCancelWriteNothing)
{
    for (const char* button : {"Print", "Cancel", ""}) {
        prompter.buttonAnswer = QString::fromLatin1(button);
        ui.tab_flightplanner->PrintFP();
    }
    EXPECT_EQ(prompter.printDialogs, 1);
    EXPECT_FALSE(QFile::exists(PdfPath()));
    EXPECT_TRUE(launcher.calls.empty());
}

TEST_F(PrintFPTest, APdfThatCannotBeWrittenIsWarnedAboutAndNotOpened)
{
    prompter.buttonAnswer = QStringLiteral("Create PDF and Open");
    // A folder in the way of the file, then a program folder below a plain file.
    ASSERT_TRUE(QDir().mkpath(PdfPath()));
    ui.tab_flightplanner->PrintFP();
    QFile plainFile(m_programDir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plainFile.open(QIODevice::WriteOnly));
    plainFile.close();
    platform::SetProgramFolderForTesting(plainFile.fileName() + QStringLiteral("/folder"));
    ui.tab_flightplanner->PrintFP();

    ASSERT_EQ(prompter.asked.size(), 4u);
    for (const std::size_t warning : {1u, 3u}) {
        EXPECT_EQ(prompter.asked[warning].kind, PromptKind::Warning);
        EXPECT_EQ(prompter.asked[warning].title, QStringLiteral("Aerovane - Flight plan"));
        EXPECT_TRUE(prompter.asked[warning].text.startsWith(QStringLiteral("Can not create the PDF file ")));
    }
    EXPECT_TRUE(launcher.calls.empty());
}

// The window system's box: the three choices as action buttons in their order; pressing one answers its index.
TEST_F(PrintFPTest, TheWindowSystemsBoxOffersTheChoicesInOrder)
{
    CPrompter* const testPrompter = InstallPrompter(nullptr);
    QStringList shown;
    QTimer pressPdf;
    QObject::connect(&pressPdf, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        shown << box->windowTitle() << box->text();
        for (QAbstractButton* button : box->buttons()) {
            shown << button->text();
            EXPECT_EQ(box->buttonRole(button), QMessageBox::ActionRole);
        }
        box->buttons().at(1)->click();
    });
    pressPdf.start(5);
    ui.tab_flightplanner->PrintFP();
    InstallPrompter(testPrompter);

    EXPECT_EQ(shown,
              QStringList({"Aerovane - Flight plan", "Print, create PDF-File or export Flight plan", "Print",
                           "Create PDF and Open", "Cancel"}));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].second, PdfPath());
}
