// The New Weather block of one station: header, surface and upper winds, temperatures and visibility, read
// back at the byte offsets FSUIPC reads.

#include "weatherrecordtest.h"

#include "generation/newweatherbuilder.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace aviation::weather;
using namespace recordtest;

namespace {

const std::wstring kFrankfurtGrid
    = L"GRIB 06110 00012 99490 10075 99010 12840 27015 0000086 11820 27325 9200736 08225 27733 8501436 03830 28546 "
      L"7002986 04554 28960 5005546 20756 29484 4007166 31358 29899 3009136 45160 66110 2510336 51960 66222 2011766 "
      L"55362 65706 1513586 56564 29378 1016156 58766 28451 0718416 60368 27636 7711068 55356 66024 8811355 57360 "
      L"30096 L6123 M6000";

// 240 degrees at 12 kt (wind in knots), 20 km visibility.
const std::wstring kSynop240At12 = L"AAXX 06124 10637 32970 72412 10125 20083 30021 40150 57012 70260 82530";

class NewWeather : public WeatherRecordTest
{
protected:
    CNewWeather Fill(const CWeatherSet& set, float magVar = 0.0f)
    {
        CNewWeather block;
        EXPECT_EQ(SetNewWeather(set, block, magVar), 0);
        return block;
    }
};

} // namespace

TEST_F(NewWeather, FillsTheBlockAtFsuipcOffsets)
{
    CSettings::SetFSVersion(3);
    platform::SeedRandom(7);
    const CGrib grib = Grib(kFrankfurtGrid);
    const CNewWeather block
        = Fill(Set(Metar(L"EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG"), CSynop(), grib));

    EXPECT_EQ(At<std::uint16_t>(block, 0), 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block) + 8, 4), "EDDF");
    EXPECT_EQ(At<std::int32_t>(block, 32), 7271035); // 364 ft = 110.947 m, x 65536
    EXPECT_EQ(At<std::uint16_t>(block, 40), 1015 * 16);

    // Two layers from the report, then every grid level from 1364 ft up (all but the 1000 hPa one).
    int gridLevels = 0;
    for (const CLevel& level : grib.GetLevels())
        gridLevels += level.GetAltitude() >= kFrankfurtElevation + 1000;
    ASSERT_GT(gridLevels, 10);
    EXPECT_EQ(At<std::uint32_t>(block, 52), 2u + gridLevels);
    EXPECT_EQ(At<std::uint32_t>(block, 248), 2u + gridLevels);
    EXPECT_GE(At<std::uint32_t>(block, 636), 1u);
    EXPECT_LE(At<std::uint32_t>(block, 636), 2u);
    EXPECT_EQ(At<std::uint32_t>(block, 908), 5u);

    // Surface wind at 252: top 210 m, 15 kt gusting 10 more, 270 degrees, sector 60 degrees.
    EXPECT_EQ(At<std::uint16_t>(block, 252), 210);
    EXPECT_EQ(At<std::uint16_t>(block, 254), 15);
    EXPECT_EQ(At<std::uint16_t>(block, 256), 10);
    EXPECT_EQ(At<std::uint16_t>(block, 258), 49152);
    EXPECT_EQ(At<std::uint8_t>(block, 260), 2);
    EXPECT_EQ(At<std::uint16_t>(block, 262), 10922);
    EXPECT_EQ(At<std::uint16_t>(block, 264), 65000);
    EXPECT_EQ(At<std::uint16_t>(block, 266), 500);
    // Surface temperature at 56: 120 m, 12 over 8.
    EXPECT_EQ(At<std::uint16_t>(block, 56), 120);
    EXPECT_EQ(At<std::int16_t>(block, 58), 12);
    EXPECT_EQ(At<std::int16_t>(block, 62), 8);
    // Surface visibility at 44: below 2000 ft above the station, ended at the cloud base 720 m.
    EXPECT_EQ(At<std::uint16_t>(block, 44), 720);
    EXPECT_EQ(At<std::int16_t>(block, 46), -100);
    EXPECT_EQ(At<std::uint16_t>(block, 48), 3977);
}

