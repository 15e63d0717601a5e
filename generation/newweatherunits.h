// Number conversions shared by the code that fills the FSUIPC New Weather block: feet to metres, degrees to
// direction units (1/65536 of a full circle), and the truncating, never undefined, narrowing to the block's
// 8-, 16- and 32-bit fields.
#pragma once

#include "weather/unitconversion.h"

#include <cstdint>

namespace aviation::weather {

// The low 16 bits of a value, so negative values and values above 65535 wrap by whole turns of 65536.
inline std::uint16_t LowWord(long long value)
{
    return static_cast<std::uint16_t>(static_cast<unsigned long long>(value) & 0xFFFFu);
}

inline std::int16_t SignedLowWord(long long value)
{
    const std::uint16_t word = LowWord(value);
    return word < 0x8000u ? static_cast<std::int16_t>(word)
                          : static_cast<std::int16_t>(static_cast<int>(word) - 0x10000);
}

inline std::uint8_t LowByte(long long value)
{
    return static_cast<std::uint8_t>(static_cast<unsigned long long>(value) & 0xFFu);
}

// Degrees as direction units: degrees x 65536 / 360, truncated, kept in 16 bits (-90 degrees gives 49152).
inline std::uint16_t DirectionUnits(double degrees)
{
    return LowWord(TruncateToInt(degrees * 65536.0 / 360.0));
}

// An altitude in metres for an unsigned 16-bit field: below sea level counts as sea level, and nothing wraps
// round to tens of kilometres up.
inline std::uint16_t AltitudeField(long long metres)
{
    if (metres < 0)
        return 0;
    return metres > 0xFFFF ? static_cast<std::uint16_t>(0xFFFF) : static_cast<std::uint16_t>(metres);
}

// Feet (above sea level) as whole metres, truncated.
inline int FeetToMetres(double feet)
{
    return TruncateToInt(feet / kFeetPerMetre);
}

} // namespace aviation::weather
