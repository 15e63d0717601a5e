// The connection worker: its queue (what queuing logs, jobs queued while the thread runs or is finishing, a stop
// while a job runs), and its jobs end to end over the simulated FSUIPC on a fixed clock and over the loopback
// bridge peer on 127.0.0.1 playing FSX.
#include "simlinktestsupport.h"

#include "platform/debugoutput.h"
#include "settings/settings.h"
#include "simlink/connectworker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>

using aviation::IPC::CFSUIPCSimulator;

namespace {

// Each signal of the worker becomes a line of its kind and arguments: "finished 7 Set Weather", "signal 4",
// "log (ConnectWorker) Disconnect 0", "status not connected", "progress 33 Sending Weather to FS, 1 from 3".
class WorkerRecording
{
public:
    explicit WorkerRecording(CConnectWorker& worker)
    {
        Record(worker, &CConnectWorker::sigThreadJobFinished, "finished");
        Record(worker, &CConnectWorker::sigThreadSignal, "signal");
        Record(worker, qOverload<QString, int>(&CConnectWorker::sigUIDebugString), "log");
        Record(worker, &CConnectWorker::sigUIStatusText, "status");
        Record(worker, &CConnectWorker::sigUIProgress, "progress");
    }

    // The lines of one kind, without the kind.
    QStringList Lines(const QString& kind) const
    {
        std::lock_guard<std::mutex> locker(m_lock);
        QStringList lines;
        for (const QString& line : m_lines)
            if (line.startsWith(kind + QLatin1Char(' ')))
                lines << line.mid(kind.size() + 1);
        return lines;
    }

    bool WaitFinished(int count, int timeoutMs = kEventWaitMs)
    {
        std::unique_lock<std::mutex> locker(m_lock);
        return m_changed.wait_for(locker, std::chrono::milliseconds(timeoutMs), [&] { return m_finished >= count; });
    }

private:
    template<typename... Args>
    void Record(CConnectWorker& worker, void (CConnectWorker::*signal)(Args...), const QString& kind)
    {
        QObject::connect(
            &worker, signal, &worker,
            [this, kind](Args... args) {
                QStringList line{kind};
                (line << ... << Text(args));
                std::lock_guard<std::mutex> locker(m_lock);
                m_lines << line.join(QLatin1Char(' '));
                m_finished += kind == QLatin1String("finished");
                m_changed.notify_all();
            },
            Qt::DirectConnection);
    }
    static QString Text(int value) { return QString::number(value); }
    static QString Text(const QString& text) { return text; }

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    QStringList m_lines;
    int m_finished = 0;
};

// Each test runs in an empty working directory, so the settings it writes are the only ones; MakeWorker makes the
// worker once they are written.
class ConnectWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        CSettings::Release();
        m_previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        CSettings::SetFSVersion(0);
    }

    void TearDown() override
    {
        worker.reset();
        CSettings::Release();
        CSettings::SetFSVersion(0);
        QDir::setCurrent(m_previousDir);
    }

    void MakeWorker()
    {
        worker.reset();
        worker = std::make_unique<CConnectWorker>();
        recording = std::make_unique<WorkerRecording>(*worker);
    }

    // A worker on the bridge peer whose waits a peer that answers always beats; a test of a silent peer gives the
    // connection that is to see it short waits (the worker takes them at its next connect).
    void MakeBridgeWorker(const tools::CBridgePeer& peer)
    {
        CSettings::SetInterfaceType(4);
        CSettings::SetServerIP(QStringLiteral("127.0.0.1"));
        CSettings::SetServerPort(QString::number(peer.GetPort()));
        MakeWorker();
        worker->SetBridgeWaits(RoomyWaits());
    }

    // Waits that give a silent peer up within a second: for a read (`readReply`) or for a write or the version
    // exchange (`writeReply`). The connection's other exchanges keep their room.
    static COvyxClient::Waits SilentPeerWaits(int COvyxClient::Waits::*reply)
    {
        COvyxClient::Waits waits = RoomyWaits();
        waits.*reply = 1000;
        return waits;
    }

    // Queues the job and waits until it and the `followers` jobs it queues have finished.
    void RunJob(int type, const QString& text = QString(), int followers = 0)
    {
        const int before = recording->Lines(QStringLiteral("finished")).size();
        worker->AddJob(CJob(type, text));
        ASSERT_TRUE(recording->WaitFinished(before + 1 + followers))
            << "job " << type << " and the " << followers << " it queues finished";
    }

    // Runs `action` from the worker's thread whenever the worker sends `signal` with `value`.
    template<typename Signal> void On(Signal signal, int value, std::function<void()> action)
    {
        QObject::connect(
            worker.get(), signal, worker.get(),
            [value, action](int sent) {
                if (sent == value)
                    action();
            },
            Qt::DirectConnection);
    }

    std::unique_ptr<CConnectWorker> worker;
    std::unique_ptr<WorkerRecording> recording;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
};

