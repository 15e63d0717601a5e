// The planner page inside the window's form, with the airport database of a weather worker: the airport and
// level fields, opening and importing plan files, the reset and following the aircraft along the route.
#include "flight/planfiletext.h"
#include "flight/tab_flightplanner.h"
#include "forms/mainwindowform.h"
#include "generation/weatherworker.h"
#include "planfixtures.h"
#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/programfolder.h"
#include "settings/settings.h"
#include "tests/generation/fakewindowhost.h"
#include "tests/generation/recordingprompter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

class FlightPlannerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        platform::SetProgramFolderForTesting(m_dir.path());
        m_worker = std::make_unique<CWeatherWorker>(&host);
        m_worker->StopTimers();
        ui.setupUi(&window);
        planner = ui.tab_flightplanner;
        planner->Init(&host, m_worker.get());
        // As the window forwards its fields.
        QObject::connect(ui.lineEdit_Dep, &QLineEdit::textChanged, planner, &CTab_Flightplanner::DepartureChange);
        QObject::connect(ui.lineEdit_Arrival, &QLineEdit::textChanged, planner, &CTab_Flightplanner::DestinationChange);
        QObject::connect(ui.lineEdit_Altinate, &QLineEdit::textChanged, planner, &CTab_Flightplanner::AlternateChange);
    }

    void TearDown() override
    {
        CSettings::Release();
        platform::SetProgramFolderForTesting(QString());
        QDir::setCurrent(m_previousDir);
    }

    QString Write(const QString& name, const QByteArray& bytes) { return WriteFile(m_dir, name, bytes); }

    QString SelectedIdent() const
    {
        const QModelIndexList rows = ui.tableView_waypoints->selectionModel()->selectedRows();
        return rows.isEmpty() ? QString() : rows.first().data().toString();
    }

    FakeWindowHost host;
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    platform::ScopedDebugCapture debug;
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
    CTab_Flightplanner* planner = nullptr;

private:
    QString m_previousDir;
    QTemporaryDir m_dir;
    std::unique_ptr<CWeatherWorker> m_worker;
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

aviation::structs::CAircraftDetail Profile(int cruiseAltitude, int ceiling)
{
    aviation::structs::CAircraftDetail aircraft;
    aircraft.CruiseAlt = cruiseAltitude;
    aircraft.maxAlt = ceiling;
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
    EXPECT_EQ(ui.lineEdit_Dep->styleSheet(), "background-color:green;");
    EXPECT_TRUE(ui.pushButton_Calculate->isEnabled());
    const aviation::CWaypointWX departure = planner->GetEditedFlightPlan().departure;
    EXPECT_EQ(departure.GetIdent(), L"EDDF");
    EXPECT_EQ(departure.GetType(), 1);
    EXPECT_NEAR(departure.GetLatitude(), 50.03, 0.05);

    // Three letters change nothing; an unknown airport turns red, switches the calculation off and keeps the
    // airport known before.
    ui.lineEdit_Dep->setText("EDD");
    EXPECT_EQ(ui.lineEdit_Dep->styleSheet(), "background-color:green;");
    ui.lineEdit_Dep->setText("ZZZZ");
    EXPECT_EQ(ui.lineEdit_Dep->styleSheet(), "background-color:red;");
    EXPECT_FALSE(ui.pushButton_Calculate->isEnabled());
    EXPECT_EQ(planner->GetEditedFlightPlan().departure.GetIdent(), L"EDDF");

    // The alternate can switch the calculation off but never on.
    ui.lineEdit_Dep->setText("EDDF");
    ui.lineEdit_Altinate->setText("QQQQ");
    EXPECT_FALSE(ui.pushButton_Calculate->isEnabled());
    ui.lineEdit_Altinate->setText("lowi");
    EXPECT_FALSE(ui.pushButton_Calculate->isEnabled());
    EXPECT_EQ(planner->GetEditedFlightPlan().alternate.GetIdent(), L"LOWI");
    EXPECT_EQ(planner->GetEditedFlightPlan().alternate.GetType(), 1);
}

