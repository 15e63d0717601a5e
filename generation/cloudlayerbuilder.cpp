#include "generation/cloudlayerbuilder.h"

#include "generation/newweatherunits.h"
#include "platform/random.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace aviation::weather {

namespace {

constexpr int kTableSize = CNewWeather::kMaxCloudLayers;

// Cloud types of the block.
constexpr std::uint8_t kCirrus = 1;
constexpr std::uint8_t kStratus = 8;
constexpr std::uint8_t kCumulus = 9;
constexpr std::uint8_t kCumulonimbus = 10;

// Top shapes of the block: flat, round, anvil.
constexpr std::uint8_t kFlatTop = 0;
constexpr std::uint8_t kRoundTop = 1;
constexpr std::uint8_t kAnvilTop = 2;

constexpr std::uint8_t kRain = 1;
constexpr std::uint8_t kSnow = 2;

constexpr double kGenusSynopDistance = 200.0;

// What the cloud rules read of the station's report and grid point, taken once per station.
struct StationWeather
{
    std::wstring weather;
    int intensity = 0;
    int temperature = 0;
    std::vector<CLevel> levels;

    bool Has(const wchar_t* phenomenon) const { return weather.find(phenomenon) != std::wstring::npos; }
};

StationWeather StationWeatherOf(const CMetar& metar, const CGrib& grib)
{
    return StationWeather{metar.GetWeather(), metar.GetWeatherIntensity(), metar.GetTemperature(), grib.GetLevels()};
}

// Where a genus row puts the layer's top: above the base truncated to whole metres, or above the base rounded up.
enum class TopFrom { TruncatedBase, CeiledBase };

// The second layer a genus gets with mixed clouds, stacked right on top of the first; type 0 means none.
struct SplitLayer
{
    std::uint8_t type = 0;
    int thickness = 0;
    std::uint8_t topShape = kFlatTop;
    std::uint16_t dev = 0;
};

// One row of a cloud-genus table; -1 leaves the field as it is.
struct GenusRow
{
    std::uint8_t type;
    TopFrom from;
    int height;
    int topShape;
    int dev;
    int turbulence;
    SplitLayer split;
};

constexpr TopFrom kBt = TopFrom::TruncatedBase;
constexpr TopFrom kL = TopFrom::CeiledBase;

// Low clouds (C_L 0-9). C_L 4 with mixed clouds is the row after the table.
const GenusRow kLowClouds[] = {
    {kCumulus, kBt, 300, kFlatTop, -1, -1, {}},
    {kCumulus, kBt, 300, kFlatTop, -1, -1, {}},
    {kCumulus, kBt, 1000, kFlatTop, -1, -1, {}},
    {kCumulus, kBt, 6000, kRoundTop, -1, -1, {}},
    {kCumulus, kBt, 500, kRoundTop, -1, -1, {}},
    {kStratus, kL, 250, kFlatTop, -1, -1, {kCumulus, 250, kRoundTop, 50}},
    {kStratus, kBt, 1000, kFlatTop, -1, -1, {}},
    {kStratus, kBt, 200, kFlatTop, -1, -1, {kCumulus, 1000, kFlatTop, 0}},
    {kStratus, kBt, 200, kRoundTop, 50, -1, {kCumulus, 1000, kFlatTop, 200}},
    {kCumulus, kL, 3000, kAnvilTop, 2000, 3, {kStratus, 300, kAnvilTop, 0}},
};
const GenusRow kLowCloudFourMixed = {kStratus, kBt, 200, kFlatTop, -1, -1, {kCumulus, 300, kRoundTop, 0}};
constexpr int kCumulonimbusGenus = 9;

// Middle clouds (C_M 0-9).
const GenusRow kMiddleClouds[] = {
    {kStratus, kL, 500, kFlatTop, -1, -1, {}},   {kStratus, kL, 500, kFlatTop, -1, -1, {}},
    {kStratus, kL, 3000, kFlatTop, -1, -1, {}},  {kCumulus, kL, 500, kFlatTop, -1, -1, {}},
    {kCumulus, kL, 500, kFlatTop, -1, -1, {}},   {kCumulus, kL, 500, kFlatTop, -1, -1, {}},
    {kCumulus, kL, 500, kFlatTop, -1, -1, {}},   {kCumulus, kL, 500, kFlatTop, -1, -1, {kStratus, 500, kFlatTop, 0}},
    {kCumulus, kL, 1000, kRoundTop, -1, -1, {}}, {kCumulus, kL, 2000, kRoundTop, -1, -1, {kStratus, 2000, kFlatTop, 0}},
};

// High clouds (C_H 0-9); C_H 10 leaves the layer alone and lets a cirrus layer be drawn.
const GenusRow kHighClouds[] = {
    {kCirrus, kL, 50, -1, -1, -1, {}},   {kCirrus, kL, 50, -1, -1, -1, {}},   {kCirrus, kL, 300, -1, -1, -1, {}},
    {kCirrus, kL, 600, -1, -1, -1, {}},  {kCirrus, kL, 100, -1, -1, -1, {}},  {kCirrus, kL, 300, -1, -1, -1, {}},
    {kCirrus, kL, 1000, -1, -1, -1, {}}, {kStratus, kL, 100, -1, -1, -1, {}}, {kStratus, kL, 100, -1, -1, -1, {}},
    {kCumulus, kL, 300, -1, -1, -1, {}},
};
constexpr int kNoHighCloudGenus = 10;

const GenusRow* RowOf(const GenusRow (&table)[10], int digit)
{
    return digit >= 0 && digit < 10 ? &table[digit] : nullptr;
}

// Base of a METAR layer in metres above sea level, truncated and rounded up.
struct LayerBase
{
    int truncated;
    int ceiled;
};

LayerBase LayerBaseOf(int elevation, int base)
{
    const double metres = (static_cast<double>(elevation) + base) / kFeetPerMetre;
    return LayerBase{TruncateToInt(metres), TruncateToInt(std::ceil(metres))};
}

void ShapeLayer(const GenusRow& row, const LayerBase& base, NewCloudLayer& layer)
{
    layer.Type = row.type;
    layer.UpperAlt
        = AltitudeField((row.from == kBt ? base.truncated : base.ceiled) + static_cast<long long>(row.height));
    if (row.topShape >= 0)
        layer.TopShape = LowByte(row.topShape);
    if (row.dev >= 0)
        layer.Dev = LowWord(row.dev);
    if (row.turbulence >= 0)
        layer.Turbulence = LowByte(row.turbulence);
}

// Writes the row's second layer above entry `e` when mixed clouds are on and the table has room; returns the
// index of the last entry written.
int AddSplitLayer(const GenusRow& row, bool mixedClouds, NewCloudLayer (&table)[kTableSize], int e)
{
    if (!mixedClouds || row.split.type == 0 || e + 1 >= kTableSize)
        return e;
    NewCloudLayer split;
    split.Cover = table[e].Cover;
    split.LowerAlt = AltitudeField(table[e].UpperAlt + 1LL);
    split.UpperAlt = AltitudeField(split.LowerAlt + static_cast<long long>(row.split.thickness));
    split.Type = row.split.type;
    split.TopShape = row.split.topShape;
    split.Dev = row.split.dev;
    table[e + 1] = split;
    return e + 1;
}

void TopFromHumidity(const std::vector<CLevel>& levels, NewCloudLayer& layer)
{
    if (levels.empty())
        return;
    double last = levels.front().GetHumidity();
    bool reached = false;
    for (const CLevel& level : levels) {
        const double altitude = level.GetAltitude() / kFeetPerMetre;
        const double humidity = level.GetHumidity();
        if (layer.LowerAlt >= altitude)
            reached = true;
        if (reached && humidity <= 90.0)
            break;
        if (humidity > 80.0 && last > humidity - 10.0 && reached && altitude > layer.LowerAlt) {
            last = humidity;
            layer.UpperAlt = AltitudeField(TruncateToInt(altitude));
        }
    }
}

void Precipitation(const StationWeather& station, NewCloudLayer& layer)
{
    if (layer.LowerAlt > 7000) {
        layer.PrecipRate = 0;
        return;
    }
    const long long bottom = layer.LowerAlt;
    layer.PrecipBase = 0;
    layer.PrecipRate = LowByte(station.intensity);
    layer.PrecipType = 0;
    if (station.Has(L"RA") || station.Has(L"DZ")) {
        layer.PrecipType = kRain;
        layer.UpperAlt = AltitudeField(bottom + station.intensity * 2000LL);
        layer.Dev = 0;
    }
    if (station.Has(L"SN")) {
        layer.PrecipType = kSnow;
        layer.UpperAlt = AltitudeField(bottom + station.intensity * 2000LL);
        layer.Dev = 100;
    }
    if (station.Has(L"TS")) {
        layer.Type = kCumulonimbus;
        layer.PrecipType = station.temperature < 1 ? kSnow : kRain;
        layer.UpperAlt = AltitudeField(bottom + station.intensity * 3000LL);
        layer.Dev = 100;
        if (CSettings::GetWindTurbulenceInCloud())
            layer.Turbulence = 3;
    }
    if (station.Has(L"SH")) {
        layer.UpperAlt = AltitudeField(bottom + station.intensity * 2000LL);
        layer.PrecipType = station.temperature < 1 ? kSnow : kRain;
    }
    if (layer.Cover > 11) {
        layer.Cover = 7;
        return;
    }
    TopFromHumidity(station.levels, layer);
}

// The layer of one METAR group from its base, cover and the weather of the report.
NewCloudLayer MetarLayer(const StationWeather& station, const CCloudLayer& cloud, int elevation, const LayerBase& base,
                         bool turbulenceInCloud)
{
    NewCloudLayer layer;
    layer.Cover = cloud.GetCoverage() != 0 ? LowByte(cloud.GetCoverage()) : LowByte(CSettings::GetCavokCoverage());
    layer.LowerAlt = AltitudeField(base.ceiled);
    if (station.temperature < 3)
        layer.Icing = 1;
    if (turbulenceInCloud)
        layer.Turbulence = 1;
    layer.UpperAlt = AltitudeField(base.ceiled + 500LL);

    const int feet = cloud.GetBase();
    const bool low = feet < 10000;
    if (low && (station.Has(L"RA") || station.Has(L"DZ"))) {
        layer.PrecipType = kRain;
        layer.PrecipRate = LowByte(station.intensity);
        layer.UpperAlt = AltitudeField(base.ceiled + 4000LL);
        if (turbulenceInCloud)
            layer.Turbulence = 2;
    }
    if (low && (station.Has(L"SN") || station.Has(L"SG"))) {
        layer.PrecipType = kSnow;
        layer.PrecipRate = LowByte(station.intensity);
        layer.Icing = 2;
        layer.UpperAlt = AltitudeField(base.ceiled + 3000LL);
        if (turbulenceInCloud)
            layer.Turbulence = 1;
    }
    if (low && station.Has(L"SH")) {
        layer.PrecipType = station.temperature > 0 ? kRain : kSnow;
        layer.PrecipRate = LowByte(station.intensity);
        layer.UpperAlt = 6000;
        if (turbulenceInCloud)
            layer.Turbulence = 1;
    }
    layer.PrecipBase = SignedLowWord(TruncateToInt(elevation / kFeetPerMetre + 1.0));
    layer.TopShape = kFlatTop;
    layer.Reserved = 0;
    layer.Type = kCumulus;
    if (feet < 30000 && station.Has(L"TS")) {
        layer.PrecipType = kRain;
        layer.PrecipRate = LowByte(TruncateToInt(station.intensity * 1.6));
        layer.Type = kCumulonimbus;
        layer.TopShape = kAnvilTop;
        layer.UpperAlt = 10000;
        if (turbulenceInCloud)
            layer.Turbulence = 3;
    }
    if (static_cast<long long>(elevation) + feet > 28000) {
        layer.Type = kCirrus;
        layer.Turbulence = 0;
        layer.PrecipType = 0;
    }
    return layer;
}

// The block's layer for a cloud type the report names: towering cumulus, cumulonimbus, and the generated layer.
struct ReportedType
{
    std::uint8_t reported;
    std::uint8_t type;
    std::uint8_t turbulence;
    int thickness;
    std::uint8_t topShape;
};

const ReportedType kReportedTypes[] = {
    {CCloudLayer::kTypeToweringCumulus, kCumulus, 3, 4000, kRoundTop},
    {CCloudLayer::kTypeCumulonimbus, kCumulonimbus, 1, 2000, kAnvilTop},
    {CCloudLayer::kTypeGenerated, kCumulus, 2, 1000, kRoundTop},
};

// A reported cloud type replaces the shaped top; plain and high layers keep it.
void ApplyReportedType(const CCloudLayer& cloud, const LayerBase& base, NewCloudLayer& layer)
{
    for (const ReportedType& row : kReportedTypes) {
        if (row.reported != cloud.GetType())
            continue;
        layer.Type = row.type;
        layer.Turbulence = row.turbulence;
        layer.UpperAlt = AltitudeField(base.truncated + static_cast<long long>(row.thickness));
        layer.TopShape = row.topShape;
        return;
    }
}

// Shapes entry `e` by the SYNOP's genus of its height: low (up to 8000 ft), middle (to 25000 ft) for plain
// layers, high above that for any layer, which also marks the sky as having its own high cloud. Returns the
// number of entries added above `e` (0 or 1).
int ApplyCloudGenus(const CSynop& synop, const CCloudLayer& cloud, const LayerBase& base, const StationWeather& station,
                    bool mixedClouds, NewCloudLayer (&table)[kTableSize], int e, bool& highSynop)
{
    NewCloudLayer& layer = table[e];
    const int feet = cloud.GetBase();
    const bool plain = cloud.GetType() == CCloudLayer::kTypePlain;
    if (feet <= 8000 && plain) {
        const int digit = synop.GetLowCloudType();
        const GenusRow* row = digit == 4 && mixedClouds ? &kLowCloudFourMixed : RowOf(kLowClouds, digit);
        if (!row)
            return 0;
        ShapeLayer(*row, base, layer);
        // Cumulonimbus rains from its lower part; the other genera from the top of the pair.
        if (digit == kCumulonimbusGenus) {
            Precipitation(station, layer);
            return AddSplitLayer(*row, mixedClouds, table, e) - e;
        }
        const int last = AddSplitLayer(*row, mixedClouds, table, e);
        Precipitation(station, table[last]);
        return last - e;
    }
    if (feet > 8000 && feet <= 25000 && plain) {
        const GenusRow* row = RowOf(kMiddleClouds, synop.GetMiddleCloudType());
        if (!row)
            return 0;
        ShapeLayer(*row, base, layer);
        return AddSplitLayer(*row, mixedClouds, table, e) - e;
    }
    if (feet > 25000) {
        highSynop = true;
        layer.TopShape = kFlatTop;
        const int digit = synop.GetHighCloudType();
        if (digit == kNoHighCloudGenus)
            highSynop = false;
        else if (const GenusRow* row = RowOf(kHighClouds, digit))
            ShapeLayer(*row, base, layer);
    }
    return 0;
}

void Consolidate(NewCloudLayer (&table)[kTableSize], int count)
{
    for (NewCloudLayer& layer : table) {
        if (layer.Cover > 8)
            layer.Cover = 8;
    }
    const bool icing = CSettings::GetIcingInClouds();
    const bool turbulence = CSettings::GetWindTurbulenceInCloud();
    for (int k = 0; k < count; ++k) {
        NewCloudLayer& layer = table[k];
        NewCloudLayer* next = k + 1 < count ? &table[k + 1] : nullptr;
        if (next && next->LowerAlt <= layer.UpperAlt)
            layer.UpperAlt = AltitudeField(next->LowerAlt - 3LL);
        if (layer.UpperAlt < layer.LowerAlt)
            layer.UpperAlt = AltitudeField(layer.LowerAlt + 100LL);
        if (next && next->LowerAlt < layer.UpperAlt)
            next->LowerAlt = AltitudeField(layer.UpperAlt + 3LL);
        if (layer.LowerAlt > 9000)
            layer.PrecipType = 0;
        if (layer.Type == kStratus && layer.UpperAlt - layer.LowerAlt > 4000)
            layer.UpperAlt = AltitudeField(layer.LowerAlt + 4000LL);
        if (!icing)
            layer.Icing = 0;
        if (!turbulence)
            layer.Turbulence = 0;
    }
}

} // namespace

