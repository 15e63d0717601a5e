#include "dialogs/dlgconfigurator.h"

#include "generation/prompter.h"
#include "platform/debugoutput.h"
#include "platform/installpaths.h"
#include "settings/settings.h"
#include "simlink/fsuipclink.h"
#include "simlink/ovyxclient.h"
#include "simlink/simconnectlink.h"

#include <QDir>
#include <QTimer>

namespace {

const QString kP3Dv2Key = QStringLiteral("Lockheed Martin/Prepar3D v2/AppPath");
const QString kP3Dv3Key = QStringLiteral("Lockheed Martin/Prepar3D v3/AppPath");
const QString kFSXKey = QStringLiteral("Microsoft/Microsoft Games/Flight Simulator/10.0/AppPath");
const QString kTestConnection = QStringLiteral("Test Connection");
const QString kAutoConnectRefusal = QStringLiteral("Disable Test Connection... because Auto-Connection is enabled");
constexpr int kConnectionCheckIntervalMs = 1000;

QString Slashed(QString path)
{
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// The simulator the bridge reports, by its type code.
QString BridgeSimulatorName(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("FS2002");
    case 2:
        return QStringLiteral("FS2004");
    case 3:
        return QStringLiteral("FSX");
    case 4:
        return QStringLiteral("Prepar3D");
    case 9:
        return QStringLiteral("XPlane 9");
    case 10:
        return QStringLiteral("XPlane 10");
    default:
        return QStringLiteral("no detected");
    }
}

} // namespace

DlgConfigurator::DlgConfigurator(QWidget* parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    connect(ui.buttonBox, &QDialogButtonBox::clicked, this, &DlgConfigurator::OnOk);
    connect(ui.pushButton_next, &QPushButton::clicked, this, &DlgConfigurator::NextPage);
    connect(ui.pushButton_back, &QPushButton::clicked, this, &DlgConfigurator::BackPage);
    connect(ui.stackedWidget, &QStackedWidget::currentChanged, this, &DlgConfigurator::StackedPageChanged);
    connect(ui.pushButton_testConnection, &QPushButton::clicked, this, &DlgConfigurator::OnCheckConnection);
    for (QToolButton* chooser :
         {ui.toolButton_path_fs9fsxp3d, ui.toolButton_path_xplane, ui.toolButton_path_fp_fs9fsxp3d,
          ui.toolButton_path_fp_airbusx, ui.toolButton_path_fp_xplane_fms})
        connect(chooser, &QToolButton::clicked, this, &DlgConfigurator::OnShowFolderDlg);
    connect(ui.radioButton_client, &QRadioButton::toggled, ui.lineEdit_ServerIP, &QLineEdit::setEnabled);
    connect(ui.radioButton_client, &QRadioButton::toggled, ui.lineEdit_ServerPort, &QLineEdit::setEnabled);

    ui.stackedWidget->setCurrentIndex(0);
    ui.pushButton_back->setEnabled(false);
    ui.pushButton_next->setEnabled(ui.stackedWidget->count() >= 2);

    m_registry = platform::OpenInstallPaths();

    ui.lineEdit_folder_fs9fsxp3d->setText(CSettings::GetPathToFS());
    ui.lineEdit_folder_xplane->setText(CSettings::GetPathToXPlane());
    ui.lineEdit_export_fp_older_fs9fsxp3d->setText(CSettings::GetExportFPFSXFolder());
    ui.lineEdit_export_fp_folder_airbus->setText(CSettings::GetExportFPAirbusXFolder());
    ui.lineEdit_export_fp_folder_xplane->setText(CSettings::GetExportFPXPlaneFolder());

    InitPage();
}

DlgConfigurator::~DlgConfigurator() = default;

int DlgConfigurator::ChosenInterface() const
{
    if (ui.radioButton_fsuipc->isChecked())
        return 1;
    if (ui.radioButton_Simconnect->isChecked())
        return 2;
    if (ui.radioButton_FSUIPC_Simconnect->isChecked())
        return 3;
    if (ui.radioButton_client->isChecked())
        return 4;
    return 0;
}

