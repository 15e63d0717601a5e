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

// Low, middle and high cloud genus digits in group 8NhCLCMCH, in knots, 50 NM east of Frankfurt.
CSynop GenusSynop(int low, int middle, int high)
{
    const std::wstring genus = L"86" + std::to_wstring(low) + std::to_wstring(middle) + std::to_wstring(high);
    return Synop(L"AAXX 06124 10637 32970 72412 10125 20083 30021 40150 57012 70260 " + genus,
                 aviation::Position::GetDestination(kFrankfurt, 90.0, 50.0));
}

// A seed after which the cirrus draw gives a cirrus layer (or, with `wanted` false, none).
std::uint32_t CirrusSeed(bool wanted)
{
    for (std::uint32_t seed = 1;; ++seed) {
        platform::SeedRandom(seed);
        platform::RandomInt(0, 32767);
        const int cover = platform::RandomInt(0, 32767) % 8;
        if ((cover != 0) == wanted)
            return seed;
    }
}

// A grid point over Frankfurt whose 1000, 925, 850, 700 and 500 hPa levels have the given dew-point
// depressions (tenths of a degree up to 50, "00" saturated). The decoder's note on the short level list is not
// of interest here.
CGrib HumidityGrib(const std::wstring (&depressions)[5])
{
    platform::ScopedDebugCapture quiet;
    return Grib(L"GRIB 06110 00012 99490 10075 99010 12840 27015 0000086 118" + depressions[0] + L" 27325 9200736 082"
                + depressions[1] + L" 27733 8501436 038" + depressions[2] + L" 28546 7002986 045" + depressions[3]
                + L" 28960 5005546 207" + depressions[4] + L" 29484 L6123 M6000");
}

class CloudLayers : public WeatherRecordTest
{
protected:
    void SetUp() override
    {
        WeatherRecordTest::SetUp();
        CSettings::SetGenerateCirrus(false);
    }

    CNewWeather Fill(const CWeatherSet& set, bool mixed = false)
    {
        CNewWeather block;
        SetCloudLayers(set, block, mixed);
        return block;
    }
};

} // namespace

TEST_F(CloudLayers, FogBecomesAStratusLayerOnTheGround)
{
    struct Case
    {
        const char* name;
        std::wstring weather;
        bool fogAsStratus;
        int layers;
        bool fog;
    };
    const Case cases[] = {
        {"mist below 2000 m", L"1500 BR SCT012", true, 2, true},
        {"fog without clouds", L"0300 FG", true, 1, true},
        {"shallow fog", L"0800 MIFG", true, 1, true},
        {"setting off", L"1500 BR SCT012", false, 1, false},
        {"2000 m is not fog", L"2000 BR SCT012", true, 1, false},
        {"haze is not fog", L"1500 HZ SCT012", true, 1, false},
        {"a cloud below 1000 ft instead", L"0300 FG BKN002", true, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSettings::SetGenerateFogAsStratus(c.fogAsStratus);
        const CNewWeather block = Fill(Set(Metar(L"EGLL 061250Z 00000KT " + c.weather + L" 08/07 Q1020", 0)));
        ASSERT_EQ(block.nCloudCtr, c.layers);
        const NewCloudLayer& first = block.CloudLayer[0];
        if (c.fog) {
            EXPECT_EQ(first.Cover, 8);
            EXPECT_EQ(first.Type, 8);
            EXPECT_EQ(first.LowerAlt, 1);
            EXPECT_EQ(first.UpperAlt, 301);
            EXPECT_EQ(first.PrecipType, 0);
        } else {
            EXPECT_NE(first.Type, 8);
        }
    }
}

TEST_F(CloudLayers, CavokGetsAFairWeatherLayerAt400FtPerDegreeOfSpread)
{
    struct Case
    {
        std::wstring temperatures;
        int coverage;
        int layers;
        std::uint8_t cover;
    };
    const Case cases[] = {
        {L"25/10", 1, 1, 1}, // 6000 ft above the station
        {L"20/10", 1, 0, 0}, // 4000 ft: none
        {L"25/10", 0, 0, 0}, // switched off
        {L"25/10", 3, 1, 3}, {L"25/10", 12, 1, 8}, // more than 8 oktas is overcast
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.coverage));
        CSettings::SetCavokCoverage(c.coverage);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27005KT CAVOK " + c.temperatures + L" Q1020")));
        ASSERT_EQ(block.nCloudCtr, c.layers);
        if (c.layers == 0)
            continue;
        const NewCloudLayer& layer = block.CloudLayer[0];
        EXPECT_EQ(layer.Type, 9);
        EXPECT_EQ(layer.Cover, c.cover);
        EXPECT_EQ(layer.LowerAlt, 1940); // (364 + 6000) ft, rounded up
        EXPECT_EQ(layer.UpperAlt, 2040);
        EXPECT_EQ(layer.Turbulence, 0);
        EXPECT_EQ(layer.PrecipType, 0);
    }
}

