// The owner of the running program's weather model: builds it from the station databases at start-up,
// downloads and loads weather into it, answers look-ups by ICAO, keeps the latest aircraft sample and runs the
// simulation and wind-control timers. Lives on the GUI thread and reports through the main window host.
#pragma once

#include "generation/directwindcontrol.h"
#include "generation/updatescheduler.h"
#include "simlink/aircraft.h"
#include "weather/grib.h"
#include "weather/level.h"
#include "weather/metar.h"
#include "weather/position.h"
#include "weather/station.h"
#include "weather/weathermanager.h"

#include <QObject>
#include <QString>

#include <boost/signals2/connection.hpp>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class CMainWindowHost;
class CWeatherFileSections;
class CWeatherThemeRecord;
class QTimer;

// Where the weather in the model came from; the simulation timer downloads again only for live weather.
enum WeatherDataMode { WeatherDataNone = 0, WeatherDataLive = 1, WeatherDataHistory = 2, WeatherDataStored = 3 };

class CWeatherWorker : public QObject
{
    Q_OBJECT

public:
    // icaos.txt: simulator station ICAO -> (ICAO whose weather it takes, the station's own ICAO).
    using IcaoSubstitutes = std::map<QString, std::pair<QString, QString>>;

    static constexpr int kSimTimerIntervalMs = 1000;
    static constexpr int kWindControlIntervalMs = 500;

    // Builds the weather model from the embedded databases and the optional airportlist.txt, icaos.txt and
    // airportaddlist.txt of the program folder, and starts both timers.
    explicit CWeatherWorker(CMainWindowHost* window);
    ~CWeatherWorker() override;

    // The decoded (and repaired) METAR of the ICAO with its distance from the aircraft; a blank report,
    // carrying the airport's station data when the ICAO is a known airport, when none is stored.
    aviation::weather::CMetar GetMetar(const QString& icao);
    // The airport of the ICAO, or a default station.
    void FindStation(const QString& icao, aviation::weather::CStation& station);
    // The ICAO's TAF block, "no TAF available" or "TAF failed".
    QString GetTaf(const QString& icao);
    aviation::weather::CWeatherManager* GetWeatherManager() { return m_weatherManager.get(); }

    void SetAircraft(const aviation::structs::CAircraft& aircraft) { m_aircraft = aircraft; }
    void SetWeatherSource(int source) { m_weatherSource = source; }
    int GetWeatherSource() const { return m_weatherSource; }
    // Starts or stops the simulation timer; the wind-control timer keeps running.
    void EnableSimTimer(bool enable);
    // The next tick of the simulation timer generates and sends the weather, without waiting for the period
    // (a link that came back has lost what was sent before).
    void RequestWeatherUpdate() { m_lastGeneration = 0; }
    // Stops both timers for good; the closing window calls it before it lets go of the connection worker.
    void StopTimers();
    const IcaoSubstitutes& GetIcaoSubstitutes() const { return m_icaoSubstitutes; }

    // The worker's METAR list, which auto mode fills.
    void AppendToMetarList(const aviation::weather::CMetar& metar) { m_metarList.push_back(metar); }
    const std::vector<aviation::weather::CMetar>& GetMetarList() const { return m_metarList; }
    void ClearMetarList();
    // The simulator's weather is being cleared: the METAR list is emptied, a generation under way stops at its next
    // step and hands nothing more to the simulator, and neither does a theme load or an X-Plane wind that one
    // generation left to come.
    void OnWeatherCleared();
    // Keeps the entries strictly nearer than the radius (NM) and observed less than 1800 s ago.
    void FilterMetarList(const aviation::Position& centre, int radius);

    // Loads "metar.txt" and, when asked, "addwx.txt" and "wind.txt" of the folder in place of the weather.
    void LoadWeatherFromFile(const QString& folder, bool withAddWx, bool withWind);
    // Loads the three texts of a stored weather file in place of the weather.
    void LoadWeatherFromText(const QString& metar, const QString& synop, const QString& grib);

