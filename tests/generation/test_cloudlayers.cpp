// The cloud table of the New Weather block: fog, CAVOK, METAR layers shaped by weather and SYNOP cloud genus,
// cirrus, and the pass that keeps layers apart; never an entry past the 16 of the table.

#include "weatherrecordtest.h"

#include "generation/cloudlayerbuilder.h"
#include "platform/debugoutput.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace aviation::weather;
using namespace recordtest;

namespace {

// Low, middle and high cloud genus digits in group 8NhCLCMCH, `miles` east of Frankfurt.
CSynop GenusSynop(int low, int middle, int high, double miles = 50.0)
{
    const std::wstring genus = L"86" + std::to_wstring(low) + std::to_wstring(middle) + std::to_wstring(high);
    return Synop(L"AAXX 06124 10637 32970 72412 10125 20083 30021 40150 57012 70260 " + genus,
                 aviation::Position::GetDestination(kFrankfurt, 90.0, miles));
}

// A seed after which the cirrus draw gives a cirrus layer (or, with `wanted` false, none).
std::uint32_t CirrusSeed(bool wanted)
{
    for (std::uint32_t seed = 1;; ++seed) {
        platform::SeedRandom(seed);
        platform::RandomInt(0, 32767);
        if ((platform::RandomInt(0, 32767) % 8 != 0) == wanted)
            return seed;
    }
}

// A grid point over Frankfurt whose 1000, 925, 850, 700 and 500 hPa levels have dew-point depressions of 0: saturated
// air.
CGrib SaturatedGrib()
{
    platform::ScopedDebugCapture quiet; // the decoder's note on the short level list
    return Grib(L"GRIB 06110 00012 99490 10075 99010 12840 27015 0000086 11800 27325 9200736 08200 27733 8501436 "
                L"03800 28546 7002986 04500 28960 5005546 20700 29484 L6123 M6000");
}

class CloudLayers : public WeatherRecordTest
{
protected:
    void SetUp() override
    {
        WeatherRecordTest::SetUp();
        CSettings::SetGenerateCirrus(false);
    }

    // Fills the table of a block whose bytes after the table are marked, and checks they stay so and that the
    // entries are sane and apart.
    static CNewWeather Fill(const CWeatherSet& set, bool mixed = false)
    {
        CNewWeather block;
        unsigned char* bytes = reinterpret_cast<unsigned char*>(&block);
        std::fill(bytes + 896, bytes + 1024, 0xA5);
        SetCloudLayers(set, block, mixed);
        EXPECT_TRUE(std::all_of(bytes + 896, bytes + 1024, [](unsigned char b) { return b == 0xA5; }));
        EXPECT_GE(block.nCloudCtr, 0);
        EXPECT_LE(block.nCloudCtr, 16);
        for (int k = 0; k < std::min(block.nCloudCtr, 16); ++k) {
            EXPECT_LE(block.CloudLayer[k].Cover, 8) << k;
            EXPECT_GE(block.CloudLayer[k].UpperAlt, block.CloudLayer[k].LowerAlt) << k;
            if (k > 0) {
                EXPECT_GT(block.CloudLayer[k].LowerAlt, block.CloudLayer[k - 1].UpperAlt) << k;
            }
        }
        return block;
    }
};

} // namespace

