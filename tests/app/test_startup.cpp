#include "app/aerovane_pro.h"
#include "app/tipdlg.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "generation/wxdownloader.h"
#include "scopedappfolders.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"
#include "tools/bridge-peer/bridgepeer.h"
#include "tools/wx-server/wxserver.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace {

// Answers each box at once, or holds it open for a while as a user reading it would.
class StartupPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        asked.push_back(request);
        titles << request.title;
        if (whileOpen.count(request.title))
            whileOpen[request.title]();
        return request.kind == PromptKind::Question ? questionAnswer : PromptAnswer::Ok;
    }
    PromptResult AskWithCheckBox(const PromptRequest& request, const QString& checkBoxText) override
    {
        checkBox = checkBoxText;
        return {Ask(request), tickCheckBox};
    }

    std::vector<PromptRequest> asked;
    QStringList titles;
    std::map<QString, std::function<void()>> whileOpen;
    PromptAnswer questionAnswer = PromptAnswer::No;
    bool tickCheckBox = false;
    QString checkBox;
};

// Catches the mail drafts handed to the desktop services.
class MailCatcher : public QObject
{
    Q_OBJECT

public:
    MailCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "Open"); }
    ~MailCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }
    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }
};

// Closes the tip dialogs that open (after holding each open for a while) and keeps the tip each showed first.
class TipDialogCloser
{
public:
    explicit TipDialogCloser(int holdMs = 0)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, holdMs] {
            auto* dialog = qobject_cast<TipDlg*>(QApplication::activeModalWidget());
            if (!dialog || dialog->property("seen").toBool())
                return;
            dialog->setProperty("seen", true);
            shown << dialog->findChild<QTextBrowser*>()->toPlainText();
            QTimer::singleShot(holdMs, dialog, &QDialog::reject);
        });
        m_timer.start(20);
    }
    QStringList shown;

private:
    QTimer m_timer;
};

// One program start: fresh folders and settings, the boxes answered by a prompter, the window as `main` builds
// it, run until its start-up sequence ended or the window closed. Connect and download are off unless set.
struct StartupRun
{
    explicit StartupRun(quint16 peerPort)
    {
        CSettings::SetInterfaceType(4);
        CSettings::SetServerPort(QString::number(peerPort));
        CSettings::SetAutoConnectFS(false);
        CSettings::SetDownloadWX(false);
        CSettings::SetShowTipDialog(false);
    }

    void WritePreviousLog(const QString& text) const
    {
        QDir().mkpath(folders.ProgramFile(QStringLiteral("logs")));
        QFile file(folders.ProgramFile(QStringLiteral("logs/aerovane.log")));
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8());
    }
    QString Log() const
    {
        QFile file(folders.ProgramFile(QStringLiteral("logs/aerovane.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    bool Closed() const { return Log().contains(QStringLiteral("(Main) Close")); }

    Aerovane_Pro& Start()
    {
        window = std::make_unique<Aerovane_Pro>();
        CSettings::SetClientVersion(QStringLiteral("1.42.17 "));
        jobs = std::make_unique<QSignalSpy>(window->GetConnectWorker(), &CConnectWorker::sigThreadJobFinished);
        EXPECT_TRUE(QTest::qWaitFor([this] { return Closed() || window->ui.actionDownload_WX->isEnabled(); }, 60000))
            << "the start-up sequence ended or the window closed";
        return *window;
    }
    int ConnectJobs() const
    {
        return int(std::count_if(jobs->begin(), jobs->end(),
                                 [](const QList<QVariant>& job) { return job.at(0).toInt() == JobConnect; }));
    }

    ScopedAppFolders folders;
    StartupPrompter prompter;
    ScopedPrompter usePrompter{prompter};
    std::unique_ptr<Aerovane_Pro> window;
    std::unique_ptr<QSignalSpy> jobs;
};

QString InfoDocument(const QString& body)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<aerovane><weatherserverversion>2.1.0</weatherserverversion>%1"
                          "</aerovane>\n")
        .arg(body);
}

// The weather server locations point at a loopback server that serves the test's information document; the
// demo weather server and a bridge peer stand by for the connect and download.
class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_weatherServer.Listen() && m_infoServer.Listen() && m_peer.Start());
        QApplication::setQuitOnLastWindowClosed(false);
        PointLocationsAt(m_infoServer.BaseUrl(), m_infoServer.BaseUrl());
        ServeInfo(QString());
    }
    void TearDown() override
    {
        m_peer.Stop();
        QApplication::setQuitOnLastWindowClosed(true);
    }

    void PointLocationsAt(const QString& de, const QString& us)
    {
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = de;
        addresses.serverUrlUS = us;
        m_locations.reset();
        m_locations = std::make_unique<ScopedServerAddresses>(addresses);
    }
    void ServeInfo(const QString& body)
    {
        QFile file(QDir(m_infoDir.path()).filePath(QStringLiteral("aerovane_info.xml")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(InfoDocument(body).toUtf8());
    }
    static QString ClosedBase()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    }

    tools::WxServer m_weatherServer{QStringLiteral(AEROVANE_WXSERVER_DATA)};
    QTemporaryDir m_infoDir;
    tools::WxServer m_infoServer{m_infoDir.path()};
    tools::CBridgePeer m_peer;
    std::unique_ptr<ScopedServerAddresses> m_locations;
};

} // namespace

