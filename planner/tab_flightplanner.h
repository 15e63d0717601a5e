// The flight planner page of the main window. The window's form creates the page and every widget on it; the
// page reaches those widgets through the form once the window has handed itself over with Init.
#pragma once

#include "flightplan/flightplan.h"
#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"
#include "weather/level.h"
#include "weather/position.h"

#include <QString>
#include <QWidget>

#include <cstdint>

class CMainWindowHost;
class CWeatherWorker;
class QLineEdit;
namespace Ui {
class Aerovane_ProClass;
}
namespace aviation::weather {
class CWeatherManager;
}
namespace flightplanner {
class RouteWind;
}

class CTab_Flightplanner : public QWidget
{
public:
    explicit CTab_Flightplanner(QWidget* parent = nullptr);
    ~CTab_Flightplanner() override;

    // Called once by the window after its form is built. Printing waits for the first calculated plan.
    void Init(CMainWindowHost* window, CWeatherWorker* worker);

    // The window forwards the page's fields and buttons here. Airport fields turn green for a known airport and
    // red for an unknown one; the cruising level is checked against the aircraft's ceiling.
    void DepartureChange(const QString& text);
    void DestinationChange(const QString& text);
    void AlternateChange(const QString& text);
    void CruisingLevelChanged();
    void ImportFP();
    void CalculateFP();
    void PrintFP();
    void Reset();
    void ExportFP();
    void GetRouteVatRoute();

    // A copy of the calculated flight plan, the route auto mode flies.
    aviation::CFlightplan GetFlightPlan() const;
    // The plan as typed, imported or chosen, before the calculation.
    const aviation::CFlightplan& GetEditedFlightPlan() const { return m_flightplan; }

    // Reads an FSX/P3D, FS2004 or X-Plane plan, whichever reader takes it, into a new plan that replaces the edited
    // one, adds the alternate of the page, completes airport elevations and shows the route, its distance and
    // course. A refused file changes nothing: one warning names the file and why, and the result is false.
    bool OpenFlightPlanFile(const QString& path);

    // The aircraft planned for. A cruising level above its ceiling gives way to its usual cruising level.
    void SetAircraft(const aviation::structs::CAircraftDetail& aircraft);
    const aviation::structs::CAircraftDetail& GetAircraft() const { return m_aircraft; }
    // Follows the flight along the route with every aircraft sample while the page is shown.
    void UpdatePosition(const aviation::structs::CAircraft& aircraft);

    // Aircraft samples closer together than this are not looked at.
    static constexpr std::int64_t kPositionSearchIntervalMs = 10000;
    // A route point nearer to the aircraft than this (NM) is the current one.
    static constexpr double kCurrentPointRangeNm = 10.0;

private:
    // Checks a typed airport ident and takes a known airport into `airport`.
    void AirportChange(QLineEdit* field, const QString& text, aviation::CWaypointWX& airport, bool enablesCalculation);
    // Widens the result fields to their longest values and keeps five waypoint rows in sight.
    void FitResultFields();
    // A line for the Debug page and the log file; the debug output while the page has no window.
    void Log(const QString& text);

    // The calculation of the edited plan into the calculated one, with the weather along the route
    // (tab_flightplanner_calculation.cpp).
    void CalculateFlightPlan();
    // The grid's wind and temperature at an altitude (ft) above a position; 0 on success, the weather model's
    // status code otherwise (level left as it was).
    int InterpolateLevel(const aviation::Position& position, int altitude, aviation::weather::CLevel& level);
    // The route's winds and temperatures for the PMDG 777's computer (tab_flightplanner_pmdgwind.cpp).
    void ExportPMDG777Wind();

    // Helpers of the calculation: the weather pass over every point, the leg pass after the first, and the
    // times and fuel shown on the page ("n/a" without a usable aircraft profile).
    bool CompleteRoute();
    void LookUpWeather(aviation::CWaypointWX& point, int cruiseLevel, bool gridWeather, flightplanner::RouteWind& wind);
    void CalculateLeg(const aviation::CWaypointWX& previous, aviation::CWaypointWX& point, int cruiseLevel,
                      bool gridWeather);
    void ShowTimeAndFuel(bool usableAircraft);
    // Puts the failure of the weather download the calculation asked for back on the status line.
    void ShowWeatherDownloadFailure();

    // When the last aircraft sample was looked at (monotonic ms).
    std::int64_t m_positionSearchMs = 0;
    CMainWindowHost* m_window = nullptr;
    CWeatherWorker* m_weatherWorker = nullptr;
    aviation::weather::CWeatherManager* m_weatherManager = nullptr;
    Ui::Aerovane_ProClass* m_form = nullptr;
    aviation::CFlightplan m_flightplan;
    aviation::CFlightplan m_calculatedFlightplan;
    aviation::structs::CAircraftDetail m_aircraft;
    // Length of the shown route, NM.
    double m_totalDistance = 0.0;
};
