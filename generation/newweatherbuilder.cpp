#include "generation/newweatherbuilder.h"

#include "generation/cloudlayerbuilder.h"
#include "generation/newweatherunits.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace aviation::weather {

namespace {

constexpr int kFS2004 = 2;
constexpr std::uint16_t kFS2004Command = 0x0102;
constexpr std::uint16_t kNewWeatherCommand = 2;
constexpr double kLowestQnh = 900.0;
constexpr std::uint16_t kStandardPress = 1013 * 16;
constexpr double kCalmSynopDistance = 20.0;
constexpr double kSynopVisibilityDistance = 80.0;
constexpr int kNoSynopVisibility = 99999;
constexpr int kUnlimitedVisibility = 9999;
constexpr int kNoVisibilityLimit = 200;
// A 20-degree sector when the report gives none; a variable wind blows from 1 degree over a 359-degree sector.
constexpr std::uint16_t kSlightVariance = 3640;
constexpr std::uint16_t kVariableWindDir = 182;
constexpr std::uint16_t kVariableWindVariance = 65353;

// Metres / 15.92, the unit of a visibility layer's range.
double RangeOfMetres(double metres)
{
    return metres / 1.592 / 10.0;
}

double RangeOfKilometres(int kilometres)
{
    return RangeOfMetres(kilometres * 1000.0);
}

std::uint8_t TurbulenceOfGust(int gust)
{
    if (gust >= 30)
        return 4;
    if (gust >= 20)
        return 3;
    if (gust >= 10)
        return 2;
    return gust >= 5 ? 1 : 0;
}

// Degrees between the two ends of a variable sector ("340V020" and "020V340" read as 40 and 320 degrees).
long long VariableSectorDegrees(int from, int to)
{
    long long degrees = SignedLowWord(from - to);
    if (degrees > 179)
        degrees = 360 - degrees;
    return degrees < 0 ? -degrees : degrees;
}

void SetSurfaceWind(const CMetar& metar, const CSynop& synop, NewWindLayer& layer, float magVar)
{
    const CWind wind = metar.GetWind();
    int direction = TruncateToInt(wind.direction);
    int speed = TruncateToInt(wind.speed);
    if (direction == 0 && speed == 0) {
        const CWind synopWind = synop.GetWind();
        if (synop.GetDistance(metar.GetPosition(), false) < kCalmSynopDistance && synopWind.direction >= 0.0
            && synopWind.speed > 0.0) {
            direction = TruncateToInt(synopWind.direction);
            speed = TruncateToInt(synopWind.speed);
        }
    }

    const bool slightGust = CSettings::GetWindSlightlGustSurfaceWind();
    layer.Turbulence = 0;
    layer.Shear = 0;
    layer.Variance = 0;
    layer.Dir = DirectionUnits(static_cast<double>(static_cast<float>(direction) + magVar));
    layer.Speed = LowWord(speed);
    layer.CapAbove = 500;

    // A gust at or below the mean wind is a slip in the report, not a gust of minus some knots.
    if (wind.gust > 0.0 && wind.gust > wind.speed && slightGust)
        layer.Gust = LowWord(TruncateToInt(wind.gust - wind.speed));
    else
        layer.Gust = slightGust ? 5 : 0;
    if (!CSettings::GetWindDwc() || slightGust)
        layer.Turbulence = TurbulenceOfGust(layer.Gust);

    const int from = metar.GetVariableWindFrom();
    const int to = metar.GetVariableWindTo();
    if (from != -1 && to != -1)
        layer.Variance = LowWord(VariableSectorDegrees(from, to) * 65536 / 360);
    else if (slightGust)
        layer.Variance = kSlightVariance;

    if (wind.direction == -1.0) {
        layer.Dir = kVariableWindDir;
        layer.Variance = kVariableWindVariance;
    }
    layer.SpeedFract = 65000;
}

void SetTemperatureLayer(NewTempLayer& layer, int metres, double temperature, double dewPoint)
{
    layer.Alt = AltitudeField(metres);
    layer.Day = SignedLowWord(TruncateToInt(temperature));
    layer.DayNightVar = 0;
    layer.Dew = SignedLowWord(TruncateToInt(dewPoint));
}

} // namespace

