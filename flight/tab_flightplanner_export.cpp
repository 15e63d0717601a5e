#include "flight/tab_flightplanner.h"

void CTab_Flightplanner::ExportFP() { }

void CTab_Flightplanner::GetRouteVatRoute() { }
