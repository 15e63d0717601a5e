// A second METAR decoder, written with std::wregex on a std::wstring working copy, that the product decoder
// is compared with report by report:
//     EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG
#pragma once

#include "weather/metar.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace aviation {
namespace weather {

// Every value a decode can set, as plain fields, so records of both decoders can be compared.
struct MetarValues
{
    struct Layer
    {
        int base = 0;
        int coverage = 0;
        int type = 0;
        int baseMsl = -1;
        bool operator==(const Layer& other) const;
    };

    std::wstring icao;
    int elevation = 0;
    std::wstring timeGroup;
    std::int64_t time = 0;
    double windDirection = 0.0;
    double windSpeed = 0.0;
    double windGust = 0.0;
    bool hasWind = true;
    int variableFrom = -1;
    int variableTo = -1;
    int visibility = 9999;
    std::wstring rvr;
    std::wstring runwayAfterPressure;
    std::wstring weather;
    int intensity = 0;
    std::vector<Layer> clouds;
    int temperature = 13;
    int temperatureMsl = 15;
    int dewPoint = 5;
    int dewPointMsl = 5;
    double qnh = 1013.0;
    bool cavok = false;
    bool autoStation = false;
    bool nsc = false;
    std::wstring decodeError;

    // The values of a record, read through its accessors.
    static MetarValues Of(const CMetar& metar);
    bool operator==(const MetarValues& other) const;
    bool operator!=(const MetarValues& other) const { return !(*this == other); }
};

std::ostream& operator<<(std::ostream& out, const MetarValues& values);

// Decodes `raw` into `values`, which hold the state before the run (a record may be decoded again);
// returns the same codes as CMetar::Decode.
int ReferenceDecodeMetar(const std::wstring& raw, MetarValues& values);

} // namespace weather
} // namespace aviation
