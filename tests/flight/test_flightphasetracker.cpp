// The flight-phase tracker over real-looking samples: the committed Frankfurt-Munich script the bridge peer plays,
// and single samples at the edges of the thresholds. The clock is fixed; every test sets its own times.
#include "flight/flightphasetracker.h"
#include "platform/clock.h"
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

std::vector<CAircraft> FrankfurtMunich()
{
    std::vector<CAircraft> samples;
    QString error;
    EXPECT_TRUE(
        tools::CFlightScript::Load(QStringLiteral(AEROVANE_BRIDGEPEER_FLIGHTS "/eddf-eddm.txt"), samples, error))
        << error.toStdString();
    return samples;
}

CAircraft OnGround(int groundSpeed, bool doorOpen = false)
{
    CAircraft sample;
    sample.SetLatitude(50.0494);
    sample.SetLongitude(8.5726);
    sample.altitude = 364;
    sample.groundSpeed = groundSpeed;
    sample.tas = groundSpeed;
    sample.onGround = true;
    sample.doorOpen = doorOpen;
    return sample;
}

CAircraft Airborne(int height, int groundSpeed, int verticalSpeed)
{
    CAircraft sample;
    sample.SetLatitude(50.0350);
    sample.SetLongitude(8.5400);
    sample.height = height;
    sample.altitude = 364 + height;
    sample.groundSpeed = groundSpeed;
    sample.tas = groundSpeed;
    sample.verticalSpeed = verticalSpeed;
    return sample;
}

class FlightPhaseTrackerTest : public ::testing::Test
{
protected:
    // One sample, 31 s after the previous one.
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

TEST_F(FlightPhaseTrackerTest, ScriptedFlightRunsEveryPhaseAndRecordsTimesRateAndTrack)
{
    const std::vector<CAircraft> script = FrankfurtMunich();
    ASSERT_EQ(script.size(), 23u);
    std::vector<int> phases{tracker.GetFlightData().GetPhase()};
    for (const CAircraft& sample : script) {
        const int phase = Feed(sample);
        if (phase != phases.back())
            phases.push_back(phase);
    }
    EXPECT_EQ(phases, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 0}));

    // Sample n (from 1) arrives at kMorning + 31 n: off block at the pushback (3), airborne at 6, on the
    // runway at 18, on block at 22.
    const CFlightData flight = tracker.GetFlightData();
    EXPECT_EQ(flight.GetOffBlockTime(), Utc(kMorning + 3 * 31));
    EXPECT_EQ(flight.GetTakeOffTime(), Utc(kMorning + 6 * 31));
    EXPECT_EQ(flight.GetLandingTime(), Utc(kMorning + 18 * 31));
    EXPECT_EQ(flight.GetOnBlockTime(), Utc(kMorning + 22 * 31));
    EXPECT_EQ(flight.GetTakeOffTime().timeSpec(), Qt::UTC);
    EXPECT_EQ(flight.GetFlightTime(), QTime(0, 6, 12));
    // The flare's sink rate, not the zero of the sample on the ground.
    EXPECT_EQ(flight.GetTouchdownRate(), -180);
    EXPECT_EQ(flight.GetMaxAltitude(), 32000);
    EXPECT_EQ(flight.GetMaxTas(), 450);
    EXPECT_EQ(flight.GetMaxGroundSpeed(), 470);
    EXPECT_EQ(flight.GetPhaseName(), "none");
    EXPECT_FALSE(flight.IsEngineRunning());
    EXPECT_TRUE(flight.IsParkingBrake());
    ASSERT_EQ(flight.GetTrack().size(), script.size());
    EXPECT_DOUBLE_EQ(flight.GetTrack().back().GetLatitude(), 48.352);
}

