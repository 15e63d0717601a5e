// The calculation on the planner page, with the weather model of a weather worker and the loopback weather server.
#include "plannerprompter.h"
#include "settings/serveraddresses.h"
#include "tests/flightplan/planfixtures.h"
#include "tests/support/stallclock.h"
#include "tools/wx-server/wxserver.h"

#include <QTimer>

#include <limits>
#include <utility>

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

// The text the status line shows last: each of these calls replaces it.
QString ShownProgressText(const FakeWindowHost& host)
{
    for (auto call = host.calls.crbegin(); call != host.calls.crend(); ++call) {
        for (const QString& prefix :
             {QStringLiteral("OnUpdateProgress("), QStringLiteral("sigUIProgressTextUpdate(")}) {
            if (call->startsWith(prefix))
                return call->mid(prefix.size()).chopped(1);
        }
        if (call->startsWith(QStringLiteral("sigUIUpdateProgress(")))
            return call->mid(call->indexOf(',') + 1).chopped(1);
    }
    return QString();
}

aviation::structs::CAircraftDetail Boeing777(float fuelFlow)
{
    aviation::structs::CAircraftDetail aircraft;
    aircraft.name = L"Boeing 777-200LR";
    aircraft.cruiseSpeed = 450;
    aircraft.maxAlt = 43100;
    aircraft.FuelFlow = fuelFlow;
    aircraft.TaxiFuel = 250.0f;
    aircraft.HoldingFuel = 1500.0f;
    aircraft.ExtraFuel = 800.0f;
    return aircraft;
}

class PlannerCalculationTest : public PlannerPageTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Listen());
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = addresses.serverUrlUS = server.BaseUrl();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
        PlannerPageTest::SetUp();
        planner->SetAircraft(Boeing777(5300.0f));
        CSettings::SetExportPMDG777WXFolder(dir.path());
    }

    void TearDown() override
    {
        PlannerPageTest::TearDown();
        m_addresses.reset();
    }

    void CalculateTyped(const QString& departure, const QString& destination, const QString& alternate = QString())
    {
        planner->DepartureChange(departure);
        planner->DestinationChange(destination);
        planner->AlternateChange(alternate);
        planner->CalculateFP();
    }

    tools::WxServer server{QStringLiteral(AEROVANE_WXSERVER_DATA)};
    std::unique_ptr<ScopedServerAddresses> m_addresses;
};

} // namespace

