// The records one generated weather station travels in: the FSUIPC block, the X-Plane record and the pair
// with the METAR text.
#include "simlink/fsweatherstation.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::uint16_t WordAt(const CNewWeather& block, std::size_t offset)
{
    std::uint16_t word;
    std::memcpy(&word, reinterpret_cast<const unsigned char*>(&block) + offset, sizeof(word));
    return word;
}

} // namespace

TEST(WeatherRecords, NewBlockIsZeroExceptPressure)
{
    const CNewWeather block;
    EXPECT_EQ(WordAt(block, 40), 1013);
    EXPECT_EQ(WordAt(block, 42), 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&block);
    for (std::size_t i = 0; i < sizeof(block); ++i) {
        if (i != 40 && i != 41) {
            ASSERT_EQ(bytes[i], 0) << "byte " << i;
        }
    }
}

TEST(WeatherRecords, DefaultXPlaneRecordHoldsStandardAtmosphere)
{
    const CXPWeather xplane;
    EXPECT_EQ(xplane.Press, 29.92f);
    EXPECT_EQ(xplane.Vis, 80000.0f);
    EXPECT_EQ(xplane.Temp, 15.0f);
    EXPECT_EQ(xplane.Dew, 5.0f);
    EXPECT_EQ(xplane.RainPercent + xplane.ThunderstromPercent + xplane.WindTurbulencePercent + xplane.RateChangePercent
                  + xplane.WaveHeight + xplane.WaveSpeed + xplane.WaveLenght,
              0.0f);
    EXPECT_EQ(xplane.WaveDir, 0);
    for (int i = 0; i < CXPWeather::kLayers; ++i) {
        EXPECT_EQ(xplane.Cloudlayer[i].Type, 0);
        EXPECT_EQ(xplane.Cloudlayer[i].Top, 0.0f);
        EXPECT_EQ(xplane.WindLayer[i].Speed, 0.0f);
        EXPECT_EQ(xplane.WindLayer[i].ShearSpeed, 0.0f);
    }
}

TEST(WeatherRecords, DefaultStationHasEmptyTextAndNoTransitionTime)
{
    const CFSWeatherStation station;
    EXPECT_TRUE(station.text.isEmpty());
    EXPECT_EQ(station.seconds, 0);
    EXPECT_EQ(station.block.Press, 1013);
    EXPECT_EQ(station.xplane.Vis, 80000.0f);
}

TEST(WeatherRecords, CopiedStationCarriesBlockTextAndXPlaneRecord)
{
    CFSWeatherStation source;
    std::memcpy(source.block.Icao, "LOWI", 4);
    source.block.nWindCtr = 2;
    source.block.WindLayer[1].Dir = 45511;
    source.text = QStringLiteral("LOWI 071020Z 25012KT 9999 FEW040 08/M02 Q1019");
    source.xplane.Temp = 8.0f;
    source.seconds = 30;

    const CFSWeatherStation copy = source;
    EXPECT_EQ(std::memcmp(&copy.block, &source.block, sizeof(CNewWeather)), 0);
    EXPECT_EQ(copy.text, source.text);
    EXPECT_EQ(copy.xplane.Temp, 8.0f);
    EXPECT_EQ(copy.seconds, 30);
}
