// What weather generation may do with the main window: its forwarders to the connection worker, its display
// and log slots, its accessors and its report signals, under the window's own member names. The main window
// implements it (its signals of the same signature override the pure functions below); tests use a fake host.
#pragma once

#include "simlink/aircraftdetail.h"
#include "simlink/fsweatherstation.h"
#include "simlink/xpweather.h"
#include "weather/level.h"
#include "weather/metar.h"
#include "weather/station.h"

#include <QString>

#include <string>
#include <vector>

class CConnectWorker;
class CWeatherWorker;
class CDirectWindControl;
class WXDownloader;

namespace aviation {
class CFlightplan;
}

class CMainWindowHost
{
public:
    virtual ~CMainWindowHost() = default;

    // Forwarders: each hands its record to the connection worker and queues the job.
    virtual void SetWeather(const std::vector<CFSWeatherStation>& stations) = 0; // job 7 "Set Weather"
    virtual void SetWindFSUIPC(const aviation::weather::CLevel& level) = 0; // job 9 "Set Wind FSUIPC"
    virtual void SendWindToXP(const CXPWeather& wind) = 0; // job 11 "Send Wind to XP"
    virtual void SendStationToFS(const std::vector<aviation::weather::CStation>& stations) = 0; // job 13
    virtual void SetWeatherTheme(const std::string& theme) = 0; // job 8, "weather/themes/" + name
    virtual void ShowFSMessage(const QString& text) = 0; // job 16

    // Display and log.
    virtual void ShowMetar(aviation::weather::CMetar& metar) = 0;
    virtual void OnSetTextToolButtonICAO(const QString& icao) = 0;
    // The nearest-METAR display when no station is near: the text as the raw-METAR list's first row, the decoded
    // METAR emptied.
    virtual void ShowNoMetarNearby(const QString& text) = 0;
    // Target 0: debug tab and log file, 1: debug tab only, 2: log file only.
    virtual void OnDebugString(const QString& text, int target) = 0;
    // The status-bar text.
    virtual void OnUpdateProgress(const QString& text) = 0;
    // The status bar's weather-server text after a live download: "Aerovane Server not reached" when the server
    // did not answer, nothing once it did.
    virtual void ShowWeatherServerReached(bool reached) = 0;
    // The start-up splash screen's message, bottom centre in black.
    virtual void ShowSplashMessage(const QString& text) = 0;

    // Accessors.
    virtual bool IsConnected() = 0;
    virtual WXDownloader* GetDownloader() = 0;
    virtual CConnectWorker* GetConnectWorker() = 0;
    // A copy of the flight planner's current flight plan.
    virtual void GetFlightPlan(aviation::CFlightplan& plan) = 0;
    virtual CWeatherWorker* GetWeatherWorker() = 0;
    // A copy of the last aircraft detail record; while the link is up it first queues jobs 3 and 15.
    virtual aviation::structs::CAircraftDetail GetAircraftDetails() = 0;

    // Operations the pages and dialogs start on the window.
    // Lists the profiles of "AircraftConfigs" into the aircraft selector ("Select Aircraft" first), keeping the
    // selected profile.
    virtual void FillAircraftCombo() = 0;
    // Selects the named profile in the aircraft selector, which loads it for the planner.
    virtual void SelectAircraftProfile(const QString& name) = 0;
    // Has the simulator load the flight plan file at once (SimConnect only), on the caller's thread.
    virtual void LoadFlightPlanToFS(const QString& path) = 0;
    // Toggles recording, resets the flight-phase tracker and the recorder fields, refreshes fuel and details.
    virtual void OnTabFlightRecorderResetFlight() = 0;

    // The window's report signals.
    virtual void sigUIDebugString(const QString& text, int target) = 0;
    virtual void sigUIProgressTextUpdate(const QString& text) = 0;
    virtual void sigUIUpdateProgress(int value, const QString& text) = 0;
    virtual void sigUIUpdateProgressBar(qint64 value, qint64 total) = 0;
    virtual void sigUIUpdateProgressToolTip(const QString& text) = 0;
    // Command numbers: 0 download weather, 1 set all weather, 2 set the weather of one ICAO, 3 clear weather,
    // 4 connect; true disables.
    virtual void sigDisableButton(int command, bool disable) = 0;
    // A weather generation began (true) or ended: the window's other commands that would replace the loaded weather
    // under it (the history download, the stored weather file) are off while one runs.
    virtual void OnGenerationRunning(bool running) = 0;
    // The direct wind control after each step, for the wind table.
    virtual void sigUIUpdateDwcInfo(const CDirectWindControl& control) = 0;
};
