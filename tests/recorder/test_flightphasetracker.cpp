// The flight-phase tracker over the committed Frankfurt-Munich script and samples at the thresholds' edges.
#include "platform/clock.h"
#include "recorder/flightphasetracker.h"
#include "tools/bridge-peer/flightscript.h"

#include <gtest/gtest.h>

#include <vector>

using aviation::structs::CAircraft;

namespace {

// 2026-12-07 10:00:00 UTC.
constexpr qint64 kMorning = 1796637600;

QDateTime Utc(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

// Near the Frankfurt gates; heights in ft above its 364 ft.
CAircraft Sample(int height, int groundSpeed, int verticalSpeed = 0, bool doorOpen = false)
{
    CAircraft sample;
    sample.SetLatitude(50.0494);
    sample.SetLongitude(8.5726);
    sample.height = height;
    sample.altitude = 364 + height;
    sample.groundSpeed = sample.tas = groundSpeed;
    sample.verticalSpeed = verticalSpeed;
    sample.onGround = height == 0;
    sample.doorOpen = doorOpen;
    return sample;
}

class FlightPhaseTrackerTest : public ::testing::Test
{
protected:
    // One sample, 31 s after the previous one; the phase after it.
    int Feed(const CAircraft& sample)
    {
        clock.AdvanceMs(31000);
        tracker.Update(sample);
        return tracker.GetFlightData().GetPhase();
    }

    platform::ScopedClock clock{kMorning};
    FlightPhaseTracker tracker;
};

} // namespace

TEST_F(FlightPhaseTrackerTest, ScriptedFlightRunsEveryPhaseAndRecordsTimesRateAndTrackAndResetKeepsTheAircraft)
{
    aviation::structs::CAircraftDetail detail;
    detail.name = L"Boeing 737-800 Aerovane Air";
    detail.Registration = L"D-AVNE";
    tracker.SetAircraftDetail(detail);
    std::vector<CAircraft> script;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Load(AEROVANE_BRIDGEPEER_FLIGHTS "/eddf-eddm.txt", script, error));
    std::vector<int> phases{0};
    for (const CAircraft& sample : script) {
        if (Feed(sample) != phases.back())
            phases.push_back(tracker.GetFlightData().GetPhase());
    }
    EXPECT_EQ(phases, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 0}));

    // Sample n (from 1) arrives at kMorning + 31 n: pushback 3, lift-off 6, on the runway 18, on block 22.
    const CFlightData flight = tracker.GetFlightData();
    EXPECT_EQ(flight.GetOffBlockTime(), Utc(kMorning + 3 * 31));
    EXPECT_EQ(flight.GetTakeOffTime(), Utc(kMorning + 6 * 31));
    EXPECT_EQ(flight.GetLandingTime(), Utc(kMorning + 18 * 31));
    EXPECT_EQ(flight.GetOnBlockTime(), Utc(kMorning + 22 * 31));
    EXPECT_EQ(flight.GetFlightTime(), QTime(0, 6, 12));
    // The flare's sink rate, not the zero of the sample on the ground.
    EXPECT_EQ(flight.GetTouchdownRate(), -180);
    EXPECT_EQ(flight.GetMaxAltitude(), 32000);
    EXPECT_EQ(flight.GetTrack().size(), script.size());

    tracker.Reset();
    tracker.Update(Sample(0, 0));
    const CFlightData next = tracker.GetFlightData();
    EXPECT_EQ(next.GetAircraft() + " " + next.GetRegistration(), "Boeing 737-800 Aerovane Air D-AVNE");
    EXPECT_TRUE(next.GetOffBlockTime().isNull() && next.GetTakeOffTime().isNull());
    EXPECT_EQ(next.GetMaxAltitude(), 364);
    EXPECT_EQ(next.GetPhase(), PhaseNone);
    // The sample right after the reset waits for its 30 s.
    EXPECT_TRUE(next.GetTrack().empty());
}

TEST_F(FlightPhaseTrackerTest, SecondFlightKeepsTheParkedTrackButLeavesFromWhereItRolledAndEndsWhereItStopped)
{
    std::vector<CAircraft> script;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Load(AEROVANE_BRIDGEPEER_FLIGHTS "/eddf-eddm.txt", script, error));
    // Samples 2 s apart: the first flight, 30 s parked at the Munich stand, then the aircraft moved back to the
    // Frankfurt gate and flown again. Each flight stops at the gate within 30 s of its last timed track point.
    std::vector<CAircraft> session = script;
    session.insert(session.end(), 14, script.back());
    session.insert(session.end(), script.begin(), script.end());
    std::vector<CFlightData> flights;
    for (const CAircraft& sample : session) {
        clock.AdvanceMs(2000);
        tracker.Update(sample);
        // As the report at the gate does.
        if (tracker.GetFlightData().GetPhase() == PhaseParking) {
            flights.push_back(tracker.GetFlightData());
            tracker.Reset();
        }
    }
    ASSERT_EQ(flights.size(), 2u);
    const CAircraft& pushback = script[2];
    const CAircraft& onBlock = script[script.size() - 2];
    for (const CFlightData& flight : flights) {
        EXPECT_TRUE(flight.GetOffBlockPosition() == pushback);
        EXPECT_TRUE(flight.GetOnBlockPosition() == onBlock);
        ASSERT_FALSE(flight.GetTrack().empty());
        EXPECT_TRUE(flight.GetTrack().back() == onBlock);
    }
    EXPECT_TRUE(flights[1].GetTrack().front() == script.back());
}

