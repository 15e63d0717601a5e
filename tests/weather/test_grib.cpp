#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "tests/support/calendar.h"
#include "tests/support/testdata.h"
#include "weather/grib.h"
#include "weather/metar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

using aviation::weather::CCloudLayer;
using aviation::weather::CGrib;
using aviation::weather::CLevel;
using aviation::weather::CMetar;
using aviation::weather::CWind;
using testsupport::LocalSeconds;

namespace {

const std::wstring kHeader = L"GRIB 24680 67890 99501 10123";

// Eleven pressure levels over Frankfurt, 1000 to 100 hPa: temperature falling to the tropopause, the
// wind veering and rising to a jet near 250 hPa.
const std::wstring kLevels = L"0000110 11020 27018 9200760 07425 27525 8501460 03030 28030 7003010 05354 28540 "
                             L"5005570 21556 29055 4007190 32158 29068 3009160 45960 29585 2510360 52760 66002 "
                             L"2011790 56162 30090 1513610 57364 29575 1016180 59566 28045";

CGrib Decoded(const std::wstring& line)
{
    CGrib grib(line, false);
    grib.Decode(false);
    return grib;
}

} // namespace

TEST(GribHeader, ReadsPositionAndKeyInEveryQuadrant)
{
    const CGrib north(kHeader, true);
    EXPECT_NEAR(north.GetPosition().GetLatitude(), 50.1, 1e-5);
    EXPECT_NEAR(north.GetPosition().GetLongitude(), 12.3, 1e-5);
    EXPECT_EQ(north.GetLocationKey(), L"50110123");
    EXPECT_TRUE(north.GetErrorText().empty());

    const CGrib south(L"GRIB 24680 67890 99501 30123", true);
    EXPECT_NEAR(south.GetPosition().GetLatitude(), -50.1, 1e-5);
    EXPECT_NEAR(south.GetPosition().GetLongitude(), 12.3, 1e-5);
    const CGrib southWest(L"GRIB 24680 67890 99501 50123", true);
    EXPECT_NEAR(southWest.GetPosition().GetLatitude(), -50.1, 1e-5);
    EXPECT_NEAR(southWest.GetPosition().GetLongitude(), -12.3, 1e-5);
    const CGrib west(L"GRIB 24680 67890 99501 70123", true);
    EXPECT_NEAR(west.GetPosition().GetLatitude(), 50.1, 1e-5);
    EXPECT_NEAR(west.GetPosition().GetLongitude(), -12.3, 1e-5);
    EXPECT_EQ(west.GetLocationKey(), L"50170123");
}

TEST(GribHeader, HeaderOnlyLeavesLevelsUndecoded)
{
    CGrib grib(kHeader + L" 99012 15204 27015 " + kLevels, true);
    EXPECT_TRUE(grib.GetLevels().empty());
    EXPECT_EQ(grib.surfaceLevel.GetAltitude(), -99);
    EXPECT_TRUE(grib.Decode(false));
    EXPECT_EQ(grib.GetLevels().size(), 11u);
}

TEST(GribHeader, ReportsMissingHeaderAndRefusesTooShortText)
{
    CGrib noHeader(L"99012 15204 27015", false);
    EXPECT_TRUE(noHeader.Decode(true));
    EXPECT_EQ(noHeader.GetErrorText(), L"no Grib header found");
    EXPECT_TRUE(noHeader.GetLocationKey().empty());

    CGrib tooShort(L"GRIB", false);
    EXPECT_FALSE(tooShort.Decode(false));
    EXPECT_TRUE(tooShort.GetErrorText().empty());
}

