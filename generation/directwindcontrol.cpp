#include "generation/directwindcontrol.h"

#include "platform/clock.h"
#include "platform/random.h"
#include "settings/settings.h"
#include "weather/position.h"

#include <algorithm>
#include <cstdint>
#include <vector>

using aviation::weather::CLevel;
using aviation::weather::CWind;

namespace {

// Timing shared by every wind control of the program: the gust changes seen by the step and made by the gust
// maker, and the last rate-limited step. Times are monotonic milliseconds.
struct WindControlTiming
{
    bool stepSeenGust = false;
    std::int64_t lastGustSeenMs = 0;
    CLevel lastTurbulence;
    bool gustsMade = false;
    std::int64_t lastGustMadeMs = 0;
    bool stepped = false;
    std::int64_t lastStepMs = 0;
};

WindControlTiming& Timing()
{
    static WindControlTiming timing;
    return timing;
}

constexpr std::int64_t kGustPeriodMs = 3000;

// Level at altitude 0 with wind 0° / 0 kt and no gust, temperature and dew point unknown.
CLevel StillLevel()
{
    return CLevel(0, CWind(0.0, 0.0, -1.0), CLevel::kMissingTemperature, CLevel::kMissingTemperature, -1.0f, -1.0);
}

bool IsUnset(const CLevel& level)
{
    return level.direction == -1.0 || level.speed == -1.0;
}

// A delta that changes nothing: the level with direction, speed and gust 0, so that summing it keeps the wind.
CLevel NoDelta(const CLevel& level)
{
    CLevel delta = level;
    delta.direction = 0.0;
    delta.speed = 0.0;
    delta.gust = 0.0;
    return delta;
}

QString WindText(const char* prefix, const CLevel& level)
{
    return QStringLiteral("%1: %2/%3kt").arg(QLatin1String(prefix)).arg(level.direction).arg(level.speed);
}

} // namespace

CDirectWindControl::CDirectWindControl()
    : m_previousLevel(StillLevel())
    , m_currentLevel(StillLevel())
{
}

void CDirectWindControl::ResetProgramState()
{
    Timing() = WindControlTiming();
}

void CDirectWindControl::SetMetar(const aviation::weather::CMetar& metar)
{
    m_metar = metar;
    if (!m_metar.IsDecoded())
        m_metar.Decode();
}

void CDirectWindControl::SetAircraft(const aviation::structs::CAircraft& aircraft)
{
    m_aircraft = aircraft;
    m_aircraftWindLevel
        = CLevel(0, aircraft.ambientWind, CLevel::kMissingTemperature, CLevel::kMissingTemperature, -1.0f, -1.0);
    m_aircraftWindLevelCopy = m_aircraftWindLevel;
    if (IsUnset(m_previousLevel))
        m_previousLevel = m_aircraftWindLevel;
}

CLevel CDirectWindControl::WindAtAC()
{
    m_status.clear();
    if (IsUnset(m_previousLevel)) {
        m_status = WindText("(DWC - WindAtAC) - Wind Last Error", m_previousLevel);
        return CLevel();
    }
    m_previousLevel = m_currentLevel;
    m_calculatedLevel = GetLevel(m_aircraft.altitude);
    CLevel target = m_calculatedLevel;

    WindControlTiming& timing = Timing();
    const std::int64_t now = platform::MonotonicMs();
    if (!timing.stepSeenGust) {
        timing.stepSeenGust = true;
        timing.lastGustSeenMs = now - 4000;
    }
    if (CSettings::GetWindSlightlGustSurfaceWind() && now - timing.lastGustSeenMs > kGustPeriodMs) {
        timing.lastTurbulence = MakeGusts(m_calculatedLevel);
        timing.lastGustSeenMs = now;
    }
    // Before the first gust was made there is nothing to add.
    const CLevel turbulence = IsUnset(timing.lastTurbulence) ? NoDelta(target) : timing.lastTurbulence;
    target = LevelSum(target, turbulence);

    const CLevel step = LimitStep(target, m_previousLevel);
    m_currentLevel = LevelSum(m_previousLevel, step);

    if (m_currentLevel.direction < 0.0 || m_currentLevel.direction > 360.0) {
        m_status = WindText("(DWC - WindAtAC) - Wind Dir Error", m_currentLevel);
        m_currentLevel = m_previousLevel;
    }
    if (m_currentLevel.speed < 0.0 || m_currentLevel.speed > 200.0) {
        m_status = WindText("(DWC - WindAtAC) - Wind Speed Error", m_currentLevel);
        m_currentLevel = m_previousLevel;
    }
    return m_currentLevel;
}

