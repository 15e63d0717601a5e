// The FSUIPC link over the simulated FSUIPC: version detection, the unit conversions of an aircraft sample,
// identity texts, fuel, payload, messages, the wind at the aircraft and weather records.
#include "simlinktestsupport.h"

#include "simlink/fsuipcclient.h"
#include "simlink/fsuipclink.h"

#include <atomic>
#include <cstring>
#include <thread>

using namespace aviation::IPC;
using namespace aviation::structs;

namespace {

class FSUIPCLink : public FSUIPCTest
{
protected:
    void SetUp() override { ASSERT_TRUE(link.Open()); }

    CFSUIPCLink link;
};

CAircraftPayloadStation Station(const wchar_t* name, float weight, float maxWeight)
{
    return CAircraftPayloadStation(name, weight, maxWeight, 1);
}

} // namespace

TEST_F(FSUIPCTest, SimulatorNumbersGiveTheirNamesAndFamilies)
{
    const std::tuple<std::uint32_t, const wchar_t*, int> cases[] = {
        {1, L"FS98", 1},   {2, L"FS2000", 1}, {3, L"CFS2", 1}, {4, L"CFS1", 1}, {5, L"Fly!", 1},
        {6, L"FS2002", 1}, {7, L"FS2004", 2}, {8, L"FSX", 3},  {9, L"ESP", 3},  {10, L"P3D", 4},
    };
    for (const auto& [number, name, family] : cases) {
        SCOPED_TRACE(number);
        simulator.SetVersionWords(0x49590000, 0xFADE0000 | number);
        CFSUIPCLink link;
        ASSERT_TRUE(link.Open());
        std::wstring detectedName, version;
        EXPECT_EQ(link.DetectVersions(detectedName, version), 0u);
        EXPECT_EQ(detectedName, name);
        EXPECT_EQ(version, L"FSUIPC-Ver: 4.959");
        EXPECT_EQ(link.GetSimulatorFamily(), family);
        link.Close();
    }

    simulator.SetVersionWords(0x39990000, 0xFADE000B);
    CFSUIPCLink link;
    std::wstring name = L"FSX", version = L"FSUIPC-Ver: 4.959";
    ASSERT_TRUE(link.Open());
    link.DetectVersions(name, version);
    EXPECT_EQ(name, L"unkown");
    EXPECT_EQ(link.GetSimulatorFamily(), 0);
    link.Close();

    CFSUIPCSimulator none;
    CScopedFSUIPCTransport noSimulator(none);
    CFSUIPCLink closed;
    EXPECT_FALSE(closed.Open());
    CAircraft aircraft;
    EXPECT_EQ(closed.ReadAircraft(aircraft), FSUIPCResult::NotOpen);
}

TEST(FSUIPCLinkTexts, ResultCodesHaveTheirTextsAndLargerCodesTheLast)
{
    EXPECT_EQ(CFSUIPCLink::GetResultText(0), L"Okay");
    EXPECT_EQ(CFSUIPCLink::GetResultText(11), L"IPC timed out all retries");
    EXPECT_EQ(CFSUIPCLink::GetResultText(15), L"Read or Write request cannot be added, memory for Process is full");
    EXPECT_EQ(CFSUIPCLink::GetResultText(16), L"Wert nicht im Bereich");
    EXPECT_EQ(CFSUIPCLink::GetResultText(20), L"Wert nicht im Bereich");
    EXPECT_EQ(CFSUIPCLink::GetResultText(0xFFFFFFFF), L"Wert nicht im Bereich");
}

