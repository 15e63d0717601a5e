// The SimConnect link against the simulated SimConnect: open and its versions, the aircraft, fuel, payload and
// identity data as the simulator packs it, writes, texts, weather and exceptions.
#include "simlink/simconnectlink.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/simconnectsim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sim = platform::simconnect;
using aviation::IPC::CSimConnectLink;
using aviation::structs::CAircraft;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftFuelTank;
using aviation::structs::CAircraftPayload;
using aviation::structs::CAircraftPayloadStation;

namespace {

std::size_t CountCalls(const std::string& function)
{
    const std::vector<std::string> calls = sim::Calls();
    return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), function));
}

class SimConnectLinkTest : public ::testing::Test
{
protected:
    platform::ScopedClock clock{1765101600};
    sim::ScopedSimConnect simulator{"fsx"};
    platform::ScopedDebugCapture debug;
    CSimConnectLink link;

    void OpenLink() { ASSERT_TRUE(link.Open()) << std::string(link.GetErrorText().begin(), link.GetErrorText().end()); }
};

} // namespace

TEST_F(SimConnectLinkTest, OpenWithoutSimulatorFailsWithEFail)
{
    sim::Reset("");
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.IsConnected());
    EXPECT_TRUE(debug.Contains("SimConnect: n. Connected, E_FAIL\n"));
    EXPECT_EQ(link.GetErrorText(), L"SimConnect: n. Connected, E_FAIL");
}

TEST_F(SimConnectLinkTest, OpenRefusedWithInvalidArgumentWritesItsDebugText)
{
    sim::FailCall("SimConnect_Open", E_INVALIDARG);
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.IsConnected());
    EXPECT_TRUE(debug.Contains("SimConnect: n. Connected, E_INVALIDARG\n"));
}

TEST_F(SimConnectLinkTest, OpenMessageGivesVersionTextsAndTheFourRequests)
{
    OpenLink();
    EXPECT_TRUE(link.IsConnected());
    EXPECT_EQ(link.GetSimConnectVersion(), L"AppVersion=10.0.61472.0");
    EXPECT_EQ(link.GetVersionNumbers(), L"10.0.61259.0");
    EXPECT_TRUE(debug.Contains("\nOpen: AppName=\"Microsoft Flight Simulator X\"  AppVersion=10.0.61472.0  "
                               "SimConnectVersion=10.0.61259.0\n"));
    EXPECT_EQ(CountCalls("SimConnect_RequestDataOnSimObject"), 4u);
    EXPECT_EQ(CountCalls("SimConnect_SubscribeToSystemEvent"), 1u);
    // The first data of every request is waiting: aircraft, fuel, payload and identity.
    EXPECT_EQ(sim::WaitingMessages(), 4u);
}

TEST_F(SimConnectLinkTest, OpenDeclaresTheDefinitionsInPackingOrder)
{
    OpenLink();
    const std::vector<std::string> state = sim::Definition(0);
    ASSERT_EQ(state.size(), 23u);
    EXPECT_EQ(state.front(), "PLANE ALTITUDE");
    EXPECT_EQ(state[11], "PLANE HEADING DEGREES MAGNETIC");
    EXPECT_EQ(state.back(), "EXIT OPEN:5");
    EXPECT_EQ(sim::Definition(6).size(), 9u);
    const std::vector<std::string> fuelRead = sim::Definition(1);
    ASSERT_EQ(fuelRead.size(), 23u);
    EXPECT_EQ(fuelRead[0], "FUEL TANK CENTER LEVEL");
    EXPECT_EQ(fuelRead[11], "FUEL TANK LEFT TIP CAPACITY");
    EXPECT_EQ(fuelRead.back(), "FUEL WEIGHT PER GALLON");
    EXPECT_EQ(sim::Definition(2).size(), 11u);
    const std::vector<std::string> payload = sim::Definition(3);
    ASSERT_EQ(payload.size(), 101u);
    EXPECT_EQ(payload[23], "PAYLOAD STATION NAME:12");
    EXPECT_EQ(payload[100], "PAYLOAD STATION WEIGHT:50");
}

