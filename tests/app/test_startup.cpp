#include "app/aerovane_pro.h"
#include "app/tipdlg.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "scopedappfolders.h"
#include "settings/serveraddresses.h"
#include "simlink/connectworker.h"
#include "tools/bridge-peer/bridgepeer.h"
#include "tools/wx-server/wxserver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

const QString kClientVersion = QStringLiteral("1.42.17 ");

// Answers the boxes of the start-up sequence at once; a box can hold the sequence for a while instead, as a
// user reading it would.
class StartupPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        asked.push_back(request);
        const auto hold = whileOpen.find(request.title);
        if (hold != whileOpen.end())
            hold->second();
        return request.kind == PromptKind::Question ? questionAnswer : PromptAnswer::Ok;
    }
    PromptResult AskWithCheckBox(const PromptRequest& request, const QString& checkBoxText) override
    {
        checkBoxes << checkBoxText;
        return {Ask(request), tickCheckBox};
    }
    QStringList Titles() const
    {
        QStringList titles;
        for (const PromptRequest& request : asked)
            titles << request.title;
        return titles;
    }

    std::vector<PromptRequest> asked;
    QStringList checkBoxes;
    std::map<QString, std::function<void()>> whileOpen;
    PromptAnswer questionAnswer = PromptAnswer::No;
    bool tickCheckBox = false;
};

// Catches the addresses handed to the desktop services for a scheme.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    explicit UrlCatcher(const QString& scheme)
        : m_scheme(scheme)
    {
        QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(m_scheme); }

    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }

private:
    QString m_scheme;
};

// Notes when the window is closed.
class CloseWatch : public QObject
{
public:
    bool closed = false;
    qint64 closedAtMs = -1;
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close && !closed) {
            closed = true;
            closedAtMs = clock.elapsed();
        }
        return false;
    }
};

// Closes every tip dialog that opens, after holding it open for a while, and keeps the tip it showed first.
class TipDialogCloser
{
public:
    explicit TipDialogCloser(int holdMs = 0)
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this, holdMs] {
            auto* dialog = qobject_cast<TipDlg*>(QApplication::activeModalWidget());
            if (!dialog || dialog == m_holding)
                return;
            m_holding = dialog;
            shown << dialog->findChild<QTextBrowser*>()->toPlainText();
            QTimer::singleShot(holdMs, dialog, [dialog] { dialog->reject(); });
        });
        m_timer.start();
    }

    QStringList shown;

private:
    QTimer m_timer;
    TipDlg* m_holding = nullptr;
};

QString InfoDocument(const QString& body)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<aerovane>\n"
                          "  <weatherserverversion>2.1.0</weatherserverversion>\n%1</aerovane>\n")
        .arg(body);
}

// A base on 127.0.0.1 where nothing listens.
QString ClosedBase()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

