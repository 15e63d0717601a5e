// CWeatherWorker's grid operations: the area and single-point grid downloads and the grid of positions
// that auto mode places its stations on.

#include "generation/generationguard.h"
#include "generation/mainwindowhost.h"
#include "generation/weatherworker.h"
#include "generation/wxdownloader.h"
#include "platform/clock.h"
#include "settings/settings.h"

#include <algorithm>

namespace {

constexpr unsigned char kAreaRequest = 0;
constexpr unsigned char kSingleRequest = 1;
// A grid answer is a few kilobytes: one that takes longer than this is given up.
constexpr int kGridDeadlineMs = 30000;
constexpr double kNorth = 0.0;
constexpr double kEast = 90.0;
constexpr double kSouth = 180.0;
constexpr double kWest = 270.0;

QString PositionText(const aviation::Position& position)
{
    return QStringLiteral("%1, %2").arg(position.GetLatitude(), 0, 'f', 2).arg(position.GetLongitude(), 0, 'f', 2);
}

} // namespace

bool CWeatherWorker::IsGridRefusal(const QString& body)
{
    return body.left(body.indexOf(QLatin1Char('\n'))).contains(QLatin1String("Error"));
}

bool CWeatherWorker::FetchGrid(const aviation::Position& position, unsigned char request, bool clearFirst,
                               const QString& step)
{
    // Today's grid would put today's winds aloft under historic surface weather.
    if (m_withoutUpperAir)
        return false;
    // After a failure the grid server is left alone until the next try is due: every station of a generation
    // would otherwise wait out its own deadline.
    if (GridHeldBack(static_cast<std::uint32_t>(platform::NowSeconds())))
        return false;
    Log(QStringLiteral("(WeatherManager) Download Grib, position: ") + PositionText(position));
    const std::uint64_t failuresBefore = m_gridFailuresNoted;
    Status(QStringLiteral("Download Grib"));
    const QString url = CSettings::GetServerUrl() + CSettings::GetGribRequestPath(position, request);
    QString body;
    WXDownloader* downloader = m_window->GetDownloader();
    const int code = downloader ? downloader->DownloadWithProgress(url, &body, kGridDeadlineMs) : -1;
    const std::uint32_t now = static_cast<std::uint32_t>(platform::NowSeconds());
    bool stored = false;
    if (code == 0) {
        // A refusal is the server's answer for this position; it holds back no other.
        m_gridRetry = RetryBackOff();
        Log(QStringLiteral("(WeatherManager) Decoding Grib"));
        if (IsGridRefusal(body)) {
            Log(QStringLiteral("(WeatherWorker) - ") + body);
        } else {
            m_weatherManager->InitWindData(body.toStdWString(), clearFirst);
            Log(QStringLiteral("(WeatherManager) Grib decoded"));
            stored = true;
        }
    } else {
        const QString cause = downloader ? downloader->GetLastErrorText() : QStringLiteral("no downloader");
        Log(QStringLiteral("(WeatherManager) %1 - Network Error %2 (%3)").arg(step).arg(code).arg(cause));
        // A request under way when another one's failure was noted (two at once, as a planner calculation inside
        // a generation's wait makes) fails for the same cause: the hold counts it once.
        if (m_gridFailuresNoted == failuresBefore) {
            NoteFailedTry(m_gridRetry, cause, now);
            ++m_gridFailuresNoted;
        }
    }
    m_window->sigUIUpdateProgress(0, QString());
    // After the progress is reset, which empties the status line.
    if (code != 0)
        ShowStep(GridFailureText(now));
    return stored;
}

bool CWeatherWorker::GridHeldBack(std::uint32_t now) const
{
    return now < m_gridRetry.nextTry;
}

QString CWeatherWorker::GridFailureText(std::uint32_t now) const
{
    return GridHeldBack(now) ? RetryText(QStringLiteral("Download Grib"), m_gridRetry, now) : QString();
}

bool CWeatherWorker::DownloadGrib(const aviation::Position& position, bool clearFirst)
{
    return FetchGrid(position, kAreaRequest, clearFirst, QStringLiteral("Download Grib"));
}

bool CWeatherWorker::DownloadGribInGeneration(const aviation::Position& position)
{
    const bool stored = DownloadGrib(position, false);
    if (m_generating && m_weatherClears != m_clearsAtGenerationStart)
        throw GenerationStopped();
    return stored;
}

bool CWeatherWorker::DownloadSingleGrib(const aviation::Position& position, aviation::weather::CGrib* out)
{
    // A failed or refused download adds nothing; a point stored earlier may still answer below.
    if (!m_weatherManager->HasGribNear(position) && m_weatherSource == WeatherDataLive)
        FetchGrid(position, kSingleRequest, false, QStringLiteral("Download single Grib"));

    aviation::weather::CGrib nearest;
    const bool found = m_weatherManager->FindNearestGrib(position, nearest);
    if (out)
        *out = nearest;
    if (!found && !nearest.GetErrorText().empty())
        Log(QString::fromStdWString(nearest.GetErrorText()));
    return found;
}

std::vector<aviation::Position> CWeatherWorker::GenerateGrid(const aviation::Position& centre, int halfWidth,
                                                             int spacing)
{
    Log(QStringLiteral("(WeatherManager) Generating Grid"));
    std::vector<aviation::Position> grid;
    auto add = [&grid](const aviation::Position& position) {
        if (std::find(grid.begin(), grid.end(), position) == grid.end())
            grid.push_back(position);
    };
    // Offsets spacing, 2 * spacing, ... up to the half-width; none for a spacing below 1 NM, which would
    // never reach it.
    std::vector<int> offsets;
    for (int offset = spacing; spacing >= 1 && offset <= halfWidth; offset += spacing)
        offsets.push_back(offset);

    if (halfWidth >= 0) {
        std::vector<aviation::Position> origins{centre};
        for (double bearing : {kNorth, kSouth}) {
            for (int offset : offsets)
                origins.push_back(aviation::Position::GetDestination(centre, bearing, offset));
        }
        for (const aviation::Position& origin : origins) {
            add(origin);
            for (double bearing : {kWest, kEast}) {
                for (int offset : offsets)
                    add(aviation::Position::GetDestination(origin, bearing, offset));
            }
        }
    }
    Log(QStringLiteral("(WeatherManager) Grid generated: %1").arg(grid.size()));
    return grid;
}
