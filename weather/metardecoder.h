// Decodes the raw text of a CMetar into its values, group by group from the front of the report:
//     KJFK 061251Z 27010KT 1 1/2SM BR OVC005 M05/M07 A2992 RMK AO2
#pragma once

#include <cstddef>

namespace aviation {
namespace weather {

class CMetar;

class CMetarDecoder
{
public:
    // Longest part of a report that is decoded; real reports are far shorter.
    static constexpr std::size_t kMaxWorkingLength = 1000;

    // Decodes the record's raw text into the record; returns 0 or an error code of CMetar::GetErrorText.
    // Only the record is touched; the patterns are compiled once, on first use.
    static int Decode(CMetar& metar);

private:
    class Run;
};

} // namespace weather
} // namespace aviation
