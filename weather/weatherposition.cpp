// The weather manager's answers for a position: the METAR for any place (nearest report, a SYNOP stand-in,
// the nearest METAR within a wider radius or the grid), the upper-air profile interpolated from the four
// surrounding grid points, and a METAR written from the four surrounding reports.

#include "weather/weathermanager.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "weather/wideformat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <stdexcept>

namespace aviation::weather {

namespace {

// Quadrants around a target, by course from it: NE [0, 90), SE [90, 180), SW [180, 270), NW [270, 360).
enum Quadrant { NE = 0, SE = 1, SW = 2, NW = 3 };
constexpr int QuadrantCount = 4;

// The quadrant of a course; -1 for a course outside [0, 360).
int QuadrantOf(double course)
{
    for (int quadrant = 0; quadrant < QuadrantCount; ++quadrant) {
        const double lower = 90.0 * quadrant;
        if (course >= lower && course < lower + 90.0)
            return quadrant;
    }
    return -1;
}

// The nearest record in each quadrant around `target` within `limitNm` (of equally near ones the last in list
// order), or null; `distances` gets their distances, `limitNm` where there is none.
template<class Record>
std::array<const Record*, QuadrantCount> NearestPerQuadrant(const std::vector<Record>& records, const Position& target,
                                                            double limitNm,
                                                            std::array<double, QuadrantCount>& distances)
{
    std::array<const Record*, QuadrantCount> nearest{};
    distances.fill(limitNm);
    for (const Record& record : records) {
        const int quadrant = QuadrantOf(Position::GetCourse(target, record.GetPosition()));
        if (quadrant < 0)
            continue;
        const double distance = record.GetDistance(target, false);
        if (distance <= distances[quadrant]) {
            distances[quadrant] = distance;
            nearest[quadrant] = &record;
        }
    }
    return nearest;
}

// A value interpolated between two diagonally opposite points, averaged over both diagonals (NE with SW,
// SE with NW). NE and SE take the first role.
double DiagonalAverage(const std::array<double, QuadrantCount>& values,
                       const std::array<Position, QuadrantCount>& positions, const Position& target)
{
    const double neSw = InterpolateByDistance(values[NE], positions[NE], values[SW], positions[SW], target);
    const double seNw = InterpolateByDistance(values[SE], positions[SE], values[NW], positions[NW], target);
    return (neSw + seNw) * 0.5;
}

// A cloud base can come out below the ground when the target lies above its neighbours' cloud bases; such a
// layer is put at 500 ft, as the METAR store's repair does.
int ClampCloudBase(int base)
{
    return base < 0 ? 500 : base;
}

// Now as the report times are read: the UTC calendar fields converted back like a report's day and hour.
std::int64_t NowAsReportTime()
{
    const std::time_t now = static_cast<std::time_t>(platform::NowSeconds());
    std::tm local{};
    std::tm utc{};
    localtime_r(&now, &local);
    gmtime_r(&now, &utc);
    utc.tm_isdst = local.tm_isdst;
    return static_cast<std::int64_t>(std::mktime(&utc));
}

bool Contains(const std::wstring& text, const wchar_t* part)
{
    return text.find(part) != std::wstring::npos;
}

// The weather word of the interpolated report from the quadrants' present weather.
std::wstring PrecipitationWord(const std::array<CMetar, QuadrantCount>& quadrants)
{
    int rain = 0;
    int snow = 0;
    for (const CMetar& report : quadrants) {
        std::wstring weather = report.GetWeather();
        if (Contains(weather, L"NSC"))
            weather.clear();
        if (Contains(weather, L"TS"))
            rain += 5;
        else if (Contains(weather, L"RA"))
            rain += 2;
        if (Contains(weather, L"TS") && Contains(weather, L"SN"))
            snow += 5;
        else if (Contains(weather, L"SN"))
            snow += 2;
        if (report.GetWeatherIntensity() == 1)
            rain -= 1;
        else if (report.GetWeatherIntensity() == 3)
            rain += 1;
    }
    const auto score
        = [](int value) { return static_cast<int>(std::ceil(value > 0 ? value * 0.25 : static_cast<double>(value))); };
    static const wchar_t* const rainWords[] = {L"-RA", L"RA", L"+RA", L"-TSRA", L"TSRA", L"+TSRA"};
    static const wchar_t* const snowWords[] = {L"-SN", L"SN", L"+SN", L"-TSSN", L"TSSN", L"+TSSN"};
    std::wstring word;
    const int rainScore = score(rain);
    const int snowScore = score(snow);
    if (rainScore >= 1 && rainScore <= 6)
        word = rainWords[rainScore - 1];
    if (snowScore >= 1 && snowScore <= 6)
        word = snowWords[snowScore - 1];
    return word;
}

// Layer i of either list, for lists combined index by index: a list without layer i lends one at the other's
// base with no cover.
CCloudLayer LayerOrStandIn(const std::vector<CCloudLayer>& list, const std::vector<CCloudLayer>& other, size_t i)
{
    return i < list.size() ? list[i] : CCloudLayer(other[i].GetBase(), 0, 0, -1);
}

// Layers of two reports combined index by index. Bases of the result are heights above sea level.
std::vector<CCloudLayer> CombineDiagonal(const CMetar& first, const CMetar& second, const Position& target)
{
    const std::vector<CCloudLayer> a = first.GetCloudLayers();
    const std::vector<CCloudLayer> b = second.GetCloudLayers();
    std::vector<CCloudLayer> combined;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const CCloudLayer layerA = LayerOrStandIn(a, b, i);
        const CCloudLayer layerB = LayerOrStandIn(b, a, i);
        const int base = static_cast<int>(
            InterpolateByDistance(layerA.GetBase() + first.GetElevation(), first.GetPosition(),
                                  layerB.GetBase() + second.GetElevation(), second.GetPosition(), target));
        const int coverage = static_cast<unsigned char>(static_cast<int>(InterpolateByDistance(
            layerA.GetCoverage(), first.GetPosition(), layerB.GetCoverage(), second.GetPosition(), target)));
        combined.emplace_back(base, coverage, 0, -1);
    }
    return combined;
}

// The two diagonal lists merged into heights above the target's ground.
std::vector<CCloudLayer> MergeDiagonals(const std::vector<CCloudLayer>& a, const std::vector<CCloudLayer>& b,
                                        int targetElevation)
{
    std::vector<CCloudLayer> merged;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const CCloudLayer layerA = LayerOrStandIn(a, b, i);
        const CCloudLayer layerB = LayerOrStandIn(b, a, i);
        const int base = static_cast<int>((layerA.GetBase() + layerB.GetBase()) * 0.5 - targetElevation);
        const int coverage = static_cast<int>((layerA.GetCoverage() + layerB.GetCoverage()) * 0.5);
        merged.emplace_back(ClampCloudBase(base), coverage, 0, -1);
    }
    return merged;
}

} // namespace

