#include "app/aerovane_pro.h"

#include "app/fileversioninfo.h"
#include "app/windowplacement.h"
#include "app/wxstatusbar.h"
#include "generation/weatherworker.h"
#include "generation/wxdownloader.h"
#include "loadeditor/tab_loadeditor.h"
#include "planner/tab_flightplanner.h"
#include "platform/debugoutput.h"
#include "platform/programfolder.h"
#include "recorder/tab_flightrecorder.h"
#include "settings/settings.h"
#include "simlink/connectworker.h"

#include <QCloseEvent>
#include <QDebug>
#include <QFont>
#include <QGuiApplication>
#include <QListWidget>
#include <QMutexLocker>
#include <QPixmap>
#include <QScreen>
#include <QSizePolicy>
#include <QTimer>

namespace {

// The parts of each screen a window may cover, the primary screen's first.
QList<QRect> AvailableScreenAreas()
{
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    }
    return areas;
}

} // namespace

Aerovane_Pro::Aerovane_Pro(QWidget* parent)
    : CMainWindowForm(parent)
    , splash(QPixmap(QStringLiteral(":/image/logo")), Qt::WindowStaysOnTopHint)
{
    logFile.Open(platform::ProgramFolder());
    WriteHeldSettingsNotes();
    // The client version keeps a trailing blank; version checks read up to it.
    FileVersionInfo version;
    version.Load(QString());
    CSettings::SetClientVersion(version.GetFileVersionText(true) + QLatin1Char(' '));
    version.Free();

    // A stored geometry the screens cannot show whole is moved and shrunk onto them.
    const QRect saved = windowplacement::FitIntoScreens(CSettings::GetMainGeometry(),
                                                        QSize(kDefaultWidth, kDefaultHeight), AvailableScreenAreas());
    splash.setWindowOpacity(0.8);
    splash.setGeometry(saved.left(), saved.top(), 500, 144);
    splash.show();
    QFont splashFont(QStringLiteral("Times"), 10);
    splashFont.setBold(true);
    splash.setFont(splashFont);
    ShowSplashMessage(QStringLiteral("Loading GUI"));

    ui.setupUi(this);
    ui.splitterMain->restoreState(CSettings::GetSplitterMain());
    ui.splitterBottom->restoreState(CSettings::GetSplitterBottom());
    ui.textEditDebug->document()->setMaximumBlockCount(kDebugPageLines);

    ConnectCommands();
    ConnectTabCommands();
    ConnectReports();
    ui.statusBar->ResetProgress(false);

    weatherWorker = std::make_shared<CWeatherWorker>(this);

    connectWorker = new CConnectWorker();
    connectWorker->moveToThread(connectWorker);
    ConnectWorkerSignals();

    downloader = new WXDownloader();
    connect(downloader, &WXDownloader::DownloadProgress, this,
            QOverload<qint64, qint64>::of(&Aerovane_Pro::OnUpdateProgress));
    ui.statusBar->ResetProgress(false);

    restoreState(CSettings::GetMainState(), 0);
    setGeometry(saved);
    ui.actionDownload_WX->setEnabled(false);
    ui.actionClear_WX->setEnabled(false);
    ui.action_Set_all_WX->setEnabled(false);
    ui.action_Set_ICAO_WX->setEnabled(false);

    ui.tab_LoadEditor->Init(this, connectWorker);
    ui.tab_flightplanner->Init(this, weatherWorker.get());
    ui.tab_recorder->SetUi(this);
    ui.tabWidgetMain->setCurrentIndex(0);

    // Pushes the aircraft selector to the right end of the tool bar.
    auto* spacer = new QWidget(ui.toolBar);
    spacer->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    ui.toolBar->addWidget(spacer);
    ui.toolBar->addSeparator();
    FillAircraftCombo();

    autoConnectTimer = new QTimer(this);
    autoConnectTimer->setSingleShot(true);
    autoConnectTimer->setInterval(kAutoConnectRetryMs);
    connect(autoConnectTimer, &QTimer::timeout, this, &Aerovane_Pro::OnAutoConnectRetry);

    // A window closed within its first second does not start up any more.
    QTimer::singleShot(1000, this, [this] {
        if (!closing)
            OnStart();
    });

    const bool stayOnTop = CSettings::GetStayOnTop();
    ui.actionViewStay_On_Top->setChecked(stayOnTop);
    setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
    ui.checkBox_record_autostart->setChecked(CSettings::GetFlightAutoStart());
    if (CSettings::GetFlightAutoStart())
        OnTabFlightRecorderStartStopRecord();
}

