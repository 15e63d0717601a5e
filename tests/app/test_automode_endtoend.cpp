// Auto mode over the bridge peer playing the Frankfurt-Munich flight, with the pause between records shortened:
// the aircraft is read all through the long first transfer.
#include "mainwindowtest.h"
#include "tools/bridge-peer/flightscript.h"

#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

using AutoModeEndToEnd = MainWindowTest;

TEST_F(AutoModeEndToEnd, AircraftIsReadAllThroughTheFirstTransfer)
{
    std::vector<aviation::structs::CAircraft> script;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Load(QStringLiteral(AEROVANE_BRIDGEPEER_FLIGHTS "/eddf-eddm.txt"), script, error))
        << error.toStdString();
    constexpr int kPauseMs = 5;
    CSettings::SetAutoMode(true);
    CSettings::SetPauseBetweenWXStation(kPauseMs);
    peer.PlayFlight(script);
    auto& window = Window();
    window.show();
    window.ui.actionDownload_WX->trigger();
    window.ui.actionConnect_to_FS->trigger();
    // Some 20 s under the sanitizers on a loaded machine; the tests' own time-out is five minutes.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return LogText().contains("(ConnectWorker) Weather transfer Complete"); }, 240000))
        << "the first transfer completed";

    const std::vector<std::string> frames = peer.GetFrames();
    const auto isWrite = [](const std::string& frame) { return frame.rfind("@WRIT;007", 0) == 0; };
    const auto first = std::find_if(frames.begin(), frames.end(), isWrite);
    const auto last = std::find_if(frames.rbegin(), frames.rend(), isWrite).base();
    const auto reads
        = std::count_if(first, last, [](const std::string& frame) { return frame.rfind("@READ;001", 0) == 0; });
    // Every record is followed by the pause, so the transfer lasts seconds, and the simulation tick queues a read
    // every second: reads are answered between the records, not held back until the transfer ends. How many
    // depends on how often a busy machine lets the tick run.
    const auto records = std::count_if(first, last, isWrite);
    ASSERT_GT(records * kPauseMs, 3000) << "too short a transfer to tell";
    EXPECT_GE(reads, 1) << peer.GetFrameLog();
}