void SetCloudLayers(const CWeatherSet& set, CNewWeather& block, bool mixedClouds)
{
    NewCloudLayer(&table)[kTableSize] = block.CloudLayer;
    for (NewCloudLayer& layer : table)
        layer = NewCloudLayer();

    const CMetar metar = set.GetMetar();
    const CSynop synop = set.GetSynop();
    const StationWeather station = StationWeatherOf(metar, set.GetGrib());
    const std::vector<CCloudLayer> clouds = metar.GetCloudLayers();
    const int elevation = metar.GetElevation();
    const double synopDistance = synop.GetDistance(metar.GetPosition(), false);
    int added = 0;
    bool highSynop = false;

    // Fog or mist under no reported cloud below 1000 ft can be laid on the ground as a stratus layer.
    bool lowCloud = false;
    for (const CCloudLayer& cloud : clouds)
        lowCloud = lowCloud || cloud.GetBase() < 1000;
    if ((station.Has(L"FG") || station.Has(L"BR")) && metar.GetVisibility() < 2000
        && CSettings::GetGenerateFogAsStratus() && !lowCloud) {
        NewCloudLayer& fog = table[0];
        fog.Cover = 8;
        fog.Type = kStratus;
        fog.LowerAlt = AltitudeField(TruncateToInt(elevation / kFeetPerMetre + 1.0));
        fog.UpperAlt = AltitudeField(fog.LowerAlt + 300LL);
        added = 1;
    }

    // CAVOK with a dry enough air mass gets a thin fair-weather layer at the cumulus base (400 ft per degree
    // of spread).
    const int cavokCoverage = CSettings::GetCavokCoverage();
    const long long spreadFeet = (static_cast<long long>(metar.GetTemperature()) - metar.GetDewPoint()) * 400;
    if (clouds.empty() && metar.IsCAVOK() && cavokCoverage > 0 && spreadFeet > 5000) {
        NewCloudLayer& cavok = table[added];
        cavok.Type = kCumulus;
        cavok.LowerAlt
            = AltitudeField(TruncateToInt(std::ceil((elevation + static_cast<double>(spreadFeet)) / kFeetPerMetre)));
        cavok.UpperAlt = AltitudeField(cavok.LowerAlt + 100LL);
        cavok.Cover = LowByte(cavokCoverage);
        ++added;
    }

    const bool turbulenceInCloud = CSettings::GetWindTurbulenceInCloud();
    const int metarLayers = static_cast<int>(clouds.size());
    for (int i = 0; i < metarLayers; ++i) {
        const int e = added + i;
        // Layers that would not fit the table are dropped.
        if (e >= kTableSize)
            break;
        const CCloudLayer& cloud = clouds[i];
        const LayerBase base = LayerBaseOf(elevation, cloud.GetBase());
        NewCloudLayer& layer = table[e];
        layer = MetarLayer(station, cloud, elevation, base, turbulenceInCloud);

        if (i + 1 < metarLayers) {
            const double nextBase = (static_cast<double>(elevation) + clouds[i + 1].GetBase()) / kFeetPerMetre;
            if (layer.UpperAlt > nextBase)
                layer.UpperAlt = AltitudeField(TruncateToInt(nextBase + 1.0));
        }
        ApplyReportedType(cloud, base, layer);

        if (synopDistance < kGenusSynopDistance)
            added += ApplyCloudGenus(synop, cloud, base, station, mixedClouds, table, e, highSynop);
    }

    long long count = static_cast<long long>(added) + metarLayers;
    const int maxLayers = CSettings::GetMaxCloudLayers();
    if (count > maxLayers)
        count = maxLayers;
    count = std::max(0LL, std::min<long long>(count, kTableSize));
    // Entries past the count held layers that were cut off; they go, so nothing of them reaches the simulator.
    for (long long k = count; k < kTableSize; ++k)
        table[k] = NewCloudLayer();

    if (CSettings::GetGenerateCirrus() && !highSynop) {
        const int first = platform::RandomInt(0, 32767);
        const int second = platform::RandomInt(0, 32767);
        const int cover = second % 8;
        if (cover >= 1 && cover <= 7 && count < kTableSize) {
            NewCloudLayer& cirrus = table[count];
            cirrus.Cover = LowByte(cover);
            cirrus.Type = kCirrus;
            cirrus.LowerAlt = AltitudeField(TruncateToInt((first % 20000 + 33000) / kFeetPerMetre));
            cirrus.UpperAlt = AltitudeField(cirrus.LowerAlt + 100LL);
            ++count;
        }
    }

    block.nCloudCtr = static_cast<std::int32_t>(count);
    Consolidate(table, static_cast<int>(count));
}

void SetCloudPrecipitation(const CWeatherSet& set, NewCloudLayer& layer)
{
    Precipitation(StationWeatherOf(set.GetMetar(), set.GetGrib()), layer);
}

void SetCloudTopFromHumidity(const CWeatherSet& set, NewCloudLayer& layer)
{
    TopFromHumidity(set.GetGrib().GetLevels(), layer);
}

} // namespace aviation::weather
