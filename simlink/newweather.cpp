#include "simlink/newweather.h"

// Every member starts at zero through its initialiser; only the pressure has a value of its own.
CNewWeather::CNewWeather()
    : Press(1013)
{
}