int ThreadRuns(const platform::ScopedDebugCapture& debug)
{
    const std::vector<std::string> lines = debug.Lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), "(ConnectWorker) - Thread closed\n"));
}

// Frankfurt, Munich and Heathrow as weather generation hands them over: the block (here only its ICAO code and
// pressure) and the extended METAR text.
const std::vector<CFSWeatherStation> kStations = [] {
    std::vector<CFSWeatherStation> stations(3);
    const char* metars[]
        = {"EDDF 071020Z 24012KT 9999 FEW030 BKN045 08/03 Q1015", "EDDM 071020Z 26008KT CAVOK 06/01 Q1017",
           "EGLL 071020Z 22015G25KT 8000 -RA SCT012 BKN020 11/09 Q1004"};
    for (std::size_t i = 0; i < 3; ++i) {
        std::memcpy(stations[i].block.Icao, metars[i], 4);
        stations[i].block.Command = 2;
        stations[i].block.Press = 1015 * 16;
        stations[i].text = QString::fromLatin1(metars[i]);
        stations[i].seconds = 60;
    }
    return stations;
}();

} // namespace

TEST_F(ConnectWorkerTest, QueuingLogsTheJobTextToTheLogFileOnlyAndAnEmptyTextNotAtAll)
{
    MakeWorker();
    RunJob(JobConnect);
    RunJob(JobSetFuel, QStringLiteral("Set Fuel"));

    // No simulator runs: the connect job says so in the status bar only.
    EXPECT_EQ(recording->Lines("status"), QStringList{"not connected"});
    EXPECT_EQ(recording->Lines("log"),
              QStringList({"(ConnectWorker) New Job - Set Fuel 2", "(ConnectWorker) Set Fuel to Aircraft 0"}));
    EXPECT_FALSE(worker->IsConnected());
}

TEST_F(ConnectWorkerTest, JobQueuedDuringARunRunsInTheSameRun)
{
    platform::ScopedDebugCapture debug;
    MakeWorker();
    On(&CConnectWorker::sigThreadJobFinished, JobGetFuel,
       [this] { worker->AddJob(CJob(JobRefreshAI, QStringLiteral("RefreshAI"))); });
    RunJob(JobGetFuel, QStringLiteral("Get Fuel"), 1);
    worker->wait();

    EXPECT_EQ(recording->Lines("finished"), QStringList({"3 Get Fuel", "17 RefreshAI"}));
    EXPECT_EQ(ThreadRuns(debug), 1);
}