TEST_F(NewWeather, HeaderFields)
{
    struct Case
    {
        const char* name;
        std::wstring icao;
        std::wstring qnh;
        int version;
        std::string icaoBytes;
        std::uint16_t command;
        std::uint16_t press;
        std::int32_t elev;
    };
    const Case cases[] = {
        {"QNH below 900 hPa counts as standard", L"EDDF", L"Q0899", 3, "EDDF", 2, 16208, 7271035},
        {"QNH 900 hPa is kept", L"EDDF", L"Q0900", 3, "EDDF", 2, 14400, 7271035},
        {"inches of mercury as hPa x 16", L"EDDF", L"A2993", 3, "EDDF", 2, 16216, 7271035},
        {"FS2004 command", L"EDDF", L"Q1015", 2, "EDDF", 0x0102, 16240, 7271035},
        {"FS2002 command", L"EDDF", L"Q1015", 1, "EDDF", 2, 16240, 7271035},
        {"global station at sea level", L"GLOB", L"Q1015", 3, "GLOB", 2, 16240, 0},
        {"global station test is case-sensitive", L"glob", L"Q1015", 3, "glob", 2, 16240, 7271035},
        {"three-letter identifier", L"K1T", L"Q1015", 3, std::string("K1T\0", 4), 2, 16240, 7271035},
        {"five letters leave the identifier empty", L"EDDFX", L"Q1015", 3, std::string(4, '\0'), 2, 16240, 7271035},
        {"no identifier", L"", L"Q1015", 3, std::string(4, '\0'), 2, 16240, 7271035},
        {"low byte of each character", L"\u0145DDF", L"Q1015", 3, "EDDF", 2, 16240, 7271035},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSettings::SetFSVersion(c.version);
        CMetar metar = Metar(L"EDDF 061250Z 27015KT 9999 FEW040 12/08 " + c.qnh);
        metar.SetICAO(c.icao);
        CNewWeather block;
        block.Flag = 7;
        block.Dynamic = 3;
        block.Seconds = 60;
        block.Drift = 5;
        block.Lat = 50.0;
        SetNewWeather(Set(metar), block, 0.0f);
        EXPECT_EQ(std::string(block.Icao, 4), c.icaoBytes);
        EXPECT_EQ(block.Command, c.command);
        EXPECT_EQ(block.Press, c.press);
        EXPECT_EQ(block.Elev, c.elev);
        EXPECT_EQ(block.Flag, 0);
        EXPECT_EQ(block.Dynamic, 0);
        EXPECT_EQ(block.Seconds, 0);
        EXPECT_EQ(block.Drift, 0);
        EXPECT_EQ(block.Lat, 0.0);
    }
}

TEST_F(NewWeather, CalmReportTakesTheWindOfASynopWithin20Nm)
{
    const CMetar metar = Metar(L"EDDF 061250Z 00000KT 9999 FEW040 12/08 Q1015");
    struct Case
    {
        const char* name;
        double synopMiles;
        std::uint16_t speed;
        std::uint16_t dir;
    };
    const Case cases[] = {
        {"15 NM away", 15.0, 12, 44236}, // 240 + 3 degrees
        {"25 NM away", 25.0, 0, 546}, // 0 + 3 degrees
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const aviation::Position place = aviation::Position::GetDestination(kFrankfurt, 90.0, c.synopMiles);
        const CNewWeather block = Fill(Set(metar, Synop(kSynop240At12, place)), 3.0f);
        EXPECT_EQ(block.WindLayer[0].Speed, c.speed);
        EXPECT_EQ(block.WindLayer[0].Dir, c.dir);
        // The layer above keeps to the report's own direction, veered 15 degrees: 0 + 15 + 3.
        EXPECT_EQ(block.WindLayer[1].Dir, 3276);
        EXPECT_EQ(block.WindLayer[1].Speed, c.speed + 2);
        EXPECT_EQ(block.WindLayer[1].UpperAlt, block.WindLayer[0].UpperAlt + 200);
    }
}

