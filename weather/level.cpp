#include "weather/level.h"

#include "weather/position.h"

#include <cmath>
#include <cstdint>

namespace aviation {
namespace weather {

namespace {

// Saturation vapour pressure in hPa (Magnus), with the coefficients over ice below 0 °C.
double SaturationPressure(double t)
{
    const double a = t >= 0.0 ? 7.5 : 7.6;
    const double b = t >= 0.0 ? 237.3 : 240.7;
    return 6.1078 * std::pow(10.0, a * t / (b + t));
}

template<typename T> T Linear(T value1, T value2, double k)
{
    return static_cast<T>(value2 - (value1 - value2) * k);
}

} // namespace

double RelativeHumidity(double temperature, double dewPoint)
{
    return SaturationPressure(dewPoint) * 100.0 / SaturationPressure(temperature);
}

CLevel::CLevel() = default;

CLevel::CLevel(int altitude, const CWind& wind, double temperature, double dewPoint, float pressure, double humidity)
    : CWind(wind)
    , m_altitude(altitude)
    , m_temperature(temperature)
    , m_dewPoint(dewPoint)
    , m_humidity(humidity)
    , m_pressure(pressure)
{
    // Only +99 marks a missing temperature here; -99 still takes part (callers without temperatures pass +99
    // or no pressure).
    if (humidity == -1.0 && temperature != kMissingTemperature && dewPoint != kMissingTemperature && pressure != -1.0f)
        m_humidity = RelativeHumidity(temperature, dewPoint);
}

bool CLevel::HasData() const
{
    return !(m_altitude == kNoAltitude && m_dewPoint == kNoTemperature && m_humidity == -1.0
             && m_temperature == kNoTemperature && direction == -1.0 && m_pressure == -1.0f);
}

void CLevel::Interpolate(const CLevel& level1, const CLevel& level2, int altitude)
{
    // Copies, so that either argument may be this level itself.
    const CLevel l1 = level1;
    const CLevel l2 = level2;

    // Altitude arithmetic in 64 bits, so that absurd altitudes cannot overflow.
    const std::int64_t altitude1 = l1.m_altitude;
    const std::int64_t altitude2 = l2.m_altitude;
    if (altitude1 - 20 < altitude && altitude < altitude1 + 20) {
        *this = l1;
        return;
    }
    if (altitude2 - 20 < altitude && altitude < altitude2 + 20) {
        *this = l2;
        return;
    }

    int a = altitude;
    if (altitude == 0 || altitude < altitude1 - 500)
        a = l1.m_altitude;

    const std::int64_t span = altitude2 - altitude1;
    if (span == 0) {
        // Two levels at one altitude give no gradient: take the first.
        *this = l1;
        m_altitude = a;
        return;
    }
    const double k = static_cast<double>(a - altitude2) / static_cast<double>(span);

    direction = NormalizeAngle(l2.direction - DirectionDifference(l1.direction, l2.direction).direction * k);
    speed = std::fabs(l2.speed - (l1.speed - l2.speed) * k);
    gust = -1.0;
    m_temperature = Linear(l1.m_temperature, l2.m_temperature, k);
    m_dewPoint = Linear(l1.m_dewPoint, l2.m_dewPoint, k);
    m_humidity = Linear(l1.m_humidity, l2.m_humidity, k);
    m_pressure = Linear(l1.m_pressure, l2.m_pressure, k);
    m_altitude = a;
}

} // namespace weather
} // namespace aviation