TEST_F(SimConnectLinkTest, SimulatorThatNeverSendsItsOpenMessageFailsWithinTheBound)
{
    sim::SetOpenAnswer(sim::OpenAnswer::Silence);
    const std::int64_t start = platform::MonotonicMs();
    EXPECT_FALSE(link.Open());
    const std::int64_t waited = platform::MonotonicMs() - start;
    EXPECT_LE(waited, CSimConnectLink::kOpenPolls * CSimConnectLink::kOpenPollPauseMs);
    EXPECT_GE(waited, 1000);
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(sim::OpenClients(), 0u);
    EXPECT_EQ(link.GetErrorText(), L"SimConnect: no open message from the simulator");
}

TEST_F(SimConnectLinkTest, SimulatorQuittingBeforeItsOpenMessageFailsTheOpen)
{
    sim::SetOpenAnswer(sim::OpenAnswer::Quit);
    EXPECT_FALSE(link.Open());
    EXPECT_TRUE(link.QuitReceived());
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(sim::OpenClients(), 0u);
    EXPECT_EQ(link.GetErrorText(), L"SimConnect: the simulator quit before the open message");
}

TEST_F(SimConnectLinkTest, CloseWhenNotConnectedCallsNothing)
{
    EXPECT_TRUE(link.Close());
    EXPECT_TRUE(sim::Calls().empty());
}

TEST_F(SimConnectLinkTest, DestructionClosesTheClient)
{
    {
        CSimConnectLink scoped;
        ASSERT_TRUE(scoped.Open());
        EXPECT_EQ(sim::OpenClients(), 1u);
    }
    EXPECT_EQ(sim::OpenClients(), 0u);
}

TEST_F(SimConnectLinkTest, AircraftSampleIsConvertedFromTheSimulatorsUnits)
{
    sim::SetVariable("PLANE ALTITUDE", 35012.7);
    sim::SetVariable("plane latitude", 47.2603);
    sim::SetVariable("PLANE LONGITUDE", 11.3439);
    sim::SetVariable("PLANE ALT ABOVE GROUND", 33100.9);
    sim::SetVariable("AIRSPEED TRUE", 449.9);
    sim::SetVariable("GROUND VELOCITY", 489.2);
    sim::SetVariable("VERTICAL SPEED", -25.5);
    sim::SetVariable("AMBIENT WIND DIRECTION", 265.0);
    sim::SetVariable("AMBIENT WIND VELOCITY", 62.0);
    sim::SetVariable("MAGVAR", -3.5);
    sim::SetVariable("AMBIENT VISIBILITY", 12345.0);
    sim::SetVariable("PLANE HEADING DEGREES MAGNETIC", M_PI / 2.0);
    sim::SetVariable("SIM ON GROUND", 0.0);
    sim::SetVariable("BRAKE PARKING POSITION", 0.0);
    sim::SetVariable("GENERAL ENG COMBUSTION:1", 1.0);
    sim::SetVariable("LIGHT LANDING", 1.0);
    sim::SetVariable("EXIT OPEN:3", 0.25);
    OpenLink();

    CAircraft aircraft;
    link.ReadAircraft(aircraft);
    EXPECT_EQ(aircraft.altitude, 35012);
    EXPECT_DOUBLE_EQ(aircraft.GetLatitude(), 47.2603);
    EXPECT_DOUBLE_EQ(aircraft.GetLongitude(), 11.3439);
    EXPECT_EQ(aircraft.height, 33100);
    EXPECT_EQ(aircraft.tas, 449);
    EXPECT_EQ(aircraft.groundSpeed, 489);
    EXPECT_EQ(aircraft.verticalSpeed, -1530);
    EXPECT_EQ(aircraft.ambientWind.direction, 265.0);
    EXPECT_EQ(aircraft.ambientWind.speed, 62.0);
    EXPECT_EQ(aircraft.ambientWind.gust, -1.0);
    EXPECT_EQ(aircraft.magVar, -3.5f);
    EXPECT_EQ(aircraft.visibility, 12.0f);
    EXPECT_DOUBLE_EQ(aircraft.heading.direction, 90.0);
    EXPECT_FALSE(aircraft.onGround);
    EXPECT_FALSE(aircraft.parkingBrake);
    EXPECT_FALSE(aircraft.enginesOff);
    EXPECT_TRUE(aircraft.landingLights);
    EXPECT_TRUE(aircraft.doorOpen);
}