TEST_F(NewWeather, SurfaceWindGustTurbulenceAndVariableSector)
{
    struct Case
    {
        const char* name;
        std::wstring wind;
        bool slightGust;
        bool directControl;
        float magVar;
        std::uint16_t dir;
        std::uint16_t gust;
        std::uint8_t turbulence;
        std::uint16_t variance;
    };
    const Case cases[] = {
        {"gust 10 above the mean", L"27015G25KT", true, true, 0.0f, 49152, 10, 2, 3640},
        {"gust 35 above the mean", L"27010G45KT", true, true, 0.0f, 49152, 35, 4, 3640},
        {"no gust gets a slight one", L"27015KT", true, true, 0.0f, 49152, 5, 1, 3640},
        {"no slight gust", L"27015G25KT", false, false, 0.0f, 49152, 0, 0, 0},
        {"a gust below the mean is no gust", L"27025G15KT", true, true, 0.0f, 49152, 5, 1, 3640},
        {"340V020 spans 40 degrees", L"36010KT 340V020", true, true, 0.0f, 0, 5, 1, 7281},
        {"020V340 spans 320 degrees", L"36010KT 020V340", true, true, 0.0f, 0, 5, 1, 58254},
        {"sector also without slight gust", L"36010KT 340V020", false, true, 0.0f, 0, 0, 0, 7281},
        {"variable wind decodes as from north", L"VRB03KT", true, true, 4.0f, 728, 5, 1, 3640},
        {"west variation wraps below north", L"00510KT", true, true, -10.0f, 64626, 5, 1, 3640},
        {"east variation wraps past north", L"35510KT", true, true, 10.0f, 910, 5, 1, 3640},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSettings::SetWindSlightlGustSurfaceWind(c.slightGust);
        CSettings::SetWindDwc(c.directControl);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z " + c.wind + L" 9999 FEW040 12/08 Q1015")), c.magVar);
        const NewWindLayer& surface = block.WindLayer[0];
        EXPECT_EQ(surface.Dir, c.dir);
        EXPECT_EQ(surface.Gust, c.gust);
        EXPECT_EQ(surface.Turbulence, c.turbulence);
        EXPECT_EQ(surface.Variance, c.variance);
        EXPECT_EQ(surface.Shear, 0);
        EXPECT_EQ(block.WindLayer[1].Gust, c.gust);
        EXPECT_EQ(block.WindLayer[1].Variance, c.variance);
    }
}

TEST_F(NewWeather, TemperatureAndGridLayers)
{
    const CGrib grib = Grib(kFrankfurtGrid);
    const std::vector<CLevel> levels = grib.GetLevels();
    const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT 9999 FEW040 M05/M12 Q1015"), CSynop(), grib), 2.0f);

    EXPECT_EQ(block.TempLayer[0].Alt, 120);
    EXPECT_EQ(block.TempLayer[0].Day, -5);
    EXPECT_EQ(block.TempLayer[0].Dew, -12);
    EXPECT_EQ(block.TempLayer[1].Alt, 320);
    EXPECT_EQ(block.TempLayer[1].Day, -6);
    EXPECT_EQ(block.TempLayer[1].Dew, -13);
    // The 1000 hPa level lies below 1364 ft; the 925 hPa level is the first grid layer.
    ASSERT_GT(block.nWindCtr, 3);
    ASSERT_LT(levels.front().GetAltitude(), 1364);
    const CLevel& first = levels[1];
    ASSERT_GE(first.GetAltitude(), 1364);
    EXPECT_EQ(block.WindLayer[2].UpperAlt, static_cast<int>(first.GetAltitude() / 3.28084));
    EXPECT_EQ(block.TempLayer[2].Alt, block.WindLayer[2].UpperAlt);
    EXPECT_EQ(block.WindLayer[2].Speed, static_cast<int>(first.speed));
    EXPECT_EQ(block.WindLayer[2].Dir, static_cast<int>((first.direction + 2.0) * 65536.0 / 360.0));
    EXPECT_EQ(block.TempLayer[2].Day, static_cast<int>(first.GetTemperature()));
    EXPECT_EQ(block.WindLayer[2].Gust, 0);
    EXPECT_EQ(block.WindLayer[2].SpeedFract, 0);
    for (int k = 3; k < block.nWindCtr; ++k)
        EXPECT_GT(block.WindLayer[k].UpperAlt, block.WindLayer[k - 1].UpperAlt) << k;
}