TEST(GribSurface, DecodesPressureTemperatureDewPointAndWind)
{
    platform::ScopedDebugCapture capture;
    const CGrib warm = Decoded(kHeader + L" 99012 15204 27015 " + kLevels);
    EXPECT_FLOAT_EQ(warm.surfaceLevel.GetPressure(), 1012.0f);
    EXPECT_DOUBLE_EQ(warm.surfaceLevel.GetTemperature(), 15.2);
    EXPECT_NEAR(warm.surfaceLevel.GetDewPoint(), 14.8, 1e-9);
    EXPECT_DOUBLE_EQ(warm.surfaceLevel.direction, 270);
    EXPECT_DOUBLE_EQ(warm.surfaceLevel.speed, 15);
    EXPECT_EQ(warm.surfaceLevel.GetAltitude(), 0);
    EXPECT_GT(warm.surfaceLevel.GetHumidity(), 90.0);

    // Odd tenths mean below zero; a depression code above 50 counts whole degrees.
    const CGrib cold = Decoded(kHeader + L" 99985 15357 27015 " + kLevels);
    EXPECT_FLOAT_EQ(cold.surfaceLevel.GetPressure(), 985.0f);
    EXPECT_DOUBLE_EQ(cold.surfaceLevel.GetTemperature(), -15.3);
    EXPECT_NEAR(cold.surfaceLevel.GetDewPoint(), -22.3, 1e-9);
}

TEST(GribSurface, ReportsMissingSurfaceButGoesOn)
{
    platform::ScopedDebugCapture capture;
    const CGrib grib = Decoded(kHeader + L" " + kLevels);
    EXPECT_EQ(grib.GetErrorText(), L"no Grib surface data found");
    EXPECT_EQ(grib.GetLevels().size(), 11u);
}

TEST(GribWind, DirectionAboveThreeSixtyCarriesHundredKnots)
{
    platform::ScopedDebugCapture capture;
    const CGrib normal = Decoded(kHeader + L" 99012 15204 27615 " + kLevels);
    EXPECT_DOUBLE_EQ(normal.surfaceLevel.direction, 276);
    EXPECT_DOUBLE_EQ(normal.surfaceLevel.speed, 15);

    // Only one subtraction is made: 765 reads 405 degrees at 115 kt.
    const CGrib strong = Decoded(kHeader + L" 99012 15204 76515 " + kLevels);
    EXPECT_DOUBLE_EQ(strong.surfaceLevel.direction, 405);
    EXPECT_DOUBLE_EQ(strong.surfaceLevel.speed, 115);

    // The 250 hPa group 66002 is 300 degrees at 102 kt; six digits carry the speed directly.
    const std::vector<CLevel> levels = normal.GetLevels();
    EXPECT_DOUBLE_EQ(levels[7].direction, 300);
    EXPECT_DOUBLE_EQ(levels[7].speed, 102);
    const CGrib sixDigits = Decoded(kHeader + L" 99012 15204 27015 8501460 03030 280105 " + kLevels);
    EXPECT_DOUBLE_EQ(sixDigits.GetLevels().front().direction, 280);
    EXPECT_DOUBLE_EQ(sixDigits.GetLevels().front().speed, 105);
}

TEST(GribLevels, DecodesPressureLevelsInTextOrder)
{
    const CGrib grib = Decoded(kHeader + L" 99012 15204 27015 " + kLevels);
    const std::vector<CLevel> levels = grib.GetLevels();
    ASSERT_EQ(levels.size(), 11u);
    EXPECT_TRUE(grib.GetErrorText().empty());

    EXPECT_FLOAT_EQ(levels[0].GetPressure(), 1000.0f);
    EXPECT_EQ(levels[0].GetAltitude(), 360);
    EXPECT_FLOAT_EQ(levels[1].GetPressure(), 925.0f);
    EXPECT_FLOAT_EQ(levels[8].GetPressure(), 200.0f);
    EXPECT_FLOAT_EQ(levels[10].GetPressure(), 100.0f);
    for (size_t i = 1; i < levels.size(); ++i) {
        EXPECT_GT(levels[i].GetAltitude(), levels[i - 1].GetAltitude());
        EXPECT_LE(levels[i].GetTemperature(), levels[i - 1].GetTemperature() + 2.0);
    }
}

