// The planner page with the airport database of a weather worker: the airport and level fields, opening and
// importing plan files, the reset and following the aircraft along the route.
#include "flightplan/planfiletext.h"
#include "plannerprompter.h"
#include "platform/clock.h"
#include "tests/flightplan/planfixtures.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QListView>

#include <cmath>

namespace {

class FlightPlannerTest : public PlannerPageTest
{
protected:
    void SetUp() override
    {
        PlannerPageTest::SetUp();
        // As the window forwards its fields.
        QObject::connect(ui.lineEdit_Dep, &QLineEdit::textChanged, planner, &CTab_Flightplanner::DepartureChange);
        QObject::connect(ui.lineEdit_Arrival, &QLineEdit::textChanged, planner, &CTab_Flightplanner::DestinationChange);
        QObject::connect(ui.lineEdit_Altinate, &QLineEdit::textChanged, planner, &CTab_Flightplanner::AlternateChange);
    }

    QString Write(const QString& name, const QByteArray& bytes) { return WriteFile(dir, name, bytes); }

    QString SelectedIdent() const
    {
        const QModelIndexList rows = ui.tableView_waypoints->selectionModel()->selectedRows();
        return rows.isEmpty() ? QString() : rows.first().data().toString();
    }
};

// An aircraft due north of the point, the nearest to it that is not nearer than `distance` NM.
aviation::structs::CAircraft AircraftNorthOf(const aviation::Position& point, double distance)
{
    aviation::structs::CAircraft aircraft;
    aircraft.SetLatitude(point.GetLatitude() + distance * 1.852 / 6378.137 * 180.0 / M_PI);
    aircraft.SetLongitude(point.GetLongitude());
    while (aviation::CalcDistance(aircraft, point) < distance)
        aircraft.SetLatitude(std::nextafter(aircraft.GetLatitude(), 90.0));
    return aircraft;
}

} // namespace

TEST_F(FlightPlannerTest, AirportFieldsTakeKnownAirportsAndGateTheCalculation)
{
    ui.pushButton_Calculate->setEnabled(false);
    ui.lineEdit_Arrival->setText("loww");
    EXPECT_FALSE(ui.pushButton_Calculate->isEnabled());
    ui.lineEdit_Dep->setText("eddf");
    EXPECT_EQ(ui.lineEdit_Dep->text(), "EDDF");
    EXPECT_EQ(ui.lineEdit_Dep->styleSheet(), "QLineEdit{background-color: rgb(190, 240, 190); color: black;}");
    EXPECT_TRUE(ui.pushButton_Calculate->isEnabled());
    EXPECT_NEAR(planner->GetEditedFlightPlan().departure.GetLatitude(), 50.03, 0.05);

    // Three letters change nothing; an unknown airport turns red, switches the calculation off and keeps the
    // airport known before.
    ui.lineEdit_Dep->setText("EDD");
    EXPECT_EQ(ui.lineEdit_Dep->styleSheet(), "QLineEdit{background-color: rgb(190, 240, 190); color: black;}");
    ui.lineEdit_Dep->setText("ZZZZ");
    EXPECT_EQ(ui.lineEdit_Dep->styleSheet(), "QLineEdit{background-color: rgb(255, 190, 190); color: black;}");
    EXPECT_FALSE(ui.pushButton_Calculate->isEnabled());
    EXPECT_EQ(planner->GetEditedFlightPlan().departure.GetIdent(), L"EDDF");

    // The alternate can switch the calculation off but never on.
    ui.lineEdit_Dep->setText("EDDF");
    ui.lineEdit_Altinate->setText("QQQQ");
    EXPECT_FALSE(ui.pushButton_Calculate->isEnabled());
    ui.lineEdit_Altinate->setText("lowi");
    EXPECT_FALSE(ui.pushButton_Calculate->isEnabled());
    EXPECT_EQ(planner->GetEditedFlightPlan().alternate.GetIdent(), L"LOWI");
}

