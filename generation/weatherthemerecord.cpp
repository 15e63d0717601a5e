#include "generation/weatherthemerecord.h"

#include "platform/debugoutput.h"

#include <algorithm>
#include <string>

namespace {

// A table counter of the block held to what both the block's table and a record's table can take.
int UsableCount(std::int32_t counter, int blockTable)
{
    return std::clamp<int>(counter, 0, std::min(blockTable, CWeatherThemeRecord::kMaxEntries));
}

CWeatherThemeRecord::VisibilityLayer Visibility(const NewVisLayer& layer)
{
    CWeatherThemeRecord::VisibilityLayer out;
    out.range = static_cast<float>(layer.Range / 100.0 * 1852.0);
    out.lowerAlt = layer.LowerAlt;
    out.upperAlt = layer.UpperAlt;
    return out;
}

} // namespace

void CWeatherThemeRecord::ResetHeader()
{
    windCount = 0;
    visibilityCount = 0;
    cloudCount = 0;
    temperatureCount = 0;
    std::fill(std::begin(spaces), std::end(spaces), ' ');
    headerValue = 127;
}

void CWeatherThemeRecord::SetFromBlock(const CNewWeather& block, float qnhHpa)
{
    ResetHeader();
    // The station elevation in whole metres; the block keeps it in 65536ths.
    const int elevation = block.Elev / 65536;
    qnh = qnhHpa;

    const NewWindLayer& ground = block.WindLayer[0];
    constexpr float kCircleFraction = 360.0f / 65536.0f;
    surface.upperAlt = static_cast<float>(ground.UpperAlt - elevation);
    surface.speed = ground.Speed;
    surface.gust = static_cast<float>(ground.Speed + ground.Gust);
    surface.direction = ground.Dir * kCircleFraction;
    surface.variance = ground.Variance * kCircleFraction;
    surface.turbulence = ground.Turbulence;
    surface.shear = ground.Shear;

    // The surface visibility, then the upper layers, all in one table.
    const int upperVisibilities = UsableCount(block.nUpperVisCtr, CNewWeather::kMaxUpperVisLayers);
    const int visibilityEntries = std::min(upperVisibilities + 1, kMaxEntries);
    visibilities[0] = Visibility(block.Vis);
    for (int i = 1; i < visibilityEntries; ++i)
        visibilities[i] = Visibility(block.UpperVis[i - 1]);
    visibilityCount = static_cast<std::uint16_t>(visibilityEntries);

    if (block.nTempCtr < 1)
        platform::DebugOut("nTempLevel < 1 :" + std::to_string(block.nTempCtr) + "\n");
    const int temperatureEntries = UsableCount(block.nTempCtr, CNewWeather::kMaxTempLayers);
    for (int i = 0; i < temperatureEntries; ++i) {
        const NewTempLayer& layer = block.TempLayer[i];
        TemperatureLayer& out = temperatures[i];
        out.altitude = static_cast<float>(layer.Alt - elevation);
        out.temperature = layer.Day;
        out.variation = 3.0f;
        out.dewPoint = layer.Dew;
    }
    temperatureCount = static_cast<std::uint16_t>(temperatureEntries);

    const int cloudEntries = UsableCount(block.nCloudCtr, CNewWeather::kMaxCloudLayers);
    for (int i = 0; i < cloudEntries; ++i) {
        const NewCloudLayer& layer = block.CloudLayer[i];
        CloudLayer& out = clouds[i];
        out.type = layer.Type;
        out.base = static_cast<float>(layer.LowerAlt - elevation);
        out.top = static_cast<float>(layer.UpperAlt - elevation);
        out.deviation = layer.Dev;
        out.coverage = layer.Cover;
        out.topShape = layer.TopShape;
        out.turbulence = layer.Turbulence;
        out.precipitationType = layer.PrecipType;
        out.precipitationBase = layer.PrecipBase;
        out.precipitationRate = layer.PrecipRate;
        out.icing = layer.Icing;
    }
    cloudCount = static_cast<std::uint16_t>(cloudEntries);

    if (block.nWindCtr < 1)
        platform::DebugOut("nWindLevel < 1 :" + std::to_string(block.nWindCtr) + "\n");
    const int windEntries = UsableCount(block.nWindCtr, CNewWeather::kMaxWindLayers);
    for (int i = 0; i < windEntries; ++i) {
        const NewWindLayer& layer = block.WindLayer[i];
        WindLayer& out = winds[i];
        out.upperAlt = static_cast<float>(layer.UpperAlt - elevation);
        out.speed = layer.Speed;
        out.gust = layer.Gust;
        // Whole degrees here, unlike the surface block.
        out.direction = static_cast<float>(layer.Dir * 360 / 65536);
        out.variance = static_cast<float>(layer.Variance * 360 / 65536);
        out.turbulence = layer.Turbulence;
        out.shear = layer.Shear;
    }
    windCount = static_cast<std::uint16_t>(windEntries);
}