TEST_F(StartupTest, InfoDocumentFromTheOtherLocationWhenOneIsClosed)
{
    ServeInfo(QStringLiteral("<news version=\"1.42.18\">Served</news>"));
    struct Case
    {
        bool deOpen;
        bool usOpen;
        int location;
        int locationAfter;
    };
    for (const Case c : {Case{false, true, 0, 1}, Case{true, false, 1, 0}, Case{false, false, 0, 0}}) {
        const QString closed = ClosedBase();
        PointLocationsAt(c.deOpen ? m_infoServer.BaseUrl() : closed, c.usOpen ? m_infoServer.BaseUrl() : closed);
        StartupRun run(m_peer.GetPort());
        CSettings::SetServerLocation(c.location);
        CSettings::SetAutoConnectFS(true);
        Aerovane_Pro& window = run.Start();
        const bool served = c.deOpen || c.usOpen;
        EXPECT_EQ(CSettings::GetServerLocation(), c.locationAfter);
        EXPECT_EQ(run.Log().count(QStringLiteral("(StartUp)Network info file error: connection refused\n")),
                  served ? 1 : 2);
        EXPECT_EQ(run.prompter.titles, served ? QStringList{"Aerovane - News"} : QStringList{});
        // The sequence goes on without a document as with one.
        EXPECT_FALSE(window.ui.actionConnect_to_FS->isEnabled());
        EXPECT_TRUE(window.ui.actionDownload_WX->isEnabled());
    }
}

// A stalled information document holds the link back only for its short deadline at each location, not for the
// downloader's deadline of two minutes; the notes about replaced settings, said before the log opened, reach it.
TEST_F(StartupTest, AStalledInfoDocumentDelaysTheConnectOnlyByItsDeadline)
{
    m_infoServer.SetFailure(QStringLiteral("/aerovane_info.php"), tools::WxServer::Failure::Stall);
    StartupRun run(m_peer.GetPort());
    CSettings::SetAutoConnectFS(true);
    CSettings::Instance()->setValue(QStringLiteral("weather/weatherradius"), 5000);
    EXPECT_EQ(CSettings::GetWeatherRadius(), 200);
    run.window = std::make_unique<Aerovane_Pro>();
    run.window->GetDownloader()->SetSmallDocumentDeadline(400);
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.window->IsConnected(); }, 30000))
        << "connected after the information document's short deadline";
    EXPECT_EQ(run.Log().count(QStringLiteral("(StartUp)Network info file error: timed out\n")), 2);
    EXPECT_TRUE(run.Log().contains(
        QStringLiteral("(Settings) weather/weatherradius=5000 is not a sensible value, 200 is used instead")));
}