double CWeatherManager::GetVectorDirection(double x, double y)
{
    // The zero vector has no direction; calm winds come out as 0.
    if (x == 0.0 && y == 0.0)
        return 0.0;
    if (x == 0.0)
        return y > 0.0 ? 90.0 : 270.0;
    double a = std::fabs(x);
    double b = std::fabs(y);
    // Squares of components near the ends of the double range vanish or overflow (0/0 or inf - inf below);
    // the vector scaled to a longest component of 1 has the same direction.
    if (!std::isnormal(a * a + b * b)) {
        const double longest = std::max(a, b);
        a /= longest;
        b /= longest;
    }
    const double c = std::sqrt(a * a + b * b);
    // Law of cosines on the right triangle (a, b, c); rounding may push the cosine a hair beyond 1.
    const double cosine = std::clamp((b * b - c * c - a * a) / (-2.0 * c * a), -1.0, 1.0);
    const double theta = RadToDeg(std::acos(cosine));
    double direction = 0.0;
    if (x <= 0.0 && y >= 0.0)
        direction = 180.0 - theta;
    if (x >= 0.0 && y >= 0.0)
        direction = theta;
    if (x <= 0.0 && y <= 0.0)
        direction = 180.0 + theta;
    if (x >= 0.0 && y <= 0.0)
        direction = 360.0 - theta;
    return direction;
}

