// The program's main window: hosts the form's pages, owns the weather worker, the simulator connection thread
// and the downloader, writes the log, and turns the user's commands and the finished simulator jobs into work
// for them. Weather generation reaches it through the window host interface.
#pragma once

#include "app/logwriter.h"
#include "forms/mainwindowform.h"
#include "generation/directwindcontrol.h"
#include "generation/mainwindowhost.h"
#include "recorder/flightphasetracker.h"
#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"
#include "weather/grib.h"

#include <QDateTime>
#include <QMutex>
#include <QSplashScreen>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CWeatherWorker;
class QCloseEvent;
class QComboBox;
class QListWidgetItem;
class QTimer;
class ServerInfo;

class Aerovane_Pro : public CMainWindowForm, public CMainWindowHost
{
    Q_OBJECT

public:
    // The generation Set all WX runs, by simulator and weather mode.
    enum class AllWeatherGeneration { XPlane, AutoMode, ModelFile, Normal };

    // The window's size when the saved one is on no screen.
    static constexpr int kDefaultWidth = 814;
    static constexpr int kDefaultHeight = 642;
    // A failed automatic connect is tried again after this pause.
    static constexpr int kAutoConnectRetryMs = 5000;
    // Aircraft details are asked for again after this long while samples come in.
    static constexpr std::int64_t kDetailRequestIntervalMs = 120000;
    // The Debug page keeps this many of the newest lines.
    static constexpr int kDebugPageLines = 5000;
    // Closing asks the connection thread to stop and looks every kCloseCheckMs whether it has ended, keeping the
    // window responsive; after kCloseChecks looks the window closes anyway and the thread is waited for when the
    // window is deleted.
    static constexpr int kCloseCheckMs = 20;
    static constexpr int kCloseChecks = 100;

    explicit Aerovane_Pro(QWidget* parent = nullptr);
    ~Aerovane_Pro() override;

    WXDownloader* GetDownloader() override { return downloader; }
    CConnectWorker* GetConnectWorker() override { return connectWorker; }
    CWeatherWorker* GetWeatherWorker() override { return weatherWorker.get(); }
    bool IsConnected() override { return connected; }
    void GetFlightPlan(aviation::CFlightplan& plan) override;

    // Forwarders to the connection thread: each hands its record over and queues the job. After the window
    // closed they do nothing.
    void SetWeather(const std::vector<CFSWeatherStation>& stations) override;
    void SetWindFSUIPC(const aviation::weather::CLevel& level) override;
    void SendWindToXP(const CXPWeather& wind) override;
    void SendStationToFS(const std::vector<aviation::weather::CStation>& stations) override;
    void SetWeatherTheme(const std::string& theme) override;
    void ShowFSMessage(const QString& text) override;
    // Has the simulator load the flight plan at once, in this thread; not a job.
    void LoadFlightPlanToFS(const QString& path) override;

    void ShowMetar(aviation::weather::CMetar& metar) override;
    void ShowNoMetarNearby(const QString& text) override;
    void ShowWeatherServerReached(bool reached) override;
    void ShowSplashMessage(const QString& text) override;
    // Shows a TAF on one line in the Weather page's TAF field.
    void ShowTaf(const QString& taf);
    // The station's level table: its single-point grid, or a standard atmosphere over the METAR when that fails.
    void ShowLevelProfile(const aviation::weather::CMetar& metar);