void DlgConfigurator::OnOk(QAbstractButton* button)
{
    if (ui.buttonBox->buttonRole(button) != QDialogButtonBox::AcceptRole) {
        reject();
        return;
    }
    CSettings::SetInterfaceType(ChosenInterface());
    if (!ui.lineEdit_folder_fs9fsxp3d->text().isEmpty())
        CSettings::SetPathToFS(ui.lineEdit_folder_fs9fsxp3d->text());
    if (!ui.lineEdit_folder_xplane->text().isEmpty())
        CSettings::SetPathToXPlane(ui.lineEdit_folder_xplane->text());
    if (!ui.lineEdit_export_fp_older_fs9fsxp3d->text().isEmpty()) {
        CSettings::SetExportFPFSXFolder(ui.lineEdit_export_fp_older_fs9fsxp3d->text());
        CSettings::SetExportFPFSX(true);
    }
    if (!ui.lineEdit_export_fp_folder_airbus->text().isEmpty()) {
        CSettings::SetExportFPAirbusXFolder(ui.lineEdit_export_fp_folder_airbus->text());
        CSettings::SetExportFPAirbusX(true);
    }
    if (!ui.lineEdit_export_fp_folder_xplane->text().isEmpty()) {
        CSettings::SetExportFPXPlaneFolder(ui.lineEdit_export_fp_folder_xplane->text());
        CSettings::SetExportFPXPlane(true);
    }
    accept();
}

void DlgConfigurator::NextPage()
{
    const int index = ui.stackedWidget->currentIndex();
    if (index + 1 < ui.stackedWidget->count()) {
        ui.stackedWidget->setCurrentIndex(index + 1);
        InitPage();
    }
}

void DlgConfigurator::BackPage()
{
    const int index = ui.stackedWidget->currentIndex();
    if (index > 0) {
        ui.stackedWidget->setCurrentIndex(index - 1);
        InitPage();
    }
}

void DlgConfigurator::StackedPageChanged(int index)
{
    ui.pushButton_back->setEnabled(index != 0);
    ui.pushButton_next->setEnabled(index < ui.stackedWidget->count() - 1);
}

void DlgConfigurator::InitPage()
{
    const QString p3dV2 = Slashed(m_registry->Path(kP3Dv2Key));
    const QString p3dV3 = Slashed(m_registry->Path(kP3Dv3Key));
    const QString fsx = Slashed(m_registry->Path(kFSXKey));
    const QString page = ui.stackedWidget->currentWidget()->objectName();

    if (page == QLatin1String("page_usefs")) {
        for (const auto& [name, path] : {std::pair(QStringLiteral("P3Dv3"), p3dV3),
                                         {QStringLiteral("P3Dv2"), p3dV2},
                                         {QStringLiteral("FSX"), fsx}})
            AddDebugText(QStringLiteral("Auto detected Path %1: %2")
                             .arg(name, path.isEmpty() ? QStringLiteral("not found") : path));
        platform::DebugOut("Page: useFS\n");
        if (!p3dV2.isEmpty()) {
            AddDebugText(QStringLiteral("Selected Flight Sim Prepar3D"));
            ui.radioButton_P3D->setChecked(true);
            ui.radioButton_FSUIPC_Simconnect->setChecked(true);
            AddDebugText(QStringLiteral("Selected Interface FSUIPC & SimConnect"));
        }
    } else if (page == QLatin1String("page_interface")) {
        if (CSettings::GetAutoConnectFS()) {
            ui.pushButton_testConnection->setEnabled(false);
            ui.pushButton_testConnection->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
            AddDebugText(kAutoConnectRefusal);
            AddDebugText(QStringLiteral("Disable Auto-Connection, restart Aerovane and try again"));
        }
        if (ui.radioButton_xplane->isChecked())
            ui.radioButton_client->setChecked(true);
    } else if (page == QLatin1String("page_paths")) {
        const QString documents = Slashed(m_registry->Path(platform::kDocumentsKey));
        if (!p3dV3.isEmpty())
            ui.lineEdit_folder_fs9fsxp3d->setText(p3dV3);
        else if (!p3dV2.isEmpty())
            ui.lineEdit_folder_fs9fsxp3d->setText(p3dV2);
        else if (!fsx.isEmpty())
            ui.lineEdit_folder_fs9fsxp3d->setText(fsx);
        if (!m_fsFlightPlanFolder.isEmpty())
            ui.lineEdit_export_fp_older_fs9fsxp3d->setText(m_fsFlightPlanFolder);
        if (!documents.isEmpty())
            ui.lineEdit_export_fp_folder_airbus->setText(documents + QStringLiteral("/Aerosoft/Airbus/FlightPlans"));
        if (!ui.lineEdit_folder_xplane->text().isEmpty())
            ui.lineEdit_export_fp_folder_xplane->setText(ui.lineEdit_folder_xplane->text()
                                                         + QStringLiteral("/Output/FMS plans"));
    }
}

void DlgConfigurator::AddDebugText(const QString& text)
{
    platform::DebugOut((text + QLatin1Char('\n')).toStdString());
    ui.textEdit_debug->append(text);
}

