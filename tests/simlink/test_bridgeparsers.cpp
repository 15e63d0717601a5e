#include "platform/debugoutput.h"
#include "simlink/linkmessage.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <string>

using aviation::structs::CAircraft;
using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftFuelTank;
using aviation::structs::CAircraftPayload;
using aviation::structs::CAircraftPayloadStation;

namespace {

// Answers as a bridge beside FSX sends them: a 737 climbing out of Frankfurt.
const std::string kAircraftItems[17]
    = {"Height=4636",   "Alt=5000",           "TAS=250",          "GS=240",        "Hdg=249.5",
       "VS=1800",       "AmbWndDir=270.0",    "AmbWndSpeed=12.5", "MagVar=-2.5",   "Vis=20",
       "Lat=50.033300", "Lon=8.570600",       "IsOnGround=0",     "EngineIsOff=0", "LandingLightIsOn=1",
       "DoorIsOpen=0",  "ParkingBrakeIsSet=1"};

const char* const kDetailAnswer = "Name=Boeing 737-800 Aerovane Air:Type=Boeing:Reg=D-AVNE:Model=B738:"
                                  "Airline=Aerovane Air:EmptyWeight=91300.0:Aux=120.5:MaxGrossWeight=174200.0:"
                                  "MTO=174200.0:MLW=146300.0:MRW=174700.0:FuelFlow=5300.0";

std::string Join(const std::string* items, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i ? ":" : "") + items[i];
    return text;
}

std::string AircraftAnswer(std::size_t replacedIndex = 17, const std::string& replacement = std::string())
{
    std::string items[17];
    for (std::size_t i = 0; i < 17; ++i)
        items[i] = i == replacedIndex ? replacement : kAircraftItems[i];
    return Join(items, 17);
}

CLinkMessage Answer(std::uint8_t subCode, const std::string& payload)
{
    return CLinkMessage(LinkAnsw, subCode, payload.c_str());
}

void ExpectDefaultAircraft(const CAircraft& aircraft)
{
    EXPECT_EQ(aircraft.height, 0);
    EXPECT_EQ(aircraft.altitude, 0);
    EXPECT_EQ(aircraft.GetLatitude(), 0.0);
    EXPECT_EQ(aircraft.ambientWind.direction, -1.0);
    EXPECT_EQ(aircraft.ambientWind.gust, 0.0);
    EXPECT_EQ(aircraft.visibility, 9999.0f);
    EXPECT_FALSE(aircraft.parkingBrake);
}

} // namespace

TEST(BridgeAircraftAnswer, FillsEveryFieldOfASeventeenItemAnswer)
{
    const CAircraft aircraft = Answer(1, AircraftAnswer()).ToAircraft();
    EXPECT_EQ(aircraft.height, 4636);
    EXPECT_EQ(aircraft.altitude, 5000);
    EXPECT_EQ(aircraft.tas, 250);
    EXPECT_EQ(aircraft.groundSpeed, 240);
    EXPECT_DOUBLE_EQ(aircraft.heading.direction, 249.5);
    EXPECT_EQ(aircraft.verticalSpeed, 1800);
    EXPECT_DOUBLE_EQ(aircraft.ambientWind.direction, 270.0);
    EXPECT_DOUBLE_EQ(aircraft.ambientWind.speed, 12.5);
    EXPECT_EQ(aircraft.ambientWind.gust, -1.0);
    EXPECT_FLOAT_EQ(aircraft.magVar, -2.5f);
    EXPECT_FLOAT_EQ(aircraft.visibility, 20.0f);
    EXPECT_DOUBLE_EQ(aircraft.GetLatitude(), 50.0333);
    EXPECT_DOUBLE_EQ(aircraft.GetLongitude(), 8.5706);
    EXPECT_FALSE(aircraft.onGround);
    EXPECT_FALSE(aircraft.enginesOff);
    EXPECT_TRUE(aircraft.landingLights);
    EXPECT_FALSE(aircraft.doorOpen);
    EXPECT_TRUE(aircraft.parkingBrake);
}

TEST(BridgeAircraftAnswer, OtherItemCountsGiveTheDefaultSampleSilently)
{
    const std::string sixteen = Join(kAircraftItems, 16);
    const std::string eighteen = AircraftAnswer() + ":Extra=1";
    for (const std::string& payload : {sixteen, eighteen, std::string()}) {
        platform::ScopedDebugCapture debug;
        ExpectDefaultAircraft(Answer(1, payload).ToAircraft());
        EXPECT_TRUE(debug.Lines().empty()) << payload;
    }
}

