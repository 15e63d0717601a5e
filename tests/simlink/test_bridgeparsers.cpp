// Answers of a bridge program read back into aircraft, details, fuel tanks and payload stations.
#include "simlinktestsupport.h"

#include "platform/debugoutput.h"

#include <cfloat>
#include <climits>
#include <clocale>

using namespace aviation::structs;

namespace {

// A bridge beside FSX answering for a 737 climbing out of Frankfurt.
const std::vector<std::string> kAircraftItems
    = {"Height=4636",   "Alt=5000",           "TAS=250",          "GS=240",        "Hdg=249.5",
       "VS=1800",       "AmbWndDir=270.0",    "AmbWndSpeed=12.5", "MagVar=-2.5",   "Vis=20",
       "Lat=50.033300", "Lon=8.570600",       "IsOnGround=0",     "EngineIsOff=0", "LandingLightIsOn=1",
       "DoorIsOpen=0",  "ParkingBrakeIsSet=1"};

const std::string kDetailAnswer = "Name=Boeing 737-800 Aerovane Air:Type=Boeing:Reg=D-AVNE:Model=B738:"
                                  "Airline=Aerovane Air:EmptyWeight=91300.0:Aux=120.5:MaxGrossWeight=174200.0:"
                                  "MTO=174200.0:MLW=146300.0:MRW=174700.0:FuelFlow=5300.0";

// The answer with item `index` replaced (an index past the end replaces nothing), cut to `count` items.
std::string AircraftAnswer(std::size_t index = 99, const std::string& item = {}, std::size_t count = 17)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i ? ":" : "") + (i == index ? item : kAircraftItems[i]);
    return text;
}

CLinkMessage Answer(std::uint8_t subCode, const std::string& payload)
{
    return CLinkMessage(LinkAnsw, subCode, payload.c_str());
}

const std::string kWindError = "\nError in Wind::ToWind - ";

} // namespace

TEST(BridgeAircraftAnswer, FillsEveryFieldOfASeventeenItemAnswer)
{
    // The header parser keeps the line end in the payload; the last flag must still read "1".
    const CAircraft aircraft = CLinkMessage("@ANSW;001;0250;" + AircraftAnswer() + "\r\n").ToAircraft();
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
    EXPECT_FALSE(aircraft.onGround || aircraft.enginesOff || aircraft.doorOpen);
    EXPECT_TRUE(aircraft.landingLights && aircraft.parkingBrake);
}

// Another item count gives the default sample silently; a short item stops the parse there with the debug text,
// and the wind is stored with both its values or not at all.
TEST(BridgeAircraftAnswer, MalformedAnswersStopWhereTheyGoWrong)
{
    struct Case
    {
        std::string payload;
        int height;
        int verticalSpeed;
        double windDirection;
        bool debugLine;
    };
    const Case cases[] = {
        {AircraftAnswer(99, {}, 16), 0, 0, -1.0, false},
        {AircraftAnswer() + ":Extra=1", 0, 0, -1.0, false},
        {"", 0, 0, -1.0, false},
        {AircraftAnswer(0, "Hgt=46"), 0, 0, -1.0, true},
        {AircraftAnswer(5, "V"), 4636, 0, -1.0, true},
        {AircraftAnswer(7, "AmbWndSpd="), 4636, 1800, -1.0, true},
    };
    for (const Case& c : cases) {
        platform::ScopedDebugCapture debug;
        const CAircraft aircraft = Answer(1, c.payload).ToAircraft();
        EXPECT_EQ(aircraft.height, c.height) << c.payload;
        EXPECT_EQ(aircraft.verticalSpeed, c.verticalSpeed) << c.payload;
        EXPECT_EQ(aircraft.ambientWind.direction, c.windDirection) << c.payload;
        EXPECT_EQ(aircraft.ambientWind.speed, -1.0) << c.payload;
        EXPECT_EQ(aircraft.visibility, 9999.0f) << c.payload;
        EXPECT_FALSE(aircraft.parkingBrake) << c.payload;
        EXPECT_EQ(debug.Lines().size(), c.debugLine ? 1u : 0u) << c.payload;
        if (c.debugLine) {
            EXPECT_EQ(debug.Lines()[0].rfind("\nError in CAIRCRAFT::FromString - ", 0), 0u) << debug.Lines()[0];
        }
    }
}

