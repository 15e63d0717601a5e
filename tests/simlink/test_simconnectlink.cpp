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
using namespace aviation::structs;

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

// No simulator, a refused open, an open message that never comes (the bound of the wait) and a simulator that
// quits first: the open fails with its text and leaves no client open.
TEST_F(SimConnectLinkTest, OpenFailuresLeaveNoClientAndTellWhy)
{
    const std::function<void()> setups[] = {
        [] { sim::Reset(""); },
        [] { sim::FailCall("SimConnect_Open", E_INVALIDARG); },
        [] { sim::SetOpenAnswer(sim::OpenAnswer::Silence); },
        [] { sim::SetOpenAnswer(sim::OpenAnswer::Quit); },
    };
    const wchar_t* texts[] = {L"SimConnect: n. Connected, E_FAIL", L"SimConnect: n. Connected, E_INVALIDARG",
                              L"SimConnect: no open message from the simulator",
                              L"SimConnect: the simulator quit before the open message"};
    for (int i = 0; i < 4; ++i) {
        sim::Reset("fsx");
        setups[i]();
        CSimConnectLink failing;
        const std::int64_t start = platform::MonotonicMs();
        EXPECT_FALSE(failing.Open()) << i;
        EXPECT_LE(platform::MonotonicMs() - start, CSimConnectLink::kOpenPolls * CSimConnectLink::kOpenPollPauseMs);
        EXPECT_FALSE(failing.IsConnected());
        EXPECT_EQ(failing.GetErrorText(), texts[i]);
        EXPECT_EQ(sim::OpenClients(), 0u);
    }
    EXPECT_TRUE(debug.Contains("SimConnect: n. Connected, E_INVALIDARG\n"));
}

TEST_F(SimConnectLinkTest, OpenMessageGivesVersionTextsAndTheFourRequests)
{
    EXPECT_TRUE(link.Close()) << "closing a link never opened";
    EXPECT_TRUE(sim::Calls().empty());
    OpenLink();
    EXPECT_TRUE(link.IsConnected());
    EXPECT_EQ(link.GetSimConnectVersion(), L"AppVersion=10.0.61472.0");
    EXPECT_EQ(link.GetVersionNumbers(), L"10.0.61259.0");
    EXPECT_EQ(CountCalls("SimConnect_RequestDataOnSimObject"), 4u);
    // The first data of every request is waiting: aircraft, fuel, payload and identity.
    EXPECT_EQ(sim::WaitingMessages(), 4u);

    {
        CSimConnectLink second;
        ASSERT_TRUE(second.Open());
        EXPECT_EQ(sim::OpenClients(), 2u);
    }
    EXPECT_EQ(sim::OpenClients(), 1u) << "destruction closes the client";
}

