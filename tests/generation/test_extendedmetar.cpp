// The extended METAR observation text of one station, written from its report and its filled block.

#include "weatherrecordtest.h"

#include "generation/extendedmetar.h"
#include "generation/newweatherbuilder.h"

#include <gtest/gtest.h>

#include <string>

using namespace aviation::weather;
using namespace recordtest;

namespace {

// A block with one surface wind, a surface visibility and no other layer.
CNewWeather BareBlock()
{
    CNewWeather block;
    block.nWindCtr = 1;
    block.WindLayer[0] = {210, 15, 0, 49152, 0, 0, 0, 0, 0};
    block.Vis = {720, -100, 3977, 0};
    return block;
}

void SetWind(CNewWeather& block, int k, std::uint16_t dir, std::uint16_t speed, std::uint16_t gust, std::uint16_t upper,
             std::uint8_t turbulence, std::uint16_t variance)
{
    block.WindLayer[k] = {upper, speed, gust, dir, turbulence, 0, variance, 0, 0};
}

NewCloudLayer Cloud(std::uint16_t lower, std::uint16_t upper, std::uint8_t cover, std::uint8_t type,
                    std::uint8_t topShape, std::uint8_t turbulence, std::uint8_t precipRate, std::uint8_t precipType,
                    std::uint16_t precipBase, std::uint8_t icing)
{
    NewCloudLayer layer;
    layer.LowerAlt = lower;
    layer.UpperAlt = upper;
    layer.Cover = cover;
    layer.Type = type;
    layer.TopShape = topShape;
    layer.Turbulence = turbulence;
    layer.PrecipRate = precipRate;
    layer.PrecipType = precipType;
    layer.PrecipBase = precipBase;
    layer.Icing = icing;
    return layer;
}

using ExtendedMetar = WeatherRecordTest;

} // namespace

