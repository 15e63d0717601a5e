#include "weather/weathermanager.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CCloudLayer;
using aviation::weather::CLevel;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CSynop;
using aviation::weather::CWeatherManager;

namespace {

// 2026-12-06 13:00 UTC: the SYNOPs below observed at 12:00 on the 6th are one hour old.
constexpr std::int64_t kSixthOneOClock = 1796562000;

std::wstring Printf(const wchar_t* format, ...)
{
    wchar_t buffer[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vswprintf(buffer, 512, format, arguments);
    va_end(arguments);
    return length > 0 ? std::wstring(buffer, static_cast<size_t>(length)) : std::wstring();
}

// TTTDD of the grid text: tenths of a degree, odd for below zero, and a dew-point depression of 3 degrees.
std::wstring TemperatureGroup(double celsius)
{
    int tenths = static_cast<int>(std::lround(std::fabs(celsius) * 10.0));
    if (celsius < 0.0 && tenths % 2 == 0)
        tenths += 1;
    if (celsius >= 0.0 && tenths % 2 == 1)
        tenths -= 1;
    return Printf(L"%03i30", tenths);
}

// One grid line at a point of the 0.1 degree lattice: a surface group and `levelCount` pressure levels from
// 1000 hPa up, 6.5 degrees colder per kilometre up to -56.5, with the same wind at every level.
std::wstring GridLine(double latitude, double longitude, int levelCount, double surfaceTemperature,
                      int windDirection = 270, int windSpeed = 30)
{
    static const int indicators[] = {0, 92, 85, 70, 50, 40, 30, 25, 20, 15, 10, 7, 5, 3};
    static const int heights[]
        = {110, 760, 1460, 3010, 5570, 7190, 9160, 10360, 11790, 13610, 16180, 18440, 20580, 23850};
    const int quadrant = latitude >= 0.0 ? (longitude >= 0.0 ? 1 : 7) : (longitude >= 0.0 ? 3 : 5);
    std::wstring line
        = Printf(L"GRIB 06110 00012 99%03i %i%04i 99013 ", static_cast<int>(std::lround(std::fabs(latitude) * 10)),
                 quadrant, static_cast<int>(std::lround(std::fabs(longitude) * 10)));
    line += TemperatureGroup(surfaceTemperature) + Printf(L" %03i%02i", windDirection, windSpeed);
    for (int i = 0; i < levelCount; ++i) {
        line += Printf(L" %02i%05i ", indicators[i], heights[i])
            + TemperatureGroup(std::max(-56.5, surfaceTemperature - 6.5 * heights[i] / 1000.0))
            + Printf(L" %03i%02i", windDirection, windSpeed);
    }
    return line;
}

// The last value between `low` and `high` at which `within` still holds (it holds up to a point, then no more).
double LastWithin(double low, double high, const std::function<bool(double)>& within)
{
    for (int i = 0; i < 200; ++i) {
        const double middle = (low + high) / 2.0;
        (within(middle) ? low : high) = middle;
    }
    return low;
}

// The northernmost point of `from`'s meridian at most `nm` away from it.
Position AtMostNorth(const Position& from, double nm)
{
    const double longitude = from.GetLongitude();
    return Position(
        LastWithin(from.GetLatitude(), from.GetLatitude() + 10.0,
                   [&](double latitude) { return Position::GetDistance(from, Position(latitude, longitude)) <= nm; }),
        longitude);
}

const wchar_t* const kFrankfurtSouth = L"EDFE 061250Z 24008KT 9999 BKN020 12/08 Q1015";
const wchar_t* const kSynop = L"AAXX 06124 10637 41580 82708 10125 20081 30050 40132 57012 8807/";
const wchar_t* const kSynopWithoutWind = L"AAXX 06124 10637 41580 8//// 10125 20081 30050 40132 57012 8807/";

// Four reports one in each quadrant of (0, 20), all 42.4 NM away (exactly the same distance).
const Position kCentre(0.0, 20.0);
const Position kNorthEast(0.5, 20.5);
const Position kSouthEast(-0.5, 20.5);
const Position kSouthWest(-0.5, 19.5);
const Position kNorthWest(0.5, 19.5);
// Where the METAR for a position is asked for.
const Position kQueried(50.0, 8.0);

class PositionQuery : public ::testing::Test
{
protected:
    void AddMetar(const std::wstring& raw, const Position& position, int elevation = 0)
    {
        CMetar report(raw);
        report.SetPosition(position);
        report.SetElevation(elevation);
        report.SetName(L"Station " + raw.substr(0, 4));
        report.SetCountry(L"Testland");
        manager.AddMetar(report, false);
    }

    // Reports north-east, south-east, south-west and north-west of the centre.
    void AddAround(const std::array<const wchar_t*, 4>& reports, int elevation = 0)
    {
        const Position positions[] = {kNorthEast, kSouthEast, kSouthWest, kNorthWest};
        for (size_t i = 0; i < reports.size(); ++i)
            AddMetar(reports[i], positions[i], elevation);
    }

    void AddSynop(const std::wstring& raw, const Position& position)
    {
        CSynop report(raw);
        report.SetPosition(position);
        manager.AddSynop(report, false);
    }

    void AddGrid(const std::wstring& line) { manager.InitWindData(line, false); }

    // Grid points about 150 NM north-east, south-east, south-west and north-west of the centre.
    void AddGridAround(int levelCount, const std::array<double, 4>& temperatures, int direction = 270, int speed = 30)
    {
        const double corners[][2] = {{1.8, 21.8}, {-1.8, 21.8}, {-1.8, 18.2}, {1.8, 18.2}};
        for (size_t i = 0; i < temperatures.size(); ++i)
            AddGrid(GridLine(corners[i][0], corners[i][1], levelCount, temperatures[i], direction, speed));
    }

    static CMetar Target(const wchar_t* icao, const Position& position, int elevation = 0)
    {
        CMetar target;
        target.SetICAO(icao);
        target.SetName(L"Target field");
        target.SetCountry(L"Targetland");
        target.SetPosition(position);
        target.SetElevation(elevation);
        target.SetTime(1700000000);
        return target;
    }

    // The report written for a target at the centre from the surrounding reports (or only the nearest one).
    CMetar Interpolated(bool nearestOnly = false, int elevation = 0)
    {
        CMetar target = Target(L"XTGT", kCentre, elevation);
        EXPECT_TRUE(manager.InterpolationMetar(target, nearestOnly, 200));
        return target;
    }

    // Asks for the METAR at kQueried for EDXX, whose record stands at `at`.
    int Query(CMetar& metar, double metarLimit = 30.0, const Position& at = kQueried)
    {
        metar = Target(L"EDXX", at);
        return manager.GetMetarForPosition(kQueried, metar, metarLimit, 30.0);
    }

    CWeatherManager manager;
};

} // namespace

TEST(VectorDirection, GivesTheWindDirectionOfEveryQuadrantAxisAndScale)
{
    // The zero vector has no direction: 0, not the NaN of 0/0. Components whose squares vanish or overflow
    // keep their direction.
    const struct
    {
        double x, y, direction, tolerance;
    } cases[] = {{1, 1, 45.0, 1e-9},
                 {-1, 1, 135.0, 1e-9},
                 {-1, -1, 225.0, 1e-9},
                 {1, -1, 315.0, 1e-9},
                 {1, 0, 360.0, 0.0},
                 {-1, 0, 180.0, 0.0},
                 {0, 1, 90.0, 0.0},
                 {0, -1, 270.0, 0.0},
                 {3, 4, 53.13, 0.005},
                 {0.0, 0.0, 0.0, 0.0},
                 {-0.0, 0.0, 0.0, 0.0},
                 {1e-200, 1e-200, 45.0, 1e-9},
                 {-3e-170, -4e-170, 233.13, 0.005},
                 {-1e200, 1e200, 135.0, 1e-9},
                 {3e160, -4e160, 306.87, 0.005}};
    for (const auto& c : cases)
        EXPECT_NEAR(CWeatherManager::GetVectorDirection(c.x, c.y), c.direction, c.tolerance) << c.x << " " << c.y;

    // Nearly axial vectors stay in range.
    for (double tiny : {1e-300, 1e-12, 1e-9, 4.9e-324})
        for (double x : {1.0, -1.0, 250.0})
            for (double y : {tiny, -tiny})
                for (double direction :
                     {CWeatherManager::GetVectorDirection(x, y), CWeatherManager::GetVectorDirection(y, x)})
                    EXPECT_TRUE(direction >= 0.0 && direction <= 360.0) << x << " " << y << ": " << direction;
}

TEST_F(PositionQuery, InterpolatesTheProfileOfFourSurroundingGridPoints)
{
    AddGridAround(14, {20.0, 24.0, 28.0, 32.0});
    std::vector<CLevel> levels;
    EXPECT_EQ(manager.InterpolationGrib(kCentre, levels), 0);
    ASSERT_EQ(levels.size(), 14u);
    // Equal distances: each diagonal gives its mean, (20 + 28) / 2 and (24 + 32) / 2, and these are averaged.
    EXPECT_NEAR(levels[0].GetTemperature(), 26.0 - 6.5 * 0.110, 0.11);
    EXPECT_NEAR(levels[0].GetDewPoint(), levels[0].GetTemperature() - 3.0, 0.11);
    EXPECT_EQ(levels[0].GetAltitude(), 360);
    EXPECT_EQ(levels[13].GetAltitude(), static_cast<int>(23850 * 3.28085));
    for (const CLevel& level : levels) {
        EXPECT_NEAR(level.direction, 270.0, 1e-6);
        EXPECT_NEAR(level.speed, 30.0, 1e-6);
        EXPECT_EQ(level.gust, 0.0);
        EXPECT_EQ(level.GetPressure(), -1.0f);
        EXPECT_EQ(level.GetHumidity(), -1.0);
    }
    EXPECT_TRUE(manager.GetLastMessage().empty());

    // Calm levels interpolate to calm, without NaN.
    manager.Clear();
    AddGridAround(11, {20.0, 20.0, 20.0, 20.0}, 0, 0);
    levels.clear();
    EXPECT_EQ(manager.InterpolationGrib(kCentre, levels), 0);
    ASSERT_EQ(levels.size(), 11u);
    EXPECT_EQ(levels[0].speed, 0.0);
    EXPECT_EQ(levels[0].direction, 0.0);

    // A point due east belongs to the south-east quadrant, so four points surround the target.
    ASSERT_EQ(Position::GetCourse(kCentre, Position(0.0, 21.5f)), 90.0);
    manager.Clear();
    for (const auto& [latitude, longitude] : {std::pair(1.5, 21.5), {0.0, 21.5}, {-1.5, 18.5}, {1.5, 18.5}})
        AddGrid(GridLine(latitude, longitude, 11, 20.0));
    EXPECT_EQ(manager.InterpolationGrib(kCentre, levels), 0);
}

TEST_F(PositionQuery, MissingQuadrantOrUnequalProfilesGiveTheNearestPointsProfile)
{
    std::vector<CLevel> levels{CLevel()};
    EXPECT_EQ(manager.InterpolationGrib(kCentre, levels), 1);
    EXPECT_TRUE(levels.empty());

    AddGrid(GridLine(1.8, 21.8, 12, 20.0));
    AddGrid(GridLine(-1.8, 21.8, 11, 20.0));
    AddGrid(GridLine(-1.8, 18.2, 11, 20.0));
    EXPECT_EQ(manager.InterpolationGrib(kCentre, levels), 1);
    EXPECT_EQ(levels.size(), 12u); // the nearest point (the first of three at equal distances)

    manager.Clear();
    AddGrid(GridLine(1.8, 21.8, 14, 20.0));
    AddGrid(GridLine(-1.8, 21.8, 14, 24.0));
    AddGrid(GridLine(-1.7, 18.3, 13, 28.0)); // the nearest point, one level short
    AddGrid(GridLine(1.8, 18.2, 14, 32.0));
    platform::ScopedDebugCapture capture;
    EXPECT_EQ(manager.InterpolationGrib(kCentre, levels), 3);
    ASSERT_EQ(levels.size(), 13u);
    EXPECT_NEAR(levels[0].GetTemperature(), 28.0 - 0.7, 0.11);
    EXPECT_EQ(manager.GetLastMessage(), L"(WeatherManage) - InterpolationGrib Out of Range error");
    EXPECT_TRUE(capture.Contains("InterpolationGrib Out of Range error: "));
}

TEST_F(PositionQuery, GridPointsCountAsSurroundingUpTo200NauticalMiles)
{
    // East points near, west points far; moving the target east pushes the west points out of reach.
    AddGrid(GridLine(45.5, 11.0, 11, 10.0));
    AddGrid(GridLine(44.5, 11.0, 11, 12.0));
    AddGrid(GridLine(44.0, 6.0, 11, 14.0));
    AddGrid(GridLine(46.0, 6.0, 11, 16.0));
    const auto farthestWest = [](const Position& p) {
        return std::max(Position::GetDistance(p, Position(44.0f, 6.0f)),
                        Position::GetDistance(p, Position(46.0f, 6.0f)));
    };
    // Positions of the grid points are read from the text in single precision.
    const auto eastOfNine = [&](double nm) {
        return Position(45.0, LastWithin(9.0, 14.0, [&](double longitude) {
                            return farthestWest(Position(45.0, longitude)) <= nm;
                        }));
    };
    const Position at200 = eastOfNine(200.0);
    const Position at2001 = eastOfNine(200.1);
    ASSERT_NEAR(farthestWest(at200), 200.0, 1e-9);
    ASSERT_LE(farthestWest(at200), 200.0);

    std::vector<CLevel> levels;
    EXPECT_EQ(manager.InterpolationGrib(at200, levels), 0);
    EXPECT_EQ(levels.size(), 11u);
    levels.clear();
    EXPECT_EQ(manager.InterpolationGrib(at2001, levels), 1);
    EXPECT_EQ(levels.size(), 11u);
}

TEST_F(PositionQuery, NearestReportIsTakenOverUnderTheTargetsIdentity)
{
    // Nothing within the radius leaves the report alone.
    AddMetar(L"FZAA 061250Z 27010KT 9999 FEW030 25/20 Q1010", Position(4.0, 20.0));
    CMetar target = Target(L"XTGT", kCentre);
    target.SetRaw(L"XTGT 061250Z 00000KT 9999 20/10 Q1013");
    EXPECT_FALSE(manager.InterpolationMetar(target, true, 200));
    EXPECT_EQ(target.GetRaw(), L"XTGT 061250Z 00000KT 9999 20/10 Q1013");
    EXPECT_EQ(target.GetPosition(), kCentre);

    // Two reports of one station (a routine report and a later special): the later one wins.
    AddMetar(L"FZAA 061250Z 27010KT 9999 FEW020 25/20 Q1010", kNorthEast, 500);
    AddMetar(L"FZAA 061310Z 27012KT 8000 BKN020 24/20 Q1010", kNorthEast, 500);
    target = Interpolated(true, 300);
    EXPECT_EQ(target.GetRaw(), L"XTGT 061310Z 27012KT 8000 BKN020 24/20 Q1010");
    ASSERT_EQ(target.GetCloudLayers().size(), 1u);
    EXPECT_EQ(target.GetCloudLayers()[0].GetBase(), 2200); // 2000 ft above a field 200 ft higher
    EXPECT_EQ(target.GetVisibility(), 8000);
    EXPECT_EQ(std::wstring(target.GetICAO()), L"XTGT");
    EXPECT_EQ(target.GetPosition(), kCentre);
    EXPECT_EQ(target.GetElevation(), 300);
    EXPECT_EQ(target.GetName(), L"Target field");
    EXPECT_EQ(target.GetTime(), 1700000000);
    EXPECT_EQ(target.GetCountry(), L"Testland");
}

TEST_F(PositionQuery, CloudsBelowAHighTargetsGroundAreClampedTo500Feet)
{
    AddMetar(L"FZAA 061250Z 27010KT 9999 SCT015 BKN040 25/20 Q1010", kNorthEast, 500);
    CMetar target = Interpolated(true, 3000);
    ASSERT_EQ(target.GetCloudLayers().size(), 2u);
    EXPECT_EQ(target.GetCloudLayers()[0].GetBase(), 500);
    EXPECT_EQ(target.GetCloudLayers()[1].GetBase(), 1500);

    // The written report merges bases above the target's ground the same way.
    manager.Clear();
    AddAround({L"FZAA 061250Z 27010KT 9999 SCT015 BKN040 25/20 Q1010", L"FZBB 061250Z 27010KT 9999 SCT015 25/20 Q1010",
               L"FZCC 061250Z 27010KT 9999 SCT015 25/20 Q1010", L"FZDD 061250Z 27010KT 9999 SCT015 25/20 Q1010"},
              500);
    target = Interpolated(false, 3000);
    EXPECT_NE(target.GetRaw().find(L" SCT005 "), std::wstring::npos) << target.GetRaw();
    EXPECT_EQ(target.Decode(), 0);
}

TEST_F(PositionQuery, WritesADecodableReportFromFourSurroundingReports)
{
    // `metar` is the whole written report when it starts with the target's ICAO, else a piece of it.
    const struct
    {
        std::array<const wchar_t*, 4> reports;
        const wchar_t* metar;
    } cases[] = {
        // The last of the four equally near reports gives the time group; 12 km stays 12KM.
        {{L"FZAA 061250Z 27010KT 12KM FEW030 10/05 Q1010", L"FZBB 061250Z 27010KT 12KM FEW030 12/05 Q1012",
          L"FZCC 061250Z 27010KT 12KM FEW030 14/05 Q1014", L"FZDD 061320Z 27010KT 12KM FEW030 16/05 Q1016"},
         L"XTGT 061320Z 27010KT 12KM  FEW030 13/05 Q1013"},
        // T = ((1 - 2) / 2 + (1 - 1) / 2) / 2 = -0.25 gives M00. The one FEW layer, blended with lent empty
        // layers, ends with 0 oktas and still prints as FEW.
        {{L"FZAA 061250Z 27010KT 9999 FEW030 01/M01 Q1010", L"FZBB 061250Z 27010KT 9999 01/M01 Q1010",
          L"FZCC 061250Z 27010KT 9999 M02/M04 Q1010", L"FZDD 061250Z 27010KT 9999 M01/M03 Q1010"},
         L"XTGT 061250Z 27010KT 9999  FEW030 M00/M02 Q1010"},
        // Calm quadrants give a calm wind group, not NaN.
        {{L"FZAA 061250Z 00000KT 9999 FEW030 25/20 Q1010", L"FZBB 061250Z 00000KT 9999 FEW030 25/20 Q1010",
          L"FZCC 061250Z 00000KT 9999 FEW030 25/20 Q1010", L"FZDD 061250Z 00000KT 9999 FEW030 25/20 Q1010"},
         L"XTGT 061250Z 00000KT 9999  FEW030 25/20 Q1010"},
        // The precipitation word comes from the quadrants' weather.
        {{L"FZAA 061250Z 27010KT 9999 +TSRA FEW030CB 25/20 Q1010", L"FZBB 061250Z 27010KT 9999 FEW030 25/20 Q1010",
          L"FZCC 061250Z 27010KT 9999 FEW030 25/20 Q1010", L"FZDD 061250Z 27010KT 9999 FEW030 25/20 Q1010"},
         L" 9999 RA FEW030 "},
        {{L"FZAA 061250Z 27010KT 4000 SN FEW030 M01/M02 Q1010", L"FZBB 061250Z 27010KT 4000 RA FEW030 01/M01 Q1010",
          L"FZCC 061250Z 27010KT 9999 FEW030 01/M01 Q1010", L"FZDD 061250Z 27010KT 9999 FEW030 01/M01 Q1010"},
         L" -SN FEW030 "},
        // A hundred kilometres would print as 100KM, which reads as 0 m: capped at 99.
        {{L"KAAA 061250Z 27010KT 70SM FEW030 25/20 A2992", L"KBBB 061250Z 27010KT 70SM FEW030 25/20 A2992",
          L"KCCC 061250Z 27010KT 70SM FEW030 25/20 A2992", L"KDDD 061250Z 27010KT 70SM FEW030 25/20 A2992"},
         L" 99KM "},
    };
    for (const auto& c : cases) {
        manager.Clear();
        AddAround(c.reports);
        CMetar target = Interpolated();
        const std::wstring raw = target.GetRaw();
        if (std::wstring(c.metar).rfind(L"XTGT ", 0) == 0)
            EXPECT_EQ(raw, c.metar);
        else
            EXPECT_NE(raw.find(c.metar), std::wstring::npos) << raw;
        EXPECT_EQ(target.Decode(), 0) << raw;
    }
    EXPECT_EQ(Interpolated().GetVisibility(), 99000);
}

TEST_F(PositionQuery, ReportsDueNorthAndDueEastOpenTheirQuadrants)
{
    // Due north (course 0) is north-east, due east (course 90) south-east; no quadrant is left to the grid.
    const Position dueNorth(0.5, 20.0);
    const Position dueEast(0.0, 20.5);
    ASSERT_EQ(Position::GetCourse(kCentre, dueNorth), 0.0);
    ASSERT_EQ(Position::GetCourse(kCentre, dueEast), 90.0);
    AddMetar(L"FZAA 061250Z 27010KT 9999 FEW030 10/05 Q1010", dueNorth);
    AddMetar(L"FZBB 061250Z 27010KT 9999 FEW030 10/05 Q1010", dueEast);
    AddMetar(L"FZCC 061250Z 27010KT 9999 FEW030 20/05 Q1010", kSouthWest);
    AddMetar(L"FZDD 061250Z 27010KT 9999 FEW030 20/05 Q1010", kNorthWest);
    // Each diagonal: 10 + (20 - 10) x 30.05 / (30.05 + 42.5) = 14.1.
    EXPECT_EQ(Interpolated().GetRaw(), L"XTGT 061250Z 27010KT 9999  FEW030 14/05 Q1010");
}

TEST_F(PositionQuery, QuadrantFromTheGridStandsAtItsGridPoint)
{
    // No report south-west of the target: the grid point there stands in, as near as the north-east report.
    AddMetar(L"FZAA 061250Z 27010KT 9999 FEW030 10/05 Q1010", kNorthEast);
    AddMetar(L"FZBB 061250Z 27010KT 9999 FEW030 10/05 Q1010", kSouthEast);
    AddMetar(L"FZDD 061250Z 27010KT 9999 FEW030 10/05 Q1010", kNorthWest);
    AddGrid(GridLine(-0.5, 19.5, 11, 20.0));
    CMetar target = Interpolated();
    // ((10 + 20) / 2 + 10) / 2: weighted as standing 42 NM away, not at (0, 0).
    EXPECT_NE(target.GetRaw().find(L" 12/"), std::wstring::npos) << target.GetRaw();
    EXPECT_EQ(target.Decode(), 0);
}

TEST_F(PositionQuery, MetarCloserThan20MilesIsTakenDirectlyAndFartherOnesFollowTheLimit)
{
    AddMetar(kFrankfurtSouth, AtMostNorth(kQueried, 19.9), 1000);
    CMetar metar;
    EXPECT_EQ(Query(metar), 1);
    EXPECT_EQ(metar.GetRaw(), L"EDXX 061250Z 24008KT 9999 BKN020 12/08 Q1015");
    EXPECT_EQ(std::wstring(metar.GetICAO()), L"EDXX");
    EXPECT_EQ(metar.GetPosition(), kQueried);
    EXPECT_EQ(metar.GetCountry(), L"Targetland");
    ASSERT_EQ(metar.GetCloudLayers().size(), 1u);
    EXPECT_EQ(metar.GetCloudLayers()[0].GetBase(), 2000); // the nearest report's own values

    manager.Clear();
    Position at20 = AtMostNorth(kQueried, 20.0);
    if (Position::GetDistance(kQueried, at20) < 20.0)
        at20.SetLatitude(std::nextafter(at20.GetLatitude(), 90.0));
    ASSERT_GE(Position::GetDistance(kQueried, at20), 20.0);
    AddMetar(kFrankfurtSouth, at20, 1000);
    // Within the METAR limit: the nearest report within 200 NM, its clouds moved to the target's ground.
    EXPECT_EQ(Query(metar), 1);
    EXPECT_EQ(metar.GetRaw(), L"EDXX 061250Z 24008KT 9999 BKN020 12/08 Q1015");
    ASSERT_EQ(metar.GetCloudLayers().size(), 1u);
    EXPECT_EQ(metar.GetCloudLayers()[0].GetBase(), 3000);
    // Beyond it, with no SYNOP and no grid: nothing reaches the position.
    EXPECT_EQ(Query(metar, 10.0), 4);
    EXPECT_TRUE(metar.GetRaw().empty());

    // Beyond the radius but within the limit the nearest report is copied as it is.
    manager.Clear();
    AddMetar(kFrankfurtSouth, AtMostNorth(kQueried, 250.0));
    EXPECT_EQ(Query(metar, 300.0), 1);
    EXPECT_EQ(metar.GetRaw(), kFrankfurtSouth);
}

TEST_F(PositionQuery, TargetWithoutPositionIsPlacedForTheSearchOnly)
{
    AddMetar(kFrankfurtSouth, AtMostNorth(kQueried, 10.0));
    CMetar metar;
    EXPECT_EQ(Query(metar, 30.0, Position()), 1);
    EXPECT_EQ(metar.GetPosition(), Position());
    EXPECT_EQ(metar.GetRaw(), L"EDXX 061250Z 24008KT 9999 BKN020 12/08 Q1015");

    // Empty stores reach nothing; the target keeps its identity.
    manager.Clear();
    EXPECT_EQ(Query(metar, 30.0, Position()), 4);
    EXPECT_EQ(metar.GetPosition(), kQueried);
    EXPECT_EQ(std::wstring(metar.GetICAO()), L"EDXX");
    EXPECT_EQ(metar.GetName(), L"Target field");
}

TEST_F(PositionQuery, RecentSynopWithWindNearerThanAnyMetarStandsIn)
{
    platform::ScopedClock clock(kSixthOneOClock);
    AddMetar(kFrankfurtSouth, AtMostNorth(kQueried, 60.0));
    AddSynop(kSynop, AtMostNorth(kQueried, 5.0));
    CMetar metar;
    EXPECT_EQ(Query(metar), 1);
    EXPECT_EQ(metar.GetRaw().rfind(L"EDXX 000000Z 27008KT ", 0), 0u) << metar.GetRaw();
    EXPECT_EQ(metar.Decode(), 0);
    EXPECT_EQ(metar.GetPosition(), kQueried);

    // Without a wind the SYNOP sends the query to the nearest METAR.
    manager.Clear();
    AddMetar(kFrankfurtSouth, AtMostNorth(kQueried, 60.0));
    AddSynop(kSynopWithoutWind, AtMostNorth(kQueried, 5.0));
    EXPECT_EQ(Query(metar), 1);
    EXPECT_EQ(metar.GetRaw(), L"EDXX 061250Z 24008KT 9999 BKN020 12/08 Q1015");
}

TEST_F(PositionQuery, FarMetarIsNotHandedOutWhenNothingLiesWithinReach)
{
    platform::ScopedClock clock(kSixthOneOClock);
    // A SYNOP without wind near the position, or a usable one beyond its limit: the grid decides.
    for (const auto& [synop, miles] : {std::pair(kSynopWithoutWind, 5.0), std::pair(kSynop, 50.0)}) {
        manager.Clear();
        AddMetar(kFrankfurtSouth, AtMostNorth(kQueried, 300.0));
        AddSynop(synop, AtMostNorth(kQueried, miles));
        CMetar metar;
        EXPECT_EQ(Query(metar), 4) << miles;
        EXPECT_TRUE(metar.GetRaw().empty());

        AddGrid(GridLine(50.0, 8.0, 11, 15.0));
        EXPECT_EQ(Query(metar), 1) << miles;
        EXPECT_EQ(metar.GetRaw().rfind(L"EDXX ", 0), 0u);
        EXPECT_NE(metar.GetRaw().find(L"27030KT 9999"), std::wstring::npos) << metar.GetRaw();
        EXPECT_EQ(metar.Decode(), 0);
    }
}

namespace {

// Report times and "now" are both read as the computer's local time; the three-hour rule holds in any zone.
class LocalTimePositionQuery : public PositionQuery
{
};

} // namespace

TEST_F(LocalTimePositionQuery, SynopExactlyThreeHoursOldIsNoLongerUsed)
{
    AddMetar(kFrankfurtSouth, AtMostNorth(kQueried, 60.0));
    AddSynop(kSynop, AtMostNorth(kQueried, 5.0));
    // 15:00 UTC on the 6th of December and of July: the SYNOP of 12:00 is exactly three hours old.
    for (const std::int64_t threeHoursLater : {kSixthOneOClock + 2 * 3600, std::int64_t(1783350000)}) {
        platform::ScopedClock clock(threeHoursLater - 1);
        CMetar metar;
        EXPECT_EQ(Query(metar), 1);
        EXPECT_EQ(metar.GetRaw().rfind(L"EDXX 000000Z ", 0), 0u) << metar.GetRaw();

        clock.SetNow(threeHoursLater);
        EXPECT_EQ(Query(metar), 1);
        EXPECT_EQ(metar.GetRaw(), L"EDXX 061250Z 24008KT 9999 BKN020 12/08 Q1015");
    }
}

TEST_F(PositionQuery, FailureInsideTheQueryEndsInStatus5)
{
    // The nearest report needs repair, and the repair's message reaches a log that fails.
    AddMetar(L"EDFE 061250Z 24008KT //// // ////// 12/08 Q1015", AtMostNorth(kQueried, 5.0));
    manager.sigMessage.connect([](const wchar_t*) { throw std::runtime_error("log file gone"); });
    CMetar metar;
    EXPECT_EQ(Query(metar), 5);
}
