#include "app/serverinfo.h"

#include <QDebug>
#include <QXmlStreamReader>

namespace {

void ReportElement(const QXmlStreamReader& xml)
{
    qDebug().noquote() << QStringLiteral("(StartUp) XML Token - ") + xml.name().toString();
}

void ReportValue(const char* label, const QString& value)
{
    qDebug().noquote() << QLatin1String(label) + value;
}

bool IsEndOf(const QXmlStreamReader& xml, const QString& name)
{
    return xml.isEndElement() && xml.name() == name;
}

} // namespace

ServerInfo::ServerInfo(const QString& document)
    : m_document(document)
{
    parseServerInfo();
}

int ServerInfo::VersionNumber(const QString& version)
{
    return QString(version).remove(QLatin1Char('.')).toInt();
}

int ServerInfo::ClientVersionNumber(const QString& clientVersion)
{
    return VersionNumber(clientVersion.left(clientVersion.indexOf(QLatin1Char(' '))));
}

int ServerInfo::GetNewsVersion() const
{
    return VersionNumber(m_newsVersion);
}

bool ServerInfo::IsClientVersionSupported(QString clientVersion) const
{
    const int client = ClientVersionNumber(clientVersion);
    return client == 0 || client >= VersionNumber(m_minClientVersion);
}

bool ServerInfo::IsUpdateAvailable(QString clientVersion) const
{
    const int client = ClientVersionNumber(clientVersion);
    const int update = VersionNumber(m_updateVersion);
    return client != 0 && update != 0 && client < update;
}

void ServerInfo::parseServerInfo()
{
    // Everything outside an "aerovane" element is only reported, so a root of another name stores nothing and
    // a root nested in another element is still read.
    QXmlStreamReader xml(m_document);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        ReportElement(xml);
        if (xml.name() == QLatin1String("aerovane"))
            ReadRoot(xml);
    }
}

void ServerInfo::ReadRoot(QXmlStreamReader& xml)
{
    const QString root = QStringLiteral("aerovane");
    xml.readNext();
    while (!xml.atEnd() && !IsEndOf(xml, root)) {
        if (xml.isStartElement()) {
            ReportElement(xml);
            const auto name = xml.name();
            if (name == QLatin1String("weatherserverversion")) {
                m_weatherServerVersion = ReadText(xml);
                ReportValue("(StartUp) Weather Server Version: ", m_weatherServerVersion);
            } else if (name == QLatin1String("minclientversion")) {
                m_minClientVersion = ReadText(xml);
                ReportValue("(StartUp) Min Client Version Version: ", m_minClientVersion);
            } else if (name == QLatin1String("synopfile")) {
                m_synopFile = ReadText(xml);
                ReportValue("(StartUp) synopfile: ", m_synopFile);
            } else if (name == QLatin1String("windfile")) {
                m_windFile = ReadText(xml);
                ReportValue("(StartUp) windfile: ", m_windFile);
            } else if (name == QLatin1String("news")) {
                if (xml.attributes().hasAttribute(QLatin1String("version")))
                    m_newsVersion = xml.attributes().value(QLatin1String("version")).toString();
                m_newsText = ReadText(xml);
                ReportValue("(StartUp) News: ", m_newsText);
            } else if (name == QLatin1String("weatherserverhosts")) {
                ReadList(xml, name.toString(), QStringLiteral("host"));
            } else if (name == QLatin1String("metarfiles")) {
                ReadList(xml, name.toString(), QStringLiteral("file"));
            } else if (name == QLatin1String("updateservers")) {
                ReadList(xml, name.toString(), QStringLiteral("url"));
            } else if (name == QLatin1String("tips")) {
                ReadList(xml, name.toString(), QStringLiteral("tip"));
            }
        }
        xml.readNext();
    }
}

QString ServerInfo::ReadText(QXmlStreamReader& xml)
{
    xml.readNext();
    return xml.isCharacters() ? xml.text().toString() : QString();
}

void ServerInfo::ReadList(QXmlStreamReader& xml, const QString& listName, const QString& itemName)
{
    // Starts on the list's own start tag and ends on its end tag.
    while (!xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == itemName)
            StoreItem(xml, itemName);
        xml.readNext();
        if (IsEndOf(xml, listName))
            return;
    }
}

void ServerInfo::StoreItem(QXmlStreamReader& xml, const QString& itemName)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QString text = ReadText(xml);
    if (itemName == QLatin1String("host")) {
        ReportValue("(StartUp) Weather Server Host: ", text);
        m_hosts.push_back(text);
    } else if (itemName == QLatin1String("file")) {
        ReportValue("(StartUp) Metar File: ", text);
        const auto feed = attributes.value(QLatin1String("feed"));
        if (feed == QLatin1String("vatsim"))
            m_metarVatsim = text;
        else if (feed == QLatin1String("ivao"))
            m_metarIvao = text;
        else if (feed == QLatin1String("noaa"))
            m_metarNoaa = text;
    } else if (itemName == QLatin1String("url")) {
        if (attributes.hasAttribute(QLatin1String("version")))
            m_updateVersion = attributes.value(QLatin1String("version")).toString();
        m_updateUrls.push_back(text);
    } else if (itemName == QLatin1String("tip")) {
        const int type = attributes.hasAttribute(QLatin1String("aerovanetype"))
            ? attributes.value(QLatin1String("aerovanetype")).toInt()
            : 3;
        if (type == 1 || type == 2)
            m_tips.emplace_back(text, type);
    }
}
