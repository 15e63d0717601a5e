// Fills the cloud table of the FSUIPC New Weather block from a station's weather: a fog layer, a CAVOK layer,
// one or two layers per METAR cloud group shaped by the weather and the nearby SYNOP's cloud genus, a random
// cirrus layer, and a pass that keeps the layers apart and within the simulator's limits.
#pragma once

#include "simlink/newweather.h"
#include "weather/weatherset.h"

namespace aviation::weather {

// Replaces the whole cloud table and sets nCloudCtr (0 to 16). `mixedClouds` splits some SYNOP genera into
// two layers of different type. The cirrus layer draws from platform's random source.
void SetCloudLayers(const CWeatherSet& set, CNewWeather& block, bool mixedClouds);

// Precipitation, thunderstorm and shower shaping of one low layer, then its top from the grid's humidity.
void SetCloudPrecipitation(const CWeatherSet& set, NewCloudLayer& layer);

// Raises the layer's top through the saturated grid levels (humidity above 90 %) right above its base.
void SetCloudTopFromHumidity(const CWeatherSet& set, NewCloudLayer& layer);

} // namespace aviation::weather
