#include "platform/installpaths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>

#include <optional>

namespace platform {

const QString kDocumentsKey = QStringLiteral("Microsoft/Windows/CurrentVersion/Explorer/Shell Folders/Personal");

namespace {

std::optional<QMap<QString, QString>>& InstalledPaths()
{
    static std::optional<QMap<QString, QString>> paths;
    return paths;
}

class FixedInstallPaths : public InstallPathProvider
{
public:
    explicit FixedInstallPaths(QMap<QString, QString> paths)
        : m_paths(std::move(paths))
    {
    }
    QString Path(const QString& key) const override { return m_paths.value(key); }

private:
    QMap<QString, QString> m_paths;
};

// A quoted registry text with its escapes ("C:\\P3D" gives C:\P3D); empty for anything else (dword:, hex:).
QString UnquotedValue(QString value)
{
    if (value.startsWith(QLatin1String("str(2):")))
        value = value.mid(7);
    if (value.size() < 2 || !value.startsWith(QLatin1Char('"')) || !value.endsWith(QLatin1Char('"')))
        return QString();
    QString text;
    for (int i = 1; i < value.size() - 1; ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size() - 1)
            ++i;
        text.append(value[i]);
    }
    return text;
}

} // namespace

WineInstallPaths::WineInstallPaths(const QString& prefix)
    : m_prefix(prefix)
{
    QFile file(prefix + QStringLiteral("/user.reg"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    QString section;
    QString line;
    while (stream.readLineInto(&line)) {
        if (line.startsWith(QLatin1Char('['))) {
            const int end = line.indexOf(QLatin1Char(']'));
            section = end < 0 ? QString() : line.mid(1, end - 1).replace(QLatin1String("\\\\"), QLatin1String("/"));
            continue;
        }
        if (section.isEmpty() || !line.startsWith(QLatin1Char('"')))
            continue;
        const int nameEnd = line.indexOf(QLatin1String("\"="), 1);
        if (nameEnd < 0)
            continue;
        const QString name = line.mid(1, nameEnd - 1);
        const QString value = UnquotedValue(line.mid(nameEnd + 2).trimmed());
        if (!value.isEmpty())
            m_values.insert((section + QLatin1Char('/') + name).toLower(), value);
    }
}

QString WineInstallPaths::Path(const QString& key) const
{
    const QString value = m_values.value((QStringLiteral("Software/") + key).toLower());
    if (!value.isEmpty())
        return ToLinuxPath(value);
    if (key == kDocumentsKey)
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QString();
}

QString WineInstallPaths::ToLinuxPath(const QString& windowsPath) const
{
    QString path = windowsPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter()) {
        QString rest = path.mid(2);
        while (rest.endsWith(QLatin1Char('/')))
            rest.chop(1);
        return m_prefix + QStringLiteral("/dosdevices/") + path[0].toLower() + QLatin1Char(':') + rest;
    }
    return path;
}

QString WineInstallPaths::DefaultPrefix()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : prefix;
}

std::unique_ptr<InstallPathProvider> OpenInstallPaths()
{
    if (InstalledPaths())
        return std::make_unique<FixedInstallPaths>(*InstalledPaths());
    return std::make_unique<WineInstallPaths>(WineInstallPaths::DefaultPrefix());
}

ScopedInstallPaths::ScopedInstallPaths(QMap<QString, QString> paths)
{
    InstalledPaths() = std::move(paths);
}

ScopedInstallPaths::~ScopedInstallPaths()
{
    InstalledPaths().reset();
}

} // namespace platform