TEST_F(ConnectWorkerTest, StopEndsTheRunningTransferAsFailedAndKeepsTheRestQueued)
{
    CSettings::SetPauseBetweenWXStation(100);
    MakeWorker();
    worker->SetWeather(std::vector<CFSWeatherStation>(1));
    On(&CConnectWorker::sigThreadSignal, ThreadWeatherStarted, [this] { worker->Stop(); });

    worker->AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));
    worker->AddJob(CJob(JobRefreshAI, QStringLiteral("RefreshAI")));
    ASSERT_TRUE(recording->WaitFinished(1)) << "the stopped transfer finished";
    worker->wait();
    // A later start runs nothing either.
    worker->AddJob(CJob(JobClearWeather, QStringLiteral("Clear WX")));
    worker->wait();

    EXPECT_EQ(recording->Lines("finished"), QStringList{"7 Set Weather"});
    EXPECT_EQ(recording->Lines("signal"), QStringList{"4"});
    EXPECT_EQ(recording->Lines("progress").last(), "0 Weather transfer failed: stopped");
}

// Each job is queued the moment the one before has finished, while the thread is deciding to end: every one must
// run without waiting for a later job to start the thread.
TEST_F(ConnectWorkerTest, TenThousandJobsQueuedWhileTheThreadKeepsFinishingAllFinish)
{
    constexpr int kJobs = 10000;
    platform::ScopedDebugCapture debug;
    MakeWorker();
    for (int i = 1; i <= kJobs; ++i) {
        worker->AddJob(CJob(i % 2 ? JobRefreshAI : JobSendStationToFS, QString()));
        ASSERT_TRUE(recording->WaitFinished(i)) << "job " << i << " finished";
    }
    worker->wait();
    EXPECT_EQ(recording->Lines("finished").size(), kJobs);
    EXPECT_GT(ThreadRuns(debug), 1);
}

TEST_F(ConnectWorkerTest, OverFSUIPCConnectReadSendWeatherAndPaceTheWind)
{
    platform::ScopedClock clock{1765101600};
    CSettings::SetInterfaceType(1);
    for (const auto& [kind, fsVersion, commands] :
         {std::make_tuple(CFSUIPCSimulator::Kind::FSX, 3, std::vector<std::uint16_t>{}),
          std::make_tuple(CFSUIPCSimulator::Kind::FS2004, 2, std::vector<std::uint16_t>{0x100})}) {
        CFSUIPCSimulator fsuipc(kind);
        aviation::IPC::CScopedFSUIPCTransport transport(fsuipc);
        MakeWorker();
        RunJob(JobConnect);
        ASSERT_TRUE(worker->IsConnected()) << fsVersion;
        EXPECT_EQ(CSettings::GetFSVersion(), fsVersion);
        RunJob(JobGetAircraftData, QStringLiteral("Get Aircraft data"));
        EXPECT_NEAR(worker->GetAircraft().GetLatitude(), 50.0379, 1e-4);

        worker->SetWeather(kStations);
        RunJob(JobSetWeather, QStringLiteral("Set Weather"));
        const std::vector<std::vector<std::uint8_t>> records = fsuipc.GetWeatherRecords();
        ASSERT_EQ(records.size(), 3u);
        EXPECT_EQ(records[1].size(), 1024u);
        EXPECT_EQ(std::string(records[1].begin() + 8, records[1].begin() + 12), "EDDM");
        EXPECT_EQ(fsuipc.GetWeatherCommands(), commands);

        // The first wind job only starts the clock; 400 ms after it is too early, 600 ms is not.
        worker->SetWindLevel(aviation::weather::CLevel(2000, aviation::weather::CWind(270, 15), 5, 1, 942, -1));
        for (const auto& [advanceMs, sends] : {std::make_pair(0, false), {400, false}, {200, true}}) {
            clock.AdvanceMs(advanceMs);
            const int exchanges = fsuipc.GetExchangeCount();
            RunJob(JobSetWind, QStringLiteral("Set Wind FSUIPC"));
            EXPECT_EQ(fsuipc.GetExchangeCount() != exchanges, sends) << advanceMs;
        }
        EXPECT_DOUBLE_EQ(fsuipc.PeekDouble(0x2DE0), 270.0);

        // A read that fails keeps the last sample instead of moving the aircraft to (0, 0).
        CFSUIPCSimulator::Faults faults;
        faults.failingSends = -1;
        fsuipc.SetFaults(faults);
        RunJob(JobGetAircraftData, QStringLiteral("Get Aircraft data"));
        EXPECT_NEAR(worker->GetAircraft().GetLongitude(), 8.5622, 1e-4);

        worker.reset();
        EXPECT_EQ(fsuipc.GetOpenMappingCount(), 0) << "closed in the worker's thread";
    }
}

