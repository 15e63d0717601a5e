#include "tools/wx-server/gridsource.h"

#include "weather/grib.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace tools {

namespace {

// The time heading of every answer: 22 October 2022, 19:00 UTC, the hour of the demo snapshot.
constexpr const char* kHeading = "# TIME:1666465200\n";
constexpr const char* kTimeGroups = "22190 00012";

// A file point answers a single request within this many degrees of latitude and longitude, an area request
// takes the file points within the larger box.
constexpr double kSingleReachDegrees = 1.0;
constexpr double kAreaReachDegrees = 2.5;
// Made-up area answers: a lattice of (2 * kAreaSteps + 1)^2 points, kAreaSpacing degrees apart.
constexpr int kAreaSteps = 2;
constexpr double kAreaSpacing = 1.0;

constexpr double kPi = 3.14159265358979323846;

struct StandardLevel
{
    int hectopascal;
    int height; // metres in the standard atmosphere
};
constexpr StandardLevel kLevels[]
    = {{1000, 111},  {925, 762},   {850, 1457},  {700, 3012},  {500, 5574}, {400, 7185}, {300, 9164},
       {250, 10363}, {200, 11784}, {150, 13608}, {100, 16180}, {70, 18442}, {50, 20576}};

double Radians(double degrees)
{
    return degrees * kPi / 180.0;
}

// TTTDD: temperature in tenths with an odd last digit below zero; the dew-point depression in tenths up to
// 5 degrees, above that in whole degrees plus 50.
QByteArray TemperatureGroup(double temperature, double depression)
{
    int tenths = std::min(static_cast<int>(std::lround(std::fabs(temperature) * 10.0)), 998);
    if (temperature < 0 && tenths % 2 == 0)
        tenths += 1;
    if (temperature >= 0 && tenths % 2 == 1)
        tenths -= 1;
    int code = static_cast<int>(std::lround(depression * 10.0));
    if (depression > 5.0)
        code = std::clamp(50 + static_cast<int>(std::lround(depression)), 56, 99);
    return QByteArray::number(tenths).rightJustified(3, '0') + QByteArray::number(code).rightJustified(2, '0');
}

// dddff; winds of 100 kt and more carry 360 on the direction, which is written 1 to 360 for that reason.
QByteArray WindGroup(double direction, double speed)
{
    int degrees = static_cast<int>(std::lround(direction)) % 360;
    if (degrees <= 0)
        degrees += 360;
    int knots = std::clamp(static_cast<int>(std::lround(speed)), 0, 199);
    if (knots >= 100) {
        degrees += 360;
        knots -= 100;
    }
    return QByteArray::number(degrees).rightJustified(3, '0') + QByteArray::number(knots).rightJustified(2, '0');
}

QByteArray LevelGroups(const QByteArray& indicator, int height, double temperature, double depression, double direction,
                       double speed)
{
    return indicator + QByteArray::number(std::clamp(height, 0, 99999)).rightJustified(5, '0') + ' '
        + TemperatureGroup(temperature, depression) + ' ' + WindGroup(direction, speed);
}

QByteArray PressureIndicator(int hectopascal)
{
    if (hectopascal == 1000)
        return "00";
    if (hectopascal == 925)
        return "92";
    return QByteArray::number(hectopascal / 10).rightJustified(2, '0');
}

// The positions a text can express: tenths of a degree, latitude within the poles, longitude in -180..180.
double TenthLatitude(double latitude)
{
    return std::clamp(std::round(latitude * 10.0) / 10.0, -90.0, 90.0);
}

double TenthLongitude(double longitude)
{
    double wrapped = std::fmod(longitude + 180.0, 360.0);
    if (wrapped < 0)
        wrapped += 360.0;
    return std::round((wrapped - 180.0) * 10.0) / 10.0;
}

} // namespace

void GridSource::LoadFolder(const QString& folder)
{
    m_points.clear();
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QByteArray line = raw.trimmed();
            if (!line.startsWith("GRIB "))
                continue;
            aviation::weather::CGrib point(QString::fromLatin1(line).toStdWString(), true);
            if (!point.GetErrorText().empty())
                continue;
            m_points.push_back({point.GetPosition().GetLatitude(), point.GetPosition().GetLongitude(), line});
        }
    }
}