TEST_F(SimConnectLinkTest, ReadingTakesTheNewestOfTheWaitingSamples)
{
    OpenLink();
    for (double altitude : {1000.0, 2000.0, 3000.0}) {
        sim::SetVariable("PLANE ALTITUDE", altitude);
        sim::AdvanceSecond();
    }
    CAircraft aircraft;
    link.ReadAircraft(aircraft);
    EXPECT_EQ(aircraft.altitude, 3000);
    EXPECT_EQ(sim::WaitingMessages(), 0u);
}

TEST_F(SimConnectLinkTest, SamplesFollowTheSimulatorsSecondsWhileTheClockRuns)
{
    OpenLink();
    CAircraft aircraft;
    link.ReadAircraft(aircraft);
    sim::SetVariable("PLANE ALTITUDE", 5500.0);
    clock.AdvanceMs(999);
    link.ReadAircraft(aircraft);
    EXPECT_EQ(aircraft.altitude, 364);
    clock.AdvanceMs(1);
    link.ReadAircraft(aircraft);
    EXPECT_EQ(aircraft.altitude, 5500);
}

TEST_F(SimConnectLinkTest, ImplausibleNumbersAreTruncatedWithinRange)
{
    sim::SetVariable("PLANE ALTITUDE", 1e300);
    sim::SetVariable("AIRSPEED TRUE", std::nan(""));
    sim::SetVariable("VERTICAL SPEED", -1e12);
    OpenLink();
    CAircraft aircraft;
    link.ReadAircraft(aircraft);
    EXPECT_EQ(aircraft.altitude, std::numeric_limits<int>::max());
    EXPECT_EQ(aircraft.tas, 0);
    EXPECT_EQ(aircraft.verticalSpeed, std::numeric_limits<int>::min());
}

TEST_F(SimConnectLinkTest, ObjectDataShorterThanItsDefinitionIsIgnored)
{
    OpenLink();
    CAircraft before;
    link.ReadAircraft(before);
    sim::QueueObjectData(0, 0, std::vector<unsigned char>(16, 0x7F));
    sim::QueueObjectData(2, 3, std::vector<unsigned char>(4, 0x10));
    CAircraft after;
    link.ReadAircraft(after);
    EXPECT_EQ(after.altitude, before.altitude);
    EXPECT_EQ(after.GetLatitude(), before.GetLatitude());
    CAircraftPayload payload;
    link.GetPayload(payload);
    EXPECT_EQ(payload.count, 4);
    EXPECT_TRUE(debug.Contains("SimConnect: data of request 0 ignored, 16 of 176 bytes"));
}

TEST_F(SimConnectLinkTest, FuelWithOnlyTheCentreTankGivesOneCenterTank)
{
    const char* slots[] = {"CENTER",     "CENTER2",   "CENTER3",   "LEFT MAIN", "LEFT AUX", "LEFT TIP",
                           "RIGHT MAIN", "RIGHT AUX", "RIGHT TIP", "EXTERNAL1", "EXTERNAL2"};
    for (const char* slot : slots)
        sim::SetVariable(std::string("FUEL TANK ") + slot + " CAPACITY", 0.0);
    sim::SetVariable("FUEL TANK CENTER CAPACITY", 4300.0);
    sim::SetVariable("FUEL TANK CENTER LEVEL", 0.625);
    sim::SetVariable("FUEL WEIGHT PER GALLON", 6.7);
    OpenLink();
    ASSERT_TRUE(link.RequestFuel());
    link.DispatchWaiting();

    const CAircraftFuel fuel = link.GetFuel();
    ASSERT_EQ(fuel.GetTankCount(), 1);
    const CAircraftFuelTank tank = fuel.GetTanks().front();
    EXPECT_EQ(tank.id, 4);
    EXPECT_EQ(tank.name, L"Center");
    EXPECT_DOUBLE_EQ(tank.level, 62.5);
    EXPECT_DOUBLE_EQ(tank.capacity, 4300.0);
    EXPECT_DOUBLE_EQ(fuel.GetFuelWeight(), 6.7);
}