TEST_F(StartupTest, VersionBoxesOnlyWhenDue)
{
    const QString download = QStringLiteral("https://aerovane.example.org/download");
    const struct
    {
        QString body;
        QString title;
        QString text;
    } cases[] = {
        {"<minclientversion>1.42.18</minclientversion>", "Aerovane",
         "This version is no longer supported.\n Visit " + download
             + " to download a newer version.\nMinimum Version: 1.42.18"},
        {"<updateservers><url version=\"1.42.18\">https://aerovane.example.org/</url></updateservers>",
         "Aerovane - Update",
         "Update available.\nPlease download the new version from " + download + " \nNew Version: 1.42.18"},
        {"<news version=\"1.42.18\">Hello</news>", "Aerovane - News", "Hello"},
        {"<news version=\"3\">Old</news><minclientversion>2.1</minclientversion><updateservers><url version="
         "\"1.42.17\">x</url></updateservers>",
         {},
         {}},
    };
    for (const auto& c : cases) {
        ServeInfo(c.body);
        StartupRun run(m_peer.GetPort());
        Aerovane_Pro& window = run.Start();
        EXPECT_EQ(run.prompter.titles, c.title.isEmpty() ? QStringList() : QStringList{c.title});
        if (!c.title.isEmpty()) {
            EXPECT_EQ(run.prompter.asked[0].text, c.text);
        }
        EXPECT_EQ(CSettings::GetWeatherServerVersion(), QStringLiteral("2.1.0"));
        if (c.title == QLatin1String("Aerovane")) {
            EXPECT_EQ(run.prompter.asked[0].kind, PromptKind::Critical);
            EXPECT_FALSE(run.Closed()) << "the window closes half a second after the box";
            EXPECT_TRUE(QTest::qWaitFor([&] { return run.Closed(); }, 10000)) << "the window closed";
            EXPECT_FALSE(window.isVisible());
        }
    }
}

TEST_F(StartupTest, CloseWhileALaterBoxOrTheTipDialogIsOpenEndsTheSequence)
{
    // Every box and the tip dialog is due; the one named is held open until the scheduled close came (the tip
    // dialog for longer than the close's delay: the close comes first however late the timers fire).
    ServeInfo("<minclientversion>1.42.18</minclientversion><updateservers><url version=\"1.42.19\">x</url>"
              "</updateservers><news version=\"1.42.19\">Hello</news><tips><tip aerovanetype=\"1\">A tip</tip></tips>");
    for (const QString held : {"Aerovane - Update", "Aerovane - News", "Send Log file", "Aerovane - Tips", "tips"}) {
        SCOPED_TRACE(held.toStdString());
        StartupRun run(m_peer.GetPort());
        run.WritePreviousLog(QStringLiteral("07.12.26 10:49:27 - (StartUp) Get info file\n"));
        CSettings::SetShowTipDialog(true);
        CSettings::SetInfoAutoMode(true);
        CSettings::SetAutoMode(true);
        CSettings::SetAutoConnectFS(true);
        CSettings::SetDownloadWX(true);
        run.prompter.whileOpen[held]
            = [&run] { EXPECT_TRUE(QTest::qWaitFor([&run] { return run.Closed(); }, 10000)) << "the close came"; };
        TipDialogCloser closer(held == QLatin1String("tips") ? 800 : 0);
        Aerovane_Pro& window = run.Start();
        EXPECT_TRUE(run.Closed());
        EXPECT_EQ(run.prompter.titles.last(), held == QLatin1String("tips") ? "Aerovane - Tips" : held);
        EXPECT_EQ(closer.shown.size(), held == QLatin1String("tips") ? 1 : 0);
        EXPECT_NE(window.ui.actionConnect_to_FS->text(), QStringLiteral("Auto Connect"));
        EXPECT_EQ(run.ConnectJobs(), 0);
        EXPECT_TRUE(m_infoServer.Requests().filter(QStringLiteral("weather_vatsim")).isEmpty());
    }
}