void DlgConfigurator::OnCheckConnection()
{
    if (m_connectionTimer) {
        StopConnectionCheck();
        return;
    }
    if (CSettings::GetAutoConnectFS()) {
        AddDebugText(kAutoConnectRefusal);
        return;
    }
    m_connectionTimer = new QTimer(this);
    connect(m_connectionTimer, &QTimer::timeout, this, &DlgConfigurator::OnTimerConnectionCheck);
    m_connectionTimer->start(kConnectionCheckIntervalMs);
    ui.pushButton_testConnection->setText(QStringLiteral("Abort Check Connection"));
}

void DlgConfigurator::StopConnectionCheck()
{
    // The timer may be the one whose tick is running: it goes once the tick has returned.
    m_connectionTimer->stop();
    m_connectionTimer->deleteLater();
    m_connectionTimer = nullptr;
    ui.pushButton_testConnection->setText(kTestConnection);
}

void DlgConfigurator::OnTimerConnectionCheck()
{
    const int chosen = ChosenInterface();
    if (chosen == 4) {
        if (CheckBridge())
            StopConnectionCheck();
        return;
    }
    if (chosen != 2 && !CheckFSUIPC())
        return;
    if (chosen == 0 || chosen == 1) {
        StopConnectionCheck();
        return;
    }
    if (CheckSimConnect())
        StopConnectionCheck();
}

bool DlgConfigurator::CheckFSUIPC()
{
    aviation::IPC::CFSUIPCLink link;
    if (!link.Open()) {
        AddDebugText(QStringLiteral("FSUIPC not connected"));
        return false;
    }
    AddDebugText(QStringLiteral("FSUIPC connected"));
    std::wstring simulator;
    std::wstring version;
    link.DetectVersions(simulator, version);
    std::wstring folder;
    link.ReadFlightPlanFolder(folder);
    if (!folder.empty())
        m_fsFlightPlanFolder = Slashed(QString::fromStdWString(folder));
    link.Close();
    AddDebugText(QStringLiteral("FS-Version: ") + QString::fromStdWString(simulator));
    AddDebugText(QStringLiteral("FSUIPC-Version: ") + QString::fromStdWString(version));
    return true;
}

bool DlgConfigurator::CheckSimConnect()
{
    aviation::IPC::CSimConnectLink link;
    if (!link.Open()) {
        AddDebugText(QStringLiteral("SimConnect not connected"));
        return false;
    }
    const QString version = QString::fromStdWString(link.GetSimConnectVersion());
    link.Close();
    AddDebugText(QStringLiteral("SimConnect connected"));
    AddDebugText(QStringLiteral("SimConnect-Version: ") + version);
    return true;
}

bool DlgConfigurator::CheckBridge()
{
    COvyxClient client;
    if (!client.Connect(ui.lineEdit_ServerIP->text(), ui.lineEdit_ServerPort->text().toUShort(nullptr, 10)))
        return false;
    int simulator = 0;
    int weatherKind = 0;
    client.SendClientVersion(simulator, weatherKind);
    client.Logout();
    AddDebugText(QStringLiteral("Connected to Aerovane Bridge/Nimbolux"));
    AddDebugText(QStringLiteral("FS Type: ") + BridgeSimulatorName(simulator));
    return true;
}

void DlgConfigurator::OnShowFolderDlg()
{
    struct Chooser
    {
        QToolButton* button;
        QString caption;
        QLineEdit* field;
    };
    const Chooser choosers[] = {
        {ui.toolButton_path_fs9fsxp3d, QStringLiteral("Path FS9/FSX/P3D"), ui.lineEdit_folder_fs9fsxp3d},
        {ui.toolButton_path_xplane, QStringLiteral("Path XPlane"), ui.lineEdit_folder_xplane},
        {ui.toolButton_path_fp_fs9fsxp3d, QStringLiteral("Path Flight Plan FS9/FSX/P3D"),
         ui.lineEdit_export_fp_older_fs9fsxp3d},
        {ui.toolButton_path_fp_airbusx, QStringLiteral("Path Flight Plan Airbus X"),
         ui.lineEdit_export_fp_folder_airbus},
        {ui.toolButton_path_fp_xplane_fms, QStringLiteral("Path Flight Plan XPlane"),
         ui.lineEdit_export_fp_folder_xplane},
    };
    for (const Chooser& chooser : choosers) {
        if (chooser.button != sender())
            continue;
        const QString chosen
            = Prompter().Choose({ChooserKind::Folder, chooser.caption, chooser.field->text(), QString()});
        if (chosen.isEmpty())
            return;
        const QString folder = QDir(chosen).absolutePath();
        chooser.field->setText(folder);
        platform::DebugOut((folder + QLatin1Char('\n')).toStdString());
        if (chooser.field == ui.lineEdit_folder_xplane && ui.lineEdit_export_fp_folder_xplane->text().isEmpty())
            ui.lineEdit_export_fp_folder_xplane->setText(folder + QStringLiteral("/Output/FMS plans"));
        return;
    }
}