TEST_F(SimConnectLinkTest, RefusedFuelRequestAnswersFalse)
{
    OpenLink();
    sim::FailCall("SimConnect_RequestDataOnSimObject", E_FAIL);
    EXPECT_FALSE(link.RequestFuel());
}

TEST_F(SimConnectLinkTest, PayloadStationsFollowTheStationCount)
{
    struct Case
    {
        double count;
        int expected;
    };
    for (const Case& c : {Case{3, 3}, Case{0, 0}, Case{-2, 0}, Case{75, 50}}) {
        sim::Reset("fsx");
        for (int n = 1; n <= 50; ++n)
            sim::SetVariable("Payload Station Name:" + std::to_string(n), "Seat row " + std::to_string(n));
        sim::SetVariable("PAYLOAD STATION WEIGHT:2", 185.0);
        sim::SetVariable("PAYLOAD STATION COUNT", c.count);
        CSimConnectLink fresh;
        ASSERT_TRUE(fresh.Open());
        fresh.DispatchWaiting();
        CAircraftPayload payload;
        fresh.GetPayload(payload);
        EXPECT_EQ(payload.count, c.expected) << c.count;
        ASSERT_EQ(payload.stations.size(), static_cast<std::size_t>(c.expected));
        if (c.expected >= 2) {
            EXPECT_EQ(payload.stations[1].name, L"Seat row 2");
            EXPECT_EQ(payload.stations[1].weight, 185.0f);
            EXPECT_EQ(payload.stations[1].maxWeight, 0.0f);
            EXPECT_EQ(payload.stations[1].type, 0);
        }
    }
}

TEST_F(SimConnectLinkTest, IdentityFillsTheDetailTexts)
{
    sim::SetVariable("TITLE", "Boeing 737-800 Paint1");
    sim::SetVariable("ATC TYPE", "Boeing");
    sim::SetVariable("ATC ID", "D-ABKM");
    sim::SetVariable("ATC MODEL", "B738");
    sim::SetVariable("ATC AIRLINE", "Lufthansa");
    sim::SetVariable("ESTIMATED FUEL FLOW", 5400.8);
    sim::SetVariable("EMPTY WEIGHT", 91300.0);
    sim::SetVariable("MAX GROSS WEIGHT", 174200.0);
    OpenLink();
    link.DispatchWaiting();
    const aviation::structs::CAircraftDetail detail = link.GetAircraftDetail();
    EXPECT_EQ(detail.name, L"Boeing 737-800 Paint1");
    EXPECT_EQ(detail.type, L"Boeing");
    EXPECT_EQ(detail.Registration, L"D-ABKM");
    EXPECT_EQ(detail.code, L"B738");
    EXPECT_EQ(detail.airline, L"Lufthansa");
    EXPECT_EQ(detail.FuelFlow, 5400.0f);
    EXPECT_EQ(detail.EmptyWeight, 91300.0f);
    EXPECT_EQ(detail.maxGrossWeight, 174200.0f);
}

TEST_F(SimConnectLinkTest, TextFieldsWithoutTerminatorEndAtTheirFieldSize)
{
    OpenLink();
    link.DispatchWaiting();
    std::vector<unsigned char> identity(460, 'A');
    std::memset(identity.data() + 448, 0, 12); // fuel flow and the two weights
    sim::QueueObjectData(4, 6, identity);
    link.DispatchWaiting();
    const aviation::structs::CAircraftDetail detail = link.GetAircraftDetail();
    EXPECT_EQ(detail.name, std::wstring(256, L'A'));
    EXPECT_EQ(detail.type, std::wstring(32, L'A'));
    EXPECT_EQ(detail.airline, std::wstring(64, L'A'));
    EXPECT_EQ(detail.EmptyWeight, 0.0f);
}