    // The flight followed through its phases with every aircraft sample.
    const FlightPhaseTracker& GetFlightPhaseTracker() const { return flightTracker; }
    // While the link is up, asks for the fuel and the aircraft details; returns the details known now.
    aviation::structs::CAircraftDetail GetAircraftDetails() override;
    // (Re)fills the tool bar's aircraft selector with the profiles in "AircraftConfigs", keeping the selected one.
    void FillAircraftCombo() override;
    void SelectAircraftProfile(const QString& name) override;
    void OnGenerationRunning(bool running) override;
    void UpdateAircraftLamps(const aviation::structs::CAircraft& aircraft);
    // X-Plane first, then auto mode, then the weather-model file, else the normal mode.
    static AllWeatherGeneration ChooseAllWeatherGeneration();
    // Shows and hides the six pages as the View settings say; the start-up sequence calls it.
    void RestoreTabs();
    // The archive's file names for a chosen date and time (taken as shown, without a zone conversion).
    static QString HistoryMetarName(const QDateTime& time);
    static QString HistorySynopName(const QDateTime& time);
    static QString HistoryGribName(const QDateTime& time);
    // Height of the output area below the pages while it shows at least one page.
    static constexpr int kOutputAreaHeight = 160;

signals:
    void sigUIDebugString(const QString& text, int target = 0) override;
    void sigUIProgressTextUpdate(const QString& text) override;
    void sigUIUpdateProgress(int value, const QString& text) override;
    void sigUIUpdateProgressToolTip(const QString& text) override;
    void sigUIUpdateProgressBar(qint64 value, qint64 total) override;
    void sigUIUpdateLevelInfo(aviation::weather::CGrib grib);
    void sigUIUpdateDwcInfo(const CDirectWindControl& control) override;
    void sigWeatherWorkerSetEvent(int event);
    void sigDisableButton(int command, bool disable) override;

public slots:
    // Started once, a second after the window was built: the server information document with its version,
    // update and news boxes, the previous run's log, the hints and tips, then the automatic connect and
    // download. Ends early when the window closes while one of its boxes, downloads or dialogs is open.
    void OnStart();
    // Help menu: the tips kept from the server information document, and the about box.
    void OnShowTipsDialog();
    void OnAbout();

    // The log: target 0 Debug page and log file, 1 Debug page only, 2 log file only; always the debug output.
    void OnDebugString(const QString& text, int target) override;
    void OnDebugString(const QString& text);
    // Status bar.
    void OnUpdateProgress(const QString& text) override;
    void OnUpdateProgress(int value, const QString& text);
    void OnUpdateProgress(qint64 value, qint64 total);
    void OnUpdateProgressToolTip(const QString& text);
    void SetStatusText(const QString& text, const QString& toolTip);
    void SetStatusText(const QString& text);

    // Commands.
    void OnButtonConnect();
    void OnDisableButton(int command, bool disable);
    void OnDownloadWX();
    void OnSetAllWX();
    void OnSetIcaoWX();
    void OnClearWX();
    void OnRefreshAI();
    void OnSetTextToolButtonICAO(const QString& icao) override;
    void OnMetarEnter();
    // A click on a line of the METAR list shows that station's decoded METAR, TAF and level profile.
    void OnListWidgetsMetarRawItemClicked(QListWidgetItem* item);
    void OnComboBoxAircraftChanged(int index);

    // Results of the connection thread.
    void OnThreadSignalJobFinished(int type, const QString& text);
    // A link that broke shows as disconnected and, with automatic connect on, is tried again after the pause.
    void OnThreadSignal(int code);
    void OnUpdateAircraftdata(const aviation::structs::CAircraft& aircraft);
    void OnUpdateAircraftDetails(const aviation::structs::CAircraftDetail& detail);
    // The level table shows each profile sent; the wind table shows the direct wind control while it is visible.
    void OnUpdateLevelInfo(const aviation::weather::CGrib& grib);
    void SetTableViewDirectWindControl(const CDirectWindControl& control);