    // Fetches the combined METAR, SYNOP and TAF file of the weather server and loads it; the source becomes live
    // weather. A failed download keeps the weather, the source and the time of the last download as they were,
    // and has the scheduler try again after kFirstDownloadRetrySeconds, each further failure waiting twice as
    // long up to the update period. False on a failure, and for a call while another one is under way. A call
    // while a generation runs (from inside its wait) is refused with the status line GenerationUnderWayText():
    // it would hold the generation up and change the weather under it. A refusal is no failure: nothing is
    // noted, and the commands stay as they are.
    bool DownloadWeather();
    // The scheduler's live download is due: a retry after failures, or the next period of live weather.
    bool DownloadDue(std::uint32_t now, std::uint32_t period) const;
    static constexpr std::uint32_t kFirstDownloadRetrySeconds = 60;
    // Test seam: the wait before the first retry of a failed weather or grid download (kFirstDownloadRetrySeconds
    // unless set).
    void SetFirstDownloadRetry(std::uint32_t seconds) { m_firstRetrySeconds = std::max<std::uint32_t>(seconds, 1); }
    // "Download weather failed: <cause>, next try in <n> s" while the last live download failed (", next try
    // once FS is connected" while no simulator is: the scheduler tries only with a link); else empty.
    QString DownloadFailureText(std::uint32_t now) const;
    // Adds the grid points of the server's area around the position to the grid store (clearFirst: replaces
    // them); false on a network error or a refusal. A grid download that fails on the network holds every grid
    // download back for a while, as a failed weather download does: meanwhile they return false at once and
    // the stations take the standard atmosphere, so a grid server that stalls costs one deadline, not one per
    // station.
    bool DownloadGrib(const aviation::Position& position, bool clearFirst);
    // Fetches the one grid point at the position when none is stored near it and the weather is live; then
    // *out := the stored point nearest to the position within 500 km. False when there is none.
    bool DownloadSingleGrib(const aviation::Position& position, aviation::weather::CGrib* out);
    // "Download Grib failed: <cause>, next try in <n> s" (or "..., next try once FS is connected") while grid
    // downloads are held back after one failed on the network; else empty.
    QString GridFailureText(std::uint32_t now) const;
    // The positions of a square grid around the centre: rows `spacing` NM apart up to `halfWidth` NM north and
    // south, each row its origin and the points up to `halfWidth` NM west, then east of it.
    std::vector<aviation::Position> GenerateGrid(const aviation::Position& centre, int halfWidth, int spacing);

    // Weather generation, each handing its records to the window's forwarders. One runs at a time: a generation
    // asked for while another one waits for a download (a command, or a timer inside that wait) is refused with
    // the status line GenerationUnderWayText(). Commands 0 and 1 are disabled while one runs, and so are the
    // window's other commands that replace the loaded weather; at its end, however it ends, command 1 comes back
    // while the simulator is connected and command 0 unless a download of its own still runs. Clear WX stops a
    // generation in its wait (OnWeatherCleared). Normal mode: every station within the weather radius and the
    // global station (icao empty), or the one ICAO.
    void GenerateFSWeather(const QString& icao);
    // Auto mode: the stations over a grid around the aircraft whose weather was not sent lately.
    void GenerateFSWeatherAutoMode();
    // X-Plane: the weather record at the aircraft (job 7) and the wind record (job 11).
    void GenerateXPlaneWeather();
    void GenerateXPLaneWind();
    // Weather-model file mode: the weather of a grid around the aircraft written as a weather theme into the
    // simulator's themes folder, which the simulator is then asked to load.
    void GenerateFSWeatherModelFile();
    // A weather generation is running.
    bool IsGenerating() const { return m_generating; }
    static QString GenerationUnderWayText() { return QStringLiteral("Weather generation under way"); }
    static QString GenerationStoppedText()
    {
        return QStringLiteral("(WeatherManager) Weather generation stopped by Clear WX");
    }
    // A generation's grid download around the position, as DownloadGrib adds it; a generation that Clear WX stopped
    // during the wait leaves here (GenerationStopped, which RunGuarded takes).
    bool DownloadGribInGeneration(const aviation::Position& position);
    // The wait between the written theme and the request to load it, 2000 ms.
    void SetThemeLoadDelay(int milliseconds) { m_themeLoadDelayMs = milliseconds; }
    // A failed theme write is tried again this long after it.
    static constexpr std::uint32_t kThemeWriteRetrySeconds = 60;
    // Test seam: the wait before a failed theme write is tried again (kThemeWriteRetrySeconds unless set).
    void SetThemeWriteRetry(std::uint32_t seconds) { m_themeRetrySeconds = std::max<std::uint32_t>(seconds, 1); }
    // "Write weather theme failed: <cause>, next try in <n> s" while the last theme write failed; else empty.
    QString ThemeWriteFailureText(std::uint32_t now) const;
    // The last theme write failed and its next try is due.
    bool ThemeWriteRetryDue(std::uint32_t now) const;

    // Historic weather whose upper air was asked for and could not be had: no live grid stands in for it (the
    // surface weather would go out with today's winds aloft) and the status says so. Loading any other
    // weather ends it.
    void SetWithoutUpperAir(bool without);
    static QString WithoutUpperAirText() { return QStringLiteral("historic weather without upper air"); }
    // One step of the direct wind control: the wind at the aircraft moved towards the data's wind (job 9).
    void UpdateDirectWindControl();

public slots:
    // The simulation timer's tick: the scheduler's work.
    void OnUpdateSimTimer();
    // The wind-control timer's tick: one step while the control is on, weather is loaded, the simulator is
    // connected and the aircraft placed.
    void OnUpdateDWCTimer();

private:
    void ReadStartupFiles(QString& airportText);
    void ReadIcaoSubstitutes(const QString& path);
    void BindModelCallbacks();