QByteArray GridSource::Answer(double latitude, double longitude, bool area) const
{
    QByteArray text(kHeading);
    const double reach = area ? kAreaReachDegrees : kSingleReachDegrees;
    const FilePoint* nearest = nullptr;
    double nearestSpan = 0;
    for (const FilePoint& point : m_points) {
        const double span = std::max(std::fabs(point.latitude - latitude), std::fabs(point.longitude - longitude));
        if (span > reach)
            continue;
        if (area)
            text += point.line + '\n';
        else if (!nearest || span < nearestSpan) {
            nearest = &point;
            nearestSpan = span;
        }
    }
    if (nearest)
        return text + nearest->line + '\n';
    if (text.size() > static_cast<int>(qstrlen(kHeading)))
        return text;

    if (!area)
        return text + SynthesizedPoint(latitude, longitude) + '\n';
    QSet<QByteArray> written;
    for (int row = -kAreaSteps; row <= kAreaSteps; ++row) {
        for (int column = -kAreaSteps; column <= kAreaSteps; ++column) {
            const QByteArray line = SynthesizedPoint(std::round(latitude) + row * kAreaSpacing,
                                                     std::round(longitude) + column * kAreaSpacing);
            // Near a pole several lattice points fall on the same clamped position.
            if (!written.contains(line.left(28))) {
                written.insert(line.left(28));
                text += line + '\n';
            }
        }
    }
    return text;
}

QByteArray GridSource::SynthesizedPoint(double latitude, double longitude)
{
    const double lat = TenthLatitude(latitude);
    const double lon = TenthLongitude(longitude);
    const double absLat = std::fabs(lat);

    // Warm, high tropopause near the equator, cold and low near the poles; a little weather from the position.
    const double surfacePressure = 1013.0 + 8.0 * std::sin(Radians(lat * 12.0)) * std::cos(Radians(lon * 9.0));
    const double surfaceTemperature = 29.0 - 0.45 * absLat + 3.0 * std::sin(Radians(lon * 3.0));
    const double tropopauseKm = 16.5 - 0.08 * absLat;
    const double tropopauseTemperature = std::max(surfaceTemperature - 6.5 * tropopauseKm, -80.0);
    // Trade winds from the east in the tropics, westerlies elsewhere with a jet stream below the tropopause
    // that is strongest at 40 degrees of latitude.
    const double direction = absLat < 25.0 ? 90.0 + 20.0 * std::sin(Radians(lon))
                                           : 270.0 + 25.0 * std::sin(Radians(lon * 6.0 + lat * 11.0));
    const double jetKm = tropopauseKm - 1.5;
    const double jetCore = 15.0 + 90.0 * std::exp(-std::pow((absLat - 40.0) / 12.0, 2));
    auto temperatureAt = [&](double km) {
        return km < tropopauseKm ? surfaceTemperature - 6.5 * km : tropopauseTemperature + 1.0 * (km - tropopauseKm);
    };
    auto speedAt = [&](double km) { return 8.0 + 2.5 * km + jetCore * std::exp(-std::pow((km - jetKm) / 3.0, 2)); };
    auto veeringAt = [&](double km) { return direction + 2.0 * km; };
    const int heightShift = static_cast<int>(std::lround((surfacePressure - 1013.0) * 8.3));

    const int quadrant = lat >= 0 ? (lon >= 0 ? 1 : 7) : (lon >= 0 ? 3 : 5);
    QByteArray line = "GRIB " + QByteArray(kTimeGroups) + " 99"
        + QByteArray::number(static_cast<int>(std::lround(absLat * 10.0))).rightJustified(3, '0') + ' '
        + QByteArray::number(quadrant)
        + QByteArray::number(static_cast<int>(std::lround(std::fabs(lon) * 10.0))).rightJustified(4, '0');

    const int hectopascal = static_cast<int>(std::lround(surfacePressure));
    line += " 99" + QByteArray::number(hectopascal % 1000).rightJustified(3, '0') + ' '
        + TemperatureGroup(surfaceTemperature, 2.0) + ' '
        + WindGroup(direction - 20.0, 5.0 + 5.0 * std::fabs(std::sin(Radians(lon * 17.0))));

    for (const StandardLevel& level : kLevels) {
        const int height = level.height + heightShift;
        const double km = height / 1000.0;
        line += ' '
            + LevelGroups(PressureIndicator(level.hectopascal), height, temperatureAt(km),
                          std::min(2.0 + 1.5 * km, 40.0), veeringAt(km), speedAt(km));
    }
    line += ' '
        + LevelGroups("77", static_cast<int>(jetKm * 1000.0), temperatureAt(jetKm), 6.0, veeringAt(jetKm),
                      speedAt(jetKm));
    line += ' '
        + LevelGroups("88", static_cast<int>(tropopauseKm * 1000.0), tropopauseTemperature, 6.0,
                      veeringAt(tropopauseKm), speedAt(tropopauseKm));

    const int low = std::clamp(static_cast<int>(4.5 + 4.5 * std::sin(Radians(lat * 75.0 + lon * 40.0))), 0, 8);
    const int middle = std::clamp(static_cast<int>(4.0 + 4.0 * std::cos(Radians(lat * 50.0 - lon * 30.0))), 0, 8);
    line += " L" + QByteArray::number(low) + "000 M" + QByteArray::number(middle) + "000";
    return line;
}

} // namespace tools
