#include "weather/waypoint.h"

#include "platform/debugoutput.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace aviation {

namespace {

constexpr double kPi = 3.141592653589793;

std::wstring TextOrEmpty(const wchar_t* text)
{
    return text ? std::wstring(text) : std::wstring();
}

} // namespace

WayPoint::WayPoint() = default;

WayPoint::WayPoint(const wchar_t* ident, double latitude, double longitude, const wchar_t* name, int type, int altitude)
    : Position(latitude, longitude)
    , m_type(type)
    , m_ident(TextOrEmpty(ident))
    , m_name(TextOrEmpty(name))
    , m_altitude(altitude)
{
}

WayPoint::WayPoint(const wchar_t* ident, const Position& position, const wchar_t* name, int type, int altitude)
    : WayPoint(ident, position.GetLatitude(), position.GetLongitude(), name, type, altitude)
{
}

std::wstring WayPoint::GetTypeText() const
{
    switch (m_type) {
    case 1:
        return L"Airport";
    case 2:
        return L"Alternate";
    case 3:
        return L"WX-Station";
    case 4:
        return L"Intersection";
    case 5:
        return L"VOR";
    case 6:
        return L"NDB";
    case 7:
        return L"DME";
    default:
        return L"Unknown";
    }
}

CWaypointWX::CWaypointWX() = default;

CWaypointWX::CWaypointWX(const WayPoint& point, float temperature, float dewPoint, float qnh)
    : WayPoint(point)
    , m_temperature(temperature)
    , m_dewPoint(dewPoint)
    , m_qnh(qnh)
{
}

CWaypointWX::CWaypointWX(const wchar_t* ident, const Position& position, const wchar_t* name, int type, int altitude,
                         float temperature, float dewPoint, float qnh)
    : CWaypointWX(WayPoint(ident, position, name, type, altitude), temperature, dewPoint, qnh)
{
}

void CWaypointWX::WindCorrectionHeading(double course, double tas, const weather::CWind& wind)
{
    if (!(tas >= 1.0)) {
        platform::DebugOut(std::string("FlightPlanner: WindCorrectionHeading - TAS < 1\n"));
        return;
    }
    const double angle = DegToRad(wind.direction) - DegToRad(course);
    const double crossShare = std::sin(angle) * wind.speed / tas;
    if (!(std::fabs(crossShare) <= 1.0)) {
        platform::DebugOut(std::string("Flight planner - Error-Wind is to high\n"));
        return;
    }
    const double twoPi = 2.0 * kPi;
    double heading = std::asin(crossShare) + DegToRad(course);
    if (heading < 0.0)
        heading += twoPi;
    if (heading > twoPi)
        heading -= twoPi;
    m_heading = RadToDeg(heading);
    const double groundSpeed = std::sqrt(1.0 - crossShare * crossShare) * tas - std::cos(angle) * wind.speed;
    // An absurd airspeed would not fit the int; such a ground speed stops at the int's range.
    m_groundSpeed = static_cast<int>(std::clamp(groundSpeed, static_cast<double>(std::numeric_limits<int>::min()),
                                                static_cast<double>(std::numeric_limits<int>::max())));
}

} // namespace aviation
