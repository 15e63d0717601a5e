#include "weather/position.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace aviation {

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kEarthRadiusKm = 6378.137;
constexpr double kKmPerNm = 1.852;
} // namespace

Position::Position()
    : m_latitude(0.0)
    , m_longitude(0.0)
{
}

Position::Position(double latitude, double longitude)
    : m_latitude(latitude)
    , m_longitude(longitude)
{
}

Position::~Position() = default;

bool Position::operator==(const Position& other) const
{
    return m_latitude == other.m_latitude && m_longitude == other.m_longitude;
}

Position Position::GetPosition() const
{
    return Position(m_latitude, m_longitude);
}

double Position::GetCourse(const Position& from, const Position& to)
{
    return CalcCourse(from, to);
}

double Position::GetDistance(const Position& a, const Position& b)
{
    return CalcDistance(a, b);
}

Position Position::GetDestination(const Position& from, double course, double distanceNm)
{
    // The course is negated so that subtracting the longitude change below moves east for courses 0..180.
    const double c = DegToRad(NormalizeAngle(-course));
    const double delta = DegToRad(distanceNm) / 60.0;
    const double phi1 = DegToRad(from.GetLatitude());
    const double lambda1 = DegToRad(from.GetLongitude());

    // Rounding can push the sine just past 1 on a track that ends exactly at a pole.
    const double sinPhi2
        = std::clamp(std::cos(c) * std::sin(delta) * std::cos(phi1) + std::cos(delta) * std::sin(phi1), -1.0, 1.0);
    const double latitude2 = RadToDeg(std::asin(sinPhi2));
    // The longitude change uses the latitude as returned, in degrees, converted back.
    const double dlon = std::atan2(std::sin(c) * std::sin(delta) * std::cos(phi1),
                                   std::cos(delta) - std::sin(DegToRad(latitude2)) * std::sin(phi1));
    // fmod keeps the dividend's sign, so a westward crossing of the antimeridian gives e.g. -180.5.
    const double lambda2 = std::fmod(lambda1 - dlon + kPi, 2.0 * kPi) - kPi;
    return Position(latitude2, RadToDeg(lambda2));
}

void Position::Move(double course, double distanceNm)
{
    *this = GetDestination(*this, course, distanceNm);
}

double CalcCourse(const Position& from, const Position& to)
{
    if (from.GetLatitude() == to.GetLatitude() && from.GetLongitude() == to.GetLongitude())
        return 0.0;
    const double phi1 = DegToRad(from.GetLatitude());
    const double phi2 = DegToRad(to.GetLatitude());
    const double d = DegToRad(from.GetLongitude()) - DegToRad(to.GetLongitude());
    const double a = std::atan2(std::sin(d) * std::cos(phi2),
                                std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(d));
    // The from-minus-to longitude difference turns into an east-positive course by the negation.
    return NormalizeAngle(std::fmod(a, 2.0 * kPi) * -180.0 / kPi);
}

double CalcDistance(const Position& a, const Position& b)
{
    if (a.GetLatitude() == b.GetLatitude() && a.GetLongitude() == b.GetLongitude())
        return 0.0;
    const double phiA = DegToRad(a.GetLatitude());
    const double phiB = DegToRad(b.GetLatitude());
    double x = std::cos(DegToRad(b.GetLongitude() - a.GetLongitude())) * std::cos(phiB) * std::cos(phiA)
        + std::sin(phiB) * std::sin(phiA);
    // Rounding can push the cosine just outside [-1, 1] for nearly equal or nearly antipodal points.
    if (x > 1.0)
        return 0.0;
    if (x < -1.0)
        x = -1.0;
    return std::acos(x) * kEarthRadiusKm / kKmPerNm;
}

double CalcDistance(double lat1, double lon1, double lat2, double lon2)
{
    return CalcDistance(Position(lat1, lon1), Position(lat2, lon2));
}

double InterpolateByDistance(double value1, const Position& position1, double value2, const Position& position2,
                             const Position& position)
{
    const double d1 = CalcDistance(position, position1);
    const double d2 = CalcDistance(position, position2);
    if (d1 + d2 == 0.0)
        return value1;
    const double share = d1 * 100.0 / (d2 + d1);
    return share * (value2 - value1) / 100.0 + value1;
}

double DegToRad(double degrees)
{
    return degrees * kPi / 180.0;
}

double RadToDeg(double radians)
{
    return radians * 180.0 / kPi;
}

double NormalizeAngle(double degrees)
{
    if (!std::isfinite(degrees))
        return std::numeric_limits<double>::quiet_NaN();
    // fmod is exact, so this equals repeated adding or subtracting of 360 without looping on huge values.
    double x = std::fmod(degrees, 360.0);
    if (x < 0.0)
        x += 360.0;
    if (x >= 360.0)
        x -= 360.0;
    // fmod of a negative multiple of 360 is -0.0, which prints as "-0"; the turn starts at +0.
    if (x == 0.0)
        x = 0.0;
    return x;
}

void DegToDMS(double value, int& degrees, int& minutes, int& seconds)
{
    // Truncating a value outside the int range (or NaN) is undefined; such a value has no degrees to show.
    if (!(std::fabs(value) < 2147483648.0)) {
        degrees = minutes = seconds = 0;
        return;
    }
    // Rounded to the nearest second, so a whole-second value that arrives as 55.99999 stays 56 and carries into
    // the minutes and degrees when it reaches 60.
    const long long totalSeconds = std::llround(std::fabs(value) * 3600.0);
    const int sign = value < 0 ? -1 : 1;
    degrees = sign * static_cast<int>(totalSeconds / 3600);
    minutes = sign * static_cast<int>(totalSeconds / 60 % 60);
    seconds = sign * static_cast<int>(totalSeconds % 60);
}

} // namespace aviation
