#include "recorder/flightfile.h"

#include "platform/filename.h"

#include <QDebug>
#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

using aviation::structs::CAircraft;

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QString TimeText(const QDateTime& time)
{
    return time.isNull() ? QString() : time.toString(kTimeFormat);
}

// A local date-time; null when the text is no time of the format.
QDateTime LocalTime(const QString& text)
{
    const QDateTime time = QDateTime::fromString(text, kTimeFormat);
    return time.isValid() ? time : QDateTime();
}

void WritePosition(QXmlStreamWriter& xml, const CAircraft& sample)
{
    xml.writeStartElement(QStringLiteral("Position"));
    xml.writeTextElement(QStringLiteral("Lat"), QString::number(sample.GetLatitude()));
    xml.writeTextElement(QStringLiteral("Lon"), QString::number(sample.GetLongitude()));
    xml.writeTextElement(QStringLiteral("Alt"), QString::number(sample.altitude));
    xml.writeTextElement(QStringLiteral("Height"), QString::number(sample.height));
    xml.writeTextElement(QStringLiteral("Hdg"), QString::number(sample.heading.direction));
    xml.writeTextElement(QStringLiteral("TAS"), QString::number(sample.tas));
    xml.writeTextElement(QStringLiteral("GS"), QString::number(sample.groundSpeed));
    xml.writeTextElement(QStringLiteral("DoorOpen"), QString::number(sample.doorOpen ? 1 : 0));
    xml.writeTextElement(QStringLiteral("LandingLights"), QString::number(sample.landingLights ? 1 : 0));
    xml.writeEndElement();
}

void ReadFlightData(QXmlStreamReader& xml, FlightListEntry& entry)
{
    CFlightData& flight = entry.flight;
    while (xml.readNextStartElement()) {
        const QStringRef name = xml.name();
        if (name == QLatin1String("Callsign"))
            entry.callsign = xml.readElementText();
        else if (name == QLatin1String("Aircraft"))
            entry.aircraft = xml.readElementText();
        else if (name == QLatin1String("Registration"))
            entry.registration = xml.readElementText();
        else if (name == QLatin1String("Dep"))
            flight.SetDeparture(xml.readElementText());
        else if (name == QLatin1String("Dest"))
            flight.SetDestination(xml.readElementText());
        else if (name == QLatin1String("BlockOff"))
            flight.SetOffBlockTime(LocalTime(xml.readElementText()));
        else if (name == QLatin1String("BlockON"))
            flight.SetOnBlockTime(LocalTime(xml.readElementText()));
        else if (name == QLatin1String("TakeOffTime"))
            flight.SetTakeOffTime(LocalTime(xml.readElementText()));
        else if (name == QLatin1String("LandingTime"))
            flight.SetLandingTime(LocalTime(xml.readElementText()));
        else
            xml.skipCurrentElement();
    }
}

// Latitude and longitude only; the height is not read, so a position at exactly 0/0 is dropped.
void ReadPositions(QXmlStreamReader& xml, CFlightData& flight)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("Position")) {
            xml.skipCurrentElement();
            continue;
        }
        CAircraft sample;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("Lat"))
                sample.SetLatitude(xml.readElementText().toDouble());
            else if (xml.name() == QLatin1String("Lon"))
                sample.SetLongitude(xml.readElementText().toDouble());
            else
                xml.skipCurrentElement();
        }
        if (xml.hasError())
            return;
        flight.AddPosition(sample);
    }
}

void ReadFlight(QXmlStreamReader& xml, FlightListEntry& entry)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("FlightData"))
            ReadFlightData(xml, entry);
        else if (xml.name() == QLatin1String("Positions"))
            ReadPositions(xml, entry.flight);
        else
            xml.skipCurrentElement();
    }
}

} // namespace

QString CFlightFile::FileName(const QString& serviceUserId, const QString& callsign, const QDateTime& utcNow)
{
    const int userId = serviceUserId.toInt();
    return QStringLiteral("flight_%1_%2_%3.xml")
        .arg(userId > 0 ? userId : 0)
        .arg(platform::SafeFileName(callsign), utcNow.toString(QStringLiteral("yyyyMMddhhmmss")));
}

bool CFlightFile::Write(QIODevice& device, const QString& callsign, const CFlightData& flight, const QString& departure,
                        const QString& destination)
{
    QXmlStreamWriter xml(&device);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Flight"));
    xml.writeStartElement(QStringLiteral("FlightData"));
    xml.writeTextElement(QStringLiteral("Callsign"), callsign);
    xml.writeTextElement(QStringLiteral("Aircraft"), flight.GetAircraft());
    xml.writeTextElement(QStringLiteral("Registration"), flight.GetRegistration());
    xml.writeTextElement(QStringLiteral("BlockOff"), TimeText(flight.GetOffBlockTime()));
    xml.writeTextElement(QStringLiteral("BlockON"), TimeText(flight.GetOnBlockTime()));
    xml.writeTextElement(QStringLiteral("TakeOffTime"), TimeText(flight.GetTakeOffTime()));
    xml.writeTextElement(QStringLiteral("LandingTime"), TimeText(flight.GetLandingTime()));
    xml.writeTextElement(QStringLiteral("Touchdownrate"), QString::number(flight.GetTouchdownRate()));
    xml.writeTextElement(QStringLiteral("Dep"), departure);
    xml.writeTextElement(QStringLiteral("Dest"), destination);
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("Positions"));
    for (const CAircraft& sample : flight.GetTrack())
        WritePosition(xml, sample);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

bool CFlightFile::Read(FlightListEntry& entry)
{
    QFile file(entry.path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << QStringLiteral("Can not open File ") + entry.path;
        return false;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("Flight"))
            ReadFlight(xml, entry);
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError()) {
        qDebug().noquote()
            << QStringLiteral("XML error: %1 line: %2").arg(xml.errorString(), QString::number(xml.lineNumber()));
        return false;
    }
    return true;
}
