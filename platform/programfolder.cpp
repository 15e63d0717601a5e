#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>

namespace platform {

namespace {

QMutex g_mutex;
QString g_testFolder;

} // namespace

QString ProgramFolder()
{
    QMutexLocker lock(&g_mutex);
    if (!g_testFolder.isEmpty())
        return g_testFolder;
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolderForTesting(const QString& path)
{
    QMutexLocker lock(&g_mutex);
    g_testFolder = path;
}

} // namespace platform
