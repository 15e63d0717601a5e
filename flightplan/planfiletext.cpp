#include "flightplan/planfiletext.h"

#include <cmath>
#include <limits>

namespace planfile {

namespace {

bool FitsInt(double value)
{
    return std::isfinite(value) && value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

} // namespace

int TruncatedNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && FitsInt(std::trunc(value)) ? static_cast<int>(std::trunc(value)) : 0;
}

int WholeFeet(double feet)
{
    const double rounded = std::round(feet);
    return FitsInt(rounded) ? static_cast<int>(rounded) : 0;
}

bool IsReadablePosition(const aviation::Position& position)
{
    const double latitude = position.GetLatitude();
    const double longitude = position.GetLongitude();
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0
        && std::fabs(longitude) <= 180.0;
}

aviation::CWaypointWX RoutePoint(const QString& ident, const aviation::Position& position, const QString& name,
                                 int type, int altitude)
{
    return aviation::CWaypointWX(ident.toStdWString().c_str(), position, name.toStdWString().c_str(), type, altitude,
                                 13.0f, 5.0f, 1013.2f);
}

} // namespace planfile
