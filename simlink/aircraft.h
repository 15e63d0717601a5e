// One sample of the user aircraft's state as a simulator link reads it: position, heights, speeds, heading,
// flags, the wind at the aircraft, visibility and magnetic variation.
#pragma once

#include "weather/position.h"
#include "weather/wind.h"

namespace aviation {
namespace structs {

struct CAircraft : public aviation::Position
{
    CAircraft();
    CAircraft(const CAircraft& other) = default;
    CAircraft& operator=(const CAircraft& other) = default;
    ~CAircraft() override;

    int height = 0; // above ground, ft
    int altitude = 0; // ft
    int tas = 0; // true airspeed, kt
    int groundSpeed = 0; // kt
    aviation::Direction heading{0.0};
    int verticalSpeed = 0; // ft/min
    bool onGround = false;
    bool parkingBrake = false;
    bool enginesOff = false; // engine 1 not running
    bool landingLights = false;
    bool doorOpen = false;
    // Direction and speed -1 mean not set; the links read the gust as -1 as well.
    aviation::weather::CWind ambientWind{-1.0, -1.0, 0.0};
    float visibility = 9999.0f; // whole kilometres
    float magVar = 0.0f; // degrees, as the simulator reports it
};

} // namespace structs
} // namespace aviation
