// The simulator connection thread: runs the queued jobs (connect, read the aircraft, send the weather, ...) one
// after the other through the simulator interface facade or the bridge client, while the window stays free.
#pragma once

#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"
#include "simlink/aircraftfuel.h"
#include "simlink/aircraftpayload.h"
#include "simlink/fsinterface.h"
#include "simlink/fsweatherstation.h"
#include "simlink/jobmanager.h"
#include "simlink/ovyxclient.h"
#include "simlink/xpweather.h"
#include "weather/level.h"
#include "weather/station.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Codes of sigThreadSignal.
enum ThreadSignal : int {
    ThreadConnected = 1,
    ThreadDisconnecting = 2,
    ThreadBridgeConnected = 3, // right after ThreadConnected on the bridge link
    ThreadWeatherStarted = 4,
    ThreadWeatherFinished = 5,
    ThreadLinkLost = 6, // the link broke (closed, silent or garbled): the worker is disconnected
};

// Every public operation may be called from any thread. The records handed over and read back are copied under
// a lock, so a running job never sees a half-written one; a weather transfer takes its records over at its start,
// so a hand-over never waits for a transfer to end. The facade is opened, used and closed in the worker's thread;
// only LoadFlightPlan uses it from the caller's thread, serialised with the jobs. The thread runs no event loop.
class CConnectWorker : public QThread
{
    Q_OBJECT

public:
    // The link type is `interface/type` as it is now; later changes of the setting reach it only in a new worker.
    explicit CConnectWorker(QObject* parent = nullptr);
    // Stops after the running job, closes the links in the worker's thread and waits for it; waiting jobs are
    // dropped unperformed.
    ~CConnectWorker() override;

    // Logs the job's text (to the log file only) unless it is empty, queues the job and starts the thread when it
    // is not running. A job queued while the thread is finishing is still run. An aircraft read or wind update
    // while one of its kind still waits is dropped silently.
    void AddJob(const CJob& job);
    // Queues job 16: the text shown in the simulator.
    void SendFSMessage(const QString& text);
    // Keeps the stations and queues job 13, which sends nothing.
    void SendStationToFS(const std::vector<aviation::weather::CStation>& stations);
    // Keeps the X-Plane wind record and queues job 11.
    void SendWindToXP(const CXPWeather& wind);
    // The records the next "Set Weather" job sends, in order; the caller queues job 7.
    void SetWeather(const std::vector<CFSWeatherStation>& stations);
    // The wind the wind jobs and the weather transfer set at the aircraft; the caller queues job 9.
    void SetWindLevel(const aviation::weather::CLevel& level);

    // The last aircraft sample read (job 2), details (jobs 5 and 15) and fuel (job 5).
    aviation::structs::CAircraft GetAircraft() const;
    aviation::structs::CAircraftDetail GetAircraftDetail() const;
    aviation::structs::CAircraftFuel GetFuel() const;
    // On the bridge link: the whole handshake went through and the link has not broken since; else the facade's
    // state.
    bool IsConnected() const;
    // The waits of the bridge clients connected from now on.
    void SetBridgeWaits(const COvyxClient::Waits& waits) { m_bridgeWaits = waits; }
    // Loads the flight plan into the simulator at once, in the caller's thread; nothing on the bridge link.
    void LoadFlightPlan(const std::wstring& path);
    // The running job finishes and no further job runs; the rest stay queued. A bridge request the running job
    // waits for is given up at once.
    void Stop();
    // Clear WX: a running weather transfer stops before its next record, and its records and any transfer still
    // waiting are dropped. Unlike Stop, the link goes on with the next job, and transfers asked for later run.
    void StopWeatherTransfer();
    // A weather transfer runs or waits: weather generated now would replace records not yet sent.
    bool IsSendingWeather() const;

signals:
    void sigThreadJobFinished(int type, QString text);
    // A "Set Fuel" or "Set Payload" job (its type) that the link did not carry out; it still reports finished.
    void sigWriteFailed(int type);
    void sigThreadSignal(int code);
    // Targets: 0 debug tab and log file, 1 debug tab only, 2 log file only.
    void sigUIDebugString(QString text, int target);
    void sigUIDebugString(QString text);
    void sigUIStatusText(QString text);
    void sigUIProgress(int percent, QString text);

public slots:
    // Records the simulator version the bridge reports (the program's simulator version).
    void SetFSVersion(int version);
    // The fuel and payload the next "Set Fuel" and "Set Payload" jobs write.
    void SetFuel(const aviation::structs::CAircraftFuel& fuel);
    void SetPayload(const aviation::structs::CAircraftPayload& payload);
    void OnUiDebugString(const QString& text, int target);
    void OnUiDebugString(const QString& text);

protected:
    void run() override;

private:
    bool IsBridgeLink() const { return m_linkType == 4; }
    // QThread::wait, and the order of what the ended run did before the caller goes on.
    void WaitForRunEnd();
    void Perform(const CJob& job);
    // Closes the facade and drops the bridge client; run in the worker's thread by the destructor.
    void CloseLinks();
    void Log(const QString& text);
    // Sets the pointer under the lock IsConnected and Stop read it with.
    void ReplaceClient(COvyxClient* client);
    // Logs out (when still connected) and deletes the bridge client.
    void DropClient();
    // After a bridge job: a connection fault of the client ends the link (see LinkLost). False then.
    bool CheckLink();
    // The link is gone: one log line with the cause, the client dropped, waiting jobs other than connects dropped,
    // "not connected" in the status line and ThreadLinkLost. A stop asked for by the owner only drops the client.
    void LinkLost(const QString& cause);
    // The pause after a weather record, in short steps; the aircraft reads queued meanwhile run in it and are
    // reported as finished jobs. False as soon as the transfer is stopped or a read finds the link broken.
    bool PauseBetweenRecords(int milliseconds);
    // Runs a waiting aircraft read, if any; false when the bridge link broke on it.
    bool ReadWaitingAircraft();
    bool TransferStopped() const { return m_stop || m_transferStop; }
    // Ends an unfinished weather transfer: its own log line and progress text.
    void FailTransfer(const QString& cause);