int CWeatherManager::GetMetarForPosition(const Position& position, CMetar& metar, double metarLimit, double synopLimit)
{
    try {
        const CStation target(metar);
        if (metar.GetPosition().GetLatitude() == 0.0 && metar.GetPosition().GetLongitude() == 0.0)
            metar.SetPosition(position);

        const CMetar nearestMetar = GetNearestMetar(position);
        CSynop nearestSynop;
        FindNearestSynop(position, nearestSynop);
        const double metarDistance = nearestMetar.GetDistance(position, false);
        const double synopDistance = nearestSynop.GetDistance(position, false);

        if (metarDistance < 20.0) {
            metar = nearestMetar;
            std::wstring raw = metar.GetRaw();
            raw.replace(0, std::min<size_t>(4, raw.size()), target.GetICAO());
            metar.SetStation(target);
            metar.SetRaw(raw);
            return 1;
        }

        bool interpolate = false;
        if (synopDistance >= metarDistance && metarDistance <= metarLimit) {
            interpolate = true;
        } else if (synopDistance < metarDistance && synopDistance <= synopLimit) {
            if (nearestSynop.Decode() != 0 || !nearestSynop.HasCloudBase() || !nearestSynop.HasWind()
                || !nearestSynop.HasVisibility() || nearestSynop.GetTime() <= NowAsReportTime() - 10800) {
                interpolate = true;
            } else {
                nearestSynop.ToMetar(metar);
                return 1;
            }
        }

        if (interpolate) {
            if (InterpolationMetar(metar, true, 200))
                return 1;
            // Nothing within the interpolation radius: a copy of the nearest report only serves when that
            // report lies within the caller's limit; otherwise the grid decides.
            if (metarDistance <= metarLimit) {
                metar = nearestMetar;
                return 1;
            }
        }

        if (HasGribNear(position)) {
            GetNearestGrib(position).ToMetar(metar);
            return 1;
        }
        return 4;
    } catch (...) {
        return 5;
    }
}

