#include "weather/grib.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "weather/metar.h"
#include "weather/quadrant.h"
#include "weather/regexpattern.h"
#include "weather/textconversion.h"
#include "weather/wideformat.h"
#include "weather/wind.h"

#include <algorithm>
#include <ctime>
#include <stdexcept>

namespace aviation::weather {

namespace {

// A grid line holds a header, a surface group and about fifteen level groups (~400 characters). Anything
// beyond this is not decoded, so a corrupt download cannot make one record grow without bound.
constexpr size_t kMaxWorkingText = 2048;

// Heights of the standard-atmosphere levels are 3000 ft apart; pressures of levels 1 to 13 at 1013 hPa.
constexpr int kStandardLevelCount = 13;
constexpr double kStandardPressure[kStandardLevelCount]
    = {898.76, 794.98, 701.12, 616.45, 540.25, 471.87, 410.66, 356.06, 307.48, 264.42, 226.37, 200.45, 180.0};

constexpr double kFeetPerMetre = 3.28085;
// A complete line has at least this many pressure levels.
constexpr int kMinimumLevels = 11;
constexpr double kUnset = -99.0;
constexpr int kOvercastOktas = 8;

// Reads the leading decimal digits; a slash or any other character ends the number (so "///" reads 0).
int LeadingNumber(std::wstring_view text)
{
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            break;
        value = value * 10 + (c - L'0');
    }
    return value;
}

// Removes the match and the spaces that follow it from the front of the text.
void Consume(std::wstring_view& rest, const RegexMatch& match)
{
    rest.remove_prefix(match.Position(0) + match.Length(0));
    while (!rest.empty() && rest.front() == L' ')
        rest.remove_prefix(1);
}

// TTTDD: tenths of a degree, odd tenths meaning below zero; DD is the dew-point depression, in tenths up
// to 50 and in whole degrees (minus 50) above.
void ReadTemperatures(std::wstring_view group, double& temperature, double& dewPoint)
{
    const int tenths = LeadingNumber(group.substr(0, 3));
    temperature = (tenths % 2 == 1 ? -tenths : tenths) / 10.0;
    const int depressionCode = LeadingNumber(group.substr(3, 2));
    const double depression = depressionCode <= 50 ? depressionCode / 10.0 : depressionCode - 50;
    dewPoint = temperature - depression;
}

// dddff or dddfff; a direction above 360 carries a hundred knots of speed.
CWind ReadWind(std::wstring_view group)
{
    double direction = LeadingNumber(group.substr(0, 3));
    double speed = LeadingNumber(group.substr(3));
    if (direction > 360) {
        direction -= 360;
        speed += 100;
    }
    return CWind(direction, speed, -1);
}

// The METAR temperature group; below zero with the letter M, as the METAR decoder reads it.
std::wstring TemperatureGroup(double temperature, double dewPoint)
{
    auto part = [](double value) { return value < 0 ? FormatWide(L"M%02.0f", -value) : FormatWide(L"%02.0f", value); };
    return part(temperature) + L"/" + part(dewPoint);
}

// The METAR wind group of the surface wind. A point without a surface group has no wind; it is written as
// the unknown wind "/////KT", which the METAR decoder reads as calm and goes on with the groups after it.
std::wstring SurfaceWindGroup(const CWind& wind)
{
    if (wind.direction < 0 || wind.speed < 0)
        return L"/////KT";
    return wind.Format(L"%03.0f%02.0fKT");
}

} // namespace

CGrib::CGrib()
    : lowCloud(-1, 0, 0, -1)
    , middleCloud(-1, 0, 0, -1)
    , highCloud(-1, 0, 0, -1)
{
}

CGrib::CGrib(const std::wstring& text, bool decodeHeader)
    : m_raw(text)
{
    if (decodeHeader)
        Decode(true);
}

