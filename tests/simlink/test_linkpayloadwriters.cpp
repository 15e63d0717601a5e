// Payloads of the bridge's write requests, byte for byte as a bridge program reads them, whatever the locale.
#include "simlink/linkmessage.h"

#include "platform/debugoutput.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <functional>

using namespace aviation::structs;

namespace {

const char kDefaultXPlaneText[]
    = "Press=29.92:Vis=80000.0:Temp=15.0:Dew=5.0:RainPercent=0.0:ThunderstromPercent=0.000000:"
      "WindTurbulencePercent=0.000000:RateChangePercent=0.0:WaveDir=0:WaveHeight=0.0:WaveSpeed=0.0:"
      "WaveLenght=0.0:Cloudlayer{Type=0:Coverage=0:Base=0:Top=0|Type=0:Coverage=0:Base=0:Top=0|Type=0:"
      "Coverage=0:Base=0:Top=0|}:WindLayer{Alt=0:Dir=0.0:Speed=0:Turbulence=0.0:ShearDir=0.0:ShearSpeed=0.0|"
      "Alt=0:Dir=0.0:Speed=0:Turbulence=0.0:ShearDir=0.0:ShearSpeed=0.0|Alt=0:Dir=0.0:Speed=0:Turbulence=0.0:"
      "ShearDir=0.0:ShearSpeed=0.0|}";

// Munich as weather generation fills it: two surface temperature layers, the two surface wind layers and one
// grid level, a broken layer at 4000 ft, and five upper visibility layers.
CNewWeather MunichStation()
{
    CNewWeather block;
    block.Command = 2;
    std::memcpy(block.Icao, "EDDM", 4);
    block.Elev = 29702178;
    block.Press = 16336;
    block.Drift = -1;
    block.Vis = {553, -100, 6281, 0};
    block.nTempCtr = 3;
    block.TempLayer[0] = {463, 6, 0, 1};
    block.TempLayer[1] = {663, 5, 0, 0};
    block.TempLayer[2] = {1524, -2, 0, -9};
    block.nWindCtr = 3;
    block.WindLayer[0] = {553, 8, 5, 43690, 1, 0, 3640, 65000, 500};
    block.WindLayer[1] = {753, 10, 5, 46421, 1, 0, 3640, 65000, 500};
    block.WindLayer[2] = {1524, 25, 0, 65535, 0, 0, 0, 0, 0};
    block.nCloudCtr = 1;
    block.CloudLayer[0] = {1673, 1673, 0, 6, 8, 0, 0, 0, 0, 0, 0, 0};
    block.nUpperVisCtr = 1;
    block.UpperVis[0] = {5000, 554, 6381, 0};
    return block;
}

// Runs `check` under a comma-decimal locale, restoring the previous one afterwards.
void UnderGermanLocale(const std::function<void()>& check)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    check();
    std::setlocale(LC_NUMERIC, previous.c_str());
}

} // namespace

TEST(LinkPayloadWriters, FuelTanksAreWrittenWithStationIdsAndSixDecimals)
{
    CAircraftFuel fuel;
    fuel.SetFuelWeight(6.7);
    EXPECT_EQ(CLinkMessage::FromAircraftFuel(fuel), "NumOfStation=0:FuelWeight=6.700000");

    fuel.AddTank(CAircraftFuelTank(50.0, 100.0, 3, L""));
    EXPECT_EQ(CLinkMessage::FromAircraftFuel(fuel),
              "NumOfStation=1:FuelWeight=6.700000:StationID=3|Name=Left Main|Capacity=100.000000|Level=50.000000");

    fuel.AddTank(CAircraftFuelTank(12.5, 19.25, 12, L"Ferry,aft"));
    EXPECT_EQ(CLinkMessage::FromAircraftFuel(fuel),
              "NumOfStation=2:FuelWeight=6.700000:StationID=3|Name=Left Main|Capacity=100.000000|Level=50.000000"
              ":StationID=12|Name=Ferry.aft|Capacity=19.250000|Level=12.500000");
}

TEST(LinkPayloadWriters, OverlongTankNameIsCutAndReported)
{
    platform::ScopedDebugCapture capture;
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(50.0, 100.0, 12, std::wstring(5000, L'N')));
    const std::string text = CLinkMessage::FromAircraftFuel(fuel);
    const std::string head = "NumOfStation=1:FuelWeight=0.000000";
    EXPECT_EQ(text.size(), head.size() + 999);
    EXPECT_EQ(text.substr(text.size() - 36), "|Capacity=100.000000|Level=50.000000");
    EXPECT_TRUE(capture.Contains("(Message failed. Sprintf in FromAircraftFuel\n"));
}