CLevel CDirectWindControl::GetLevel(int altitude)
{
    m_status.clear();
    const int elevation = m_metar.GetElevation();
    CWind surfaceWind = m_metar.GetWind();
    surfaceWind.direction = aviation::NormalizeAngle(surfaceWind.direction);
    const CLevel surface(elevation, surfaceWind, m_metar.GetTemperature(), m_metar.GetDewPoint(),
                         static_cast<float>(m_metar.GetQNH(true)), -1.0);

    const std::vector<CLevel> levels = m_grib.GetLevels();
    if (levels.empty()) {
        m_status = QStringLiteral("(DWC - Get Level) - Level Vector Error");
        return surface;
    }
    const int floor = elevation + 2000;
    CLevel upper = levels.front();
    for (std::size_t i = 0; i + 1 < levels.size(); ++i) {
        if (levels[i].GetAltitude() > floor) {
            upper = levels[i];
            break;
        }
    }
    CLevel lower = surface;
    for (std::size_t i = 0; i + 1 < levels.size(); ++i) {
        const int below = levels[i].GetAltitude();
        if (below < altitude && altitude < levels[i + 1].GetAltitude() && below > floor) {
            lower = levels[i];
            upper = levels[i + 1];
        }
    }

    CLevel result;
    result.Interpolate(lower, upper, altitude);
    if (result.direction < 0.0 || result.direction > 360.0)
        m_status = WindText("(DWC - Get Level) - Wind Dir Error", m_currentLevel);
    if (result.speed < 0.0 || result.speed > 300.0)
        m_status = WindText("(DWC - Get Level) - Wind Speed Error", m_currentLevel);
    return result;
}

CLevel CDirectWindControl::MakeGusts(const CLevel& level)
{
    if (m_aircraft.height > 3000) {
        m_turbulenceLevel = CLevel(level.GetAltitude(), CWind(0.0, 0.0, -1.0), level.GetTemperature(),
                                   level.GetDewPoint(), -1.0f, -1.0);
        return m_turbulenceLevel;
    }
    WindControlTiming& timing = Timing();
    const std::int64_t now = platform::MonotonicMs();
    if (!timing.gustsMade) {
        timing.gustsMade = true;
        timing.lastGustMadeMs = now - 20000;
    }
    if (now - timing.lastGustMadeMs < kGustPeriodMs)
        return m_turbulenceLevel;

    const double speed = level.speed;
    double amplitude = 0.25 * speed;
    if (level.gust > 0.0)
        amplitude = level.gust - speed;
    // Both draws need a range of at least 0.01 kt; a calmer wind (or a gust below the mean) gets no gust.
    const int amplitudeRange = static_cast<int>(amplitude * 100);
    const int speedRange = static_cast<int>(speed * 100);
    if (0.25 * speed == 0.0 || amplitudeRange < 1 || speedRange < 1)
        return NoDelta(level);

    const double r1 = platform::RandomInt(0, amplitudeRange - 1) / 100.0;
    const double r2 = platform::RandomInt(0, speedRange - 1) / 100.0;
    CLevel gusts = level;
    gusts.direction = r2 < speed / 2 ? -r2 / 2 : r2 / 2;
    gusts.speed = r1 < amplitude / 2 ? -r1 / 2 : r1 / 2;
    timing.lastGustMadeMs = now;
    m_turbulenceLevel = gusts;
    return gusts;
}

CLevel CDirectWindControl::LimitStep(const CLevel& target, const CLevel& previous)
{
    WindControlTiming& timing = Timing();
    const std::int64_t now = platform::MonotonicMs();
    if (!timing.stepped) {
        timing.stepped = true;
        timing.lastStepMs = now;
    }
    std::int64_t ms = now - timing.lastStepMs;
    if (ms > 5000)
        ms = 1000;
    timing.lastStepMs = now;

    const double maxDegrees = CSettings::GetWindDwcDegreesPerSecond() / 1000.0 * ms;
    const double maxKnots = CSettings::GetWindDwcKnotsPerSecond() / 1000.0 * ms;
    const CWind difference = LevelDifference(target, previous);
    const double directionStep = std::clamp(difference.direction, -maxDegrees, maxDegrees);
    const double speedStep = std::clamp(difference.speed, -maxKnots, maxKnots);
    return CLevel(0, CWind(directionStep, speedStep, 0.0), (target.GetTemperature() + previous.GetTemperature()) * 0.5,
                  CLevel::kMissingTemperature, -1.0f, -1.0);
}

CWind CDirectWindControl::LevelDifference(const CLevel& a, const CLevel& b)
{
    return CWind(aviation::DirectionDifference(a.direction, b.direction).direction, a.speed - b.speed, a.gust - b.gust);
}

CLevel CDirectWindControl::LevelSum(const CLevel& a, const CLevel& b)
{
    CLevel sum(static_cast<int>((a.GetAltitude() + b.GetAltitude()) * 0.5),
               CWind(aviation::NormalizeAngle(a.direction + b.direction), a.speed + b.speed, a.gust + b.gust),
               (a.GetTemperature() + b.GetTemperature()) * 0.5, (a.GetDewPoint() + b.GetDewPoint()) * 0.5, -1.0f,
               (a.GetHumidity() + b.GetHumidity()) * 0.5);
    return sum;
}
