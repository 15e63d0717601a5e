// The window's start-up, a second after it was built: the splash gives way to the window, the simulator is
// connected and the weather downloaded when the settings ask for it.
#include "app/aerovane_pro.h"

#include "settings/settings.h"
#include "simlink/job.h"

#include <QToolBar>

void Aerovane_Pro::OnStart()
{
    show();
    emit sigUIUpdateProgress(0, QString());
    OnDebugString(QStringLiteral("Aerovane Pro v") + CSettings::GetClientVersion(), 0);
    ShowSplashMessage(QStringLiteral("start connectworker"));
    splash.finish(this);

    // The form's style sheets address the connect button by this name.
    if (QWidget* button = ui.toolBar->widgetForAction(ui.actionConnect_to_FS))
        button->setObjectName(QStringLiteral("actionConnect_to_FS"));
    if (CSettings::GetAutoConnectFS()) {
        AddJob(JobConnect, QString());
        ui.actionConnect_to_FS->setEnabled(false);
        ui.actionConnect_to_FS->setText(QStringLiteral("Auto Connect"));
    }
    ui.actionDownload_WX->setEnabled(true);
    if (CSettings::GetDownloadWX())
        OnDownloadWX();
}