TEST_F(NewWeather, ModelFileModeSkipsEveryOtherLowerGridLevel)
{
    const CGrib grib = Grib(kFrankfurtGrid);
    const CMetar seaLevel = Metar(L"EDDF 061250Z 27015KT 9999 FEW040 12/08 Q1015", -1000);
    const int all = Fill(Set(seaLevel, CSynop(), grib)).nWindCtr;
    CSettings::SetModelFileMode(true);
    const CNewWeather skipped = Fill(Set(seaLevel, CSynop(), grib));
    EXPECT_EQ(skipped.nWindCtr, all - 5);
    EXPECT_EQ(skipped.nTempCtr, skipped.nWindCtr);
    // List positions 0, 2, 4 ...: the second grid layer is the third level.
    EXPECT_EQ(skipped.WindLayer[3].UpperAlt, static_cast<int>(grib.GetLevels()[2].GetAltitude() / 3.28084));
}

TEST_F(NewWeather, BelowSeaLevelStationCountsAs200Metres)
{
    const CNewWeather block = Fill(Set(Metar(L"EHAM 061255Z 24012KT 9999 FEW030 10/07 Q1012", -11)));
    EXPECT_EQ(block.WindLayer[0].UpperAlt, 300);
    EXPECT_EQ(block.WindLayer[1].UpperAlt, 500);
    EXPECT_EQ(block.TempLayer[0].Alt, 210);
    EXPECT_EQ(block.TempLayer[1].Alt, 410);
}

TEST_F(NewWeather, SurfaceVisibility)
{
    const aviation::Position near = aviation::Position::GetDestination(kFrankfurt, 0.0, 50.0);
    const aviation::Position far = aviation::Position::GetDestination(kFrankfurt, 0.0, 90.0);
    struct Case
    {
        const char* name;
        std::wstring visibility;
        int minVisibility;
        aviation::Position synopAt;
        std::uint16_t range;
    };
    const Case cases[] = {
        {"9999 as the 50 km of the settings", L"9999", 0, far, 3977},
        {"9999 with a SYNOP of 20 km 50 NM away", L"9999", 0, near, 2175},
        {"9999 with a SYNOP of 20 km 90 NM away", L"9999", 0, far, 3977},
        {"800 m as reported, below the steps", L"0800", 0, near, 50},
        {"800 m raised to a 5 km minimum", L"0800", 5, near, 372},
        {"5000 m snapped up", L"5000", 0, near, 372},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSettings::SetMinVisibility(c.minVisibility);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT " + c.visibility + L" FEW070 12/08 Q1015"),
                                           Synop(kSynop240At12, c.synopAt)));
        EXPECT_EQ(block.Vis.Range, c.range);
        EXPECT_EQ(block.Vis.LowerAlt, -100);
        EXPECT_EQ(block.Vis.UpperAlt, 720);
    }
}

TEST_F(NewWeather, SnapsRangesToTheSimulatorSteps)
{
    const std::pair<int, int> cases[]
        = {{0, 0},       {199, 199},   {200, 372},   {371, 372},   {372, 372},   {373, 497},
           {497, 497},   {498, 994},   {995, 2175},  {2175, 2175}, {2176, 2983}, {2984, 3977},
           {3977, 3977}, {3978, 4971}, {4971, 4971}, {4972, 6214}, {65535, 6214}};
    for (const auto& [range, snapped] : cases)
        EXPECT_EQ(SnapVisibilityRange(range), snapped) << range;
}