TEST_F(FSUIPCLink, RawOffsetValuesConvertToTheSampleUnitsTruncated)
{
    const struct
    {
        std::uint32_t offset;
        std::size_t size;
        std::int64_t raw;
        int CAircraft::*field;
        int expected;
    } cases[] = {
        {0x02B8, 4, 32000, &CAircraft::tas, 250},
        {0x02B8, 4, 32127, &CAircraft::tas, 250},
        {0x02B4, 4, 8432000, &CAircraft::groundSpeed, 250},
        {0x02B4, 4, 8400000, &CAircraft::groundSpeed, 249},
        {0x31E4, 4, 65536, &CAircraft::height, 3},
        {0x31E4, 4, -65536, &CAircraft::height, -3},
        {0x0570, 8, 1000LL << 32, &CAircraft::altitude, 3280},
        {0x0570, 8, 0x7FFFFFFFFFFFFFFFLL, &CAircraft::altitude, 2147483647},
        {0x02C8, 4, 1280, &CAircraft::verticalSpeed, 984},
        {0x02C8, 4, -1280, &CAircraft::verticalSpeed, -984},
        {0x02C8, 4, 0x7FFFFFFF, &CAircraft::verticalSpeed, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.offset << " raw " << std::dec << c.raw);
        simulator.PokeInt(c.offset, c.raw, c.size);
        CAircraft aircraft;
        ASSERT_EQ(link.ReadAircraft(aircraft), 0u);
        EXPECT_EQ(aircraft.*c.field, c.expected);
    }
}

TEST_F(FSUIPCLink, PositionHeadingVariationAndFlagsFromRawValues)
{
    simulator.PokeInt(0x0560, 5000875LL << 32, 8); // 45 degrees north
    simulator.PokeInt(0x0568, -4611686018427387904LL, 8); // -2^62: 90 degrees west
    simulator.PokeInt(0x0580, 0xC0000000, 4);
    simulator.PokeInt(0x02A0, -364, 2);
    const std::pair<std::uint32_t, std::size_t> flags[]
        = {{0x0366, 2}, {0x0BC8, 2}, {0x0894, 2}, {0x028C, 2}, {0x3367, 1}};
    const std::int64_t set[] = {1, 32767, 0, 1, 2};
    for (std::size_t i = 0; i < 5; ++i)
        simulator.PokeInt(flags[i].first, set[i], flags[i].second);
    CAircraft aircraft;
    ASSERT_EQ(link.ReadAircraft(aircraft), 0u);
    EXPECT_DOUBLE_EQ(aircraft.GetLatitude(), 45.0);
    EXPECT_DOUBLE_EQ(aircraft.GetLongitude(), -90.0);
    EXPECT_DOUBLE_EQ(aircraft.heading.direction, 270.0);
    EXPECT_NEAR(aircraft.magVar, -2.0, 0.001);
    EXPECT_TRUE(aircraft.onGround && aircraft.parkingBrake && aircraft.enginesOff && aircraft.landingLights
                && aircraft.doorOpen);
}

TEST(FSUIPCLinkVisibility, WholeKilometresFromMetresOnFSXAndStatuteMilesOnFS2004)
{
    for (const auto& [kind, kilometres] :
         {std::make_pair(CFSUIPCSimulator::Kind::FSX, 9.0f), std::make_pair(CFSUIPCSimulator::Kind::FS2004, 16.0f)}) {
        CFSUIPCSimulator simulator(kind);
        CScopedFSUIPCTransport transport(simulator);
        platform::ScopedClock clock(1665000000);
        simulator.PokeDouble(0x2DF0, 9999.9);
        simulator.PokeInt(0x0E8A, 1000, 2);
        CFSUIPCLink link;
        ASSERT_TRUE(link.Open());
        CAircraft aircraft;
        ASSERT_EQ(link.ReadAircraft(aircraft), 0u);
        EXPECT_EQ(aircraft.visibility, kilometres);
    }
}

TEST_F(FSUIPCLink, IdentityTextsEndAtTheirFieldEvenWithoutANul)
{
    const std::string full(256, 'T');
    simulator.Poke(0x3D00, full.data(), full.size());
    simulator.Poke(0x313C, "D-ABCDEFGHIJ", 12);
    simulator.PokeText(0x3148, "Lufthansa", 24);
    simulator.Poke(0x3160, "Boeing 737-800 with wing", 24);
    simulator.PokeInt(0x1330, 91300 * 256 + 128, 4);

    CAircraftDetail detail;
    ASSERT_EQ(link.ReadAircraftDetail(detail), 0u);
    EXPECT_EQ(detail.name, std::wstring(256, L'T'));
    EXPECT_EQ(detail.Registration, L"D-ABCDEFGHIJ");
    EXPECT_EQ(detail.airline, L"Lufthansa");
    EXPECT_EQ(detail.type, L"Boeing 737-800 with wing");
    EXPECT_EQ(detail.EmptyWeight, 91300.5f);
}

