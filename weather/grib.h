// One upper-air grid point as the weather server sends it, one point per line:
// GRIB 24680 67890 99501 10123 99012 15204 27015 0000110 15204 27015 8501500 05008 28030 ... 7713000 52760 27095 L6123
#pragma once

#include "weather/cloudlayer.h"
#include "weather/level.h"
#include "weather/station.h"

#include <string>
#include <vector>

namespace aviation::weather {

class CMetar;
class RegexMatch;
class CWind;

class CGrib : public CStation
{
public:
    CGrib();
    // Keeps the text; decodes the header (position and location key) at once when asked to.
    CGrib(const std::wstring& text, bool decodeHeader);
    CGrib(const CGrib& other) = default;
    // Copies every field; the station part is assigned as stations are, so this record keeps its time.
    CGrib& operator=(const CGrib& other) = default;
    ~CGrib() override = default;

    // Decodes the header, or the whole line: surface, pressure levels, max-wind and tropopause levels and
    // cloud markers. False only for a text too short to hold a header or a section that ran out of range;
    // a missing section is reported through the error text.
    bool Decode(bool headerOnly);
    // Replaces the levels by a made-up profile of 13 levels every 3000 ft from the surface values.
    void SetStandardAtmosphere(const CWind& wind, double temperature, double dewPoint, double pressure);
    // The level at the altitude (ft), interpolated between the enclosing levels; the nearest end level
    // outside the list, the level itself at a level's altitude, a default level for an empty list.
    CLevel GetLevelAtAltitude(int altitude) const;
    // Turns this point into a METAR report named after the given one (or "AUTG"), dated this hour.
    void ToMetar(CMetar& report);

    std::wstring GetRaw() const { return m_raw; }
    std::wstring GetLocationKey() const { return m_locationKey; }
    std::wstring GetErrorText() const { return m_errorText; }
    std::vector<CLevel> GetLevels() const { return m_levels; }
    CLevel GetMaxWindLevel() const { return m_maxWindLevel; }
    CLevel GetTropopauseLevel() const { return m_tropopauseLevel; }
    bool IsStandardAtmosphere() const { return m_standardAtmosphere; }

    CLevel surfaceLevel;
    CCloudLayer lowCloud;
    CCloudLayer middleCloud;
    CCloudLayer highCloud;

private:
    void DecodeHeader(std::wstring_view& rest, RegexMatch& match);
    void DecodeSurface(std::wstring_view& rest, RegexMatch& match);
    void DecodeLevels(std::wstring_view& rest, RegexMatch& match);
    void DecodeClouds(std::wstring_view& rest, RegexMatch& match);

    std::wstring m_raw;
    std::wstring m_locationKey;
    CLevel m_maxWindLevel;
    CLevel m_tropopauseLevel;
    std::vector<CLevel> m_levels;
    bool m_standardAtmosphere = false;
    std::wstring m_errorText;
};

} // namespace aviation::weather
