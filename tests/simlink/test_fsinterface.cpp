// The simulator interface facade over the simulated FSUIPC and the simulated SimConnect: opening by interface
// type, the routing of each operation, its result codes and error texts, and a whole session over both links.
#include "simlink/fsinterface.h"

#include "simlinktestsupport.h"

#include "platform/debugoutput.h"
#include "platform/simconnectsim.h"

#include <cmath>

namespace sim = platform::simconnect;
using aviation::IPC::CFSInterface;
using aviation::IPC::CFSUIPCSimulator;
using namespace aviation::structs;
using aviation::weather::CWind;

namespace {

class FSInterface : public FSUIPCTest
{
protected:
    sim::ScopedSimConnect simconnect{"fsx"};
    platform::ScopedDebugCapture debug;
    CFSInterface facade;
};

} // namespace

TEST_F(FSInterface, OpenFailuresKeepTheTypeAndStayDisconnected)
{
    EXPECT_EQ(facade.ClearWeather(), 1);
    EXPECT_EQ(facade.GetErrorText(), L"not connected");
    EXPECT_EQ(facade.GetInterfaceType(), -1);

    const std::tuple<int, bool, bool> cases[]
        = {{1, false, true}, {2, true, false}, {3, false, true}, {4, true, true}, {0, true, true}};
    for (const auto& [type, fsuipcRuns, simConnectRuns] : cases) {
        CFSUIPCSimulator local(fsuipcRuns ? CFSUIPCSimulator::Kind::FSX : CFSUIPCSimulator::Kind::None);
        aviation::IPC::CScopedFSUIPCTransport localTransport(local);
        sim::Reset(simConnectRuns ? "fsx" : "");
        CFSInterface opened;
        EXPECT_EQ(opened.Open(type), 1) << type;
        EXPECT_FALSE(opened.IsConnected()) << type;
        EXPECT_EQ(opened.GetInterfaceType(), type);
    }

    sim::Reset("fsx");
    sim::SetOpenAnswer(sim::OpenAnswer::Silence);
    EXPECT_EQ(facade.Open(2), 1);
    EXPECT_EQ(facade.GetErrorText(), L"SimConnect: no open message from the simulator");
    EXPECT_EQ(sim::OpenClients(), 0u);
}

// Interface type 3 stays connected through FSUIPC when SimConnect fails.
TEST_F(FSInterface, BothInterfacesWithoutSimConnectStayConnectedThroughFSUIPC)
{
    sim::Reset("");
    EXPECT_EQ(facade.Open(3), 0);
    EXPECT_TRUE(facade.IsConnected());
    EXPECT_EQ(facade.GetErrorText(), L"SimConnect: n. Connected, E_FAIL");
    EXPECT_EQ(facade.GetSimulatorName(), L"FSX");
    EXPECT_EQ(facade.GetFSVersion(), 3);
    EXPECT_NEAR(facade.GetAircraft().GetLatitude(), 50.0379, 1e-4);
}

TEST_F(FSInterface, VersionNamesTheSimulator)
{
    const std::tuple<int, const char*, const wchar_t*, const wchar_t*, int> cases[] = {
        {2, "fsx", L"FSX", L"SimConnect Version :10.0.61259.0", 3},
        {2, "p3d", L"P3Dv2", L"SimConnect Version :2.5.0.0", 4},
        {1, "fsx", L"FSX", L"FSUIPC-Ver: 4.959", 3},
    };
    for (const auto& [type, simName, name, version, code] : cases) {
        sim::Reset(simName);
        CFSInterface opened;
        ASSERT_EQ(opened.Open(type), 0) << simName;
        EXPECT_EQ(opened.GetSimulatorName(), name);
        EXPECT_EQ(opened.GetVersionText(), version);
        EXPECT_EQ(opened.GetFSVersion(), code);
    }
}

TEST_F(FSInterface, WindIsRangeCheckedBeforeFSUIPCIsWritten)
{
    ASSERT_EQ(facade.Open(1), 0);
    const double speedBefore = simulator.PeekDouble(0x2DE8);
    const std::tuple<double, double, const wchar_t*> cases[] = {{270.0, 250.0, L"wind speed too high"},
                                                                {270.0, -5.0, L"wind speed too high"},
                                                                {270.0, std::nan(""), L"wind speed too high"},
                                                                {400.0, 10.0, L"wind dir too high"},
                                                                {-1.0, 10.0, L"wind dir too high"}};
    for (const auto& [direction, speed, text] : cases) {
        EXPECT_EQ(facade.SetWind(CWind(direction, speed)), 0);
        EXPECT_EQ(facade.GetErrorText(), text);
    }
    EXPECT_EQ(simulator.PeekDouble(0x2DE8), speedBefore);
    EXPECT_EQ(facade.SetWind(CWind(245.0, 18.0)), 0);
    EXPECT_EQ(facade.GetErrorText(), L"");
    EXPECT_EQ(simulator.PeekDouble(0x2DE0), 245.0);
    EXPECT_EQ(simulator.PeekDouble(0x2DE8), 18.0);
}

