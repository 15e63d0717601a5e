// Auto mode over the bridge peer playing the Frankfurt-Munich flight, with the pause between records shortened:
// the aircraft is read all through the long first transfer, and the window takes every sample.
#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"
#include "tools/bridge-peer/flightscript.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using AutoModeEndToEnd = MainWindowTest;

} // namespace

TEST_F(AutoModeEndToEnd, AircraftIsReadAllThroughTheFirstTransfer)
{
    std::vector<aviation::structs::CAircraft> script;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Load(QStringLiteral(AEROVANE_BRIDGEPEER_FLIGHTS "/eddf-eddm.txt"), script, error))
        << error.toStdString();
    CSettings::SetAutoMode(true);
    // About 1,400 records: some ten seconds.
    CSettings::SetPauseBetweenWXStation(5);
    peer.PlayFlight(script);
    auto& window = Window();
    window.show();
    window.ui.actionDownload_WX->trigger();

    // The window's samples taken while the transfer runs, counted after the window's own slot has taken them.
    QObject receiver;
    bool sending = false;
    int samplesDuringTransfer = 0;
    QObject::connect(window.GetConnectWorker(), &CConnectWorker::sigThreadSignal, &receiver, [&sending](int code) {
        sending = code == ThreadWeatherStarted || (sending && code != ThreadWeatherFinished);
    });
    QObject::connect(window.GetConnectWorker(), &CConnectWorker::sigThreadJobFinished, &receiver,
                     [&](int type, const QString&) { samplesDuringTransfer += sending && type == JobGetAircraftData; });
    window.ui.actionConnect_to_FS->trigger();
    QElapsedTimer transfer;
    ASSERT_TRUE(QTest::qWaitFor([&] { return sending; }, 30000));
    transfer.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sending; }, 120000));
    const qint64 transferMs = transfer.elapsed();

    ASSERT_TRUE(LogText().contains("(ConnectWorker) Weather transfer Complete"));
    const std::vector<std::string> frames = peer.GetFrames();
    const auto isWrite = [](const std::string& frame) { return frame.rfind("@WRIT;007", 0) == 0; };
    const auto first = std::find_if(frames.begin(), frames.end(), isWrite);
    const auto last = std::find_if(frames.rbegin(), frames.rend(), isWrite).base();
    const auto reads
        = std::count_if(first, last, [](const std::string& frame) { return frame.rfind("@READ;001", 0) == 0; });
    std::printf("%lld ms transfer of %d records, %d aircraft reads during it\n", static_cast<long long>(transferMs),
                static_cast<int>(std::count_if(frames.begin(), frames.end(), isWrite)), static_cast<int>(reads));
    // The simulation tick queues a read every second.
    ASSERT_GE(transferMs, 3000) << "too short a transfer to tell";
    EXPECT_GE(reads, transferMs / 1000 - 2) << peer.GetFrameLog();
    EXPECT_GE(samplesDuringTransfer, reads - 1);
}
