#include "generation/weatherconverter.h"

#include "platform/debugoutput.h"
#include "settings/settings.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

using aviation::structs::CAircraft;
using aviation::weather::CCloudLayer;
using aviation::weather::CGrib;
using aviation::weather::CLevel;
using aviation::weather::CMetar;
using aviation::weather::CSynop;
using aviation::weather::CWeatherSet;
using aviation::weather::CWind;

namespace {

constexpr double kFeetPerMetre = 3.2808;
// A layer this high above sea level (ft) is sent as thin high cloud, whatever its cover.
constexpr int kHighCloudBase = 28000;
// SYNOP cloud above this height (ft above sea level) is added to the METAR's layers.
constexpr int kSynopHighCloudBase = 24000;
constexpr double kSynopCloudReachNm = 50.0;
constexpr double kSynopVisibilityReachNm = 50.0;
constexpr double kSynopGustReachNm = 30.0;
constexpr int kMetarUnlimitedVisibility = 9999;
constexpr int kFogVisibility = 5000;
constexpr double kMoistHumidity = 90.0;

float Metres(double feet)
{
    return static_cast<float>(feet / kFeetPerMetre);
}

bool Contains(const std::wstring& text, const wchar_t* part)
{
    return text.find(part) != std::wstring::npos;
}

// Kilometres of a setting in metres, held to what an int takes.
int VisibilityMetres(int kilometres)
{
    const std::int64_t metres = std::int64_t{kilometres} * 1000;
    return static_cast<int>(std::clamp<std::int64_t>(metres, 0, std::numeric_limits<int>::max()));
}

int Visibility(const CMetar& metar, const CSynop& synop)
{
    const int reported = metar.GetVisibility();
    const int synopVisibility = synop.GetVisibility();
    int visibility = reported;
    if (synopVisibility != CSynop::kNotReportedVisibility && reported == kMetarUnlimitedVisibility
        && synopVisibility > kMetarUnlimitedVisibility
        && synop.GetDistance(metar.GetPosition(), false) < kSynopVisibilityReachNm) {
        visibility = synopVisibility;
    } else if (reported == kMetarUnlimitedVisibility) {
        visibility = VisibilityMetres(CSettings::GetMinVisibilityMetar9999());
    }
    // The minimum is kept in metres, as the options show it; the other two limits in kilometres.
    visibility = std::max(visibility, CSettings::GetMinVisibility());
    return std::min(visibility, VisibilityMetres(CSettings::GetMaxVisibility()));
}

// The METAR's layers, the SYNOP's high cloud when its station is near the aircraft, and the CAVOK layer.
std::vector<CCloudLayer> CloudLayers(const CMetar& metar, const CSynop& synop, const CAircraft& aircraft)
{
    std::vector<CCloudLayer> clouds = metar.GetCloudLayers();
    if (synop.GetDistance(aircraft.GetPosition(), false) < kSynopCloudReachNm) {
        for (CCloudLayer layer : synop.GetCloudLayers()) {
            if (layer.GetBase() + synop.GetElevation() > kSynopHighCloudBase) {
                layer.SetType(CCloudLayer::kTypeHigh);
                clouds.push_back(layer);
            }
        }
    }
    const int cavokCoverage = CSettings::GetCavokCoverage();
    if (metar.IsCAVOK() && cavokCoverage > 0) {
        // The setting is a height above the station, as every layer base here is.
        CCloudLayer cavok(CSettings::GetCavokBase(), 0, CCloudLayer::kTypeGenerated);
        cavok.SetCoverage(std::min(cavokCoverage, 8));
        clouds.push_back(cavok);
    }
    return clouds;
}

XPCloudLayer XPlaneCloud(const CCloudLayer& layer, int elevation)
{
    XPCloudLayer cloud;
    switch (layer.GetCoverage()) {
    case 1:
    case 2:
        cloud.Type = 1;
        cloud.Coverage = 1.0f;
        break;
    case 3:
    case 4:
        cloud.Type = 2;
        cloud.Coverage = 3.0f;
        break;
    case 5:
    case 6:
    case 7:
        cloud.Type = 3;
        cloud.Coverage = 4.0f;
        break;
    case 8:
        cloud.Type = 4;
        cloud.Coverage = 5.0f;
        break;
    default:
        cloud.Type = 2;
        cloud.Coverage = 0.0f;
        break;
    }
    if (layer.GetType() == CCloudLayer::kTypeHigh || layer.GetBase() + elevation > kHighCloudBase) {
        cloud.Type = 1;
        cloud.Coverage = 1.0f;
    }
    cloud.Base = Metres(layer.GetBase() + elevation);
    cloud.Top = Metres(layer.GetTop() + elevation);
    return cloud;
}

// Stratus for rain or snow in mist when no cloud is reported: 100 ft above the station, 500 m thick.
bool FogLayer(const CMetar& metar, XPCloudLayer& fog)
{
    const std::wstring weather = metar.GetWeather();
    if (!CSettings::GetGenerateFogAsStratus() || !(Contains(weather, L"RA") || Contains(weather, L"SN"))
        || !Contains(weather, L"BR") || metar.GetVisibility() > kFogVisibility) {
        return false;
    }
    fog.Type = 5;
    fog.Coverage = 0.0f;
    fog.Base = Metres(metar.GetElevation() + 100);
    fog.Top = fog.Base + 500.0f;
    return true;
}

void SetClouds(const CWeatherSet& set, const CMetar& metar, const CAircraft& aircraft, CXPWeather& record)
{
    std::vector<XPCloudLayer> layers;
    for (CCloudLayer layer : CloudLayers(metar, set.GetSynop(), aircraft)) {
        layer.SetTop(layer.GetBase() + 500);
        WeatherConverter::EstimateCloudTop(set, layer);
        layers.push_back(XPlaneCloud(layer, metar.GetElevation()));
    }
    XPCloudLayer fog;
    if (layers.empty() && FogLayer(metar, fog))
        layers.push_back(fog);
    if (layers.size() > static_cast<std::size_t>(CXPWeather::kLayers)) {
        platform::DebugOut("(Weather Converter) - XPlane clouds > 3\n");
        layers.resize(CXPWeather::kLayers);
    }
    std::copy(layers.begin(), layers.end(), record.Cloudlayer);
}

// The METAR's surface wind at the station, with the gust, variable sector and turbulence when the setting asks
// for them.
XPWindLayer SurfaceWind(const CMetar& metar, const CSynop& synop)
{
    const CWind wind = metar.GetWind();
    XPWindLayer layer;
    layer.Alt = Metres(metar.GetElevation());
    layer.Dir = static_cast<float>(wind.direction);
    layer.Speed = static_cast<float>(wind.speed);
    if (!CSettings::GetWindSlightlGustSurfaceWind())
        return layer;

    layer.Turbulence = static_cast<float>(wind.speed / 30.0);
    if (metar.GetVariableWindFrom() != -1 && metar.GetVariableWindTo() != -1)
        layer.ShearDir = static_cast<float>(std::max(metar.GetVariableWindRange(), 0));
    // A gust at or below the mean wind is a slip in the report, not a gust of minus some knots.
    const double synopGust = synop.GetWind().gust;
    if (wind.gust > 0.0 && wind.gust > wind.speed)
        layer.ShearSpeed = static_cast<float>(wind.gust - wind.speed);
    else if (synop.GetDistance(metar.GetPosition(), false) < kSynopGustReachNm && synopGust > wind.speed)
        layer.ShearSpeed = static_cast<float>(synopGust - wind.speed);
    return layer;
}

XPWindLayer LevelWind(const CLevel& level)
{
    XPWindLayer layer;
    layer.Alt = Metres(level.GetAltitude());
    layer.Dir = static_cast<float>(level.direction);
    layer.Speed = static_cast<float>(level.speed);
    return layer;
}

// The grid level at the aircraft's altitude, 2000 ft higher while the aircraft is within 1000 ft of the station.
CLevel LevelAtAircraft(const CGrib& grib, const CMetar& metar, const CAircraft& aircraft)
{
    const int offset = aircraft.altitude < metar.GetElevation() + 1000 ? 2000 : 0;
    return grib.GetLevelAtAltitude(aircraft.altitude + offset);
}

void SetPrecipitation(const CMetar& metar, CXPWeather& record)
{
    const std::wstring weather = metar.GetWeather();
    const int intensity = metar.GetWeatherIntensity();
    if (Contains(weather, L"RA") || Contains(weather, L"SN") || Contains(weather, L"SH"))
        record.RainPercent = intensity == 3 ? 0.5f : intensity == 2 ? 0.25f : 0.2f;
    if (Contains(weather, L"TS")) {
        record.ThunderstromPercent = intensity == 3 ? 0.8f : intensity == 2 ? 0.5f : 0.3f;
        record.RainPercent = intensity == 3 ? 1.0f : intensity == 2 ? 0.7f : 0.4f;
    }
}

} // namespace