    void Log(const QString& text);
    void Status(const QString& text);
    // The text in the status line and, behind "(WeatherManager) ", in the log.
    void ShowStep(const QString& text);
    // Writes the METAR text to the export file when general/ExportMetar is on.
    void ExportMetar(const QString& metarText);
    // Status, log line and store fill of one step of LoadWeatherFromFile / LoadWeatherFromText.
    void ClearWeatherStores();
    void FinishLoad();
    // Command 0 comes back unless a generation or a download runs, whose end brings it back.
    void EnableDownloadCommandWhenFree();
    // Reads one file of a weather folder; false after its two messages when it does not open.
    bool ReadWeatherFile(const QString& folder, const QString& name, QString& text);

    // One kind of download that is tried again after failures: why the last try failed (empty after one
    // succeeded), how many failed in a row, and when the next try is due.
    struct RetryBackOff
    {
        QString failure;
        int failures = 0;
        std::uint32_t nextTry = 0;
    };
    // Notes a failed try: the next waits the first-retry time, each further failure twice as long up to the
    // update period. The seconds until the next try.
    std::uint32_t NoteFailedTry(RetryBackOff& backOff, const QString& cause, std::uint32_t now) const;
    // The failure of `what` and its next try, worded for the link as it is now; empty after a success.
    QString RetryText(const QString& what, const RetryBackOff& backOff, std::uint32_t now) const;
    // A grid download failed and its next try is not due yet.
    bool GridHeldBack(std::uint32_t now) const;

    // Marks one generation as running for its lifetime, with the commands that would disturb it disabled; false
    // from Started() when another one runs already, which this one must then leave alone.
    class OneGeneration
    {
    public:
        explicit OneGeneration(CWeatherWorker& worker);
        ~OneGeneration();
        OneGeneration(const OneGeneration&) = delete;
        OneGeneration& operator=(const OneGeneration&) = delete;
        bool Started() const { return m_started; }

    private:
        CWeatherWorker& m_worker;
        const bool m_started;
    };

    // DownloadWeather's steps from the download to the X-Plane METAR file; why the download failed, empty after a
    // good one.
    QString FetchWeather();
    void LoadDownloadedSections(const CWeatherFileSections& sections);
    // The model holds reports to generate weather from; else one log line says that nothing is generated.
    bool HasWeatherToGenerate(const QString& generation);
    void WriteXPlaneMetar(const QString& metarText);
    // The grid text's first line contains "Error": the server refused the request.
    static bool IsGridRefusal(const QString& body);
    // Downloads the grid of request kind `request` (area or single point) around the position and stores it,
    // replacing the store when `clearFirst`; false on a network error, logged as `step` - Network Error, or a
    // refusal.
    bool FetchGrid(const aviation::Position& position, unsigned char request, bool clearFirst, const QString& step);
    aviation::Position AircraftPosition() const;

    CMainWindowHost* m_window;
    QTimer* m_simTimer = nullptr;
    QTimer* m_windControlTimer = nullptr;
    bool m_autoModeList = false;
    std::uint32_t m_lastDownload = 0;
    bool m_downloading = false;
    std::uint32_t m_firstRetrySeconds = kFirstDownloadRetrySeconds;
    RetryBackOff m_weatherRetry;
    RetryBackOff m_gridRetry;
    // Grid failures noted since the start: a request that fails after another one's failure was noted does not
    // count again.
    std::uint64_t m_gridFailuresNoted = 0;
    bool m_generating = false;
    // Clear WX presses since the start, and their count when the running generation began.
    std::uint64_t m_weatherClears = 0;
    std::uint64_t m_clearsAtGenerationStart = 0;
    std::shared_ptr<aviation::weather::CWeatherManager> m_weatherManager;
    aviation::structs::CAircraft m_aircraft;
    std::vector<aviation::weather::CMetar> m_metarList;
    IcaoSubstitutes m_icaoSubstitutes;
    int m_weatherSource = WeatherDataNone;
    std::vector<boost::signals2::scoped_connection> m_modelConnections;

    // The weather of one theme point.
    CWeatherThemeRecord ThemeRecordAt(const CWeatherThemeRecord& point);
    // Notes a failed theme write with its cause, shows it, and warns the user unless a failure since the last
    // good write has already done so.
    void ThemeWriteFailed(const QString& cause);
    int m_themeLoadDelayMs = 2000;
    std::uint32_t m_themeRetrySeconds = kThemeWriteRetrySeconds;
    // Why the last theme write failed, empty after one succeeded; when it is tried again.
    QString m_themeWriteFailure;
    std::uint32_t m_themeWriteRetryAt = 0;
    bool m_themeFailureWarned = false;
    bool m_withoutUpperAir = false;

    // Direct wind control: its state, the weather at the aircraft it works from (refreshed every 30 s) and the
    // last level handed to the simulator.
    CDirectWindControl m_directWindControl;
    aviation::weather::CMetar m_windControlMetar;
    aviation::weather::CGrib m_windControlGrib;
    aviation::weather::CLevel m_lastWindLevelSent;
    std::uint32_t m_windControlRefresh = 0;

    // The scheduler reads and sets the worker's times, reference data and weather source on each tick.
    friend class CUpdateScheduler;
    std::uint32_t m_lastGeneration = 0;
    std::uint32_t m_lastMetarDisplay = 0;
    CUpdateScheduler m_scheduler{*this};
};
