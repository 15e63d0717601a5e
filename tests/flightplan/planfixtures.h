// The flight plan files of tests/data/flightplans and files written for a test.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

inline QString FixturePath(const char* name)
{
    return QStringLiteral(AEROVANE_TEST_DATA_DIR "/flightplans/") + QLatin1String(name);
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the bytes to a file of that name in the folder; its path.
inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}
