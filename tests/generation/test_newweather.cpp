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
    static CNewWeather Fill(const CWeatherSet& set, float magVar = 0.0f)
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
    const std::uint32_t layers = 2 + grib.GetLevels().size() - 1;
    EXPECT_EQ(At<std::uint32_t>(block, 52), layers);
    EXPECT_EQ(At<std::uint32_t>(block, 248), layers);
    EXPECT_GE(At<std::uint32_t>(block, 636), 1u);
    EXPECT_LE(At<std::uint32_t>(block, 636), 2u);
    EXPECT_EQ(At<std::uint32_t>(block, 908), 5u);

    // Surface wind at 252 (top 210 m, 15 kt gusting 10 more, 270 degrees, sector 60 degrees), surface
    // temperature at 56 (120 m, 12 over 8), surface visibility at 44 (ended at the cloud base 720 m).
    const std::pair<std::size_t, std::uint16_t> fields[] = {
        {252, 210}, {254, 15}, {256, 10}, {258, 49152}, {262, 10922}, {264, 65000}, {266, 500},
        {56, 120},  {58, 12},  {62, 8},   {44, 720},    {46, 65436},  {48, 3977},
    };
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(At<std::uint16_t>(block, offset), value) << offset;
    EXPECT_EQ(At<std::uint8_t>(block, 260), 2);
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
        {"FS2004 command", L"EDDF", L"Q1015", 2, "EDDF", 0x0102, 16240, 7271035},
        {"global station at sea level", L"GLOB", L"Q1015", 3, "GLOB", 2, 16240, 0},
        {"three-letter identifier", L"K1T", L"Q1015", 3, std::string("K1T\0", 4), 2, 16240, 7271035},
        {"five letters leave the identifier empty", L"EDDFX", L"Q1015", 3, std::string(4, '\0'), 2, 16240, 7271035},
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
        SetNewWeather(Set(metar), block, 0.0f);
        EXPECT_EQ(std::string(block.Icao, 4), c.icaoBytes);
        EXPECT_EQ(block.Command, c.command);
        EXPECT_EQ(block.Press, c.press);
        EXPECT_EQ(block.Elev, c.elev);
        EXPECT_EQ(block.Flag + block.Dynamic + block.Seconds, 0);
    }
}

TEST_F(NewWeather, CalmReportTakesTheWindOfASynopWithin20Nm)
{
    const CMetar metar = Metar(L"EDDF 061250Z 00000KT 9999 FEW040 12/08 Q1015");
    struct Case
    {
        double synopMiles;
        std::uint16_t speed;
        std::uint16_t dir;
    };
    const Case cases[] = {{15.0, 12, 44236}, {25.0, 0, 546}}; // 240 or 0, + 3 degrees
    for (const Case& c : cases) {
        SCOPED_TRACE(c.synopMiles);
        const aviation::Position place = aviation::Position::GetDestination(kFrankfurt, 90.0, c.synopMiles);
        const CNewWeather block = Fill(Set(metar, Synop(kSynop240At12, place)), 3.0f);
        EXPECT_EQ(block.WindLayer[0].Speed, c.speed);
        EXPECT_EQ(block.WindLayer[0].Dir, c.dir);
        // The layer above keeps to the report's own direction, veered 15 degrees: 0 + 15 + 3.
        EXPECT_EQ(block.WindLayer[1].Dir, 3276);
        EXPECT_EQ(block.WindLayer[1].Speed, c.speed + 2);
    }
}

TEST_F(NewWeather, SurfaceWindGustTurbulenceAndVariableSector)
{
    struct Case
    {
        const char* name;
        std::wstring wind;
        bool slightGust;
        float magVar;
        std::uint16_t dir, gust;
        std::uint8_t turbulence;
        std::uint16_t variance;
    };
    const Case cases[] = {
        {"gust 10 above the mean", L"27015G25KT", true, 0.0f, 49152, 10, 2, 3640},
        {"gust 35 above the mean", L"27010G45KT", true, 0.0f, 49152, 35, 4, 3640},
        {"no gust gets a slight one", L"27015KT", true, 0.0f, 49152, 5, 1, 3640},
        {"no slight gust", L"27015G25KT", false, 0.0f, 49152, 0, 0, 0},
        {"a gust below the mean is no gust", L"27025G15KT", true, 0.0f, 49152, 5, 1, 3640},
        {"340V020 spans 40 degrees", L"36010KT 340V020", true, 0.0f, 0, 5, 1, 7281},
        {"020V340 spans 320 degrees", L"36010KT 020V340", true, 0.0f, 0, 5, 1, 58254},
        {"variable wind decodes as from north", L"VRB03KT", true, 4.0f, 728, 5, 1, 3640},
        {"west variation wraps below north", L"00510KT", true, -10.0f, 64626, 5, 1, 3640},
        {"east variation wraps past north", L"35510KT", true, 10.0f, 910, 5, 1, 3640},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSettings::SetWindSlightlGustSurfaceWind(c.slightGust);
        CSettings::SetWindDwc(c.slightGust);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z " + c.wind + L" 9999 FEW040 12/08 Q1015")), c.magVar);
        for (const NewWindLayer& layer : {block.WindLayer[0], block.WindLayer[1]}) {
            EXPECT_EQ(layer.Gust, c.gust);
            EXPECT_EQ(layer.Variance, c.variance);
        }
        EXPECT_EQ(block.WindLayer[0].Dir, c.dir);
        EXPECT_EQ(block.WindLayer[0].Turbulence, c.turbulence);
    }
}

