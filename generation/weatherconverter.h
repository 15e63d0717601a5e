// Turns the weather known for one place into the X-Plane weather record that the bridge sends to X-Plane: cloud
// layers, surface and upper winds, visibility, temperatures, pressure, precipitation and waves.
#pragma once

#include "simlink/aircraft.h"
#include "simlink/xpweather.h"
#include "weather/cloudlayer.h"
#include "weather/weatherset.h"

namespace WeatherConverter {

// The whole record at the set's station for the aircraft's position and altitude; reads the settings.
CXPWeather MakeXPlaneWeather(const aviation::weather::CWeatherSet& set, const aviation::structs::CAircraft& aircraft);

// A default record with only its three wind layers filled: the surface, the level at the aircraft and the highest
// grid level, with a speed only at the aircraft's level. Throws std::out_of_range when the grid record has no
// levels.
CXPWeather MakeXPlaneWind(const aviation::weather::CWeatherSet& set, const aviation::structs::CAircraft& aircraft);

// Raises the layer's top (ft) through the moist grid levels above its base and, below 28000 ft, to the height
// that thunderstorms or showers and rain reach.
void EstimateCloudTop(const aviation::weather::CWeatherSet& set, aviation::weather::CCloudLayer& layer);

} // namespace WeatherConverter