TEST_F(FlightPlannerTest, CruisingLevelIsCheckedAgainstTheAircraftsCeiling)
{
    planner->SetAircraft(Profile(35000, 39000));
    const struct
    {
        const char* typed;
        bool red;
        int stored;
    } cases[] = {{"35000", false, 35000},
                 {"41000", true, 41000},
                 {"0", true, 41000},
                 {"FL350", true, 41000},
                 {"-2000", true, 41000}};
    for (const auto& c : cases) {
        ui.lineEdit_CruiseAlt->setText(c.typed);
        planner->CruisingLevelChanged();
        EXPECT_EQ(ui.lineEdit_CruiseAlt->styleSheet(),
                  c.red ? "QLineEdit{background: red;}" : "QLineEdit{background: white;}")
            << c.typed;
        EXPECT_EQ(planner->GetEditedFlightPlan().cruiseAltitude, c.stored) << c.typed;
        EXPECT_EQ(prompter.asked.size(), c.red ? 1u : 0u) << c.typed;
    }
}

TEST_F(FlightPlannerTest, ImportTriesTheReadersInTurnAndShowsTheRoute)
{
    const struct
    {
        const char* file;
        int xmlErrors;
        bool notFS9;
        const char* route;
    } cases[] = {
        {"CYPR-PAKT_decimal_fsx.pln", 0, false, "CYPR WP1 ANN PAKT"},
        {"CYPR-PAKT_decimal_fs9.pln", 1, false, "CYPR WP1 ANN PAKT"},
        {"KSEA-KPDX_fsx.pln", 0, false, "KSEA SEA WP1 BTG KPDX"},
        {"KSEA-KPDX_fs9.pln", 1, false, "KSEA SEA OLM HQ KPDX"},
        {"KSEA-KPDX_xp11.fms", 1, true, "KSEA SEA OLM HQ KPDX"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        debug.Clear();
        host.Clear();
        prompter.chosenFile = FixturePath(c.file);
        planner->ImportFP();
        int xmlErrors = 0;
        for (const std::string& line : debug.Lines())
            xmlErrors += line.rfind("TabFlightplanner: XMLError - ", 0) == 0 ? 1 : 0;
        EXPECT_EQ(xmlErrors, c.xmlErrors);
        EXPECT_EQ(host.log.contains("(Flightplanner) - Not FS9 flight plan"), c.notFS9);
        EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), c.route);
        const QStringList route = QString(c.route).split(' ');
        EXPECT_EQ(ui.lineEdit_Dep->text() + ui.lineEdit_Arrival->text(), route.first() + route.last());
        // Airports read without an elevation take the database's; the calculation followed the import.
        EXPECT_GT(planner->GetEditedFlightPlan().waypoints.back().GetAltitude(), 0);
        EXPECT_TRUE(ui.pushButton_printFp->isEnabled());
    }
    // The chooser opens where the last plan came from; a cancelled chooser keeps the route.
    EXPECT_EQ(CSettings::GetPathToFlightplan(), QStringLiteral(AEROVANE_TEST_DATA_DIR "/flightplans"));
    EXPECT_EQ(prompter.choosers.at(1).directory, CSettings::GetPathToFlightplan());
    prompter.chosenFile.clear();
    planner->ImportFP();
    EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), "KSEA SEA OLM HQ KPDX");
}

TEST_F(FlightPlannerTest, KnownAlternateFliesLastInDistanceAndRoute)
{
    const QString path = Write("EDDFLOWW.fms",
                               "I\n3 version\n1\n1\n1 EDDF 0.000000 50.033333 8.570556\n"
                               "1 LOWW 0.000000 48.110278 16.569722\n");
    planner->OpenFlightPlanFile(path);
    EXPECT_EQ(ui.lineEdit_dist->text(), "335.3NM");
    EXPECT_EQ(ui.lineEdit_avaerageDir->text(), QString::fromUtf8("107.1°"));

    // The reset empties the page but keeps the cruising level and the plan's alternate.
    ui.lineEdit_Altinate->setText("LOWL");
    planner->Reset();
    for (const QLineEdit* field : {ui.lineEdit_Dep, ui.lineEdit_Arrival, ui.lineEdit_Altinate, ui.lineEdit_dist})
        EXPECT_TRUE(field->text().isEmpty()) << field->objectName().toStdString();
    EXPECT_EQ(ui.tableView_waypoints->model()->rowCount(), 0);
    EXPECT_EQ(ui.lineEdit_CruiseAlt->text(), "0");
    EXPECT_EQ(planner->GetEditedFlightPlan().alternate.GetIdent(), L"LOWL");

    ui.lineEdit_Altinate->setText("LOWL");
    planner->OpenFlightPlanFile(path);
    EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), "EDDF LOWW LOWL");
    EXPECT_EQ(planner->GetEditedFlightPlan().waypoints.back().GetIdent(), L"LOWL");
    EXPECT_EQ(ui.lineEdit_dist->text(), "431.1NM");

    // An alternate the database does not know adds nothing.
    planner->Reset();
    ui.lineEdit_Altinate->setText("QQQQ");
    planner->OpenFlightPlanFile(path);
    EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), "EDDF LOWW");
}

