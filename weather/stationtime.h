// Observation time of a report as seconds since 1970 UTC; reports that give only "281200Z" (day, hour,
// minute) are dated in the current or the previous month of the computer's local time.
#pragma once

#include <cstdint>
#include <string>

namespace aviation {
namespace weather {

class StationTime
{
public:
    StationTime(); // the current time
    StationTime(const StationTime& other) = default;
    StationTime& operator=(const StationTime& other) = default;
    virtual ~StationTime() = default;

    // The stored time as local time, printed with wcsftime conventions; at most 19 characters
    // (a longer result gives "").
    virtual std::wstring GetTimeText(const std::wstring& format) const;

    void SetTime(std::int64_t secondsSince1970) { m_time = secondsSince1970; }
    std::int64_t GetTime() const { return m_time; }
    // Day of month, hour and minute read as local time; a day later than today means the previous month.
    void SetTime(int day, int hour, int minute);

private:
    std::int64_t m_time;
};

} // namespace weather
} // namespace aviation
