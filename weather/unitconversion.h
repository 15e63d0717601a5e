// Conversions the weather model, the generators and the simulator links share: feet per metre, and the
// truncation of a real number to int that every altitude, speed and field value goes through.
#pragma once

#include <cmath>
#include <limits>

namespace aviation::weather {

constexpr double kFeetPerMetre = 3.28084;

// Truncates toward zero; NaN gives 0 and values beyond the int range stop at its ends instead of being undefined.
inline int TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace aviation::weather