class ConnectWorkerBridge : public ConnectWorkerTest
{
protected:
    void SetUp() override
    {
        ConnectWorkerTest::SetUp();
        ASSERT_TRUE(peer.Start());
        MakeBridgeWorker(peer);
        RunJob(JobConnect, QString(), 2);
    }

    // Destroyed after the worker, which logs out while the peer still listens.
    tools::CBridgePeer peer;
};

TEST_F(ConnectWorkerBridge, ConnectNamesTheSimulatorStoresItsVersionAndQueuesFuelAndDetails)
{
    EXPECT_EQ(recording->Lines("status").last(), "Connected to Aerovane Server, Sim:FSX");
    EXPECT_EQ(CSettings::GetFSVersion(), 3);
    EXPECT_EQ(recording->Lines("finished"), QStringList({"0 ", "3 Get Fuel", "15 Get AC-Details"}));
    EXPECT_EQ(recording->Lines("signal"), QStringList({"1", "3"}));
    EXPECT_EQ(worker->GetAircraftDetail().name, peer.GetDetail().name);
    EXPECT_TRUE(worker->IsConnected());
}

TEST_F(ConnectWorkerBridge, WeatherTransferSendsEveryRecordWhileHandOversGoOnUnhindered)
{
    constexpr int kPauseMs = 1000;
    CSettings::SetPauseBetweenWXStation(kPauseMs);
    worker->SetWeather(kStations);
    QElapsedTimer transfer;
    transfer.start();
    worker->AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));

    // The window hands over records and wind levels all through the transfer. One begun after the first record's
    // progress and done before the last one's went through while the transfer ran, with seconds of pauses to
    // do it in; a transfer holding the records' lock throughout would let none through before its end.
    bool handedOverDuringTransfer = false;
    while (recording->Lines("finished").size() < 4 && transfer.elapsed() < kEventWaitMs) {
        const int recordsBegunBefore = recording->Lines("progress").size();
        worker->SetWeather(kStations);
        worker->SetWindLevel(aviation::weather::CLevel(3000, aviation::weather::CWind(250, 20), 2, -4, 908, -1));
        handedOverDuringTransfer = handedOverDuringTransfer
            || (recordsBegunBefore >= 1 && recording->Lines("progress").size() < 3);
    }
    const qint64 transferMs = transfer.elapsed();

    ASSERT_EQ(recording->Lines("finished").size(), 4) << "the transfer finished";
    EXPECT_GE(transferMs, 3 * kPauseMs);
    EXPECT_TRUE(handedOverDuringTransfer);
    EXPECT_EQ(recording->Lines("progress"),
              QStringList({"33 Sending Weather to FS, 1 from 3", "66 Sending Weather to FS, 2 from 3",
                           "100 Sending Weather to FS, 3 from 3", "0 Weather transfer Complete"}));
    const std::vector<CLinkMessage> writes = peer.GetWeatherWrites();
    ASSERT_EQ(writes.size(), 3u);
    for (std::size_t i = 0; i < writes.size(); ++i)
        EXPECT_EQ(QString::fromStdString(writes[i].GetPayload()), kStations[i].text);
}

