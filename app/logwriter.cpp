#include "app/logwriter.h"

#include "platform/clock.h"
#include "settings/settings.h"

#include <QDateTime>
#include <QDir>

#include <cstdint>

void CLogWriter::Open(const QString& programFolder)
{
    const QString folder = programFolder + QStringLiteral("/logs/");
    QDir().mkpath(folder);
    m_folder = folder;

    const QString current = folder + QStringLiteral("aerovane.log");
    const QString last = folder + QStringLiteral("aerovane_last.log");
    // A copy the previous start-up check never got to read belongs to an older run; the previous run's log
    // replaces it, so a crash of that run is the one offered.
    if (QFile::exists(current))
        QFile::remove(last);
    QFile::copy(current, last);
    CopyIntoRing(current);

    m_file.setFileName(current);
    m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool CLogWriter::CopyIntoRing(const QString& current)
{
    const int max = CSettings::GetMaxLogFileNumber();
    CSettings::SetMaxLogFileNumber(max);
    const int number = CSettings::GetLogFileNumber();
    const QString numbered = m_folder + QStringLiteral("aerovane_%1.log").arg(number);
    if (QFile::exists(numbered))
        QFile::remove(numbered);
    if (!QFile::copy(current, numbered))
        return false;
    CSettings::SetLogFileNumber(std::int64_t{number} + 1 > max ? 1 : number + 1);
    return true;
}

void CLogWriter::WriteLine(const QString& line)
{
    if (!m_file.isOpen())
        return;
    m_file.write(line.toUtf8());
    m_file.write("\n", 1);
    m_file.flush();
    if (m_file.size() < m_maxBytes)
        return;
    m_file.close();
    CopyIntoRing(m_file.fileName());
    m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

QString CLogWriter::FormatLine(const QString& text)
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(platform::NowSeconds()).toLocalTime();
    return now.toString(QStringLiteral("dd.MM.yy hh:mm:ss")) + QStringLiteral(" - ") + text;
}