TEST_F(SimConnectLinkTest, AircraftSampleIsConvertedFromTheSimulatorsUnits)
{
    const std::pair<const char*, double> variables[] = {
        {"PLANE ALTITUDE", 35012.7},
        {"plane latitude", 47.2603},
        {"PLANE LONGITUDE", 11.3439},
        {"PLANE ALT ABOVE GROUND", 33100.9},
        {"AIRSPEED TRUE", 449.9},
        {"GROUND VELOCITY", 489.2},
        {"VERTICAL SPEED", -25.5},
        {"AMBIENT WIND DIRECTION", 265.0},
        {"AMBIENT WIND VELOCITY", 62.0},
        {"MAGVAR", -3.5},
        {"AMBIENT VISIBILITY", 12345.0},
        {"PLANE HEADING DEGREES MAGNETIC", M_PI / 2},
        {"SIM ON GROUND", 0.0},
        {"BRAKE PARKING POSITION", 0.0},
        {"GENERAL ENG COMBUSTION:1", 1.0},
        {"LIGHT LANDING", 1.0},
        {"EXIT OPEN:3", 0.25},
    };
    for (const auto& [name, value] : variables)
        sim::SetVariable(name, value);
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
    EXPECT_FALSE(aircraft.onGround || aircraft.parkingBrake || aircraft.enginesOff);
    EXPECT_TRUE(aircraft.landingLights && aircraft.doorOpen);

    // Implausible numbers are truncated within range.
    sim::SetVariable("PLANE ALTITUDE", 1e300);
    sim::SetVariable("AIRSPEED TRUE", std::nan(""));
    sim::SetVariable("VERTICAL SPEED", -1e12);
    sim::AdvanceSecond();
    link.ReadAircraft(aircraft);
    EXPECT_EQ(aircraft.altitude, std::numeric_limits<int>::max());
    EXPECT_EQ(aircraft.tas, 0);
    EXPECT_EQ(aircraft.verticalSpeed, std::numeric_limits<int>::min());
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

    // Samples follow the simulator's seconds while the clock runs.
    sim::SetVariable("PLANE ALTITUDE", 5500.0);
    clock.AdvanceMs(999);
    link.ReadAircraft(aircraft);
    EXPECT_EQ(aircraft.altitude, 3000);
    clock.AdvanceMs(1);
    link.ReadAircraft(aircraft);
    EXPECT_EQ(aircraft.altitude, 5500);
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
}

