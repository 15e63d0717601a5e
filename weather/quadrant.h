#pragma once

// The WMO quadrant digit that ship reports and grid points put before their longitude ("Qc": 1 north-east,
// 3 south-east, 5 south-west, 7 north-west), applied to the unsigned latitude and longitude read after it.

namespace aviation::weather {

// Gives latitude and longitude the signs of the quadrant. Any other digit leaves both as they are: false.
inline bool ApplyQuadrant(wchar_t quadrant, double& latitude, double& longitude)
{
    switch (quadrant) {
    case L'1':
        return true;
    case L'3':
        latitude = -latitude;
        return true;
    case L'5':
        latitude = -latitude;
        longitude = -longitude;
        return true;
    case L'7':
        longitude = -longitude;
        return true;
    default:
        return false;
    }
}

} // namespace aviation::weather