TEST_F(CloudLayers, FogAndCavokLayers)
{
    struct Case
    {
        const char* name;
        std::wstring report;
        int elevation;
        bool fogAsStratus;
        int cavokCoverage;
        int layers;
        std::uint8_t cover, type; // type 0: the first layer is no fog
        std::uint16_t lower, upper;
    };
    const Case cases[] = {
        {"mist below 2000 m", L"1500 BR SCT012 08/07", 0, true, 1, 2, 8, 8, 1, 301},
        {"fog below sea level stays at sea level", L"0200 FG 06/06", -11, true, 1, 1, 8, 8, 0, 300},
        {"setting off", L"1500 BR SCT012 08/07", 0, false, 1, 1, 0, 0, 0, 0},
        {"2000 m is not fog", L"2000 BR SCT012 08/07", 0, true, 1, 1, 0, 0, 0, 0},
        {"a cloud below 1000 ft instead", L"0300 FG BKN002 08/07", 0, true, 1, 1, 0, 0, 0, 0},
        {"CAVOK 15 degrees of spread: 6000 ft up", L"CAVOK 25/10", 364, false, 1, 1, 1, 9, 1940, 2040},
        {"CAVOK 10 degrees of spread: 4000 ft, none", L"CAVOK 20/10", 364, false, 1, 0, 0, 0, 0, 0},
        {"CAVOK cover of 8 oktas is overcast", L"CAVOK 25/10", 364, false, 8, 1, 8, 9, 1940, 2040},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSettings::SetGenerateFogAsStratus(c.fogAsStratus);
        CSettings::SetCavokCoverage(c.cavokCoverage);
        const CNewWeather block = Fill(Set(Metar(L"EGLL 061250Z 00000KT " + c.report + L" Q1020", c.elevation)));
        ASSERT_EQ(block.nCloudCtr, c.layers);
        if (c.layers == 0)
            continue;
        const NewCloudLayer& first = block.CloudLayer[0];
        if (c.type == 0) {
            EXPECT_NE(first.Type, 8);
            continue;
        }
        EXPECT_EQ(first.Cover, c.cover);
        EXPECT_EQ(first.Type, c.type);
        EXPECT_EQ(first.LowerAlt, c.lower);
        EXPECT_EQ(first.UpperAlt, c.upper);
        EXPECT_EQ(first.PrecipType, 0);
        EXPECT_EQ(first.Turbulence, 0);
    }
}

