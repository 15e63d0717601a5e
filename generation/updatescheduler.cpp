#include "generation/updatescheduler.h"

#include "generation/generationguard.h"
#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "platform/clock.h"
#include "platform/failuretext.h"
#include "settings/settings.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"

#include <algorithm>
#include <cstdlib>

using aviation::Position;
using platform::SecondsUntil;

namespace {

constexpr double kModelFileDistanceNm = 80.0;
constexpr double kAutoDistanceNm = 40.0;
constexpr double kMetarDisplayRangeNm = 50.0;
constexpr std::uint32_t kMetarDisplayPeriod = 30;
// Farther than any aircraft moves between two reads: the aircraft was placed somewhere else, a new flight.
constexpr double kNewFlightJumpNm = 20.0;

bool IsXPlane(int version)
{
    return version == 9 || version == 10;
}

bool IsNoPosition(const Position& position)
{
    return position.GetLatitude() == 0 && position.GetLongitude() == 0;
}

} // namespace

CUpdateScheduler::CUpdateScheduler(CWeatherWorker& worker)
    : m_worker(worker)
{
}

void CUpdateScheduler::OnTick()
{
    RunGuarded(*m_worker.m_window, "OnUpdateSimTimer", [this] { Tick(); });
}

std::uint32_t CUpdateScheduler::UpdatePeriod() const
{
    return static_cast<std::uint32_t>(60 * std::clamp<std::int64_t>(CSettings::GetUpdateInterval(), 1, 1440));
}

void CUpdateScheduler::Status(const QString& text)
{
    m_worker.m_window->sigUIProgressTextUpdate(text);
}

void CUpdateScheduler::DownloadToolTip(std::uint32_t now)
{
    const bool failing = m_worker.m_weatherRetry.failures > 0;
    if (!failing && m_worker.m_weatherSource != WeatherDataLive)
        return;
    const std::uint64_t due
        = failing ? m_worker.m_weatherRetry.nextTry : std::uint64_t{m_worker.m_lastDownload} + UpdatePeriod();
    m_worker.m_window->sigUIUpdateProgressToolTip(
        QStringLiteral("Next Download Weather in %1 sec").arg(platform::SecondsUntil(due, now)));
}

void CUpdateScheduler::ShowDownloadFailure(std::uint32_t now)
{
    const QString failure = m_worker.DownloadFailureText(now);
    if (!failure.isEmpty()) {
        Status(failure);
        DownloadToolTip(now);
        return;
    }
    // A grid failure stands while grid downloads are held back (below a failed theme write); after that a
    // generation tries again when it needs a grid.
    const QString gridFailure = m_worker.GridFailureText(now);
    if (!gridFailure.isEmpty() && m_worker.ThemeWriteFailureText(now).isEmpty())
        Status(gridFailure);
}

void CUpdateScheduler::ShowFailuresAwaitingLink()
{
    if (m_failuresAwaitingLinkShown)
        return;
    m_failuresAwaitingLinkShown = true;
    const std::uint32_t now = static_cast<std::uint32_t>(platform::NowSeconds());
    QString failure = m_worker.DownloadFailureText(now);
    if (failure.isEmpty())
        failure = m_worker.GridFailureText(now);
    if (!failure.isEmpty())
        Status(failure);
}

