#include "app/aircraftlamps.h"

namespace {

const QString kGreen = QStringLiteral("background-color:green;");
const QString kRed = QStringLiteral("background-color:red;");
const QString kLandingLights = QStringLiteral("Landing Lights");

} // namespace

namespace AircraftLamps {

AircraftLamp ParkingBrake(const aviation::structs::CAircraft& aircraft)
{
    if (!aircraft.parkingBrake)
        return {QStringLiteral("background-color:  transparent;"), QString()};
    return {aircraft.groundSpeed < 1 ? kGreen : kRed, QStringLiteral("Parking Brake")};
}

AircraftLamp LandingLights(const aviation::structs::CAircraft& aircraft)
{
    const bool lights = aircraft.landingLights;
    if (lights && aircraft.onGround && aircraft.groundSpeed == 0)
        return {kRed, kLandingLights};
    if (lights && !aircraft.onGround && aircraft.altitude < 5000)
        return {kGreen, kLandingLights};
    if (aircraft.onGround && aircraft.groundSpeed > 0)
        return {kGreen, kLandingLights};
    if (lights && !aircraft.onGround && aircraft.altitude > 5000)
        return {kRed, kLandingLights};
    return {QStringLiteral("background-color: transparent;"), QString()};
}

AircraftLamp Doors(const aviation::structs::CAircraft& aircraft)
{
    if (!aircraft.doorOpen)
        return {QStringLiteral("background-color: transparent;"), QString()};
    return {aircraft.enginesOff ? QStringLiteral("background-color: green;") : QStringLiteral("background-color: red;"),
            QStringLiteral("Doors open")};
}

} // namespace AircraftLamps