TEST_F(FSUIPCLink, TankLevelsReadAndWriteAsFractionsOfAFullTank)
{
    simulator.PokeInt(0x0B7C, 4194304, 4);
    simulator.PokeInt(0x0B80, 26, 4);
    CAircraftFuelTank tank;
    ASSERT_EQ(link.ReadTank(3, tank), 0u);
    EXPECT_EQ(tank.id, 3);
    EXPECT_EQ(tank.level, 50.0);
    EXPECT_EQ(tank.capacity, 26.0);

    // Tank numbers outside 1 to 11 exchange nothing.
    const int exchanges = simulator.GetExchangeCount();
    EXPECT_EQ(link.ReadTank(12, tank), 0u);
    EXPECT_EQ(link.ReadTank(0, tank), 0u);
    EXPECT_EQ(link.WriteTank(12, tank), 0u);
    EXPECT_EQ(simulator.GetExchangeCount(), exchanges);

    ASSERT_EQ(link.WriteTank(7, CAircraftFuelTank(50.0, 26.0, 7, L"")), 0u);
    EXPECT_EQ(simulator.PeekInt(0x0B94, 4), 4194304);
    ASSERT_EQ(link.WriteTank(10, CAircraftFuelTank(100.0, 40.0, 10, L"")), 0u);
    EXPECT_EQ(simulator.PeekInt(0x1254, 4), 8388608);

    simulator.PokeInt(0x0AF4, 1741, 2);
    double weight = 0.0;
    ASSERT_EQ(link.ReadFuelWeight(weight), 0u);
    EXPECT_DOUBLE_EQ(weight, 1741 / 256.0);

    Fault([](CFSUIPCSimulator::Faults& f) { f.failingSends = 9; });
    CAircraftFuelTank failed;
    EXPECT_EQ(link.ReadTank(3, failed), FSUIPCResult::TimedOut);
    EXPECT_EQ(failed.id, 0);
    CAircraft aircraft;
    EXPECT_EQ(link.ReadAircraft(aircraft), 0u) << "the link goes on after a failed exchange";
}

TEST_F(FSUIPCLink, PayloadStationsAreReadOnePerExchangeUpToThePayloadTable)
{
    CAircraftPayload payload;
    payload.AddStation(Station(L"Crew", 150.0f, 400.0f));
    const int exchanges = simulator.GetExchangeCount();
    ASSERT_EQ(link.ReadPayload(payload), 0u);
    EXPECT_EQ(simulator.GetExchangeCount() - exchanges, 1 + 4);
    ASSERT_EQ(payload.count, 5);
    EXPECT_EQ(payload.stations[1].name, L"Pilot");
    EXPECT_EQ(payload.stations[1].weight, 170.0f);
    EXPECT_EQ(payload.stations[4].name, L"Baggage");

    simulator.PokeInt(0x13FC, 0xFFFFFFFF, 4);
    CAircraftPayload garbage;
    ASSERT_EQ(link.ReadPayload(garbage), 0u);
    EXPECT_EQ(garbage.count, 61);
}

TEST_F(FSUIPCLink, PayloadReadStopsAtTheFirstFailedExchange)
{
    Fault([](CFSUIPCSimulator::Faults& f) {
        f.answeredBeforeFailing = 3;
        f.failingSends = -1;
    });
    const std::int64_t start = platform::MonotonicMs();
    CAircraftPayload payload;
    EXPECT_EQ(link.ReadPayload(payload), FSUIPCResult::TimedOut);
    EXPECT_EQ(payload.count, 2);
    EXPECT_EQ(platform::MonotonicMs() - start, 9 * 2100);
}