Aerovane_Pro::~Aerovane_Pro()
{
    // Without a close (a window that was never shown), the workers still have to go before the weather worker.
    if (weatherWorker)
        weatherWorker->StopTimers();
    if (connectWorker)
        connectWorker->Stop();
    ReleaseConnectWorker();
    if (endingConnectWorker) {
        endingConnectWorker->wait();
        endingConnectWorker.reset();
    }
    ReleaseDownloader();
    CSettings::Release();
}

void Aerovane_Pro::ConnectCommands()
{
    connect(ui.lineEditMetarICAO, &QLineEdit::returnPressed, this, &Aerovane_Pro::OnMetarEnter);
    connect(ui.listWidgetMetarRaw, &QListWidget::itemClicked, this, &Aerovane_Pro::OnListWidgetsMetarRawItemClicked);
    connect(ui.actionDownload_WX, &QAction::triggered, this, &Aerovane_Pro::OnDownloadWX);
    connect(ui.action_Set_all_WX, &QAction::triggered, this, &Aerovane_Pro::OnSetAllWX);
    connect(ui.action_Set_ICAO_WX, &QAction::triggered, this, &Aerovane_Pro::OnSetIcaoWX);
    connect(ui.actionRefresh_AI, &QAction::triggered, this, &Aerovane_Pro::OnRefreshAI);
    connect(ui.actionClear_WX, &QAction::triggered, this, &Aerovane_Pro::OnClearWX);
    connect(ui.actionConnect_to_FS, &QAction::triggered, this, &Aerovane_Pro::OnButtonConnect);
    connect(ui.actionAbout, &QAction::triggered, this, &Aerovane_Pro::OnAbout);
    connect(ui.actionShow_Tips, &QAction::triggered, this, &Aerovane_Pro::OnShowTipsDialog);
}

void Aerovane_Pro::ConnectReports()
{
    connect(this, &Aerovane_Pro::sigUIDebugString, this,
            QOverload<const QString&, int>::of(&Aerovane_Pro::OnDebugString));
    connect(this, &Aerovane_Pro::sigUIProgressTextUpdate, this,
            QOverload<const QString&>::of(&Aerovane_Pro::OnUpdateProgress));
    connect(this, &Aerovane_Pro::sigUIUpdateProgress, this,
            QOverload<int, const QString&>::of(&Aerovane_Pro::OnUpdateProgress));
    connect(this, &Aerovane_Pro::sigUIUpdateProgressBar, this,
            QOverload<qint64, qint64>::of(&Aerovane_Pro::OnUpdateProgress));
    connect(this, &Aerovane_Pro::sigUIUpdateProgressToolTip, this, &Aerovane_Pro::OnUpdateProgressToolTip);
    connect(this, &Aerovane_Pro::sigDisableButton, this, &Aerovane_Pro::OnDisableButton);
    connect(this, &Aerovane_Pro::sigUIUpdateLevelInfo, this, &Aerovane_Pro::OnUpdateLevelInfo);
    connect(this, &Aerovane_Pro::sigUIUpdateDwcInfo, this, &Aerovane_Pro::SetTableViewDirectWindControl);
}

void Aerovane_Pro::ConnectWorkerSignals()
{
    connect(connectWorker, &CConnectWorker::sigUIStatusText, this,
            QOverload<const QString&>::of(&Aerovane_Pro::SetStatusText), Qt::QueuedConnection);
    connect(connectWorker, &CConnectWorker::sigUIProgress, this,
            QOverload<int, const QString&>::of(&Aerovane_Pro::OnUpdateProgress), Qt::QueuedConnection);
    connect(connectWorker, QOverload<QString, int>::of(&CConnectWorker::sigUIDebugString), this,
            QOverload<const QString&, int>::of(&Aerovane_Pro::OnDebugString), Qt::QueuedConnection);
    connect(connectWorker, &CConnectWorker::sigThreadJobFinished, this, &Aerovane_Pro::OnThreadSignalJobFinished);
    connect(connectWorker, &CConnectWorker::sigThreadSignal, this, &Aerovane_Pro::OnThreadSignal, Qt::QueuedConnection);
}

void Aerovane_Pro::ShowSplashMessage(const QString& text)
{
    splash.showMessage(text, Qt::AlignBottom | Qt::AlignHCenter, Qt::black);
}