TEST_F(StartupTest, PreviousLogWithoutACleanEndIsOfferedOnceAndRemoved)
{
    QString crashed;
    for (int i = 0; crashed.size() < 20000; ++i)
        crashed += QStringLiteral("07.12.26 10:%1:00 - (Main) Metar enter ICAO: EDDF&LOWW #%2 100%41 +5°C\n")
                       .arg(i % 60, 2, 10, QLatin1Char('0'))
                       .arg(i);
    const QString clean = QStringLiteral("07.12.26 10:49:27 - Aerovane Pro v1.42.17 \n07.12.26 11:20:01 - (Main) "
                                         "Close\n07.12.26 11:20:02 - after the close\n");
    const struct
    {
        QString previousLog; // empty: none
        PromptAnswer answer;
        bool asked;
        bool mailed;
    } cases[] = {{clean, PromptAnswer::Yes, false, false},
                 {crashed, PromptAnswer::Yes, true, true},
                 {crashed, PromptAnswer::No, true, false},
                 {{}, PromptAnswer::Yes, false, false}};
    for (const auto& c : cases) {
        StartupRun run(m_peer.GetPort());
        if (!c.previousLog.isEmpty())
            run.WritePreviousLog(c.previousLog);
        run.prompter.questionAnswer = c.answer;
        MailCatcher mail;
        run.Start();
        EXPECT_EQ(run.prompter.titles.count(QStringLiteral("Send Log file")), c.asked ? 1 : 0);
        ASSERT_EQ(mail.urls.size(), c.mailed ? 1 : 0);
        if (c.mailed) {
            const QUrlQuery query(mail.urls[0]);
            EXPECT_EQ(mail.urls[0].path(), QStringLiteral("support@aerovane.example.org"));
            ASSERT_EQ(query.queryItems().size(), 2) << "'&' or '#' of the log cut the address";
            EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                      QStringLiteral("Aerovanev2 Bug"));
            EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), crashed.right(8000));
        }
        EXPECT_FALSE(QFile::exists(run.folders.ProgramFile(QStringLiteral("logs/aerovane_last.log"))));
    }
}

TEST_F(StartupTest, AutoModeHintUntilSwitchedOff)
{
    // hint setting, auto mode, ticked: asked, hint setting after
    const bool cases[][5] = {{true, true, true, true, false},
                             {true, true, false, true, true},
                             {true, false, true, false, true},
                             {false, true, true, false, false}};
    for (const auto& c : cases) {
        StartupRun run(m_peer.GetPort());
        CSettings::SetInfoAutoMode(c[0]);
        CSettings::SetAutoMode(c[1]);
        run.prompter.tickCheckBox = c[2];
        run.Start();
        EXPECT_EQ(run.prompter.titles.contains(QStringLiteral("Aerovane - Tips")), c[3]);
        EXPECT_EQ(run.prompter.checkBox, c[3] ? QStringLiteral("Don't show again.") : QString());
        EXPECT_EQ(CSettings::GetInfoAutoMode(), c[4]);
    }
}

TEST_F(StartupTest, AutoConnectQueuesTheConnectAndAutoDownloadLoadsLiveWeather)
{
    PointLocationsAt(m_weatherServer.BaseUrl(), m_weatherServer.BaseUrl());
    for (const bool on : {true, false}) {
        StartupRun run(m_peer.GetPort());
        CSettings::SetAutoConnectFS(on);
        CSettings::SetDownloadWX(on);
        m_weatherServer.ClearRequests();
        Aerovane_Pro& window = run.Start();
        EXPECT_EQ(QTest::qWaitFor([&] { return window.IsConnected(); }, on ? 10000 : 300), on) << "connected";
        EXPECT_EQ(run.ConnectJobs(), on ? 1 : 0);
        EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), on ? 1 : 0);
        EXPECT_EQ(m_weatherServer.Requests().filter(QStringLiteral("/weather_vatsim.gz")).size(), on ? 1 : 0);
    }
}

TEST_F(StartupTest, TipsAtStartAndFromTheHelpMenu)
{
    ServeInfo(QStringLiteral("<tips><tip aerovanetype=\"1\">&lt;p&gt;Only tip&lt;/p&gt;</tip>"
                             "<tip aerovanetype=\"3\">Not for this program</tip></tips>"));
    for (const bool atStart : {false, true}) {
        StartupRun run(m_peer.GetPort());
        CSettings::SetShowTipDialog(atStart);
        TipDialogCloser closer;
        Aerovane_Pro& window = run.Start();
        EXPECT_EQ(closer.shown, atStart ? QStringList{"Only tip"} : QStringList{});
        window.ui.actionShow_Tips->trigger();
        EXPECT_EQ(closer.shown.last(), QStringLiteral("Only tip"));
    }
}

#include "test_startup.moc"
