#include "generation/weatherconverter.h"
#include "platform/debugoutput.h"
#include "weatherrecordtest.h"
#include "weatherworkertest.h"

#include <stdexcept>

using aviation::Position;
using aviation::weather::CSynop;
using WeatherConverter::MakeXPlaneWeather;
using WeatherConverter::MakeXPlaneWind;
using namespace recordtest;

namespace {

constexpr float kFeetPerMetre = 3.2808f;
// Frankfurt's SYNOP: 20 km visibility, wind 240 degrees 8 kt, a gust of 20 kt (333 section 911 group).
const wchar_t* const kSynop = L"AAXX 22184 10637 41570 82408 10140 20070 30190 40190 58010 333 91120";

aviation::structs::CAircraft AircraftAt(int altitude)
{
    aviation::structs::CAircraft aircraft;
    aircraft.altitude = altitude;
    return aircraft;
}

using WeatherConverterTest = WeatherRecordTest;

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
        {L"EDDF 221850Z 24008KT CAVOK 14/07 Q1019", 60.0, 200, 200000.0f},
    };
    for (const Case& c : cases) {
        CSettings::SetMinVisibilityMetar9999(c.metar9999Km);
        const CSynop synop = Synop(kSynop, Position::GetDestination(kFrankfurt, 0.0, c.synopDistanceNm));
        EXPECT_EQ(MakeXPlaneWeather(Set(Metar(c.metar), synop), AircraftAt(3000)).Vis, c.vis) << c.metar;
    }
}

TEST_F(WeatherConverterTest, CloudLayers)
{
    struct Case
    {
        const wchar_t* metar;
        int elevation;
        int cavokCoverage;
        XPCloudLayer first;
        int layers;
    };
    const float fogBase = (364 + 100) / kFeetPerMetre;
    const Case cases[] = {
        {L"EDDF 221850Z 24008KT 9999 BKN030 14/07 Q1019",
         364,
         1,
         {3, 4.0f, (3000 + 364) / kFeetPerMetre, (3500 + 364) / kFeetPerMetre},
         1},
        // Showers reach 10000 ft.
        {L"EDDF 221850Z 24008KT 9999 -SHRA OVC030 14/07 Q1019",
         0,
         1,
         {4, 5.0f, 3000 / kFeetPerMetre, 10000 / kFeetPerMetre},
         1},
        {L"EDDF 221850Z 24008KT 9999 BKN300 14/07 Q1019",
         0,
         1,
         {1, 1.0f, 30000 / kFeetPerMetre, 30500 / kFeetPerMetre},
         1},
        {L"EDDF 221850Z 24008KT 9999 FEW010 SCT020 BKN030 OVC040 14/07 Q1019",
         0,
         1,
         {1, 1.0f, 1000 / kFeetPerMetre, 1500 / kFeetPerMetre},
         3},
        // The CAVOK layer's base setting is a height above the station.
        {L"EDDF 221850Z 24008KT CAVOK 14/07 Q1019",
         364,
         1,
         {1, 1.0f, (7000 + 364) / kFeetPerMetre, (7500 + 364) / kFeetPerMetre},
         1},
        {L"EDDF 221850Z 24008KT CAVOK 14/07 Q1019", 364, 0, {}, 0},
        {L"EDDF 221850Z 24008KT 3000 -RA BR 14/13 Q1019", 364, 1, {5, 0.0f, fogBase, fogBase + 500.0f}, 1},
        {L"EDDF 221850Z 24008KT 3000 BR 14/13 Q1019", 364, 1, {}, 0},
    };
    CSettings::SetGenerateFogAsStratus(true);
    for (const Case& c : cases) {
        CSettings::SetCavokCoverage(c.cavokCoverage);
        platform::ScopedDebugCapture debug;
        const CXPWeather record = MakeXPlaneWeather(Set(Metar(c.metar, c.elevation)), AircraftAt(3000));
        const XPCloudLayer& first = record.Cloudlayer[0];
        EXPECT_EQ(first.Type, c.first.Type) << c.metar;
        EXPECT_FLOAT_EQ(first.Coverage, c.first.Coverage) << c.metar;
        EXPECT_FLOAT_EQ(first.Base, c.first.Base) << c.metar;
        EXPECT_FLOAT_EQ(first.Top, c.first.Top) << c.metar;
        int layers = 0;
        for (const XPCloudLayer& layer : record.Cloudlayer)
            layers += layer.Type != 0 ? 1 : 0;
        EXPECT_EQ(layers, c.layers) << c.metar;
        EXPECT_EQ(debug.Lines().size(), c.layers == 3 ? 1u : 0u) << c.metar;
    }
}

