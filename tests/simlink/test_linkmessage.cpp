// Frames of the bridge protocol and the payloads of its write requests, byte for byte as a bridge program reads
// them, whatever the locale.
#include "simlinktestsupport.h"

#include "platform/debugoutput.h"

#include <algorithm>
#include <clocale>
#include <cstring>

using namespace aviation::structs;
using aviation::weather::CWind;

namespace {

const char kDefaultXPlaneText[]
    = "Press=29.92:Vis=80000.0:Temp=15.0:Dew=5.0:RainPercent=0.0:ThunderstromPercent=0.000000:"
      "WindTurbulencePercent=0.000000:RateChangePercent=0.0:WaveDir=0:WaveHeight=0.0:WaveSpeed=0.0:"
      "WaveLenght=0.0:Cloudlayer{Type=0:Coverage=0:Base=0:Top=0|Type=0:Coverage=0:Base=0:Top=0|Type=0:"
      "Coverage=0:Base=0:Top=0|}:WindLayer{Alt=0:Dir=0.0:Speed=0:Turbulence=0.0:ShearDir=0.0:ShearSpeed=0.0|"
      "Alt=0:Dir=0.0:Speed=0:Turbulence=0.0:ShearDir=0.0:ShearSpeed=0.0|Alt=0:Dir=0.0:Speed=0:Turbulence=0.0:"
      "ShearDir=0.0:ShearSpeed=0.0|}";

const char kMunichText[]
    = "Command=2:Flag=0:Signature=0:Icao=EDDM:Dynamic=0:Seconds=0:Lat=0.000000:Lon=0.000000:Elev=29702178:"
      "Timestamp=0:Press=16336:Drift=-1:UpperAlt=553:LowerAlt=-100:Range=6281:"
      "nTempCtr=3:nWindCtr=3:nCloudCtr=1:nUpperVisCtr=1:"
      "TempLayer{Alt=463:Day=6:DayNightVar=0:Dew=1|Alt=663:Day=5:DayNightVar=0:Dew=0|"
      "Alt=1524:Day=-2:DayNightVar=0:Dew=-9|}:"
      "WindLayer{UpperAlt=553:Speed=8:Gust=5:Dir=43690:Turbulence=1:Shear=0:Variance=3640:SpeedFract=65000:"
      "CapAbove=500|UpperAlt=753:Speed=10:Gust=5:Dir=46421:Turbulence=1:Shear=0:Variance=3640:"
      "SpeedFract=65000:CapAbove=500|UpperAlt=1524:Speed=25:Gust=0:Dir=65535:Turbulence=0:Shear=0:"
      "Variance=0:SpeedFract=0:CapAbove=0|}:"
      "VisLayer{UpperAlt=5000:LowerAlt=554:Range=6381|}:"
      "CloudLayer{UpperAlt=1673:LowerAlt=1673:Dev=0:Cover=6:Type=8:Turbulence=0:Icing=0:PrecipBase=0:"
      "PrecipType=0:PrecipRate=0:TopShape=0|}";

// Every write request of the table below, framed.
std::vector<std::string> WriteFrames()
{
    CAircraftFuel fuel;
    fuel.SetFuelWeight(6.7);
    fuel.AddTank(CAircraftFuelTank(50.0, 100.0, 3, L""));
    fuel.AddTank(CAircraftFuelTank(12.5, 19.25, 12, L"Ferry,aft"));
    CAircraftPayload payload;
    payload.AddStation(CAircraftPayloadStation(L"Row 1,2", 340.0f, 680.0f, 2));
    payload.AddStation(CAircraftPayloadStation(L"Cargo", 1250.5f, 3000.0f, 3));
    CXPWeather xplane;
    xplane.Press = 30.12f;
    xplane.Temp = -3.25f;
    xplane.ThunderstromPercent = 0.25f;
    xplane.Cloudlayer[0] = {3, 2.5f, 1219.2f, 2438.6f};
    xplane.WindLayer[1] = {3048.4f, 265.06f, 35.5f, 1.2f, 10.0f, 4.0f};
    return {CLinkMessage::Read(LinkSubCode::ReadAircraft).ToString(),
            CLinkMessage::Logout().ToString(),
            CLinkMessage::Hello(1002).ToString(),
            CLinkMessage::ClientVersion(1002).ToString(),
            CLinkMessage(LinkWrit, LinkSubCode::ClearWeather, "").ToString(),
            CLinkMessage(LinkWrit, LinkSubCode::WriteMetar, "EDDM 071020Z 24008KT CAVOK 06/01 Q1021").ToString(),
            CLinkMessage(LinkWrit, CAircraftFuel()).ToString(),
            CLinkMessage(LinkWrit, fuel).ToString(),
            CLinkMessage(LinkWrit, CAircraftPayload()).ToString(),
            CLinkMessage(LinkWrit, payload).ToString(),
            CLinkMessage(LinkWrit, CWind(270.0, 15.0)).ToString(),
            CLinkMessage(LinkWrit, CWind(95.125, 22.5, 31.0)).ToString(),
            CLinkMessage(LinkWrit, CNewWeather()).ToString(),
            CLinkMessage(LinkWrit, MunichStation()).ToString(),
            CLinkMessage(LinkWrit, CXPWeather(), LinkSubCode::WriteXPlaneWind).ToString(),
            CLinkMessage(LinkWrit, xplane, LinkSubCode::WriteXPlaneWeather).ToString()};
}

} // namespace