TEST_F(SimConnectLinkTest, ExceptionBecomesTheErrorTextWithItsName)
{
    OpenLink();
    link.DispatchWaiting();
    EXPECT_TRUE(link.LoadFlightPlan(L"/nonexistent/EDDFLOWI.pln"));
    const DWORD sendId = link.GetLastSentPacketId();
    EXPECT_EQ(link.Dispatch(), 3);
    const std::string expected = "***** SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED EXCEPTION=23  SendID="
        + std::to_string(sendId) + "  Index=1  cbData=24";
    EXPECT_EQ(link.GetErrorText(), std::wstring(expected.begin(), expected.end()));
    EXPECT_TRUE(debug.Contains(expected + "\n"));
    EXPECT_EQ(sim::FlightPlans(), std::vector<std::string>{"/nonexistent/EDDFLOWI.pln"});
}

TEST(SimConnectExceptionNames, PublicEnumerationOrder)
{
    const std::pair<DWORD, const wchar_t*> cases[] = {
        {0, L"SIMCONNECT_EXCEPTION_NONE"},
        {1, L"SIMCONNECT_EXCEPTION_ERROR"},
        {2, L"SIMCONNECT_EXCEPTION_SIZE_MISMATCH"},
        {7, L"SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED"},
        {14, L"SIMCONNECT_EXCEPTION_WEATHER_INVALID_METAR"},
        {20, L"SIMCONNECT_EXCEPTION_DATA_ERROR"},
        {23, L"SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED"},
        {31, L"SIMCONNECT_EXCEPTION_OUT_OF_BOUNDS"},
        {33, L"SIMCONNECT_EXCEPTION_OBJECT_OUTSIDE_REALITY_BUBBLE"},
        {37, L"SIMCONNECT_EXCEPTION_OBJECT_SCHEDULE"},
        {38, L""},
        {0xFFFFFFFFu, L""},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(CSimConnectLink::GetExceptionName(code), name) << code;
}

TEST_F(SimConnectLinkTest, WriteFuelSetsListedTanksAndEmptiesTheOthers)
{
    OpenLink();
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(50.0, 12.0, 1, L""));
    EXPECT_TRUE(link.WriteFuel(fuel));
    const std::vector<sim::DataWrite> writes = sim::Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].definition, 2u);
    ASSERT_EQ(writes[0].values.size(), 11u);
    for (std::size_t slot = 0; slot < 11; ++slot)
        EXPECT_EQ(writes[0].values[slot], slot == 5 ? 0.5 : 0.0) << slot;
    EXPECT_EQ(sim::GetNumber("FUEL TANK LEFT TIP LEVEL"), 0.5);
    EXPECT_EQ(sim::GetNumber("FUEL TANK LEFT MAIN LEVEL"), 0.0);
}

TEST_F(SimConnectLinkTest, WritePayloadOfNoStationsCallsNothing)
{
    OpenLink();
    const std::size_t calls = sim::Calls().size();
    EXPECT_TRUE(link.WritePayload(CAircraftPayload()));
    EXPECT_EQ(sim::Calls().size(), calls);
}

TEST_F(SimConnectLinkTest, WritePayloadWritesStationsWithoutMaximumWeight)
{
    OpenLink();
    CAircraftPayload payload;
    payload.AddStation(CAircraftPayloadStation(L"Pilot", 180.0f, 0.0f, 0));
    payload.AddStation(CAircraftPayloadStation(L"Baggage", 44.5f, 0.0f, 0));
    EXPECT_TRUE(link.WritePayload(payload));
    EXPECT_EQ(sim::GetNumber("PAYLOAD STATION WEIGHT:1"), 180.0);
    EXPECT_EQ(sim::GetNumber("PAYLOAD STATION WEIGHT:2"), 44.5);
    EXPECT_EQ(CountCalls("SimConnect_ClearDataDefinition"), 2u);
    link.DispatchWaiting();
    EXPECT_EQ(link.GetErrorText(), L"");
}

TEST_F(SimConnectLinkTest, FailedPayloadWriteStopsAndLeavesNoDatumBehind)
{
    OpenLink();
    CAircraftPayload payload;
    payload.AddStation(CAircraftPayloadStation(L"Pilot", 180.0f, 0.0f, 0));
    payload.AddStation(CAircraftPayloadStation(L"Copilot", 175.0f, 0.0f, 0));
    sim::FailCall("SimConnect_SetDataOnSimObject", E_FAIL);
    EXPECT_FALSE(link.WritePayload(payload));
    EXPECT_EQ(CountCalls("SimConnect_SetDataOnSimObject"), 1u);
    sim::FailCall("SimConnect_SetDataOnSimObject", S_OK);
    EXPECT_TRUE(link.WritePayload(payload));
    EXPECT_EQ(sim::GetNumber("PAYLOAD STATION WEIGHT:2"), 175.0);
    // No size-mismatch exception from a definition that still held the first station.
    link.DispatchWaiting();
    EXPECT_EQ(link.GetErrorText().find(L"SIZE_MISMATCH"), std::wstring::npos);
}