TEST_F(CloudLayers, WeatherShapesTheLayer)
{
    struct Case
    {
        const char* name;
        std::wstring report;
        int elevation;
        std::uint8_t type;
        std::uint16_t lower, upper;
        std::uint8_t precipType, precipRate, turbulence, icing, topShape;
    };
    // Bases at 2364 ft: 720.6 m, so the layer starts at 721 m.
    const Case cases[] = {
        {"no weather", L"9999 BKN020 12/08", 364, 9, 721, 1221, 0, 0, 1, 0, 0},
        {"light rain", L"6000 -RA BKN020 12/08", 364, 9, 721, 4721, 1, 1, 2, 0, 0},
        {"light showers of rain", L"6000 -SHRA BKN020 12/08", 364, 9, 721, 6000, 1, 1, 1, 0, 0},
        {"showers at freezing", L"6000 SHSN BKN020 00/M02", 364, 9, 721, 6000, 2, 2, 1, 2, 0},
        {"heavy thunderstorm", L"3000 +TSRA BKN020 22/18", 364, 10, 721, 10000, 1, 4, 3, 0, 2},
        {"towering cumulus", L"9999 BKN020TCU 12/08", 364, 9, 721, 4720, 0, 0, 3, 0, 1},
        {"cumulonimbus", L"9999 BKN020CB 12/08", 364, 10, 721, 2720, 0, 0, 1, 0, 2},
        {"light rain from a layer at 4000 ft", L"6000 -RA BKN040 12/08", 364, 9, 1331, 5331, 1, 1, 2, 0, 0},
        {"rain does not reach 10000 ft", L"6000 RA BKN100 12/08", 364, 9, 3159, 3659, 0, 0, 1, 0, 0},
        {"above 28000 ft: high cloud", L"9999 SCT270 12/08", 2000, 1, 8840, 9340, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT " + c.report + L" Q1015", c.elevation)));
        ASSERT_EQ(block.nCloudCtr, 1);
        const NewCloudLayer& layer = block.CloudLayer[0];
        EXPECT_EQ(layer.Type, c.type);
        EXPECT_EQ(layer.LowerAlt, c.lower);
        EXPECT_EQ(layer.UpperAlt, c.upper);
        EXPECT_EQ(layer.PrecipType, c.precipType);
        EXPECT_EQ(layer.PrecipRate, c.precipRate);
        EXPECT_EQ(layer.Turbulence, c.turbulence);
        EXPECT_EQ(layer.Icing, c.icing);
        EXPECT_EQ(layer.TopShape, c.topShape);
    }
}

TEST_F(CloudLayers, OverlappingTopsEndThreeMetresBelowTheNextBase)
{
    const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT 9999 FEW010 SCT015 BKN015 12/08 Q1015", 0)));
    ASSERT_EQ(block.nCloudCtr, 3);
    // Two layers at one base: the lower one keeps 100 m and the upper one starts 3 m above it.
    const std::uint16_t expected[][2] = {{305, 455}, {458, 558}, {561, 958}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(block.CloudLayer[k].LowerAlt, expected[k][0]) << k;
        EXPECT_EQ(block.CloudLayer[k].UpperAlt, expected[k][1]) << k;
    }
}

TEST_F(CloudLayers, MaximumLayerCountLeavesRoomForCirrusUnlessASynopReportsHighCloud)
{
    const CMetar metar = Metar(L"EDDF 061250Z 27015KT 9999 FEW010 SCT020 BKN030 BKN040 OVC050 OVC060 12/08 Q1015");
    CSettings::SetGenerateCirrus(true);
    for (const bool cirrus : {false, true}) {
        SCOPED_TRACE(cirrus);
        platform::SeedRandom(CirrusSeed(cirrus));
        const CNewWeather block = Fill(Set(metar));
        ASSERT_EQ(block.nCloudCtr, cirrus ? 6 : 5);
        EXPECT_EQ(block.CloudLayer[4].LowerAlt, 1635); // 5364 ft
        const NewCloudLayer& sixth = block.CloudLayer[5];
        if (!cirrus) {
            EXPECT_EQ(sixth.Cover, 0);
            continue;
        }
        EXPECT_EQ(sixth.Type, 1);
        EXPECT_GE(sixth.LowerAlt, 10058); // 33000 to 53000 ft
        EXPECT_LT(sixth.LowerAlt, 16154);
        // Nothing of the sixth METAR layer, cut off by the maximum, rides along with the cirrus.
        EXPECT_EQ(sixth.Turbulence, 0);
        EXPECT_EQ(sixth.PrecipBase, 0);
    }
    const CMetar high = Metar(L"EDDF 061250Z 27015KT 9999 SCT300 12/08 Q1015", 0);
    platform::SeedRandom(CirrusSeed(true));
    EXPECT_EQ(Fill(Set(high, GenusSynop(0, 0, 3))).nCloudCtr, 1);
}

TEST_F(CloudLayers, SynopGenusShapesTheLayer)
{
    struct Case
    {
        const char* name;
        std::wstring cloud; // base 2000 ft (609.6 m), 12000 ft (3657.6 m) or 30000 ft (9144.0 m) at sea level
        int low, middle, high;
        bool mixed;
        std::uint8_t type;
        std::uint16_t upper;
        std::uint8_t topShape;
        std::uint16_t dev;
        std::uint8_t splitType; // 0: no second layer
        std::uint16_t splitUpper;
        std::uint8_t splitTopShape;
        std::uint16_t splitDev;
        double synopMiles;
    };
    const Case cases[] = {
        {"CL0", L"BKN020", 0, 0, 0, false, 9, 909, 0, 0, 0, 0, 0, 0, 50},
        {"CL4 mixed", L"BKN020", 4, 0, 0, true, 8, 809, 0, 0, 9, 1110, 1, 0, 50},
        {"CL5 mixed", L"BKN020", 5, 0, 0, true, 8, 860, 0, 0, 9, 1111, 1, 50, 50},
        {"CL5 mixed, SYNOP 201 NM away: no say", L"BKN020", 5, 0, 0, true, 9, 1110, 0, 0, 0, 0, 0, 0, 201},
        {"CL8 mixed", L"BKN020", 8, 0, 0, true, 8, 809, 1, 50, 9, 1810, 0, 200, 50},
        {"CL9 mixed", L"BKN020", 9, 0, 0, true, 9, 3610, 2, 2000, 8, 3911, 2, 0, 50},
        {"CL on a cumulonimbus: none", L"BKN020CB", 8, 0, 0, true, 10, 2609, 2, 0, 0, 0, 0, 0, 50},
        {"CM9 mixed", L"BKN120", 0, 9, 0, true, 9, 5658, 1, 0, 8, 7659, 0, 0, 50},
        {"CH3", L"BKN300", 0, 0, 3, true, 1, 9744, 0, 0, 0, 0, 0, 0, 50},
        {"CH7", L"BKN300", 0, 0, 7, true, 8, 9244, 0, 0, 0, 0, 0, 0, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT 9999 " + c.cloud + L" 12/08 Q1015", 0),
                                           GenusSynop(c.low, c.middle, c.high, c.synopMiles)),
                                       c.mixed);
        ASSERT_EQ(block.nCloudCtr, c.splitType ? 2 : 1);
        const NewCloudLayer& layer = block.CloudLayer[0];
        EXPECT_EQ(layer.Type, c.type);
        EXPECT_EQ(layer.UpperAlt, c.upper);
        EXPECT_EQ(layer.TopShape, c.topShape);
        EXPECT_EQ(layer.Dev, c.dev);
        if (!c.splitType)
            continue;
        const NewCloudLayer& split = block.CloudLayer[1];
        EXPECT_EQ(split.Type, c.splitType);
        EXPECT_EQ(split.Cover, layer.Cover);
        EXPECT_EQ(split.LowerAlt, layer.UpperAlt + 1);
        EXPECT_EQ(split.UpperAlt, c.splitUpper);
        EXPECT_EQ(split.TopShape, c.splitTopShape);
        EXPECT_EQ(split.Dev, c.splitDev);
    }
}