TEST_F(FlightPlannerTest, CruisingLevelIsCheckedAgainstTheAircraftsCeiling)
{
    planner->SetAircraft(Profile(35000, 39000));
    const struct
    {
        const char* typed;
        const char* style;
        int stored;
        std::size_t boxes;
    } cases[] = {
        {"35000", "QLineEdit{background: white;}", 35000, 0}, {"41000", "QLineEdit{background: red;}", 41000, 1},
        {"0", "QLineEdit{background: red;}", 41000, 1},       {"FL350", "QLineEdit{background: red;}", 41000, 1},
        {"-2000", "QLineEdit{background: red;}", 41000, 1},
    };
    for (const auto& c : cases) {
        ui.lineEdit_CruiseAlt->setText(c.typed);
        planner->CruisingLevelChanged();
        EXPECT_EQ(ui.lineEdit_CruiseAlt->styleSheet(), c.style) << c.typed;
        EXPECT_EQ(planner->GetEditedFlightPlan().cruiseAltitude, c.stored) << c.typed;
        EXPECT_EQ(prompter.asked.size(), c.boxes) << c.typed;
    }
    EXPECT_EQ(prompter.asked.at(0).title, "Aerovane - Flight planner");
    EXPECT_EQ(prompter.asked.at(0).text,
              "The Cruising Altitude is greater than Maximum Altitude from your selected aircraft!");
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
        {"KSEA-KPDX_fsx.pln", 0, false, "KSEA SEA WP1 BTG KPDX"},
        {"KSEA-KPDX_fs9.pln", 1, false, "KSEA SEA OLM HQ KPDX"},
        {"KSEA-KPDX_xp11.fms", 1, true, "KSEA SEA OLM HQ KPDX"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        debug.Clear();
        host.Clear();
        prompter.chooserAnswers = QStringList{FixturePath(c.file)};
        planner->ImportFP();
        int xmlErrors = 0;
        for (const std::string& line : debug.Lines())
            xmlErrors += line.rfind("TabFlightplanner: XMLError - ", 0) == 0 ? 1 : 0;
        EXPECT_EQ(xmlErrors, c.xmlErrors);
        EXPECT_EQ(host.log.contains("(Flightplanner) - Not FS9 flight plan"), c.notFS9);
        EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), c.route);
        EXPECT_EQ(ui.lineEdit_Dep->text(), "KSEA");
        EXPECT_EQ(ui.lineEdit_Arrival->text(), "KPDX");
        // Airports read without an elevation take the database's.
        EXPECT_GT(planner->GetEditedFlightPlan().waypoints.back().GetAltitude(), 0);
        // The calculation followed the import.
        EXPECT_TRUE(ui.pushButton_printFp->isEnabled());
    }
    EXPECT_EQ(prompter.choosers.at(0).caption, "Import *.PLN");
    EXPECT_EQ(prompter.choosers.at(0).filter, "FS2004/FSX/XPlane Flightplan files (*.pln *.fms)|*.PLN *.FMS");
    EXPECT_EQ(CSettings::GetPathToFlightplan(), QStringLiteral(AEROVANE_TEST_DATA_DIR "/flightplans"));
    EXPECT_EQ(prompter.choosers.at(1).directory, CSettings::GetPathToFlightplan());
    EXPECT_EQ(ui.lineEdit_CruiseAlt->text(), "0");

    prompter.chooserAnswers.clear();
    planner->ImportFP();
    EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), "KSEA SEA OLM HQ KPDX");
}

TEST_F(FlightPlannerTest, KnownAlternateFliesLastInDistanceAndRoute)
{
    const QString path = Write("EDDFLOWW.fms",
                               "I\n3 version\n1\n1\n"
                               "1 EDDF 0.000000 50.033333 8.570556\n"
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
    EXPECT_TRUE(planner->GetEditedFlightPlan().waypoints.empty());
    EXPECT_EQ(planner->GetEditedFlightPlan().alternate.GetIdent(), L"LOWL");

    ui.lineEdit_Altinate->setText("LOWL");
    planner->OpenFlightPlanFile(path);
    EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), "EDDF LOWW LOWL");
    const aviation::CFlightplan& plan = planner->GetEditedFlightPlan();
    EXPECT_EQ(plan.alternate.GetType(), 2);
    EXPECT_EQ(plan.waypoints.back().GetIdent(), L"LOWL");
    EXPECT_EQ(ui.lineEdit_dist->text(), "431.1NM");

    // An alternate the database does not know adds nothing.
    planner->Reset();
    ui.lineEdit_Altinate->setText("QQQQ");
    planner->OpenFlightPlanFile(path);
    EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), "EDDF LOWW");
}

TEST_F(FlightPlannerTest, UnreadableFilesLeaveNoRouteAndNoCrash)
{
    QByteArray binary;
    for (int index = 0; index < 65536; ++index)
        binary.append(static_cast<char>((index * 2654435761u) >> 13));
    const QByteArray fsx = ReadBytes(FixturePath("KSEA-KPDX_fsx.pln"));
    const std::vector<QByteArray> files = {QByteArray(), binary, fsx.left(1000), QByteArray("I\n3 version\n"),
                                           QByteArray("[flightplan]\ndeparture_id=,,,,\nwaypoint.0=,,,,,,,,\n")};
    for (std::size_t index = 0; index < files.size(); ++index) {
        planner->Reset();
        planner->OpenFlightPlanFile(Write(QStringLiteral("damaged%1.pln").arg(index), files[index]));
        for (const aviation::CWaypointWX& point : planner->GetEditedFlightPlan().waypoints)
            EXPECT_TRUE(planfile::IsReadablePosition(point)) << index;
    }
    EXPECT_TRUE(prompter.asked.empty());
    planner->OpenFlightPlanFile(QStringLiteral("/nonexistent/plan.pln"));
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "File Error");
    EXPECT_EQ(prompter.asked[0].kind, PromptKind::Warning);
}

TEST_F(FlightPlannerTest, AircraftWithinTenMilesSelectsItsPointOncePerTenSeconds)
{
    platform::ScopedClock clock(1'700'000'000);
    CTab_Flightplanner* followed = new CTab_Flightplanner(ui.tab_flightplanner);
    followed->Init(&host, nullptr);
    followed->OpenFlightPlanFile(FixturePath("EDDF-LOWW_xp9.fms"));
    const aviation::CWaypointWX tabum = followed->GetEditedFlightPlan().waypoints.at(2);
    ASSERT_EQ(tabum.GetIdent(), L"TABUM");

    clock.AdvanceMs(10000);
    followed->UpdatePosition(AircraftNorthOf(tabum, 9.9));
    EXPECT_EQ(SelectedIdent(), "");
    clock.AdvanceMs(1);
    followed->UpdatePosition(AircraftNorthOf(tabum, 10.0));
    EXPECT_EQ(SelectedIdent(), "");
    clock.AdvanceMs(10001);
    followed->UpdatePosition(AircraftNorthOf(tabum, 9.9));
    EXPECT_EQ(SelectedIdent(), "TABUM");
    ui.tableView_waypoints->clearSelection();
    clock.AdvanceMs(9999);
    followed->UpdatePosition(AircraftNorthOf(tabum, 1.0));
    EXPECT_EQ(SelectedIdent(), "");
}