TEST(LinkMessage, FramesAreWrittenByteForByteUnderAnyLocale)
{
    const std::vector<std::string> expected = {
        "@READ;001;0000;",
        "@QUIT;082;0006;Logout",
        "@HELO;000;0043;ClientName=Aerovanev2:ClientAPIVersion=1002",
        "@COFS;080;0018;ClientVersion=1002",
        "@WRIT;081;0000;",
        "@WRIT;007;0038;EDDM 071020Z 24008KT CAVOK 06/01 Q1021",
        "@WRIT;002;0034;NumOfStation=0:FuelWeight=0.000000",
        "@WRIT;002;0160;NumOfStation=2:FuelWeight=6.700000:StationID=3|Name=Left Main|Capacity=100.000000|"
        "Level=50.000000:StationID=12|Name=Ferry.aft|Capacity=19.250000|Level=12.500000",
        "@WRIT;003;0014;NumOfStation=0",
        "@WRIT;003;0146;NumOfStation=2:StationName=Row 1.2|Type=2|MaxWeight=680.000000|Weight=340.000000"
        ":StationName=Cargo|Type=3|MaxWeight=3000.000000|Weight=1250.500000",
        "@WRIT;005;0032;Dir=270.00:Speed=15.00:Gust=0.00",
        "@WRIT;005;0032;Dir=95.12:Speed=22.50:Gust=31.00",
        "@WRIT;006;0245;Command=0:Flag=0:Signature=0:Icao=:Dynamic=0:Seconds=0:Lat=0.000000:Lon=0.000000:Elev=0:"
        "Timestamp=0:Press=1013:Drift=0:UpperAlt=0:LowerAlt=0:Range=0:nTempCtr=0:nWindCtr=0:nCloudCtr=0:"
        "nUpperVisCtr=0:TempLayer{}:WindLayer{}:VisLayer{}:CloudLayer{}",
        std::string("@WRIT;006;0832;") + kMunichText,
        std::string("@WRIT;011;0506;") + kDefaultXPlaneText,
        "@WRIT;008;0519;Press=30.12:Vis=80000.0:Temp=-3.2:Dew=5.0:RainPercent=0.0:ThunderstromPercent=0.250000:"
        "WindTurbulencePercent=0.000000:RateChangePercent=0.0:WaveDir=0:WaveHeight=0.0:WaveSpeed=0.0:"
        "WaveLenght=0.0:Cloudlayer{Type=3:Coverage=2:Base=1219:Top=2439|Type=0:Coverage=0:Base=0:Top=0|Type=0:"
        "Coverage=0:Base=0:Top=0|}:WindLayer{Alt=0:Dir=0.0:Speed=0:Turbulence=0.0:ShearDir=0.0:ShearSpeed=0.0|"
        "Alt=3048:Dir=265.1:Speed=36:Turbulence=1.2:ShearDir=10.0:ShearSpeed=4.0|Alt=0:Dir=0.0:Speed=0:"
        "Turbulence=0.0:ShearDir=0.0:ShearSpeed=0.0|}",
    };
    EXPECT_EQ(WriteFrames(), expected);

    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    char probe[16];
    std::snprintf(probe, sizeof(probe), "%.1f", 1.5);
    const std::vector<std::string> german = WriteFrames();
    std::setlocale(LC_NUMERIC, previous.c_str());
    ASSERT_STREQ(probe, "1,5") << "the locale in force should write decimal commas";
    EXPECT_EQ(german, expected);
}