TEST_F(FSInterface, OperationsTheInterfaceCannotDoAreRefused)
{
    ASSERT_EQ(facade.Open(1), 0);
    EXPECT_EQ(facade.SendMetar(L"EDDF 071020Z 25008KT 9999 FEW030 08/03 Q1021", 0), 2);
    EXPECT_EQ(facade.GetErrorText(), L"wrong interface");
    EXPECT_EQ(facade.LoadWeatherTheme("FairWeather"), 2);
    facade.Close();

    CFSInterface simconnectOnly;
    ASSERT_EQ(simconnectOnly.Open(2), 0);
    EXPECT_EQ(simconnectOnly.SendWeatherCommand(0x100), 2);
    EXPECT_EQ(simconnectOnly.GetErrorText(), L"wrong interface");
    EXPECT_EQ(simconnectOnly.SetWind(CWind(250.0, 10.0)), 2);
    EXPECT_TRUE(sim::Observations().empty());
    EXPECT_TRUE(simulator.GetWeatherCommands().empty());
}

TEST_F(FSInterface, FSUIPCFuelKeepsOnlyTanksWithCapacity)
{
    for (int id = 1; id <= 11; ++id)
        simulator.SetTank(id, 0.0, 0.0);
    simulator.SetTank(3, 26.0, 50.0);
    simulator.SetTank(7, 26.0, 75.0);
    simulator.SetFuelWeight(6.0);
    ASSERT_EQ(facade.Open(1), 0);
    const CAircraftFuel fuel = facade.GetFuel();
    ASSERT_EQ(fuel.GetTankCount(), 2);
    EXPECT_EQ(fuel.GetTanks()[0].name, L"Left Main");
    EXPECT_NEAR(fuel.GetTanks()[0].level, 50.0, 1e-3);
    EXPECT_EQ(fuel.GetTanks()[1].name, L"Right Main");
    EXPECT_DOUBLE_EQ(fuel.GetFuelWeight(), 6.0);

    CAircraftFuel set;
    set.AddTank(CAircraftFuelTank(40.0, 26.0, 3, L""));
    set.AddTank(CAircraftFuelTank(90.0, 0.0, 7, L""));
    EXPECT_EQ(facade.SetFuel(set), 0);
    EXPECT_NEAR(simulator.GetTankLevel(3), 40.0, 1e-3);
    EXPECT_NEAR(simulator.GetTankLevel(7), 75.0, 1e-3);
}

TEST_F(FSInterface, FSUIPCReadFailureGivesADefaultAircraftAndTheResultText)
{
    ASSERT_EQ(facade.Open(1), 0);
    Fault([](CFSUIPCSimulator::Faults& f) { f.failingSends = -1; });
    const CAircraft failed = facade.GetAircraft();
    EXPECT_EQ(failed.GetLatitude(), 0.0);
    EXPECT_EQ(facade.GetErrorText(), L"IPC timed out all retries");
    EXPECT_EQ(facade.SetWind(CWind(250.0, 10.0)), 1);

    simulator.SetFaults(CFSUIPCSimulator::Faults());
    EXPECT_NEAR(facade.GetAircraft().GetLatitude(), 50.0379, 1e-4);
    EXPECT_EQ(facade.GetErrorText(), L"");
}

