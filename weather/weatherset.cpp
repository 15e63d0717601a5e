#include "weather/weatherset.h"

namespace aviation::weather {

CWeatherSet::CWeatherSet(const CMetar& metar, const CSynop& synop, const CGrib& grib)
    : m_metar(metar)
    , m_synop(synop)
    , m_grib(grib)
{
}

} // namespace aviation::weather
