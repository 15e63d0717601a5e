#include "recorder/tab_flightrecorder.h"

#include "forms/mainwindowform.h"
#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/launcher.h"
#include "platform/maildraft.h"
#include "recorder/flightdlg.h"
#include "recorder/flightfile.h"
#include "recorder/flightphase.h"
#include "recorder/flightphasetracker.h"
#include "recorder/ftpupload.h"
#include "settings/settings.h"
#include "weather/weathermanager.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProgressDialog>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace {

// A mail address this short is no address.
constexpr int kShortestMailAddress = 4;
// A live position address this short is no address.
constexpr int kShortestLivePositionUrl = 6;
// The upload needs a recorder hash longer than this.
constexpr int kShortestRecorderHash = 2;

const QString kRecorderTitle = QStringLiteral("Aerovane - Recorder");

void Warn(const QString& text)
{
    Prompter().Ask({PromptKind::Warning, kRecorderTitle, text, QString()});
}

void Inform(const QString& text)
{
    Prompter().Ask({PromptKind::Information, kRecorderTitle, text, QString()});
}

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
    , m_network(new QNetworkAccessManager(this))
{
}

CTab_Flightrecorder::~CTab_Flightrecorder() = default;

void CTab_Flightrecorder::SetUi(CMainWindowHost* window)
{
    m_window = window;
    m_form = CMainWindowForm::FormOf(this);
}

void CTab_Flightrecorder::Update(const FlightPhaseTracker& tracker)
{
    const CFlightData flight = tracker.GetFlightData();
    const aviation::structs::CAircraft aircraft = tracker.GetAircraft();
    if (isVisible())
        ShowFields(flight);
    if (flight.GetPhase() == PhaseParking) {
        WriteFlightReport(flight);
        ClearFields();
    }

    const std::int64_t now = platform::MonotonicMs();
    if (!CSettings::GetIsFlight2PhpFile()
        || CSettings::GetFlight2PhpFileUrl().trimmed().size() < kShortestLivePositionUrl || m_livePositionOpen
        || (m_lastLivePositionMs && now - *m_lastLivePositionMs <= m_liveIntervalMs))
        return;
    // Taken before the request: samples arriving while it waits send nothing, and a failure counts as sent.
    m_lastLivePositionMs = now;
    SendLivePosition(flight, aircraft);
}

void CTab_Flightrecorder::ShowFields(const CFlightData& flight)
{
    if (m_form == nullptr)
        return;
    m_form->lineEdit_OffBlockTime->setText(TimeOfDay(flight.GetOffBlockTime()));
    m_form->lineEdit_OnBlockTime->setText(TimeOfDay(flight.GetOnBlockTime()));
    m_form->lineEdit_TakeOffTime->setText(TimeOfDay(flight.GetTakeOffTime()));
    m_form->lineEdit_LandingTime->setText(TimeOfDay(flight.GetLandingTime()));
    m_form->lineEdit_FlighTime->setText(flight.GetFlightTime().toString(Qt::TextDate));
    m_form->lineEdit_FlightStatus->setText(flight.GetPhaseName());
}

QByteArray CTab_Flightrecorder::LivePositionBody(const CFlightData& flight,
                                                 const aviation::structs::CAircraft& aircraft)
{
    const std::pair<const char*, QString> pairs[] = {
        {"user_id", CSettings::GetUserId()},
        {"user_name", CSettings::GetUserEmail()},
        {"aircraftName", flight.GetAircraft()},
        {"aircraftReg", flight.GetRegistration()},
        {"lat", QString::number(aircraft.GetLatitude())},
        {"lon", QString::number(aircraft.GetLongitude())},
        {"alt", QString::number(aircraft.altitude)},
        {"height", QString::number(aircraft.height)},
        {"hdg", QString::number(aircraft.heading.direction)},
        {"tas", QString::number(aircraft.tas)},
        {"gs", QString::number(aircraft.groundSpeed)},
        {"vs", QString::number(aircraft.verticalSpeed)},
        {"landinglights", QString::number(aircraft.landingLights ? 1 : 0)},
        {"dooropen", QString::number(aircraft.doorOpen ? 1 : 0)},
    };
    QByteArray body;
    for (const auto& [name, value] : pairs)
        body += QByteArray(name) + '=' + QUrl::toPercentEncoding(value) + '&';
    return body + '=';
}