// No report lies near the route (the nine are in Germany). After No, and after Yes when the weather file stalls
// and the grid server refuses, no point has weather: no calm wind and no temperature that no report gave, and a
// failed download stays on the status line.
TEST_F(PlannerCalculationTest, RoutesWithoutWeatherAreFlownInCalmAirAndShowNoWeather)
{
    worker->LoadWeatherFromText(kNineMetars, QString(), QString());
    // The weather file is given up a second of this clock after the server has taken its request.
    platform::ScopedClock clock(platform::NowSeconds());
    host.downloader.SetStallLimit(1000, 64);
    StallClock stallClock(clock, host.downloader, server, 1000);
    server.SetFailure(QStringLiteral("/weather_vatsim.gz"), tools::WxServer::Failure::Stall);
    server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::GridError);
    const struct
    {
        PromptAnswer answer;
        const char* plan; // typed airports when null
        const char* route;
        const char* status; // the status line after the calculation, when it shows one
    } cases[] = {
        {PromptAnswer::No, nullptr, "KSEA KPDX KGEG", nullptr},
        {PromptAnswer::Yes, "KSEA-KPDX_fs9.pln", "KSEA SEA OLM HQ KPDX KGEG",
         "Download weather failed: stalled: less than 64 bytes in 1 s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.route);
        prompter.asked.clear();
        host.Clear();
        prompter.questionAnswer = c.answer;
        stallClock.PassWindowAfter(StallClock::kOnUnansweredRequest);
        if (c.plan) {
            prompter.chosenFile = FixturePath(c.plan);
            planner->ImportFP();
        } else {
            CalculateTyped("KSEA", "KPDX", "KGEG");
        }
        ASSERT_EQ(prompter.asked.size(), 1u);
        EXPECT_EQ(prompter.asked[0].text, "No Weather.\nDownload Weather Now?");
        EXPECT_EQ(host.log.contains("(Flight planner) No Weather Download"), c.answer == PromptAnswer::No);
        EXPECT_EQ(server.Requests().filter("/weather_vatsim.gz").size(), c.answer == PromptAnswer::Yes ? 1 : 0);
        if (c.status) {
            EXPECT_TRUE(ShownProgressText(host).startsWith(c.status)) << ShownProgressText(host).toStdString();
        }

        const std::vector<CWaypointWX> route = planner->GetFlightPlan().waypoints;
        QStringList idents;
        for (const CWaypointWX& point : route)
            idents << QString::fromStdWString(point.GetIdent());
        ASSERT_EQ(idents.join(' '), c.route);
        EXPECT_EQ(route[0].GetTas() + route[0].GetGroundSpeed() + route[0].GetLegTime(), 0);
        for (std::size_t i = 0; i < route.size(); ++i) {
            EXPECT_EQ(route[i].GetWind().speed, -1.0) << i;
            EXPECT_EQ(route[i].GetTemperature(), -99.0f) << i;
            for (int column : {7, 8})
                EXPECT_EQ(ui.tableView_waypoints->model()->index(static_cast<int>(i), column).data().toString(), "n/a")
                    << i;
            if (i == 0)
                continue;
            // No wind: heading = course and ground speed = airspeed.
            EXPECT_DOUBLE_EQ(route[i].GetHeading(), route[i].GetCourse()) << i;
            EXPECT_EQ(route[i].GetGroundSpeed(), 450) << i;
            EXPECT_GT(route[i].GetLegTime(), 0) << i;
        }
        EXPECT_TRUE(ui.lineEdit_averageWind->text().isEmpty());
        EXPECT_EQ(ui.lineEdit_fuel_total->text().toInt(), ui.lineEdit_fuel_route->text().toInt() + 2550);
    }
    EXPECT_FALSE(server.Requests().filter("/get_grib_v2.php").isEmpty()); // the en-route points asked in vain
    EXPECT_FALSE(QFile::exists(dir.filePath("KSEAKPDX.wx"))); // the wind file is off
}

TEST_F(PlannerCalculationTest, YesFetchesTheServersWeatherAndTheGridAlongTheRoute)
{
    worker->LoadWeatherFromText(kNineMetars, QString(), QString());
    CSettings::SetExportPMDG777WX(true);
    prompter.questionAnswer = PromptAnswer::Yes;
    prompter.chosenFile = FixturePath("KSEA-KPDX_fs9.pln"); // five points, cruising at 30000 ft
    planner->ImportFP();

    EXPECT_GT(worker->GetWeatherManager()->aviation::weather::CMetarManager::GetCount(), 1000);
    EXPECT_EQ(worker->GetWeatherSource(), WeatherDataLive);
    // The departure's own grid point, then the area around the first en-route point, which serves the rest.
    const QStringList grid = server.Requests().filter("/get_grib_v2.php");
    ASSERT_GE(grid.size(), 2);
    EXPECT_TRUE(grid[0].contains("lat=47.45&lon=-122.31&mode=single"));
    EXPECT_FALSE(grid.filter("mode=multi").isEmpty());
    const std::vector<CWaypointWX> route = planner->GetFlightPlan().waypoints;
    ASSERT_EQ(route.size(), 5u);
    EXPECT_EQ(route[0].GetMetar().substr(0, 26), L"KSEA 221853Z 22007KT 10SM ");
    for (std::size_t i = 1; i + 1 < route.size(); ++i) {
        EXPECT_EQ(route[i].GetAltitude(), 30000);
        EXPECT_GE(route[i].GetWind().speed, 0.0) << i;
        EXPECT_LT(route[i].GetTemperature(), -20.0f) << i;
    }
    // Each leg's wind triangle at 450 kt: course from the previous point, the heading turned into the wind, and the
    // ground speed with the wind's component along the course (the last leg is the destination's own wind).
    const struct
    {
        double course, heading;
        int groundSpeed;
    } legs[] = {{181.42, 190.06, 484}, {221.16, 231.28, 434}, {268.26, 274.60, 385}, {146.51, 147.21, 452}};
    for (std::size_t i = 1; i < route.size(); ++i) {
        EXPECT_NEAR(route[i].GetCourse(), legs[i - 1].course, 0.01) << i;
        EXPECT_NEAR(route[i].GetHeading(), legs[i - 1].heading, 0.01) << i;
        EXPECT_EQ(route[i].GetGroundSpeed(), legs[i - 1].groundSpeed) << i;
    }
    EXPECT_TRUE(ui.lineEdit_averageWind->text().endsWith(" kt"));
    const QByteArray wind = ReadBytes(dir.filePath("KSEAKPDX.wx"));
    EXPECT_EQ(wind.count('\n'), 10);
    EXPECT_FALSE(wind.contains("-01@-1(-99)"));
}