namespace WeatherConverter {

CXPWeather MakeXPlaneWeather(const CWeatherSet& set, const CAircraft& aircraft)
{
    const CMetar metar = set.GetMetar();
    const CSynop synop = set.GetSynop();
    const CGrib grib = set.GetGrib();
    CXPWeather record;

    record.Vis = static_cast<float>(Visibility(metar, synop));
    record.Temp = static_cast<float>(metar.GetTemperatureMSL());
    record.Dew = static_cast<float>(metar.GetDewPointMSL());
    record.Press = static_cast<float>(metar.GetQNH(false) / 100.0);
    SetClouds(set, metar, aircraft, record);

    record.WindLayer[0] = SurfaceWind(metar, synop);
    if (grib.GetLevels().size() > 2) {
        XPWindLayer atAircraft = LevelWind(LevelAtAircraft(grib, metar, aircraft));
        atAircraft.Speed = 0.0f;
        record.WindLayer[1] = atAircraft;
        record.WindLayer[2] = LevelWind(grib.GetLevels().back());
    } else {
        record.WindLayer[1] = record.WindLayer[0];
        record.WindLayer[2] = record.WindLayer[0];
    }

    SetPrecipitation(metar, record);
    record.RateChangePercent = 0.6f;
    record.WaveDir = synop.GetShipDirection();
    record.WaveSpeed = static_cast<float>(synop.GetShipSpeed());
    return record;
}

CXPWeather MakeXPlaneWind(const CWeatherSet& set, const CAircraft& aircraft)
{
    const CMetar metar = set.GetMetar();
    const CGrib grib = set.GetGrib();
    const std::vector<CLevel> levels = grib.GetLevels();
    if (levels.empty())
        throw std::out_of_range("grid record without levels");

    CXPWeather record;
    record.WindLayer[0] = SurfaceWind(metar, set.GetSynop());
    record.WindLayer[0].Speed = 0.0f;
    record.WindLayer[1] = LevelWind(LevelAtAircraft(grib, metar, aircraft));
    record.WindLayer[2] = LevelWind(levels.back());
    record.WindLayer[2].Speed = 0.0f;
    return record;
}

void EstimateCloudTop(const CWeatherSet& set, CCloudLayer& layer)
{
    const int base = layer.GetBase();
    int top = layer.GetTop();
    const std::vector<CLevel> levels = set.GetGrib().GetLevels();
    if (levels.size() > 3) {
        // The cloud goes up through the levels above its base that stay moist, as long as the humidity does not
        // jump by 10 % or more from one such level to the next.
        double reference = levels.front().GetHumidity();
        bool baseReached = false;
        for (const CLevel& level : levels) {
            if (level.GetAltitude() <= base) {
                baseReached = true;
                continue;
            }
            if (!baseReached)
                continue;
            const double humidity = level.GetHumidity();
            if (humidity <= kMoistHumidity)
                break;
            if (humidity < reference + 10.0) {
                top = level.GetAltitude();
                reference = humidity;
            }
        }
    }
    if (base < kHighCloudBase) {
        const std::wstring weather = set.GetMetar().GetWeather();
        if (Contains(weather, L"TS"))
            top = std::max(top, 20000);
        if (Contains(weather, L"RA") || Contains(weather, L"SH") || Contains(weather, L"SN"))
            top = std::max(top, 10000);
    }
    layer.SetTop(top);
}

} // namespace WeatherConverter
