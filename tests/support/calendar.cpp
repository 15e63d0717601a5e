#include "tests/support/calendar.h"

namespace testsupport {

namespace {

std::tm Fields(int year, int month, int day, int hour, int minute)
{
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    return fields;
}

} // namespace

std::int64_t LocalSeconds(int year, int month, int day, int hour, int minute)
{
    std::tm fields = Fields(year, month, day, hour, minute);
    fields.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&fields));
}

std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute)
{
    std::tm fields = Fields(year, month, day, hour, minute);
    return static_cast<std::int64_t>(timegm(&fields));
}

std::tm LocalFields(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm fields{};
    localtime_r(&t, &fields);
    return fields;
}

} // namespace testsupport
