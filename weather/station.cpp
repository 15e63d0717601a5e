#include "weather/station.h"

namespace aviation {
namespace weather {

namespace {
const wchar_t* const kUnknown = L"unknow";
}

CStation::CStation()
    : m_country(kUnknown)
    , m_name(kUnknown)
{
}

CStation& CStation::operator=(const CStation& other)
{
    SetStation(other);
    return *this;
}

void CStation::SetStation(const CStation& station)
{
    if (&station == this)
        return;
    m_icao = station.m_icao;
    m_country = station.m_country;
    m_name = station.m_name;
    m_position = station.m_position;
    m_elevation = station.m_elevation;
    m_fs9Station = station.m_fs9Station;
    m_fsxStation = station.m_fsxStation;
    m_p3dStation = station.m_p3dStation;
    m_xplaneStation = station.m_xplaneStation;
    m_generated = station.m_generated;
    m_active = station.m_active;
}

void CStation::SetICAO(const wchar_t* icao)
{
    m_icao = icao ? icao : L"";
}

void CStation::SetCountry(const wchar_t* country)
{
    m_country = country ? country : L"";
}

void CStation::SetName(const wchar_t* name)
{
    m_name = name ? name : L"";
}

bool CStation::HasSimStation(int kind) const
{
    switch (kind) {
    case 0:
        return true;
    case 1:
    case 2:
        return m_fs9Station;
    case 3:
        return m_fsxStation;
    case 4:
        return m_p3dStation;
    case 5:
        return m_xplaneStation;
    case 6:
        return m_generated;
    default:
        return false;
    }
}

double CStation::GetDistance(const aviation::Position& position, bool kilometres) const
{
    if (m_position.GetLatitude() == 0.0 && m_position.GetLongitude() == 0.0)
        return kNoPositionDistance;
    const double nm = aviation::Position::GetDistance(position, m_position);
    return kilometres ? nm * 1.852 : nm;
}

} // namespace weather
} // namespace aviation
