#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "tests/support/calendar.h"
#include "tests/support/testdata.h"
#include "weather/grib.h"
#include "weather/metar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

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

// Header, surface groups and the eleven levels.
const std::wstring kPoint = kHeader + L" 99012 15204 27015 " + kLevels;

CGrib Decoded(const std::wstring& line)
{
    CGrib grib(line, false);
    grib.Decode(false);
    return grib;
}

} // namespace

TEST(GribHeader, ReadsPositionAndKeyInEveryQuadrant)
{
    const struct
    {
        const wchar_t* header;
        double latitude, longitude;
        const wchar_t* key;
    } cases[] = {
        {L"GRIB 24680 67890 99501 10123", 50.1, 12.3, L"50110123"},
        {L"GRIB 24680 67890 99501 30123", -50.1, 12.3, L"50130123"},
        {L"GRIB 24680 67890 99501 50123", -50.1, -12.3, L"50150123"},
        {L"GRIB 24680 67890 99501 70123", 50.1, -12.3, L"50170123"},
    };
    for (const auto& c : cases) {
        const CGrib grib(c.header, true);
        EXPECT_NEAR(grib.GetPosition().GetLatitude(), c.latitude, 1e-5) << c.key;
        EXPECT_NEAR(grib.GetPosition().GetLongitude(), c.longitude, 1e-5) << c.key;
        EXPECT_EQ(grib.GetLocationKey(), c.key);
        EXPECT_TRUE(grib.GetErrorText().empty());
    }
}

TEST(GribHeader, HeaderOnlyDefersTheLevelsAndAMissingHeaderIsReported)
{
    CGrib grib(kPoint, true);
    EXPECT_TRUE(grib.GetLevels().empty());
    EXPECT_EQ(grib.surfaceLevel.GetAltitude(), -99);
    EXPECT_TRUE(grib.Decode(false));
    EXPECT_EQ(grib.GetLevels().size(), 11u);

    CGrib noHeader(L"99012 15204 27015", false);
    EXPECT_TRUE(noHeader.Decode(true));
    EXPECT_EQ(noHeader.GetErrorText(), L"no Grib header found");
    EXPECT_TRUE(noHeader.GetLocationKey().empty());

    CGrib tooShort(L"GRIB", false);
    EXPECT_FALSE(tooShort.Decode(false));
    EXPECT_TRUE(tooShort.GetErrorText().empty());
}

TEST(GribSurface, DecodesPressureTemperatureDewPointAndWindOrReportsTheirAbsence)
{
    const struct
    {
        const wchar_t* groups;
        float pressure;
        double temperature, dewPoint, direction, speed;
    } cases[] = {
        {L" 99012 15204 27015 ", 1012.0f, 15.2, 14.8, 270, 15},
        // Odd tenths mean below zero; a depression code above 50 counts whole degrees.
        {L" 99985 15357 27015 ", 985.0f, -15.3, -22.3, 270, 15},
        {L" 99012 15204 27615 ", 1012.0f, 15.2, 14.8, 276, 15},
        // Only one subtraction is made: 765 reads 405 degrees at 115 kt.
        {L" 99012 15204 76515 ", 1012.0f, 15.2, 14.8, 405, 115},
    };
    platform::ScopedDebugCapture capture;
    for (const auto& c : cases) {
        const CLevel surface = Decoded(kHeader + c.groups + kLevels).surfaceLevel;
        EXPECT_FLOAT_EQ(surface.GetPressure(), c.pressure) << c.groups;
        EXPECT_NEAR(surface.GetTemperature(), c.temperature, 1e-9) << c.groups;
        EXPECT_NEAR(surface.GetDewPoint(), c.dewPoint, 1e-9) << c.groups;
        EXPECT_DOUBLE_EQ(surface.direction, c.direction) << c.groups;
        EXPECT_DOUBLE_EQ(surface.speed, c.speed) << c.groups;
        EXPECT_EQ(surface.GetAltitude(), 0);
    }
    EXPECT_GT(Decoded(kPoint).surfaceLevel.GetHumidity(), 90.0);

    const CGrib missing = Decoded(kHeader + L" " + kLevels);
    EXPECT_EQ(missing.GetErrorText(), L"no Grib surface data found");
    EXPECT_EQ(missing.GetLevels().size(), 11u);
}

