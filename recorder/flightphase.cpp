#include "recorder/flightphase.h"

QString FlightPhaseName(int phase)
{
    switch (phase) {
    case PhaseNone:
        return QStringLiteral("none");
    case PhaseBoarding:
        return QStringLiteral("Boarding");
    case PhaseTaxi:
        return QStringLiteral("Taxi");
    case PhaseTakeOff:
        return QStringLiteral("Take-Off");
    case PhaseClimb:
        return QStringLiteral("Climb");
    case PhaseCruise:
        return QStringLiteral("Cruise");
    case PhaseDescent:
        return QStringLiteral("Descent");
    case PhaseApproach:
    case 8:
        return QStringLiteral("Approach");
    case PhaseLanding:
        return QStringLiteral("Landing");
    case PhaseTaxiToGate:
        return QStringLiteral("Taxi To Gate");
    case PhaseParking:
        return QStringLiteral("Parking");
    default:
        return QStringLiteral("unknown");
    }
}
