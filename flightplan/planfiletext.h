// Small pieces every flight plan file reader shares: numbers as the simulators write them, the test for a
// position a route can use, and the route point the readers append.
#pragma once

#include "weather/waypoint.h"

#include <QString>

#include <functional>

namespace planfile {

// A line for the debug page and the log file.
using LogFunction = std::function<void(const QString& text)>;

// A whole number from a text the simulators write with decimals ("30000.000" -> 30000), truncated toward
// zero; 0 for a text that is no number or lies beyond the int range.
int TruncatedNumber(const QString& text);
// Feet rounded to the nearest whole foot (433.6 -> 434); 0 for NaN, infinities and values beyond the int range.
int WholeFeet(double feet);
// Finite, latitude within ±90° and longitude within ±180°.
bool IsReadablePosition(const aviation::Position& position);
// A route point as the readers append it: the standard atmosphere's 13 °C, dew point 5 °C and 1013.2 hPa.
aviation::CWaypointWX RoutePoint(const QString& ident, const aviation::Position& position, const QString& name,
                                 int type, int altitude);

} // namespace planfile
