#include "flight/tab_flightplanner.h"

void CTab_Flightplanner::ExportPMDG777Wind() { }