TEST_F(ConnectWorkerBridge, StopGivesUpARequestThePeerNeverAnswers)
{
    // The read waits a whole minute for its answer; a stop ends that wait well within ten seconds.
    const std::size_t framesBefore = peer.GetFrames().size();
    peer.SetAnswerDelay(-1);
    worker->AddJob(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
    ASSERT_TRUE(peer.WaitForFrames(framesBefore + 1, kEventWaitMs)) << "the read sent";

    QElapsedTimer stop;
    stop.start();
    worker->Stop();
    worker->wait();

    EXPECT_LT(stop.elapsed(), 10000);
    EXPECT_EQ(recording->Lines("finished").last(), "2 Get Aircraft data");
    EXPECT_FALSE(worker->IsConnected());
}

// Each way a bridge can break the link, found out by the next read: one log line names the cause, the status says
// "not connected", the window is told, and a later weather transfer fails.
TEST_F(ConnectWorkerBridge, EveryWayTheLinkBreaksEndsItAndIsReported)
{
    const std::pair<std::function<void(tools::CBridgePeer&)>, QString> cases[] = {
        {[](tools::CBridgePeer& p) { p.Stop(); }, "connection closed"},
        {[](tools::CBridgePeer& p) { p.CloseOnNextRequest(); }, "connection closed"},
        {[](tools::CBridgePeer& p) { p.SetAnswerDelay(-1); }, "no answer"},
        {[](tools::CBridgePeer& p) { p.AnswerNextWith("@ANSW;002;0250;Height=4636:Al"); }, "no answer"},
        {[](tools::CBridgePeer& p) { p.AnswerNextWith("@ANSW;002;9999;Height=4636"); }, "no answer"},
        {[](tools::CBridgePeer& p) { p.AnswerNextWith("\x16\x03\x01 garbage\n"); }, "not a bridge"},
    };
    const quint16 port = peer.GetPort();
    CSettings::SetPauseBetweenWXStation(0);
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const auto& [breakLink, cause] = cases[row];
        SCOPED_TRACE(cause.toStdString());
        ASSERT_TRUE(worker->IsConnected());
        breakLink(peer);
        RunJob(JobGetAircraftData, QStringLiteral("Get Aircraft data"));

        EXPECT_FALSE(worker->IsConnected());
        EXPECT_EQ(recording->Lines("log").filter("lost").last(),
                  "(ConnectWorker) Connection to the simulator lost: " + cause + " 0");
        EXPECT_EQ(recording->Lines("status").last(), "not connected");
        EXPECT_EQ(recording->Lines("signal").last(), QString::number(ThreadLinkLost));
        worker->SetWeather(kStations);
        RunJob(JobSetWeather, QStringLiteral("Set Weather"));
        EXPECT_EQ(recording->Lines("progress").last(), "0 Weather transfer failed: not connected");

        peer.Stop();
        peer.SetAnswerDelay(0);
        ASSERT_TRUE(peer.Start(port));
        // The connection the next row breaks: where the peer falls silent, its reads are given up within a second.
        const bool nextFallsSilent = row + 1 < std::size(cases) && cases[row + 1].second == "no answer";
        worker->SetBridgeWaits(nextFallsSilent ? SilentPeerWaits(&COvyxClient::Waits::readReply) : RoomyWaits());
        RunJob(JobConnect, QString(), 2);

        // The stations the failed transfer could not send wait for the next one.
        const std::size_t written = peer.GetWeatherWrites().size();
        RunJob(JobSetWeather, QStringLiteral("Set Weather"));
        EXPECT_EQ(peer.GetWeatherWrites().size(), written + kStations.size());
    }
}

TEST_F(ConnectWorkerBridge, LinkLostMidTransferFailsItAndDropsTheQueuedJobs)
{
    CSettings::SetPauseBetweenWXStation(50);
    worker->SetWeather(kStations);
    peer.SetFrameObserver([this](const std::string& frame) {
        if (frame.rfind("@WRIT;007", 0) == 0)
            peer.CloseOnNextRequest();
    });
    worker->AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));
    worker->AddJob(CJob(JobClearWeather, QStringLiteral("Clear WX")));
    ASSERT_TRUE(recording->WaitFinished(4)) << "the transfer finished";
    worker->wait();

    EXPECT_EQ(recording->Lines("finished").last(), "7 Set Weather") << "the queued job is dropped";
    EXPECT_EQ(recording->Lines("progress").last(), "0 Weather transfer failed: connection lost");
    EXPECT_TRUE(recording->Lines("progress").filter("Complete").isEmpty());
    EXPECT_EQ(recording->Lines("log").filter("lost:").size(), 1);
    EXPECT_EQ(peer.GetWeatherWrites().size(), 1u);
    EXPECT_FALSE(worker->IsConnected());
}

