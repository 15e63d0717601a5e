#include "flightplan/worldposition.h"

#include "flightplan/planfiletext.h"
#include "platform/debugoutput.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>

namespace planfile {

namespace {

// A number as the simulators write the parts of a position ("47", "26.99", "+000433.00"); NaN for any other text.
double NumberOrNaN(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : std::numeric_limits<double>::quiet_NaN();
}

double NumberOrZero(const QString& text)
{
    const double value = NumberOrNaN(text);
    return std::isnan(value) ? 0.0 : value;
}

// A number behind a hemisphere letter, which is its only sign ("26.99", "5e-05"); NaN for a signed one ("-30",
// "+47"). A sign in an exponent belongs to the exponent, not to the number.
double MagnitudeOrNaN(const QString& text)
{
    const QString number = text.trimmed();
    if (number.startsWith(QLatin1Char('+')) || number.startsWith(QLatin1Char('-')))
        return std::numeric_limits<double>::quiet_NaN();
    return NumberOrNaN(number);
}

// The magnitude of a lettered part behind its letter, in degrees: the degrees end at the degree mark, the minutes
// (if any) at the apostrophe, the seconds (if any) at the double quote ("47° 26' 56\"", "47* 27.59'", "47° 56\"").
// The last number may go without its mark; it counts once, as the unit after the last marked one: "47.449944" is
// degrees, "47° 26.5" degrees and minutes, "47° 26' 56" degrees, minutes and seconds. NaN for an empty text, a
// part that is no number, numbers without marks between them ("46 58 18", "47:26:56"), and a sign anywhere, as
// the letter gives it ("-33.946111", "47° -30' 0\"").
double LetteredMagnitude(QString rest, QChar mark)
{
    const double nowhere = std::numeric_limits<double>::quiet_NaN();
    if (rest.isEmpty())
        return nowhere;
    const QChar unitMarks[] = {mark, QLatin1Char('\''), QLatin1Char('"')};
    const double unitsPerDegree[] = {1.0, 60.0, 3600.0};
    constexpr int kUnits = 3;
    double value = 0.0;
    int unit = 0; // the first unit still to come
    while (!rest.isEmpty()) {
        if (unit == kUnits)
            return nowhere;
        // The next unit whose mark follows; minutes and seconds may be left out, the degrees may not.
        int marked = -1;
        int end = -1;
        for (int candidate = unit; candidate < (unit == 0 ? 1 : kUnits) && marked < 0; ++candidate) {
            end = rest.indexOf(unitMarks[candidate]);
            marked = end < 0 ? -1 : candidate;
        }
        if (marked < 0)
            return value + MagnitudeOrNaN(rest) / unitsPerDegree[unit];
        value += MagnitudeOrNaN(rest.left(end)) / unitsPerDegree[marked];
        rest = rest.mid(end + 1).trimmed();
        unit = marked + 1;
    }
    return value;
}

// A part written as signed decimal degrees, with or without the mark behind the number ("-130.647858",
// "54.765892°"); NaN for any other text.
double DecimalDegrees(const QString& text, QChar mark)
{
    static const QRegularExpression plainNumber(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    QString number = text;
    if (number.endsWith(mark))
        number.chop(1);
    number = number.trimmed();
    return plainNumber.match(number).hasMatch() ? number.toDouble() : std::numeric_limits<double>::quiet_NaN();
}

QString AltitudeText(int altitude)
{
    const double feet = static_cast<float>(altitude);
    return (feet < 0 ? QString() : QStringLiteral("+")) + QString::number(feet, 'f', 2);
}

} // namespace

QString DegreesToText(double degrees, QChar mark)
{
    int whole = 0;
    int minutes = 0;
    int seconds = 0;
    aviation::DegToDMS(degrees, whole, minutes, seconds);
    return QStringLiteral("%1%2 %3' %4\"").arg(whole).arg(mark).arg(minutes).arg(seconds);
}

QString WayPointToText(const aviation::WayPoint& point, QChar mark, bool blankAfterComma)
{
    const QString separator = blankAfterComma ? QStringLiteral(", ") : QStringLiteral(",");
    const double latitude = point.GetLatitude();
    const double longitude = point.GetLongitude();
    return (latitude >= 0 ? QStringLiteral("N") : QStringLiteral("S")) + DegreesToText(std::fabs(latitude), mark)
        + separator + (longitude >= 0 ? QStringLiteral("E") : QStringLiteral("W"))
        + DegreesToText(std::fabs(longitude), mark) + separator + AltitudeText(point.GetAltitude());
}

double CoordinateFromText(const QString& text, QChar mark)
{
    const QString trimmed = text.trimmed();
    const QChar hemisphere = trimmed.isEmpty() ? QChar() : trimmed.at(0).toUpper();
    if (!QStringLiteral("NSEW").contains(hemisphere))
        return DecimalDegrees(trimmed, mark);
    const double value = LetteredMagnitude(trimmed.mid(1).trimmed(), mark);
    return hemisphere == QLatin1Char('S') || hemisphere == QLatin1Char('W') ? -value : value;
}

aviation::WayPoint WayPointFromText(const QString& text)
{
    platform::DebugOut(text.toStdWString() + L"\n");
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 3) {
        const double nowhere = std::numeric_limits<double>::quiet_NaN();
        return aviation::WayPoint(L"", nowhere, nowhere, L"", 0, 0);
    }
    // Hand-edited files mix the marks; each coordinate is read with its own.
    const auto coordinate = [](const QString& part) {
        return CoordinateFromText(part, part.contains(kDegreeSign) ? kDegreeSign : kFS9DegreeMark);
    };
    return aviation::WayPoint(L"", coordinate(parts.at(0)), coordinate(parts.at(1)), L"", 0,
                              WholeFeet(NumberOrZero(parts.at(2))));
}

} // namespace planfile
