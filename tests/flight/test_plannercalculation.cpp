// The calculation on the planner page: the weather of the route from the weather model and the loopback weather
// server, the legs, and the time, fuel and mean wind fields.
#include "flight/tab_flightplanner.h"
#include "forms/mainwindowform.h"
#include "generation/weatherworker.h"
#include "plannerprompter.h"
#include "platform/debugoutput.h"
#include "platform/programfolder.h"
#include "settings/serveraddresses.h"
#include "settings/settings.h"
#include "tests/generation/fakewindowhost.h"
#include "tools/wx-server/wxserver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

using aviation::CWaypointWX;

namespace {

// Nine reports around Frankfurt, one short of the ten the planner calls weather.
const QString kNineMetars = "EDDW 221850Z AUTO 21005KT CAVOK 13/12 Q1015 NOSIG\n"
                            "EDDV 221850Z AUTO 22004KT 190V260 CAVOK 15/12 Q1016 NOSIG\n"
                            "EDDS 221850Z AUTO VRB01KT CAVOK 12/10 Q1018 NOSIG\n"
                            "EDDP 221850Z AUTO 23011KT CAVOK 14/11 Q1017 NOSIG\n"
                            "EDDN 221850Z AUTO 17004KT CAVOK 12/10 Q1019 NOSIG\n"
                            "EDDL 221850Z AUTO 15008KT CAVOK 14/12 Q1015 NOSIG\n"
                            "EDDK 221850Z AUTO 08003KT 050V120 9999 FEW044 13/11 Q1016 NOSIG\n"
                            "EDDH 221850Z AUTO 24005KT 9999 SCT034 SCT045 14/13 Q1014 NOSIG\n"
                            "EDDB 221850Z AUTO 21007KT CAVOK 14/13 Q1015 NOSIG\n";
const QString kTenthMetar = "EDDF 221850Z AUTO VRB01KT CAVOK 13/12 Q1017 NOSIG\n";

aviation::structs::CAircraftDetail Boeing777(float fuelFlow)
{
    aviation::structs::CAircraftDetail aircraft;
    aircraft.name = L"Boeing 777-200ER";
    aircraft.cruiseSpeed = 450;
    aircraft.CruiseAlt = 35000;
    aircraft.maxAlt = 43100;
    aircraft.FuelFlow = fuelFlow;
    aircraft.TaxiFuel = 250.0f;
    aircraft.HoldingFuel = 1500.0f;
    aircraft.ExtraFuel = 800.0f;
    return aircraft;
}

class PlannerCalculationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        platform::SetProgramFolderForTesting(m_dir.path());
        ASSERT_TRUE(server.Listen());
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = server.BaseUrl();
        addresses.serverUrlUS = server.BaseUrl();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
        host.downloader.SetTransferTimeout(5000);
        worker = std::make_unique<CWeatherWorker>(&host);
        worker->StopTimers();
        host.weatherWorker = worker.get();
        ui.setupUi(&window);
        planner = ui.tab_flightplanner;
        planner->Init(&host, worker.get());
        planner->SetAircraft(Boeing777(5300.0f));
        ui.lineEdit_CruiseAlt->setText("35000");
    }

    void TearDown() override
    {
        worker.reset();
        m_addresses.reset();
        CSettings::Release();
        platform::SetProgramFolderForTesting(QString());
        QDir::setCurrent(m_previousDir);
    }

    // Departure, destination and alternate typed into the page's fields.
    void Type(const QString& departure, const QString& destination, const QString& alternate = QString())
    {
        planner->DepartureChange(departure);
        planner->DestinationChange(destination);
        if (!alternate.isEmpty())
            planner->AlternateChange(alternate);
    }

    QStringList GridRequests() const { return server.Requests().filter(QStringLiteral("/get_grib_v2.php")); }
    QString Folder() const { return m_dir.path(); }

    tools::WxServer server{QStringLiteral(AEROVANE_WXSERVER_DATA)};
    FakeWindowHost host;
    std::unique_ptr<CWeatherWorker> worker;
    PlannerPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    platform::ScopedDebugCapture debug;
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
    CTab_Flightplanner* planner = nullptr;

private:
    QString m_previousDir;
    QTemporaryDir m_dir;
    std::unique_ptr<ScopedServerAddresses> m_addresses;
};

} // namespace

