// CWeatherWorker::DownloadWeather: the live weather download of the combined METAR, SYNOP and TAF file.

#include "generation/gzipunpack.h"
#include "generation/mainwindowhost.h"
#include "generation/weatherfilesections.h"
#include "generation/weatherworker.h"
#include "generation/wxdownloader.h"
#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/failuretext.h"
#include "settings/settings.h"

#include <QBuffer>
#include <QFile>
#include <QScopedValueRollback>

#include <algorithm>

namespace {

constexpr int kXPlane9 = 9;
constexpr int kXPlane10 = 10;

bool IsXPlane()
{
    const int version = CSettings::GetFSVersion();
    return version == kXPlane9 || version == kXPlane10;
}

} // namespace

bool CWeatherWorker::DownloadDue(std::uint32_t now, std::uint32_t period) const
{
    if (m_downloading)
        return false;
    if (m_weatherRetry.failures > 0)
        return now >= m_weatherRetry.nextTry
            && (m_weatherSource == WeatherDataNone || m_weatherSource == WeatherDataLive);
    return m_weatherSource == WeatherDataLive && static_cast<std::uint64_t>(m_lastDownload) + period <= now;
}

std::uint32_t CWeatherWorker::NoteFailedTry(RetryBackOff& backOff, const QString& cause, std::uint32_t now) const
{
    const std::uint64_t period = 60ULL * static_cast<std::uint64_t>(std::max(1, CSettings::GetUpdateInterval()));
    const int doublings = std::min(backOff.failures, 16);
    ++backOff.failures;
    backOff.failure = cause;
    const std::uint64_t wait = std::min<std::uint64_t>(std::uint64_t{m_firstRetrySeconds} << doublings, period);
    backOff.nextTry = static_cast<std::uint32_t>(now + std::max<std::uint64_t>(wait, m_firstRetrySeconds));
    return backOff.nextTry - now;
}

QString CWeatherWorker::RetryText(const QString& what, const RetryBackOff& backOff, std::uint32_t now) const
{
    if (backOff.failure.isEmpty())
        return QString();
    // Without a link the scheduler tries nothing: no countdown that would run out with no try behind it.
    if (!m_window->IsConnected())
        return platform::FailureTextAwaitingSimulator(what, backOff.failure);
    return platform::FailureText(what, backOff.failure, platform::SecondsUntil(backOff.nextTry, now));
}

QString CWeatherWorker::DownloadFailureText(std::uint32_t now) const
{
    return RetryText(QStringLiteral("Download weather"), m_weatherRetry, now);
}

bool CWeatherWorker::DownloadWeather()
{
    // Inside a generation's wait the download would hold the generation up and change the weather under it.
    if (m_generating) {
        ShowStep(GenerationUnderWayText());
        return false;
    }
    // A tick or command arriving while the download waits for the server does not start a second one.
    if (m_downloading)
        return false;

    m_window->sigDisableButton(0, true);
    m_window->sigDisableButton(1, true);
    m_window->sigDisableButton(2, true);
    // Empty while the download is good; else why it failed, for the closing report.
    QString failure;
    {
        const QScopedValueRollback<bool> busy(m_downloading, true);
        failure = FetchWeather();
    }

    const std::uint32_t now = static_cast<std::uint32_t>(platform::NowSeconds());
    EnableDownloadCommandWhenFree();
    if (m_window->IsConnected()) {
        m_window->sigDisableButton(3, false);
        m_window->sigDisableButton(1, false);
        m_window->sigDisableButton(2, false);
    }
    m_window->sigUIUpdateProgressBar(0, 0);
    // A grid failure shown since does not hide the weather's own.
    if (failure.isEmpty())
        ShowStep(QStringLiteral("Success"));
    else
        Status(DownloadFailureText(now));
    return failure.isEmpty();
}