TEST(GribLevels, ReadsThe850HectopascalGroup)
{
    const CGrib grib = Decoded(kHeader + L" 99012 15204 27015 8501500 05008 28030 " + kLevels);
    const CLevel level = grib.GetLevels().front();
    EXPECT_FLOAT_EQ(level.GetPressure(), 850.0f);
    EXPECT_EQ(level.GetAltitude(), 4921);
    EXPECT_DOUBLE_EQ(level.GetTemperature(), 5.0);
    EXPECT_NEAR(level.GetDewPoint(), 4.2, 1e-9);
    EXPECT_DOUBLE_EQ(level.direction, 280);
    EXPECT_DOUBLE_EQ(level.speed, 30);
    EXPECT_GT(level.GetHumidity(), 90.0);
}

TEST(GribLevels, MaxWindAndTropopauseStayOutOfTheList)
{
    const CGrib grib
        = Decoded(kHeader + L" 99012 15204 27015 " + kLevels + L" 7713000 56156 66510 8811500 58160 66090");
    EXPECT_EQ(grib.GetLevels().size(), 11u);

    const CLevel maxWind = grib.GetMaxWindLevel();
    EXPECT_EQ(maxWind.GetAltitude(), 42651);
    EXPECT_DOUBLE_EQ(maxWind.direction, 305);
    EXPECT_DOUBLE_EQ(maxWind.speed, 110);
    EXPECT_DOUBLE_EQ(maxWind.GetTemperature(), -56.1);
    EXPECT_DOUBLE_EQ(maxWind.GetDewPoint(), 99);
    EXPECT_FLOAT_EQ(maxWind.GetPressure(), -1.0f);
    EXPECT_DOUBLE_EQ(maxWind.GetHumidity(), -1);

    const CLevel tropopause = grib.GetTropopauseLevel();
    EXPECT_EQ(tropopause.GetAltitude(), static_cast<int>(11500 * 3.28085));
    EXPECT_DOUBLE_EQ(tropopause.GetTemperature(), -58.1);
}

TEST(GribLevels, SlashesEndANumber)
{
    const CGrib grib = Decoded(kHeader + L" 99012 15204 27015 85///// ///// 28030 " + kLevels);
    const CLevel level = grib.GetLevels().front();
    EXPECT_FLOAT_EQ(level.GetPressure(), 850.0f);
    EXPECT_EQ(level.GetAltitude(), 0);
    EXPECT_DOUBLE_EQ(level.GetTemperature(), 0.0);
}

TEST(GribLevels, TenLevelsGiveTheTooFewMessageAndStillSucceed)
{
    const std::wstring raw = kHeader + L" 99012 15204 27015 " + kLevels.substr(0, kLevels.rfind(L" 1016180"));
    platform::ScopedDebugCapture capture;
    CGrib grib(raw, false);
    EXPECT_TRUE(grib.Decode(false));
    EXPECT_EQ(grib.GetLevels().size(), 10u);
    EXPECT_EQ(grib.GetErrorText(), L"(Grib) - too few layers of Level\n " + raw + L"\n");
    EXPECT_TRUE(capture.Contains("(Grib) - too few layers of Level"));
}