TEST_F(PlannerCalculationTest, TypedAirportsWithoutWeatherBecomeARouteFlownInCalmAir)
{
    worker->LoadWeatherFromText(kNineMetars, QString(), QString());
    CSettings::SetExportPMDG777WXFolder(Folder());
    Type("KSEA", "KPDX", "KGEG");
    planner->CalculateFP();

    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, QStringLiteral("Aerovane - Flight Planner"));
    EXPECT_EQ(prompter.asked[0].text, QStringLiteral("No Weather.\nDownload Weather Now?"));
    EXPECT_TRUE(host.log.contains(QStringLiteral("(Flight planner) No Weather Download")));
    EXPECT_TRUE(host.log.contains(QStringLiteral("(Flight planner) Aircraft selected -> Boeing 777-200ER")));
    EXPECT_TRUE(server.Requests().isEmpty());

    const std::vector<CWaypointWX> route = planner->GetFlightPlan().waypoints;
    ASSERT_EQ(route.size(), 3u);
    EXPECT_EQ(route[0].GetIdent(), L"KSEA");
    EXPECT_EQ(route[1].GetIdent(), L"KPDX");
    EXPECT_EQ(route[2].GetIdent(), L"KGEG");
    EXPECT_EQ(planner->GetFlightPlan().departure.GetName().substr(0, 7), L"Seattle");
    // The first point has no leg.
    EXPECT_EQ(route[0].GetTas(), 0);
    EXPECT_EQ(route[0].GetLegTime(), 0);
    EXPECT_EQ(route[0].GetGroundSpeed(), 0);
    // Without grid weather the later points have no wind: heading = course and ground speed = airspeed.
    for (const CWaypointWX& point : {route[1], route[2]}) {
        EXPECT_EQ(point.GetWind().speed, -1.0);
        EXPECT_FLOAT_EQ(point.GetTemperature(), -99.0f);
        EXPECT_DOUBLE_EQ(point.GetHeading(), point.GetCourse());
        EXPECT_EQ(point.GetGroundSpeed(), 450);
        EXPECT_GT(point.GetLegTime(), 0);
    }
    EXPECT_EQ(ui.tableView_waypoints->model()->index(1, 7).data().toString(), QStringLiteral("n/a"));
    EXPECT_TRUE(ui.lineEdit_averageWind->text().isEmpty());
    EXPECT_FALSE(ui.lineEdit_estimatedFlightTime->text().isEmpty());
    EXPECT_EQ(ui.label_lbs_5->text(), QStringLiteral("lbs"));
    EXPECT_EQ(ui.lineEdit_fuel_total->text().toInt(), ui.lineEdit_fuel_route->text().toInt() + 2550);
    // The wind file is written only when switched on.
    EXPECT_FALSE(QFile::exists(QDir(Folder()).filePath("KSEAKPDX.wx")));
}

TEST_F(PlannerCalculationTest, YesFetchesTheServersWeatherAndTheGridOfEveryRoutePoint)
{
    worker->LoadWeatherFromText(kNineMetars, QString(), QString());
    CSettings::SetExportPMDG777WX(true);
    CSettings::SetExportPMDG777WXFolder(Folder());
    prompter.questionAnswer = PromptAnswer::Yes;
    prompter.chosenFile = QStringLiteral(AEROVANE_TEST_DATA_DIR "/flightplans/KSEA-KPDX_fs9.pln");
    planner->ImportFP();

    EXPECT_EQ(prompter.asked.size(), 1u);
    EXPECT_GT(worker->GetWeatherManager()->aviation::weather::CMetarManager::GetCount(), 1000);
    EXPECT_EQ(worker->GetWeatherSource(), WeatherDataLive);
    const std::vector<CWaypointWX> route = planner->GetFlightPlan().waypoints;
    ASSERT_EQ(route.size(), 5u);
    EXPECT_EQ(route[0].GetMetar(),
              L"KSEA 221853Z 22007KT 10SM SCT005 SCT015 BKN030 09/08 A2977 RMK AO2 SLP088 T00890078");
    // The departure's own grid point first, then the area around the first en-route point for the wind at
    // cruising level, which serves the rest of the route.
    const QStringList grid = GridRequests();
    ASSERT_GE(grid.size(), 2);
    EXPECT_TRUE(grid[0].contains("lat=47.45&lon=-122.31&mode=single")) << grid.join(' ').toStdString();
    EXPECT_FALSE(grid.filter("mode=multi").isEmpty());
    for (std::size_t i = 0; i < route.size(); ++i) {
        EXPECT_FALSE(route[i].GetGrib().GetLevels().empty()) << i;
        if (i == 0 || i + 1 == route.size())
            continue;
        EXPECT_EQ(route[i].GetAltitude(), 30000);
        EXPECT_GE(route[i].GetWind().speed, 0.0) << i;
        EXPECT_LT(route[i].GetTemperature(), -20.0f) << i;
    }
    EXPECT_TRUE(ui.lineEdit_averageWind->text().endsWith(" kt")) << ui.lineEdit_averageWind->text().toStdString();

    QFile wind(QDir(Folder()).filePath("KSEAKPDX.wx"));
    ASSERT_TRUE(wind.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(wind.readAll());
    EXPECT_EQ(text.count('\n'), 10);
    EXPECT_FALSE(text.contains("-01@-1(-99)"));
}

TEST_F(PlannerCalculationTest, TenStoredMetarsAreWeatherEnoughToAskNothing)
{
    worker->LoadWeatherFromText(kNineMetars + kTenthMetar, QString(), QString());
    Type("EDDF", "EDDM");
    planner->CalculateFP();
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(planner->GetFlightPlan().waypoints.size(), 2u);
    EXPECT_TRUE(ui.pushButton_printFp->isEnabled());
}

TEST_F(PlannerCalculationTest, FuelShowsInKilogramsAndAbsurdProfilesStopAtTheIntRange)
{
    worker->LoadWeatherFromText(kNineMetars + kTenthMetar, QString(), QString());
    CSettings::SetUnitsLbs(false);
    Type("EDDF", "EDDM");
    planner->CalculateFP();
    for (QLabel* label : {ui.label_lbs, ui.label_lbs_2, ui.label_lbs_3, ui.label_lbs_4, ui.label_lbs_5})
        EXPECT_EQ(label->text(), QStringLiteral("kg"));
    EXPECT_EQ(ui.lineEdit_taxi->text(), QStringLiteral("113"));
    EXPECT_EQ(ui.lineEdit_fuel_holding->text(), QStringLiteral("680"));

    CSettings::SetUnitsLbs(true);
    planner->SetAircraft(Boeing777(1e30f));
    planner->CalculateFP();
    EXPECT_EQ(ui.lineEdit_fuel_route->text(), QString::number(std::numeric_limits<int>::max()));
    EXPECT_EQ(ui.lineEdit_fuel_total->text(), QString::number(std::numeric_limits<int>::max()));
}