int SnapVisibilityRange(int range)
{
    struct Step
    {
        int from;
        int to;
        int snapped;
    };
    static const Step kSteps[] = {{200, 371, 372},    {373, 496, 497},    {498, 993, 994},   {995, 2174, 2175},
                                  {2176, 2982, 2983}, {2984, 3976, 3977}, {3978, 4970, 4971}};
    for (const Step& step : kSteps) {
        if (range >= step.from && range <= step.to)
            return step.snapped;
    }
    return range >= 4972 ? 6214 : range;
}

int SetNewWeather(const CWeatherSet& set, CNewWeather& block, float magVar)
{
    const CMetar metar = set.GetMetar();
    const std::wstring icao = metar.GetICAOString();

    std::fill(std::begin(block.Icao), std::end(block.Icao), '\0');
    if (icao.size() == 3 || icao.size() == 4) {
        for (std::size_t i = 0; i < icao.size(); ++i)
            block.Icao[i] = static_cast<char>(LowByte(icao[i]));
    }

    block.Command = CSettings::GetFSVersion() == kFS2004 ? kFS2004Command : kNewWeatherCommand;
    block.Flag = 0;
    block.Dynamic = 0;
    block.Seconds = 0;
    block.Elev = TruncateToInt(metar.GetElevation() * 65536.0 / kFeetPerMetre);
    // The global station covers the whole world from sea level.
    if (icao == L"GLOB")
        block.Elev = 0;

    block.nCloudCtr = 0;
    block.Drift = 0;
    block.nUpperVisCtr = 0;
    block.Lat = 0.0;
    block.Lon = 0.0;

    const double qnh = metar.GetQNH(true);
    block.Press = qnh < kLowestQnh ? kStandardPress : LowWord(TruncateToInt(qnh * 16.0));

    SetWindAndTemperatureLayers(set, block, magVar);
    SetVisibilityLayers(set, block);
    SetCloudLayers(set, block, CSettings::GetMixedClouds());
    return 0;
}

void SetWindAndTemperatureLayers(const CWeatherSet& set, CNewWeather& block, float magVar)
{
    const CMetar metar = set.GetMetar();
    const int elevation = metar.GetElevation();
    int metres = FeetToMetres(elevation);
    if (metres < 0)
        metres = 200;

    NewWindLayer& surface = block.WindLayer[0];
    SetSurfaceWind(metar, set.GetSynop(), surface, magVar);
    surface.UpperAlt = AltitudeField(metres + 100LL);

    // The layer above the surface veers 15 degrees from the reported wind and blows 2 kt harder.
    NewWindLayer& above = block.WindLayer[1];
    above = surface;
    above.UpperAlt = AltitudeField(surface.UpperAlt + 200LL);
    above.Speed = LowWord(surface.Speed + 2LL);
    double veered = std::fmod(metar.GetWind().direction + 15.0, 360.0);
    if (veered < 0.0)
        veered += 360.0;
    above.Dir = DirectionUnits(static_cast<double>(static_cast<float>(TruncateToInt(veered)) + magVar));

    SetTemperatureLayer(block.TempLayer[0], metres + 10, metar.GetTemperature(), metar.GetDewPoint());
    SetTemperatureLayer(block.TempLayer[1], metres + 210, metar.GetTemperature() - 1.0, metar.GetDewPoint() - 1.0);

    const bool modelFileMode = CSettings::GetModelFileMode();
    const std::vector<CLevel> levels = set.GetGrib().GetLevels();
    int count = 2;
    for (std::size_t i = 0; i < levels.size() && count < CNewWeather::kMaxWindLayers; ++i) {
        // The weather-model file takes every other grid level of the lower ten.
        if (modelFileMode && i % 2 == 1 && i <= 9)
            continue;
        const CLevel& level = levels[i];
        if (level.GetAltitude() < elevation + 1000LL)
            continue;
        const int levelMetres = FeetToMetres(level.GetAltitude());
        NewWindLayer& wind = block.WindLayer[count];
        wind.UpperAlt = AltitudeField(levelMetres);
        wind.Speed = LowWord(TruncateToInt(level.speed));
        wind.Dir = DirectionUnits(static_cast<double>(magVar) + level.direction);
        wind.Gust = 0;
        wind.Turbulence = 0;
        wind.Shear = 0;
        wind.Variance = 0;
        wind.SpeedFract = 0;
        SetTemperatureLayer(block.TempLayer[count], levelMetres, level.GetTemperature(), level.GetDewPoint());
        ++count;
    }
    block.nTempCtr = count;
    block.nWindCtr = count;
}