TEST_F(SimConnectLinkTest, FuelWithOnlyTheCentreTankGivesOneCenterTank)
{
    for (const char* slot : {"CENTER", "CENTER2", "CENTER3", "LEFT MAIN", "LEFT AUX", "LEFT TIP", "RIGHT MAIN",
                             "RIGHT AUX", "RIGHT TIP", "EXTERNAL1", "EXTERNAL2"})
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

TEST_F(SimConnectLinkTest, PayloadStationsFollowTheStationCount)
{
    for (const auto& [count, expected] : {std::make_pair(3.0, 3), {0.0, 0}, {-2.0, 0}, {75.0, 50}}) {
        sim::Reset("fsx");
        for (int n = 1; n <= 50; ++n)
            sim::SetVariable("Payload Station Name:" + std::to_string(n), "Seat row " + std::to_string(n));
        sim::SetVariable("PAYLOAD STATION WEIGHT:2", 185.0);
        sim::SetVariable("PAYLOAD STATION COUNT", count);
        CSimConnectLink fresh;
        ASSERT_TRUE(fresh.Open());
        fresh.DispatchWaiting();
        CAircraftPayload payload;
        fresh.GetPayload(payload);
        EXPECT_EQ(payload.count, expected) << count;
        ASSERT_EQ(payload.stations.size(), static_cast<std::size_t>(expected));
        if (expected >= 2) {
            EXPECT_EQ(payload.stations[1].name, L"Seat row 2");
            EXPECT_EQ(payload.stations[1].weight, 185.0f);
        }
    }
}

TEST_F(SimConnectLinkTest, IdentityTextsEndAtTheirFieldSize)
{
    sim::SetVariable("TITLE", "Boeing 737-800 Paint1");
    sim::SetVariable("ATC ID", "D-ABKM");
    sim::SetVariable("ESTIMATED FUEL FLOW", 5400.8);
    OpenLink();
    link.DispatchWaiting();
    CAircraftDetail detail = link.GetAircraftDetail();
    EXPECT_EQ(detail.name, L"Boeing 737-800 Paint1");
    EXPECT_EQ(detail.Registration, L"D-ABKM");
    EXPECT_EQ(detail.FuelFlow, 5400.0f);

    std::vector<unsigned char> identity(460, 'A');
    std::memset(identity.data() + 448, 0, 12); // fuel flow and the two weights
    sim::QueueObjectData(4, 6, identity);
    link.DispatchWaiting();
    detail = link.GetAircraftDetail();
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

    const std::pair<DWORD, const wchar_t*> names[] = {
        {0, L"SIMCONNECT_EXCEPTION_NONE"},
        {14, L"SIMCONNECT_EXCEPTION_WEATHER_INVALID_METAR"},
        {37, L"SIMCONNECT_EXCEPTION_OBJECT_SCHEDULE"},
        {38, L""},
        {0xFFFFFFFFu, L""},
    };
    for (const auto& [code, name] : names)
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
    ASSERT_EQ(writes[0].values.size(), 11u);
    for (std::size_t slot = 0; slot < 11; ++slot)
        EXPECT_EQ(writes[0].values[slot], slot == 5 ? 0.5 : 0.0) << slot;
    EXPECT_EQ(sim::GetNumber("FUEL TANK LEFT TIP LEVEL"), 0.5);
}

// Stations with maximum weight 0 are written too; a failed write stops and leaves no datum behind for the next.
TEST_F(SimConnectLinkTest, WritePayloadWritesEveryStationAndStopsAtAFailure)
{
    OpenLink();
    const std::size_t calls = sim::Calls().size();
    EXPECT_TRUE(link.WritePayload(CAircraftPayload()));
    EXPECT_EQ(sim::Calls().size(), calls);

    CAircraftPayload payload;
    payload.AddStation(CAircraftPayloadStation(L"Pilot", 180.0f, 0.0f, 0));
    payload.AddStation(CAircraftPayloadStation(L"Copilot", 175.0f, 0.0f, 0));
    sim::FailCall("SimConnect_SetDataOnSimObject", E_FAIL);
    EXPECT_FALSE(link.WritePayload(payload));
    EXPECT_EQ(CountCalls("SimConnect_SetDataOnSimObject"), 1u);
    sim::FailCall("SimConnect_SetDataOnSimObject", S_OK);
    EXPECT_TRUE(link.WritePayload(payload));
    EXPECT_EQ(sim::GetNumber("PAYLOAD STATION WEIGHT:1"), 180.0);
    EXPECT_EQ(sim::GetNumber("PAYLOAD STATION WEIGHT:2"), 175.0);
    link.DispatchWaiting();
    EXPECT_EQ(link.GetErrorText().find(L"SIZE_MISMATCH"), std::wstring::npos)
        << "no size-mismatch exception from a definition still holding a station";
}

TEST_F(SimConnectLinkTest, LongTextsAreCutToTheirBuffers)
{
    OpenLink();
    EXPECT_TRUE(link.ShowText(std::wstring(3000, L'x')));
    const std::vector<sim::SentText> texts = sim::Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text.size(), 1023u);
    EXPECT_EQ(texts[0].bufferSize, 1024u);
    EXPECT_EQ(texts[0].seconds, 3.0f);

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

TEST_F(SimConnectLinkTest, WeatherCallsAnswerFalseWithTheFailedCallsText)
{
    OpenLink();
    EXPECT_TRUE(link.SetWeatherTheme("FairWeather"));
    EXPECT_TRUE(link.ClearWeather());
    const std::vector<sim::SentTheme> themes = sim::Themes();
    ASSERT_EQ(themes.size(), 2u);
    EXPECT_EQ(themes[0].name, "FairWeather");
    EXPECT_FALSE(themes[1].hasName);
    EXPECT_EQ(sim::CustomModeCount(), 2);

    sim::FailCall("SimConnect_WeatherSetObservation", E_FAIL);
    EXPECT_FALSE(link.SetWeatherObservation(L"GLOB 071020Z 00000KT 9999 SKC 15/05 Q1013", 0));
    EXPECT_EQ(link.GetErrorText(), L"SimConnect_WeatherSetObservation failed, 0x80004005");
    EXPECT_TRUE(sim::Observations().empty());
    sim::FailCall("SimConnect_WeatherSetModeTheme", E_FAIL);
    EXPECT_TRUE(link.ClearWeather());
    sim::FailCall("SimConnect_WeatherSetModeCustom", E_FAIL);
    EXPECT_FALSE(link.SetWeatherTheme("Stormy"));
}
