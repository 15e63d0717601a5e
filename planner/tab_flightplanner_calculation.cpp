// The flight plan calculation: the edited plan becomes the calculated plan with the weather of every route point,
// the wind-corrected heading, ground speed and time of every leg, and the mean wind, flight time and fuel of the
// whole route shown on the page.

#include "planner/tab_flightplanner_calculation.h"
#include "planner/tab_flightplanner.h"

#include "forms/mainwindowform.h"
#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "settings/settings.h"
#include "weather/weathermanager.h"

#include <QProgressDialog>

#include <algorithm>
#include <cmath>
#include <limits>

using aviation::CWaypointWX;
using aviation::Position;
using aviation::weather::CGrib;
using aviation::weather::CLevel;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CWeatherManager;
using aviation::weather::CWind;

namespace flightplanner {

namespace {

constexpr int kDegreeSign = 0xB0;
constexpr double kKilogramsPerPound = 0.4535924;

} // namespace

int TruncatedInt(double value)
{
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    if (std::isnan(value))
        return 0;
    if (value <= lowest)
        return std::numeric_limits<int>::min();
    if (value >= highest)
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

int LegMinutes(double distance, int groundSpeed)
{
    return TruncatedInt(std::ceil(distance / groundSpeed * 60.0));
}

QString FlightTimeText(long long totalMinutes)
{
    const long long seconds = totalMinutes * 60;
    if (seconds <= 0)
        return QString();
    const long long hours = seconds / 3600;
    const long long minutes = (seconds - hours * 3600) / 60;
    return QString::asprintf("%02lld:%02lld", hours, minutes);
}

FuelSums SumRouteFuel(std::vector<CWaypointWX>& waypoints, const FuelProfile& profile)
{
    FuelSums sums;
    for (CWaypointWX& point : waypoints) {
        const float legFuel = static_cast<float>(profile.fuelFlow / 60.0 * point.GetLegTime());
        point.SetLegFuel(legFuel);
        sums.route = TruncatedInt(static_cast<float>(sums.route) + legFuel);
    }
    sums.total = TruncatedInt(static_cast<float>(sums.route) + profile.taxi + profile.holding + profile.extra);
    return sums;
}

int ShownFuel(double pounds, bool unitsLbs)
{
    return TruncatedInt(unitsLbs ? pounds : pounds * kKilogramsPerPound);
}

QString MissingForTimeAndFuel(const aviation::structs::CAircraftDetail& aircraft)
{
    if (aircraft.name.empty())
        return QStringLiteral("no aircraft selected");
    if (aircraft.cruiseSpeed <= 0)
        return QStringLiteral("cruise speed 0");
    return QString();
}

void RouteWind::Add(const CWind& wind)
{
    if (!(wind.speed >= 0.0) || !std::isfinite(wind.direction) || !std::isfinite(wind.speed))
        return;
    const double direction = aviation::DegToRad(wind.direction);
    m_x += std::cos(direction) * wind.speed;
    m_y += std::sin(direction) * wind.speed;
    ++m_winds;
}

QString RouteWind::MeanText(int points) const
{
    if (m_winds == 0 || points <= 0)
        return QString();
    const double x = m_x / points;
    const double y = m_y / points;
    const double direction = CWeatherManager::GetVectorDirection(x, y);
    if (!(direction >= 0.0 && direction <= 360.0))
        return QString();
    return QString::asprintf("%03.0f%c/%.0f kt", direction, kDegreeSign, std::sqrt(x * x + y * y));
}

} // namespace flightplanner

namespace {

bool IsAirport(const aviation::WayPoint& point)
{
    return point.GetType() == 1 || point.GetType() == 2;
}

// A point no report or grid gave weather for: no wind and no temperature, as the empty level has them.
void SetNoWeather(CWaypointWX& point)
{
    point.SetWind(CWind());
    point.SetTemperature(static_cast<float>(CLevel::kNoTemperature));
}

// The wind the heading is corrected for: a level without wind (speed below 0) is calm air, so the heading is
// the course and the ground speed the airspeed.
CWind CorrectionWind(const CWind& wind)
{
    return wind.speed < 0.0 ? CWind(0.0, 0.0) : wind;
}

} // namespace

bool CTab_Flightplanner::CompleteRoute()
{
    // A page not yet handed its window computes the route as it stands.
    if (m_window == nullptr)
        return true;
    std::vector<CWaypointWX>& route = m_flightplan.waypoints;
    if (route.size() >= 2)
        return true;
    if (m_flightplan.departure.GetIdent().size() != 4 || m_flightplan.destination.GetIdent().size() != 4)
        return false;
    const std::wstring alternateText = m_form->lineEdit_Altinate->text().toStdWString();
    const bool alternateInRoute = std::any_of(route.begin(), route.end(), [&](const CWaypointWX& point) {
        return point.GetType() == 2 && point.GetIdent() == alternateText;
    });
    route.push_back(m_flightplan.departure);
    route.push_back(m_flightplan.destination);
    if (m_flightplan.alternate.GetIdent().size() == 4 && !alternateInRoute)
        route.push_back(m_flightplan.alternate);
    return true;
}

void CTab_Flightplanner::CalculateFlightPlan()
{
    if (m_weatherWorker == nullptr || m_form == nullptr)
        return;
    if (!CompleteRoute())
        return;
    CWeatherManager* manager = m_weatherWorker->GetWeatherManager();
    for (CWaypointWX* airport : {&m_flightplan.departure, &m_flightplan.destination}) {
        CStation station;
        manager->FindAirport(airport->GetIdent(), station);
        airport->SetName(station.GetName());
    }
    m_calculatedFlightplan = m_flightplan;
    m_form->pushButton_Calculate->setEnabled(false);

    bool gridWeather = true;
    bool weatherDownloadFailed = false;
    bool weatherDownloadRefused = false;
    if (manager->CMetarManager::GetCount() < 10) {
        PromptRequest question;
        question.kind = PromptKind::Question;
        question.title = QStringLiteral("Aerovane - Flight Planner");
        question.text = QStringLiteral("No Weather.\nDownload Weather Now?");
        if (Prompter().Ask(question) == PromptAnswer::Yes) {
            // Inside a weather generation's wait the worker refuses the download; the calculation goes on with the
            // weather loaded.
            weatherDownloadRefused = m_weatherWorker->IsGenerating();
            weatherDownloadFailed = !m_weatherWorker->DownloadWeather() && !weatherDownloadRefused;
        } else {
            Log(QStringLiteral("(Flight planner) No Weather Download"));
            gridWeather = false;
        }
    }
    if (m_aircraft.name.empty())
        Log(QStringLiteral("(Flight planner) Aircraft not selected"));
    else
        Log(QStringLiteral("(Flight planner) Aircraft selected -> ") + QString::fromStdWString(m_aircraft.name));
    const QString missing = flightplanner::MissingForTimeAndFuel(m_aircraft);
    m_form->label_calculationNote->setText(
        missing.isEmpty() ? QString() : QStringLiteral("Time and fuel need an aircraft profile: %1").arg(missing));

    std::vector<CWaypointWX>& points = m_calculatedFlightplan.waypoints;
    const int pointCount = static_cast<int>(points.size());
    QProgressDialog progress(QStringLiteral("Calculate Waypoint"), QStringLiteral("Abort Calculate"), 0, pointCount,
                             this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(true);
    progress.show();

    m_totalDistance = 0.0;
    const int cruiseLevel = m_form->lineEdit_CruiseAlt->text().toInt();
    m_calculatedFlightplan.cruiseAltitude = cruiseLevel;

    flightplanner::RouteWind routeWind;
    for (int i = 0; i < pointCount; ++i) {
        const QString ident = QString::fromStdWString(points[i].GetIdent());
        progress.setLabelText(QStringLiteral("Calculate Waypoint ") + ident);
        progress.setValue(i);
        const QString line = QStringLiteral("(Flight planner) calculate %1").arg(ident);
        Log(line);
        platform::DebugOut(line.toStdWString() + L"\n");
        if (progress.wasCanceled())
            break;
        LookUpWeather(points[i], cruiseLevel, gridWeather, routeWind);
        if (i > 0 && m_aircraft.cruiseSpeed != 0) {
            points[i].SetTas(m_aircraft.cruiseSpeed);
            points[i].SetGroundSpeed(m_aircraft.cruiseSpeed);
        }
    }
    m_form->lineEdit_averageWind->setText(routeWind.MeanText(pointCount));

    for (int i = 1; i < pointCount; ++i) {
        const QString ident = QString::fromStdWString(points[i].GetIdent());
        progress.setLabelText(QStringLiteral("Calculate Wind for ") + ident);
        progress.setValue(i);
        Log(QStringLiteral("(Flight planner) calculate Wind for %1").arg(ident));
        CalculateLeg(points[i - 1], points[i], cruiseLevel, gridWeather);
    }

    ShowTimeAndFuel(missing.isEmpty());
    m_form->tableView_waypoints->SetFlightPlan(m_calculatedFlightplan);
    // The grid downloads along the route wrote over the status line; it shows the failed or refused download again,
    // as the download command leaves it.
    if (weatherDownloadFailed)
        ShowWeatherDownloadFailure();
    else if (weatherDownloadRefused && m_window != nullptr)
        m_window->sigUIProgressTextUpdate(CWeatherWorker::GenerationUnderWayText());
    progress.close();
}

void CTab_Flightplanner::ShowWeatherDownloadFailure()
{
    const QString failure = m_weatherWorker->DownloadFailureText(static_cast<std::uint32_t>(platform::NowSeconds()));
    if (m_window != nullptr && !failure.isEmpty())
        m_window->sigUIProgressTextUpdate(failure);
}

void CTab_Flightplanner::LookUpWeather(CWaypointWX& point, int cruiseLevel, bool gridWeather,
                                       flightplanner::RouteWind& wind)
{
    CWeatherManager* manager = m_weatherWorker->GetWeatherManager();
    const QString ident = QString::fromStdWString(point.GetIdent());
    const auto singlePointGrid = [&] {
        CGrib grib;
        m_weatherWorker->DownloadSingleGrib(point.GetPosition(), &grib);
        grib.Decode(false);
        return grib;
    };

    if (IsAirport(point)) {
        const CMetar own = m_weatherWorker->GetMetar(ident);
        if (!own.GetRaw().empty()) {
            point.SetAltitude(own.GetElevation());
            point.SetTemperature(static_cast<float>(own.GetTemperature()));
            point.SetWind(own.GetWind());
            point.SetMetar(own.GetRaw());
        } else {
            // With no report near, the empty one that stands for it carries no weather of this place.
            const CMetar nearest = manager->GetNearestMetar(point.GetPosition());
            if (nearest.GetRaw().empty()) {
                SetNoWeather(point);
            } else {
                point.SetTemperature(static_cast<float>(nearest.GetTemperature()));
                point.SetWind(nearest.GetWind());
            }
            point.SetMetar(nearest.GetRaw());
        }
        if (point.GetAltitude() == 0) {
            CStation station;
            m_weatherWorker->FindStation(ident, station);
            point.SetAltitude(station.GetElevation());
        }
        if (gridWeather)
            point.SetGrib(singlePointGrid());
        return;
    }

    point.SetMetar(manager->GetNearestMetar(point.GetPosition()).GetRaw());
    if (cruiseLevel > 0)
        point.SetAltitude(cruiseLevel);
    if (!gridWeather)
        return;
    const CGrib grib = singlePointGrid();
    CLevel level = grib.GetLevelAtAltitude(point.GetAltitude());
    InterpolateLevel(point.GetPosition(), point.GetAltitude(), level);
    point.SetGrib(grib);
    point.SetWind(level);
    point.SetTemperature(static_cast<float>(level.GetTemperature()));
    wind.Add(level);
}

void CTab_Flightplanner::CalculateLeg(const CWaypointWX& previous, CWaypointWX& point, int cruiseLevel,
                                      bool gridWeather)
{
    const int tas = m_aircraft.cruiseSpeed;
    CLevel level;
    if (IsAirport(point)) {
        if (gridWeather)
            level = CLevel(point.GetAltitude(), point.GetWind(), point.GetTemperature(), CLevel::kMissingTemperature,
                           -1.0f, -1.0);
    } else if (gridWeather) {
        InterpolateLevel(point.GetPosition(), cruiseLevel, level);
    }
    const double course = Position::GetCourse(previous, point);
    point.SetCourse(course);
    point.WindCorrectionHeading(course, tas, CorrectionWind(level));
    point.SetTas(tas);
    point.SetWind(level);
    point.SetTemperature(static_cast<float>(level.GetTemperature()));
    // Without an airspeed the ground speed is the wind's alone: no leg time.
    if (tas > 0 && point.GetGroundSpeed() > 0)
        point.SetLegTime(flightplanner::LegMinutes(Position::GetDistance(previous, point), point.GetGroundSpeed()));
}

void CTab_Flightplanner::ShowTimeAndFuel(bool usableAircraft)
{
    const QString unit = CSettings::GetUnitsLbs() ? QStringLiteral("lbs") : QStringLiteral("kg");
    for (QLabel* label :
         {m_form->label_lbs, m_form->label_lbs_2, m_form->label_lbs_3, m_form->label_lbs_4, m_form->label_lbs_5})
        label->setText(unit);
    if (!usableAircraft) {
        for (QLineEdit* field :
             {m_form->lineEdit_estimatedFlightTime, m_form->lineEdit_fuel_route, m_form->lineEdit_taxi,
              m_form->lineEdit_fuel_holding, m_form->lineEdit_fuel_extra, m_form->lineEdit_fuel_total})
            field->setText(QStringLiteral("n/a"));
        return;
    }
    std::vector<CWaypointWX>& points = m_calculatedFlightplan.waypoints;
    long long totalMinutes = 0;
    for (const CWaypointWX& point : points)
        totalMinutes += point.GetLegTime();
    m_form->lineEdit_estimatedFlightTime->setText(flightplanner::FlightTimeText(totalMinutes));

    const flightplanner::FuelSums sums = flightplanner::SumRouteFuel(
        points, {m_aircraft.FuelFlow, m_aircraft.TaxiFuel, m_aircraft.HoldingFuel, m_aircraft.ExtraFuel});
    const bool unitsLbs = CSettings::GetUnitsLbs();
    const auto shown
        = [unitsLbs](double pounds) { return QString::number(flightplanner::ShownFuel(pounds, unitsLbs)); };
    m_form->lineEdit_fuel_route->setText(shown(sums.route));
    m_form->lineEdit_taxi->setText(shown(m_aircraft.TaxiFuel));
    m_form->lineEdit_fuel_holding->setText(shown(m_aircraft.HoldingFuel));
    m_form->lineEdit_fuel_extra->setText(shown(m_aircraft.ExtraFuel));
    m_form->lineEdit_fuel_total->setText(shown(sums.total));
}

int CTab_Flightplanner::InterpolateLevel(const Position& position, int altitude, CLevel& level)
{
    if (m_weatherWorker == nullptr)
        return 1;
    CWeatherManager* manager = m_weatherWorker->GetWeatherManager();
    std::vector<CLevel> levels;
    int status = manager->InterpolationGrib(position, levels);
    if (status == 1) {
        m_weatherWorker->DownloadGrib(position, false);
        levels.clear();
        status = manager->InterpolationGrib(position, levels);
    }
    if (status != 0)
        return status;
    const CLevel* lower = nullptr;
    const CLevel* upper = nullptr;
    for (std::size_t i = 1; i < levels.size(); ++i) {
        if (levels[i - 1].GetAltitude() < altitude && altitude < levels[i].GetAltitude()) {
            lower = &levels[i - 1];
            upper = &levels[i];
        }
    }
    if (lower != nullptr)
        level.Interpolate(*lower, *upper, altitude);
    return status;
}
