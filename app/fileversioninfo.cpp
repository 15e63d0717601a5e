#include "app/fileversioninfo.h"

#include <QStringList>

bool FileVersionInfo::Load(const QString& fileName)
{
    Free();
    if (!fileName.isEmpty())
        return false;
    m_version = ParseVersion(QStringLiteral(AEROVANE_PROJECT_VERSION));
    m_loaded = true;
    return true;
}

QString FileVersionInfo::GetFileVersionText(bool dotted) const
{
    return m_loaded ? FormatVersion(m_version, dotted) : QString();
}

QString FileVersionInfo::FormatVersion(const std::array<std::uint16_t, 4>& version, bool dotted)
{
    return QString::asprintf(dotted ? "%u.%u%u.%u" : "%u,%u,%u,%u", unsigned(version[0]), unsigned(version[1]),
                             unsigned(version[2]), unsigned(version[3]));
}

void FileVersionInfo::Free()
{
    m_loaded = false;
    m_version = {};
}

std::array<std::uint16_t, 4> FileVersionInfo::ParseVersion(const QString& version)
{
    std::array<std::uint16_t, 4> numbers{};
    const QStringList parts = version.split(QLatin1Char('.'));
    for (int i = 0; i < parts.size() && i < int(numbers.size()); ++i)
        numbers[i] = parts[i].toUShort();
    return numbers;
}