// The bridge answers the login, then fails the version exchange: not connected, the status says why, and each
// attempt comes on a new connection. The peer closing at the login comes first: a logout still on its way would
// take that close for itself.
TEST_F(ConnectWorkerTest, HandshakeFailingAfterTheLoginLeavesNoLinkAndSaysWhy)
{
    tools::CBridgePeer peer;
    ASSERT_TRUE(peer.Start());
    MakeBridgeWorker(peer);
    const std::string hello = Frame(LinkAnsw, 0, "ServerName=Aerovane Bridge:ServerAPIVersion=1002");
    const std::pair<std::vector<std::string>, QString> cases[] = {
        {{}, "server found, connection closed"},
        {{hello, ""}, "server found, no answer"},
        {{hello, "HTTP/1.1 400 Bad Request\n"}, "server found, not a bridge"},
        {{hello, Frame(LinkFsst, 80, "SimVersion=0:FSVersion=0")}, "Connected to Aerovane Server, wait for Sim"},
    };
    for (const auto& [answers, status] : cases) {
        // The version exchange the peer leaves unanswered is given up within a second.
        worker->SetBridgeWaits(status == "server found, no answer" ? SilentPeerWaits(&COvyxClient::Waits::writeReply)
                                                                   : RoomyWaits());
        if (answers.empty())
            peer.CloseOnNextRequest();
        for (const std::string& answer : answers)
            peer.AnswerNextWith(answer);
        const int connections = peer.GetConnectionCount();
        RunJob(JobConnect);
        EXPECT_FALSE(worker->IsConnected()) << qPrintable(status);
        EXPECT_EQ(recording->Lines("status").last(), status);
        EXPECT_EQ(peer.GetConnectionCount(), connections + 1) << "a new socket per attempt, " << qPrintable(status);
    }
    RunJob(JobConnect, QString(), 2);
    EXPECT_TRUE(worker->IsConnected());
}

namespace {

// The indexes of the frames that start with `prefix`.
std::vector<std::size_t> FramesStartingWith(const std::vector<std::string>& frames, const std::string& prefix)
{
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (frames[i].rfind(prefix, 0) == 0)
            found.push_back(i);
    return found;
}

std::vector<CFSWeatherStation> ThirtyRecords()
{
    std::vector<CFSWeatherStation> records;
    for (int i = 0; i < 10; ++i)
        records.insert(records.end(), kStations.begin(), kStations.end());
    return records;
}

} // namespace