TEST_F(NewWeather, TemperatureAndGridLayers)
{
    const CGrib grib = Grib(kFrankfurtGrid);
    const CLevel first = grib.GetLevels()[1]; // the 1000 hPa level lies below 1364 ft
    const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT 9999 FEW040 M05/M12 Q1015"), CSynop(), grib), 2.0f);
    const std::int16_t surface[][3] = {{120, -5, -12}, {320, -6, -13}};
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(block.TempLayer[k].Alt, surface[k][0]) << k;
        EXPECT_EQ(block.TempLayer[k].Day, surface[k][1]) << k;
        EXPECT_EQ(block.TempLayer[k].Dew, surface[k][2]) << k;
    }
    // The first grid layer: the 925 hPa level, its direction turned by the variation.
    EXPECT_EQ(block.WindLayer[2].UpperAlt, static_cast<int>(first.GetAltitude() / 3.28084));
    EXPECT_EQ(block.WindLayer[2].Dir, static_cast<int>((first.direction + 2.0) * 65536.0 / 360.0));

    // A station below sea level counts as 200 m up.
    const CNewWeather low = Fill(Set(Metar(L"EHAM 061255Z 24012KT 9999 FEW030 10/07 Q1012", -11)));
    EXPECT_EQ(low.WindLayer[0].UpperAlt, 300);
    EXPECT_EQ(low.TempLayer[1].Alt, 410);
}

TEST_F(NewWeather, SurfaceVisibility)
{
    const aviation::Position near = aviation::Position::GetDestination(kFrankfurt, 0.0, 50.0);
    const aviation::Position far = aviation::Position::GetDestination(kFrankfurt, 0.0, 90.0);
    struct Case
    {
        const char* name;
        std::wstring report;
        int elevation;
        int minVisibility;
        aviation::Position synopAt;
        std::uint16_t range, top;
    };
    const Case cases[] = {
        {"9999 as the 50 km of the settings", L"9999 FEW070", 364, 0, far, 3977, 720},
        {"9999 with a SYNOP of 20 km 50 NM away", L"9999 FEW070", 364, 0, near, 2175, 720},
        {"800 m raised to a 5000 m minimum", L"0800 FEW070", 364, 5000, near, 372, 720},
        {"top at a low cloud base, at least 500 m", L"9999 BKN004", 364, 0, far, 3977, 500},
        {"a base above 3000 m gives 500 m too", L"9999 BKN059", 5000, 0, far, 3977, 500},
        {"above 30000 ft only the range, as reported", L"9999 FEW040", 30001, 0, far, 628, 0},
    };
    CSettings::SetFSVersion(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSettings::SetMinVisibility(c.minVisibility);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT " + c.report + L" 12/08 Q1015", c.elevation),
                                           Synop(kSynop240At12, c.synopAt)));
        EXPECT_EQ(block.Vis.Range, c.range);
        EXPECT_EQ(block.Vis.UpperAlt, c.top);
        EXPECT_EQ(block.nUpperVisCtr, c.elevation > 30000 ? 0 : 5);
    }

    const std::pair<int, int> steps[] = {{199, 199}, {200, 372}, {372, 372}, {373, 497}, {4972, 6214}, {65535, 6214}};
    for (const auto& [range, snapped] : steps)
        EXPECT_EQ(SnapVisibilityRange(range), snapped) << range;
}

TEST_F(NewWeather, UpperVisibilityLayersPerSimulator)
{
    struct Case
    {
        int version, interfaceType, maxVisibility;
        std::vector<std::uint16_t> ranges;
    };
    const Case cases[] = {
        {2, 1, 200, {}}, // FS2004: none
        {3, 1, 200, {4971, 6214, 6214, 6214, 6214}},
        {3, 1, 50, {3140, 3140, 3140, 3140, 3140, 3140}},
        {4, 2, 80, {4971, 5025, 5025}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " " + std::to_string(c.maxVisibility));
        CSettings::SetFSVersion(c.version);
        CSettings::SetInterfaceType(c.interfaceType);
        CSettings::SetMaxVisibility(c.maxVisibility);
        const CNewWeather block = Fill(Set(Metar(L"EDDF 061250Z 27015KT 9999 FEW070 12/08 Q1015")));
        ASSERT_EQ(block.nUpperVisCtr, static_cast<int>(c.ranges.size()));
        // Each layer starts where the one below ends, the first above the surface layer's 720 m.
        for (int k = 0; k < block.nUpperVisCtr; ++k) {
            EXPECT_EQ(block.UpperVis[k].Range, c.ranges[k]) << k;
            EXPECT_EQ(block.UpperVis[k].LowerAlt, k == 0 ? 721 : block.UpperVis[k - 1].UpperAlt) << k;
        }
    }
}
