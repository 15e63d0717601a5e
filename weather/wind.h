// Direction in degrees, and the wind (direction, speed, gust) that reports, levels and aircraft samples carry.
// -1 in direction or speed means not set; a gust of 0 (or -1) means no gust.
#pragma once

#include <string>

namespace aviation {

class Direction
{
public:
    Direction() = default;
    explicit Direction(double degrees)
        : direction(degrees)
    {
    }
    virtual ~Direction() = default;

    double direction = -1.0;
};

// a - b wrapped into [-180, 180] (inputs taken as lying in [0, 360)).
Direction DirectionDifference(double a, double b);

namespace weather {

class CWind : public aviation::Direction
{
public:
    CWind() = default;
    CWind(double direction, double speed, double gust = 0.0);

    // Prints the wind with a wide printf format, e.g. L"%03.0f%02.0fKT": the format receives direction and
    // speed, plus the gust when there is one (all doubles). At most 39 characters; a longer result gives "".
    std::wstring Format(const std::wstring& format) const;

    bool HasGust() const { return gust != 0.0 && gust != -1.0; }

    double speed = -1.0;
    double gust = 0.0;
};

} // namespace weather
} // namespace aviation
