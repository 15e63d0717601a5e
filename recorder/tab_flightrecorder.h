// The flight recorder page of the main window. The window's form creates the page and every widget on it; the
// page reaches those widgets through the form once the window has handed itself over with SetUi. For every
// aircraft sample it shows the flight's times and phase and posts the live position to the user's own page; at
// the end of each flight it reports the flight on the page and by mail, stores it in the flights folder and
// uploads it to the recorder web service's file server.
#pragma once

#include "recorder/flightdata.h"
#include "recorder/ftpupload.h"
#include "recorder/recorderlogin.h"

#include <QDateTime>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

class CMainWindowHost;
class FlightPhaseTracker;
class QNetworkAccessManager;
class QProgressDialog;
namespace Ui {
class Aerovane_ProClass;
}

class CTab_Flightrecorder : public QWidget
{
public:
    explicit CTab_Flightrecorder(QWidget* parent = nullptr);
    ~CTab_Flightrecorder() override;

    // Called once by the window after its form is built.
    void SetUi(CMainWindowHost* window);

    // Recording is switched on and off by the window's start/stop command.
    bool IsRecording() const { return m_recording; }
    void SetRecording(bool recording) { m_recording = recording; }

    // A live position post is given 20 s in all, less than its 30 s interval; tests shorten both.
    static constexpr int kLivePositionTimeoutMs = 20000;
    static constexpr int kLivePositionIntervalMs = 30000;
    void SetLivePositionTimeoutMs(int timeoutMs) { m_liveTimeoutMs = timeoutMs; }
    void SetLivePositionIntervalMs(int intervalMs) { m_liveIntervalMs = intervalMs; }
    void SetLoginTimeoutMs(int timeoutMs) { m_loginTimeoutMs = timeoutMs; }
    void SetFtpTimeoutMs(int timeoutMs) { m_ftpTimeoutMs = timeoutMs; }

    // One aircraft sample, after the tracker has taken it: the fields while the page is shown, the report once
    // the flight is parked, and the live position at most every 30 s and never while the previous one is open.
    void Update(const FlightPhaseTracker& tracker);

    // Stops recording and empties the time and status fields.
    void ClearFields();
    // The list of recorded flights, as a modal dialog.
    void ShowFlights();

    // The end of a flight: the departure and destination airports, the HTML report on the page, a new flight for
    // the window, the text report as a mail draft when the user wants one, the flight file, and its upload when
    // that is switched on.
    void WriteFlightReport(const CFlightData& flight);
    // Sends a stored flight file (name without folder) to the recorder web service's file server, after the login
    // and the user's consent; the outcome goes to the log and is shown to the user.
    void UploadFlight(const QString& fileName);
    // The recorder web service's login reply, or empty after a failure (shown in a warning).
    QString CheckLogin();

    // The two reports of a flight made at `now` (UTC).
    static QString HtmlReport(const CFlightData& flight, const QDateTime& now);
    static QString TextReport(const CFlightData& flight, const QDateTime& now);

    // The live position post: each value percent-encoded from UTF-8, the pairs joined by "&", closed by "&=".
    static QByteArray LivePositionBody(const CFlightData& flight, const aviation::structs::CAircraft& aircraft);

private:
    void ShowFields(const CFlightData& flight);
    void SendLivePosition(const CFlightData& flight, const aviation::structs::CAircraft& aircraft);
    // Stores the flight file on the server the login reply named; the outcome, logged and shown.
    void TransferFile(const QString& fileName, const FtpServer& server, QProgressDialog& progress);
    // The login at the recorder service, a failure written to the debug output.
    recorder::LoginResponse Login();
    void MailReport(const QString& report);
    // Writes the flight file into the flights folder; its name, or empty (logged and shown) when it could not be
    // written.
    QString WriteFlightFile(const CFlightData& flight);
    // The ICAO code of the airport nearest to the position, empty without the weather model.
    QString NearestAirport(const aviation::Position& position);
    void Log(const QString& text);

    CMainWindowHost* m_window = nullptr;
    Ui::Aerovane_ProClass* m_form = nullptr;
    bool m_recording = false;
    QNetworkAccessManager* m_network = nullptr;
    // Monotonic time of the last live position; none before the first.
    std::optional<std::int64_t> m_lastLivePositionMs;
    // A live position post waits for its answer; samples due meanwhile send nothing.
    bool m_livePositionOpen = false;
    int m_liveTimeoutMs = kLivePositionTimeoutMs;
    int m_liveIntervalMs = kLivePositionIntervalMs;
    int m_loginTimeoutMs = recorder::kLoginTimeoutMs;
    int m_ftpTimeoutMs = FtpUpload::kDefaultTimeoutMs;
};
