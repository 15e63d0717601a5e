// Where the simulators and the user's documents are, read from the user's part of the Windows registry
// (keys below "HKEY_CURRENT_USER\Software" such as "Lockheed Martin/Prepar3D v3/AppPath"). On Linux the
// simulators run under Wine, whose prefix keeps that part of the registry in "user.reg":
//     [Software\\Lockheed Martin\\Prepar3D v3] 1701234567
//     "AppPath"="C:\\P3D"
// and whose "dosdevices" folder gives each drive letter a Linux path. Tests install fixed answers.
#pragma once

#include <QMap>
#include <QString>

#include <memory>

namespace platform {

class InstallPathProvider
{
public:
    virtual ~InstallPathProvider() = default;
    // The folder a key names ("Microsoft/Microsoft Games/Flight Simulator/10.0/AppPath"), with "/" separators;
    // empty when the key is absent.
    virtual QString Path(const QString& key) const = 0;
};

// The key of the user's documents folder.
extern const QString kDocumentsKey;

// The registry of a Wine prefix, with its "C:\..." paths turned into Linux paths through "dosdevices". The
// documents folder falls back to the desktop's documents location.
class WineInstallPaths : public InstallPathProvider
{
public:
    explicit WineInstallPaths(const QString& prefix);
    QString Path(const QString& key) const override;

    // $WINEPREFIX, else ~/.wine.
    static QString DefaultPrefix();

private:
    QString ToLinuxPath(const QString& windowsPath) const;

    QString m_prefix;
    // "software/lockheed martin/prepar3d v3/apppath" -> "C:\P3D"
    QMap<QString, QString> m_values;
};

// The provider the setup wizard reads: the installed fixed answers, else the default Wine prefix.
std::unique_ptr<InstallPathProvider> OpenInstallPaths();

// Makes OpenInstallPaths answer these keys (and nothing else) while it lives.
class ScopedInstallPaths
{
public:
    explicit ScopedInstallPaths(QMap<QString, QString> paths);
    ~ScopedInstallPaths();
    ScopedInstallPaths(const ScopedInstallPaths&) = delete;
    ScopedInstallPaths& operator=(const ScopedInstallPaths&) = delete;
};

} // namespace platform
