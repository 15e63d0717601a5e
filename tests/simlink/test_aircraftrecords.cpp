// Fuel tanks and payload stations as the links and the load editor use them.
#include "simlink/aircraftfuel.h"
#include "simlink/aircraftpayload.h"

#include <gtest/gtest.h>

using namespace aviation::structs;

TEST(AircraftRecords, AddTankGivesStandardNamesOnlyToTanksOneToEleven)
{
    const std::tuple<int, const wchar_t*, const wchar_t*> cases[]
        = {{1, L"Tip L", L"Left Tip"}, {3, L"", L"Left Main"},  {4, L"Main", L"Center"},  {7, L"R", L"Right Main"},
           {11, L"Ext", L"External2"}, {0, L"Spare", L"Spare"}, {12, L"Ferry", L"Ferry"}, {-1, L"Bladder", L"Bladder"}};
    for (const auto& [id, given, stored] : cases) {
        CAircraftFuel fuel;
        fuel.AddTank(CAircraftFuelTank(50.0, 100.0, id, given));
        EXPECT_EQ(fuel.GetTanks().at(0).name, stored) << "tank " << id;
    }
}

TEST(AircraftRecords, TankLookupAndLevelGoByTankNumber)
{
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(10.0, 200.0, 4, L""));
    fuel.AddTank(CAircraftFuelTank(20.0, 300.0, 4, L""));
    fuel.AddTank(CAircraftFuelTank(30.0, 400.0, 3, L""));
    EXPECT_EQ(fuel.GetTank(5).id, 0) << "a missing tank reads as an empty one";
    EXPECT_EQ(fuel.GetTank(5).capacity, 0.0);
    fuel.SetTankLevel(4, 75.0);
    fuel.SetTankLevel(9, 99.0);
    EXPECT_EQ(fuel.tanks[0].level, 75.0);
    EXPECT_EQ(fuel.tanks[1].level, 75.0);
    EXPECT_EQ(fuel.tanks[2].level, 30.0);
    EXPECT_EQ(fuel.GetTankCount(), 3);
}

TEST(AircraftRecords, PayloadCountFollowsStationsAndOutOfRangeSetChangesNothing)
{
    CAircraftPayload payload;
    payload.AddStation(CAircraftPayloadStation(L"Pilot", 170.0f, 250.0f, 1));
    payload.AddStation(CAircraftPayloadStation(L"Forward cargo", 400.0f, 1500.0f, 3));
    payload.AddStation(CAircraftPayloadStation(L"Aft cargo", 300.0f, 1200.0f, 3));
    EXPECT_EQ(payload.count, 3);

    const CAircraftPayloadStation full(L"Aft cargo", 1200.0f, 1200.0f, 3);
    payload.SetStation(full, 3);
    CAircraftPayload empty;
    empty.SetStation(full, 0);
    EXPECT_TRUE(empty.GetStations().empty());
    EXPECT_EQ(payload.GetStations().size(), 3u);
    EXPECT_EQ(payload.stations[2].weight, 300.0f);

    payload.SetStation(full, 2);
    EXPECT_EQ(payload.stations[2].weight, 1200.0f);
}