TEST(GribClouds, MarkersSetLowMiddleAndHighLayers)
{
    const CGrib low = Decoded(kHeader + L" 99012 15204 27015 " + kLevels + L" L6123");
    EXPECT_EQ(low.lowCloud.GetCoverage(), 6);
    EXPECT_EQ(low.lowCloud.GetBase(), 5000);
    EXPECT_EQ(low.highCloud.GetCoverage(), 0);

    const CGrib all = Decoded(kHeader + L" 99012 15204 27015 " + kLevels + L" L3000 M8000 H2000");
    EXPECT_EQ(all.lowCloud.GetCoverage(), 3);
    EXPECT_EQ(all.middleCloud.GetCoverage(), 8);
    EXPECT_EQ(all.middleCloud.GetBase(), 18000);
    EXPECT_EQ(all.highCloud.GetCoverage(), 2);
    EXPECT_EQ(all.highCloud.GetBase(), 18000);
    EXPECT_EQ(all.highCloud.GetBaseMSL(), -1);

    // Each marker is tried once, in the order L, M, H.
    const CGrib outOfOrder = Decoded(kHeader + L" 99012 15204 27015 " + kLevels + L" H2000 L6123");
    EXPECT_EQ(outOfOrder.highCloud.GetCoverage(), 2);
    EXPECT_EQ(outOfOrder.lowCloud.GetCoverage(), 0);
}

TEST(GribClouds, SkyObscuredDigitCountsAsOvercast)
{
    const CGrib grib = Decoded(kHeader + L" 99012 15204 27015 " + kLevels + L" L9000 M9123 H9000");
    EXPECT_EQ(grib.lowCloud.GetCoverage(), 8);
    EXPECT_EQ(grib.middleCloud.GetCoverage(), 8);
    EXPECT_EQ(grib.highCloud.GetCoverage(), 8);
}

TEST(GribClouds, DefaultRecordHasUnsetLayers)
{
    const CGrib grib;
    EXPECT_EQ(grib.lowCloud.GetBase(), -1);
    EXPECT_EQ(grib.lowCloud.GetCoverage(), 0);
    EXPECT_FALSE(grib.IsStandardAtmosphere());
    EXPECT_TRUE(grib.GetLevels().empty());
    EXPECT_EQ(CGrib(L"GRIB", false).lowCloud.GetBase(), 0);
}

TEST(GribStandardAtmosphere, BuildsThirteenLevelsFromTheSurface)
{
    CGrib grib;
    grib.SetStandardAtmosphere(CWind(350, 10), 15, 10, 1020);
    EXPECT_TRUE(grib.IsStandardAtmosphere());
    const std::vector<CLevel> levels = grib.GetLevels();
    ASSERT_EQ(levels.size(), 13u);
    const CLevel& top = levels.back();
    EXPECT_EQ(top.GetAltitude(), 39000);
    EXPECT_DOUBLE_EQ(top.direction, 402);
    EXPECT_DOUBLE_EQ(top.speed, 36);
    EXPECT_DOUBLE_EQ(top.GetTemperature(), -37);
    EXPECT_DOUBLE_EQ(top.GetDewPoint(), -55);
    EXPECT_NEAR(top.GetPressure(), 187.0f, 1e-3);
    EXPECT_EQ(levels.front().GetAltitude(), 3000);
    EXPECT_NEAR(levels.front().GetPressure(), 905.76f, 1e-3);
    EXPECT_FLOAT_EQ(grib.surfaceLevel.GetPressure(), 1020.0f);
    EXPECT_FALSE(grib.GetMaxWindLevel().HasData());

    // Decoding a made-up profile changes nothing.
    EXPECT_TRUE(grib.Decode(false));
    EXPECT_EQ(grib.GetLevels().size(), 13u);

    // The pressure offset is added to the table value before the sum becomes a float.
    grib.SetStandardAtmosphere(CWind(350, 10), 15, 10, 1013.3);
    EXPECT_EQ(grib.GetLevels()[1].GetPressure(), static_cast<float>(794.98 + (1013.3 - 1013.0)));
    EXPECT_EQ(grib.GetLevels()[5].GetPressure(), static_cast<float>(471.87 + (1013.3 - 1013.0)));
}

