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

    const int max = CSettings::GetMaxLogFileNumber();
    CSettings::SetMaxLogFileNumber(max);
    const int number = CSettings::GetLogFileNumber();

    const QString current = folder + QStringLiteral("aerovane.log");
    const QString last = folder + QStringLiteral("aerovane_last.log");
    const QString numbered = folder + QStringLiteral("aerovane_%1.log").arg(number);
    if (QFile::exists(numbered))
        QFile::remove(numbered);
    // A copy the previous start-up check never got to read belongs to an older run; the previous run's log
    // replaces it, so a crash of that run is the one offered.
    if (QFile::exists(current))
        QFile::remove(last);
    QFile::copy(current, last);
    if (QFile::copy(current, numbered))
        CSettings::SetLogFileNumber(std::int64_t{number} + 1 > max ? 1 : number + 1);

    m_file.setFileName(current);
    m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void CLogWriter::WriteLine(const QString& line)
{
    if (!m_file.isOpen())
        return;
    m_file.write(line.toUtf8());
    m_file.write("\n", 1);
    m_file.flush();
}

QString CLogWriter::FormatLine(const QString& text)
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(platform::NowSeconds()).toLocalTime();
    return now.toString(QStringLiteral("dd.MM.yy hh:mm:ss")) + QStringLiteral(" - ") + text;
}