    void Connect();
    void ConnectBridge();
    void ConnectFacade();
    void Disconnect();
    void ReadAircraft();
    void WriteFuel();
    void ReadFuel();
    void WritePayload();
    // Writes the fuel or payload `record` of `job` over the link in use, the simulator showing `shownText` first
    // when the user wants it; a write the link does not take is logged and reported through sigWriteFailed.
    template<typename BridgeWrite, typename FacadeWrite>
    void WriteRecord(int job, const QString& record, const char* shownText, BridgeWrite overBridge,
                     FacadeWrite overFacade);
    void SendWeather();
    // Sends one record over the link; a broken bridge link shows in the client's fault.
    void SendWeatherRecord(const CFSWeatherStation& station, const aviation::weather::CWind& wind);
    void SendWeatherToBridge(const CFSWeatherStation& station, const aviation::weather::CWind& wind);
    void LoadWeatherTheme(const QString& theme);
    void SetWind();
    void SetWindAndRepeat();
    void SendXPlaneWind();
    void ClearWeather();
    void ReadDetails();
    void ShowMessage(const QString& text);

    // The facade's operations run under the facade lock.
    template<typename Operation> auto WithFacade(Operation operation)
    {
        std::lock_guard<std::mutex> locker(m_facadeLock);
        return operation(m_facade);
    }
    // A facade operation answering 0, 1 or 2; a failure's text is logged behind "(ConnectWorker) ".
    template<typename Operation> int CallFacade(Operation operation)
    {
        std::wstring errorText;
        const int result = WithFacade([&](aviation::IPC::CFSInterface& facade) {
            const int code = operation(facade);
            if (code != 0)
                errorText = facade.GetErrorText();
            return code;
        });
        if (result != 0)
            Log(QStringLiteral("(ConnectWorker) ") + QString::fromStdWString(errorText));
        return result;
    }

    const int m_linkType;
    // The bridge's second version number (the kind of weather it takes); -1 until a bridge connect. Worker
    // thread only.
    int m_fsVersion = -1;

    mutable std::mutex m_facadeLock;
    aviation::IPC::CFSInterface m_facade;
    std::atomic<bool> m_facadeConnected{false};

    // Created, used and deleted in the worker's thread; the pointer is changed under the lock.
    mutable std::mutex m_clientLock;
    COvyxClient* m_client = nullptr;
    COvyxClient::Waits m_bridgeWaits;
    // The bridge link is up: handshake and version exchange done, no fault since.
    std::atomic<bool> m_bridgeUp{false};

    mutable std::mutex m_valuesLock;
    aviation::structs::CAircraft m_aircraft;
    aviation::structs::CAircraftFuel m_fuel;
    aviation::structs::CAircraftPayload m_payload;
    aviation::structs::CAircraftDetail m_details;
    CXPWeather m_xplaneWind;
    std::vector<aviation::weather::CStation> m_newStations;

    // The weather-transfer lock guards the records and the wind level; the transfer's stop is set with the records
    // dropped and cleared with the records taken over, under the same lock, so it never stops a later transfer.
    std::mutex m_weatherLock;
    std::vector<CFSWeatherStation> m_weather;
    aviation::weather::CLevel m_windLevel;
    std::atomic<bool> m_transferStop{false};
    std::atomic<bool> m_sendingWeather{false};

    // Monotonic time of the last wind set; the first wind job only starts the clock. Worker thread only.
    bool m_windClockStarted = false;
    std::int64_t m_lastWindSetMs = 0;

    CJobManager m_jobs;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_runningJobs{false};
    // Whether a run has been started and not yet decided to end; changed under the lock.
    std::mutex m_runLock;
    bool m_active = false;
    // The destructor's last run only closes the links.
    std::atomic<bool> m_closing{false};
};
