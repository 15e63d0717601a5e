#include "weather/stationtime.h"

#include "platform/clock.h"

#include <ctime>
#include <cwchar>

namespace aviation {
namespace weather {

StationTime::StationTime()
    : m_time(platform::NowSeconds())
{
}

std::wstring StationTime::GetTimeText(const std::wstring& format) const
{
    const std::time_t t = static_cast<std::time_t>(m_time);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return std::wstring();
    wchar_t buffer[20];
    const std::size_t length = std::wcsftime(buffer, 20, format.c_str(), &local);
    return std::wstring(buffer, length);
}

void StationTime::SetTime(int day, int hour, int minute)
{
    // The local-time conversion reads the zone rules on every call, and a world of reports asks for the same few
    // days and hours within the same second: the last answer is kept while the clock and the fields stay.
    struct LastAnswer
    {
        bool valid = false;
        std::time_t now = 0;
        int day = 0;
        int hour = 0;
        int minute = 0;
        std::int64_t time = 0;
    };
    thread_local LastAnswer last;

    const std::time_t now = static_cast<std::time_t>(platform::NowSeconds());
    if (last.valid && now == last.now && day == last.day && hour == last.hour && minute == last.minute) {
        m_time = last.time;
        return;
    }
    std::tm local{};
    if (!localtime_r(&now, &local))
        return;
    // A day later than today belongs to the previous month; mktime normalises month -1 into December.
    if (day > local.tm_mday)
        local.tm_mon -= 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    m_time = static_cast<std::int64_t>(std::mktime(&local));
    last = LastAnswer{true, now, day, hour, minute, m_time};
}

} // namespace weather
} // namespace aviation