TEST_F(SimConnectLinkTest, LongTextsAreCutToTheirBuffers)
{
    OpenLink();
    EXPECT_TRUE(link.ShowText(std::wstring(3000, L'x')));
    const std::vector<sim::SentText> texts = sim::Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text.size(), 1023u);
    EXPECT_EQ(texts[0].bufferSize, 1024u);
    EXPECT_EQ(texts[0].type, 0x101u);
    EXPECT_EQ(texts[0].seconds, 3.0f);
    EXPECT_EQ(texts[0].eventId, 1u);

    const std::wstring metar = L"EDDF 071020Z 25008KT 9999 FEW030 08/03 Q1021 " + std::wstring(2955, L'A');
    EXPECT_TRUE(link.SetWeatherObservation(metar, 120));
    const std::vector<sim::SentObservation> observations = sim::Observations();
    ASSERT_EQ(observations.size(), 1u);
    EXPECT_EQ(observations[0].metar.size(), 1999u);
    EXPECT_EQ(observations[0].metar.rfind("EDDF 071020Z 25008KT", 0), 0u);
    EXPECT_EQ(observations[0].seconds, 120u);

    EXPECT_TRUE(link.LoadFlightPlan(L"/tmp/" + std::wstring(2500, L'p')));
    EXPECT_EQ(sim::FlightPlans().at(0).size(), 1999u);
}

TEST_F(SimConnectLinkTest, ShownTextIsLoggedWithItsPacketId)
{
    OpenLink();
    EXPECT_TRUE(link.ShowText(L"Update Weather"));
    EXPECT_TRUE(debug.Contains("Text=Update Weather SendID=" + std::to_string(link.GetLastSentPacketId())));
    EXPECT_EQ(sim::Texts().at(0).text, "Update Weather");
}

TEST_F(SimConnectLinkTest, FailedObservationAnswersFalseWithTheCallsText)
{
    OpenLink();
    sim::FailCall("SimConnect_WeatherSetObservation", E_FAIL);
    EXPECT_FALSE(link.SetWeatherObservation(L"GLOB 071020Z 00000KT 9999 SKC 15/05 Q1013", 0));
    EXPECT_EQ(link.GetErrorText(), L"SimConnect_WeatherSetObservation failed, 0x80004005");
    EXPECT_TRUE(sim::Observations().empty());
}

TEST_F(SimConnectLinkTest, ThemeAndClearSwitchToCustomWeather)
{
    OpenLink();
    EXPECT_TRUE(link.SetWeatherTheme("FairWeather"));
    EXPECT_TRUE(link.ClearWeather());
    const std::vector<sim::SentTheme> themes = sim::Themes();
    ASSERT_EQ(themes.size(), 2u);
    EXPECT_TRUE(themes[0].hasName);
    EXPECT_EQ(themes[0].name, "FairWeather");
    EXPECT_FALSE(themes[1].hasName);
    EXPECT_EQ(sim::CustomModeCount(), 2);

    sim::FailCall("SimConnect_WeatherSetModeTheme", E_FAIL);
    EXPECT_TRUE(link.ClearWeather());
    sim::FailCall("SimConnect_WeatherSetModeCustom", E_FAIL);
    EXPECT_FALSE(link.SetWeatherTheme("Stormy"));
}

TEST_F(SimConnectLinkTest, PreparThreeDIdentifiesItsVersions)
{
    sim::Reset("p3d");
    OpenLink();
    EXPECT_EQ(link.GetVersionNumbers(), L"2.5.0.0");
    EXPECT_EQ(link.GetSimConnectVersion(), L"AppVersion=2.5.12945.0");
}