TEST_F(FlightPhaseTrackerTest, ThresholdsAreStrictAndBoardingIsSkippedWhenTheAircraftRollsAway)
{
    // A sample from phase 0, then one from phase 2 (taxi); the phase after it.
    const struct
    {
        const char* name;
        CAircraft fromNone;
        CAircraft fromTaxi;
        int phase;
    } cases[] = {
        {"1 kt is no taxi", OnGround(1), Airborne(0, 0, 0), 0},
        {"door open at a stand still is boarding", OnGround(0, true), Airborne(0, 0, 0), 1},
        {"2 kt with the door closed taxies at once", OnGround(2), OnGround(15), 2},
        {"20 kt airborne is no take-off", OnGround(2), Airborne(0, 20, 500), 2},
        {"21 kt airborne is the take-off", OnGround(2), Airborne(0, 21, 500), 3},
        {"500 ft is no take-off", OnGround(2), Airborne(500, 0, 0), 2},
        {"501 ft is the take-off", OnGround(2), Airborne(501, 0, 0), 3},
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
    Feed(OnGround(10));
    Feed(Airborne(1200, 160, 1500));
    ASSERT_EQ(Feed(Airborne(1500, 180, 1500)), PhaseClimb);
    Feed(OnGround(120));
    ASSERT_FALSE(tracker.GetFlightData().GetLandingTime().isNull());
    // Rolled out, parked, and off again.
    for (const CAircraft& sample : {OnGround(10), OnGround(0), OnGround(0), OnGround(10)})
        Feed(sample);
    ASSERT_EQ(Feed(Airborne(600, 150, 1500)), PhaseTakeOff);
    EXPECT_TRUE(tracker.GetFlightData().GetLandingTime().isNull());
}

TEST_F(FlightPhaseTrackerTest, TrackTakesTheFirstSampleAtOnceThenOneEveryMoreThan30SecondsButNeverAnEmptyPosition)
{
    CAircraft nowhere; // 0/0 at height 0: no aircraft loaded yet
    CAircraft overTheOcean = Airborne(100, 120, 0);
    overTheOcean.SetLatitude(0.0);
    overTheOcean.SetLongitude(0.0);

    // Seconds since the previous sample (the first at kMorning), the sample, the track's size after it.
    const struct
    {
        int seconds;
        CAircraft sample;
        std::size_t trackSize;
    } steps[] = {{0, OnGround(0), 1}, {30, OnGround(5), 1},  {1, OnGround(6), 2},
                 {31, nowhere, 2},    {31, overTheOcean, 3}, {10, OnGround(7), 3}};
    for (const auto& step : steps) {
        clock.AdvanceMs(step.seconds * 1000);
        tracker.Update(step.sample);
        EXPECT_EQ(tracker.GetFlightData().GetTrack().size(), step.trackSize) << step.seconds;
    }
}

TEST_F(FlightPhaseTrackerTest, ResetStartsAnEmptyFlightForTheSameAircraft)
{
    aviation::structs::CAircraftDetail detail;
    detail.name = L"Boeing 737-800 Aerovane Air";
    detail.Registration = L"D-AVNE";
    tracker.SetAircraftDetail(detail);
    for (const CAircraft& sample : FrankfurtMunich())
        Feed(sample);
    tracker.Reset();

    const CFlightData flight = tracker.GetFlightData();
    EXPECT_EQ(flight.GetAircraft(), "Boeing 737-800 Aerovane Air");
    EXPECT_EQ(flight.GetRegistration(), "D-AVNE");
    EXPECT_TRUE(flight.GetTrack().empty());
    EXPECT_TRUE(flight.GetOffBlockTime().isNull());
    EXPECT_TRUE(flight.GetLandingTime().isNull());
    EXPECT_EQ(flight.GetMaxAltitude(), 0);
    EXPECT_EQ(flight.GetPhase(), 0);
    EXPECT_EQ(tracker.GetAircraft().groundSpeed, 0);
    // The track clock runs on: a sample right after the reset waits for its 30 s.
    tracker.Update(OnGround(0));
    EXPECT_TRUE(tracker.GetFlightData().GetTrack().empty());
}

TEST_F(FlightPhaseTrackerTest, FlightTimeCountsFromTakeOffToLandingOrNowAndWrapsAtADay)
{
    CFlightData flight;
    EXPECT_EQ(flight.GetFlightTime(), QTime(0, 0, 0));
    flight.SetTakeOffTime(Utc(kMorning - 5400));
    EXPECT_EQ(flight.GetFlightTime(), QTime(1, 30, 0));
    flight.SetLandingTime(Utc(kMorning - 5400 + 25 * 3600));
    EXPECT_EQ(flight.GetFlightTime(), QTime(1, 0, 0));
}

TEST(FlightPhaseNames, EveryCodeHasItsTextAndEightIsTheApproach)
{
    const QStringList names = {"none",     "Boarding", "Taxi",    "Take-Off",     "Climb",   "Cruise", "Descent",
                               "Approach", "Approach", "Landing", "Taxi To Gate", "Parking", "unknown"};
    for (int phase = 0; phase < names.size(); ++phase)
        EXPECT_EQ(FlightPhaseName(phase), names[phase]) << phase;
    EXPECT_EQ(FlightPhaseName(-1), "unknown");
}