// What the planner hands the chooser lists plans in either case, as a file dialog of Qt's own reads it.
TEST_F(FlightPlannerTest, ImportChooserListsEveryPlanFile)
{
    planner->ImportFP();
    ASSERT_EQ(prompter.choosers.size(), 1u);
    for (const char* name : {"a.pln", "D.PLN", "b.fms", "c.txt"})
        Write(name, "");
    QFileDialog chooser(nullptr, QString(), dir.path(), prompter.choosers[0].filter);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    const QListView* list = chooser.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(list, nullptr);
    QStringList listed;
    QElapsedTimer waited;
    waited.start();
    while (listed.size() < 3 && waited.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        listed.clear();
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
            listed << list->model()->index(row, 0, list->rootIndex()).data().toString();
    }
    listed.sort();
    EXPECT_EQ(listed, QStringList({"D.PLN", "a.pln", "b.fms"})) << "the chooser's listing within a minute";
}

// With a calculated plan loaded, no file that cannot be read as a plan changes the plan or the page; one warning
// names the file and why.
TEST_F(FlightPlannerTest, RefusedFilesKeepTheLoadedPlanAndSayWhy)
{
    prompter.chosenFile = FixturePath("KSEA-KPDX_fsx.pln");
    planner->ImportFP();
    const auto page = [this] {
        return QStringList{ui.lineEdit_Dep->text(),
                           ui.lineEdit_Arrival->text(),
                           ui.lineEdit_CruiseAlt->text(),
                           ui.plainTextEdit_route->toPlainText(),
                           ui.lineEdit_dist->text(),
                           ui.lineEdit_fuel_total->text(),
                           QString::number(ui.tableView_waypoints->model()->rowCount()),
                           QString::number(planner->GetEditedFlightPlan().waypoints.size()),
                           QString::number(planner->GetFlightPlan().waypoints.size())};
    };
    const QStringList loaded = page();
    ASSERT_EQ(loaded.at(3), "KSEA SEA WP1 BTG KPDX");

    // A FIFO would hold the import until something wrote to it; neither it nor a folder is opened, and a file
    // that is not there says so. They are the rows without bytes below.
    const UnblockingFifo fifo(dir.filePath("x.pln"));
    ASSERT_TRUE(fifo.Made());
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.pln"));
    const char* notRegular = "it is not a regular file.";

    QByteArray noise;
    for (int index = 0; index < 4096; ++index)
        noise.append(static_cast<char>((index * 2654435761u) >> 13));
    QByteArray brokenFsx = ReadBytes(FixturePath("KSEA-KPDX_fsx.pln"));
    brokenFsx.replace("<ATCWaypoint id=\"BTG\">", "<ATCWaypoint id=\"B&G\">");
    const char* notAPlan = "it is no FSX/P3D, FS2004 or X-Plane flight plan";
    const char* noAirports = "it names no departure and destination airport with a position";
    const struct
    {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } files[] = {
        {"empty.pln", "", "the file is empty"},
        {"noise.pln", noise, notAPlan},
        {"other.pln", "[CoRte]\nArptDep=KSEA\nArptArr=KPDX\nAirway1=J5\n", notAPlan},
        {"KSEA-KPDX.fgfp",
         "<?xml version=\"1.0\"?>\n<PropertyList>\n <departure><airport type=\"string\">KSEA</airport></departure>\n"
         " <destination><airport type=\"string\">KPDX</airport></destination>\n</PropertyList>\n",
         noAirports},
        {"KSEA-KPDX.gfp", "FPN/RI:F:KSEA:F:SEA:F:OLM:F:KPDX\n", notAPlan},
        {"KSEA-KPDX.fpl",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<flight-plan xmlns=\"http://www8.garmin.com/xmlschemas/"
         "FlightPlan/v1\"><waypoint-table><waypoint><identifier>KSEA</identifier><type>AIRPORT</type>"
         "<lat>47.449</lat><lon>-122.309306</lon></waypoint></waypoint-table></flight-plan>\n",
         noAirports},
        {"broken.pln", brokenFsx, "its XML breaks off in line"},
        {"rows.fms", "I\n3 version\n1\n1\n11 SEA 0 47.43 -122.31\n", noAirports},
        {"x.pln", QByteArray(), notRegular},
        {"folder.pln", QByteArray(), notRegular},
        {"missing.pln", QByteArray(), "No such file or directory"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        prompter.asked.clear();
        prompter.chosenFile = file.bytes.isNull() ? dir.filePath(file.name) : Write(file.name, file.bytes);
        planner->ImportFP();
        EXPECT_EQ(page(), loaded);
        ASSERT_EQ(prompter.asked.size(), 1u);
        EXPECT_EQ(prompter.asked[0].kind, PromptKind::Warning);
        EXPECT_EQ(prompter.asked[0].title, "File Error");
        EXPECT_TRUE(prompter.asked[0].text.startsWith(QString(file.name) + " was not imported: " + file.reason))
            << prompter.asked[0].text.toStdString();
    }
    prompter.asked.clear();
    EXPECT_FALSE(planner->OpenFlightPlanFile(QStringLiteral("/nonexistent/plan.pln")));
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_TRUE(prompter.asked[0].text.startsWith("plan.pln was not imported: "))
        << prompter.asked[0].text.toStdString();
    EXPECT_EQ(page(), loaded);
}

// A cruising altitude the field cannot hold is not taken; the import says so once and the field keeps its value.
TEST_F(FlightPlannerTest, CruisingAltitudeBeyondTheFieldIsNotTaken)
{
    ui.lineEdit_CruiseAlt->setText("35000");
    QByteArray plan = ReadBytes(FixturePath("KSEA-KPDX_fsx.pln"));
    plan.replace("<CruisingAlt>30000.000</CruisingAlt>", "<CruisingAlt>1000000</CruisingAlt>");
    ASSERT_TRUE(planner->OpenFlightPlanFile(Write("KSEA-KPDX.pln", plan)));
    EXPECT_EQ(ui.lineEdit_CruiseAlt->text(), "35000");
    EXPECT_EQ(planner->GetEditedFlightPlan().cruiseAltitude, 35000);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text,
              "KSEA-KPDX.pln was imported; the cruising altitude of 1000000 ft does not fit "
              "the field and was not taken.");
}

TEST_F(FlightPlannerTest, AircraftWithinTenMilesSelectsItsPointOncePerTenSeconds)
{
    platform::ScopedClock clock(1'700'000'000);
    CTab_Flightplanner* followed = new CTab_Flightplanner(ui.tab_flightplanner);
    followed->Init(&host, nullptr);
    followed->OpenFlightPlanFile(FixturePath("EDDF-LOWW_xp9.fms"));
    const aviation::CWaypointWX tabum = followed->GetEditedFlightPlan().waypoints.at(2);
    ASSERT_EQ(tabum.GetIdent(), L"TABUM");

    // Samples within 10 s of the last are ignored; 9.9 NM selects, 10.0 NM does not.
    const struct
    {
        int advanceMs;
        double distance;
        const char* selected;
    } samples[] = {{10000, 9.9, ""}, {1, 10.0, ""}, {10001, 9.9, "TABUM"}, {9999, 1.0, ""}};
    for (const auto& sample : samples) {
        ui.tableView_waypoints->clearSelection();
        clock.AdvanceMs(sample.advanceMs);
        followed->UpdatePosition(AircraftNorthOf(tabum, sample.distance));
        EXPECT_EQ(SelectedIdent(), sample.selected) << sample.advanceMs;
    }
}