// The window as the program builds it, its weather server locations pointed at a loopback server that serves
// the test's information document, and the demo weather server and a bridge peer for the connect and download.
class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_weatherServer.Listen());
        ASSERT_TRUE(m_infoServer.Listen());
        ASSERT_TRUE(m_peer.Start());
        m_quitOnLastWindow = QApplication::quitOnLastWindowClosed();
        QApplication::setQuitOnLastWindowClosed(false);
        CSettings::SetInterfaceType(4);
        CSettings::SetServerPort(QString::number(m_peer.GetPort()));
        CSettings::SetAutoConnectFS(false);
        CSettings::SetDownloadWX(false);
        CSettings::SetShowTipDialog(false);
        PointLocationsAt(m_infoServer.BaseUrl(), m_infoServer.BaseUrl());
        ServeInfo(InfoDocument(QString()));
    }

    void TearDown() override
    {
        m_jobs.reset();
        m_window.reset();
        m_peer.Stop();
        m_locations.reset();
        QApplication::setQuitOnLastWindowClosed(m_quitOnLastWindow);
    }

    void PointLocationsAt(const QString& de, const QString& us)
    {
        m_locations.reset();
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = de;
        addresses.serverUrlUS = us;
        m_locations = std::make_unique<ScopedServerAddresses>(addresses);
    }

    void ServeInfo(const QString& document)
    {
        QFile file(QDir(m_infoDir.path()).filePath(QStringLiteral("aerovane_info.xml")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(document.toUtf8());
    }

    void WritePreviousLog(const QString& text)
    {
        QDir().mkpath(ProgramFile(QStringLiteral("logs")));
        QFile file(ProgramFile(QStringLiteral("logs/aerovane.log")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    QString ProgramFile(const QString& name) const { return m_folders.ProgramFile(name); }

    QString LogText() const
    {
        QFile file(ProgramFile(QStringLiteral("logs/aerovane.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // Builds the window as the program does and lets its start-up run to its end or to the window's close.
    Aerovane_Pro& Start()
    {
        m_window = std::make_unique<Aerovane_Pro>();
        Aerovane_Pro& window = *m_window;
        CSettings::SetClientVersion(kClientVersion);
        window.installEventFilter(&m_closeWatch);
        m_closeWatch.clock.start();
        m_jobs = std::make_unique<QSignalSpy>(window.GetConnectWorker(), &CConnectWorker::sigThreadJobFinished);
        const bool ended
            = QTest::qWaitFor([&] { return m_closeWatch.closed || window.ui.actionDownload_WX->isEnabled(); }, 20000);
        EXPECT_TRUE(ended) << "the start-up sequence did not end";
        return window;
    }

    int FinishedJobs(int type) const
    {
        int count = 0;
        for (const QList<QVariant>& job : *m_jobs)
            count += job.at(0).toInt() == type;
        return count;
    }

    ScopedAppFolders m_folders;
    StartupPrompter m_prompter;
    ScopedPrompter m_usePrompter{m_prompter};
    CloseWatch m_closeWatch;
    tools::WxServer m_weatherServer{QStringLiteral(AEROVANE_WXSERVER_DATA)};
    QTemporaryDir m_infoDir;
    tools::WxServer m_infoServer{m_infoDir.path()};
    std::unique_ptr<QSignalSpy> m_jobs;

private:
    tools::CBridgePeer m_peer;
    std::unique_ptr<ScopedServerAddresses> m_locations;
    std::unique_ptr<Aerovane_Pro> m_window;
    bool m_quitOnLastWindow = true;
};

// Names each case of a table after its `name`.
struct CaseName
{
    template<typename Param> std::string operator()(const testing::TestParamInfo<Param>& info) const
    {
        return info.param.name;
    }
};

} // namespace

struct LocationCase
{
    const char* name;
    bool deOpen;
    bool usOpen;
    int location;
    int locationAfter;
    int failures;
};

class StartupLocationTest : public StartupTest, public testing::WithParamInterface<LocationCase>
{
};

TEST_P(StartupLocationTest, InfoDocumentFromTheOtherLocationWhenOneIsClosed)
{
    const LocationCase& c = GetParam();
    const QString closed = ClosedBase();
    PointLocationsAt(c.deOpen ? m_infoServer.BaseUrl() : closed, c.usOpen ? m_infoServer.BaseUrl() : closed);
    ServeInfo(InfoDocument(QStringLiteral("<news version=\"1.42.18\">Served</news>")));
    CSettings::SetServerLocation(c.location);
    CSettings::SetAutoConnectFS(true);

    Aerovane_Pro& window = Start();
    EXPECT_EQ(CSettings::GetServerLocation(), c.locationAfter);
    const QString log = LogText();
    EXPECT_EQ(log.count(QStringLiteral("(StartUp)Network info file error: ")), c.failures);
    EXPECT_EQ(log.contains(QStringLiteral("(StartUp) success")), c.failures < 2);
    EXPECT_EQ(m_prompter.Titles(), c.failures < 2 ? QStringList{"Aerovane - News"} : QStringList{})
        << "version checks run only on a served document";
    EXPECT_TRUE(log.contains(QStringLiteral("Aerovane Pro v") + kClientVersion));
    // The sequence goes on after two failures as after none.
    EXPECT_EQ(window.ui.actionConnect_to_FS->text(), QStringLiteral("Auto Connect"));
    EXPECT_FALSE(window.ui.actionConnect_to_FS->isEnabled());
    EXPECT_TRUE(window.ui.actionDownload_WX->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Locations, StartupLocationTest,
                         testing::Values(LocationCase{"DeClosedUsServing", false, true, 0, 1, 1},
                                         LocationCase{"UsClosedDeServing", true, false, 1, 0, 1},
                                         LocationCase{"BothClosedFromDe", false, false, 0, 0, 2},
                                         LocationCase{"BothClosedFromUs", false, false, 1, 1, 2},
                                         LocationCase{"UsServing", true, true, 1, 1, 0}),
                         CaseName());

struct VersionBoxCase
{
    const char* name;
    const char* body;
    const char* title; // null: no box
    const char* text;
};

class StartupVersionBoxTest : public StartupTest, public testing::WithParamInterface<VersionBoxCase>
{
};

TEST_P(StartupVersionBoxTest, BoxOnlyWhenDue)
{
    const VersionBoxCase& c = GetParam();
    ServeInfo(InfoDocument(QLatin1String(c.body)));
    Start();
    if (!c.title) {
        EXPECT_EQ(m_prompter.Titles(), QStringList());
    } else {
        ASSERT_EQ(m_prompter.Titles(), QStringList{QLatin1String(c.title)});
        EXPECT_EQ(m_prompter.asked[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(m_prompter.asked[0].kind,
                  QLatin1String(c.title) == QLatin1String("Aerovane") ? PromptKind::Critical : PromptKind::Information);
    }
    EXPECT_EQ(CSettings::GetWeatherServerVersion(), QStringLiteral("2.1.0"));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, StartupVersionBoxTest,
    testing::Values(
        VersionBoxCase{"MinimumAboveClient", "<minclientversion>1.42.18</minclientversion>", "Aerovane",
                       "This version is no longer supported.\n Visit https://aerovane.example.org/download to "
                       "download a newer version.\nMinimum Version: 1.42.18"},
        VersionBoxCase{"NewerUpdate",
                       "<minclientversion>1.42.17</minclientversion><updateservers><url version=\"1.42.18\">"
                       "https://aerovane.example.org/</url></updateservers>",
                       "Aerovane - Update",
                       "Update available.\nPlease download the new version from "
                       "https://aerovane.example.org/download \nNew Version: 1.42.18"},
        VersionBoxCase{"NewerNews", "<news version=\"1.42.18\">Hello</news>", "Aerovane - News", "Hello"},
        VersionBoxCase{"NothingDue",
                       "<news version=\"3\">Old news</news><updateservers><url version=\"1.42.17\">x</url>"
                       "</updateservers><minclientversion>2.1</minclientversion>",
                       nullptr, nullptr}),
    CaseName());

TEST_F(StartupTest, UnsupportedVersionClosesTheWindowHalfASecondAfterItsBox)
{
    ServeInfo(InfoDocument(QStringLiteral("<minclientversion>1.42.18</minclientversion>")));
    qint64 answeredAtMs = -1;
    m_prompter.whileOpen[QStringLiteral("Aerovane")] = [&] { answeredAtMs = m_closeWatch.clock.elapsed(); };
    Aerovane_Pro& window = Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_closeWatch.closed; }, 5000));
    EXPECT_GE(m_closeWatch.closedAtMs - answeredAtMs, 500);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(LogText().contains(QStringLiteral("(Main) Close")));
}

struct HolderCase
{
    const char* name;
    const char* heldBox; // null: the tip dialog is held
};

class StartupCloseTest : public StartupTest, public testing::WithParamInterface<HolderCase>
{
};

TEST_P(StartupCloseTest, CloseWhileALaterBoxIsOpenEndsTheSequence)
{
    // Every box and the tip dialog is due; the one named is held open until the scheduled close has come.
    ServeInfo(InfoDocument(
        QStringLiteral("<minclientversion>1.42.18</minclientversion>"
                       "<updateservers><url version=\"1.42.19\">https://aerovane.example.org/</url></updateservers>"
                       "<news version=\"1.42.19\">Hello</news><tips><tip aerovanetype=\"1\">A tip</tip></tips>")));
    WritePreviousLog(QStringLiteral("07.12.26 10:49:27 - (StartUp) Get info file\n"));
    CSettings::SetShowTipDialog(true);
    CSettings::SetInfoAutoMode(true);
    CSettings::SetAutoMode(true);
    CSettings::SetAutoConnectFS(true);
    CSettings::SetDownloadWX(true);
    const char* heldBox = GetParam().heldBox;
    if (heldBox)
        m_prompter.whileOpen[QLatin1String(heldBox)] = [] { QTest::qWait(800); };
    TipDialogCloser closer(heldBox ? 0 : 800);

    Aerovane_Pro& window = Start();
    EXPECT_TRUE(m_closeWatch.closed);
    ASSERT_FALSE(m_prompter.Titles().isEmpty());
    if (heldBox) {
        EXPECT_EQ(m_prompter.Titles().last(), QLatin1String(heldBox)) << "no box after the close";
    }
    EXPECT_EQ(closer.shown.size(), heldBox ? 0 : 1);
    EXPECT_NE(window.ui.actionConnect_to_FS->text(), QStringLiteral("Auto Connect"));
    EXPECT_EQ(FinishedJobs(0), 0);
    EXPECT_TRUE(m_weatherServer.Requests().filter(QStringLiteral("weather_vatsim")).isEmpty());
    EXPECT_TRUE(m_infoServer.Requests().filter(QStringLiteral("weather_vatsim")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Holders, StartupCloseTest,
                         testing::Values(HolderCase{"UpdateBox", "Aerovane - Update"},
                                         HolderCase{"NewsBox", "Aerovane - News"},
                                         HolderCase{"LogQuestion", "Send Log file"},
                                         HolderCase{"AutoModeHint", "Aerovane - Tips"},
                                         HolderCase{"TipDialog", nullptr}),
                         CaseName());

struct PreviousLogCase
{
    const char* name;
    const char* previousLog; // null: none
    PromptAnswer answer;
    int questions;
    bool mailed;
};

class StartupPreviousLogTest : public StartupTest, public testing::WithParamInterface<PreviousLogCase>
{
};

const char kCleanLog[] = "07.12.26 10:49:27 - Aerovane Pro v1.42.17 \n"
                         "07.12.26 11:20:01 - (Main) Close\n";
const char kCrashedLog[] = "07.12.26 10:49:27 - Aerovane Pro v1.42.17 \n"
                           "07.12.26 10:50:02 - (ConnectWorker) Weather transfer Complete\n";

TEST_P(StartupPreviousLogTest, OfferedOnceWithoutACleanEndAndRemoved)
{
    const PreviousLogCase& c = GetParam();
    if (c.previousLog)
        WritePreviousLog(QLatin1String(c.previousLog));
    m_prompter.questionAnswer = c.answer;
    UrlCatcher mail(QStringLiteral("mailto"));
    Start();
    int questions = 0;
    for (const PromptRequest& request : m_prompter.asked) {
        if (request.title != QLatin1String("Send Log file"))
            continue;
        ++questions;
        EXPECT_EQ(request.kind, PromptKind::Question);
        EXPECT_EQ(request.text,
                  QStringLiteral("Aerovane was not terminated correctly or has crashed.\n"
                                 "Would you send the file to the developers of Aerovane?"));
    }
    EXPECT_EQ(questions, c.questions);
    ASSERT_EQ(mail.urls.size(), c.mailed ? 1 : 0);
    if (c.mailed) {
        const QUrlQuery query(mail.urls[0]);
        EXPECT_EQ(mail.urls[0].path(), QStringLiteral("support@aerovane.example.org"));
        EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                  QStringLiteral("Aerovanev2 Bug"));
        EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), QLatin1String(c.previousLog));
    }
    EXPECT_FALSE(QFile::exists(ProgramFile(QStringLiteral("logs/aerovane_last.log"))));
}

INSTANTIATE_TEST_SUITE_P(PreviousLogs, StartupPreviousLogTest,
                         testing::Values(PreviousLogCase{"CleanEnd", kCleanLog, PromptAnswer::Yes, 0, false},
                                         PreviousLogCase{"CrashedSent", kCrashedLog, PromptAnswer::Yes, 1, true},
                                         PreviousLogCase{"CrashedKept", kCrashedLog, PromptAnswer::No, 1, false},
                                         PreviousLogCase{"FirstRun", nullptr, PromptAnswer::Yes, 0, false}),
                         CaseName());

TEST_F(StartupTest, MailedLogIsTheEncodedTailOfALongCrashedLog)
{
    QString log;
    for (int i = 0; log.size() < 20000; ++i)
        log += QStringLiteral("07.12.26 10:%1:00 - (Main) Metar enter ICAO: EDDF&LOWW #%2 100%41 +5°C\n")
                   .arg(i % 60, 2, 10, QLatin1Char('0'))
                   .arg(i);
    WritePreviousLog(log);
    m_prompter.questionAnswer = PromptAnswer::Yes;
    UrlCatcher mail(QStringLiteral("mailto"));
    Start();
    ASSERT_EQ(mail.urls.size(), 1);
    const QUrlQuery query(mail.urls[0]);
    ASSERT_EQ(query.queryItems().size(), 2) << "'&' or '#' of the log cut the address";
    EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), log.right(8000));
}

struct AutoModeHintCase
{
    const char* name;
    bool hint;
    bool autoMode;
    bool ticked;
    bool asked;
    bool hintAfter;
};

class StartupAutoModeHintTest : public StartupTest, public testing::WithParamInterface<AutoModeHintCase>
{
};

TEST_P(StartupAutoModeHintTest, ShownInAutoModeUntilSwitchedOff)
{
    const AutoModeHintCase& c = GetParam();
    CSettings::SetInfoAutoMode(c.hint);
    CSettings::SetAutoMode(c.autoMode);
    m_prompter.tickCheckBox = c.ticked;
    Start();
    ASSERT_EQ(m_prompter.Titles().contains(QStringLiteral("Aerovane - Tips")), c.asked);
    if (c.asked) {
        const PromptRequest& hint = m_prompter.asked.back();
        EXPECT_EQ(hint.text,
                  QStringLiteral("If the Auto-Mode is active, then Aerovane must be closed before the "
                                 "flight simulator be terminated."));
        EXPECT_EQ(hint.iconPixmap, QStringLiteral(":/image/tip"));
        EXPECT_EQ(m_prompter.checkBoxes, QStringList{QStringLiteral("Don't show again.")});
    }
    EXPECT_EQ(CSettings::GetInfoAutoMode(), c.hintAfter);
}

INSTANTIATE_TEST_SUITE_P(Hints, StartupAutoModeHintTest,
                         testing::Values(AutoModeHintCase{"Ticked", true, true, true, true, false},
                                         AutoModeHintCase{"LeftClear", true, true, false, true, true},
                                         AutoModeHintCase{"NormalMode", true, false, true, false, true},
                                         AutoModeHintCase{"SwitchedOff", false, true, true, false, false}),
                         CaseName());

TEST(StartupHintBox, CheckBoxIsReportedAndDoesNotCloseTheBox)
{
    for (const bool tick : {true, false}) {
        QTimer::singleShot(50, [tick] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            ASSERT_NE(box->checkBox(), nullptr);
            EXPECT_EQ(box->checkBox()->text(), QStringLiteral("Don't show again."));
            if (tick)
                box->checkBox()->click();
            EXPECT_TRUE(box->isVisible());
            box->button(QMessageBox::Ok)->click();
        });
        const PromptResult result
            = Prompter().AskWithCheckBox({PromptKind::Information, QStringLiteral("Aerovane - Tips"),
                                          QStringLiteral("hint"), QStringLiteral(":/image/tip")},
                                         QStringLiteral("Don't show again."));
        EXPECT_EQ(result.checkBoxTicked, tick);
        EXPECT_EQ(result.answer, PromptAnswer::Ok);
    }
}

struct AutoStartCase
{
    const char* name;
    bool autoConnect;
    bool autoDownload;
};

class StartupAutoStartTest : public StartupTest, public testing::WithParamInterface<AutoStartCase>
{
};

TEST_P(StartupAutoStartTest, ConnectQueuedAndLiveWeatherDownloadedAsSet)
{
    const AutoStartCase& c = GetParam();
    PointLocationsAt(m_weatherServer.BaseUrl(), m_weatherServer.BaseUrl());
    CSettings::SetAutoConnectFS(c.autoConnect);
    CSettings::SetDownloadWX(c.autoDownload);
    Aerovane_Pro& window = Start();
    if (c.autoConnect) {
        // The bridge peer takes the connect.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000));
    } else {
        QTest::qWait(200);
        EXPECT_TRUE(window.ui.actionConnect_to_FS->isEnabled());
        EXPECT_EQ(window.ui.actionConnect_to_FS->text(), QStringLiteral("Connect to FS"));
    }
    EXPECT_EQ(FinishedJobs(0), c.autoConnect ? 1 : 0);
    EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), c.autoDownload ? 1 : 0);
    EXPECT_EQ(m_weatherServer.Requests().filter(QStringLiteral("/weather_vatsim.gz")).size(), c.autoDownload ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Settings, StartupAutoStartTest,
                         testing::Values(AutoStartCase{"ConnectAndDownload", true, true},
                                         AutoStartCase{"ConnectOnly", true, false},
                                         AutoStartCase{"Neither", false, false}),
                         CaseName());

TEST_F(StartupTest, TipsOfTheDocumentShownAtStartAndFromTheMenu)
{
    ServeInfo(InfoDocument(QStringLiteral("<tips><tip aerovanetype=\"1\">&lt;p&gt;Only tip&lt;/p&gt;</tip>"
                                          "<tip aerovanetype=\"3\">Not for this program</tip></tips>")));
    CSettings::SetShowTipDialog(true);
    TipDialogCloser closer;
    Aerovane_Pro& window = Start();
    EXPECT_EQ(closer.shown, QStringList{QStringLiteral("Only tip")});
    EXPECT_TRUE(CSettings::GetShowTipDialog());

    window.ui.actionShow_Tips->trigger();
    EXPECT_EQ(closer.shown, (QStringList{QStringLiteral("Only tip"), QStringLiteral("Only tip")}));
}

TEST_F(StartupTest, NoTipDialogWhenSwitchedOff)
{
    ServeInfo(InfoDocument(QStringLiteral("<tips><tip aerovanetype=\"1\">A tip</tip></tips>")));
    TipDialogCloser closer;
    Start();
    EXPECT_TRUE(closer.shown.isEmpty());
}

TEST_F(StartupTest, AboutBoxFromTheMenuShowsTheVersions)
{
    Aerovane_Pro& window = Start();
    QString title;
    QString clientLabel;
    QString serverLabel;
    QTimer::singleShot(50, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        clientLabel = box->findChild<QLabel*>(QStringLiteral("label_clientVersion"))->text();
        serverLabel = box->findChild<QLabel*>(QStringLiteral("label_WeatherServerVersion"))->text();
        box->close();
    });
    window.ui.actionAbout->trigger();
    EXPECT_EQ(title, QStringLiteral("Aerovane - About"));
    EXPECT_EQ(clientLabel, QStringLiteral("v") + kClientVersion);
    EXPECT_EQ(serverLabel, QStringLiteral("v2.1.0"));
}

#include "test_startup.moc"