// Twelve reported layers behind a fog layer, split by every genus, with cirrus and every maximum: the table never
// grows past its 16 entries (Fill checks the bytes after it).
TEST_F(CloudLayers, ManyLayersStayWithinTheTable)
{
    CSettings::SetGenerateFogAsStratus(true);
    CSettings::SetGenerateCirrus(true);
    const CGrib grib = SaturatedGrib();

    // Twelve layers from 1000 ft, every fifth a cumulonimbus.
    std::vector<CCloudLayer> low;
    for (int i = 0; i < 12; ++i)
        low.emplace_back(1000 + 500 * i, static_cast<std::int8_t>(1 + i % 8),
                         i % 5 == 4 ? CCloudLayer::kTypeCumulonimbus : CCloudLayer::kTypePlain);
    CMetar metar = Metar(L"EDDF 061250Z 27015KT 1500 -SHRA BR BKN010 12/08 Q1015");
    metar.SetCloudLayers(low);
    for (const int maximum : {16, 99, -1, 0, 5, 15}) {
        CSettings::SetMaxCloudLayers(maximum);
        for (int genus = 0; genus <= 9; ++genus) {
            for (const bool cirrus : {false, true}) {
                for (const bool mixed : {false, true}) {
                    SCOPED_TRACE(std::to_string(maximum) + " CL" + std::to_string(genus) + (cirrus ? " cirrus" : "")
                                 + (mixed ? " mixed" : ""));
                    platform::SeedRandom(CirrusSeed(cirrus));
                    const CNewWeather block = Fill(Set(metar, GenusSynop(genus, 0, 0), grib), mixed);
                    // 1 fog + 12 reported layers, or a full table when the genus splits the plain layers.
                    const bool splits = mixed && (genus == 4 || genus == 5 || genus >= 7);
                    const int reported = std::max(0, std::min(maximum, splits ? 16 : 13));
                    EXPECT_EQ(block.nCloudCtr, cirrus && reported < 16 ? reported + 1 : reported);
                }
            }
        }
    }

    // Six low, four middle and two high layers with every genus of all three tables: splits of the low and middle
    // layers run into the end of the table, and the high genus leaves no room for the random cirrus.
    std::vector<CCloudLayer> everyHeight;
    for (const int base : {1000, 2000, 3000, 4000, 5000, 6000, 9000, 12000, 18000, 24000, 26000, 30000})
        everyHeight.emplace_back(base, static_cast<std::int8_t>(base < 25000 ? 7 : 2), CCloudLayer::kTypePlain);
    metar.SetCloudLayers(everyHeight);
    CSettings::SetMaxCloudLayers(16);
    platform::SeedRandom(CirrusSeed(true));
    for (int genus = 0; genus <= 9; ++genus) {
        for (const bool mixed : {false, true}) {
            SCOPED_TRACE("genus " + std::to_string(genus) + (mixed ? " mixed" : ""));
            const CNewWeather block = Fill(Set(metar, GenusSynop(genus, genus, genus)), mixed);
            const bool lowSplits = mixed && (genus == 4 || genus == 5 || genus >= 7);
            const bool middleSplits = mixed && (genus == 7 || genus == 9);
            EXPECT_EQ(block.nCloudCtr, std::min(13 + (lowSplits ? 6 : 0) + (middleSplits ? 4 : 0), 16));
        }
    }
}
