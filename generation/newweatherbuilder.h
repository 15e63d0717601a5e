// Fills the FSUIPC New Weather block of one simulator weather station from the weather known for it: header,
// surface and upper winds, temperatures, visibility layers, and (through the cloud-layer builder) the clouds.
#pragma once

#include "simlink/newweather.h"
#include "weather/weatherset.h"

namespace aviation::weather {

// Fills `block` (a new block: all zero except the pressure) from the set; `magVar` (degrees, the magnetic
// variation at the aircraft) is added to every wind direction. Reads the settings at the moment of use.
// Returns 0.
int SetNewWeather(const CWeatherSet& set, CNewWeather& block, float magVar);

// Surface wind and temperature (layers 0 and 1 from the METAR, or a nearby SYNOP for a calm METAR), then one
// wind and temperature layer per grid level from 1000 ft above the station up, at most 24.
void SetWindAndTemperatureLayers(const CWeatherSet& set, CNewWeather& block, float magVar);

// The surface visibility layer and, for FSX, Prepar3D and X-Plane, the upper visibility layers.
void SetVisibilityLayers(const CWeatherSet& set, CNewWeather& block);

// A visibility range (metres / 15.92) moved up to the next value of the simulator's steps; ranges below 200
// and the step values themselves stay.
int SnapVisibilityRange(int range);

} // namespace aviation::weather