    // View menu: each shows its page at the end of its tab widget or hides it, and remembers the choice.
    void OnTabShowWeather();
    void OnTabShowFlightPlanner();
    void OnTabShowLoadeditor();
    void OnTabShowFlightRecorder();
    void OnTabShowFlightData();
    void OnTabShowDebug();
    void OnTabMainCloseRequest(int index);
    void OnTabOutputCloseRequest(int index);
    // The load editor and the recorder ask the simulator for their data when they become the current page.
    void OnMainTabChanged(int index);
    void OnStayOnTop();
    void OnShowUserButtons();
    // Dialogs.
    void OnOption();
    void OnSimpleConfigurator();
    void OnDlgAircraftConfig();
    void OnWxFinderDlg();
    void OnWxFileDlgOpen();
    void OnWxFileDlgSave();
    void OnDlgHistoryWeather();
    void OnOpenWiki();
    // Flight recorder page.
    void OnTabFlightRecorderStartStopRecord();
    void OnTabFlightRecorderAutostart(bool autostart);
    void OnTabFlightRecorderResetFlight() override;
    void OnTabFlightRecorderShowFlights();
    // Flight planner page: each hands its field or button on to the planner.
    void OnTabFlightplannerAlternateChange(const QString& text);
    void OnTabFlightplannerDepartureChange(const QString& text);
    void OnTabFlightplannerDestinationChange(const QString& text);
    void OnTabFlightplannerCruisingLevelChanged();
    void OnTabFlightplannerButtonImportFP();
    void OnTabFlightplannerButtonCalculateFP();
    void OnTabFlightplannerPrintFP();
    void OnTabFlightplannerReset();
    void OnTabFlightplannerPushButtonExportFP();
    void OnTabFlightplannerGetRouteVatRoute();
    // Load editor page: sends the edited fuel and payload, or reads them from the simulator.
    void OnTabLoadEditorAccept();
    void OnTabLoadEditorRefresh();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Start-up: the server information document from the chosen location or, failing that, from the other one
    // (the location is switched back when both fail); false without a document.
    bool DownloadServerInfo(QString& document);
    // The unsupported-version, update and news boxes as due; false when the window closed meanwhile.
    bool ShowServerMessages(const ServerInfo& info);
    // Offers to mail the previous run's log when that run did not end cleanly, and removes it.
    void OfferPreviousLog();
    void ShowAutoModeHint();

    void ConnectCommands();
    void ConnectTabCommands();
    void ConnectReports();
    void ConnectWorkerSignals();
    // Queues a job when the connection thread still exists.
    void AddJob(int type, const QString& text);
    // The connection thread reports the simulator connected.
    bool IsLinkUp() const;
    void FitOutputArea();
    // Downloads and unpacks one archived file into the folder; false, with the error logged and shown and its
    // cause in words in *cause, when either fails or the window closed meanwhile.
    struct HistoryPart;
    bool FetchHistoryPart(const QString& folder, const HistoryPart& part, QString* cause);
    // The warning box naming the ticked history parts that could not be had, each with its cause ("Wind (HTTP
    // 404)"), and what follows from it.
    void WarnHistoryPartsFailed(const QStringList& parts, const QString& consequence);
    void OnAutoConnectRetry();
    // Queues a connect unless one is queued or running or the link is up.
    void RequestConnect();
    // Writes the settings' notes about replaced values to the log file: they are said before it opens.
    void WriteHeldSettingsNotes();
    // Connected state, Connect/Disconnect action, weather commands and lamps as they are without a link.
    void ShowDisconnected();
    // The history download and the stored weather file are off while a generation runs, the history download also
    // while its own request runs.
    void UpdateWeatherLoadCommands();
    // The first close request: timers stopped, "(Main) Close" logged, the connection thread asked to stop.
    void BeginClose();
    // Lets go of the connection thread: deleted when it has ended, else kept until the window is deleted (it is
    // never cut off, and nothing it uses is released before it ends).
    void ReleaseConnectWorker();
    // Frees the downloader now, or with the window when a transfer is still on the stack.
    void ReleaseDownloader();

    QSplashScreen splash;
    QMutex uiMutex;
    std::shared_ptr<CWeatherWorker> weatherWorker;
    CConnectWorker* connectWorker = nullptr;
    WXDownloader* downloader = nullptr;
    FlightPhaseTracker flightTracker;
    bool connected = false;
    // A connect job is queued or running.
    bool connecting = false;
    QString icaoForSetWx;
    // The raw text of the METAR the Weather page shows; only a report that differs from it is listed again.
    QString lastMetarShown;
    CLogWriter logFile;
    QComboBox* aircraftCombo = nullptr;
    aviation::structs::CAircraftDetail profileAircraftDetail;
    aviation::structs::CAircraftDetail simAircraftDetail;
    std::vector<std::pair<QString, int>> tips;

    // The weather is cleared after the first connect of a run only.
    bool clearWxDone = false;
    // Monotonic time of the last automatic detail request; none yet.
    std::optional<std::int64_t> lastDetailRequestMs;
    QTimer* autoConnectTimer = nullptr;
    bool closing = false;
    int closeChecks = 0;
    bool historyRequestRunning = false;
    std::unique_ptr<CConnectWorker> endingConnectWorker;
    // A downloader let go of while one of its transfers was still under way.
    std::unique_ptr<WXDownloader> retiredDownloader;
};
