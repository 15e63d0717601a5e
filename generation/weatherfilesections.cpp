#include "generation/weatherfilesections.h"

CWeatherFileSections::CWeatherFileSections(const QString& text)
{
    m_hasMetar = Cut(text, QStringLiteral("METAR"), m_metar);
    Cut(text, QStringLiteral("SYNOP"), m_synop);
    Cut(text, QStringLiteral("TAF"), m_taf);
}

bool CWeatherFileSections::Cut(const QString& text, const QString& tag, QString& body)
{
    const QString open = QLatin1Char('[') + tag + QLatin1Char(']');
    const QString close = QStringLiteral("[/") + tag + QLatin1Char(']');
    const int start = text.lastIndexOf(open);
    const int end = text.lastIndexOf(close);
    body.clear();
    if (start < 0 || end < start + open.size())
        return false;
    body = text.mid(start + open.size(), end - start - open.size());
    return true;
}