TEST_F(WeatherConverterTest, WindLayers)
{
    const auto full = Grib(QString::fromLatin1(kFrankfurtGrid).mid(18).trimmed().toStdWString());
    const auto two = Grib(L"GRIB 06110 00012 99501 10086 99014 12440 27015 0000118 11420 28225 9200768 07825 28135");
    ASSERT_EQ(two.GetLevels().size(), 2u);
    const auto metar = Metar(L"EDDF 221850Z 24008G18KT 9999 FEW040 14/07 Q1019");

    // Two levels: the surface wind in all three layers.
    for (const XPWindLayer& layer : MakeXPlaneWeather(Set(metar, CSynop(), two), AircraftAt(3000)).WindLayer) {
        EXPECT_FLOAT_EQ(layer.Alt, 364 / kFeetPerMetre);
        EXPECT_FLOAT_EQ(layer.Dir, 240.0f);
        EXPECT_FLOAT_EQ(layer.Speed, 8.0f);
        EXPECT_FLOAT_EQ(layer.ShearSpeed, 10.0f);
    }
    // The weather record has no speed at the aircraft's level, the wind record speed only there.
    const CXPWeather weather = MakeXPlaneWeather(Set(metar, CSynop(), full), AircraftAt(30000));
    const CXPWeather wind = MakeXPlaneWind(Set(metar, CSynop(), full), AircraftAt(30000));
    const auto atAircraft = full.GetLevelAtAltitude(30000);
    EXPECT_EQ(weather.WindLayer[1].Alt, wind.WindLayer[1].Alt);
    EXPECT_FLOAT_EQ(wind.WindLayer[1].Alt, atAircraft.GetAltitude() / kFeetPerMetre);
    EXPECT_EQ(std::vector<float>({weather.WindLayer[0].Speed, weather.WindLayer[1].Speed, weather.WindLayer[2].Speed}),
              std::vector<float>({8.0f, 0.0f, static_cast<float>(full.GetLevels().back().speed)}));
    EXPECT_EQ(std::vector<float>({wind.WindLayer[0].Speed, wind.WindLayer[1].Speed, wind.WindLayer[2].Speed}),
              std::vector<float>({0.0f, static_cast<float>(atAircraft.speed), 0.0f}));
    EXPECT_THROW(MakeXPlaneWind(Set(metar), AircraftAt(3000)), std::out_of_range);

    // Without a gust of its own (one below the mean wind is none) a METAR takes the gust of a SYNOP within 30 NM.
    const auto noGust = Metar(L"EDDF 221850Z 24015G10KT 9999 FEW040 14/07 Q1019");
    for (const auto& [synopDistanceNm, shearSpeed] : {std::pair{999.0, 0.0f}, {10.0, 5.0f}, {40.0, 0.0f}}) {
        const CSynop synop = Synop(kSynop, Position::GetDestination(kFrankfurt, 90.0, synopDistanceNm));
        EXPECT_FLOAT_EQ(MakeXPlaneWeather(Set(noGust, synop), AircraftAt(3000)).WindLayer[0].ShearSpeed, shearSpeed)
            << synopDistanceNm;
    }
}

} // namespace
