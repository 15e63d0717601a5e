#include "weather/station.h"

#include "platform/clock.h"
#include "tests/support/calendar.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

using aviation::Position;
using aviation::weather::CStation;
using aviation::weather::StationTime;
using testsupport::LocalFields;
using testsupport::UtcSeconds;

namespace {

void ExpectLocal(std::int64_t seconds, int year, int month, int day, int hour, int minute)
{
    const std::tm fields = LocalFields(seconds);
    EXPECT_EQ(fields.tm_year + 1900, year);
    EXPECT_EQ(fields.tm_mon + 1, month);
    EXPECT_EQ(fields.tm_mday, day);
    EXPECT_EQ(fields.tm_hour, hour);
    EXPECT_EQ(fields.tm_min, minute);
}

CStation Innsbruck()
{
    CStation station;
    station.SetICAO(L"LOWI");
    station.SetName(L"Innsbruck");
    station.SetCountry(L"Austria");
    station.SetPosition(Position(47.26, 11.34));
    station.SetElevation(1906);
    station.SetFSXStation(true);
    station.SetActive(true);
    return station;
}

} // namespace

TEST(Station, NewStationHasDefaultsAndTheCurrentTime)
{
    platform::ScopedClock clock(UtcSeconds(2026, 12, 7, 8, 30));
    const CStation station;
    EXPECT_STREQ(station.GetICAO(), L"");
    EXPECT_EQ(station.GetCountry(), L"unknow");
    EXPECT_EQ(station.GetName(), L"unknow");
    EXPECT_TRUE(station.GetPosition() == Position(0, 0));
    EXPECT_EQ(station.GetElevation(), 0);
    EXPECT_FALSE(station.IsFS9Station() || station.IsFSXStation() || station.IsP3DStation() || station.IsXPlaneStation()
                 || station.IsGenerated() || station.IsActive());
    EXPECT_EQ(station.GetTime(), UtcSeconds(2026, 12, 7, 8, 30));
}

TEST(Station, AssignmentKeepsTheObservationTimeCopyingTakesIt)
{
    CStation database = Innsbruck();
    database.SetTime(1000);
    CStation report;
    report.SetICAO(L"LOWI");
    report.SetTime(2000);

    report = database;
    EXPECT_EQ(report.GetTime(), 2000);
    EXPECT_EQ(report.GetName(), L"Innsbruck");
    EXPECT_EQ(report.GetElevation(), 1906);
    EXPECT_TRUE(report.IsFSXStation());
    EXPECT_TRUE(report.IsSameICAO(database));

    CStation other;
    other.SetTime(3000);
    other.SetStation(database);
    EXPECT_EQ(other.GetTime(), 3000);
    EXPECT_TRUE(other.GetPosition() == Position(47.26, 11.34));

    const CStation copy(database);
    EXPECT_EQ(copy.GetTime(), 1000);
    EXPECT_STREQ(copy.GetICAO(), L"LOWI");
}

TEST(Station, HasSimStationFollowsTheFlagOfEachKind)
{
    CStation station;
    EXPECT_TRUE(station.HasSimStation(0));
    for (int kind = 1; kind <= 10; ++kind)
        EXPECT_FALSE(station.HasSimStation(kind)) << kind;

    station.SetFS9Station(true);
    EXPECT_TRUE(station.HasSimStation(1));
    EXPECT_TRUE(station.HasSimStation(2));
    station.SetFSXStation(true);
    EXPECT_TRUE(station.HasSimStation(3));
    station.SetP3DStation(true);
    EXPECT_TRUE(station.HasSimStation(4));
    station.SetXPlaneStation(true);
    EXPECT_TRUE(station.HasSimStation(5));
    EXPECT_FALSE(station.HasSimStation(9));
    EXPECT_FALSE(station.HasSimStation(10));
    station.SetGenerated(true);
    EXPECT_TRUE(station.HasSimStation(6));
    EXPECT_FALSE(station.HasSimStation(-1));
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

TEST(LocalTimeStationTime, DayLaterThanTodayIsLastMonth)
{
    platform::ScopedClock clock(UtcSeconds(2026, 3, 3, 10, 0));
    StationTime time;
    time.SetTime(28, 12, 0);
    ExpectLocal(time.GetTime(), 2026, 2, 28, 12, 0);

    time.SetTime(3, 9, 30);
    ExpectLocal(time.GetTime(), 2026, 3, 3, 9, 30);
    time.SetTime(1, 23, 50);
    ExpectLocal(time.GetTime(), 2026, 3, 1, 23, 50);
}

TEST(LocalTimeStationTime, DayLaterThanTodayInJanuaryIsDecemberOfLastYear)
{
    platform::ScopedClock clock(UtcSeconds(2027, 1, 3, 10, 0));
    StationTime time;
    time.SetTime(28, 12, 0);
    ExpectLocal(time.GetTime(), 2026, 12, 28, 12, 0);
    EXPECT_EQ(time.GetTimeText(L"%d.%m.%y %H:%M"), L"28.12.26 12:00");
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
    time.SetTime(28, 12, 0);
    ExpectLocal(time.GetTime(), 2026, 1, 28, 12, 0);
    time.SetTime(28, 12, 0);
    ExpectLocal(time.GetTime(), 2026, 1, 28, 12, 0);
    time.SetTime(28, 12, 5);
    ExpectLocal(time.GetTime(), 2026, 1, 28, 12, 5);

    // Later in the month the same day and time belong to the current month.
    clock.SetNow(UtcSeconds(2026, 2, 28, 10, 0));
    time.SetTime(28, 12, 5);
    ExpectLocal(time.GetTime(), 2026, 2, 28, 12, 5);

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
