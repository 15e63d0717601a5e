#include "flight/tab_flightplanner.h"

void CTab_Flightplanner::CalculateFlightPlan() { }

int CTab_Flightplanner::InterpolateLevel(const aviation::Position& /*position*/, int /*altitude*/,
                                         aviation::weather::CLevel& /*level*/)
{
    return 1;
}
