// One generated weather station in every form a simulator link sends: the FSUIPC New Weather block, the
// extended METAR text for SimConnect, the X-Plane record, and the transition time for SimConnect.
#pragma once

#include "simlink/newweather.h"
#include "simlink/xpweather.h"

#include <QString>

struct CFSWeatherStation
{
    CNewWeather block;
    QString text;
    CXPWeather xplane;
    int seconds = 0;
};