TEST(GribLevels, DecodesPressureLevelsInTextOrder)
{
    const CGrib grib = Decoded(kPoint);
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
    // The 250 hPa group 66002 is 300 degrees at 102 kt.
    EXPECT_DOUBLE_EQ(levels[7].direction, 300);
    EXPECT_DOUBLE_EQ(levels[7].speed, 102);
}

TEST(GribLevels, ReadsThe850HectopascalGroupSixDigitWindsAndSlashes)
{
    const CLevel level = Decoded(kHeader + L" 99012 15204 27015 8501500 05008 28030 " + kLevels).GetLevels().front();
    EXPECT_FLOAT_EQ(level.GetPressure(), 850.0f);
    EXPECT_EQ(level.GetAltitude(), 4921);
    EXPECT_DOUBLE_EQ(level.GetTemperature(), 5.0);
    EXPECT_NEAR(level.GetDewPoint(), 4.2, 1e-9);
    EXPECT_DOUBLE_EQ(level.direction, 280);
    EXPECT_DOUBLE_EQ(level.speed, 30);
    EXPECT_GT(level.GetHumidity(), 90.0);

    // Six digits carry the speed directly.
    const CLevel sixDigits = Decoded(kHeader + L" 99012 15204 27015 8501460 03030 280105 " + kLevels).GetLevels()[0];
    EXPECT_DOUBLE_EQ(sixDigits.direction, 280);
    EXPECT_DOUBLE_EQ(sixDigits.speed, 105);

    // Slashes end a number.
    const CLevel slashed = Decoded(kHeader + L" 99012 15204 27015 85///// ///// 28030 " + kLevels).GetLevels()[0];
    EXPECT_FLOAT_EQ(slashed.GetPressure(), 850.0f);
    EXPECT_EQ(slashed.GetAltitude(), 0);
    EXPECT_DOUBLE_EQ(slashed.GetTemperature(), 0.0);
}

