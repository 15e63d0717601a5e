#include "weather/wind.h"

#include "weather/wideformat.h"

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
    const std::wstring text
        = HasGust() ? FormatWide(format.c_str(), direction, speed, gust) : FormatWide(format.c_str(), direction, speed);
    return text.size() < 40 ? text : std::wstring();
}

} // namespace weather
} // namespace aviation
