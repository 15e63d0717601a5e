// The window's start-up, a second after it was built: the weather server's information document (versions, news,
// tips), the previous run's log when that run did not end cleanly, the hints, then the optional connect and
// weather download. Every box, download and dialog runs a nested event loop in which the window may close; the
// sequence ends there when it did.
#include "app/aboutdlg.h"
#include "app/aerovane_pro.h"
#include "app/serverinfo.h"
#include "app/tipdlg.h"
#include "settings/productaddresses.h"

#include "generation/prompter.h"
#include "generation/wxdownloader.h"
#include "platform/maildraft.h"
#include "platform/programfolder.h"
#include "settings/settings.h"
#include "simlink/job.h"

#include <QDesktopServices>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace {

const QString kInfoPath = QStringLiteral("/aerovane_info.php");
const QString kCleanEndMark = QStringLiteral("(Main) Close");
// How much of a crashed run's log goes into the mail draft.
constexpr int kMailedLogCharacters = 8000;
// An unsupported version closes the window this long after the box was answered.
constexpr int kUnsupportedCloseDelayMs = 500;

// The previous run's log up to the line that marks a clean end, of which only the tail is kept: the end of a
// crashed run is where its fault shows, and a mail draft has no room for a whole log.
struct PreviousLog
{
    bool cleanEnd = false;
    QString tail;
};

PreviousLog ReadPreviousLog(QFile& file)
{
    PreviousLog log;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd()) {
        const QString line = in.readLine(kMailedLogCharacters);
        log.tail += line + QLatin1Char('\n');
        if (log.tail.size() > 2 * kMailedLogCharacters)
            log.tail.remove(0, log.tail.size() - kMailedLogCharacters);
        if (line.contains(kCleanEndMark)) {
            log.cleanEnd = true;
            break;
        }
    }
    if (log.tail.size() > kMailedLogCharacters)
        log.tail.remove(0, log.tail.size() - kMailedLogCharacters);
    // A cut between the two halves of a surrogate pair leaves half a character in front.
    if (!log.tail.isEmpty() && log.tail.at(0).isLowSurrogate())
        log.tail.remove(0, 1);
    return log;
}

// The mail draft to the developers with the log as its body.
QUrl BugReportMail(const QString& log)
{
    return platform::MailDraft(QLatin1String(ProductAddresses::kSupportMail), QStringLiteral("Aerovanev2 Bug"), log);
}

} // namespace

void Aerovane_Pro::OnStart()
{
    show();
    OnDebugString(QStringLiteral("(StartUp) Get info file"), 0);
    ShowSplashMessage(QStringLiteral("Get Info file"));
    QString document;
    const bool infoRead = DownloadServerInfo(document);
    if (closing)
        return;
    const ServerInfo info(document);
    if (infoRead) {
        OnDebugString(QStringLiteral("(StartUp) parse info file"), 0);
        OnDebugString(QStringLiteral("(StartUp) success"), 0);
        if (!ShowServerMessages(info))
            return;
    }

    emit sigUIUpdateProgress(0, QString());
    OnDebugString(QStringLiteral("Aerovane Pro v") + CSettings::GetClientVersion(), 0);
    ShowSplashMessage(QStringLiteral("start connectworker"));
    splash.finish(this);
    // The pages the user hid in the last run stay hidden.
    RestoreTabs();

    OfferPreviousLog();
    if (closing)
        return;
    ShowAutoModeHint();
    if (closing)
        return;
    tips = info.GetTips();
    if (CSettings::GetShowTipDialog()) {
        OnShowTipsDialog();
        if (closing)
            return;
    }

    // The form's style sheets address the connect button by this name.
    if (QWidget* button = ui.toolBar->widgetForAction(ui.actionConnect_to_FS))
        button->setObjectName(QStringLiteral("actionConnect_to_FS"));
    if (CSettings::GetAutoConnectFS()) {
        RequestConnect();
        ui.actionConnect_to_FS->setEnabled(false);
        ui.actionConnect_to_FS->setText(QStringLiteral("Auto Connect"));
    }
    ui.actionDownload_WX->setEnabled(true);
    if (CSettings::GetDownloadWX())
        OnDownloadWX();
}

