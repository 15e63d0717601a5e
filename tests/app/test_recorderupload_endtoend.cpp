// An autostarted flight, the Frankfurt-Munich script to the gate, with live positions on the way; at the gate the
// recorder logs in at the loopback service and, after the pilot's Yes, copies the file to a loopback FTP server.
#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "platform/clock.h"
#include "recorder/tab_flightrecorder.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"
#include "tests/generation/recordingprompter.h"
#include "tests/recorder/ftpserverprocess.h"
#include "tools/bridge-peer/flightscript.h"

#include <QTest>

#include <vector>

namespace {

// 2026-12-07 12:58:00 UTC.
constexpr qint64 kBoarding = 1796648280;

using RecorderUploadEndToEnd = MainWindowTest;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(RecorderUploadEndToEnd, AutostartedFlightIsCopiedToTheFileServerAfterTheLoginAndTheUsersYes)
{
    FtpServerProcess ftp;
    QString whyNot;
    if (!ftp.Start(whyNot))
        GTEST_SKIP() << whyNot.toStdString();
    std::vector<aviation::structs::CAircraft> script;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Load(QStringLiteral(AEROVANE_BRIDGEPEER_FLIGHTS "/eddf-eddm.txt"), script, error))
        << error.toStdString();

    ServerAddresses addresses = CSettings::GetServerAddresses();
    addresses.recorderUrl = server.BaseUrl();
    ScopedServerAddresses recorderService(addresses);
    RecordingPrompter prompter;
    prompter.answers = {PromptAnswer::Yes};
    ScopedPrompter scopedPrompter(prompter);
    platform::ScopedClock clock(kBoarding);
    CSettings::SetUserId(QStringLiteral("AVN101"));
    CSettings::SetFlightAutoStart(true);
    CSettings::SetExportAerovane(true);
    CSettings::SetAerovaneUserId(QStringLiteral("42"));
    CSettings::SetAerovaneRecorderHash(QStringLiteral("9fKq2x"));
    CSettings::SetIsFlight2PhpFile(true);
    CSettings::SetFlight2PhpFileUrl(server.BaseUrl() + QStringLiteral("/live.php"));

    auto& window = Window();
    window.ui.tab_recorder->SetFtpPort(ftp.Port());
    window.resize(1280, 900);
    window.show();
    EXPECT_TRUE(window.ui.tab_recorder->IsRecording());
    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000));
    window.GetWeatherWorker()->EnableSimTimer(false);
    QObject receiver;
    int samples = 0;
    QObject::connect(window.GetConnectWorker(), &CConnectWorker::sigThreadJobFinished, &receiver,
                     [&samples](int type, const QString&) { samples += type == JobGetAircraftData ? 1 : 0; });
    peer.PlayFlight(script);
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_recorder);

    const auto reported = [&window] {
        return window.ui.textBrowser_FlightResults->toPlainText().contains(QStringLiteral("Flight Report from"));
    };
    std::size_t played = 0;
    for (; played < script.size() && !reported(); ++played) {
        clock.AdvanceMs(31000);
        window.GetConnectWorker()->AddJob(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return samples > static_cast<int>(played); }, 20000));
    }
    ASSERT_TRUE(reported());

    const QStringList files = QDir(CSettings::GetFlightsFolder()).entryList({QStringLiteral("*.xml")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("flight_42_AVN101_"))) << files[0].toStdString();
    const QByteArray local = ReadAll(QDir(CSettings::GetFlightsFolder()).filePath(files[0]));
    EXPECT_TRUE(local.contains("<Dest>EDDM</Dest>"));
    EXPECT_EQ(ReadAll(ftp.FilePath(files[0])), local);

    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, "Copy file to server?");
    EXPECT_TRUE(LogText().contains("(Recorder) - Flight " + files[0] + " copied to the file server"))
        << LogText().toStdString();
    EXPECT_FALSE(LogText().contains("s3cret"));
    // One live position per sample: each came more than 30 s after the one before.
    int livePosts = 0;
    for (const tools::WxServer::Post& post : server.Posts())
        livePosts += post.target == QLatin1String("/live.php") ? 1 : 0;
    EXPECT_EQ(livePosts, static_cast<int>(played));

    window.ui.tab_recorder->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/recorderupload_page.png"));
}