TEST(BridgeAircraftAnswer, ShortFirstItemGivesTheDefaultSampleAndADebugLine)
{
    platform::ScopedDebugCapture debug;
    ExpectDefaultAircraft(Answer(1, AircraftAnswer(0, "Hgt=46")).ToAircraft());
    ASSERT_EQ(debug.Lines().size(), 1u);
    EXPECT_EQ(debug.Lines()[0].rfind("\nError in CAIRCRAFT::FromString - ", 0), 0u) << debug.Lines()[0];
}

TEST(BridgeAircraftAnswer, ShortItemKeepsTheItemsBeforeIt)
{
    platform::ScopedDebugCapture debug;
    const CAircraft aircraft = Answer(1, AircraftAnswer(5, "V")).ToAircraft();
    EXPECT_EQ(aircraft.height, 4636);
    EXPECT_EQ(aircraft.groundSpeed, 240);
    EXPECT_DOUBLE_EQ(aircraft.heading.direction, 249.5);
    EXPECT_EQ(aircraft.verticalSpeed, 0);
    EXPECT_EQ(aircraft.ambientWind.direction, -1.0);
    EXPECT_EQ(aircraft.ambientWind.gust, 0.0) << "the gust is set only with the wind";
    EXPECT_EQ(aircraft.visibility, 9999.0f);
    EXPECT_TRUE(debug.Contains("CAIRCRAFT::FromString"));
}

TEST(BridgeAircraftAnswer, WindIsStoredWithBothValuesOrNotAtAll)
{
    platform::ScopedDebugCapture debug;
    const CAircraft aircraft = Answer(1, AircraftAnswer(7, "AmbWndSpd=")).ToAircraft();
    EXPECT_EQ(aircraft.verticalSpeed, 1800);
    EXPECT_EQ(aircraft.ambientWind.direction, -1.0) << "the direction waits for the speed";
    EXPECT_EQ(aircraft.ambientWind.speed, -1.0);
}

TEST(BridgeAircraftAnswer, OnlyTheSingleCharacterOneIsTrue)
{
    struct Case
    {
        const char* value;
        bool expected;
    };
    for (const Case& c : {Case{"1", true}, Case{"0", false}, Case{"true", false}, Case{"01", false}, Case{" 1", false},
                          Case{"", false}}) {
        const CAircraft aircraft = Answer(1, AircraftAnswer(12, std::string("IsOnGround=") + c.value)).ToAircraft();
        EXPECT_EQ(aircraft.onGround, c.expected) << '"' << c.value << '"';
    }
}

TEST(BridgeAircraftAnswer, ParsedFromAReceivedFrameWithItsLineEnd)
{
    // The header parser keeps the line end in the payload; the last flag must still read "1".
    const CLinkMessage received("@ANSW;001;0250;" + AircraftAnswer() + "\r\n");
    EXPECT_TRUE(received.ToAircraft().parkingBrake);
}

TEST(BridgeAircraftAnswer, NumbersReadAsTheCRuntimeWouldWithoutOverflowing)
{
    struct Case
    {
        std::size_t item;
        const char* text;
        int height;
        int altitude;
    };
    const Case cases[] = {
        {0, "Height= 4636ft", 4636, 5000},
        {0, "Height=+12", 12, 5000},
        {0, "Height=-30", -30, 5000},
        {0, "Height=abc", 0, 5000},
        {0, "Height=99999999999999999999", INT_MAX, 5000},
        {1, "Alt=-99999999999999999999", 4636, INT_MIN},
        {1, "Alt=3500.9", 4636, 3500},
    };
    for (const Case& c : cases) {
        const CAircraft aircraft = Answer(1, AircraftAnswer(c.item, c.text)).ToAircraft();
        EXPECT_EQ(aircraft.height, c.height) << c.text;
        EXPECT_EQ(aircraft.altitude, c.altitude) << c.text;
    }
    EXPECT_DOUBLE_EQ(Answer(1, AircraftAnswer(10, "Lat=-33.9461S")).ToAircraft().GetLatitude(), -33.9461);
    EXPECT_DOUBLE_EQ(Answer(1, AircraftAnswer(10, "Lat=.5")).ToAircraft().GetLatitude(), 0.5);
    EXPECT_DOUBLE_EQ(Answer(1, AircraftAnswer(10, "Lat=1e-400")).ToAircraft().GetLatitude(), 0.0);
    EXPECT_EQ(Answer(1, AircraftAnswer(9, "Vis=1e300")).ToAircraft().visibility, FLT_MAX);
}

