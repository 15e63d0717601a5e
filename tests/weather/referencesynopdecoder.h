// A second SYNOP decoder, written with std::wregex on a std::wstring working copy that is cut from the front,
// that the product decoder is compared with report by report:
//     AAXX 01124 10384 32595 81204 10123 21012 30132 40015 82530 333 85815 91125
#pragma once

#include "weather/synop.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace aviation {
namespace weather {

// Every value a decode can set, as plain fields, so records of both decoders can be compared.
struct SynopValues
{
    struct Layer
    {
        int base = 0;
        int coverage = 0;
        int type = 0;
        bool operator==(const Layer& other) const;
    };

    std::wstring station;
    std::wstring name;
    double latitude = 0.0;
    double longitude = 0.0;
    std::int64_t time = 0;
    int windUnit = -1;
    double temperature = 15.0;
    double dewPoint = 5.0;
    double humidity = 0.0;
    double regionalTemperature = 0.0;
    double regionalValue = 0.0;
    int precipitationIndicator = 3;
    int visibility = 99999;
    int lowestBase = 0;
    int lowestCoverage = 0;
    int lowCloudType = 0;
    int middleCloudType = 0;
    int highCloudType = 0;
    std::vector<Layer> layers;
    double windDirection = -1.0;
    double windSpeed = -1.0;
    double windGust = 0.0;
    int gust910 = 0;
    int gust911First = 0;
    int gust911Second = 0;
    float seaLevelPressure = 1013.2f;
    float stationPressure = 1013.2f;
    bool hasCloudBase = true;
    bool hasWind = true;
    bool hasVisibility = true;
    int shipDirection = 0;
    int shipSpeed = 0;

    static SynopValues Of(const CSynop& synop);
    bool operator==(const SynopValues& other) const;
    bool operator!=(const SynopValues& other) const { return !(*this == other); }
};

std::ostream& operator<<(std::ostream& out, const SynopValues& values);

// Decodes `raw` into `values` the way CSynop::DecodeHeader (headerOnly) or CSynop::Decode does, starting from
// the values given; returns the SYNOP error code.
int ReferenceDecodeSynop(const std::wstring& raw, SynopValues& values, bool headerOnly);

} // namespace weather
} // namespace aviation