TEST_F(NewWeather, SurfaceLayerEndsAtLowCloud)
{
    struct Case
    {
        int elevation;
        std::wstring cloud;
        std::uint16_t top;
    };
    const Case cases[] = {
        {364, L"BKN020", 720}, // at the base
        {364, L"BKN004", 500}, // at least 500 m
        {5000, L"BKN059", 500}, // above 3000 m becomes 500 m too
        {364, L"BKN060", 720}, // 6000 ft and above: the surface layer keeps 2000 ft above the station
        {364, L"CAVOK", 720},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.elevation));
        const CNewWeather block
            = Fill(Set(Metar(L"EDDF 061250Z 27015KT 9999 " + c.cloud + L" 12/08 Q1015", c.elevation)));
        EXPECT_EQ(block.Vis.UpperAlt, c.top);
    }
}

TEST_F(NewWeather, UpperVisibilityLayersPerSimulator)
{
    const CMetar metar = Metar(L"EDDF 061250Z 27015KT 9999 FEW070 12/08 Q1015");
    struct Case
    {
        int version;
        int interfaceType;
        int maxVisibility;
        int layers;
        std::vector<std::uint16_t> ranges;
    };
    const Case cases[] = {
        {2, 1, 200, 0, {}},
        {1, 1, 200, 0, {}},
        {3, 1, 200, 5, {4971, 6214, 6214, 6214, 6214}},
        {9, 1, 200, 5, {4971, 6214, 6214, 6214, 6214}},
        {10, 1, 200, 5, {4971, 6214, 6214, 6214, 6214}},
        {4, 1, 200, 2, {4971, 6214}},
        {3, 1, 30, 6, {1884, 1884, 1884, 1884, 1884, 1884}},
        {4, 2, 80, 3, {4971, 5025, 5025}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " " + std::to_string(c.maxVisibility));
        CSettings::SetFSVersion(c.version);
        CSettings::SetInterfaceType(c.interfaceType);
        CSettings::SetMaxVisibility(c.maxVisibility);
        const CNewWeather block = Fill(Set(metar));
        ASSERT_EQ(block.nUpperVisCtr, c.layers);
        // 720 m split into equal steps above the surface layer, each layer starting where the one below ends.
        const int steps = c.version == 4 ? 2 : 5;
        for (int k = 0; k < c.layers; ++k) {
            const NewVisLayer& layer = block.UpperVis[k];
            EXPECT_EQ(layer.Range, c.ranges[k]) << k;
            EXPECT_EQ(layer.LowerAlt, k == 0 ? 721 : block.UpperVis[k - 1].UpperAlt) << k;
            if (k < steps) {
                EXPECT_EQ(layer.UpperAlt, 721 + (k + 1) * (720 / steps)) << k;
            }
        }
        if (c.layers > steps) {
            const NewVisLayer& top = block.UpperVis[steps];
            EXPECT_EQ(top.UpperAlt, c.interfaceType == 1 ? 30470 : 29000 - top.LowerAlt);
        }
    }
}

TEST_F(NewWeather, StationAbove30000FtHasOnlyItsSurfaceRange)
{
    CSettings::SetFSVersion(3);
    CNewWeather block;
    block.Vis.UpperAlt = 1234;
    SetNewWeather(Set(Metar(L"XXXX 061250Z 27015KT 9999 FEW040 12/08 Q1015", 30001)), block, 0.0f);
    EXPECT_EQ(block.Vis.Range, 628); // 9999 m as it is, not the setting's 50 km
    EXPECT_EQ(block.Vis.UpperAlt, 1234);
    EXPECT_EQ(block.nUpperVisCtr, 0);
}