TEST_F(CloudLayers, WeatherShapesTheLayer)
{
    struct Case
    {
        const char* name;
        std::wstring report;
        std::uint8_t type;
        std::uint16_t upper;
        std::uint8_t precipType;
        std::uint8_t precipRate;
        std::uint8_t turbulence;
        std::uint8_t icing;
        std::uint8_t topShape;
    };
    // Bases at 2364 ft: 720.6 m, so the layer starts at 721 m.
    const Case cases[] = {
        {"no weather", L"9999 BKN020 12/08", 9, 1221, 0, 0, 1, 0, 0},
        {"light rain", L"6000 -RA BKN020 12/08", 9, 4721, 1, 1, 2, 0, 0},
        {"light showers of rain", L"6000 -SHRA BKN020 12/08", 9, 6000, 1, 1, 1, 0, 0},
        {"showers at freezing", L"6000 SHSN BKN020 00/M02", 9, 6000, 2, 2, 1, 2, 0},
        {"snow grains", L"6000 SG BKN020 M01/M02", 9, 3721, 2, 2, 1, 2, 0},
        {"heavy thunderstorm", L"3000 +TSRA BKN020 22/18", 10, 10000, 1, 4, 3, 0, 2},
        {"cold cloud ices", L"9999 BKN020 02/M01", 9, 1221, 0, 0, 1, 1, 0},
        {"towering cumulus", L"9999 BKN020TCU 12/08", 9, 4720, 0, 0, 3, 0, 1},
        {"cumulonimbus", L"9999 BKN020CB 12/08", 10, 2720, 0, 0, 1, 0, 2},
        {"rain does not reach 10000 ft", L"6000 RA BKN100 12/08", 9, 3659, 0, 0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT " + c.report + L" Q1015")));
        ASSERT_EQ(block.nCloudCtr, 1);
        const NewCloudLayer& layer = block.CloudLayer[0];
        EXPECT_EQ(layer.Type, c.type);
        EXPECT_EQ(layer.UpperAlt, c.upper);
        EXPECT_EQ(layer.PrecipType, c.precipType);
        EXPECT_EQ(layer.PrecipRate, c.precipRate);
        EXPECT_EQ(layer.Turbulence, c.turbulence);
        EXPECT_EQ(layer.Icing, c.icing);
        EXPECT_EQ(layer.TopShape, c.topShape);
        EXPECT_EQ(layer.PrecipBase, 111);
    }
}

TEST_F(CloudLayers, LayerAbove28000FtIsHighCloudWithoutTurbulenceOrPrecipitation)
{
    const CNewWeather block = Fill(Set(Metar(L"LSZS 061250Z 27015KT 9999 VCTS SCT270 12/08 Q1015", 2000)));
    ASSERT_EQ(block.nCloudCtr, 1);
    EXPECT_EQ(block.CloudLayer[0].Type, 1);
    EXPECT_EQ(block.CloudLayer[0].Turbulence, 0);
    EXPECT_EQ(block.CloudLayer[0].PrecipType, 0);
    EXPECT_EQ(block.CloudLayer[0].LowerAlt, 8840); // 29000 ft
}

TEST_F(CloudLayers, SettingsSwitchOffTurbulenceAndIcing)
{
    CSettings::SetWindTurbulenceInCloud(false);
    CSettings::SetIcingInClouds(false);
    const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT 3000 +TSSN BKN020CB 01/M01 Q1015")));
    ASSERT_EQ(block.nCloudCtr, 1);
    EXPECT_EQ(block.CloudLayer[0].Turbulence, 0);
    EXPECT_EQ(block.CloudLayer[0].Icing, 0);
    EXPECT_EQ(block.CloudLayer[0].Type, 10);
}

TEST_F(CloudLayers, OverlappingTopsEndThreeMetresBelowTheNextBase)
{
    const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT 9999 FEW010 SCT015 BKN015 12/08 Q1015", 0)));
    ASSERT_EQ(block.nCloudCtr, 3);
    EXPECT_EQ(block.CloudLayer[0].LowerAlt, 305);
    EXPECT_EQ(block.CloudLayer[0].UpperAlt, 455);
    EXPECT_EQ(block.CloudLayer[1].LowerAlt, 458);
    // Two layers at one base: the lower one keeps 100 m and the upper one starts 3 m above it.
    EXPECT_EQ(block.CloudLayer[1].UpperAlt, 558);
    EXPECT_EQ(block.CloudLayer[2].LowerAlt, 561);
    EXPECT_EQ(block.CloudLayer[2].UpperAlt, 958);
}

TEST_F(CloudLayers, MaximumLayerCountKeepsTheLowestLayersAndRoomForCirrus)
{
    const CMetar metar = Metar(L"EDDF 061250Z 27015KT 9999 FEW010 SCT020 BKN030 BKN040 OVC050 OVC060 12/08 Q1015");
    ASSERT_EQ(metar.GetCloudLayers().size(), 6u);
    CSettings::SetGenerateCirrus(true);
    for (const bool cirrus : {false, true}) {
        SCOPED_TRACE(cirrus);
        platform::SeedRandom(CirrusSeed(cirrus));
        const CNewWeather block = Fill(Set(metar));
        ASSERT_EQ(block.nCloudCtr, cirrus ? 6 : 5);
        EXPECT_EQ(block.CloudLayer[4].LowerAlt, 1635); // 5364 ft
        const NewCloudLayer& sixth = block.CloudLayer[5];
        if (cirrus) {
            EXPECT_EQ(sixth.Type, 1);
            EXPECT_GE(sixth.Cover, 1);
            EXPECT_LE(sixth.Cover, 7);
            EXPECT_GE(sixth.LowerAlt, 10058); // 33000 ft
            EXPECT_LT(sixth.LowerAlt, 16154); // 53000 ft
            EXPECT_EQ(sixth.UpperAlt, sixth.LowerAlt + 100);
            // Nothing of the sixth METAR layer, cut off by the maximum, rides along with the cirrus.
            EXPECT_EQ(sixth.Turbulence, 0);
            EXPECT_EQ(sixth.Icing, 0);
            EXPECT_EQ(sixth.PrecipBase, 0);
        } else {
            EXPECT_EQ(sixth.Cover, 0);
        }
    }
}

TEST_F(CloudLayers, HighSynopCloudSuppressesTheRandomCirrus)
{
    CSettings::SetGenerateCirrus(true);
    const CMetar metar = Metar(L"EDDF 061250Z 27015KT 9999 SCT300 12/08 Q1015", 0);
    platform::SeedRandom(CirrusSeed(true));
    EXPECT_EQ(Fill(Set(metar)).nCloudCtr, 2);
    platform::SeedRandom(CirrusSeed(true));
    EXPECT_EQ(Fill(Set(metar, GenusSynop(0, 0, 3))).nCloudCtr, 1);
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
    };
    const Case cases[] = {
        {"CL0", L"BKN020", 0, 0, 0, false, 9, 909, 0, 0, 0, 0, 0, 0},
        {"CL1", L"BKN020", 1, 0, 0, true, 9, 909, 0, 0, 0, 0, 0, 0},
        {"CL2", L"BKN020", 2, 0, 0, true, 9, 1609, 0, 0, 0, 0, 0, 0},
        {"CL3", L"BKN020", 3, 0, 0, true, 9, 6609, 1, 0, 0, 0, 0, 0},
        {"CL4", L"BKN020", 4, 0, 0, false, 9, 1109, 1, 0, 0, 0, 0, 0},
        {"CL4 mixed", L"BKN020", 4, 0, 0, true, 8, 809, 0, 0, 9, 1110, 1, 0},
        {"CL5", L"BKN020", 5, 0, 0, false, 8, 860, 0, 0, 0, 0, 0, 0},
        {"CL5 mixed", L"BKN020", 5, 0, 0, true, 8, 860, 0, 0, 9, 1111, 1, 50},
        {"CL6", L"BKN020", 6, 0, 0, true, 8, 1609, 0, 0, 0, 0, 0, 0},
        {"CL7", L"BKN020", 7, 0, 0, false, 8, 809, 0, 0, 0, 0, 0, 0},
        {"CL7 mixed", L"BKN020", 7, 0, 0, true, 8, 809, 0, 0, 9, 1810, 0, 0},
        {"CL8", L"BKN020", 8, 0, 0, false, 8, 809, 1, 50, 0, 0, 0, 0},
        {"CL8 mixed", L"BKN020", 8, 0, 0, true, 8, 809, 1, 50, 9, 1810, 0, 200},
        {"CL9", L"BKN020", 9, 0, 0, false, 9, 3610, 2, 2000, 0, 0, 0, 0},
        {"CL9 mixed", L"BKN020", 9, 0, 0, true, 9, 3610, 2, 2000, 8, 3911, 2, 0},
        {"CL on a cumulonimbus: none", L"BKN020CB", 8, 0, 0, true, 10, 2609, 2, 0, 0, 0, 0, 0},
        {"CM0", L"BKN120", 0, 0, 0, true, 8, 4158, 0, 0, 0, 0, 0, 0},
        {"CM1", L"BKN120", 0, 1, 0, true, 8, 4158, 0, 0, 0, 0, 0, 0},
        {"CM2", L"BKN120", 0, 2, 0, true, 8, 6658, 0, 0, 0, 0, 0, 0},
        {"CM3", L"BKN120", 0, 3, 0, true, 9, 4158, 0, 0, 0, 0, 0, 0},
        {"CM4", L"BKN120", 0, 4, 0, true, 9, 4158, 0, 0, 0, 0, 0, 0},
        {"CM5", L"BKN120", 0, 5, 0, true, 9, 4158, 0, 0, 0, 0, 0, 0},
        {"CM6", L"BKN120", 0, 6, 0, true, 9, 4158, 0, 0, 0, 0, 0, 0},
        {"CM7", L"BKN120", 0, 7, 0, false, 9, 4158, 0, 0, 0, 0, 0, 0},
        {"CM7 mixed", L"BKN120", 0, 7, 0, true, 9, 4158, 0, 0, 8, 4659, 0, 0},
        {"CM8", L"BKN120", 0, 8, 0, true, 9, 4658, 1, 0, 0, 0, 0, 0},
        {"CM9", L"BKN120", 0, 9, 0, false, 9, 5658, 1, 0, 0, 0, 0, 0},
        {"CM9 mixed", L"BKN120", 0, 9, 0, true, 9, 5658, 1, 0, 8, 7659, 0, 0},
        {"CH0", L"BKN300", 0, 0, 0, true, 1, 9194, 0, 0, 0, 0, 0, 0},
        {"CH1", L"BKN300", 0, 0, 1, true, 1, 9194, 0, 0, 0, 0, 0, 0},
        {"CH2", L"BKN300", 0, 0, 2, true, 1, 9444, 0, 0, 0, 0, 0, 0},
        {"CH3", L"BKN300", 0, 0, 3, true, 1, 9744, 0, 0, 0, 0, 0, 0},
        {"CH4", L"BKN300", 0, 0, 4, true, 1, 9244, 0, 0, 0, 0, 0, 0},
        {"CH5", L"BKN300", 0, 0, 5, true, 1, 9444, 0, 0, 0, 0, 0, 0},
        {"CH6", L"BKN300", 0, 0, 6, true, 1, 10144, 0, 0, 0, 0, 0, 0},
        {"CH7", L"BKN300", 0, 0, 7, true, 8, 9244, 0, 0, 0, 0, 0, 0},
        {"CH8", L"BKN300", 0, 0, 8, true, 8, 9244, 0, 0, 0, 0, 0, 0},
        {"CH9", L"BKN300", 0, 0, 9, true, 9, 9444, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT 9999 " + c.cloud + L" 12/08 Q1015", 0),
                                           GenusSynop(c.low, c.middle, c.high)),
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

TEST_F(CloudLayers, SynopFartherThan200NmHasNoSay)
{
    CSynop far = GenusSynop(5, 0, 0);
    far.SetPosition(aviation::Position::GetDestination(kFrankfurt, 90.0, 201.0));
    const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT 9999 BKN020 12/08 Q1015", 0), far), true);
    ASSERT_EQ(block.nCloudCtr, 1);
    EXPECT_EQ(block.CloudLayer[0].Type, 9);
    EXPECT_EQ(block.CloudLayer[0].UpperAlt, 1110);
}

TEST_F(CloudLayers, TopFollowsSaturatedGridLevelsAboveTheBase)
{
    struct Case
    {
        const char* name;
        std::wstring depressions[5];
        std::uint16_t upper;
    };
    // Layer base 1026 m, between the 925 hPa (736 m) and 850 hPa (1436 m) levels; the grid keeps whole feet, so
    // a level's height comes back a metre lower.
    const Case cases[] = {
        {"saturated up to 700 hPa", {L"00", L"00", L"00", L"05", L"56"}, 2985},
        {"saturated up to 850 hPa", {L"00", L"00", L"00", L"56", L"56"}, 1435},
        {"dry at the base", {L"00", L"56", L"00", L"00", L"56"}, 1526},
        {"humid but not saturated", {L"20", L"20", L"20", L"20", L"20"}, 1526},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CGrib grib = HumidityGrib(c.depressions);
        ASSERT_EQ(grib.GetLevels().size(), 5u);
        NewCloudLayer layer;
        layer.LowerAlt = 1026;
        layer.UpperAlt = 1526;
        SetCloudTopFromHumidity(Set(Metar(L"EDDF 061250Z 27015KT 9999 BKN030 12/08 Q1015"), CSynop(), grib), layer);
        EXPECT_EQ(layer.UpperAlt, c.upper);
    }
    NewCloudLayer layer;
    layer.UpperAlt = 1526;
    SetCloudTopFromHumidity(Set(Metar(L"EDDF 061250Z 27015KT 9999 BKN030 12/08 Q1015")), layer);
    EXPECT_EQ(layer.UpperAlt, 1526);
}

TEST_F(CloudLayers, PrecipitationShapesALowLayer)
{
    struct Case
    {
        const char* name;
        std::wstring weather;
        std::uint16_t lower;
        std::uint8_t cover;
        bool saturatedGrid;
        std::uint8_t type;
        std::uint16_t upper;
        std::uint8_t precipType;
        std::uint8_t precipRate;
        std::uint16_t dev;
    };
    const Case cases[] = {
        {"drizzle", L"-DZ", 1000, 5, false, 9, 3000, 1, 1, 0},
        {"snow", L"SN", 1000, 5, false, 9, 5000, 2, 2, 100},
        {"thunderstorm", L"+TSRA", 1000, 5, false, 10, 10000, 1, 3, 100},
        {"showers", L"SHRA", 1000, 5, false, 9, 5000, 1, 2, 0},
        {"above 7000 m no precipitation", L"RA", 7001, 5, false, 9, 7501, 0, 0, 0},
        {"saturated air lifts the top to 500 hPa", L"RA", 1000, 5, true, 9, 5545, 1, 2, 0},
        {"an impossible cover is cut to 7", L"RA", 1000, 12, true, 9, 5000, 1, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewCloudLayer layer;
        layer.LowerAlt = c.lower;
        layer.UpperAlt = c.lower + 500;
        layer.Cover = c.cover;
        layer.Type = 9;
        layer.PrecipBase = 111;
        const CGrib grib = c.saturatedGrid ? HumidityGrib({L"00", L"00", L"00", L"00", L"00"}) : CGrib();
        SetCloudPrecipitation(
            Set(Metar(L"EDDF 061250Z 27015KT 3000 " + c.weather + L" BKN030 12/08 Q1015"), CSynop(), grib), layer);
        EXPECT_EQ(layer.Type, c.type);
        EXPECT_EQ(layer.UpperAlt, c.upper);
        EXPECT_EQ(layer.PrecipType, c.precipType);
        EXPECT_EQ(layer.PrecipRate, c.precipRate);
        EXPECT_EQ(layer.Dev, c.dev);
        EXPECT_EQ(layer.PrecipBase, c.lower > 7000 ? 111 : 0);
        EXPECT_EQ(layer.Cover, c.cover > 11 ? 7 : c.cover);
    }
}

// Twelve reported layers, each split in two, behind a fog layer, with every low-cloud genus and every maximum:
// the table never grows past its 16 entries and the bytes after it stay untouched.
TEST_F(CloudLayers, ManyLayersStayWithinTheTable)
{
    std::vector<CCloudLayer> clouds;
    for (int i = 0; i < 12; ++i)
        clouds.emplace_back(1000 + 500 * i, static_cast<std::int8_t>(1 + i % 8),
                            i % 5 == 4 ? CCloudLayer::kTypeCumulonimbus : CCloudLayer::kTypePlain);
    CMetar metar = Metar(L"EDDF 061250Z 27015KT 1500 -SHRA BR BKN010 12/08 Q1015");
    metar.SetCloudLayers(clouds);
    CSettings::SetGenerateFogAsStratus(true);
    CSettings::SetGenerateCirrus(true);
    const CGrib grib = HumidityGrib({L"00", L"00", L"00", L"00", L"00"});

    for (const int maximum : {16, 99, -1, 0, 5, 15}) {
        CSettings::SetMaxCloudLayers(maximum);
        for (int genus = 0; genus <= 9; ++genus) {
            for (const bool cirrus : {false, true}) {
                for (const bool mixed : {false, true}) {
                    SCOPED_TRACE(std::to_string(maximum) + " CL" + std::to_string(genus) + (cirrus ? " cirrus" : "")
                                 + (mixed ? " mixed" : ""));
                    CNewWeather block;
                    unsigned char* bytes = reinterpret_cast<unsigned char*>(&block);
                    std::fill(bytes + 896, bytes + 1024, 0xA5);
                    platform::SeedRandom(CirrusSeed(cirrus));
                    SetCloudLayers(Set(metar, GenusSynop(genus, 0, 0), grib), block, mixed);

                    // 1 fog + 12 reported layers, or a full table when the genus splits the plain layers.
                    const bool splits = mixed && (genus == 4 || genus == 5 || genus >= 7);
                    const int reported = std::max(0, std::min(maximum, splits ? 16 : 13));
                    const int expected = cirrus && reported < 16 ? reported + 1 : reported;
                    EXPECT_EQ(block.nCloudCtr, expected);
                    EXPECT_TRUE(std::all_of(bytes + 896, bytes + 1024, [](unsigned char b) { return b == 0xA5; }));
                    for (int k = 0; k < block.nCloudCtr; ++k) {
                        EXPECT_LE(block.CloudLayer[k].Cover, 8) << k;
                        EXPECT_NE(block.CloudLayer[k].Cover, 0) << k;
                        EXPECT_GE(block.CloudLayer[k].UpperAlt, block.CloudLayer[k].LowerAlt) << k;
                        if (k > 0) {
                            EXPECT_GT(block.CloudLayer[k].LowerAlt, block.CloudLayer[k - 1].UpperAlt) << k;
                        }
                    }
                }
            }
        }
    }
}

// Six low, four middle and two high layers with every genus of all three tables: splits of the low and middle
// layers run into the end of the table, and the high genus leaves no room for the random cirrus.
TEST_F(CloudLayers, LayersAtEveryHeightStayWithinTheTable)
{
    const int bases[] = {1000, 2000, 3000, 4000, 5000, 6000, 9000, 12000, 18000, 24000, 26000, 30000};
    std::vector<CCloudLayer> clouds;
    for (const int base : bases)
        clouds.emplace_back(base, static_cast<std::int8_t>(base < 25000 ? 7 : 2), CCloudLayer::kTypePlain);
    CMetar metar = Metar(L"EDDF 061250Z 27015KT 1500 -SHRA BR BKN010 12/08 Q1015");
    metar.SetCloudLayers(clouds);
    CSettings::SetGenerateFogAsStratus(true);
    CSettings::SetGenerateCirrus(true);
    CSettings::SetMaxCloudLayers(16);
    platform::SeedRandom(CirrusSeed(true));

    for (int genus = 0; genus <= 9; ++genus) {
        for (const bool mixed : {false, true}) {
            SCOPED_TRACE("genus " + std::to_string(genus) + (mixed ? " mixed" : ""));
            CNewWeather block;
            unsigned char* bytes = reinterpret_cast<unsigned char*>(&block);
            std::fill(bytes + 896, bytes + 1024, 0xA5);
            SetCloudLayers(Set(metar, GenusSynop(genus, genus, genus)), block, mixed);

            const bool lowSplits = mixed && (genus == 4 || genus == 5 || genus >= 7);
            const bool middleSplits = mixed && (genus == 7 || genus == 9);
            EXPECT_EQ(block.nCloudCtr, std::min(13 + (lowSplits ? 6 : 0) + (middleSplits ? 4 : 0), 16));
            EXPECT_TRUE(std::all_of(bytes + 896, bytes + 1024, [](unsigned char b) { return b == 0xA5; }));
            for (int k = 1; k < block.nCloudCtr; ++k)
                EXPECT_GT(block.CloudLayer[k].LowerAlt, block.CloudLayer[k - 1].UpperAlt) << k;
        }
    }
}

TEST_F(CloudLayers, StationBelowSeaLevelKeepsItsFogAtSeaLevel)
{
    CSettings::SetGenerateFogAsStratus(true);
    const CNewWeather block = Fill(Set(Metar(L"EHAM 061255Z 24003KT 0200 FG 06/06 Q1012", -11)));
    ASSERT_GE(block.nCloudCtr, 1);
    EXPECT_EQ(block.CloudLayer[0].LowerAlt, 0);
    EXPECT_EQ(block.CloudLayer[0].UpperAlt, 300);
}
