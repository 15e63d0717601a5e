#include "flight/flightdata.h"

void CFlightData::SetAircraftDetail(const aviation::structs::CAircraftDetail& detail)
{
    m_aircraft = QString::fromStdWString(detail.name);
    m_registration = QString::fromStdWString(detail.Registration);
}
