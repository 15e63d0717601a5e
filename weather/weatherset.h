// The weather known for one place: the METAR report, the SYNOP report behind it and the grid point for
// the winds aloft, as weather generation hands them to the converters.
#pragma once

#include "weather/grib.h"
#include "weather/metar.h"
#include "weather/synop.h"

namespace aviation::weather {

class CWeatherSet
{
public:
    CWeatherSet() = default;
    CWeatherSet(const CMetar& metar, const CSynop& synop, const CGrib& grib);

    CMetar GetMetar() const { return m_metar; }
    CSynop GetSynop() const { return m_synop; }
    CGrib GetGrib() const { return m_grib; }

private:
    CMetar m_metar;
    CSynop m_synop;
    CGrib m_grib;
};

} // namespace aviation::weather
