#include "flightplan/fsxflightplanfile.h"

#include "flightplan/planfiletext.h"
#include "flightplan/worldposition.h"
#include "platform/debugoutput.h"

#include <QBuffer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <limits>

namespace planfile {

namespace {

QString Ident(const aviation::WayPoint& point)
{
    return QString::fromStdWString(point.GetIdent());
}

// The kinds the simulators know.
QString FSXTypeText(int type)
{
    switch (type) {
    case 1:
    case 2:
        return QStringLiteral("Airport");
    case 4:
        return QStringLiteral("Intersection");
    case 5:
        return QStringLiteral("VOR");
    case 6:
        return QStringLiteral("NDB");
    default:
        return QStringLiteral("User");
    }
}

// An element holding a world-position text, its bytes written past the writer's escaping.
void WriteRawPosition(QXmlStreamWriter& writer, QIODevice& device, const QString& name, const aviation::WayPoint& point)
{
    writer.writeStartElement(name);
    writer.writeCharacters(QString());
    device.write(WayPointToText(point, kDegreeSign, false).toUtf8());
    writer.writeEndElement();
}

void LogXmlToken(const QXmlStreamReader& reader)
{
    platform::DebugOut(QStringLiteral("TabFlightplanner: XML Token - %1\n").arg(reader.name()).toStdWString());
}

void LogXmlError(const QXmlStreamReader& reader)
{
    platform::DebugOut(QStringLiteral("TabFlightplanner: XMLError - %1\n").arg(reader.errorString()).toStdWString());
}

// The text of the element the reader has just entered; empty for an empty element.
QString ElementText(QXmlStreamReader& reader)
{
    return reader.readElementText(QXmlStreamReader::IncludeChildElements);
}

// The kind of an ATCWaypointType text, in whatever case it is written ("Airport", "AIRPORT"); an intersection
// for "Intersection" and any kind the planner does not fly by.
int TypeOf(const QString& text)
{
    const auto is = [&text](const char* kind) { return text.compare(QLatin1String(kind), Qt::CaseInsensitive) == 0; };
    if (is("Airport"))
        return 1;
    if (is("VOR"))
        return 5;
    if (is("NDB"))
        return 6;
    return 4;
}

} // namespace

QByteArray WriteFSXFlightPlan(const aviation::CFlightplan& plan)
{
    const QString departure = Ident(plan.departure);
    const QString destination = Ident(plan.destination);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(4);
    writer.setCodec("UTF-8");
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("SimBase.Document"));
    writer.writeAttribute(QStringLiteral("Type"), QStringLiteral("AceXML"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1,0"));
    writer.writeTextElement(QStringLiteral("Descr"), QStringLiteral("AceXML Document"));
    writer.writeStartElement(QStringLiteral("FlightPlan.FlightPlan"));
    writer.writeTextElement(QStringLiteral("Title"), departure + QStringLiteral(" to ") + destination);
    writer.writeTextElement(QStringLiteral("FPType"), QStringLiteral("IFR"));
    writer.writeTextElement(QStringLiteral("RouteType"), QStringLiteral("HighAlt"));
    writer.writeTextElement(QStringLiteral("CruisingAlt"), QString::number(plan.cruiseAltitude));
    writer.writeTextElement(QStringLiteral("DepartureID"), departure);
    WriteRawPosition(writer, buffer, QStringLiteral("DepartureLLA"), plan.departure);
    writer.writeTextElement(QStringLiteral("DestinationID"), destination);
    WriteRawPosition(writer, buffer, QStringLiteral("DestinationLLA"), plan.destination);
    writer.writeTextElement(QStringLiteral("DeparturePosition"), QStringLiteral("1"));
    writer.writeTextElement(QStringLiteral("Descr"), departure + QStringLiteral(", ") + destination);
    writer.writeTextElement(QStringLiteral("DepartureName"), QString::fromStdWString(plan.departure.GetName()));
    writer.writeTextElement(QStringLiteral("DestinationName"), QString::fromStdWString(plan.destination.GetName()));
    for (const aviation::CWaypointWX& point : plan.waypoints) {
        writer.writeStartElement(QStringLiteral("ATCWaypoint"));
        writer.writeAttribute(QStringLiteral("id"), Ident(point));
        writer.writeTextElement(QStringLiteral("ATCWaypointType"), FSXTypeText(point.GetType()));
        WriteRawPosition(writer, buffer, QStringLiteral("WorldPosition"), point);
        writer.writeStartElement(QStringLiteral("ICAO"));
        writer.writeTextElement(QStringLiteral("ICAORegion"), QStringLiteral("KK"));
        writer.writeTextElement(QStringLiteral("ICAOIdent"), Ident(point));
        writer.writeEndElement();
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndElement();
    return buffer.data();
}

void ReadFSXFlightPlan(QXmlStreamReader& reader, aviation::CFlightplan& plan)
{
    QString departureIdent;
    QString departureName;
    QString destinationIdent;
    QString destinationName;
    // An airport without a readable position stays unplaced (NaN) for the caller to place.
    const double nowhere = std::numeric_limits<double>::quiet_NaN();
    aviation::WayPoint departurePosition(L"", nowhere, nowhere, L"", 0, 0);
    aviation::WayPoint destinationPosition = departurePosition;

    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.isStartElement()) {
            LogXmlToken(reader);
            const QStringRef name = reader.name();
            if (name == QLatin1String("Title"))
                plan.title = ElementText(reader).toStdWString();
            else if (name == QLatin1String("FPType"))
                plan.flightplanType = ElementText(reader).toStdWString();
            else if (name == QLatin1String("RouteType"))
                plan.routeType = ElementText(reader).toStdWString();
            else if (name == QLatin1String("CruisingAlt"))
                plan.cruiseAltitude = TruncatedNumber(ElementText(reader));
            else if (name == QLatin1String("DepartureID"))
                departureIdent = ElementText(reader);
            else if (name == QLatin1String("DepartureLLA"))
                departurePosition = WayPointFromText(ElementText(reader));
            else if (name == QLatin1String("DepartureName"))
                departureName = ElementText(reader);
            else if (name == QLatin1String("DestinationID"))
                destinationIdent = ElementText(reader);
            else if (name == QLatin1String("DestinationLLA"))
                destinationPosition = WayPointFromText(ElementText(reader));
            else if (name == QLatin1String("DestinationName"))
                destinationName = ElementText(reader);
            else if (name == QLatin1String("ATCWaypoint"))
                ReadATCWaypoint(reader, plan);
        }
        if (reader.hasError())
            LogXmlError(reader);
        reader.readNext();
    }
    if (reader.hasError())
        LogXmlError(reader);

    plan.departure = RoutePoint(departureIdent, departurePosition, departureName, 1, departurePosition.GetAltitude());
    plan.destination
        = RoutePoint(destinationIdent, destinationPosition, destinationName, 1, destinationPosition.GetAltitude());
}

bool ReadATCWaypoint(QXmlStreamReader& reader, aviation::CFlightplan& plan)
{
    // The "User" points the simulators write carry no ICAO element; their name stands in the id.
    QString ident = reader.attributes().value(QStringLiteral("id")).toString();
    int type = 4;
    int altitude = plan.cruiseAltitude;
    // The newest simulators write some waypoints with an ICAO block only: no position until one is read.
    const double nowhere = std::numeric_limits<double>::quiet_NaN();
    aviation::Position position(nowhere, nowhere);
    reader.readNext();
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.isEndElement() && reader.name() == QLatin1String("ATCWaypoint")) {
            plan.waypoints.push_back(RoutePoint(ident, position, QString(), type, altitude));
            return true;
        }
        if (reader.isStartElement()) {
            LogXmlToken(reader);
            const QStringRef name = reader.name();
            if (name == QLatin1String("ATCWaypointType")) {
                type = TypeOf(ElementText(reader));
                if (type == 1)
                    altitude = 0;
            } else if (name == QLatin1String("WorldPosition")) {
                position = WayPointFromText(ElementText(reader)).GetPosition();
            } else if (name == QLatin1String("ICAOIdent")) {
                ident = ElementText(reader);
            }
        }
        if (reader.hasError())
            LogXmlError(reader);
        reader.readNext();
    }
    if (reader.hasError())
        LogXmlError(reader);
    return false;
}

} // namespace planfile
