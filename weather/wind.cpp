#include "weather/wind.h"

#include <cwchar>

namespace aviation {

Direction DirectionDifference(double a, double b)
{
    const double d = a - b;
    if (d > 180.0)
        return Direction(d - 360.0);
    if (d < -180.0)
        return Direction(d + 360.0);
    return Direction(d);
}

namespace weather {

CWind::CWind(double direction, double speed, double gust)
    : Direction(direction)
    , speed(speed)
    , gust(gust)
{
}

std::wstring CWind::Format(const std::wstring& format) const
{
    wchar_t buffer[40];
    const int written = HasGust() ? std::swprintf(buffer, 40, format.c_str(), direction, speed, gust)
                                  : std::swprintf(buffer, 40, format.c_str(), direction, speed);
    if (written < 0)
        return std::wstring();
    return std::wstring(buffer, static_cast<std::size_t>(written));
}

} // namespace weather
} // namespace aviation
