// The three indicator lamps of the Flight Data page (parking brake, landing lights, doors): the style sheet and
// text each read-only field gets for an aircraft sample.
#pragma once

#include "simlink/aircraft.h"

#include <QString>

struct AircraftLamp
{
    QString styleSheet;
    QString text;
};

namespace AircraftLamps {

// Green while the brake holds a standing aircraft, red while it is set on a moving one.
AircraftLamp ParkingBrake(const aviation::structs::CAircraft& aircraft);
// Green where the lights belong (taxiing, below 5000 ft), red where they do not (standing, above 5000 ft).
AircraftLamp LandingLights(const aviation::structs::CAircraft& aircraft);
// Green with the engines off, red with an engine running.
AircraftLamp Doors(const aviation::structs::CAircraft& aircraft);

} // namespace AircraftLamps