bool CGrib::Decode(bool headerOnly)
{
    m_errorText.clear();
    if (m_standardAtmosphere)
        return true;
    if (m_raw.size() < 5)
        return false;
    m_levels.clear();

    std::wstring_view rest(m_raw);
    if (rest.size() > kMaxWorkingText)
        rest = rest.substr(0, kMaxWorkingText);

    RegexMatch match;
    // Each section runs guarded: a read past the end of the text ends the decoding with the error text.
    auto section = [&](const wchar_t* name, void (CGrib::*decode)(std::wstring_view&, RegexMatch&)) {
        try {
            (this->*decode)(rest, match);
            return true;
        } catch (const std::out_of_range& error) {
            m_errorText = L"Out of Range error: " + CharToWString(error.what());
            platform::DebugOut(std::wstring(L"\nGrib ") + name + L" Error:" + m_errorText + L"\n");
            return false;
        }
    };

    if (!section(L"Header", &CGrib::DecodeHeader))
        return false;
    if (headerOnly)
        return true;
    if (!section(L"Surface", &CGrib::DecodeSurface) || !section(L"Level", &CGrib::DecodeLevels))
        return false;
    if (m_levels.size() < kMinimumLevels) {
        m_errorText = L"(Grib) - too few layers of Level\n " + m_raw + L"\n";
        platform::DebugOut(m_errorText);
    }
    return section(L"Cloud", &CGrib::DecodeClouds);
}

void CGrib::DecodeHeader(std::wstring_view& rest, RegexMatch& match)
{
    static const RegexPattern header(L"^GRIB ([0-9]{5}) ([0-9]{5}) (99[0-9]{3}) ([0-9]{5})");
    if (!header.Search(rest, match)) {
        m_errorText = L"no Grib header found";
        return;
    }
    const std::wstring_view latitudeGroup = match.View(3);
    const std::wstring_view longitudeGroup = match.View(4);
    // Tenths of a degree, read in single precision as the grid's positions always have been.
    double latitude = LeadingNumber(latitudeGroup.substr(2, 3)) / 10.0f;
    double longitude = LeadingNumber(longitudeGroup.substr(1, 4)) / 10.0f;
    ApplyQuadrant(longitudeGroup.at(0), latitude, longitude);
    SetPosition(Position(latitude, longitude));
    m_locationKey = std::wstring(latitudeGroup.substr(2, 3)) + std::wstring(longitudeGroup);
    Consume(rest, match);
}

void CGrib::DecodeSurface(std::wstring_view& rest, RegexMatch& match)
{
    static const RegexPattern surface(L"^(99[0-9]{3}) ([0-9]{5}) ([0-9]{5})");
    if (!surface.Search(rest, match)) {
        m_errorText = L"no Grib surface data found";
        return;
    }
    int pressure = LeadingNumber(match.View(1).substr(2, 3));
    if (pressure < 800)
        pressure += 1000;
    double temperature = 0;
    double dewPoint = 0;
    ReadTemperatures(match.View(2), temperature, dewPoint);
    surfaceLevel = CLevel(0, ReadWind(match.View(3)), temperature, dewPoint, static_cast<float>(pressure), -1);
    Consume(rest, match);
}

void CGrib::DecodeLevels(std::wstring_view& rest, RegexMatch& match)
{
    static const RegexPattern level(L"^([0-9/]{7}) ([0-9/]{5}) ([0-9]{5,6})");
    while (level.Search(rest, match)) {
        const std::wstring_view heightGroup = match.View(1);
        const int indicator = LeadingNumber(heightGroup.substr(0, 2));
        const int altitude = static_cast<int>(LeadingNumber(heightGroup.substr(2, 5)) * kFeetPerMetre);
        double temperature = 0;
        double dewPoint = 0;
        ReadTemperatures(match.View(2), temperature, dewPoint);
        const CWind wind = ReadWind(match.View(3));
        if (indicator == 77) {
            m_maxWindLevel = CLevel(altitude, wind, temperature, 99, -1, -1);
        } else if (indicator == 88) {
            m_tropopauseLevel = CLevel(altitude, wind, temperature, 99, -1, -1);
        } else {
            const int hectopascal = indicator == 0 ? 1000 : indicator == 92 ? 925 : indicator * 10;
            m_levels.emplace_back(altitude, wind, temperature, dewPoint, static_cast<float>(hectopascal), -1);
        }
        Consume(rest, match);
    }
}

void CGrib::DecodeClouds(std::wstring_view& rest, RegexMatch& match)
{
    // The markers give the cover in oktas in their first digit; the other three digits are not used.
    static const RegexPattern low(L"^L([[0-9]{4})");
    static const RegexPattern middle(L"^M([[0-9]{4})");
    static const RegexPattern high(L"^H([[0-9]{4})");
    struct Marker
    {
        const RegexPattern& pattern;
        CCloudLayer& layer;
        int base;
    };
    const Marker markers[] = {{low, lowCloud, 5000}, {middle, middleCloud, 18000}, {high, highCloud, 18000}};
    for (const Marker& marker : markers) {
        if (!marker.pattern.Search(rest, match))
            continue;
        // A 9 (sky obscured) is more than the eight oktas a layer holds: it counts as overcast.
        const int coverage = std::min(LeadingNumber(match.View(1).substr(0, 1)), kOvercastOktas);
        marker.layer = CCloudLayer(marker.base, static_cast<signed char>(coverage), 0, -1);
        Consume(rest, match);
    }
}