TEST(BridgeAircraftAnswer, DecimalPointIsReadUnderACommaLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    const CAircraft aircraft = Answer(1, AircraftAnswer()).ToAircraft();
    const CAircraftFuel fuel = Answer(2,
                                      "NumOfStation=1:FuelWeight=6.7:StationID=3|Name=x|Capacity=1288.5|"
                                      "Level=80.25")
                                   .ToAircraftFuel();
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_DOUBLE_EQ(aircraft.GetLatitude(), 50.0333);
    EXPECT_DOUBLE_EQ(aircraft.ambientWind.speed, 12.5);
    EXPECT_DOUBLE_EQ(fuel.fuelWeight, 6.7);
    ASSERT_EQ(fuel.tanks.size(), 1u);
    EXPECT_DOUBLE_EQ(fuel.tanks[0].level, 80.25);
}

TEST(BridgeDetailAnswer, FillsTheTwelveFieldsAndIgnoresFurtherItems)
{
    const CAircraftDetail detail = Answer(4, std::string(kDetailAnswer) + ":Wingspan=112.6").ToAircraftDetail();
    EXPECT_EQ(detail.name, L"Boeing 737-800 Aerovane Air");
    EXPECT_EQ(detail.type, L"Boeing");
    EXPECT_EQ(detail.Registration, L"D-AVNE");
    EXPECT_EQ(detail.code, L"B738");
    EXPECT_EQ(detail.airline, L"Aerovane Air");
    EXPECT_FLOAT_EQ(detail.EmptyWeight, 91300.0f);
    EXPECT_FLOAT_EQ(detail.auxWeight, 120.5f);
    EXPECT_FLOAT_EQ(detail.maxGrossWeight, 174200.0f);
    EXPECT_FLOAT_EQ(detail.maxTakeOffWeight, 174200.0f);
    EXPECT_FLOAT_EQ(detail.maxLandingWeight, 146300.0f);
    EXPECT_FLOAT_EQ(detail.maxRampWeight, 174700.0f);
    EXPECT_FLOAT_EQ(detail.FuelFlow, 5300.0f);
    EXPECT_TRUE(detail.payload.stations.empty());
    EXPECT_EQ(detail.CruiseAlt, 0);
}

TEST(BridgeDetailAnswer, NamesAreLatin1)
{
    const CAircraftDetail detail
        = Answer(4,
                 "Name=Robin DR400 \xC9"
                 "cole:Type=Robin:Reg=F-GZRB:Model=DR40:Airline=A\xE9roclub:"
                 "EmptyWeight=1190.0:Aux=0.0:MaxGrossWeight=2205.0:MTO=2205.0:MLW=2205.0:MRW=2205.0:"
                 "FuelFlow=60.0")
              .ToAircraftDetail();
    EXPECT_EQ(detail.name, L"Robin DR400 \u00C9cole");
    EXPECT_EQ(detail.airline, L"A\u00E9roclub");
}

TEST(BridgeDetailAnswer, AShortOrMissingItemGivesTheDefaultDetail)
{
    const std::string shortLast
        = std::string(kDetailAnswer).substr(0, std::string(kDetailAnswer).rfind(':')) + ":FuelFlo";
    const std::string elevenItems = std::string(kDetailAnswer).substr(0, std::string(kDetailAnswer).rfind(':'));
    {
        platform::ScopedDebugCapture debug;
        const CAircraftDetail detail = Answer(4, shortLast).ToAircraftDetail();
        EXPECT_EQ(detail.type, L"Unknown");
        EXPECT_TRUE(detail.name.empty()) << "nothing is stored before every item is cut out";
        EXPECT_TRUE(debug.Contains("\nError in Wind::ToWind - "));
    }
    {
        platform::ScopedDebugCapture debug;
        EXPECT_EQ(Answer(4, elevenItems).ToAircraftDetail().type, L"Unknown");
        EXPECT_TRUE(debug.Lines().empty());
    }
}

TEST(BridgeFuelAnswer, ReadsTheTanksTheWriterSends)
{
    CAircraftFuel sent;
    sent.SetFuelWeight(6.7);
    sent.AddTank(CAircraftFuelTank(80.0, 1288.0, 3, L"Left Main"));
    sent.AddTank(CAircraftFuelTank(30.5, 4299.0, 4, L"Center"));
    sent.AddTank(CAircraftFuelTank(80.0, 1288.0, 7, L"Right Main"));
    const CAircraftFuel read = Answer(2, CLinkMessage::FromAircraftFuel(sent)).ToAircraftFuel();
    EXPECT_DOUBLE_EQ(read.fuelWeight, 6.7);
    ASSERT_EQ(read.GetTankCount(), 3);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read.tanks[i].id, sent.tanks[i].id);
        EXPECT_EQ(read.tanks[i].name, sent.tanks[i].name);
        EXPECT_DOUBLE_EQ(read.tanks[i].level, sent.tanks[i].level);
        EXPECT_DOUBLE_EQ(read.tanks[i].capacity, sent.tanks[i].capacity);
    }
}