int CWeatherManager::InterpolationGrib(Position position, std::vector<CLevel>& levels)
{
    m_lastMessage.clear();
    std::vector<CGrib> gribs;
    GetGribsWithin(position, gribs);
    CGrib nearest = GetNearestGrib(position);
    const auto useNearestProfile = [&](int status) {
        nearest.Decode(false);
        levels = nearest.GetLevels();
        return status;
    };

    std::array<double, QuadrantCount> distances;
    const std::array<const CGrib*, QuadrantCount> quadrant = NearestPerQuadrant(gribs, position, 300.0, distances);
    if (std::any_of(distances.begin(), distances.end(), [](double distance) { return distance > 200.0; }))
        return useNearestProfile(1);

    std::array<std::vector<CLevel>, QuadrantCount> profiles;
    std::array<Position, QuadrantCount> positions;
    for (int q = 0; q < QuadrantCount; ++q) {
        CGrib record = *quadrant[q];
        record.Decode(false);
        profiles[q] = record.GetLevels();
        positions[q] = record.GetPosition();
    }

    for (size_t i = 0; i < profiles[NE].size(); ++i) {
        std::array<CLevel, QuadrantCount> level;
        try {
            for (int q = 0; q < QuadrantCount; ++q)
                level[q] = profiles[q].at(i);
        } catch (const std::out_of_range& error) {
            platform::DebugOut(std::string("InterpolationGrib Out of Range error: ") + error.what());
            Report(L"(WeatherManage) - InterpolationGrib Out of Range error");
            return useNearestProfile(3);
        }
        std::array<double, QuadrantCount> temperature, dewPoint, x, y;
        for (int q = 0; q < QuadrantCount; ++q) {
            temperature[q] = level[q].GetTemperature();
            dewPoint[q] = level[q].GetDewPoint();
            const double direction = DegToRad(level[q].direction);
            x[q] = std::cos(direction) * level[q].speed;
            y[q] = std::sin(direction) * level[q].speed;
        }
        const double meanX = DiagonalAverage(x, positions, position);
        const double meanY = DiagonalAverage(y, positions, position);
        const double direction = GetVectorDirection(meanX, meanY);
        const double speed = std::sqrt(meanX * meanX + meanY * meanY);
        if (speed < 0.0 || speed > 200.0 || direction < 0.0 || direction > 360.0) {
            Report(L"(WeatherManage) - InterpolationGrib  Error wind speed");
            platform::DebugOut(std::string("InterpolationGrib  Error wind speed"));
        }
        // Grid winds are whole knots: where all four points blow alike, rounding alone must not make the
        // interpolated wind faster than every one of them.
        constexpr double kGridSpeedStep = 1.0;
        bool fasterThanAll = true;
        for (int q = 0; q < QuadrantCount; ++q)
            fasterThanAll = fasterThanAll && speed > level[q].speed + kGridSpeedStep;
        if (fasterThanAll)
            return useNearestProfile(2);
        levels.emplace_back(level[NE].GetAltitude(), CWind(direction, speed, 0.0),
                            DiagonalAverage(temperature, positions, position),
                            DiagonalAverage(dewPoint, positions, position), -1.0f, -1.0);
    }
    return 0;
}