TEST(BridgeAircraftAnswer, ItemsReadAsTheCRuntimeWouldWithoutOverflowing)
{
    const std::tuple<std::size_t, const char*, int, int> numbers[] = {
        {0, "Height= 4636ft", 4636, 5000},
        {0, "Height=+12", 12, 5000},
        {0, "Height=-30", -30, 5000},
        {0, "Height=abc", 0, 5000},
        {0, "Height=99999999999999999999", INT_MAX, 5000},
        {1, "Alt=-99999999999999999999", 4636, INT_MIN},
        {1, "Alt=3500.9", 4636, 3500},
    };
    for (const auto& [item, text, height, altitude] : numbers) {
        const CAircraft aircraft = Answer(1, AircraftAnswer(item, text)).ToAircraft();
        EXPECT_EQ(aircraft.height, height) << text;
        EXPECT_EQ(aircraft.altitude, altitude) << text;
    }
    EXPECT_DOUBLE_EQ(Answer(1, AircraftAnswer(10, "Lat=-33.9461S")).ToAircraft().GetLatitude(), -33.9461);
    EXPECT_DOUBLE_EQ(Answer(1, AircraftAnswer(10, "Lat=.5")).ToAircraft().GetLatitude(), 0.5);
    EXPECT_DOUBLE_EQ(Answer(1, AircraftAnswer(10, "Lat=1e-400")).ToAircraft().GetLatitude(), 0.0);
    EXPECT_EQ(Answer(1, AircraftAnswer(9, "Vis=1e300")).ToAircraft().visibility, FLT_MAX);
    // Only the single character "1" is true.
    for (const auto& [value, expected] : std::initializer_list<std::pair<const char*, bool>>{
             {"1", true}, {"0", false}, {"true", false}, {"01", false}, {" 1", false}, {"", false}}) {
        const CAircraft aircraft = Answer(1, AircraftAnswer(12, std::string("IsOnGround=") + value)).ToAircraft();
        EXPECT_EQ(aircraft.onGround, expected) << '"' << value << '"';
    }
}

TEST(BridgeAircraftAnswer, DecimalPointIsReadUnderACommaLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    const CAircraft aircraft = Answer(1, AircraftAnswer()).ToAircraft();
    const CAircraftFuel fuel
        = Answer(2, "NumOfStation=1:FuelWeight=6.7:StationID=3|Name=x|Capacity=1288.5|Level=80.25").ToAircraftFuel();
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_DOUBLE_EQ(aircraft.GetLatitude(), 50.0333);
    EXPECT_DOUBLE_EQ(aircraft.ambientWind.speed, 12.5);
    EXPECT_DOUBLE_EQ(fuel.fuelWeight, 6.7);
    ASSERT_EQ(fuel.tanks.size(), 1u);
    EXPECT_DOUBLE_EQ(fuel.tanks[0].level, 80.25);
}

TEST(BridgeDetailAnswer, FillsTheTwelveFieldsOrNothing)
{
    const CAircraftDetail detail = Answer(4, kDetailAnswer + ":Wingspan=112.6").ToAircraftDetail();
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

    // Names are Latin-1.
    const CAircraftDetail robin = Answer(4,
                                         "Name=Robin DR400 \xC9"
                                         "cole:Type=Robin:Reg=F-GZRB:Model=DR40:Airline=A\xE9roclub:"
                                         "EmptyWeight=1190.0:Aux=0.0:MaxGrossWeight=2205.0:MTO=2205.0:MLW=2205.0:"
                                         "MRW=2205.0:FuelFlow=60.0")
                                      .ToAircraftDetail();
    EXPECT_EQ(robin.name, L"Robin DR400 \u00C9cole");
    EXPECT_EQ(robin.airline, L"A\u00E9roclub");

    // A short last item or a missing one: the default detail, the first with the debug text.
    const std::string elevenItems = kDetailAnswer.substr(0, kDetailAnswer.rfind(':'));
    for (const auto& [payload, debugLine] :
         {std::make_pair(elevenItems + ":FuelFlo", true), std::make_pair(elevenItems, false)}) {
        platform::ScopedDebugCapture debug;
        const CAircraftDetail failed = Answer(4, payload).ToAircraftDetail();
        EXPECT_EQ(failed.type, L"Unknown");
        EXPECT_TRUE(failed.name.empty()) << "nothing is stored before every item is cut out";
        EXPECT_EQ(debug.Contains(kWindError), debugLine);
    }
}

TEST(BridgeFuelAnswer, MalformedAnswersGiveTheTanksReadBeforeTheFault)
{
    const std::tuple<const char*, std::size_t, bool> cases[] = {
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
    for (const auto& [payload, tanks, debugLine] : cases) {
        platform::ScopedDebugCapture debug;
        const CAircraftFuel fuel = Answer(2, payload).ToAircraftFuel();
        EXPECT_EQ(fuel.tanks.size(), tanks) << payload;
        EXPECT_EQ(debug.Contains(kWindError), debugLine) << payload;
    }
}

TEST(BridgePayloadAnswer, MalformedAnswersGiveTheStationsReadBeforeTheFault)
{
    const std::tuple<const char*, int, bool> cases[] = {
        {"NumOfStation=0", 0, false},
        {"", 0, false},
        {"NumOfStation=2:StationName=Pilot|Type=0|MaxWeight=300|Weight=170", 1, true},
        {"NumOfStation=2:StationName=Pilot|Type=0|MaxWeight=300|Weight=170:StationName=Cargo|Type=0", 1, false},
        {"NumOfStation=1:StationName=Pilot|Type=0|MaxWeight=300|W", 0, true},
        {"Num=1:StationName=Pilot|Type=0|MaxWeight=300|Weight=170", 0, true},
    };
    for (const auto& [answer, count, debugLine] : cases) {
        platform::ScopedDebugCapture debug;
        const CAircraftPayload payload = Answer(3, answer).ToAircraftPayload();
        EXPECT_EQ(payload.count, count) << answer;
        EXPECT_EQ(payload.stations.size(), static_cast<std::size_t>(count)) << answer;
        EXPECT_EQ(debug.Contains(kWindError), debugLine) << answer;
    }
}
