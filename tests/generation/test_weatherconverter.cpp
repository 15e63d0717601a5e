#include "generation/weatherconverter.h"
#include "platform/debugoutput.h"
#include "weatherrecordtest.h"
#include "weatherworkertest.h"

#include <stdexcept>

using aviation::Position;
using aviation::structs::CAircraft;
using aviation::weather::CGrib;
using aviation::weather::CSynop;
using WeatherConverter::MakeXPlaneWeather;
using WeatherConverter::MakeXPlaneWind;
using namespace recordtest;

namespace {

constexpr float kFeetPerMetre = 3.2808f;
// Frankfurt's SYNOP: 20 km visibility, 8 oktas, wind 240 degrees 8 kt, 14.0 / 7.0 degrees.
const wchar_t* const kSynop20Km = L"AAXX 22184 10637 41570 82408 10140 20070 30190 40190 58010";
// A grid point with only two levels.
const wchar_t* const kTwoLevelGrid
    = L"GRIB 06110 00012 99501 10086 99014 12440 27015 0000118 11420 28225 9200768 07825 28135";

class WeatherConverterTest : public WeatherRecordTest
{
protected:
    static CAircraft AircraftAt(int altitude, const Position& position = Position())
    {
        CAircraft aircraft;
        aircraft.SetLatitude(position.GetLatitude());
        aircraft.SetLongitude(position.GetLongitude());
        aircraft.altitude = altitude;
        return aircraft;
    }
};

TEST_F(WeatherConverterTest, Visibility)
{
    struct Case
    {
        const wchar_t* metar;
        double synopDistanceNm;
        int metar9999Km;
        float vis;
    };
    const Case cases[] = {
        {L"EDDF 221850Z 24008KT 9999 FEW040 14/07 Q1019", 30.0, 50, 20000.0f},
        {L"EDDF 221850Z 24008KT 9999 FEW040 14/07 Q1019", 60.0, 50, 50000.0f},
        {L"EDDF 221850Z 24008KT 3000 BR FEW040 14/07 Q1019", 30.0, 50, 3000.0f},
        {L"EDDF 221850Z 24008KT CAVOK 14/07 Q1019", 60.0, 250, 200000.0f},
    };
    for (const Case& c : cases) {
        CSettings::SetMinVisibilityMetar9999(c.metar9999Km);
        const CSynop synop = Synop(kSynop20Km, Position::GetDestination(kFrankfurt, 0.0, c.synopDistanceNm));
        ASSERT_EQ(synop.GetVisibility(), 20000);
        EXPECT_EQ(MakeXPlaneWeather(Set(Metar(c.metar), synop), AircraftAt(3000)).Vis, c.vis)
            << c.synopDistanceNm << " " << c.metar9999Km;
    }
}

TEST_F(WeatherConverterTest, CloudLayers)
{
    struct Case
    {
        const wchar_t* metar;
        int elevation;
        int cavokCoverage;
        bool fogAsStratus;
        XPCloudLayer first;
        int layers;
    };
    const float base3000 = (3000 + 364) / kFeetPerMetre;
    const float fogBase = (364 + 100) / kFeetPerMetre;
    const Case cases[] = {
        {L"EDDF 221850Z 24008KT 9999 BKN030 14/07 Q1019",
         364,
         1,
         false,
         {3, 4.0f, base3000, (3500 + 364) / kFeetPerMetre},
         1},
        {L"EDDF 221850Z 24008KT 9999 BKN300 14/07 Q1019",
         0,
         1,
         false,
         {1, 1.0f, 30000 / kFeetPerMetre, 30500 / kFeetPerMetre},
         1},
        {L"EDDF 221850Z 24008KT 9999 FEW010 SCT020 BKN030 OVC040 14/07 Q1019",
         0,
         1,
         false,
         {1, 1.0f, 1000 / kFeetPerMetre, 1500 / kFeetPerMetre},
         3},
        // The CAVOK layer's base setting is a height above the station.
        {L"EDDF 221850Z 24008KT CAVOK 14/07 Q1019",
         364,
         1,
         false,
         {1, 1.0f, (7000 + 364) / kFeetPerMetre, (7500 + 364) / kFeetPerMetre},
         1},
        {L"EDDF 221850Z 24008KT CAVOK 14/07 Q1019", 364, 0, false, {}, 0},
        {L"EDDF 221850Z 24008KT 3000 -RA BR 14/13 Q1019", 364, 1, true, {5, 0.0f, fogBase, fogBase + 500.0f}, 1},
        {L"EDDF 221850Z 24008KT 3000 BR 14/13 Q1019", 364, 1, true, {}, 0},
    };
    for (const Case& c : cases) {
        CSettings::SetCavokCoverage(c.cavokCoverage);
        CSettings::SetGenerateFogAsStratus(c.fogAsStratus);
        platform::ScopedDebugCapture debug;
        const CXPWeather record = MakeXPlaneWeather(Set(Metar(c.metar, c.elevation)), AircraftAt(3000));
        const std::wstring name = c.metar;
        const XPCloudLayer& first = record.Cloudlayer[0];
        EXPECT_EQ(first.Type, c.first.Type) << name;
        EXPECT_FLOAT_EQ(first.Coverage, c.first.Coverage) << name;
        EXPECT_FLOAT_EQ(first.Base, c.first.Base) << name;
        // Rain takes the top to 10000 ft unless it is fog.
        EXPECT_FLOAT_EQ(first.Top, c.first.Top) << name;
        int layers = 0;
        for (const XPCloudLayer& layer : record.Cloudlayer)
            layers += layer.Type != 0 ? 1 : 0;
        EXPECT_EQ(layers, c.layers) << name;
        EXPECT_EQ(debug.Lines().size(), c.layers == 3 ? 1u : 0u) << name;
    }
}

TEST_F(WeatherConverterTest, WindLayers)
{
    const CGrib full = Grib(std::wstring(QString::fromLatin1(kFrankfurtGrid).mid(18).trimmed().toStdWString()));
    const CGrib two = Grib(kTwoLevelGrid);
    ASSERT_GT(full.GetLevels().size(), 2u);
    ASSERT_EQ(two.GetLevels().size(), 2u);
    const auto metar = Metar(L"EDDF 221850Z 24008G18KT 9999 FEW040 14/07 Q1019");

    const CXPWeather flat = MakeXPlaneWeather(Set(metar, CSynop(), two), AircraftAt(3000));
    for (const XPWindLayer& layer : flat.WindLayer) {
        EXPECT_FLOAT_EQ(layer.Alt, 364 / kFeetPerMetre);
        EXPECT_FLOAT_EQ(layer.Dir, 240.0f);
        EXPECT_FLOAT_EQ(layer.Speed, 8.0f);
        EXPECT_FLOAT_EQ(layer.ShearSpeed, 10.0f);
    }

    const CXPWeather weather = MakeXPlaneWeather(Set(metar, CSynop(), full), AircraftAt(30000));
    const CXPWeather wind = MakeXPlaneWind(Set(metar, CSynop(), full), AircraftAt(30000));
    const auto top = full.GetLevels().back();
    const auto atAircraft = full.GetLevelAtAltitude(30000);
    EXPECT_FLOAT_EQ(weather.WindLayer[0].Speed, 8.0f);
    EXPECT_FLOAT_EQ(weather.WindLayer[1].Speed, 0.0f);
    EXPECT_FLOAT_EQ(weather.WindLayer[1].Alt, atAircraft.GetAltitude() / kFeetPerMetre);
    EXPECT_FLOAT_EQ(weather.WindLayer[2].Speed, static_cast<float>(top.speed));
    EXPECT_FLOAT_EQ(wind.WindLayer[0].Speed, 0.0f);
    EXPECT_FLOAT_EQ(wind.WindLayer[1].Speed, static_cast<float>(atAircraft.speed));
    EXPECT_GT(wind.WindLayer[1].Speed, 0.0f);
    EXPECT_FLOAT_EQ(wind.WindLayer[2].Speed, 0.0f);
    EXPECT_FLOAT_EQ(wind.Vis, CXPWeather().Vis);

    EXPECT_THROW(MakeXPlaneWind(Set(metar), AircraftAt(3000)), std::out_of_range);
}

TEST_F(WeatherConverterTest, SurfaceGust)
{
    struct Case
    {
        const wchar_t* metar;
        double synopDistanceNm;
        float shearSpeed;
    };
    const Case cases[] = {
        {L"EDDF 221850Z 24008KT 9999 FEW040 14/07 Q1019", 999.0, 0.0f},
        {L"EDDF 221850Z 24008G18KT 9999 FEW040 14/07 Q1019", 999.0, 10.0f},
        // A gust below the mean wind is no gust.
        {L"EDDF 221850Z 24015G10KT 9999 FEW040 14/07 Q1019", 999.0, 0.0f},
        // The SYNOP's gust of 20 kt when its station is near.
        {L"EDDF 221850Z 24008KT 9999 FEW040 14/07 Q1019", 10.0, 12.0f},
        {L"EDDF 221850Z 24008KT 9999 FEW040 14/07 Q1019", 40.0, 0.0f},
    };
    for (const Case& c : cases) {
        const CSynop synop = Synop(L"AAXX 22184 10637 41570 82408 10140 20070 30190 40190 58010 333 91120",
                                   Position::GetDestination(kFrankfurt, 90.0, c.synopDistanceNm));
        const CXPWeather record = MakeXPlaneWeather(Set(Metar(c.metar), synop), AircraftAt(3000));
        EXPECT_FLOAT_EQ(record.WindLayer[0].ShearSpeed, c.shearSpeed) << c.metar << " " << c.synopDistanceNm;
    }
}

TEST_F(WeatherConverterTest, CloudTopOfShowersAndThunderstorms)
{
    struct Case
    {
        const wchar_t* metar;
        int base;
        int top;
    };
    const Case cases[] = {
        {L"EDDF 221850Z 24008KT 9999 FEW040 14/07 Q1019", 4000, 4500},
        {L"EDDF 221850Z 24008KT 9999 -SHRA FEW040 14/07 Q1019", 4000, 10000},
        {L"EDDF 221850Z 24008KT 9999 TSRA FEW040CB 14/07 Q1019", 4000, 20000},
        {L"EDDF 221850Z 24008KT 9999 TSRA FEW300 14/07 Q1019", 30000, 30500},
    };
    for (const Case& c : cases) {
        aviation::weather::CCloudLayer layer(c.base, 2, 0);
        layer.SetTop(c.base + 500);
        WeatherConverter::EstimateCloudTop(Set(Metar(c.metar)), layer);
        EXPECT_EQ(layer.GetTop(), c.top) << c.metar;
    }
}

} // namespace