TEST(GribLevelAtAltitude, InterpolatesBetweenTheEnclosingLevels)
{
    const CGrib grib = Decoded(kHeader + L" 99012 15204 27015 " + kLevels);
    const std::vector<CLevel> levels = grib.GetLevels();
    const CLevel at850 = levels[2];
    const CLevel at700 = levels[3];
    const int altitude = (at850.GetAltitude() + at700.GetAltitude()) / 2;
    const CLevel level = grib.GetLevelAtAltitude(altitude);
    EXPECT_EQ(level.GetAltitude(), altitude);
    EXPECT_NEAR(level.GetTemperature(), (at850.GetTemperature() + at700.GetTemperature()) / 2, 0.05);
    EXPECT_NEAR(level.speed, (at850.speed + at700.speed) / 2, 0.05);
    EXPECT_NEAR(level.direction, (at850.direction + at700.direction) / 2, 0.05);
}

TEST(GribLevelAtAltitude, AnswersWithARealLevelOutsideAndOnTheLevels)
{
    const CGrib grib = Decoded(kHeader + L" 99012 15204 27015 " + kLevels);
    const std::vector<CLevel> levels = grib.GetLevels();

    const CLevel onLevel = grib.GetLevelAtAltitude(levels[4].GetAltitude());
    EXPECT_EQ(onLevel.GetAltitude(), levels[4].GetAltitude());
    EXPECT_DOUBLE_EQ(onLevel.GetTemperature(), levels[4].GetTemperature());
    EXPECT_DOUBLE_EQ(onLevel.speed, levels[4].speed);

    const CLevel below = grib.GetLevelAtAltitude(0);
    EXPECT_EQ(below.GetAltitude(), levels.front().GetAltitude());
    EXPECT_DOUBLE_EQ(below.speed, levels.front().speed);

    const CLevel above = grib.GetLevelAtAltitude(80000);
    EXPECT_EQ(above.GetAltitude(), levels.back().GetAltitude());
    EXPECT_DOUBLE_EQ(above.GetTemperature(), levels.back().GetTemperature());

    for (int altitude : {-1000, 0, 1181, 5000, 40000, 53084, 60000}) {
        const CLevel level = grib.GetLevelAtAltitude(altitude);
        EXPECT_FALSE(std::isnan(level.direction) || std::isnan(level.speed) || std::isnan(level.GetTemperature()))
            << altitude;
        EXPECT_GE(level.speed, 0) << altitude;
    }

    EXPECT_FALSE(CGrib().GetLevelAtAltitude(10000).HasData());
}

TEST(GribCopy, AssignmentKeepsTheTargetsTime)
{
    CGrib source(kHeader + L" 99012 15204 27015 " + kLevels, true);
    source.SetTime(1491555600);
    const CGrib copy(source);
    EXPECT_EQ(copy.GetTime(), 1491555600);
    CGrib assigned;
    assigned.SetTime(42);
    assigned = source;
    EXPECT_EQ(assigned.GetTime(), 42);
    EXPECT_EQ(assigned.GetLocationKey(), L"50110123");
    EXPECT_EQ(assigned.GetRaw(), source.GetRaw());
}

TEST(LocalTimeGribToMetar, WritesTheGridPointAsAMetarLine)
{
    platform::ScopedClock clock(LocalSeconds(2026, 12, 6, 11, 37));
    CGrib grib(kHeader + L" 99013 12040 27015 " + kLevels + L" L6123 M6000", true);
    CMetar report;
    report.SetICAO(L"EDDF");
    report.SetName(L"Frankfurt Main");
    report.SetPosition(aviation::Position(50.03, 8.57));
    grib.ToMetar(report);

    EXPECT_EQ(report.GetRaw(), L"EDDF 061100Z 27015KT 9999  FEW040 BKN160  12/08 Q1013");
    EXPECT_EQ(std::wstring(report.GetICAO()), L"EDDF");
    EXPECT_EQ(report.GetName(), L"Frankfurt Main");
    EXPECT_DOUBLE_EQ(report.GetPosition().GetLatitude(), 50.03);
    EXPECT_EQ(report.GetTemperature(), 12);
    EXPECT_EQ(report.GetDewPoint(), 8);
    EXPECT_DOUBLE_EQ(report.GetQNH(true), 1013.0);
    EXPECT_EQ(report.GetCloudLayers().size(), 2u);
}

