// The extended METAR observation text of one station, written from its report and its filled block.

#include "weatherrecordtest.h"

#include "generation/extendedmetar.h"
#include "generation/newweatherbuilder.h"

#include <gtest/gtest.h>

#include <string>

using namespace aviation::weather;
using namespace recordtest;

namespace {

const std::wstring kReport = L"EDDF 061250Z 27015KT 9999 FEW040 12/08 Q1015";

// A block with one surface wind, a surface visibility and no other layer.
CNewWeather BareBlock()
{
    CNewWeather block;
    block.nWindCtr = 1;
    block.WindLayer[0].Dir = 49152;
    block.WindLayer[0].Speed = 15;
    block.WindLayer[0].UpperAlt = 210;
    block.Vis.LowerAlt = -100;
    block.Vis.UpperAlt = 720;
    block.Vis.Range = 3977;
    return block;
}

std::string Text(const CNewWeather& block, const std::wstring& report = kReport, int elevation = kFrankfurtElevation)
{
    return MakeExtendedMetar(Set(Metar(report, elevation)), block).toStdString();
}

class ExtendedMetar : public WeatherRecordTest
{
};

} // namespace

TEST_F(ExtendedMetar, TurbulenceLetters)
{
    const std::pair<int, const char*> cases[]
        = {{0, "N"}, {1, "L"}, {2, "M"}, {3, "H"}, {4, "S"}, {5, "N"}, {255, "N"}};
    for (const auto& [turbulence, letter] : cases)
        EXPECT_EQ(GetTurbulenceLetter(static_cast<std::uint8_t>(turbulence)).toStdString(), letter) << turbulence;
}

TEST_F(ExtendedMetar, SurfaceWindGroup)
{
    struct Case
    {
        std::uint16_t dir, speed, gust, upper;
        std::uint8_t turbulence;
        std::uint16_t variance;
        const char* group;
    };
    const Case cases[] = {
        {49152, 15, 0, 600, 2, 0, "27015KT&D600MG "},
        {49152, 15, 10, 600, 2, 0, "27015G25KT&D600MG "},
        {0, 5, 0, 210, 0, 7282, "00005KT&D210NG 340V020 "},
        {0, 5, 0, 210, 0, 7281, "00005KT&D210NG 341V019 "},
        {32768, 4, 5, 210, 1, 3640, "18004G09KT&D210LG 170V189 "}, // 19 degrees wide,
        {65535, 120, 0, 0, 4, 0, "359120KT&D0SG "},
        {182, 3, 5, 210, 9, 65353, "00003G08KT&D210NG 181V179 "}, // variable wind,
    };
    for (const Case& c : cases) {
        CNewWeather block = BareBlock();
        NewWindLayer& wind = block.WindLayer[0];
        wind.Dir = c.dir;
        wind.Speed = c.speed;
        wind.Gust = c.gust;
        wind.UpperAlt = c.upper;
        wind.Turbulence = c.turbulence;
        wind.Variance = c.variance;
        const std::string text = Text(block);
        EXPECT_EQ(text.substr(0, 13), "EDDF 061250Z ");
        EXPECT_EQ(text.substr(13, std::string(c.group).size()), c.group) << text;
    }
}

TEST_F(ExtendedMetar, WindsAloftFollowTheSurfaceWind)
{
    CNewWeather block = BareBlock();
    block.nWindCtr = 3;
    block.WindLayer[1] = block.WindLayer[0];
    block.WindLayer[1].Dir = 51883; // 285.0 degrees
    block.WindLayer[1].Speed = 17;
    block.WindLayer[1].UpperAlt = 410;
    block.WindLayer[1].Variance = 3640;
    block.WindLayer[2].Dir = 50972; // 279.99 degrees
    block.WindLayer[2].Speed = 45;
    block.WindLayer[2].Gust = 15;
    block.WindLayer[2].UpperAlt = 1437;
    block.WindLayer[2].Turbulence = 3;
    EXPECT_EQ(Text(block).substr(13, 74), "27015KT&D210NG 28517KT&A410NG 275V294 27945G60KT&A1437HG 63KM&B-100&D0820 ");
}

TEST_F(ExtendedMetar, VisibilityGroups)
{
    struct Case
    {
        std::uint16_t range;
        std::string group;
    };
    const Case cases[] = {
        {6214, "99KM&B-100&D0820 "}, // just under 99 km
        {4971, "79KM&B-100&D0820 "}, {628, "9998M&B-100&D0820 "},
        {372, "5922M&B-100&D0820 "}, {50, "0796M&B-100&D0820 "},
    };
    for (const Case& c : cases) {
        CNewWeather block = BareBlock();
        block.Vis.Range = c.range;
        const std::string text = Text(block);
        EXPECT_NE(text.find(" " + c.group), std::string::npos) << text;
    }

    CNewWeather block = BareBlock();
    block.nUpperVisCtr = 2;
    block.UpperVis[0] = NewVisLayer{865, 721, 4971, 0};
    block.UpperVis[1] = NewVisLayer{1009, 865, 6214, 0};
    const std::string text = Text(block);
    EXPECT_NE(text.find(" 63KM&B-100&D0820 79KM&B0721&D0144 99KM&B0865&D0144 "), std::string::npos) << text;
}

TEST_F(ExtendedMetar, TemperatureGroups)
{
    CNewWeather block = BareBlock();
    block.nTempCtr = 3;
    block.TempLayer[0] = NewTempLayer{120, 12, 0, 8};
    block.TempLayer[1] = NewTempLayer{110, -5, 0, -12};
    block.TempLayer[2] = NewTempLayer{9144, 0, 0, -1};
    const std::string text = Text(block);
    EXPECT_NE(text.find(" 12/08&A00120 -05/-12&A00110 00/-01&A09144 Q1015  @@@ "), std::string::npos) << text;
}

