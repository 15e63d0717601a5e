#include "flightplan/worldposition.h"

#include "flightplan/planfiletext.h"
#include "platform/debugoutput.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>

namespace planfile {

namespace {

// The text before the first `separator`, removed from `rest` with the separator; the whole rest, left in place,
// when there is none.
QString TakeBefore(QString& rest, QChar separator)
{
    const int index = rest.indexOf(separator);
    if (index < 0)
        return rest;
    const QString part = rest.left(index);
    rest = rest.mid(index + 1).trimmed();
    return part;
}

double NumberOrZero(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : 0.0;
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
    QString rest = text.trimmed();
    const QChar hemisphere = rest.isEmpty() ? QChar() : rest.at(0).toUpper();
    if (!QStringLiteral("NSEW").contains(hemisphere))
        return DecimalDegrees(rest, mark);
    rest = rest.mid(1);
    const QString degrees = TakeBefore(rest, mark);
    const QString minutes = TakeBefore(rest, QLatin1Char('\''));
    const QString seconds = TakeBefore(rest, QLatin1Char('"'));
    const double value = NumberOrZero(degrees) + NumberOrZero(minutes) / 60.0 + NumberOrZero(seconds) / 3600.0;
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
