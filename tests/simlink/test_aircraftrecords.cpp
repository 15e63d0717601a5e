// Aircraft state, details, fuel tanks and payload stations as the links and the load editor use them.
#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"
#include "simlink/aircraftfuel.h"
#include "simlink/aircraftpayload.h"

#include <gtest/gtest.h>

using namespace aviation::structs;

TEST(AircraftRecords, DefaultSampleHasUnsetWindAndUnlimitedVisibility)
{
    const CAircraft aircraft;
    EXPECT_EQ(aircraft.GetLatitude(), 0.0);
    EXPECT_EQ(aircraft.GetLongitude(), 0.0);
    EXPECT_EQ(aircraft.ambientWind.direction, -1.0);
    EXPECT_EQ(aircraft.ambientWind.speed, -1.0);
    EXPECT_EQ(aircraft.ambientWind.gust, 0.0);
    EXPECT_EQ(aircraft.visibility, 9999.0f);
    EXPECT_EQ(aircraft.heading.direction, 0.0);
    EXPECT_FALSE(aircraft.onGround || aircraft.parkingBrake || aircraft.enginesOff || aircraft.landingLights
                 || aircraft.doorOpen);
}

TEST(AircraftRecords, AssignedSampleCarriesPositionAndWind)
{
    CAircraft source;
    source.SetLatitude(48.3538);
    source.SetLongitude(11.7861);
    source.altitude = 34000;
    source.heading.direction = 262.5;
    source.ambientWind = aviation::weather::CWind(250.0, 42.0, -1.0);
    source.onGround = true;

    CAircraft copy;
    copy = source;
    EXPECT_EQ(copy.GetLatitude(), 48.3538);
    EXPECT_EQ(copy.GetLongitude(), 11.7861);
    EXPECT_EQ(copy.altitude, 34000);
    EXPECT_EQ(copy.heading.direction, 262.5);
    EXPECT_EQ(copy.ambientWind.direction, 250.0);
    EXPECT_EQ(copy.ambientWind.speed, 42.0);
    EXPECT_EQ(copy.ambientWind.gust, -1.0);
    EXPECT_TRUE(copy.onGround);
}

TEST(AircraftRecords, DefaultDetailIsUnknownAircraftWithoutStations)
{
    const CAircraftDetail detail;
    EXPECT_EQ(detail.type, L"Unknown");
    EXPECT_TRUE(detail.Registration.empty() && detail.code.empty() && detail.name.empty() && detail.airline.empty());
    EXPECT_FALSE(detail.PaxAsWeight || detail.PaxAsPassenger);
    EXPECT_EQ(detail.maxTakeOffWeight, 0.0f);
    EXPECT_EQ(detail.DescentRate, 0);
    EXPECT_EQ(detail.payload.count, 0);
    EXPECT_TRUE(detail.payload.stations.empty());
}

TEST(AircraftRecords, AddTankGivesStandardNamesOnlyToTanksOneToEleven)
{
    struct Case
    {
        int id;
        const wchar_t* given;
        const wchar_t* stored;
    };
    const Case cases[]
        = {{1, L"Tip L", L"Left Tip"}, {3, L"", L"Left Main"},  {4, L"Main", L"Center"},  {7, L"R", L"Right Main"},
           {11, L"Ext", L"External2"}, {0, L"Spare", L"Spare"}, {12, L"Ferry", L"Ferry"}, {-1, L"Bladder", L"Bladder"}};
    for (const Case& c : cases) {
        CAircraftFuel fuel;
        fuel.AddTank(CAircraftFuelTank(50.0, 100.0, c.id, c.given));
        EXPECT_EQ(fuel.GetTanks().at(0).name, c.stored) << "tank " << c.id;
    }
}

TEST(AircraftRecords, MissingTankReadsAsEmptyTank)
{
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(80.0, 1650.0, 3, L""));
    fuel.AddTank(CAircraftFuelTank(80.0, 1650.0, 7, L""));
    const CAircraftFuelTank center2 = fuel.GetTank(5);
    EXPECT_EQ(center2.id, 0);
    EXPECT_EQ(center2.capacity, 0.0);
    EXPECT_EQ(fuel.GetTank(7).name, L"Right Main");
    EXPECT_EQ(fuel.GetTankCount(), 2);
}

TEST(AircraftRecords, SetTankLevelChangesEveryTankOfThatNumber)
{
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(10.0, 200.0, 4, L""));
    fuel.AddTank(CAircraftFuelTank(20.0, 300.0, 4, L""));
    fuel.AddTank(CAircraftFuelTank(30.0, 400.0, 3, L""));
    fuel.SetTankLevel(4, 75.0);
    fuel.SetTankLevel(9, 99.0);
    EXPECT_EQ(fuel.tanks[0].level, 75.0);
    EXPECT_EQ(fuel.tanks[1].level, 75.0);
    EXPECT_EQ(fuel.tanks[2].level, 30.0);
}

TEST(AircraftRecords, CopiedFuelIsIndependentOfItsSource)
{
    CAircraftFuel source;
    source.SetFuelWeight(6.7);
    source.AddTank(CAircraftFuelTank(50.0, 100.0, 3, L""));
    CAircraftFuel copy = source;
    copy.SetTankLevel(3, 5.0);
    copy.AddTank(CAircraftFuelTank(50.0, 100.0, 7, L""));
    EXPECT_EQ(source.GetTank(3).level, 50.0);
    EXPECT_EQ(source.GetTankCount(), 1);
    EXPECT_EQ(copy.GetFuelWeight(), 6.7);
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
    EXPECT_EQ(payload.count, 3);
}