TEST(LinkPayloadWriters, PayloadStationsAreWrittenByName)
{
    CAircraftPayload payload;
    EXPECT_EQ(CLinkMessage::FromAircraftPayload(payload), "NumOfStation=0");
    payload.AddStation(CAircraftPayloadStation(L"Row 1,2", 340.0f, 680.0f, 2));
    payload.AddStation(CAircraftPayloadStation(L"Cargo", 1250.5f, 3000.0f, 3));
    EXPECT_EQ(CLinkMessage::FromAircraftPayload(payload),
              "NumOfStation=2:StationName=Row 1.2|Type=2|MaxWeight=680.000000|Weight=340.000000"
              ":StationName=Cargo|Type=3|MaxWeight=3000.000000|Weight=1250.500000");
}

TEST(LinkPayloadWriters, WindHasTwoDecimals)
{
    EXPECT_EQ(CLinkMessage::FromWind(aviation::weather::CWind(270.0, 15.0)), "Dir=270.00:Speed=15.00:Gust=0.00");
    EXPECT_EQ(CLinkMessage::FromWind(aviation::weather::CWind(95.125, 22.5, 31.0)), "Dir=95.12:Speed=22.50:Gust=31.00");
    EXPECT_EQ(CLinkMessage(LinkWrit, aviation::weather::CWind(270.0, 15.0)).ToString(),
              "@WRIT;005;0032;Dir=270.00:Speed=15.00:Gust=0.00");
}

TEST(LinkPayloadWriters, EmptyNewWeatherBlockWritesEmptyLists)
{
    CNewWeather block;
    EXPECT_EQ(CLinkMessage::FromNewWeather(block),
              "Command=0:Flag=0:Signature=0:Icao=:Dynamic=0:Seconds=0:Lat=0.000000:Lon=0.000000:Elev=0:Timestamp=0:"
              "Press=1013:Drift=0:UpperAlt=0:LowerAlt=0:Range=0:nTempCtr=0:nWindCtr=0:nCloudCtr=0:nUpperVisCtr=0:"
              "TempLayer{}:WindLayer{}:VisLayer{}:CloudLayer{}");
}

TEST(LinkPayloadWriters, StationBlockIsWrittenFieldByField)
{
    const std::string expected
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
    const CNewWeather block = MunichStation();
    EXPECT_EQ(CLinkMessage::FromNewWeather(block), expected);
    EXPECT_EQ(CLinkMessage(LinkWrit, block).ToString(),
              "@WRIT;006;0832;" + expected);
}

TEST(LinkPayloadWriters, IcaoOfFourLettersEndsAtItsField)
{
    CNewWeather block;
    std::memcpy(block.Icao, "LOWI", 4);
    block.Dynamic = 0x4141;
    block.Signature = 0xFFFFFFFFu;
    block.Timestamp = 0x80000000u;
    const std::string text = CLinkMessage::FromNewWeather(block);
    EXPECT_EQ(text.substr(0, 67), "Command=0:Flag=0:Signature=-1:Icao=LOWI:Dynamic=16705:Seconds=0:Lat");
    EXPECT_NE(text.find(":Timestamp=-2147483648:"), std::string::npos);
}

// A block read back from elsewhere may carry any counters: the counters are reported as they are, but no list
// holds more entries than the block has room for.
TEST(LinkPayloadWriters, CountersOfForeignBlockAreClampedToTheBlock)
{
    CNewWeather block;
    block.nTempCtr = 1000;
    block.nWindCtr = 0x7FFFFFFF;
    block.nCloudCtr = 17;
    block.nUpperVisCtr = 15;
    const std::string text = CLinkMessage::FromNewWeather(block);
    auto layersOf = [&text](const std::string& list) {
        const std::size_t begin = text.find(list + "{");
        const std::size_t end = text.find('}', begin);
        return std::count(text.begin() + begin, text.begin() + end, '|');
    };
    EXPECT_EQ(layersOf("TempLayer"), CNewWeather::kMaxTempLayers);
    EXPECT_EQ(layersOf("WindLayer"), CNewWeather::kMaxWindLayers);
    EXPECT_EQ(layersOf("CloudLayer"), CNewWeather::kMaxCloudLayers);
    EXPECT_EQ(layersOf("VisLayer"), CNewWeather::kMaxUpperVisLayers);
    EXPECT_NE(text.find("nTempCtr=1000:nWindCtr=2147483647:nCloudCtr=17:nUpperVisCtr=15:"), std::string::npos);

    block.nTempCtr = -3;
    EXPECT_NE(CLinkMessage::FromNewWeather(block).find("TempLayer{}:"), std::string::npos);
}

