#pragma once

// Calendar times for tests of dated reports: seconds since 1970 from the calendar fields of the local zone or
// of UTC, and the local fields of a time, so that a test reads the same under any time zone.

#include <cstdint>
#include <ctime>

namespace testsupport {

// The local time of the given fields (month 1-12), daylight saving as the zone has it on that day.
std::int64_t LocalSeconds(int year, int month, int day, int hour, int minute);

// The same fields read as UTC.
std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute);

// The local calendar fields of a time.
std::tm LocalFields(std::int64_t seconds);

} // namespace testsupport