TEST_F(FSInterface, SimConnectFailuresAnswerOneWithTheLinksText)
{
    ASSERT_EQ(facade.Open(2), 0);
    sim::FailCall("SimConnect_WeatherSetObservation", E_FAIL);
    EXPECT_EQ(facade.SendMetar(L"EDDF 071020Z 25008KT 9999 FEW030 08/03 Q1021", 30), 1);
    EXPECT_EQ(facade.GetErrorText(), L"SimConnect_WeatherSetObservation failed, 0x80004005");

    sim::FailCall("SimConnect_WeatherSetModeCustom", E_FAIL);
    EXPECT_EQ(facade.LoadWeatherTheme("FairWeather"), 1);
    EXPECT_EQ(facade.GetErrorText(), L"SimConnect_WeatherSetModeCustom failed, 0x80004005");
    EXPECT_EQ(facade.ClearWeather(), 1);

    sim::FailCall("SimConnect_Text", E_FAIL);
    EXPECT_EQ(facade.SendText(L"Set Fuel"), 1);
    sim::FailCall("SimConnect_SetDataOnSimObject", E_FAIL);
    CAircraftPayload payload;
    payload.AddStation(CAircraftPayloadStation(L"Pilot", 170.0f, 0.0f, 0));
    EXPECT_EQ(facade.SetPayload(payload), 1);
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(50.0, 12.0, 1, L"Left Main"));
    EXPECT_EQ(facade.SetFuel(fuel), 1);
    EXPECT_EQ(facade.GetErrorText(), L"SimConnect_SetDataOnSimObject failed, 0x80004005");
}

TEST_F(FSInterface, SimConnectSessionReadsAndWritesThroughTheLink)
{
    sim::SetVariable("PLANE LATITUDE", 48.3538);
    sim::SetVariable("FUEL TANK CENTER CAPACITY", 860.0);
    sim::SetVariable("FUEL TANK CENTER LEVEL", 0.5);
    ASSERT_EQ(facade.Open(2), 0);
    EXPECT_DOUBLE_EQ(facade.GetAircraft().GetLatitude(), 48.3538);
    EXPECT_DOUBLE_EQ(facade.GetFuel().GetTank(4).level, 50.0);
    EXPECT_EQ(facade.GetAircraftDetail().payload.count, 4);

    EXPECT_EQ(facade.SendMetar(L"EDDM 071020Z 24012KT CAVOK 09/02 Q1019", 45), 0);
    EXPECT_EQ(facade.LoadWeatherTheme("FairWeather"), 0);
    EXPECT_EQ(facade.ClearWeather(), 0);
    EXPECT_EQ(facade.LoadFlightPlan(L"/nonexistent/EDDMEDDF.pln"), 0);
    EXPECT_EQ(sim::Themes().size(), 2u);
    EXPECT_EQ(sim::FlightPlans().size(), 1u);
}

TEST_F(FSInterface, BothInterfacesReadThroughFSUIPCAndSendMetarThroughSimConnect)
{
    simulator.SetPosition(47.2603, 11.3439, 1906.0);
    sim::SetVariable("PLANE LATITUDE", 10.0);
    ASSERT_EQ(facade.Open(3), 0);
    EXPECT_TRUE(facade.IsConnected());
    EXPECT_EQ(facade.GetErrorText(), L"");
    EXPECT_EQ(facade.GetVersionText(), L"SimConnect Version :10.0.61259.0");

    const CAircraft aircraft = facade.GetAircraft();
    EXPECT_NEAR(aircraft.GetLatitude(), 47.2603, 1e-4);
    EXPECT_NEAR(aircraft.GetLongitude(), 11.3439, 1e-4);
    EXPECT_NEAR(aircraft.altitude, 1906, 1);

    EXPECT_EQ(facade.SendMetar(L"LOWI 071020Z 26005KT 9999 FEW040 06/M01 Q1023", 60), 0);
    const std::vector<sim::SentObservation> observations = sim::Observations();
    ASSERT_EQ(observations.size(), 1u);
    EXPECT_EQ(observations[0].metar, "LOWI 071020Z 26005KT 9999 FEW040 06/M01 Q1023");
    EXPECT_EQ(observations[0].seconds, 60u);

    const CAircraftFuel fuel = facade.GetFuel();
    ASSERT_EQ(fuel.GetTankCount(), 2);
    EXPECT_EQ(fuel.GetTanks()[0].id, 3);
    EXPECT_NEAR(fuel.GetTanks()[0].level, 75.0, 1e-3);

    EXPECT_EQ(facade.SendText(L"Update Weather"), 0);
    EXPECT_EQ(sim::Texts().at(0).text, "Update Weather");
    EXPECT_TRUE(simulator.GetShownTexts().empty());

    facade.Close();
    EXPECT_FALSE(facade.IsConnected());
    EXPECT_EQ(facade.GetInterfaceType(), 3);
    EXPECT_EQ(facade.ClearWeather(), 1);
    EXPECT_EQ(facade.GetErrorText(), L"not connected");
    EXPECT_EQ(sim::OpenClients(), 0u);
    EXPECT_EQ(simulator.GetOpenMappingCount(), 0);
    EXPECT_EQ(simulator.GetAtomCount(), 0);
}