TEST(BridgeFuelAnswer, MalformedAnswersGiveTheTanksReadBeforeTheFault)
{
    struct Case
    {
        const char* payload;
        std::size_t tanks;
        bool debugLine;
    };
    const Case cases[] = {
        // Two tanks announced, one sent.
        {"NumOfStation=2:FuelWeight=6.7:StationID=3|Name=x|Capacity=50|Level=100", 1, true},
        // The second entry has three fields.
        {"NumOfStation=2:FuelWeight=6.7:StationID=3|Name=x|Capacity=50|Level=100:StationID=4|Name=y|Capacity=50", 1,
         false},
        {"NumOfStation=1:FuelWeight=6.7:StationID=3|Name=x|Capacity=50|Lev", 0, true},
        {"NumOfStation=2147483647:FuelWeight=6.7", 0, true},
        {"NumOfStation=-5:FuelWeight=6.7:StationID=3|Name=x|Capacity=50|Level=100", 0, false},
        {"NumOfStation=1", 0, false},
        {"", 0, false},
    };
    for (const Case& c : cases) {
        platform::ScopedDebugCapture debug;
        const CAircraftFuel fuel = Answer(2, c.payload).ToAircraftFuel();
        EXPECT_EQ(fuel.tanks.size(), c.tanks) << c.payload;
        EXPECT_EQ(debug.Contains("\nError in Wind::ToWind - "), c.debugLine) << c.payload;
    }
    EXPECT_DOUBLE_EQ(Answer(2, cases[0].payload).ToAircraftFuel().fuelWeight, 6.7);
}

TEST(BridgeFuelAnswer, StandardTankNumbersTakeTheirNames)
{
    const CAircraftFuel fuel = Answer(2,
                                      "NumOfStation=2:FuelWeight=6.7:StationID=4|Name=x|Capacity=50|Level=100:"
                                      "StationID=12|Name=Belly|Capacity=20|Level=10")
                                   .ToAircraftFuel();
    ASSERT_EQ(fuel.tanks.size(), 2u);
    EXPECT_EQ(fuel.tanks[0].name, L"Center");
    EXPECT_EQ(fuel.tanks[1].name, L"Belly");
}

TEST(BridgePayloadAnswer, ReadsTheStationsTheWriterSends)
{
    CAircraftPayload sent;
    sent.AddStation(CAircraftPayloadStation(L"Pilot", 170.0f, 300.0f, 1));
    sent.AddStation(CAircraftPayloadStation(L"Forward Cabin", 6800.5f, 12000.0f, 2));
    const CAircraftPayload read = Answer(3, CLinkMessage::FromAircraftPayload(sent)).ToAircraftPayload();
    ASSERT_EQ(read.count, 2);
    ASSERT_EQ(read.stations.size(), 2u);
    EXPECT_EQ(read.stations[1].name, L"Forward Cabin");
    EXPECT_EQ(read.stations[1].type, 2);
    EXPECT_FLOAT_EQ(read.stations[1].weight, 6800.5f);
    EXPECT_FLOAT_EQ(read.stations[1].maxWeight, 12000.0f);
}

TEST(BridgePayloadAnswer, MalformedAnswersGiveTheStationsReadBeforeTheFault)
{
    struct Case
    {
        const char* payload;
        int count;
        bool debugLine;
    };
    const Case cases[] = {
        {"NumOfStation=0", 0, false},
        {"", 0, false},
        {"NumOfStation=2:StationName=Pilot|Type=0|MaxWeight=300|Weight=170", 1, true},
        {"NumOfStation=2:StationName=Pilot|Type=0|MaxWeight=300|Weight=170:StationName=Cargo|Type=0", 1, false},
        {"NumOfStation=1:StationName=Pilot|Type=0|MaxWeight=300|W", 0, true},
        {"Num=1:StationName=Pilot|Type=0|MaxWeight=300|Weight=170", 0, true},
    };
    for (const Case& c : cases) {
        platform::ScopedDebugCapture debug;
        const CAircraftPayload payload = Answer(3, c.payload).ToAircraftPayload();
        EXPECT_EQ(payload.count, c.count) << c.payload;
        EXPECT_EQ(payload.stations.size(), static_cast<std::size_t>(c.count)) << c.payload;
        EXPECT_EQ(debug.Contains("\nError in Wind::ToWind - "), c.debugLine) << c.payload;
    }
}
