#include "flightplan/fs9flightplanfile.h"

#include "flightplan/worldposition.h"
#include "platform/debugoutput.h"

#include <QFile>
#include <QHash>
#include <QStringList>

namespace planfile {

namespace {

QString Ident(const aviation::WayPoint& point)
{
    return QString::fromStdWString(point.GetIdent());
}

QString PositionText(const aviation::WayPoint& point)
{
    return WayPointToText(point, kFS9DegreeMark, true);
}

QString TypeLetter(int type)
{
    switch (type) {
    case 4:
        return QStringLiteral("I");
    case 5:
        return QStringLiteral("V");
    case 6:
        return QStringLiteral("N");
    default:
        return QStringLiteral("A");
    }
}

int TypeOf(const QString& letter)
{
    if (letter == QLatin1String("A"))
        return 1;
    if (letter == QLatin1String("V"))
        return 5;
    if (letter == QLatin1String("N"))
        return 6;
    return 4;
}

// Plans are a few hundred kilobytes at most; a file beyond this is read no further.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

// The values of the "[flightplan]" section by key in lower case, each the raw text after the first "=" with its
// surrounding blanks removed: commas and double quotes are part of the value.
QHash<QString, QString> SectionValues(const QString& text)
{
    QHash<QString, QString> values;
    bool inSection = false;
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line.compare(QLatin1String("[flightplan]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (inSection && equals > 0)
            values.insert(line.left(equals).trimmed().toLower(), line.mid(equals + 1).trimmed());
    }
    return values;
}

// The comma-separated items of a value, each trimmed; the one empty item a closing comma leaves is dropped.
QStringList Items(const QString& value)
{
    QStringList items = value.split(QLatin1Char(','));
    for (QString& item : items)
        item = item.trimmed();
    if (items.size() > 1 && items.last().isEmpty())
        items.removeLast();
    return items;
}

// The airport of a "departure_id" or "destination_id" value: ident, latitude, longitude, altitude. False when the
// value has too few items to be one; an unreadable position is kept as such for the caller to place.
bool ReadAirport(const QString& value, const QString& name, aviation::CWaypointWX& airport)
{
    const QStringList items = Items(value);
    if (items.size() < 4)
        return false;
    const aviation::WayPoint point = WayPointFromText(items.mid(1, 3).join(QStringLiteral(", ")));
    airport = RoutePoint(items.at(0), point, name, 1, point.GetAltitude());
    return true;
}

// The file keeps Latin-1; dashes and typographic quotes beyond it become their plain forms, accented letters
// beyond it their base letter.
QByteArray Latin1Text(const QString& text)
{
    QString plain;
    for (const QChar character : text) {
        const ushort code = character.unicode();
        if (code <= 0xFF)
            plain += character;
        else if ((code >= 0x2010 && code <= 0x2015) || code == 0x2212)
            plain += QLatin1Char('-');
        else if (code == 0x2018 || code == 0x2019)
            plain += QLatin1Char('\'');
        else if (code == 0x201C || code == 0x201D)
            plain += QLatin1Char('"');
        else
            plain += QString(character).normalized(QString::NormalizationForm_KD).at(0);
    }
    return plain.toLatin1();
}

} // namespace

QByteArray WriteFS9FlightPlan(const aviation::CFlightplan& plan)
{
    const QString departure = Ident(plan.departure);
    const QString destination = Ident(plan.destination);
    QStringList lines = {
        QStringLiteral("[flightplan]"),
        QStringLiteral("AppVersion=9.1.40901"),
        QStringLiteral("title= ") + departure + QStringLiteral(" to ") + destination,
        QStringLiteral("description=") + departure + QStringLiteral(", ") + destination,
        QStringLiteral("type=IFR"),
        QStringLiteral("routetype=1"),
        QStringLiteral("cruising_altitude=") + QString::number(plan.cruiseAltitude),
        QStringLiteral("departure_id=") + departure + QStringLiteral(", ") + PositionText(plan.departure),
        QStringLiteral("departure_position=1"),
        QStringLiteral("destination_id=") + destination + QStringLiteral(", ") + PositionText(plan.destination),
        QStringLiteral("departure_name=") + QString::fromStdWString(plan.departure.GetName()),
        QStringLiteral("destination_name=") + QString::fromStdWString(plan.destination.GetName()),
        QStringLiteral("alternate_name=") + QString::fromStdWString(plan.alternate.GetName()),
    };
    for (std::size_t index = 0; index < plan.waypoints.size(); ++index) {
        const aviation::CWaypointWX& point = plan.waypoints[index];
        lines << QStringLiteral("waypoint.%1=KK, %2, ,%2, %3, %4")
                     .arg(index)
                     .arg(Ident(point), TypeLetter(point.GetType()), PositionText(point));
    }
    return Latin1Text(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

bool ReadFS9FlightPlan(const QString& path, aviation::CFlightplan& plan, const LogFunction& log)
{
    platform::DebugOut(QStringLiteral("Reading FS9 Flightplan from %1\n").arg(path).toStdWString());
    QFile file(path);
    const QHash<QString, QString> values = file.open(QIODevice::ReadOnly)
        ? SectionValues(QString::fromLatin1(file.read(kMaxFileBytes)))
        : QHash<QString, QString>();
    aviation::CWaypointWX departure;
    aviation::CWaypointWX destination;
    if (!ReadAirport(values.value(QStringLiteral("departure_id")), values.value(QStringLiteral("departure_name")),
                     departure)
        || !ReadAirport(values.value(QStringLiteral("destination_id")),
                        values.value(QStringLiteral("destination_name")), destination)) {
        log(QStringLiteral("(Flightplanner) - Not FS9 flight plan"));
        return false;
    }
    plan.title = values.value(QStringLiteral("title")).toStdWString();
    plan.flightplanType = values.value(QStringLiteral("type")).toStdWString();
    plan.routeType = values.value(QStringLiteral("routetype")).toStdWString();
    plan.cruiseAltitude = TruncatedNumber(values.value(QStringLiteral("cruising_altitude")));
    plan.departure = departure;
    plan.destination = destination;

    for (int index = 0;; ++index) {
        const QStringList items = Items(values.value(QStringLiteral("waypoint.%1").arg(index)));
        const int count = items.size();
        if (count < 5) {
            log(QStringLiteral("(FlightPlanner) - can not explode waypoint"));
            break;
        }
        // Counted from the end: the items before the ident (region, airway) vary.
        const QString ident = items.at(count - 5);
        const int type = TypeOf(items.at(count - 4));
        const aviation::WayPoint point = WayPointFromText(items.mid(count - 3).join(QStringLiteral(", ")));
        const int altitude = type == 1 ? point.GetAltitude() : plan.cruiseAltitude;
        plan.waypoints.push_back(RoutePoint(ident, point, ident, type, altitude));
    }
    return true;
}

} // namespace planfile