TEST(LinkMessage, NewBlockIsZeroExceptPressureAndFourLetterIcaoEndsAtItsField)
{
    CNewWeather block;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&block);
    EXPECT_EQ(std::count(bytes, bytes + sizeof(block), 0), 1022);
    EXPECT_EQ(block.Press, 1013);

    std::memcpy(block.Icao, "LOWI", 4);
    block.Dynamic = 0x4141;
    block.Signature = 0xFFFFFFFFu;
    block.Timestamp = 0x80000000u;
    const std::string text = CLinkMessage::FromNewWeather(block);
    EXPECT_EQ(text.substr(0, 67), "Command=0:Flag=0:Signature=-1:Icao=LOWI:Dynamic=16705:Seconds=0:Lat");
    EXPECT_NE(text.find(":Timestamp=-2147483648:"), std::string::npos);
}

TEST(LinkMessage, ReceivedHeadersAreParsed)
{
    const std::tuple<std::string, int, int, int, std::string> cases[] = {
        {"@ANSW;001;0005;Hello\n", LinkAnsw, 1, 5, "Hello\n"},
        {"@answ;001;0000;x", LinkNoCommand, 1, 0, "x"},
        {"@ANSW;300;0000;", LinkAnsw, 44, 0, ""},
        {"@FSST;080;0009;FS=3:SC=1\n", LinkFsst, 80, 9, "FS=3:SC=1\n"},
        {"@QUIT;082;0006;Logout", LinkQuit, 82, 6, "Logout"},
        {"@WRIT;006;0999;abc", LinkWrit, 6, 999, "abc"},
        {"@READ; 2x;12ab;", LinkRead, 2, 12, ""},
        {"", LinkNoCommand, 0, 0, ""},
        {"@ANSW;001;000", LinkNoCommand, 0, 0, ""},
        {"ANSW;001;0005;Hello", LinkNoCommand, 0, 0, ""},
        {"HTTP/1.1 400 Bad Request\r\n", LinkNoCommand, 0, 0, ""},
    };
    for (const auto& [received, command, subCode, length, payload] : cases) {
        const CLinkMessage message(received);
        EXPECT_EQ(message.GetCommand(), command) << received;
        EXPECT_EQ(message.GetSubCode(), subCode) << received;
        EXPECT_EQ(message.GetLength(), length) << received;
        EXPECT_EQ(message.GetPayload(), payload) << received;
    }
    EXPECT_EQ(CLinkMessage(std::string("@ANSW;004;0003;Hello")).ToString(), "@ANSW;004;0003;Hello");
    for (int command : {int(LinkNoCommand), 8, -1})
        EXPECT_EQ(CLinkMessage(static_cast<LinkCommand>(command), 0, nullptr).ToString(), "@NCMD;000;0000;");
}

