#include "flight/tab_flightrecorder.h"

#include "flight/flightdlg.h"
#include "flight/flightfile.h"
#include "forms/mainwindowform.h"
#include "generation/mainwindowhost.h"
#include "generation/weatherworker.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/maildraft.h"
#include "settings/settings.h"
#include "weather/weathermanager.h"

#include <QDir>
#include <QFile>

namespace {

// A mail address this short is no address.
constexpr int kShortestMailAddress = 4;

QDateTime NowUtc()
{
    return QDateTime::fromSecsSinceEpoch(platform::NowSeconds(), Qt::UTC);
}

// The time of day as "hh:mm:ss"; empty for a null time.
QString TimeOfDay(const QDateTime& time)
{
    return time.isNull() ? QString() : time.time().toString(Qt::TextDate);
}

// The report's lines after its title, as label and value; the HTML report escapes the values.
struct ReportLine
{
    QString label;
    QString value;
    QString unit;
};

std::vector<ReportLine> ReportLines(const CFlightData& flight)
{
    return {
        {QStringLiteral("Dep:"), flight.GetDeparture(), {}},
        {QStringLiteral("Dest:"), flight.GetDestination(), {}},
        {QStringLiteral("Off-Block Time:"), TimeOfDay(flight.GetOffBlockTime()), {}},
        {QStringLiteral("OnBlock Time: "), TimeOfDay(flight.GetOnBlockTime()), {}},
        {QStringLiteral("Take-Off Time: "), TimeOfDay(flight.GetTakeOffTime()), {}},
        {QStringLiteral("Landing Time: "), TimeOfDay(flight.GetLandingTime()), {}},
        {QStringLiteral("Flight Time: "), flight.GetFlightTime().toString(Qt::TextDate), {}},
        {QStringLiteral("Max Altitude: "), QString::number(flight.GetMaxAltitude()), QStringLiteral(" ft")},
        {QStringLiteral("Max GS: "), QString::number(flight.GetMaxGroundSpeed()), QStringLiteral(" kt")},
        {QStringLiteral("Max TAS: "), QString::number(flight.GetMaxTas()), QStringLiteral(" kt")},
    };
}

} // namespace

CTab_Flightrecorder::CTab_Flightrecorder(QWidget* parent)
    : QWidget(parent)
{
}

CTab_Flightrecorder::~CTab_Flightrecorder() = default;

void CTab_Flightrecorder::SetUi(CMainWindowHost* window)
{
    m_window = window;
    m_form = CMainWindowForm::FormOf(this);
}

void CTab_Flightrecorder::ClearFields()
{
    m_recording = false;
    if (m_form == nullptr)
        return;
    for (QLineEdit* field : {m_form->lineEdit_OffBlockTime, m_form->lineEdit_OnBlockTime, m_form->lineEdit_TakeOffTime,
                             m_form->lineEdit_LandingTime, m_form->lineEdit_FlighTime, m_form->lineEdit_FlightStatus})
        field->setText(QString());
}

void CTab_Flightrecorder::ShowFlights()
{
    FlightDlg dialog(this);
    dialog.exec();
}

QString CTab_Flightrecorder::HtmlReport(const CFlightData& flight, const QDateTime& now)
{
    QString html = QStringLiteral("<b>Flight Report from %1, Aircraft: %2 Registration: %3</b>")
                       .arg(now.toString(Qt::TextDate), flight.GetAircraft().toHtmlEscaped(),
                            flight.GetRegistration().toHtmlEscaped());
    html += QLatin1String("<ul>");
    for (const ReportLine& line : ReportLines(flight))
        html += QStringLiteral("<li>%1%2%3</li>").arg(line.label, line.value.toHtmlEscaped(), line.unit);
    html += QLatin1String("</ul><hr>");
    return html;
}

QString CTab_Flightrecorder::TextReport(const CFlightData& flight, const QDateTime& now)
{
    QString text = QStringLiteral("Flight Report from %1, Aircraft: %2 Registration: %3\n\n")
                       .arg(now.toString(Qt::TextDate), flight.GetAircraft(), flight.GetRegistration());
    for (const ReportLine& line : ReportLines(flight))
        text += line.label + line.value + line.unit + QLatin1Char('\n');
    return text;
}

void CTab_Flightrecorder::WriteFlightReport(const CFlightData& record)
{
    // The window starts a new flight below; the report goes on with its own copy.
    const CFlightData flight = record;
    if (m_form) {
        QTextBrowser* results = m_form->textBrowser_FlightResults;
        results->setHtml(results->toHtml() + HtmlReport(flight, NowUtc()));
    }
    if (m_window)
        m_window->OnTabFlightRecorderResetFlight();

    MailReport(TextReport(flight, NowUtc()));

    const QString fileName = WriteFlightFile(flight);
    if (!fileName.isEmpty() && CSettings::GetExportAerovane())
        UploadFlight(fileName);
}

void CTab_Flightrecorder::UploadFlight(const QString& /*fileName*/) { }

void CTab_Flightrecorder::MailReport(const QString& report)
{
    const QString address = CSettings::GetFlight2EmailAdress();
    if (!CSettings::GetFlight2Email() || address.size() < kShortestMailAddress)
        return;
    const QUrl mail
        = platform::MailDraft(address, QStringLiteral("Flight report from ") + CSettings::GetUserId(), report);
    platform::Launcher().Open(QString(), mail.toString(QUrl::FullyEncoded));
}

QString CTab_Flightrecorder::WriteFlightFile(const CFlightData& flight)
{
    const QString folder = CSettings::GetFlightsFolder();
    QDir().mkdir(folder);
    const QString callsign = CSettings::GetUserId();
    const QString fileName = CFlightFile::FileName(CSettings::GetAerovaneUserId(), callsign, NowUtc());

    const std::vector<aviation::structs::CAircraft> track = flight.GetTrack();
    const QString departure = track.empty() ? QString() : NearestAirport(track.front());
    const QString destination = track.empty() ? QString() : NearestAirport(track.back());

    QFile file(QDir(folder).filePath(fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Log(QStringLiteral("(Recorder) - Can not write flight file %1: %2").arg(file.fileName(), file.errorString()));
        return QString();
    }
    const bool written = CFlightFile::Write(file, callsign, flight, departure, destination) && file.flush();
    file.close();
    if (!written) {
        Log(QStringLiteral("(Recorder) - Can not write flight file %1: %2").arg(file.fileName(), file.errorString()));
        return QString();
    }
    return fileName;
}

QString CTab_Flightrecorder::NearestAirport(const aviation::Position& position)
{
    CWeatherWorker* worker = m_window ? m_window->GetWeatherWorker() : nullptr;
    if (worker == nullptr || worker->GetWeatherManager() == nullptr)
        return QString();
    return QString::fromWCharArray(worker->GetWeatherManager()->GetNearestAirport(position.GetPosition(), 0).GetICAO());
}

void CTab_Flightrecorder::Log(const QString& text)
{
    if (m_window)
        m_window->OnDebugString(text, 0);
}