// Yes inside a weather generation's wait: the worker refuses the download, and the calculation goes on with the
// weather loaded and says why nothing was downloaded.
TEST_F(PlannerCalculationTest, YesInAGenerationsWaitDownloadsNothingAndSaysWhy)
{
    worker->LoadWeatherFromText(kNineMetars, QString(), QString());
    worker->SetWeatherSource(WeatherDataLive);
    aviation::structs::CAircraft aircraft;
    aircraft.SetLatitude(50.03);
    aircraft.SetLongitude(8.57);
    worker->SetAircraft(aircraft);
    prompter.questionAnswer = PromptAnswer::Yes;
    // Every grid request stalls: a second of this clock gives those under way up once the server has taken the
    // calculation's first one, and the grid is held back for the rest.
    server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::Stall);
    platform::ScopedClock clock(platform::NowSeconds());
    host.downloader.SetStallLimit(1000, 64);
    StallClock stallClock(clock, host.downloader, server, 1000);
    bool calculated = false;
    QString status;
    const QMetaObject::Connection inTheWait = QObject::connect(&server, &tools::WxServer::RequestServed, [&] {
        QTimer::singleShot(0, [&] {
            if (std::exchange(calculated, true))
                return;
            stallClock.PassWindowAfter(StallClock::kOnUnansweredRequest);
            CalculateTyped("KSEA", "KPDX", "KGEG");
            status = ShownProgressText(host);
        });
    });
    worker->GenerateFSWeather(QString());
    QObject::disconnect(inTheWait);

    EXPECT_EQ(status, CWeatherWorker::GenerationUnderWayText());
    EXPECT_TRUE(server.Requests().filter("/weather_vatsim.gz").isEmpty());
    EXPECT_EQ(planner->GetFlightPlan().waypoints.size(), 3u);
    EXPECT_EQ(host.CallsStartingWith("SetWeather").size(), 1);
}

TEST_F(PlannerCalculationTest, TenReportsAskNothingAndFuelShowsInKilograms)
{
    worker->LoadWeatherFromText(kNineMetars + "EDDF 221850Z AUTO VRB01KT CAVOK 13/12 Q1017 NOSIG\n", QString(),
                                QString());
    CSettings::SetUnitsLbs(false);
    CalculateTyped("EDDF", "EDDM");
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(ui.lineEdit_taxi->text(), "113");
    for (QLabel* label : {ui.label_lbs, ui.label_lbs_2, ui.label_lbs_3, ui.label_lbs_4, ui.label_lbs_5})
        EXPECT_EQ(label->text(), "kg");

    CSettings::SetUnitsLbs(true);
    planner->SetAircraft(Boeing777(1e30f));
    planner->CalculateFP();
    EXPECT_EQ(ui.lineEdit_fuel_total->text(), QString::number(std::numeric_limits<int>::max()));
}