TEST(LocalTimeGribToMetar, SubZeroPointPrintsTheMetarLetterM)
{
    platform::ScopedClock clock(LocalSeconds(2026, 1, 17, 5, 2));
    CGrib grib(kHeader + L" 99021 03120 36012 " + kLevels, true);
    CMetar report;
    grib.ToMetar(report);

    EXPECT_EQ(report.GetRaw(), L"AUTG 170500Z 36012KT 9999   M03/M05 Q1021");
    EXPECT_EQ(report.Decode(), 0);
    EXPECT_EQ(report.GetTemperature(), -3);
    EXPECT_EQ(report.GetDewPoint(), -5);
}

TEST(LocalTimeGribToMetar, HighLayerSitsBelowAHighTropopause)
{
    platform::ScopedClock clock(LocalSeconds(2026, 7, 6, 14, 0));
    CGrib grib(kHeader + L" 99013 22060 24008 " + kLevels + L" 8811500 58160 66090 H4000", true);
    CMetar report;
    report.SetICAO(L"EDDF");
    grib.ToMetar(report);
    EXPECT_EQ(report.GetRaw(), L"EDDF 061400Z 24008KT 9999  SCT367  22/12 Q1013");
}

TEST(LocalTimeGribToMetar, UnsetTemperatureDoesNotBecomeOne)
{
    platform::ScopedClock clock(LocalSeconds(2026, 12, 6, 11, 37));
    platform::ScopedDebugCapture capture;
    CGrib grib(kHeader + L" " + kLevels, true);
    CMetar report;
    report.SetICAO(L"EDDF");
    grib.ToMetar(report);
    EXPECT_EQ(report.GetRaw().find(L"99/"), std::wstring::npos)
        << std::string(report.GetRaw().begin(), report.GetRaw().end());
    EXPECT_NE(report.GetTemperature(), -99);
    // Without a surface group there is no wind either: the unknown wind keeps the groups after it readable.
    EXPECT_EQ(report.GetRaw().rfind(L"EDDF 061100Z /////KT 9999", 0), 0u);
    EXPECT_EQ(report.GetVisibility(), 9999);
}

TEST(LocalTimeGribToMetar, SkyObscuredLayersStayReadable)
{
    platform::ScopedClock clock(LocalSeconds(2026, 12, 6, 11, 37));
    CGrib grib(kHeader + L" 99013 12040 27015 " + kLevels + L" M9000 H9000", true);
    CMetar report;
    report.SetICAO(L"EDDF");
    grib.ToMetar(report);
    EXPECT_EQ(report.GetRaw(), L"EDDF 061100Z 27015KT 9999  OVC160 OVC280  12/08 Q1013");
    EXPECT_EQ(report.Decode(), 0);
    EXPECT_EQ(report.GetTemperature(), 12);
    EXPECT_EQ(report.GetCloudLayers().size(), 2u);
}

TEST(GribComposedData, EveryComposedPointDecodesCompletely)
{
    for (const char* name : {"frankfurt-area.txt", "three-points.txt", "quadrants.txt"}) {
        std::ifstream file(testsupport::TestDataPath(std::string("grid/") + name));
        ASSERT_TRUE(file) << name;
        std::string line;
        int points = 0;
        while (std::getline(file, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            CGrib grib(std::wstring(line.begin(), line.end()), true);
            ASSERT_TRUE(grib.Decode(false)) << line;
            EXPECT_TRUE(grib.GetErrorText().empty()) << line;
            EXPECT_GE(grib.GetLevels().size(), 11u) << line;
            EXPECT_LE(grib.GetLevels().size(), 14u) << line;
            EXPECT_GT(grib.GetMaxWindLevel().speed, grib.surfaceLevel.speed) << line;
            ++points;
        }
        EXPECT_GT(points, 0) << name;
    }
}