void CTab_Flightrecorder::SendLivePosition(const CFlightData& flight, const aviation::structs::CAircraft& aircraft)
{
    const QUrl url(CSettings::GetFlight2PhpFileUrl().trimmed(), QUrl::TolerantMode);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    QNetworkReply* reply = m_network->post(request, LivePositionBody(flight, aircraft));
    m_livePositionOpen = true;
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // One deadline for the whole post: a server that trickles its answer does not keep it open.
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline.start(m_liveTimeoutMs);
    // The answer is not used; dropped as it comes, so that a long one is not kept.
    connect(reply, &QNetworkReply::readyRead, reply, [reply] { reply->readAll(); });
    if (!reply->isFinished())
        loop.exec();
    if (reply->error() != QNetworkReply::NoError) {
        // The error text names the address as given, user name and password included.
        const QString shownUrl = url.toString(QUrl::RemoveUserInfo | QUrl::FullyEncoded);
        QString error = reply->errorString();
        for (const QString& given : {url.toString(), url.toString(QUrl::FullyEncoded)})
            error.replace(given, shownUrl);
        platform::DebugOut(QStringLiteral("request of %1 failed: %2\n").arg(shownUrl, error).toStdString());
    }
    reply->deleteLater();
    m_livePositionOpen = false;
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
    // The window starts a new flight below; the report goes on with its own copy. The track may begin with samples
    // parked elsewhere before the simulator moved the aircraft: the flight's airports are those nearest to where it
    // left its stand and where it stopped at the gate.
    CFlightData flight = record;
    if (const std::optional<aviation::Position> offBlock = flight.GetOffBlockPosition())
        flight.SetDeparture(NearestAirport(*offBlock));
    if (const std::optional<aviation::Position> onBlock = flight.GetOnBlockPosition())
        flight.SetDestination(NearestAirport(*onBlock));
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

recorder::LoginResponse CTab_Flightrecorder::Login()
{
    return recorder::SendLogin(*m_network, CSettings::GetAerovaneUserId(), CSettings::GetAerovaneRecorderHash(),
                               m_loginTimeoutMs);
}

QString CTab_Flightrecorder::CheckLogin()
{
    const recorder::LoginResponse response = Login();
    if (!response.ok) {
        Warn(response.errorText);
        return QString();
    }
    return response.body;
}

void CTab_Flightrecorder::UploadFlight(const QString& fileName)
{
    if (!FtpUpload::IsBareFileName(fileName)) {
        Log(QStringLiteral("(Recorder) - Not uploaded, not a file of the flights folder: %1").arg(fileName));
        return;
    }
    bool numeric = false;
    const int userId = CSettings::GetAerovaneUserId().toInt(&numeric);
    if (CSettings::GetAerovaneRecorderHash().size() < kShortestRecorderHash || !numeric || userId <= 0)
        return;

    QProgressDialog progress(QStringLiteral("Check connection...."), QStringLiteral("Abort transfer"), 0, 4, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    // The steps below run to their end whatever the button says. The dialog connects its own cancel by name, so
    // only a disconnect by name undoes it.
    disconnect(&progress, SIGNAL(canceled()), &progress, SLOT(cancel()));
    progress.show();

    // Only a login that grants the upload leads to the question; every other outcome says why.
    const recorder::LoginResponse response = Login();
    const recorder::LoginReply reply = recorder::ParseLoginReply(response.body);
    const QString refusal = response.ok ? recorder::UploadRefusal(reply) : response.errorText;
    if (!refusal.isEmpty()) {
        progress.close();
        Log(QStringLiteral("(Recorder) - Flight %1 not uploaded: %2").arg(fileName, refusal));
        Warn(refusal);
        return;
    }
    if (Prompter().Ask({PromptKind::Question, kRecorderTitle, QStringLiteral("Copy file to server?"), QString()})
        != PromptAnswer::Yes)
        return;

    progress.setValue(3);
    progress.setLabelText(QStringLiteral("Connect to file server"));
    Log(QStringLiteral("Recorder - Connect to file server"));
    FtpServer server{QString(), 0, reply.ftpUser, reply.ftpPassword};
    recorder::SplitFtpServer(reply.ftpServer, server.host, server.port);
    TransferFile(fileName, server, progress);
}

void CTab_Flightrecorder::TransferFile(const QString& fileName, const FtpServer& server, QProgressDialog& progress)
{
    Log(QStringLiteral("(Recorder - LogIn"));
    QFile file(CSettings::GetFlightsFolder() + QDir::separator() + fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Log(QStringLiteral("(Recorder - Can not open File ") + fileName);
        progress.close();
        Warn(QStringLiteral("Flight %1 not uploaded: %2").arg(fileName, file.errorString()));
        return;
    }
    const QByteArray contents = file.readAll();
    file.close();

    progress.setValue(4);
    progress.setLabelText(QStringLiteral("Copy file..."));
    FtpUpload upload;
    upload.SetTimeoutMs(m_ftpTimeoutMs);
    QEventLoop loop;
    connect(&upload, &FtpUpload::done, &loop, &QEventLoop::quit);
    if (upload.Put(server, fileName, contents))
        loop.exec();
    progress.close();
    if (upload.ErrorString().isEmpty()) {
        Log(QStringLiteral("(Recorder) - Flight %1 copied to the file server").arg(fileName));
        Inform(QStringLiteral("Flight %1 copied to the file server").arg(fileName));
    } else {
        Log(QStringLiteral("(Recorder) - Copying flight %1 to the file server failed: %2")
                .arg(fileName, upload.ErrorString()));
        Warn(QStringLiteral("Copying flight %1 to the file server failed: %2").arg(fileName, upload.ErrorString()));
    }
}

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

    QFile file(QDir(folder).filePath(fileName));
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && CFlightFile::Write(file, callsign, flight, flight.GetDeparture(), flight.GetDestination()) && file.flush();
    const QString error = file.errorString();
    file.close();
    if (!written) {
        const QString text = QStringLiteral("Can not write flight file %1: %2").arg(file.fileName(), error);
        Log(QStringLiteral("(Recorder) - ") + text);
        Warn(text);
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