TEST_F(FlightPhaseTrackerTest, ThresholdsAreStrictAndBoardingIsSkippedWhenTheAircraftRollsAway)
{
    // A sample from phase 0, then, when that started the taxi, one from phase 2; the phase after them.
    const struct
    {
        const char* name;
        CAircraft fromNone;
        CAircraft fromTaxi;
        int phase;
    } cases[] = {
        {"1 kt is no taxi", Sample(0, 1), {}, 0},
        {"door open at a stand still is boarding", Sample(0, 0, 0, true), {}, 1},
        {"2 kt with the door closed taxies at once", Sample(0, 2), Sample(0, 15), 2},
        {"20 kt airborne is no take-off", Sample(0, 2), Sample(1, 20, 500), 2},
        {"21 kt airborne is the take-off", Sample(0, 2), Sample(1, 21, 500), 3},
        {"500 ft is no take-off", Sample(0, 2), Sample(500, 0), 2},
        {"501 ft is the take-off", Sample(0, 2), Sample(501, 0), 3},
    };
    for (const auto& c : cases) {
        FlightPhaseTracker fresh;
        fresh.Update(c.fromNone);
        if (fresh.GetFlightData().GetPhase() == PhaseTaxi) {
            EXPECT_EQ(fresh.GetFlightData().GetOffBlockTime(), Utc(kMorning)) << c.name;
            fresh.Update(c.fromTaxi);
        }
        EXPECT_EQ(fresh.GetFlightData().GetPhase(), c.phase) << c.name;
        EXPECT_EQ(fresh.GetFlightData().GetTakeOffTime().isNull(), c.phase != PhaseTakeOff) << c.name;
    }
}

TEST_F(FlightPhaseTrackerTest, TakeOffClearsTheLandingOfAnEarlierTouchAndGo)
{
    // Taxi, take-off, climb, touchdown, roll-out, parked, off again.
    for (const CAircraft& sample : {Sample(0, 10), Sample(1200, 160, 1500), Sample(1500, 180, 1500), Sample(0, 120),
                                    Sample(0, 10), Sample(0, 0), Sample(0, 0), Sample(0, 10)})
        Feed(sample);
    ASSERT_FALSE(tracker.GetFlightData().GetLandingTime().isNull());
    ASSERT_EQ(Feed(Sample(600, 150, 1500)), PhaseTakeOff);
    EXPECT_TRUE(tracker.GetFlightData().GetLandingTime().isNull());
}

TEST_F(FlightPhaseTrackerTest, TrackTakesTheFirstAndTheOffBlockSampleAtOnceThenOneEveryMoreThan30SecondsButNoEmpty)
{
    CAircraft overTheOcean = Sample(100, 120);
    overTheOcean.SetLatitude(0.0);
    overTheOcean.SetLongitude(0.0);
    // Seconds since the previous sample, the sample, the track's size after it.
    const struct
    {
        int seconds;
        CAircraft sample;
        std::size_t trackSize;
    } steps[] = {{0, Sample(0, 0), 1}, {30, Sample(0, 5), 2}, {1, Sample(0, 6), 3},
                 {31, CAircraft(), 3}, {31, overTheOcean, 4}, {10, Sample(0, 7), 4}};
    for (const auto& step : steps) {
        clock.AdvanceMs(step.seconds * 1000);
        tracker.Update(step.sample);
        EXPECT_EQ(tracker.GetFlightData().GetTrack().size(), step.trackSize) << step.seconds;
    }
}

TEST(FlightTime, CountsFromTakeOffToLandingOrNowAndWrapsAtADay)
{
    platform::ScopedClock clock(kMorning);
    CFlightData flight;
    EXPECT_EQ(flight.GetFlightTime(), QTime(0, 0, 0));
    flight.SetTakeOffTime(Utc(kMorning - 5400));
    EXPECT_EQ(flight.GetFlightTime(), QTime(1, 30, 0));
    flight.SetLandingTime(Utc(kMorning - 5400 + 25 * 3600));
    EXPECT_EQ(flight.GetFlightTime(), QTime(1, 0, 0));
}
