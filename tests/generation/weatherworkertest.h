// Fixture of the weather worker tests: an empty working directory and program folder per test, the loopback
// weather server in-process with the settings pointed at it, and a worker built on a fake window host.
#pragma once

#include "fakewindowhost.h"
#include "generation/weatherworker.h"
#include "platform/programfolder.h"
#include "settings/settings.h"
#include "tools/wx-server/wxserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// The address of a port on 127.0.0.1 that nothing listens on.
inline QString ClosedPortUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the event loop until done (at most a minute); whether it is.
inline bool WaitUntil(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

class WeatherWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_workDir.path());
        platform::SetProgramFolderForTesting(m_programDir.path());
        ASSERT_TRUE(m_server.Listen());
        PointSettingsAt(m_server.BaseUrl());
    }

    void TearDown() override
    {
        m_worker.reset();
        m_addresses.reset();
        CSettings::Release();
        CSettings::SetFSVersion(0);
        platform::SetProgramFolderForTesting(QString());
        QDir::setCurrent(m_previousDir);
    }

    // Both server locations answer at the base.
    void PointSettingsAt(const QString& base)
    {
        m_addresses.reset();
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = base;
        addresses.serverUrlUS = base;
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
    }

    CWeatherWorker& Worker()
    {
        if (!m_worker)
            m_worker = std::make_unique<CWeatherWorker>(&m_host);
        return *m_worker;
    }

    QString ProgramFile(const QString& name) const { return m_programDir.filePath(name); }

    static void WriteFile(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QTemporaryDir m_workDir;
    QTemporaryDir m_programDir;
    tools::WxServer m_server{QStringLiteral(AEROVANE_WXSERVER_DATA)};
    FakeWindowHost m_host;
    std::unique_ptr<CWeatherWorker> m_worker;

private:
    QString m_previousDir;
    std::unique_ptr<ScopedServerAddresses> m_addresses;
};

// Reports as the weather server's METAR section holds them.
constexpr const char* kFrankfurtMetars = "EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG\n"
                                         "EDDM 221850Z 25012KT 9999 FEW040 13/06 Q1018 NOSIG\n";
// A grid point near Frankfurt (50.1 N, 8.6 E).
constexpr const char* kFrankfurtGrid
    = "# TIME:1491555600\nGRIB 06110 00012 99501 10086 99014 12440 27015 0000118 11420 28225 9200768 07825 28135 "
      "8501468 03430 28449 7003018 04954 28557 5005578 21156 29380 4007198 31758 29992 3009168 45560 66315 2510368 "
      "52360 66621 2011798 55762 65709 1513618 56964 28977 1016188 59166 28547 7711369 55756 66018 8811360 57760 "
      "30096 L6123 M6000\n";