bool Aerovane_Pro::DownloadServerInfo(QString& document)
{
    if (downloader->DownloadWithProgress(CSettings::GetServerUrl() + kInfoPath, &document,
                                         downloader->GetSmallDocumentDeadline())
        == 0)
        return true;
    if (closing)
        return false;
    const QString failure = QStringLiteral("(StartUp)Network info file error: %1");
    OnDebugString(failure.arg(downloader->GetLastErrorText()), 0);
    if (CSettings::GetServerLocation() == 0) {
        OnDebugString(
            QStringLiteral("(StartUp)Network info file failed from DE-Server. Switch location of server to US"), 0);
        CSettings::SetServerLocation(1);
    } else {
        OnDebugString(
            QStringLiteral("(StartUp)Network info file failed from US-Server. Switch location of server to DE"), 0);
        CSettings::SetServerLocation(0);
    }
    if (downloader->DownloadWithProgress(CSettings::GetServerUrl() + kInfoPath, &document,
                                         downloader->GetSmallDocumentDeadline())
        == 0)
        return true;
    if (closing)
        return false;
    // Neither location answered: the next start tries the usual one first again.
    OnDebugString(failure.arg(downloader->GetLastErrorText()), 0);
    CSettings::SetServerLocation(CSettings::GetServerLocation() == 0 ? 1 : 0);
    return false;
}

bool Aerovane_Pro::ShowServerMessages(const ServerInfo& info)
{
    const QString client = CSettings::GetClientVersion();
    const QString downloadPage = QLatin1String(ProductAddresses::kDownloadPage);
    if (!info.IsClientVersionSupported(client)) {
        Prompter().Ask({PromptKind::Critical,
                        QStringLiteral("Aerovane"),
                        QStringLiteral("This version is no longer supported.\n Visit ") + downloadPage
                            + QStringLiteral(" to download a newer version.\nMinimum Version: ")
                            + info.GetMinClientVersion(),
                        {}});
        QTimer::singleShot(kUnsupportedCloseDelayMs, this, [this] { close(); });
        if (closing)
            return false;
    }
    CSettings::SetWeatherServerVersion(info.GetWeatherServerVersion());
    if (info.IsUpdateAvailable(client)) {
        Prompter().Ask({PromptKind::Information,
                        QStringLiteral("Aerovane - Update"),
                        QStringLiteral("Update available.\nPlease download the new version from ") + downloadPage
                            + QStringLiteral(" \nNew Version: ") + info.GetUpdateVersion(),
                        {}});
        if (closing)
            return false;
    }
    if (ServerInfo::ClientVersionNumber(client) < info.GetNewsVersion()) {
        Prompter().Ask({PromptKind::Information, QStringLiteral("Aerovane - News"), info.GetNewsText(), {}});
        if (closing)
            return false;
    }
    return true;
}

void Aerovane_Pro::OfferPreviousLog()
{
    QFile file(platform::ProgramFolder() + QStringLiteral("/logs/aerovane_last.log"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const PreviousLog log = ReadPreviousLog(file);
    file.close();
    if (!log.cleanEnd) {
        const PromptAnswer answer = Prompter().Ask(
            {PromptKind::Question,
             QStringLiteral("Send Log file"),
             QStringLiteral("Aerovane was not terminated correctly or has crashed.\nWould you send the file to the "
                            "developers of Aerovane?"),
             {}});
        if (answer == PromptAnswer::Yes)
            QDesktopServices::openUrl(BugReportMail(log.tail));
    }
    // Each previous log is offered once.
    file.remove();
}

void Aerovane_Pro::ShowAutoModeHint()
{
    if (!CSettings::GetInfoAutoMode() || !CSettings::GetAutoMode())
        return;
    const PromptResult result = Prompter().AskWithCheckBox(
        {PromptKind::Information, QStringLiteral("Aerovane - Tips"),
         QStringLiteral(
             "If the Auto-Mode is active, then Aerovane must be closed before the flight simulator be terminated."),
         QStringLiteral(":/image/tip")},
        QStringLiteral("Don't show again."));
    if (result.checkBoxTicked)
        CSettings::SetInfoAutoMode(false);
}

void Aerovane_Pro::OnShowTipsDialog()
{
    TipDlg dialog(tips, this);
    dialog.exec();
}

void Aerovane_Pro::OnAbout()
{
    AboutDlg dialog(this);
    dialog.exec();
}