TEST_F(FSUIPCLink, PayloadWriteSkipsStationsWithoutMaximumAndStopsAtTheSimulatorsCount)
{
    CAircraftPayload read;
    ASSERT_EQ(link.ReadPayload(read), 0u);
    const int exchanges = simulator.GetExchangeCount();
    EXPECT_EQ(link.WritePayload(read), 0u);
    EXPECT_EQ(simulator.GetExchangeCount(), exchanges);

    simulator.PokeDouble(0x1400 + 4 * 48, 11.0);
    CAircraftPayload profile;
    profile.AddStation(Station(L"Pilot", 190.0f, 300.0f));
    profile.AddStation(Station(L"Front Passenger", 80.0f, 0.0f));
    profile.AddStation(Station(L"Rear Passengers", 250.0f, 400.0f));
    profile.AddStation(Station(L"Baggage", 45.5f, 120.0f));
    profile.AddStation(Station(L"Cargo", 500.0f, 600.0f));
    ASSERT_EQ(link.WritePayload(profile), 0u);
    const double written[] = {190.0, 0.0, 250.0, 45.5, 11.0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(simulator.GetPayloadWeight(i), written[i]) << i;

    Fault([](CFSUIPCSimulator::Faults& f) {
        f.answeredBeforeFailing = 2;
        f.failingSends = -1;
        f.sendError = 1400;
    });
    profile.stations[3].weight = 60.0f;
    EXPECT_EQ(link.WritePayload(profile), FSUIPCResult::SendFailed);
    EXPECT_EQ(simulator.GetPayloadWeight(3), 45.5);
}

TEST_F(FSUIPCLink, MessagesAreCutTo127CharactersAndShownWithValue3)
{
    const std::wstring text = std::wstring(L"Weather from EDDF, ") + std::wstring(181, L'x');
    ASSERT_EQ(link.ShowText(text), 0u);
    ASSERT_EQ(link.ShowText(L"K\u00e4lte \u2744 voraus"), 0u);
    const auto shown = simulator.GetShownTexts();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], std::string("Weather from EDDF, ") + std::string(108, 'x'));
    EXPECT_EQ(shown[1], "K\xe4lte ? voraus");
    EXPECT_EQ(simulator.PeekInt(0x32FA, 2), 3);
}

TEST_F(FSUIPCLink, AmbientWindIsWrittenOnlyWithinItsRange)
{
    const std::tuple<double, double, bool> cases[] = {
        {90.0, 200.0, true}, {91.0, 200.5, false}, {-1.0, 20.0, false},
        {92.0, -1.0, false}, {93.0, -0.5, false},  {0.0, 0.0, true},
    };
    for (const auto& [direction, speed, written] : cases) {
        SCOPED_TRACE(testing::Message() << direction << "/" << speed);
        simulator.SetAmbientWind(270.0, 8.0);
        EXPECT_EQ(link.WriteAmbientWind(aviation::weather::CWind(direction, speed)), 0u);
        EXPECT_EQ(simulator.PeekDouble(0x2DE0), written ? direction : 270.0);
        EXPECT_EQ(simulator.PeekDouble(0x2DE8), written ? speed : 8.0);
    }
}

// The record is written, then the counter re-read every 50 ms until it moves: eleven re-reads without a move
// give 11, a counter that moves at once gives 0.
TEST_F(FSUIPCLink, AWeatherRecordWaitsForTheCounterToMove)
{
    CNewWeather record = MunichStation();
    Fault([](CFSUIPCSimulator::Faults& f) { f.weatherCounterStuck = true; });
    link.WriteWeatherRecord(record);
    int exchanges = simulator.GetExchangeCount();
    std::int64_t start = platform::MonotonicMs();
    EXPECT_EQ(link.WriteWeatherRecord(record), FSUIPCResult::TimedOut);
    EXPECT_EQ(simulator.GetExchangeCount() - exchanges, 2 + 11);
    EXPECT_EQ(platform::MonotonicMs() - start, 11 * 50);

    simulator.SetFaults(CFSUIPCSimulator::Faults());
    exchanges = simulator.GetExchangeCount();
    start = platform::MonotonicMs();
    EXPECT_EQ(link.WriteWeatherRecord(record), 0u);
    EXPECT_EQ(simulator.GetExchangeCount() - exchanges, 3);
    EXPECT_EQ(platform::MonotonicMs() - start, 50);

    const auto records = simulator.GetWeatherRecords();
    ASSERT_EQ(records.size(), 3u);
    ASSERT_EQ(records.back().size(), 1024u);
    EXPECT_EQ(std::memcmp(records.back().data(), &record, 1024), 0);
    EXPECT_EQ(simulator.GetWeatherCounter(), 1u);

    ASSERT_EQ(link.WriteWeatherCommand(0x100), 0u);
    EXPECT_EQ(simulator.GetWeatherCommands(), (std::vector<std::uint16_t>{0x100}));
}

