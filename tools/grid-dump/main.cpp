// Decodes grid texts as the weather server sends them (one point per line, an optional "# TIME:" heading)
// and prints every point as one JSON line: position, key, surface level, levels, max-wind and tropopause
// levels, cloud markers and the decoder's message.
//     grid-dump tests/data/grid/three-points.txt
//     curl -s "$GRID_URL" | grid-dump

#include "platform/locale.h"
#include "tools/common/inputlines.h"
#include "tools/common/jsonline.h"
#include "weather/grib.h"
#include "weather/textconversion.h"

#include <cstdio>
#include <string>
#include <vector>

using aviation::weather::CCloudLayer;
using aviation::weather::CGrib;
using aviation::weather::CLevel;

namespace {

std::string LevelJson(const CLevel& level)
{
    return tools::JsonLine()
        .Add("altitude_ft", level.GetAltitude())
        .Add("pressure_hpa", static_cast<double>(level.GetPressure()))
        .Add("temperature", level.GetTemperature())
        .Add("dewpoint", level.GetDewPoint())
        .Add("humidity", level.GetHumidity())
        .Add("wind_dir", level.direction)
        .Add("wind_speed", level.speed)
        .ToString();
}

std::string CloudJson(const CCloudLayer& layer)
{
    return tools::JsonLine().Add("coverage", layer.GetCoverage()).Add("base_ft", layer.GetBase()).ToString();
}

void PrintPoint(const std::string& line)
{
    CGrib grib(CharToWString(line.c_str()), false);
    const bool decoded = grib.Decode(false);

    std::string levels = "[";
    for (const CLevel& level : grib.GetLevels())
        levels += (levels.size() > 1 ? "," : "") + LevelJson(level);
    levels += "]";

    const std::string json = tools::JsonLine()
                                 .Add("lat", grib.GetPosition().GetLatitude())
                                 .Add("lon", grib.GetPosition().GetLongitude())
                                 .Add("key", grib.GetLocationKey())
                                 .Add("decoded", decoded)
                                 .AddJson("surface", LevelJson(grib.surfaceLevel))
                                 .AddJson("levels", levels)
                                 .AddJson("max_wind", LevelJson(grib.GetMaxWindLevel()))
                                 .AddJson("tropopause", LevelJson(grib.GetTropopauseLevel()))
                                 .AddJson("low_cloud", CloudJson(grib.lowCloud))
                                 .AddJson("middle_cloud", CloudJson(grib.middleCloud))
                                 .AddJson("high_cloud", CloudJson(grib.highCloud))
                                 .Add("error", grib.GetErrorText())
                                 .ToString();
    std::printf("%s\n", json.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    platform::UseCLocale();
    const std::vector<std::string> paths(argv + 1, argv + argc);
    const bool read = tools::ForEachInputLine(paths, [](const std::string& line) {
        // Heading lines ("# TIME:..." or the server's "# Error ...") and empty lines carry no point.
        if (line.empty() || line[0] == '#')
            return;
        PrintPoint(line);
    });
    return read ? 0 : 1;
}
