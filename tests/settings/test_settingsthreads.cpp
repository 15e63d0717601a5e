// The GUI thread and the simulator connection's worker thread share the store.
#include "settingstestsupport.h"

#include <QCoreApplication>
#include <QSettings>

#include <atomic>
#include <functional>
#include <thread>

namespace {

constexpr int kOperations = 100000;

using SettingsThreads = SettingsTest;

TEST_F(SettingsThreads, FirstUseFromTwoThreadsCreatesOneSettingsObject)
{
    ScopedQtMessageCapture capture;
    std::atomic<bool> go{false};
    QSettings* seen[2] = {nullptr, nullptr};
    auto firstUse = [&](int index) {
        while (!go.load())
            std::this_thread::yield();
        CSettings::GetInterfaceType();
        seen[index] = CSettings::Instance();
    };

    std::thread a(firstUse, 0);
    std::thread b(firstUse, 1);
    go = true;
    a.join();
    b.join();

    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(capture.Messages().filter(QStringLiteral("Expecting settings at")).size(), 1);
}

// The worker reads what the connection needs and records the simulator version, as the simulator
// connection's worker does, while the GUI thread changes options, asks for download addresses and lets the
// settings object write its pending changes from its event loop.
TEST_F(SettingsThreads, TwoThreadsMixGetsAndSetsWithoutLosingValues)
{
    CSettings::GetFSMessage();

    std::thread worker([] {
        const std::function<void(int)> operations[] = {[](int i) { CSettings::SetFSVersion(i % 11); },
                                                       [](int) { CSettings::GetInterfaceType(); },
                                                       [](int) { CSettings::GetPauseBetweenWXStation(); },
                                                       [](int) { CSettings::GetServerIP(); },
                                                       [](int) { CSettings::GetServerPort(); },
                                                       [](int) { CSettings::GetClientVersion(); },
                                                       [](int) { CSettings::GetWindDwc(); },
                                                       [](int) { CSettings::GetFSVersion(); }};
        for (int i = 0; i < kOperations; ++i)
            operations[i % 8](i);
        CSettings::SetFSVersion(4);
    });

    int lastPause = 0;
    const std::function<void(int)> operations[]
        = {[](int i) { CSettings::SetServerIP(QStringLiteral("192.168.1.%1").arg(i % 250)); },
           [&lastPause](int i) {
               CSettings::SetPauseBetweenWXStation(i % 2000);
               lastPause = i % 2000;
           },
           [](int i) { CSettings::SetClientVersion(QStringLiteral("2.01.%1").arg(i % 1000, 4, 10, QLatin1Char('0'))); },
           [](int) { CSettings::GetFSVersion(); },
           [](int) { CSettings::GetMetarFeedUrl(); },
           [](int i) { CSettings::SetServerPort(QString::number(17300 + i % 100)); }};
    for (int i = 0; i < kOperations; ++i) {
        operations[i % 6](i);
        if (i % 1000 == 0)
            QCoreApplication::processEvents();
    }
    CSettings::SetServerIP(QStringLiteral("10.0.0.2"));
    CSettings::SetServerPort(QStringLiteral("17500"));
    worker.join();
    QCoreApplication::processEvents();
    CSettings::Release();

    EXPECT_EQ(CSettings::GetFSVersion(), 4);
    EXPECT_EQ(CSettings::GetServerIP(), QStringLiteral("10.0.0.2"));
    EXPECT_EQ(CSettings::GetServerPort(), QStringLiteral("17500"));
    EXPECT_EQ(CSettings::GetPauseBetweenWXStation(), lastPause);
}

} // namespace
