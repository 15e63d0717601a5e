// Writes the extended METAR observation text that SimConnect takes for one station, from the station's METAR
// and its filled New Weather block, so that the text and the block tell the same weather:
//     EDDF 061250Z 27115G25KT&D210MG 241V300 28617G27KT&A410MG 256V315 63KM&B-100&D0820 79KM&B0721&D0144 ... RA
//     7CB020&CB000ALVR111N 12/08&A00120 11/07&A00320 Q1015  @@@
#pragma once

#include "simlink/newweather.h"
#include "weather/weatherset.h"

#include <QString>

#include <cstdint>

namespace aviation::weather {

// The text of one station; every group ends with a blank and the text ends " @@@ ".
QString MakeExtendedMetar(const CWeatherSet& set, const CNewWeather& block);

// "N", "L", "M", "H" or "S" for turbulence 0 to 4; "N" for anything else.
QString GetTurbulenceLetter(std::uint8_t turbulence);

} // namespace aviation::weather
