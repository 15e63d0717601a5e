#include "flightplan/xplaneflightplanfile.h"

#include "flightplan/planfiletext.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace planfile {

namespace {

// Plans are a few kilobytes; a file beyond this is read no further.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

int CodeOf(int type)
{
    switch (type) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 4:
        return 11;
    case 5:
        return 3;
    case 6:
        return 2;
    default:
        return 28;
    }
}

double NumberOrZero(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace

QByteArray WriteXPlaneFlightPlan(const aviation::CFlightplan& plan)
{
    QString text = QStringLiteral("I\n3 version\n0\n%1\n").arg(plan.waypoints.size());
    for (const aviation::CWaypointWX& point : plan.waypoints) {
        // One substitution pass, so that an ident such as "TOC%1" is written as it stands.
        text += QStringLiteral("%1 %2 0 %3 %4\n")
                    .arg(QString::number(CodeOf(point.GetType())), QString::fromStdWString(point.GetIdent()),
                         QString::number(point.GetLatitude(), 'g', 6), QString::number(point.GetLongitude(), 'g', 6));
    }
    return text.toLatin1();
}

bool ReadXPlaneFlightPlan(const QString& path, aviation::CFlightplan& plan)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QStringList lines = QString::fromLatin1(file.read(kMaxFileBytes)).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        line = line.trimmed();
    // The second line names the format's version ("3 version", "1100 Version"); without it the file is another's.
    if (lines.size() < 5 || !lines.at(1).contains(QLatin1String("version"), Qt::CaseInsensitive))
        return false;

    if (lines.at(0) == QLatin1String("I"))
        plan.flightplanType = L"IFR";
    else if (lines.at(0) == QLatin1String("V"))
        plan.flightplanType = L"VFR";
    // From version 1100 on, each row carries its airway between the ident and the altitude.
    const bool withAirway = TruncatedNumber(lines.at(1).section(QLatin1Char(' '), 0, 0)) >= 1100;
    const int firstNumber = withAirway ? 3 : 2;

    static const QRegularExpression separator(QStringLiteral("[ \t]"));
    std::vector<aviation::CWaypointWX> points;
    int departure = -1;
    int destination = -1;
    for (int index = 4; index < lines.size(); ++index) {
        const QStringList items = lines.at(index).split(separator);
        if (items.size() < firstNumber + 3)
            continue;
        const int code = TruncatedNumber(items.at(0));
        if (code == 0)
            continue;
        const aviation::Position position(NumberOrZero(items.at(firstNumber + 1)),
                                          NumberOrZero(items.at(firstNumber + 2)));
        if (!IsReadablePosition(position))
            continue;
        const QString ident = items.at(1);
        const int type = code == 1 ? 1 : 4;
        if (type == 1) {
            if (departure < 0)
                departure = static_cast<int>(points.size());
            else
                destination = static_cast<int>(points.size());
        }
        points.push_back(RoutePoint(ident, position, ident, type, TruncatedNumber(items.at(firstNumber))));
    }
    if (departure < 0 && !points.empty())
        departure = 0;
    if (destination < 0 && points.size() >= 2)
        destination = static_cast<int>(points.size()) - 1;
    if (departure >= 0)
        plan.departure = points[departure];
    if (destination >= 0)
        plan.destination = points[destination];
    plan.waypoints.insert(plan.waypoints.end(), points.begin(), points.end());
    return true;
}

} // namespace planfile