TEST(LinkMessage, PayloadTooLongForTheLengthFieldIsRefusedWithOneDebugLine)
{
    const std::string longest(CLinkMessage::kMaxPayloadLength, 'x');
    EXPECT_EQ(CLinkMessage(LinkWrit, LinkSubCode::WriteMetar, longest.c_str()).ToString(), "@WRIT;007;9999;" + longest);

    platform::ScopedDebugCapture capture;
    const std::string payload(CLinkMessage::kMaxPayloadLength + 1, 'x');
    const CLinkMessage message(LinkWrit, LinkSubCode::WriteMetar, payload.c_str());
    EXPECT_EQ(message.ToString(), "");
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_TRUE(capture.Contains("10000"));
}

TEST(LinkMessage, OverlongTankNameIsCut)
{
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(50.0, 100.0, 12, std::wstring(5000, L'N')));
    const std::string text = CLinkMessage::FromAircraftFuel(fuel);
    EXPECT_EQ(text.size(), std::string("NumOfStation=1:FuelWeight=0.000000").size() + 999);
    EXPECT_EQ(text.substr(text.size() - 36), "|Capacity=100.000000|Level=50.000000");
}

// A block read back from elsewhere may carry any counters: they are reported as they are, but no list holds more
// entries than the block has room for, and the widest block still fits one frame.
TEST(LinkMessage, CountersOfAForeignBlockAreClampedToTheBlock)
{
    CNewWeather block;
    std::memset(static_cast<void*>(&block), 0xFF, sizeof(block));
    block.Lat = -89.999999;
    block.Lon = -179.999999;
    block.nTempCtr = 1000;
    block.nWindCtr = 0x7FFFFFFF;
    block.nCloudCtr = 17;
    block.nUpperVisCtr = 15;
    const std::string text = CLinkMessage::FromNewWeather(block);
    auto layersOf = [&text](const std::string& list) {
        const std::size_t begin = text.find(list + "{");
        return std::count(text.begin() + begin, text.begin() + text.find('}', begin), '|');
    };
    EXPECT_EQ(layersOf("TempLayer"), CNewWeather::kMaxTempLayers);
    EXPECT_EQ(layersOf("WindLayer"), CNewWeather::kMaxWindLayers);
    EXPECT_EQ(layersOf("CloudLayer"), CNewWeather::kMaxCloudLayers);
    EXPECT_EQ(layersOf("VisLayer"), CNewWeather::kMaxUpperVisLayers);
    EXPECT_NE(text.find("nTempCtr=1000:nWindCtr=2147483647:nCloudCtr=17:nUpperVisCtr=15:"), std::string::npos);
    EXPECT_FALSE(CLinkMessage(LinkWrit, block).ToString().empty());

    block.nTempCtr = -3;
    EXPECT_NE(CLinkMessage::FromNewWeather(block).find("TempLayer{}:"), std::string::npos);
}

// Line feeds (frame ends), ":" and "|" (item separators) in names and texts are replaced when written.
TEST(LinkMessage, SeparatorsInNamesAndTextsCannotSplitOrShiftAFrame)
{
    for (const std::wstring& name : {std::wstring(L"Left\nMain"), std::wstring(L"Aux:Level=99"),
                                     std::wstring(L"Centre|Capacity=1"), std::wstring(L"Tip\r\n")}) {
        CAircraftFuel fuel;
        fuel.AddTank(CAircraftFuelTank(50.0, 100.0, 12, name));
        fuel.AddTank(CAircraftFuelTank(12.5, 19.25, 3, L"Right"));
        const std::string frame = CLinkMessage(LinkWrit, fuel).ToString();
        EXPECT_EQ(frame.find_first_of("\r\n"), std::string::npos);
        const CAircraftFuel back = CLinkMessage(frame).ToAircraftFuel();
        ASSERT_EQ(back.GetTankCount(), 2);
        EXPECT_DOUBLE_EQ(back.GetTank(12).capacity, 100.0);
        EXPECT_DOUBLE_EQ(back.GetTank(12).level, 50.0);
        EXPECT_DOUBLE_EQ(back.GetTank(3).level, 12.5);
    }
    const std::string text = CLinkMessage(LinkWrit, LinkSubCode::WriteText, "Update\nWeather\r").ToString();
    EXPECT_EQ(text, "@WRIT;013;0015;Update Weather ");
}