void SetVisibilityLayers(const CWeatherSet& set, CNewWeather& block)
{
    const CMetar metar = set.GetMetar();
    const int elevation = metar.GetElevation();
    const int visibility = metar.GetVisibility();

    NewVisLayer& surface = block.Vis;
    surface.LowerAlt = -100;
    surface.Range = LowWord(TruncateToInt(RangeOfMetres(visibility)));
    if (elevation > 30000)
        return;
    const int surfaceTop = FeetToMetres(elevation + 2000.0);
    surface.UpperAlt = AltitudeField(surfaceTop);
    if (surfaceTop > 30000)
        return;

    if (visibility == kUnlimitedVisibility)
        surface.Range = LowWord(TruncateToInt(RangeOfKilometres(CSettings::GetMinVisibilityMetar9999())));
    const CSynop synop = set.GetSynop();
    const int synopVisibility = synop.GetVisibility();
    if (synopVisibility != kNoSynopVisibility && visibility == kUnlimitedVisibility
        && synopVisibility > kUnlimitedVisibility
        && synop.GetDistance(metar.GetPosition(), false) < kSynopVisibilityDistance)
        surface.Range = LowWord(TruncateToInt(RangeOfMetres(synopVisibility)));
    // The minimum is kept in metres, as the options show it.
    const double minimumRange = RangeOfMetres(CSettings::GetMinVisibility());
    if (minimumRange > surface.Range)
        surface.Range = LowWord(TruncateToInt(minimumRange));
    surface.Range = LowWord(SnapVisibilityRange(surface.Range));
    const int firstTop = surface.UpperAlt;

    // Low cloud ends the surface layer at its base.
    const std::vector<CCloudLayer> clouds = metar.GetCloudLayers();
    if (!clouds.empty() && clouds.front().GetBase() < 6000) {
        int top = FeetToMetres(static_cast<double>(clouds.front().GetBase()) + elevation);
        if (top > 3000 || top < 500)
            top = 500;
        surface.UpperAlt = AltitudeField(top);
    }

    const int version = CSettings::GetFSVersion();
    if (version != 3 && version != 4 && version != 9 && version != 10)
        return;
    const int layers = version == 4 ? 2 : 5;
    const int step = TruncateToInt(std::ceil(static_cast<double>(firstTop) / layers));
    for (NewVisLayer& layer : block.UpperVis)
        layer = NewVisLayer();

    const int maxVisibility = CSettings::GetMaxVisibility();
    const double maximumRange = RangeOfKilometres(maxVisibility);
    const int bottom = surface.UpperAlt + 1;
    int range = surface.Range + 100;
    int previousTop = bottom;
    for (int k = 0; k < layers; ++k) {
        NewVisLayer& layer = block.UpperVis[k];
        layer.LowerAlt = SignedLowWord(previousTop);
        layer.UpperAlt = AltitudeField(bottom + static_cast<long long>(k + 1) * step);
        layer.Reserved = 0;
        const int snapped = SnapVisibilityRange(range);
        layer.Range = LowWord(snapped);
        if (maxVisibility != kNoVisibilityLimit && snapped > maximumRange)
            layer.Range = LowWord(TruncateToInt(maximumRange));
        range = snapped + 1000;
        previousTop = layer.UpperAlt;
    }
    block.nUpperVisCtr = layers;

    if (maxVisibility != kNoVisibilityLimit) {
        NewVisLayer& top = block.UpperVis[layers];
        top.LowerAlt = SignedLowWord(previousTop);
        top.UpperAlt = CSettings::GetInterfaceType() == 1 ? 30470 : LowWord(29000 - top.LowerAlt);
        top.Range = LowWord(TruncateToInt(maximumRange));
        block.nUpperVisCtr = layers + 1;
    }
}

} // namespace aviation::weather
