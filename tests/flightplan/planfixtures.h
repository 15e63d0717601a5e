// The flight plan files of tests/data/flightplans and files written for a test.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A FIFO under a plan file's name. Whoever opens it to read is let go at once with an empty read, so a reader
// that should have refused it fails its test instead of waiting for a writer forever.
class UnblockingFifo
{
public:
    explicit UnblockingFifo(const QString& path)
        : m_name(QFile::encodeName(path))
        , m_made(mkfifo(m_name.constData(), 0600) == 0)
    {
        if (m_made)
            m_writer = std::thread([this] { ReleaseReaders(); });
    }

    ~UnblockingFifo()
    {
        m_done = true;
        if (m_writer.joinable())
            m_writer.join();
    }

    bool Made() const { return m_made; }

private:
    void ReleaseReaders()
    {
        while (!m_done) {
            // Opening to write without blocking succeeds only while a reader holds or waits on the other end.
            const int writer = ::open(m_name.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    const QByteArray m_name;
    const bool m_made;
    std::atomic<bool> m_done{false};
    std::thread m_writer;
};