QString CWeatherWorker::FetchWeather()
{
    const QString url = CSettings::GetServerUrl() + QStringLiteral("/weather_vatsim.gz");
    m_window->OnUpdateProgress(QStringLiteral("Download weather"));

    // The archive is unpacked and checked in memory: nothing of a bad download reaches the disk.
    QString failure;
    QString text;
    WXDownloader* downloader = m_window->GetDownloader();
    QBuffer packed;
    const int code = downloader ? downloader->Download(url, &packed) : -1;
    QByteArray unpacked;
    if (code != 0) {
        const QString cause = downloader ? downloader->GetLastErrorText() : QStringLiteral("no downloader");
        failure = cause;
        Log(QStringLiteral("(WeatherManager) Download weather data - Network Error %1 (%2)").arg(code).arg(cause));
    } else if ((unpacked = gUncompress(packed.data())).isEmpty()) {
        failure = QStringLiteral("damaged or incomplete archive");
        Log(QStringLiteral("(WeatherManager) Download weather data - ") + failure);
    } else {
        text = QString::fromLatin1(unpacked.replace("\r\n", "\n"));
    }

    // An empty text (a corrupt archive) or one without its METAR section (an error page) is no weather: the
    // loaded weather stays, and nothing is exported or written for X-Plane.
    const CWeatherFileSections sections(text);
    if (failure.isEmpty() && (!sections.HasMetar() || sections.GetMetar().trimmed().isEmpty())) {
        Log(QStringLiteral("(WeatherManager) Download weather data - no METAR section in the download"));
        failure = QStringLiteral("no METAR section in the download");
    }
    if (failure.isEmpty())
        LoadDownloadedSections(sections);

    // The failure and its next try are known now: they are shown before a grid try can hold the caller.
    const std::uint32_t now = static_cast<std::uint32_t>(platform::NowSeconds());
    // Reached means the server answered: a status line came, even when an error status, a stalled body or a
    // damaged file followed.
    m_window->ShowWeatherServerReached(code == 0 || (downloader && downloader->ServerAnswered()));
    if (failure.isEmpty()) {
        m_weatherRetry = RetryBackOff();
        // The server answers again: a grid download held back after a failure may be tried at once.
        m_gridRetry = RetryBackOff();
    } else {
        const std::uint32_t wait = NoteFailedTry(m_weatherRetry, failure, now);
        Log(QStringLiteral("(WeatherManager) Download weather data - next try in %1 s").arg(wait));
        ShowStep(DownloadFailureText(now));
    }

    const aviation::Position aircraft = AircraftPosition();
    if (aircraft.GetLatitude() != 0 && aircraft.GetLongitude() != 0 && !m_weatherManager->HasGribNear(aircraft))
        DownloadGrib(aircraft, false);

    if (failure.isEmpty()) {
        m_lastDownload = static_cast<std::uint32_t>(platform::NowSeconds());
        m_weatherSource = WeatherDataLive;
        WriteXPlaneMetar(sections.GetMetar());
    }
    return failure;
}

void CWeatherWorker::LoadDownloadedSections(const CWeatherFileSections& sections)
{
    // Historic or stored weather gives way to the live weather only once that is in hand.
    if (m_weatherSource == WeatherDataHistory || m_weatherSource == WeatherDataStored) {
        Status(QStringLiteral("Deleting last weather"));
        Log(QStringLiteral("(WeatherWorker) Deleting last weather"));
        m_weatherManager->Clear();
        m_weatherManager->InitWindData(std::wstring(), true);
    }
    m_withoutUpperAir = false;

    ExportMetar(sections.GetMetar());
    aviation::weather::CWeatherManager& model = *m_weatherManager;
    Log(QStringLiteral("(WeatherManager) Initialize Metar"));
    model.InitMetar(sections.GetMetar().toStdWString(), true);
    Log(QStringLiteral("(WeatherManager) initialization finished, Metar: %1 ").arg(model.CMetarManager::GetCount()));
    // A section that is missing or empty (a file cut short) leaves its store as it was.
    if (!sections.GetSynop().trimmed().isEmpty()) {
        Log(QStringLiteral("(WeatherManager) Initialize additional weather data"));
        model.InitSynop(sections.GetSynop().toStdWString(), true);
        Log(QStringLiteral("(WeatherManager) initialization finished, Synop: %1 ")
                .arg(model.CSynopManager::GetCount()));
    } else {
        Log(QStringLiteral("(WeatherManager) no SYNOP section in the download, SYNOPs kept"));
    }
    if (!sections.GetTaf().trimmed().isEmpty()) {
        Log(QStringLiteral("(WeatherManager) Initialize TAF"));
        model.SetTAFText(sections.GetTaf().toStdWString().c_str());
    } else {
        Log(QStringLiteral("(WeatherManager) no TAF section in the download, TAFs kept"));
    }
}

void CWeatherWorker::WriteXPlaneMetar(const QString& metarText)
{
    const QString xplaneFolder = CSettings::GetPathToXPlane();
    if (!IsXPlane() || xplaneFolder.isEmpty() || metarText.isEmpty())
        return;
    QFile file(xplaneFolder + QStringLiteral("/METAR.rwx"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        platform::DebugOut("Can not write Metar file to XPlane\n");
        return;
    }
    file.write(metarText.toLatin1());
}
