// Gives a test an empty working directory (for the settings file) and an empty program folder, and leaves the
// settings store released with its in-memory versions cleared.
#pragma once

#include "platform/programfolder.h"
#include "settings/settings.h"

#include <QDir>
#include <QTemporaryDir>

class ScopedAppFolders
{
public:
    ScopedAppFolders()
        : m_previousDir(QDir::currentPath())
    {
        QDir::setCurrent(m_workDir.path());
        platform::SetProgramFolderForTesting(m_programDir.path());
    }
    ~ScopedAppFolders()
    {
        CSettings::Release();
        CSettings::SetClientVersion(QString());
        CSettings::SetWeatherServerVersion(QString());
        platform::SetProgramFolderForTesting(QString());
        QDir::setCurrent(m_previousDir);
    }
    ScopedAppFolders(const ScopedAppFolders&) = delete;
    ScopedAppFolders& operator=(const ScopedAppFolders&) = delete;

    QString ProgramFile(const QString& name) const { return m_programDir.filePath(name); }

private:
    QString m_previousDir;
    QTemporaryDir m_workDir;
    QTemporaryDir m_programDir;
};
