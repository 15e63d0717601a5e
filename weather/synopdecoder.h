// Reads the groups of one SYNOP report into a CSynop, group by group with anchored patterns, e.g.
//     AAXX 01124 10384 32595 81204 10123 21012 30132 40015 82530 333 85815 91125 555 01012 10123 91007
#pragma once

#include "weather/regexpattern.h"

#include <cstddef>
#include <string_view>

namespace aviation {
namespace weather {

class CSynop;

class CSynopDecoder
{
public:
    // Longest part of a report that is looked at; real reports are well under 400 characters.
    static constexpr std::size_t kMaxWorkingLength = 1000;

    explicit CSynopDecoder(CSynop& synop);
    CSynopDecoder(const CSynopDecoder&) = delete;
    CSynopDecoder& operator=(const CSynopDecoder&) = delete;

    // Both return the SYNOP error code and keep what they decoded before they stopped.
    int DecodeHeader();
    int Decode();

    // Values of the code tables: lowest-cloud height h, visibility VV and cloud-layer height hshs. The unused
    // visibility codes 51-55 give kNoVisibilityValue: the visibility stays as it was.
    static constexpr int kNoVisibilityValue = -1;
    static int LowestCloudBase(int h);
    static int Visibility(int vv);
    static int CloudLayerBase(int hshs);
    // Leading decimal digits of the text; 0 when it starts with anything else ("/" reads as 0).
    static int ReadNumber(std::wstring_view text);
    // Dew point (degrees Celsius) of air at `temperature` with the relative humidity in percent.
    static double DewPointFromHumidity(double temperature, int humidity);

private:
    // The group being read, which names the message of a failure.
    enum class Group {
        LandHeader,
        ShipHeader,
        MobileHeader,
        Visibility,
        Wind,
        Temperature,
        DewPoint,
        Pressure,
        Trend,
        Precipitation,
        Weather,
        CloudType,
        Sea,
        Section333,
        CloudLayer,
        Section444,
        Section555
    };
    struct Patterns;
    static const Patterns& GetPatterns();

    int DecodeGuarded(bool headerOnly);
    int ReadHeader(bool headerOnly);
    void ReadSection1();
    void ReadSection2();
    void ReadSection333();
    void ReadSection444();
    void ReadSection555();
    void ReadLandHeader();
    int ReadShipHeader();
    void ReadMobileHeader();
    void ReadDateTime(std::wstring_view group);
    void ReadPressure(std::wstring_view digits, float& pressure);
    void ReadHumidity(int humidity);
    double ToKnots(double speed) const;

    // Matches the pattern at the front of the working text; on success the match is removed together with
    // the white space after it, and the sub-matches stay readable through m_match.
    bool Take(const RegexPattern& pattern);
    std::wstring_view Sub(std::size_t group) const { return m_match.View(group); }
    static const wchar_t* RegexErrorText(Group group, bool headerOnly);
    static const wchar_t* RangeErrorText(Group group, bool headerOnly);

    CSynop& m_synop;
    // The raw text, cut to kMaxWorkingLength; m_pos is its unread front.
    std::wstring_view m_work;
    std::size_t m_pos = 0;
    // One set of match data per thread, shared by the decoders that run on it one after the other, so a
    // decode allocates nothing for its searches.
    RegexMatch& m_match;
    Group m_group = Group::LandHeader;
    // The iRixhVV group that a ship header's match ends with; empty for other reports.
    std::wstring_view m_shipVisibilityGroup;
};

} // namespace weather
} // namespace aviation