// Both hemispheres, the tropics, where the grid's points blow alike, and a low level.
TEST_F(PlannerCalculationTest, EveryLegOfRoutesAroundTheWorldHasTheGridsWindAndTemperature)
{
    const struct
    {
        const char* name;
        int cruise;
        const char* points;
    } routes[] = {
        {"SBEG-SBBE", 25000,
         "1 SBEG 0 -3.038611 -60.049722\n11 ITA 0 -3.130000 -58.480000\n11 MPA 0 -2.500000 -54.600000\n"
         "11 GUR 0 -1.800000 -51.200000\n1 SBBE 0 -1.379167 -48.476111\n"},
        {"FMMT-FJDG", 35000,
         "1 FMMT 0 -18.109444 49.392500\n11 SEYCH 0 -14.500000 56.000000\n11 MALDI 0 -10.500000 64.000000\n"
         "1 FJDG 0 -7.313333 72.411111\n"},
        {"CYPR-PAWG", 5000,
         "1 CYPR 0 54.286111 -130.444722\n11 KETCH 0 55.350000 -131.700000\n1 PAWG 0 56.484444 -132.369722\n"},
        {"LEMG-LFPG", 35000,
         "1 LEMG 0 36.674900 -4.499110\n11 RESBI 0 38.300000 -3.600000\n11 BLV 0 40.900000 -1.900000\n"
         "11 TOU 0 43.600000 1.400000\n11 AMB 0 46.200000 2.100000\n1 LFPG 0 49.009722 2.547778\n"},
    };
    prompter.questionAnswer = PromptAnswer::Yes;
    for (const auto& route : routes) {
        const QByteArray points(route.points);
        prompter.chosenFile
            = WriteFile(dir, QString(route.name) + ".fms",
                        "I\n3 version\n1\n" + QByteArray::number(points.count('\n') - 1) + "\n" + points);
        planner->ImportFP();
        ui.lineEdit_CruiseAlt->setText(QString::number(route.cruise));
        planner->CalculateFP();
        const auto legs = planner->GetFlightPlan().waypoints;
        ASSERT_GE(legs.size(), 3u) << route.name;
        for (std::size_t i = 1; i < legs.size(); ++i) {
            EXPECT_GE(legs[i].GetWind().speed, 0.0) << route.name << " " << i;
            EXPECT_GT(legs[i].GetTemperature(), -90.0f) << route.name << " " << i;
        }
    }
}

TEST_F(PlannerCalculationTest, WithoutAUsableProfileTimeAndFuelShowNotAvailableAndTheLineSaysWhy)
{
    worker->LoadWeatherFromText(kNineMetars + "EDDF 221850Z AUTO VRB01KT CAVOK 13/12 Q1017 NOSIG\n", QString(),
                                QString());
    CSettings::SetExportPMDG777WX(true);
    aviation::structs::CAircraftDetail noSpeed = Boeing777(5300.0f);
    noSpeed.cruiseSpeed = 0;
    const struct
    {
        aviation::structs::CAircraftDetail aircraft;
        QString note;
    } cases[] = {
        {{}, "Time and fuel need an aircraft profile: no aircraft selected"},
        {noSpeed, "Time and fuel need an aircraft profile: cruise speed 0"},
        {Boeing777(5300.0f), ""},
    };
    for (const auto& c : cases) {
        QFile::remove(dir.filePath("EDDFEDDM.wx"));
        planner->SetAircraft(c.aircraft);
        CalculateTyped("EDDF", "EDDM");
        EXPECT_EQ(ui.label_calculationNote->text(), c.note);
        const bool usable = c.note.isEmpty();
        for (QLineEdit* field : {ui.lineEdit_estimatedFlightTime, ui.lineEdit_fuel_route, ui.lineEdit_fuel_total})
            EXPECT_EQ(field->text() == "n/a", !usable) << c.note.toStdString();
        // Route, winds and the wind file are worked out all the same.
        EXPECT_EQ(planner->GetFlightPlan().waypoints.size(), 2u);
        EXPECT_TRUE(QFile::exists(dir.filePath("EDDFEDDM.wx")));
    }
}
