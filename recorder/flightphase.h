// The phases of a flight from boarding to parking, as the flight-phase tracker moves through them.
#pragma once

#include <QString>

enum FlightPhase {
    PhaseNone = 0,
    PhaseBoarding = 1,
    PhaseTaxi = 2,
    PhaseTakeOff = 3,
    PhaseClimb = 4,
    PhaseCruise = 5,
    PhaseDescent = 6,
    PhaseApproach = 7,
    // 8 is never entered; its name is that of the approach.
    PhaseLanding = 9,
    PhaseTaxiToGate = 10,
    PhaseParking = 11,
};

// "none", "Boarding", "Taxi", ... "Parking"; "unknown" for a code that is no phase.
QString FlightPhaseName(int phase);