TEST_F(FSUIPCLink, EndToEndReadTheAircraftLoadItAndShowAText)
{
    simulator.SetPosition(-33.946111, 151.177222, 37000.0);
    simulator.SetHeightAboveGround(36979.0);
    simulator.SetSpeeds(458.0, 512.0, -1800.0);
    simulator.SetHeading(123.456);
    simulator.SetAmbientWind(285.0, 64.0);
    simulator.SetVisibility(48000.0);

    CAircraft aircraft;
    ASSERT_EQ(link.ReadAircraft(aircraft), 0u);
    EXPECT_NEAR(aircraft.GetLatitude(), -33.946111, 1e-6);
    EXPECT_NEAR(aircraft.GetLongitude(), 151.177222, 1e-6);
    EXPECT_NEAR(aircraft.altitude, 37000, 1);
    EXPECT_NEAR(aircraft.height, 36979, 1);
    EXPECT_NEAR(aircraft.tas, 458, 1);
    EXPECT_NEAR(aircraft.groundSpeed, 512, 1);
    EXPECT_NEAR(aircraft.verticalSpeed, -1800, 1);
    EXPECT_NEAR(aircraft.heading.direction, 123.456, 1e-6);
    EXPECT_EQ(aircraft.ambientWind.direction, 285.0);
    EXPECT_EQ(aircraft.ambientWind.speed, 64.0);
    EXPECT_EQ(aircraft.ambientWind.gust, -1.0);
    EXPECT_EQ(aircraft.visibility, 48.0f);

    ASSERT_EQ(link.WriteTank(3, CAircraftFuelTank(40.0, 26.0, 3, L"")), 0u);
    ASSERT_EQ(link.WriteTank(7, CAircraftFuelTank(60.0, 26.0, 7, L"")), 0u);
    EXPECT_NEAR(simulator.GetTankLevel(3), 40.0, 1e-5);
    EXPECT_NEAR(simulator.GetTankLevel(7), 60.0, 1e-5);

    CAircraftPayload payload;
    payload.AddStation(Station(L"Pilot", 185.0f, 300.0f));
    payload.AddStation(Station(L"Front Passenger", 160.0f, 300.0f));
    ASSERT_EQ(link.WritePayload(payload), 0u);
    CAircraftPayload readBack;
    ASSERT_EQ(link.ReadPayload(readBack), 0u);
    ASSERT_EQ(readBack.count, 4);
    EXPECT_EQ(readBack.stations[0].weight, 185.0f);
    EXPECT_EQ(readBack.stations[1].weight, 160.0f);

    ASSERT_EQ(link.ShowText(L"Weather transfer Complete"), 0u);
    EXPECT_EQ(simulator.GetShownTexts().back(), "Weather transfer Complete");
}

TEST_F(FSUIPCLink, TwoThreadsOnTheLinkNeverMixTheirRequests)
{
    simulator.SetSpeeds(250.0, 0.0, 0.0);
    std::atomic<int> failures{0};
    std::thread reader([&] {
        CFSUIPCLink own;
        for (int i = 0; i < 300; ++i) {
            CAircraft aircraft;
            if (own.ReadAircraft(aircraft) != 0 || aircraft.tas != 250)
                ++failures;
        }
    });
    for (int i = 0; i < 300; ++i) {
        if (link.WriteAmbientWind(aviation::weather::CWind(i % 360, 10.0)) != 0 || link.ShowText(L"Hello") != 0)
            ++failures;
    }
    reader.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(simulator.GetShownTexts().size(), 300u);
}