void CUpdateScheduler::Tick()
{
    CMainWindowHost& window = *m_worker.m_window;
    // Nothing is tried while disconnected; a failure shown with its countdown says instead that its next try
    // waits for the link.
    if (!window.IsConnected()) {
        ShowFailuresAwaitingLink();
        return;
    }
    m_failuresAwaitingLinkShown = false;
    CConnectWorker* connection = window.GetConnectWorker();
    if (connection)
        connection->AddJob(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
    // A tick inside a generation's wait leaves the generation alone: a download or a generation of its own would
    // hold that one up. What falls due meanwhile comes on the first tick after it.
    if (m_worker.IsGenerating())
        return;
    // A live download that failed (also the first one of the run) is tried again before anything is generated.
    const std::uint32_t clock = static_cast<std::uint32_t>(platform::NowSeconds());
    if (m_worker.m_weatherSource == WeatherDataNone && m_worker.DownloadDue(clock, UpdatePeriod()))
        m_worker.DownloadWeather();
    if (m_worker.m_weatherSource == WeatherDataNone) {
        ShowDownloadFailure(clock);
        return;
    }
    if (IsNoPosition(m_worker.m_aircraft)) {
        Status(QStringLiteral("FS is not ready"));
        return;
    }

    const std::uint32_t now = static_cast<std::uint32_t>(platform::NowSeconds());
    FollowAircraft();
    const double distance = Position::GetDistance(m_reference, m_worker.m_aircraft.GetPosition());

    if (now < m_lastPass + 1)
        return;
    m_lastPass = now;

    if (m_worker.DownloadDue(now, UpdatePeriod()))
        m_worker.DownloadWeather();

    // Weather generated while a transfer runs or waits would replace records not yet sent; it comes when due
    // after the transfer.
    const bool sendingWeather = connection && connection->IsSendingWeather();
    if (CSettings::GetWeatherUpdate() && !sendingWeather) {
        if (IsXPlane(CSettings::GetFSVersion()))
            UpdateXPlane(now, distance);
        else if (CSettings::GetNormalMode() && !m_approach)
            UpdateNormal(now, distance);
        else if (CSettings::GetModelFileMode() && !m_approach) {
            if (CSettings::GetInterfaceType() == 1) {
                if (Warn(QStringLiteral("Aerovane - Interface"),
                         QStringLiteral("This Weather-Mode is not compatible with FSUIPC.\nPlease select "
                                        "\"Simconnect\" or \"Simconnect & FSUIPC\".\nAerovane set Weather-Mode "
                                        "Normal"))) {
                    CSettings::SetNormalMode(true);
                    CSettings::SetModelFileMode(false);
                    return;
                }
            } else {
                UpdateModelFile(now);
            }
        } else if (CSettings::GetAutoMode() && !m_approach)
            UpdateAuto(now);
        else if (m_approach)
            Status(QStringLiteral("Approach - no Weather Update"));
    }
    // What the weather in use lacks stands in place of the mode's countdown; failures stand above it.
    if (m_worker.m_withoutUpperAir && m_worker.ThemeWriteFailureText(now).isEmpty())
        Status(CWeatherWorker::WithoutUpperAirText());
    ShowDownloadFailure(now);
    ShowNearestMetar(now);
}

void CUpdateScheduler::FollowAircraft()
{
    const aviation::structs::CAircraft& aircraft = m_worker.m_aircraft;
    if (!m_following) {
        m_following = true;
        m_reference = aircraft.GetPosition();
        m_highestHeight = aircraft.height;
        m_lastRead = aircraft.GetPosition();
    }
    m_highestHeight = std::max(m_highestHeight, aircraft.height);
    // A new flight somewhere else starts without the hold of the last one's approach.
    if (Position::GetDistance(m_lastRead, aircraft.GetPosition()) > kNewFlightJumpNm) {
        m_approach = false;
        m_highestHeight = aircraft.height;
    }
    m_lastRead = aircraft.GetPosition();

    // An approach begins when the aircraft, having been above the height since the last approach ended,
    // descends below it, and ends when it climbs above it again.
    const int limit = CSettings::GetNoUpdateInApproachHeight();
    const bool rule = CSettings::GetNoUpdateInApproach();
    if (rule && limit > aircraft.height && m_highestHeight > limit)
        m_approach = true;
    if (m_approach && limit < aircraft.height) {
        m_approach = false;
        m_highestHeight = 0;
    }
    if (!rule)
        m_approach = false;
}

void CUpdateScheduler::UpdateXPlane(std::uint32_t now, double distance)
{
    const aviation::structs::CAircraft& aircraft = m_worker.m_aircraft;
    const double updateDistance = CSettings::GetXPUpdateDist();
    const std::uint32_t updateTime
        = static_cast<std::uint32_t>(60 * std::clamp<std::int64_t>(CSettings::GetXPUpdateTime(), 1, 1440));
    if (!m_xplaneFollowing) {
        m_xplaneFollowing = true;
        m_xplaneWindAltitude = aircraft.altitude;
        m_xplaneWindTime = now;
    }

    double moved = 100.0;
    if (!m_approach) {
        moved = distance;
        if (IsNoPosition(m_reference))
            Status(QStringLiteral("XPlane Mode"));
        else
            Status(QStringLiteral("XPlane Mode - Update in %1NM/%2s ")
                       .arg(QString::number(updateDistance - moved, 'f', 1))
                       .arg(SecondsUntil(std::uint64_t{m_worker.m_lastGeneration} + updateTime, now)));
    }
    DownloadToolTip(now);

    if (moved > updateDistance || m_worker.m_lastGeneration + updateTime <= now) {
        if (!m_approach) {
            Status(QStringLiteral("Weather update"));
            m_reference = aircraft.GetPosition();
            m_xplaneWindAltitude = aircraft.altitude;
            m_worker.m_lastGeneration = now;
            m_xplaneWindTime = now;
            const std::uint64_t clears = m_worker.m_weatherClears;
            m_worker.GenerateXPlaneWeather();
            // A Clear WX in the weather's wait stopped it: the wind would put back part of what was cleared.
            if (m_worker.m_weatherClears == clears)
                m_worker.GenerateXPLaneWind();
        } else {
            Status(QStringLiteral("Approach - no Weather Update"));
        }
    } else if (m_approach) {
        Status(QStringLiteral("Approach - no Weather Update"));
    }

    // Winds follow the aircraft in an approach too.
    if ((std::abs(aircraft.altitude - m_xplaneWindAltitude) > 1000 || now > m_xplaneWindTime + 30)
        && aircraft.height > 2000) {
        Status(QStringLiteral("Wind update"));
        m_xplaneWindAltitude = aircraft.altitude;
        m_xplaneWindTime = now;
        m_worker.GenerateXPLaneWind();
    }
}

void CUpdateScheduler::UpdateNormal(std::uint32_t now, double distance)
{
    const int radius = CSettings::GetWeatherRadius();
    if (distance > radius || m_worker.m_lastGeneration + UpdatePeriod() <= now) {
        Status(QStringLiteral("Weather update"));
        m_worker.m_lastGeneration = now;
        m_reference = m_worker.m_aircraft.GetPosition();
        m_worker.GenerateFSWeather(QString());
        return;
    }
    Status(QStringLiteral("Update in %1s/%2NM ")
               .arg(SecondsUntil(std::uint64_t{m_worker.m_lastGeneration} + UpdatePeriod(), now))
               .arg(QString::number(radius - distance, 'f', 1)));
    DownloadToolTip(now);
}

void CUpdateScheduler::UpdateModelFile(std::uint32_t now)
{
    const Position aircraft = m_worker.m_aircraft.GetPosition();
    const double distance = Position::GetDistance(m_modelFilePosition, aircraft);
    const QString failure = m_worker.ThemeWriteFailureText(now);
    if (!failure.isEmpty())
        Status(failure);
    else if (IsNoPosition(m_modelFilePosition))
        Status(QStringLiteral("WxModel Mode"));
    else
        Status(QStringLiteral("WxModel Mode - Update in %1 NM/%2s")
                   .arg(QString::number(kModelFileDistanceNm - distance, 'f', 2))
                   .arg(SecondsUntil(std::uint64_t{m_worker.m_lastGeneration} + UpdatePeriod(), now)));
    if (m_worker.m_weatherSource == WeatherDataLive) {
        m_worker.m_window->sigUIUpdateProgressBar(now - m_worker.m_lastDownload, UpdatePeriod());
        DownloadToolTip(now);
    }

    if (distance <= kModelFileDistanceNm && m_worker.m_lastGeneration + UpdatePeriod() > now
        && !m_worker.ThemeWriteRetryDue(now))
        return;
    if (CSettings::GetFSVersion() < 3) {
        // Due on every tick until the user changes something: one reminder per update period.
        if (m_preFsxWarned && now < m_preFsxWarnTime + UpdatePeriod())
            return;
        if (Warn(QStringLiteral("Aerovane"),
                 QStringLiteral("Your FS-Version is not compatible with this weather mode. Minimum FSX"))) {
            m_preFsxWarned = true;
            m_preFsxWarnTime = now;
        }
        return;
    }
    m_worker.Log(QStringLiteral("(WeatherManager) Generate weather model"));
    m_modelFilePosition = aircraft;
    m_worker.m_lastGeneration = now;
    m_worker.GenerateFSWeatherModelFile();
}

void CUpdateScheduler::UpdateAuto(std::uint32_t now)
{
    const Position aircraft = m_worker.m_aircraft.GetPosition();
    const double distance = Position::GetDistance(m_autoPosition, aircraft);
    if (IsNoPosition(m_autoPosition)) {
        Status(QStringLiteral("Auto Mode"));
    } else {
        m_worker.m_window->sigUIUpdateProgressBar(now - m_worker.m_lastDownload, UpdatePeriod());
        Status(QStringLiteral("Auto Mode - Update in %1 NM/%2s")
                   .arg(QString::number(kAutoDistanceNm - distance, 'f', 2))
                   .arg(SecondsUntil(std::uint64_t{m_worker.m_lastGeneration} + UpdatePeriod(), now)));
    }
    DownloadToolTip(now);
    if (distance > kAutoDistanceNm || m_worker.m_lastGeneration + UpdatePeriod() <= now) {
        m_worker.Log(QStringLiteral("(WeatherManager) checking station"));
        m_autoPosition = aircraft;
        m_worker.m_lastGeneration = now;
        m_worker.GenerateFSWeatherAutoMode();
    }
}

void CUpdateScheduler::ShowNearestMetar(std::uint32_t now)
{
    if (now - m_worker.m_lastMetarDisplay <= kMetarDisplayPeriod)
        return;
    CMainWindowHost& window = *m_worker.m_window;
    const Position aircraft = m_worker.m_aircraft.GetPosition();
    aviation::weather::CMetar metar = m_worker.m_weatherManager->GetNearestMetar(aircraft);
    const QString icao = QString::fromWCharArray(metar.GetICAO());
    window.OnSetTextToolButtonICAO(icao);
    if (!metar.IsDecoded())
        metar.Decode();
    const double distance = metar.CStation::GetDistance(aircraft, false);

    if (distance > kMetarDisplayRangeNm) {
        const QString text = QStringLiteral("no metar station in the vicinity");
        if (text != m_lastDisplayText)
            window.ShowNoMetarNearby(text);
        m_lastDisplayText = text;
        window.sigDisableButton(2, true);
        return;
    }
    window.OnSetTextToolButtonICAO(icao);
    window.sigDisableButton(2, false);
    window.ShowMetar(metar);
    m_worker.m_lastMetarDisplay = now;
    const QString raw = QString::fromStdWString(metar.GetRaw());
    if (raw != m_lastDisplayText && CSettings::GetFSMessage()) {
        m_lastDisplayText = raw;
        window.ShowFSMessage(raw);
    }
}

bool CUpdateScheduler::Warn(const QString& title, const QString& text)
{
    if (m_boxOpen)
        return false;
    struct OpenBox
    {
        bool& open;
        explicit OpenBox(bool& flag)
            : open(flag)
        {
            open = true;
        }
        ~OpenBox() { open = false; }
    } box(m_boxOpen);
    Prompter().Ask({PromptKind::Warning, title, text, {}});
    return true;
}
