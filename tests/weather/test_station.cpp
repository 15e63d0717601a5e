#include "weather/station.h"

#include "platform/clock.h"
#include "tests/support/calendar.h"

#include <gtest/gtest.h>

#include <array>
#include <ctime>
#include <set>
#include <thread>
#include <utility>

using aviation::Position;
using aviation::weather::CStation;
using aviation::weather::StationTime;
using testsupport::LocalFields;
using testsupport::UtcSeconds;

namespace {

using Fields = std::array<int, 5>;

Fields Local(std::int64_t seconds)
{
    const std::tm f = LocalFields(seconds);
    return {f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min};
}

} // namespace

TEST(Station, NewStationIsUnknownAtTheCurrentTimeAndAssignmentKeepsTheObservationTime)
{
    platform::ScopedClock clock(UtcSeconds(2026, 12, 7, 8, 30));
    const CStation fresh;
    EXPECT_EQ(fresh.GetName(), L"unknow");
    EXPECT_EQ(fresh.GetCountry(), L"unknow");
    EXPECT_EQ(fresh.GetTime(), UtcSeconds(2026, 12, 7, 8, 30));

    CStation database;
    database.SetICAO(L"LOWI");
    database.SetName(L"Innsbruck");
    database.SetPosition(Position(47.26, 11.34));
    database.SetElevation(1906);
    database.SetFSXStation(true);
    database.SetTime(1000);

    CStation report;
    report.SetTime(2000);
    report = database;
    EXPECT_EQ(report.GetTime(), 2000);
    EXPECT_EQ(report.GetName(), L"Innsbruck");
    EXPECT_EQ(report.GetElevation(), 1906);
    EXPECT_TRUE(report.IsFSXStation());
    EXPECT_TRUE(report.IsSameICAO(database));
    report.SetTime(3000);
    report.SetStation(database);
    EXPECT_EQ(report.GetTime(), 3000);

    EXPECT_EQ(CStation(database).GetTime(), 1000) << "a copy takes the observation time";
}

TEST(Station, HasSimStationFollowsTheFlagOfEachKind)
{
    // Kind 0 is any simulator; 1 and 2 both mean FS9.
    const std::pair<void (CStation::*)(bool), std::set<int>> flags[] = {
        {nullptr, {0}},
        {&CStation::SetFS9Station, {0, 1, 2}},
        {&CStation::SetFSXStation, {0, 3}},
        {&CStation::SetP3DStation, {0, 4}},
        {&CStation::SetXPlaneStation, {0, 5}},
        {&CStation::SetGenerated, {0, 6}},
    };
    for (const auto& flag : flags) {
        CStation station;
        if (flag.first)
            (station.*flag.first)(true);
        for (int kind = -1; kind <= 10; ++kind)
            EXPECT_EQ(station.HasSimStation(kind), flag.second.count(kind) == 1) << "kind " << kind;
    }
}

TEST(Station, DistanceInMilesOrKilometresAndNoneWithoutPosition)
{
    CStation station;
    const Position aircraft(47.0, 11.0);
    EXPECT_EQ(station.GetDistance(aircraft, false), 99999.0);
    EXPECT_EQ(station.GetDistance(aircraft, true), 99999.0);

    station.SetPosition(Position(48.0, 11.0));
    EXPECT_NEAR(station.GetDistance(aircraft, false), 60.108, 0.001);
    EXPECT_NEAR(station.GetDistance(aircraft, true), 60.108 * 1.852, 0.002);
}

TEST(LocalTimeStationTime, DayLaterThanTodayIsLastMonthAcrossAYearToo)
{
    const struct
    {
        std::int64_t now;
        int day, hour, minute;
        Fields expected;
    } cases[] = {{UtcSeconds(2026, 3, 3, 10, 0), 28, 12, 0, {2026, 2, 28, 12, 0}},
                 {UtcSeconds(2026, 3, 3, 10, 0), 3, 9, 30, {2026, 3, 3, 9, 30}},
                 {UtcSeconds(2026, 3, 3, 10, 0), 1, 23, 50, {2026, 3, 1, 23, 50}},
                 {UtcSeconds(2027, 1, 3, 10, 0), 28, 12, 0, {2026, 12, 28, 12, 0}}};
    for (const auto& c : cases) {
        platform::ScopedClock clock(c.now);
        StationTime time;
        time.SetTime(c.day, c.hour, c.minute);
        EXPECT_EQ(Local(time.GetTime()), c.expected) << "day " << c.day << " at " << c.now;
    }
}

TEST(LocalTimeStationTime, TimeTextIsLocalAndBounded)
{
    platform::ScopedClock clock(UtcSeconds(2026, 7, 15, 6, 0));
    StationTime time;
    time.SetTime(15, 14, 20);
    EXPECT_EQ(time.GetTimeText(L"%Y-%m-%d %H:%M:%S"), L"2026-07-15 14:20:00");
    EXPECT_EQ(time.GetTimeText(L"%Y-%m-%d %H:%M:%S and more"), L"");
}

TEST(LocalTimeStationTime, KeptAnswerFollowsTheClockAndTheFields)
{
    platform::ScopedClock clock(UtcSeconds(2026, 2, 3, 10, 0));
    StationTime time;
    for (int minute : {0, 0, 5}) {
        time.SetTime(28, 12, minute);
        EXPECT_EQ(Local(time.GetTime()), (Fields{2026, 1, 28, 12, minute}));
    }

    // Later in the month the same day and time belong to the current month.
    clock.SetNow(UtcSeconds(2026, 2, 28, 10, 0));
    time.SetTime(28, 12, 5);
    EXPECT_EQ(Local(time.GetTime()), (Fields{2026, 2, 28, 12, 5}));

    // Another thread keeps its own answer and computes the same.
    StationTime other;
    std::thread([&other] { other.SetTime(28, 12, 5); }).join();
    EXPECT_EQ(other.GetTime(), time.GetTime());
}

TEST(LocalTimeStationTime, FirstAnswerOfAThreadIsComputedForAnyClock)
{
    // One second before 1970; day 0 is the last day of the month before.
    platform::ScopedClock clock(-1);
    StationTime time;
    std::thread([&time] { time.SetTime(0, 0, 0); }).join();
    const std::tm fields = LocalFields(time.GetTime());
    EXPECT_EQ(fields.tm_hour, 0);
    EXPECT_EQ(fields.tm_min, 0);
    EXPECT_EQ(LocalFields(time.GetTime() + 86400).tm_mday, 1);
    EXPECT_LT(time.GetTime(), -86400);
}