void CGrib::SetStandardAtmosphere(const CWind& wind, double temperature, double dewPoint, double pressure)
{
    m_standardAtmosphere = true;
    m_levels.clear();
    surfaceLevel = CLevel(0, wind, temperature, dewPoint, static_cast<float>(pressure), -1);
    m_maxWindLevel = CLevel();
    m_tropopauseLevel = CLevel();
    for (int k = 1; k <= kStandardLevelCount; ++k) {
        const CWind levelWind(wind.direction + 4 * k, wind.speed + 2 * k, -1);
        const float levelPressure = static_cast<float>(kStandardPressure[k - 1] + (pressure - 1013.0));
        m_levels.emplace_back(3000 * k, levelWind, temperature - 4 * k, dewPoint - 5 * k, levelPressure, -1);
    }
}

CLevel CGrib::GetLevelAtAltitude(int altitude) const
{
    if (m_levels.empty())
        return CLevel();
    // Outside the list there is no pair to interpolate between: the nearest end level stands for it.
    if (altitude <= m_levels.front().GetAltitude())
        return m_levels.front();
    if (altitude >= m_levels.back().GetAltitude())
        return m_levels.back();

    const CLevel* lower = nullptr;
    const CLevel* upper = nullptr;
    for (size_t i = 0; i + 1 < m_levels.size(); ++i) {
        if (m_levels[i].GetAltitude() == altitude)
            return m_levels[i];
        if (m_levels[i].GetAltitude() < altitude && altitude < m_levels[i + 1].GetAltitude()) {
            lower = &m_levels[i];
            upper = &m_levels[i + 1];
        }
    }
    // Between the first and the last altitude a rising pair around the altitude always exists.
    if (!lower)
        return m_levels.front();
    CLevel level;
    level.Interpolate(*lower, *upper, altitude);
    return level;
}

void CGrib::ToMetar(CMetar& report)
{
    if (!m_standardAtmosphere)
        Decode(false);

    const std::wstring icao = report.GetICAO()[0] ? std::wstring(report.GetICAO()) : std::wstring(L"AUTG");
    const std::time_t now = static_cast<std::time_t>(platform::NowSeconds());
    std::tm local{};
    localtime_r(&now, &local);

    std::wstring line
        = icao + L" " + FormatWide(L"%02i%02i%02iZ ", local.tm_mday, local.tm_hour, 0) + SurfaceWindGroup(surfaceLevel);

    std::wstring clouds;
    if (lowCloud.GetCoverage() > 0)
        clouds += CCloudLayer(4000, 2, 9, -1).GetMetarGroup() + L" ";
    if (middleCloud.GetCoverage() > 0)
        clouds += CCloudLayer(16000, middleCloud.GetCoverage(), 9, -1).GetMetarGroup() + L" ";
    if (highCloud.GetCoverage() > 0) {
        const int tropopause = m_tropopauseLevel.GetAltitude();
        const int base = tropopause > 28000 ? tropopause - 1000 : 28000;
        clouds += CCloudLayer(base, highCloud.GetCoverage(), 1, -1).GetMetarGroup() + L" ";
    }

    // Visibility 9999, then an empty weather slot before the cloud groups.
    line += L" 9999  " + clouds;
    // Without a surface temperature the group is left out, so the report does not claim one.
    const double temperature = surfaceLevel.GetTemperature();
    const double dewPoint = surfaceLevel.GetDewPoint();
    if (temperature != kUnset && dewPoint != kUnset)
        line += L" " + TemperatureGroup(temperature, dewPoint);
    line += FormatWide(L" Q%04.0f", static_cast<double>(surfaceLevel.GetPressure()));

    CMetar metar(line);
    metar.SetICAO(icao);
    metar.Decode();
    metar.SetPosition(report.GetPosition());
    metar.SetName(report.GetName());
    report = metar;
}

} // namespace aviation::weather