TEST(GribLevels, MaxWindAndTropopauseStayOutOfTheList)
{
    const CGrib grib = Decoded(kPoint + L" 7713000 56156 66510 8811500 58160 66090");
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

TEST(GribLevels, TenLevelsGiveTheTooFewMessageAndStillSucceed)
{
    const std::wstring raw = kPoint.substr(0, kPoint.rfind(L" 1016180"));
    platform::ScopedDebugCapture capture;
    CGrib grib(raw, false);
    EXPECT_TRUE(grib.Decode(false));
    EXPECT_EQ(grib.GetLevels().size(), 10u);
    EXPECT_EQ(grib.GetErrorText(), L"(Grib) - too few layers of Level\n " + raw + L"\n");
    EXPECT_TRUE(capture.Contains("(Grib) - too few layers of Level"));
}

TEST(GribClouds, MarkersSetLowMiddleAndHighLayers)
{
    const struct
    {
        const wchar_t* markers;
        int low, middle, high;
    } cases[] = {
        {L" L6123", 6, 0, 0},
        {L" L3000 M8000 H2000", 3, 8, 2},
        // Each marker is tried once, in the order L, M, H.
        {L" H2000 L6123", 0, 0, 2},
        // Sky obscured counts as overcast.
        {L" L9000 M9123 H9000", 8, 8, 8},
    };
    for (const auto& c : cases) {
        const CGrib grib = Decoded(kPoint + c.markers);
        EXPECT_EQ(grib.lowCloud.GetCoverage(), c.low) << c.markers;
        EXPECT_EQ(grib.middleCloud.GetCoverage(), c.middle) << c.markers;
        EXPECT_EQ(grib.highCloud.GetCoverage(), c.high) << c.markers;
    }
    EXPECT_EQ(Decoded(kPoint + L" L6123").lowCloud.GetBase(), 5000);
    const CGrib all = Decoded(kPoint + L" L3000 M8000 H2000");
    EXPECT_EQ(all.middleCloud.GetBase(), 18000);
    EXPECT_EQ(all.highCloud.GetBase(), 18000);
    EXPECT_EQ(all.highCloud.GetBaseMSL(), -1);
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

TEST(GribLevelAtAltitude, InterpolatesBetweenLevelsAndAnswersWithARealLevelOutsideAndOnThem)
{
    const CGrib grib = Decoded(kPoint);
    const std::vector<CLevel> levels = grib.GetLevels();
    const CLevel& at850 = levels[2];
    const CLevel& at700 = levels[3];
    const int altitude = (at850.GetAltitude() + at700.GetAltitude()) / 2;
    const CLevel between = grib.GetLevelAtAltitude(altitude);
    EXPECT_EQ(between.GetAltitude(), altitude);
    EXPECT_NEAR(between.GetTemperature(), (at850.GetTemperature() + at700.GetTemperature()) / 2, 0.05);
    EXPECT_NEAR(between.speed, (at850.speed + at700.speed) / 2, 0.05);
    EXPECT_NEAR(between.direction, (at850.direction + at700.direction) / 2, 0.05);

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
    CGrib source(kPoint, true);
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

TEST(LocalTimeGribToMetar, WritesTheGridPointAsAReadableMetarLine)
{
    const struct
    {
        std::int64_t now;
        std::wstring groups;
        const wchar_t* icao;
        const wchar_t* metar;
        int code;
    } cases[] = {
        {LocalSeconds(2026, 12, 6, 11, 37), L" 99013 12040 27015 " + kLevels + L" L6123 M6000", L"EDDF",
         L"EDDF 061100Z 27015KT 9999  FEW040 BKN160  12/08 Q1013", 0},
        // Sub-zero temperatures are written with the letter M; without an ICAO the line is an automatic one.
        {LocalSeconds(2026, 1, 17, 5, 2), L" 99021 03120 36012 " + kLevels, nullptr,
         L"AUTG 170500Z 36012KT 9999   M03/M05 Q1021", 0},
        // A high layer sits below a high tropopause.
        {LocalSeconds(2026, 7, 6, 14, 0), L" 99013 22060 24008 " + kLevels + L" 8811500 58160 66090 H4000", L"EDDF",
         L"EDDF 061400Z 24008KT 9999  SCT367  22/12 Q1013", 0},
        {LocalSeconds(2026, 12, 6, 11, 37), L" 99013 12040 27015 " + kLevels + L" M9000 H9000", L"EDDF",
         L"EDDF 061100Z 27015KT 9999  OVC160 OVC280  12/08 Q1013", 0},
        // Without a surface group the unset temperature is not printed, and the unknown wind keeps the groups
        // after it readable up to the unset pressure.
        {LocalSeconds(2026, 12, 6, 11, 37), L" " + kLevels, L"EDDF", L"EDDF 061100Z /////KT 9999   Q-001", 9},
    };
    platform::ScopedDebugCapture capture;
    for (const auto& c : cases) {
        platform::ScopedClock clock(c.now);
        CMetar report;
        if (c.icao)
            report.SetICAO(c.icao);
        report.SetName(L"Frankfurt Main");
        report.SetPosition(aviation::Position(50.03, 8.57));
        CGrib(kHeader + c.groups, true).ToMetar(report);
        EXPECT_EQ(report.GetRaw(), c.metar);
        EXPECT_EQ(report.GetName(), L"Frankfurt Main");
        EXPECT_DOUBLE_EQ(report.GetPosition().GetLatitude(), 50.03);
        EXPECT_EQ(report.Decode(), c.code) << c.metar;
        EXPECT_EQ(report.GetVisibility(), 9999) << c.metar;
        EXPECT_NE(report.GetTemperature(), -99) << c.metar;
    }
}

TEST(GribComposedData, EveryComposedPointDecodesCompletely)
{
    for (const char* name : {"frankfurt-area.txt", "three-points.txt", "quadrants.txt"}) {
        const std::vector<std::wstring> lines = testsupport::GridPointLines(name);
        EXPECT_FALSE(lines.empty()) << name;
        for (const std::wstring& line : lines) {
            CGrib grib(line, true);
            const std::string text(line.begin(), line.end());
            ASSERT_TRUE(grib.Decode(false)) << text;
            EXPECT_TRUE(grib.GetErrorText().empty()) << text;
            EXPECT_GE(grib.GetLevels().size(), 11u) << text;
            EXPECT_LE(grib.GetLevels().size(), 14u) << text;
            EXPECT_GT(grib.GetMaxWindLevel().speed, grib.surfaceLevel.speed) << text;
        }
    }
}