TEST_F(ExtendedMetar, PressureIsRoundedToWholeHectopascals)
{
    const std::pair<std::wstring, std::string> cases[] = {
        {L"Q1015", " Q1015  @@@ "},
        {L"A2993", " Q1014  @@@ "}, // 1013.56 hPa
        {L"Q0988", " Q0988  @@@ "},
        {L"NOSIG", " Q1013  @@@ "}, // not reported
    };
    for (const auto& [pressure, ending] : cases) {
        const std::string text = Text(BareBlock(), L"EDDF 061250Z 27015KT 9999 FEW040 12/08 " + pressure);
        ASSERT_GE(text.size(), ending.size());
        EXPECT_EQ(text.substr(text.size() - ending.size()), ending) << text;
    }
}

TEST_F(ExtendedMetar, WeatherAsTheSimulatorReadsIt)
{
    struct Case
    {
        std::wstring weather;
        std::string text; // between the visibility and the pressure
    };
    const Case cases[] = {
        {L"-SHRA", "SHRA "}, {L"RERA", "RA "}, {L"+TSRA BR", "TSRABR "}, {L"BCFG", "FG "}, {L"NSC", ""}, {L"", ""},
    };
    for (const Case& c : cases) {
        const std::string text = Text(BareBlock(), L"EDDF 061250Z 27015KT 9999 " + c.weather + L" 12/08 Q1015");
        EXPECT_NE(text.find("&B-100&D0820 " + c.text + "Q1015"), std::string::npos) << text;
    }
}

TEST_F(ExtendedMetar, CavokIsNamed)
{
    const std::string text = Text(BareBlock(), L"EDDF 061250Z 27015KT CAVOK 12/08 Q1015");
    EXPECT_NE(text.find("NG CAVOK 63KM&B-100&D0820 Q1015"), std::string::npos) << text;
}

TEST_F(ExtendedMetar, CloudGroups)
{
    CNewWeather block = BareBlock();
    block.nCloudCtr = 4;
    NewCloudLayer& rain = block.CloudLayer[0];
    rain.Cover = 7;
    rain.Type = 9;
    rain.LowerAlt = 721;
    rain.UpperAlt = 4721;
    rain.TopShape = 1;
    rain.Turbulence = 2;
    rain.PrecipRate = 1;
    rain.PrecipType = 1;
    rain.PrecipBase = 111;
    rain.Icing = 1;
    block.CloudLayer[1].LowerAlt = 2000; // no cover: no group
    NewCloudLayer& storm = block.CloudLayer[2];
    storm.Cover = 8;
    storm.Type = 10;
    storm.LowerAlt = 1500;
    storm.TopShape = 2;
    storm.Turbulence = 4;
    storm.PrecipRate = 5;
    storm.PrecipType = 2;
    storm.Icing = 4;
    NewCloudLayer& odd = block.CloudLayer[3];
    odd.Cover = 1;
    odd.Type = 1;
    odd.LowerAlt = 10058;
    odd.TopShape = 7;
    odd.PrecipRate = 6;
    odd.PrecipType = 3;
    odd.Icing = 5;
    const std::string text = Text(block);
    EXPECT_NE(text.find(" 7CU020&CU000RMVR111T 8CB045&CB000ASDS0S 1CI326&CI000FN0 Q1015"), std::string::npos) << text;
}

TEST_F(ExtendedMetar, WholeStationText)
{
    CSettings::SetFSVersion(3);
    CSettings::SetGenerateCirrus(false);
    CNewWeather block;
    const CWeatherSet set(Metar(L"EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG"), CSynop(),
                          CGrib());
    // 270 + 2 degrees of variation, truncated to direction units and back, prints as 271.
    SetNewWeather(set, block, 2.0f);
    EXPECT_EQ(MakeExtendedMetar(set, block).toStdString(),
              "EDDF 061250Z 27115G25KT&D210MG 241V300 28617G27KT&A410MG 256V315 63KM&B-100&D0820 "
              "79KM&B0721&D0144 99KM&B0865&D0144 99KM&B1009&D0144 99KM&B1153&D0144 99KM&B1297&D0144 RA "
              "7CB020&CB000ALVR111N 12/08&A00120 11/07&A00320 Q1015  @@@ ");
}

TEST_F(ExtendedMetar, CountersBeyondTheTablesAreLimitedToThem)
{
    for (const std::int32_t counter : {-5, 0, 25, 1000, 2147483647}) {
        CNewWeather block = BareBlock();
        block.nWindCtr = counter;
        block.nTempCtr = counter;
        block.nCloudCtr = counter;
        block.nUpperVisCtr = counter;
        for (NewCloudLayer& layer : block.CloudLayer)
            layer.Cover = 1;
        const std::string text = Text(block);
        EXPECT_EQ(text.substr(text.size() - 5), " @@@ ");
        std::size_t clouds = 0;
        for (std::size_t at = text.find("&CU000"); at != std::string::npos; at = text.find("&CU000", at + 1))
            ++clouds;
        std::size_t winds = 0;
        for (std::size_t at = text.find("KT&A"); at != std::string::npos; at = text.find("KT&A", at + 1))
            ++winds;
        EXPECT_LE(clouds, 16u) << counter;
        EXPECT_LE(winds, 23u) << counter;
    }
}
