// The aircraft's identity texts and loading limits with its payload stations; also the load editor's aircraft
// profile, whose .cfg keys are the field names (auxWeight and maxGrossWeight excepted).
#pragma once

#include "simlink/aircraftpayload.h"

#include <string>

namespace aviation {
namespace structs {

struct CAircraftDetail
{
    std::wstring type = L"Unknown";
    std::wstring Registration;
    std::wstring code;
    std::wstring name; // aircraft title, also the profile's file name
    std::wstring airline;
    bool PaxAsWeight = false;
    bool PaxAsPassenger = false;
    float auxWeight = 0.0f; // set only by the bridge's aircraft-detail answer
    // Weights in pounds.
    float maxTakeOffWeight = 0.0f;
    float maxLandingWeight = 0.0f;
    float maxRampWeight = 0.0f;
    float EmptyWeight = 0.0f;
    float maxGrossWeight = 0.0f;
    float FuelFlow = 0.0f; // lb/h
    float ExtraFuel = 0.0f;
    float TaxiFuel = 0.0f;
    float HoldingFuel = 0.0f;
    int CruiseAlt = 0;
    int cruiseSpeed = 0;
    int maxAlt = 0;
    int ClimbSpeed5000 = 0;
    int ClimbRate5000 = 0;
    int ClimbSpeed10000 = 0;
    int ClimbRate10000 = 0;
    int ClimbSpeed20000 = 0;
    int ClimbRate20000 = 0;
    int ClimbSpeed30000 = 0;
    int ClimbRate30000 = 0;
    int DescentSpeed = 0;
    int DescentRate = 0;
    CAircraftPayload payload;
};

} // namespace structs
} // namespace aviation
