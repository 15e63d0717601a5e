// The flight recorder page of the main window. The window's form creates the page and every widget on it; the
// page reaches those widgets through the form once the window has handed itself over with SetUi. At the end of
// each flight it reports the flight on the page and by mail, and stores it in the flights folder.
#pragma once

#include "flight/flightdata.h"

#include <QDateTime>
#include <QString>
#include <QWidget>

class CMainWindowHost;
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

    // Stops recording and empties the time and status fields.
    void ClearFields();
    // The list of recorded flights, as a modal dialog.
    void ShowFlights();

    // The end of a flight: the HTML report on the page, a new flight for the window, the text report as a mail
    // draft when the user wants one, the flight file, and its upload when that is switched on.
    void WriteFlightReport(const CFlightData& flight);
    // Sends a stored flight file (name without folder) to the recorder web service.
    void UploadFlight(const QString& fileName);

    // The two reports of a flight made at `now` (UTC).
    static QString HtmlReport(const CFlightData& flight, const QDateTime& now);
    static QString TextReport(const CFlightData& flight, const QDateTime& now);

private:
    void MailReport(const QString& report);
    // Writes the flight file into the flights folder; its name, or empty (logged) when it could not be written.
    QString WriteFlightFile(const CFlightData& flight);
    // The ICAO code of the airport nearest to the position, empty without the weather model.
    QString NearestAirport(const aviation::Position& position);
    void Log(const QString& text);

    CMainWindowHost* m_window = nullptr;
    Ui::Aerovane_ProClass* m_form = nullptr;
    bool m_recording = false;
};
