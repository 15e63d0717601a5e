// The stand-ins as scripts/run.sh starts them: one loopback server for weather, route finder and recorder service
// through AEROVANE_SERVER_URL, its login reply naming a loopback FTP server on a free port. The options dialog's
// Test Login passes, Find Route offers a route, and an autostarted flight from Frankfurt to Munich, its samples
// 2 s apart, is copied to the FTP server after the pilot's Yes.
#include "dialogs/dialogoption.h"
#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "planner/dlgflightplans.h"
#include "platform/clock.h"
#include "recorder/tab_flightrecorder.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"
#include "tests/generation/recordingprompter.h"
#include "tests/recorder/ftpserverprocess.h"
#include "tests/support/modaldialoganswer.h"
#include "tools/bridge-peer/flightscript.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
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

// The one override run.sh exports, for the test's lifetime.
class ScopedServerUrl
{
public:
    explicit ScopedServerUrl(const QString& url) { qputenv("AEROVANE_SERVER_URL", url.toUtf8()); }
    ~ScopedServerUrl() { qunsetenv("AEROVANE_SERVER_URL"); }
    ScopedServerUrl(const ScopedServerUrl&) = delete;
    ScopedServerUrl& operator=(const ScopedServerUrl&) = delete;
};

} // namespace

TEST_F(RecorderUploadEndToEnd, StandInsAsRunShStartsThemAnswerTestLoginFindRouteAndTheUpload)
{
    FtpServerProcess ftp;
    QString whyNot;
    if (!ftp.Start(whyNot))
        GTEST_SKIP() << whyNot.toStdString();
    std::vector<aviation::structs::CAircraft> script;
    QString error;
    ASSERT_TRUE(tools::CFlightScript::Load(QStringLiteral(AEROVANE_BRIDGEPEER_FLIGHTS "/eddf-eddm.txt"), script, error))
        << error.toStdString();

    ScopedServerUrl serverUrl(server.BaseUrl());
    ScopedServerAddresses builtIn(ServerAddresses::BuiltIn());
    server.SetFtpServer(QStringLiteral("127.0.0.1:%1").arg(ftp.Port()));
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
    window.resize(1280, 900);
    window.show();

    QString loginResult;
    ModalDialogAnswer<DialogOption> options([&loginResult](DialogOption& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("pushButton_recorder_testconnection"))->click();
        loginResult = dialog.findChild<QLabel*>(QStringLiteral("label_recorder_testconnection_result"))->text();
        return false;
    });
    window.ui.actionPreference->trigger();
    EXPECT_EQ(loginResult, "success UserID:42");

    int routes = 0;
    ModalDialogAnswer<DlgFlightplans> picker([&routes](DlgFlightplans& dialog) {
        routes = dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget"))->rowCount();
        return false;
    });
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_flightplanner);
    window.ui.lineEdit_Dep->setText(QStringLiteral("EDDF"));
    window.ui.lineEdit_Arrival->setText(QStringLiteral("LOWW"));
    window.ui.pushButton_online_vatroute->click();
    EXPECT_GE(routes, 1);

    EXPECT_TRUE(window.ui.tab_recorder->IsRecording());
    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
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
    for (std::size_t played = 0; played < script.size() && !reported(); ++played) {
        clock.AdvanceMs(2000);
        window.GetConnectWorker()->AddJob(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return samples > static_cast<int>(played); }, 20000)) << "sample " << played;
    }
    ASSERT_TRUE(reported());

    const QStringList files = QDir(CSettings::GetFlightsFolder()).entryList({QStringLiteral("*.xml")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("flight_42_AVN101_"))) << files[0].toStdString();
    const QByteArray local = ReadAll(QDir(CSettings::GetFlightsFolder()).filePath(files[0]));
    EXPECT_EQ(ReadAll(ftp.FilePath(files[0])), local);

    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[0].text, "Copy file to server?");
    EXPECT_EQ(prompter.asked[1].text, "Flight " + files[0] + " copied to the file server");
    EXPECT_FALSE(LogText().contains("s3cret"));
    EXPECT_TRUE(server.Requests().contains(QStringLiteral("/live.php")));

    window.ui.tab_recorder->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/recorderupload_page.png"));
}
