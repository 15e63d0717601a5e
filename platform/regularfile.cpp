#include "platform/regularfile.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

bool OpenRegularFile(QFile& file, QString& error)
{
    // A path that names nothing is left to the open, whose error says so.
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile()) {
        error = QStringLiteral("it is not a regular file");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    return true;
}

QString FileRefusal(const QString& path, const QString& done, const QString& cause)
{
    return QStringLiteral("%1 was not %2: %3.").arg(QFileInfo(path).fileName(), done, cause);
}

} // namespace platform