TEST(LinkPayloadWriters, FullBlockAtWidestValuesStillFitsOneFrame)
{
    CNewWeather block;
    std::memset(static_cast<void*>(&block), 0xFF, sizeof(block));
    block.Lat = -89.999999;
    block.Lon = -179.999999;
    block.nTempCtr = CNewWeather::kMaxTempLayers;
    block.nWindCtr = CNewWeather::kMaxWindLayers;
    block.nCloudCtr = CNewWeather::kMaxCloudLayers;
    block.nUpperVisCtr = CNewWeather::kMaxUpperVisLayers;
    const CLinkMessage message(LinkWrit, block);
    EXPECT_LE(message.GetLength(), CLinkMessage::kMaxPayloadLength);
    EXPECT_FALSE(message.ToString().empty());
}

TEST(LinkPayloadWriters, DefaultXPlaneRecordGivesItsFixedText)
{
    const CXPWeather xplane;
    EXPECT_EQ(CLinkMessage::FromXPWeather(xplane), kDefaultXPlaneText);
    EXPECT_EQ(CLinkMessage::FromXPWeather(xplane).size(), 506u);
    EXPECT_EQ(CLinkMessage(LinkWrit, xplane, LinkSubCode::WriteXPlaneWind).ToString().substr(0, 15), "@WRIT;011;0506;");
}

TEST(LinkPayloadWriters, XPlaneLayersAreRoundedAsTheirFormatsSay)
{
    CXPWeather xplane;
    xplane.Press = 30.12f;
    xplane.Temp = -3.25f;
    xplane.ThunderstromPercent = 0.25f;
    xplane.Cloudlayer[0] = {3, 2.5f, 1219.2f, 2438.6f};
    xplane.WindLayer[1] = {3048.4f, 265.06f, 35.5f, 1.2f, 10.0f, 4.0f};
    const std::string text = CLinkMessage::FromXPWeather(xplane);
    EXPECT_EQ(text.substr(0, 38), "Press=30.12:Vis=80000.0:Temp=-3.2:Dew=");
    EXPECT_NE(text.find(":ThunderstromPercent=0.250000:"), std::string::npos);
    EXPECT_NE(text.find("Cloudlayer{Type=3:Coverage=2:Base=1219:Top=2439|"), std::string::npos);
    EXPECT_NE(text.find("|Alt=3048:Dir=265.1:Speed=36:Turbulence=1.2:ShearDir=10.0:ShearSpeed=4.0|"),
              std::string::npos);
}

TEST(LinkPayloadWriters, CommaDecimalLocaleChangesNoByte)
{
    CAircraftFuel fuel;
    fuel.SetFuelWeight(6.7);
    fuel.AddTank(CAircraftFuelTank(50.0, 100.0, 3, L""));
    CAircraftPayload payload;
    payload.AddStation(CAircraftPayloadStation(L"Cargo", 1250.5f, 3000.0f, 3));
    const aviation::weather::CWind wind(270.0, 15.5, 22.25);
    const CNewWeather block = MunichStation();
    CXPWeather xplane;
    xplane.WindLayer[0].Turbulence = 0.35f;

    const std::string expected[] = {CLinkMessage(LinkWrit, fuel).ToString(),
                                    CLinkMessage(LinkWrit, payload).ToString(),
                                    CLinkMessage(LinkWrit, wind).ToString(),
                                    CLinkMessage(LinkWrit, block).ToString(),
                                    CLinkMessage(LinkWrit, xplane, LinkSubCode::WriteXPlaneWeather).ToString(),
                                    CLinkMessage::Hello(1002).ToString()};
    UnderGermanLocale([&] {
        char probe[16];
        std::snprintf(probe, sizeof(probe), "%.1f", 1.5);
        ASSERT_STREQ(probe, "1,5") << "the locale in force should write decimal commas";
        EXPECT_EQ(CLinkMessage(LinkWrit, fuel).ToString(), expected[0]);
        EXPECT_EQ(CLinkMessage(LinkWrit, payload).ToString(), expected[1]);
        EXPECT_EQ(CLinkMessage(LinkWrit, wind).ToString(), expected[2]);
        EXPECT_EQ(CLinkMessage(LinkWrit, block).ToString(), expected[3]);
        EXPECT_EQ(CLinkMessage(LinkWrit, xplane, LinkSubCode::WriteXPlaneWeather).ToString(), expected[4]);
        EXPECT_EQ(CLinkMessage::Hello(1002).ToString(), expected[5]);
        EXPECT_EQ(CLinkMessage::FromXPWeather(CXPWeather()), kDefaultXPlaneText);
    });
    EXPECT_EQ(expected[2], "@WRIT;005;0033;Dir=270.00:Speed=15.50:Gust=22.25");
}