TEST_F(ExtendedMetar, Groups)
{
    struct Case
    {
        const char* name;
        std::wstring rest; // of the report after the wind
        void (*edit)(CNewWeather&);
        std::string group;
    };
    const Case cases[] = {
        {"wind", L"", [](CNewWeather& b) { SetWind(b, 0, 49152, 15, 0, 600, 2, 0); }, "061250Z 27015KT&D600MG "},
        {"gust", L"", [](CNewWeather& b) { SetWind(b, 0, 49152, 15, 10, 600, 2, 0); }, "Z 27015G25KT&D600MG "},
        {"sector 40", L"", [](CNewWeather& b) { SetWind(b, 0, 0, 5, 0, 210, 0, 7282); }, "Z 00005KT&D210NG 340V020 "},
        {"sector 39.99", L"", [](CNewWeather& b) { SetWind(b, 0, 0, 5, 0, 210, 0, 7281); }, "KT&D210NG 341V019 "},
        {"19 degrees wide, light", L"", [](CNewWeather& b) { SetWind(b, 0, 32768, 4, 5, 210, 1, 3640); },
         "Z 18004G09KT&D210LG 170V189 "},
        {"last direction unit, severe", L"", [](CNewWeather& b) { SetWind(b, 0, 65535, 120, 0, 0, 4, 0); },
         "Z 359120KT&D0SG "},
        {"variable, unknown turbulence", L"", [](CNewWeather& b) { SetWind(b, 0, 182, 3, 5, 210, 9, 65353); },
         "Z 00003G08KT&D210NG 181V179 "},
        {"winds aloft", L"",
         [](CNewWeather& b) {
             b.nWindCtr = 3;
             SetWind(b, 1, 51883, 17, 0, 410, 0, 3640); // 285.0 degrees
             SetWind(b, 2, 50972, 45, 15, 1437, 3, 0); // 279.99 degrees
         },
         "Z 27015KT&D210NG 28517KT&A410NG 275V294 27945G60KT&A1437HG 63KM&B-100&D0820 "},
        {"just under 99 km", L"", [](CNewWeather& b) { b.Vis.Range = 6214; }, " 99KM&B-100&D0820 "},
        {"metres", L"", [](CNewWeather& b) { b.Vis.Range = 372; }, " 5922M&B-100&D0820 "},
        {"upper visibility", L"",
         [](CNewWeather& b) {
             b.nUpperVisCtr = 2;
             b.UpperVis[0] = NewVisLayer{865, 721, 4971, 0};
             b.UpperVis[1] = NewVisLayer{1009, 865, 6214, 0};
         },
         " 63KM&B-100&D0820 79KM&B0721&D0144 99KM&B0865&D0144 "},
        {"temperatures", L"",
         [](CNewWeather& b) {
             b.nTempCtr = 3;
             b.TempLayer[0] = NewTempLayer{120, 12, 0, 8};
             b.TempLayer[1] = NewTempLayer{110, -5, 0, -12};
             b.TempLayer[2] = NewTempLayer{9144, 0, 0, -1};
         },
         " 12/08&A00120 -05/-12&A00110 00/-01&A09144 Q1015  @@@ "},
        {"inches of mercury rounded", L" 9999 FEW040 12/08 A2993", nullptr, " Q1014  @@@ "},
        {"no pressure: standard", L" 9999 FEW040 12/08 NOSIG", nullptr, " Q1013  @@@ "},
        {"showers", L" 9999 -SHRA 12/08 Q1015", nullptr, "&B-100&D0820 SHRA Q1015"},
        {"recent rain", L" 9999 RERA 12/08 Q1015", nullptr, "&B-100&D0820 RA Q1015"},
        {"NSC adds nothing", L" 9999 NSC 12/08 Q1015", nullptr, "&B-100&D0820 Q1015"},
        {"CAVOK", L" CAVOK 12/08 Q1015", nullptr, "NG CAVOK 63KM&B-100&D0820 Q1015"},
        {"clouds; no cover, no group", L"",
         [](CNewWeather& b) {
             b.nCloudCtr = 4;
             b.CloudLayer[0] = Cloud(721, 4721, 7, 9, 1, 2, 1, 1, 111, 1);
             b.CloudLayer[1].LowerAlt = 2000;
             b.CloudLayer[2] = Cloud(1500, 0, 8, 10, 2, 4, 5, 2, 0, 4);
             b.CloudLayer[3] = Cloud(10058, 0, 1, 1, 7, 0, 6, 3, 0, 5);
         },
         " 7CU020&CU000RMVR111T 8CB045&CB000ASDS0S 1CI326&CI000FN0 Q1015"},
    };
    for (const Case& c : cases) {
        CNewWeather block = BareBlock();
        if (c.edit)
            c.edit(block);
        const std::wstring rest = c.rest.empty() ? L" 9999 FEW040 12/08 Q1015" : c.rest;
        const std::string text = MakeExtendedMetar(Set(Metar(L"EDDF 061250Z 27015KT" + rest)), block).toStdString();
        EXPECT_NE(text.find(c.group), std::string::npos) << c.name << ": " << text;
        EXPECT_EQ(text.substr(text.size() - 5), " @@@ ") << c.name;
    }
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
    for (const std::int32_t counter : {-5, 25, 1000, 2147483647}) {
        CNewWeather block = BareBlock();
        block.nWindCtr = block.nTempCtr = block.nCloudCtr = block.nUpperVisCtr = counter;
        for (NewCloudLayer& layer : block.CloudLayer)
            layer.Cover = 1;
        const QString text = MakeExtendedMetar(Set(Metar(L"EDDF 061250Z 27015KT 9999 FEW040 12/08 Q1015")), block);
        EXPECT_TRUE(text.endsWith(QStringLiteral(" @@@ "))) << counter;
        EXPECT_LE(text.count(QStringLiteral("&CU000")), 16) << counter;
        EXPECT_LE(text.count(QStringLiteral("KT&A")), 23) << counter;
    }
}
