// The flight script the bridge peer plays: its lines, its faults, and the order the peer answers with them.
#include "simlink/linkmessage.h"
#include "tools/bridge-peer/flightscript.h"
#include "tools/bridge-peer/peersimulator.h"

#include <gtest/gtest.h>

using aviation::structs::CAircraft;

TEST(FlightScript, SamplesWithFlagsAndBadLinesNamedByNumber)
{
    std::vector<CAircraft> samples;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Parse("# lat lon alt height tas gs hdg vs flags\n\n"
                                            "50.04940  8.57260  364  0  0  0  340  0  GPED  # gate\n"
                                            "48.36900  11.82500  1517  30  140  135  263.5  -180  L\n",
                                            samples, error));
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_TRUE(samples[0].onGround && samples[0].parkingBrake && samples[0].enginesOff && samples[0].doorOpen);
    EXPECT_FALSE(samples[0].landingLights);
    EXPECT_EQ(samples[1].verticalSpeed, -180);
    EXPECT_DOUBLE_EQ(samples[1].heading.direction, 263.5);
    EXPECT_TRUE(samples[1].landingLights && !samples[1].onGround);

    const std::pair<const char*, const char*> bad[] = {{"50.0 8.5 364 0 0 0 340 0\n", "line 1: 8 columns instead of 9"},
                                                       {"\n50.0 8.5 364 0 0 0 340 0 GX\n", "line 2: flags \"GX\""},
                                                       {"95.0 8.5 364 0 0 0 340 0 G\n", "line 1: latitude \"95.0\""},
                                                       {"50.0 8.5 high 0 0 0 340 0 G\n", "line 1: number \"high\""},
                                                       {"# nothing but a comment\n", "no samples"}};
    for (const auto& [text, fault] : bad) {
        EXPECT_FALSE(tools::CFlightScript::Parse(text, samples, error)) << text;
        EXPECT_EQ(error, fault);
    }
}

TEST(FlightScript, PeerAnswersOneSamplePerReadAndRepeatsTheLast)
{
    std::vector<CAircraft> samples;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Parse("50.04940 8.57260 364 0 0 0 340 0 GPED\n"
                                            "50.04900 8.57300 364 0 8 8 160 0 G\n",
                                            samples, error));
    tools::CPeerSimulator simulator;
    simulator.PlayFlight(samples);
    const int expectedSpeeds[] = {0, 8, 8, 8};
    for (const int speed : expectedSpeeds) {
        const CLinkMessage answer(simulator.Answer(CLinkMessage::Read(LinkSubCode::ReadAircraft)) + "\n");
        const CAircraft read = answer.ToAircraft();
        EXPECT_EQ(read.groundSpeed, speed);
        // The simulator's wind stays with the played samples.
        EXPECT_DOUBLE_EQ(read.ambientWind.direction, 270.0);
    }
}