void Aerovane_Pro::OnDebugString(const QString& text, int target)
{
    QMutexLocker lock(&uiMutex);
    const QString line = CLogWriter::FormatLine(text);
    if (ui.tab_Debug->isEnabled() && (target == 0 || target == 1))
        ui.textEditDebug->append(line);
    if (target == 0 || target == 2) {
        WriteHeldSettingsNotes();
        logFile.WriteLine(line);
    }
    // The platform's debug output is the console here: each line once.
    platform::DebugOut(line.toStdWString() + L"\n");
}

void Aerovane_Pro::WriteHeldSettingsNotes()
{
    for (const QString& note : CSettings::TakeHeldNotes())
        logFile.WriteLine(CLogWriter::FormatLine(note));
}

void Aerovane_Pro::OnDebugString(const QString& text)
{
    OnDebugString(text, 0);
}

void Aerovane_Pro::OnUpdateProgress(const QString& text)
{
    QMutexLocker lock(&uiMutex);
    ui.statusBar->SetProgressText(text, QString());
}

void Aerovane_Pro::OnUpdateProgress(int value, const QString& text)
{
    QMutexLocker lock(&uiMutex);
    ui.statusBar->SetProgressRange(0, 100);
    ui.statusBar->SetProgressValue(value);
    ui.statusBar->SetProgressText(text, QString());
}

void Aerovane_Pro::OnUpdateProgress(qint64 value, qint64 total)
{
    QMutexLocker lock(&uiMutex);
    // (0, 0) marks the end of a download: the bar goes back to an idle 0 % instead of the busy indicator that an
    // empty range draws, which would animate for as long as nothing else is shown.
    if (value == 0 && total == 0) {
        ui.statusBar->SetProgressRange(0, 100);
        ui.statusBar->SetProgressValue(0);
        return;
    }
    ui.statusBar->SetProgressRange(0, total);
    ui.statusBar->SetProgressValue(value);
}

void Aerovane_Pro::OnUpdateProgressToolTip(const QString& text)
{
    ui.statusBar->SetProgressToolTip(text);
}

void Aerovane_Pro::SetStatusText(const QString& text, const QString& toolTip)
{
    QMutexLocker lock(&uiMutex);
    ui.statusBar->SetStatusText(text);
    ui.statusBar->SetStatusToolTip(toolTip);
}

void Aerovane_Pro::SetStatusText(const QString& text)
{
    SetStatusText(text, QString());
}

void Aerovane_Pro::closeEvent(QCloseEvent* event)
{
    if (!closing)
        BeginClose();
    // A transfer ends between two records, a bridge wait at once: the close is asked again shortly meanwhile.
    if (connectWorker && connectWorker->isRunning() && closeChecks++ < kCloseChecks) {
        event->ignore();
        QTimer::singleShot(kCloseCheckMs, this, &QWidget::close);
        return;
    }
    ReleaseConnectWorker();

    CSettings::SetMainState(saveState(0));
    CSettings::SetMainGeometry(geometry());
    CSettings::SetSplitterMain(ui.splitterMain->saveState());
    CSettings::SetSplitterBottom(ui.splitterBottom->saveState());

    ReleaseDownloader();
    event->accept();
}

void Aerovane_Pro::BeginClose()
{
    closing = true;
    weatherWorker->StopTimers();
    autoConnectTimer->stop();
    emit sigUIDebugString(QStringLiteral("(Main) Close"), 2);
    connected = false;
    if (connectWorker) {
        qDebug() << "try to stop ConnectWorker thread";
        connectWorker->Stop();
    }
}

void Aerovane_Pro::ReleaseConnectWorker()
{
    if (!connectWorker)
        return;
    std::unique_ptr<CConnectWorker> worker(connectWorker);
    connectWorker = nullptr;
    if (worker->isRunning()) {
        // Cutting a thread off in the middle of a job could leave its locks held; it ends alone and is waited for
        // when the window goes.
        qDebug() << "ConnectWorker thread does not stop yet, left to end";
        endingConnectWorker = std::move(worker);
        return;
    }
    qDebug() << "ConnectWorker thread is stopped";
}

void Aerovane_Pro::ReleaseDownloader()
{
    if (!downloader)
        return;
    WXDownloader* released = downloader;
    downloader = nullptr;
    released->AbortAll();
    if (released->IsBusy())
        retiredDownloader.reset(released);
    else
        delete released;
}