// The simulation tick queues a read every second (here every 250 ms, the pause shortened to 50 ms): each one runs
// between two records and is reported as a finished read, the records and their pauses go on as before, and the
// transfer counts as sending until it ends.
TEST_F(ConnectWorkerBridge, AircraftIsReadBetweenTheRecordsOfALongTransfer)
{
    CSettings::SetPauseBetweenWXStation(50);
    const std::vector<CFSWeatherStation> records = ThirtyRecords();
    worker->SetWeather(records);
    peer.ClearFrames();
    QElapsedTimer transfer;
    transfer.start();
    worker->AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));
    // A look between the first record's arrival and the last one's falls inside the transfer.
    int looksDuringTransfer = 0;
    int sendingSeen = 0;
    while (recording->Lines("finished").filter("Set Weather").isEmpty() && transfer.elapsed() < kEventWaitMs) {
        const bool begun = !peer.GetWeatherWrites().empty();
        const bool sending = worker->IsSendingWeather();
        if (begun && peer.GetWeatherWrites().size() < records.size()) {
            ++looksDuringTransfer;
            sendingSeen += sending;
        }
        worker->AddJob(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
        QThread::msleep(250);
    }
    const qint64 transferMs = transfer.elapsed();
    ASSERT_FALSE(recording->Lines("finished").filter("Set Weather").isEmpty()) << "the transfer finished";
    ASSERT_TRUE(worker->wait(kEventWaitMs)) << "the worker's thread ended";

    ASSERT_EQ(peer.GetWeatherWrites().size(), records.size());
    EXPECT_GE(transferMs, 30 * 50);
    EXPECT_FALSE(worker->IsSendingWeather());
    EXPECT_GE(looksDuringTransfer, 1);
    EXPECT_EQ(sendingSeen, looksDuringTransfer);
    // A read asked for while another waits is not queued twice; the worker logs each one it queues.
    const int readsQueued = recording->Lines("log").filter("New Job - Get Aircraft data").size();
    const std::vector<std::string> frames = peer.GetFrames();
    const std::vector<std::size_t> writes = FramesStartingWith(frames, "@WRIT;007");
    const std::vector<std::size_t> reads = FramesStartingWith(frames, "@READ;001");
    const auto during = std::count_if(reads.begin(), reads.end(),
                                      [&](std::size_t i) { return i > writes.front() && i < writes.back(); });
    // Every read queued while the transfer ran, but for one at either end.
    EXPECT_GE(during, readsQueued - 2) << peer.GetFrameLog();
    const QStringList finished = recording->Lines("finished");
    EXPECT_GE(finished.mid(0, finished.indexOf("7 Set Weather")).filter("Get Aircraft data").size(), during)
        << "each read is reported when it is made";
}

// Clear WX in the middle of a transfer with another one waiting: the running one stops within a record, the
// waiting one never runs, the weather is cleared, and the link goes on with the next transfer.
TEST_F(ConnectWorkerBridge, ClearWXStopsTheTransferWithinOneRecordAndDropsTheWaitingOne)
{
    // The longest pause between records: the thirty take a minute, so the transfer is still under way when the
    // stop comes, however late.
    CSettings::SetPauseBetweenWXStation(2000);
    worker->SetWeather(ThirtyRecords());
    peer.ClearFrames();
    worker->AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));
    QElapsedTimer wait;
    wait.start();
    while (peer.GetWeatherWrites().empty() && wait.elapsed() < kEventWaitMs)
        QThread::msleep(5);
    ASSERT_FALSE(peer.GetWeatherWrites().empty()) << "the first record written";
    worker->SetWeather(kStations);
    worker->AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));
    worker->AddJob(CJob(JobSetWeather, QStringLiteral("Set Weather")));
    // The worker waits for the peer's answer to each record, so the peer holds every record sent but the one
    // under way.
    const std::size_t sentBeforeStop = peer.GetWeatherWrites().size();
    worker->StopWeatherTransfer();
    worker->AddJob(CJob(JobClearWeather, QStringLiteral("Clear WX")));
    ASSERT_TRUE(recording->WaitFinished(5)) << "the stopped transfer and Clear WX finished";
    ASSERT_TRUE(worker->wait(kEventWaitMs)) << "the worker's thread ended";

    EXPECT_LE(peer.GetWeatherWrites().size(), sentBeforeStop + 1);
    EXPECT_EQ(FramesStartingWith(peer.GetFrames(), "@WRIT;081").size(), 1u);
    EXPECT_EQ(recording->Lines("finished").mid(3), QStringList({"7 Set Weather", "12 Clear WX"}));
    EXPECT_EQ(recording->Lines("progress").last(), "0 Weather transfer failed: stopped by Clear WX");

    CSettings::SetPauseBetweenWXStation(0);
    peer.ClearFrames();
    worker->SetWeather(kStations);
    RunJob(JobSetWeather, QStringLiteral("Set Weather"));
    EXPECT_EQ(peer.GetWeatherWrites().size(), kStations.size());
    EXPECT_EQ(recording->Lines("progress").last(), "0 Weather transfer Complete");
    EXPECT_TRUE(worker->IsConnected());
}