bool CWeatherManager::InterpolationMetar(CMetar& metar, bool nearestOnly, int radius)
{
    m_lastMessage.clear();
    const CStation target(metar);
    const Position targetPosition = target.GetPosition();

    std::vector<CMetar> around;
    GetMetarsInRadius(targetPosition, radius, around, false);
    const CMetar* nearest = nullptr;
    double best = radius;
    for (const CMetar& report : around) {
        const double distance = report.GetDistance(targetPosition, false);
        if (distance <= best) {
            best = distance;
            nearest = &report;
        }
    }
    if (!nearest)
        return false;

    const int nearestElevation = nearest->GetElevation();
    metar = *nearest;
    if (metar.Decode() != 0 && !metar.HasWind())
        RepairMetar(metar);
    std::vector<CCloudLayer> layers = metar.GetCloudLayers();
    for (CCloudLayer& layer : layers)
        layer.SetBase(ClampCloudBase(layer.GetBase() + nearestElevation - target.GetElevation()));
    metar.SetCloudLayers(layers);
    metar.SetPosition(targetPosition);
    metar.SetICAO(target.GetICAO());
    metar.SetElevation(target.GetElevation());
    metar.SetTime(target.GetTime());
    metar.SetName(target.GetName());
    std::wstring raw = metar.GetRaw();
    raw.replace(0, std::min<size_t>(4, raw.size()), target.GetICAO());
    metar.SetRaw(raw);
    if (nearestOnly)
        return true;

    std::array<double, QuadrantCount> distances;
    const std::array<const CMetar*, QuadrantCount> candidates
        = NearestPerQuadrant(around, targetPosition, 500.0, distances);
    std::array<CMetar, QuadrantCount> quadrants;
    bool haveGrid = false;
    CGrib grid;
    for (int q = 0; q < QuadrantCount; ++q) {
        if (candidates[q] && distances[q] <= 100.0) {
            quadrants[q] = *candidates[q];
        } else {
            if (!haveGrid) {
                grid = GetNearestGrib(targetPosition);
                haveGrid = true;
            }
            grid.ToMetar(quadrants[q]);
            // The report made from the grid stands where its grid point stands.
            quadrants[q].SetPosition(grid.GetPosition());
        }
        // A report without a wind would pull the mean towards a calm.
        if (quadrants[q].Decode() != 0 && !quadrants[q].HasWind())
            RepairMetar(quadrants[q]);
    }

    std::array<Position, QuadrantCount> positions;
    std::array<double, QuadrantCount> temperature, dewPoint, temperatureMsl, dewPointMsl, qnh, visibility, elevation, x,
        y;
    for (int q = 0; q < QuadrantCount; ++q) {
        const CMetar& report = quadrants[q];
        positions[q] = report.GetPosition();
        temperature[q] = report.GetTemperature();
        dewPoint[q] = report.GetDewPoint();
        temperatureMsl[q] = report.GetTemperatureMSL();
        dewPointMsl[q] = report.GetDewPointMSL();
        qnh[q] = report.GetQNH(true);
        visibility[q] = report.GetVisibility();
        elevation[q] = report.GetElevation();
        const CWind wind = report.GetWind();
        x[q] = std::cos(DegToRad(wind.direction)) * wind.speed;
        y[q] = std::sin(DegToRad(wind.direction)) * wind.speed;
    }
    const auto average = [&](const std::array<double, QuadrantCount>& values) {
        return DiagonalAverage(values, positions, targetPosition);
    };

    const double meanTemperature = average(temperature);
    const double meanDewPoint = average(dewPoint);
    metar.SetTemperatureMSL(static_cast<int>(average(temperatureMsl)));
    metar.SetDewPointMSL(static_cast<int>(average(dewPointMsl)));
    const double meanQnh = average(qnh);

    const double meanX = average(x);
    const double meanY = average(y);
    CWind wind(GetVectorDirection(meanX, meanY), std::sqrt(meanX * meanX + meanY * meanY), 0.0);
    bool fasterThanAll = true;
    for (const CMetar& report : quadrants)
        fasterThanAll = fasterThanAll && wind.speed > report.GetWind().speed;
    if (fasterThanAll)
        wind = metar.GetWind();

    double meanVisibility = average(visibility);
    // The decoder reads at most two digits of kilometres; 99.5 km and more would print as 100KM.
    if (meanVisibility >= 99500.0)
        meanVisibility = 99000.0;
    metar.SetElevation(static_cast<int>(average(elevation)));

    const std::vector<CCloudLayer> clouds
        = MergeDiagonals(CombineDiagonal(quadrants[NE], quadrants[SW], targetPosition),
                         CombineDiagonal(quadrants[SE], quadrants[NW], targetPosition), target.GetElevation());

    std::wstring text = std::wstring(target.GetICAO()) + L" " + metar.GetTimeGroup() + L"Z ";
    text += FormatWide(L"%03.0f%02.0fKT ", wind.direction, wind.speed);
    text += meanVisibility > 9999.0 ? FormatWide(L"%02.0fKM ", meanVisibility / 1000.0)
                                    : FormatWide(L"%04.0f ", meanVisibility);
    text += PrecipitationWord(quadrants) + L" ";
    for (const CCloudLayer& layer : clouds)
        text += GetCoverageText(static_cast<short>(layer.GetCoverage())) + FormatWide(L"%03i ", layer.GetBase() / 100);
    text += meanTemperature < 0.0 ? FormatWide(L"M%02i/", -static_cast<int>(meanTemperature))
                                  : FormatWide(L"%02i/", static_cast<int>(meanTemperature));
    text += meanDewPoint < 0.0 ? FormatWide(L"M%02i ", -static_cast<int>(meanDewPoint))
                               : FormatWide(L"%02i ", static_cast<int>(meanDewPoint));
    text += FormatWide(L"Q%04.0f", meanQnh);
    metar.SetRaw(text);
    metar.Decode();
    return true;
}

} // namespace aviation::weather
