#include "dialogs/dialogoption.h"

#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "platform/debugoutput.h"
#include "platform/processrunner.h"
#include "platform/programfolder.h"
#include "recorder/recorderlogin.h"
#include "settings/settings.h"
#include "settings/soundsetting.h"
#include "weather/weathermanager.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QUrl>

namespace {

const QString kTitle = QStringLiteral("Aerovane - Options");
// The model file covers an area of the slider's value times 16 kilometres.
constexpr double kModelSizeKm = 16.0;
constexpr double kKmPerNm = 1.852;
constexpr int kLargestModelSize = 64;
// The ping sends one echo request and waits at most two seconds for it; the process gets a little longer.
constexpr int kPingProcessTimeoutMs = 5000;

void Debug(const QString& text)
{
    platform::DebugOut(text.toStdString());
}

} // namespace

DialogOption::DialogOption(QWidget* parent)
    : QDialog(parent)
    , m_parent(parent)
    , m_loginTimeoutMs(recorder::kLoginTimeoutMs)
{
    ui.setupUi(this);
    LoadSettings();
    ui.labelWeatherUpdateInterval->setText(QString::number(ui.horizontalSliderWeatherUpdateInterval->value()));

    connect(ui.comboBox_FSInterface, &QComboBox::currentTextChanged, this, &DialogOption::OnComboBoxInterfaceChanged);
    connect(ui.toolButton_OpenDirectoryDialog, &QToolButton::clicked, this, &DialogOption::OnShowFolderDlgMetarExport);
    connect(ui.toolButton_openFolder_PMDG777, &QToolButton::clicked, this,
            &DialogOption::OnShowFolderDlgPMDG777WxExport);
    for (QToolButton* button : {ui.toolButton_OpenFolder_ExportFPFSX, ui.toolButton_OpenFolder_ExportAirbusX,
                                ui.toolButton_OpenFolder_ExportFPXplane, ui.toolButton_OpenFolder_ExportFPSquawkbox})
        connect(button, &QToolButton::clicked, this, &DialogOption::OnShowFolderDlg);
    connect(ui.toolButton_openFolder_FS, &QToolButton::clicked, this, &DialogOption::OnToolButton_PathToFS_FileDlg);
    connect(ui.toolButton_openFolder_XPlane, &QToolButton::clicked, this,
            &DialogOption::OnToolButton_PathToXPlane_FileDlg);
    connect(ui.pushButton_recorder_testconnection, &QPushButton::clicked, this,
            &DialogOption::OnPushButtonRecorderTestLogin);
    connect(ui.toolButton_sound_airport, &QToolButton::clicked, this, &DialogOption::OnToolButtonSoundOpenFileDlg);
    connect(ui.toolButton_sound_boarding, &QToolButton::clicked, this, &DialogOption::OnToolButtonSoundOpenFileDlg);
    connect(ui.horizontalSlider_wxModelSize, &QSlider::valueChanged, this, &DialogOption::OnSliderWxModelChange);
    connect(ui.buttonGroup_WeatherModes, QOverload<QAbstractButton*>::of(&QButtonGroup::buttonClicked), this,
            &DialogOption::OnButtonGroupWeatherModeClicked);

    ui.progressBar_fs_tool->hide();
    ConnectStationTool();
    // The ambient sounds are not offered yet: the page leaves the tabs but its widgets are still loaded and stored.
    const int ambientPage = ui.tabWidget->indexOf(ui.tab_ambient);
    if (ambientPage >= 0)
        ui.tabWidget->removeTab(ambientPage);
    OnSliderWxModelChange(ui.horizontalSlider_wxModelSize->value());
}

DialogOption::~DialogOption() = default;

void DialogOption::LoadSettings()
{
    ui.horizontalSliderWeatherUpdateInterval->setValue(CSettings::GetUpdateInterval());
    if (CSettings::GetServerLocation() == 0)
        ui.radioButton_serverLocation_de->setChecked(true);
    else
        ui.radioButton_serverLocation_us->setChecked(true);
    switch (CSettings::GetMetarFeed()) {
    case 1:
        ui.radioButtonVatsim->setChecked(true);
        ui.radioButtonNoaa->setChecked(false);
        break;
    case 2:
        ui.radioButtonIvao->setChecked(true);
        break;
    case 3:
        ui.radioButtonNoaa->setChecked(true);
        ui.radioButtonVatsim->setChecked(false);
        break;
    default:
        break;
    }

    ui.radioButton_Gallon->setChecked(CSettings::GetUnitsGallon());
    ui.radioButton_Liter->setChecked(!CSettings::GetUnitsGallon());
    ui.radioButton_Lbs->setChecked(CSettings::GetUnitsLbs());
    ui.radioButton_Kg->setChecked(!CSettings::GetUnitsLbs());

    OnShowExportMetar(CSettings::GetExportMetar());
    ui.checkBox_exportMetar->setChecked(CSettings::GetExportMetar());
    ui.lineEdit_exportMetarDirectory->setText(CSettings::GetExportMetarDir());
    ui.lineEdit_exportMetarFilename->setText(CSettings::GetExportMetarFilename());
    ui.checkBox_exportWeatherPMDG777->setChecked(CSettings::GetExportPMDG777WX());
    ui.lineEdit_exportPMDG777folder->setText(CSettings::GetExportPMDG777WXFolder());
    ui.checkBoxExportFPFSX->setChecked(CSettings::GetExportFPFSX());
    ui.lineEdit_Export_FP_FSX->setText(CSettings::GetExportFPFSXFolder());
    ui.checkBoxExportFPAirbusX->setChecked(CSettings::GetExportFPAirbusX());
    ui.lineEdit_Export_FP_AirbusX->setText(CSettings::GetExportFPAirbusXFolder());
    ui.checkBoxExportFPXplane->setChecked(CSettings::GetExportFPXPlane());
    ui.lineEdit_Export_FP_XPlane->setText(CSettings::GetExportFPXPlaneFolder());
    ui.checkBoxExportFPSquawkbox->setChecked(CSettings::GetExportFPSquawkbox());
    ui.lineEdit_Export_FP_Squawkbox->setText(CSettings::GetExportFPSquawkboxFolder());

    ui.checkBoxStartUpClearWX->setChecked(CSettings::GetClearWX());
    ui.checkBoxStartupDownloadWX->setChecked(CSettings::GetDownloadWX());
    ui.checkBox_autoconnect->setChecked(CSettings::GetAutoConnectFS());
    ui.groupBox_Weatherupdateinterval->setChecked(CSettings::GetWeatherUpdate());
    ui.horizontalSliderWXRange->setValue(CSettings::GetWeatherRadius());
    ui.checkBox_NoWeatherUpdateInApproach->setChecked(CSettings::GetNoUpdateInApproach());
    ui.spinBox_NoWeatherUpdateInApproachHeight->setValue(CSettings::GetNoUpdateInApproachHeight());
    ui.spinBox_XP_WeatherUpdateDistance->setValue(CSettings::GetXPUpdateDist());
    ui.spinBox_XP_WeatherUpdateTime_in_min->setValue(CSettings::GetXPUpdateTime());
    ui.checkBoxCreateNewStation->setChecked(CSettings::GetCreateNewWXStation());

    // The buttons are exclusive: unchecking the checked one does nothing, so the last one set wins and with all
    // three keys false the form's Model file stays.
    ui.radioButton_WxModeAuto->setChecked(CSettings::GetAutoMode());
    ui.radioButton_WxModeNormal->setChecked(CSettings::GetNormalMode());
    ui.radioButton_WxModeModel->setChecked(CSettings::GetModelFileMode());
    ui.horizontalSlider_wxModelSize->setValue(CSettings::GetModelFileSize());

    ui.checkBoxWindSurfacegusty->setChecked(CSettings::GetWindSlightlGustSurfaceWind());
    ui.checkBox_WindTurbulenceinClouds->setChecked(CSettings::GetWindTurbulenceInCloud());
    ui.checkBox_DirectWindControl->setChecked(CSettings::GetWindDwc());
    ui.spinBox_DWC_DegPerSecond->setValue(CSettings::GetWindDwcDegreesPerSecond());
    ui.spinBox_DWC_KnotsPerSecond->setValue(CSettings::GetWindDwcKnotsPerSecond());
    ui.checkBox_GenerateCirrus->setChecked(CSettings::GetGenerateCirrus());
    ui.checkBox_MixedClouds->setChecked(CSettings::GetMixedClouds());
    ui.checkBox_IcingInClouds->setChecked(CSettings::GetIcingInClouds());
    ui.checkBox_GeneratStartusAsFog->setChecked(CSettings::GetGenerateFogAsStratus());
    ui.spinBox_maxCloudLayer->setValue(CSettings::GetMaxCloudLayers());
    ui.comboBox_CAVOK_Coverage->setCurrentIndex(CSettings::GetCavokCoverage());
    ui.spinBox_CAVOK_Base->setValue(CSettings::GetCavokBase());
    ui.spinBox_minVisibility->setValue(CSettings::GetMinVisibility());
    ui.spinBox_maxVisibility->setValue(CSettings::GetMaxVisibility());
    ui.spinBox_MetarVisibility9999->setValue(CSettings::GetMinVisibilityMetar9999());

    ui.comboBox_FSInterface->setCurrentIndex(CSettings::GetInterfaceType() - 1);
    OnComboBoxInterfaceChanged(ui.comboBox_FSInterface->currentText());
    ui.checkBox_FSMessage->setChecked(CSettings::GetFSMessage());
    ui.lineEdit_ServerIP->setText(CSettings::GetServerIP());
    ui.lineEdit_ServerPort->setText(CSettings::GetServerPort());
    ui.spinBox_FSInterface_pause_wxstation->setValue(CSettings::GetPauseBetweenWXStation());
    ui.lineEdit_Path_FS->setText(CSettings::GetPathToFS());
    ui.lineEdit_Path_XPlane->setText(CSettings::GetPathToXPlane());

    ui.lineEdit_Recorder_UserCallsign->setText(CSettings::GetUserId());
    ui.lineEdit_RecorderUserName->setText(CSettings::GetUserEmail());
    ui.lineEdit_aerovane_recorder_userid->setText(CSettings::GetAerovaneUserId());
    ui.lineEdit_aerovane_recorder_hash->setText(CSettings::GetAerovaneRecorderHash());
    ui.checkBox_Recorder2Email->setChecked(CSettings::GetFlight2Email());
    ui.lineEdit_Recorder2Email->setText(CSettings::GetFlight2EmailAdress());
    ui.checkBox_recorder_export_2_aerovane->setChecked(CSettings::GetExportAerovane());
    ui.checkBox_Recorder2PhpFile->setChecked(CSettings::GetIsFlight2PhpFile());
    ui.lineEdit_Recorder2Phpfile->setText(CSettings::GetFlight2PhpFileUrl());

    const SoundSetting airport = CSettings::GetAirportAmbientSound();
    ui.checkBox_sound_airport->setChecked(airport.IsEnabled());
    ui.lineEdit_sound_airport->setText(airport.GetFileName());
    ui.spinBox_sound_airport_min_emptyweight->setValue(airport.GetMinWeight());
    const SoundSetting boarding = CSettings::GetBoardingSound();
    ui.checkBox_sound_boarding->setChecked(boarding.IsEnabled());
    ui.lineEdit_sound_boarding->setText(boarding.GetFileName());
    ui.spinBox_sound_boarding_min_emptyweight->setValue(boarding.GetMinWeight());
}

void DialogOption::accept()
{
    CSettings::SetUpdateInterval(ui.horizontalSliderWeatherUpdateInterval->value());
    CSettings::SetServerLocation(ui.radioButton_serverLocation_de->isChecked() ? 0 : 1);
    if (ui.radioButtonVatsim->isChecked())
        CSettings::SetMetarFeed(1);
    else if (ui.radioButtonNoaa->isChecked())
        CSettings::SetMetarFeed(3);
    else if (ui.radioButtonIvao->isChecked())
        CSettings::SetMetarFeed(2);
    CSettings::SetUnitsGallon(ui.radioButton_Gallon->isChecked());
    CSettings::SetUnitsLbs(ui.radioButton_Lbs->isChecked());

    CSettings::SetExportMetar(ui.checkBox_exportMetar->isChecked());
    CSettings::SetExportMetarDir(ui.lineEdit_exportMetarDirectory->text());
    CSettings::SetExportMetarFilename(ui.lineEdit_exportMetarFilename->text());
    CSettings::SetExportPMDG777WX(ui.checkBox_exportWeatherPMDG777->isChecked());
    CSettings::SetExportPMDG777WXFolder(ui.lineEdit_exportPMDG777folder->text());
    CSettings::SetExportFPFSX(ui.checkBoxExportFPFSX->isChecked());
    CSettings::SetExportFPFSXFolder(ui.lineEdit_Export_FP_FSX->text());
    CSettings::SetExportFPAirbusX(ui.checkBoxExportFPAirbusX->isChecked());
    CSettings::SetExportFPAirbusXFolder(ui.lineEdit_Export_FP_AirbusX->text());
    CSettings::SetExportFPXPlane(ui.checkBoxExportFPXplane->isChecked());
    CSettings::SetExportFPXPlaneFolder(ui.lineEdit_Export_FP_XPlane->text());
    CSettings::SetExportFPSquawkbox(ui.checkBoxExportFPSquawkbox->isChecked());
    CSettings::SetExportFPSquawkboxFolder(ui.lineEdit_Export_FP_Squawkbox->text());

    CSettings::SetClearWX(ui.checkBoxStartUpClearWX->isChecked());
    CSettings::SetDownloadWX(ui.checkBoxStartupDownloadWX->isChecked());
    CSettings::SetAutoConnectFS(ui.checkBox_autoconnect->isChecked());
    CSettings::SetWeatherUpdate(ui.groupBox_Weatherupdateinterval->isChecked());
    CSettings::SetWeatherRadius(ui.horizontalSliderWXRange->value());
    CSettings::SetNoUpdateInApproach(ui.checkBox_NoWeatherUpdateInApproach->isChecked());
    CSettings::SetNoUpdateInApproachHeight(ui.spinBox_NoWeatherUpdateInApproachHeight->value());
    CSettings::SetXPUpdateDist(ui.spinBox_XP_WeatherUpdateDistance->value());
    CSettings::SetXPUpdateTime(ui.spinBox_XP_WeatherUpdateTime_in_min->value());
    CSettings::SetCreateNewWXStation(ui.checkBoxCreateNewStation->isChecked());
    CSettings::SetAutoMode(ui.radioButton_WxModeAuto->isChecked());
    CSettings::SetNormalMode(ui.radioButton_WxModeNormal->isChecked());
    CSettings::SetModelFileMode(ui.radioButton_WxModeModel->isChecked());
    CSettings::SetModelFileSize(ui.horizontalSlider_wxModelSize->value());

    CSettings::SetWindSlightlGustSurfaceWind(ui.checkBoxWindSurfacegusty->isChecked());
    CSettings::SetWindTurbulenceInCloud(ui.checkBox_WindTurbulenceinClouds->isChecked());
    CSettings::SetWindDwc(ui.checkBox_DirectWindControl->isChecked());
    CSettings::SetWindDwcDegreesPerSecond(ui.spinBox_DWC_DegPerSecond->value());
    CSettings::SetWindDwcKnotsPerSecond(ui.spinBox_DWC_KnotsPerSecond->value());
    CSettings::SetGenerateCirrus(ui.checkBox_GenerateCirrus->isChecked());
    CSettings::SetMixedClouds(ui.checkBox_MixedClouds->isChecked());
    CSettings::SetIcingInClouds(ui.checkBox_IcingInClouds->isChecked());
    CSettings::SetGenerateFogAsStratus(ui.checkBox_GeneratStartusAsFog->isChecked());
    CSettings::SetMaxCloudLayers(ui.spinBox_maxCloudLayer->value());
    CSettings::SetCavokCoverage(ui.comboBox_CAVOK_Coverage->currentIndex());
    CSettings::SetCavokBase(ui.spinBox_CAVOK_Base->value());
    CSettings::SetMinVisibility(ui.spinBox_minVisibility->value());
    CSettings::SetMaxVisibility(ui.spinBox_maxVisibility->value());
    CSettings::SetMinVisibilityMetar9999(ui.spinBox_MetarVisibility9999->value());

    CSettings::SetInterfaceType(ui.comboBox_FSInterface->currentIndex() + 1);
    CSettings::SetFSMessage(ui.checkBox_FSMessage->isChecked());
    CSettings::SetServerIP(ui.lineEdit_ServerIP->text());
    CSettings::SetServerPort(ui.lineEdit_ServerPort->text());
    CSettings::SetPauseBetweenWXStation(ui.spinBox_FSInterface_pause_wxstation->value());
    CSettings::SetPathToFS(ui.lineEdit_Path_FS->text());
    CSettings::SetPathToXPlane(ui.lineEdit_Path_XPlane->text());

    CSettings::SetUserId(ui.lineEdit_Recorder_UserCallsign->text());
    CSettings::SetUserEmail(ui.lineEdit_RecorderUserName->text());
    CSettings::SetAerovaneUserId(ui.lineEdit_aerovane_recorder_userid->text());
    CSettings::SetAerovaneRecorderHash(ui.lineEdit_aerovane_recorder_hash->text());
    CSettings::SetExportAerovane(ui.checkBox_recorder_export_2_aerovane->isChecked());
    CSettings::SetFlight2Email(ui.checkBox_Recorder2Email->isChecked());
    CSettings::SetFlight2EmailAdress(ui.lineEdit_Recorder2Email->text());
    CSettings::SetIsFlight2PhpFile(ui.checkBox_Recorder2PhpFile->isChecked());
    CSettings::SetFlight2PhpFileUrl(ui.lineEdit_Recorder2Phpfile->text());

    CSettings::SetAirportAmbientSound(SoundSetting(ui.lineEdit_sound_airport->text(),
                                                   ui.spinBox_sound_airport_min_emptyweight->value(),
                                                   ui.checkBox_sound_airport->isChecked(), false));
    CSettings::SetBoardingSound(SoundSetting(ui.lineEdit_sound_boarding->text(),
                                             ui.spinBox_sound_boarding_min_emptyweight->value(),
                                             ui.checkBox_sound_boarding->isChecked(), false));
    close();
}

bool DialogOption::IsFSPathWritable(QString path)
{
    if (path.isEmpty())
        path = CSettings::GetPathToFS();
    Debug(QStringLiteral("Path to FS %1\n").arg(path));
    const QFileInfo folder(path);
    return !path.isEmpty() && folder.isDir() && folder.isReadable() && folder.isWritable();
}

void DialogOption::ToUpper(const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(sender()))
        edit->setText(text.toUpper());
}

void DialogOption::OnComboBoxInterfaceChanged(const QString& text)
{
    if (text == QLatin1String("Client/Server")) {
        ui.lineEdit_ServerIP->setEnabled(true);
        ui.lineEdit_ServerPort->setEnabled(true);
        ui.groupBox_FSWind->setEnabled(true);
    } else if (text == QLatin1String("SimConnect")) {
        ui.groupBox_FSWind->setEnabled(false);
    } else {
        ui.lineEdit_ServerIP->setEnabled(false);
        ui.lineEdit_ServerPort->setEnabled(false);
        ui.groupBox_FSWind->setEnabled(true);
    }
}

void DialogOption::OnShowExportMetar(bool on)
{
    ui.lineEdit_exportMetarFilename->setEnabled(on);
    ui.lineEdit_exportMetarDirectory->setEnabled(on);
    ui.toolButton_OpenDirectoryDialog->setEnabled(on);
}

QString DialogOption::ChooseFolder(const QString& caption, const QString& startFolder, const QString& filter)
{
    return Prompter().Choose({ChooserKind::Folder, caption, startFolder, filter});
}

void DialogOption::OnShowFolderDlgMetarExport()
{
    const QString folder = ChooseFolder(QString(), QString());
    if (folder.isEmpty())
        return;
    Debug(folder + QLatin1Char('\n'));
    ui.lineEdit_exportMetarDirectory->setText(QDir(folder).absolutePath());
}

void DialogOption::OnShowFolderDlgPMDG777WxExport()
{
    const QString folder = ChooseFolder(QString(), QString());
    if (folder.isEmpty())
        return;
    Debug(folder + QLatin1Char('\n'));
    ui.lineEdit_exportPMDG777folder->setText(QDir(folder).absolutePath());
}

void DialogOption::OnShowFolderDlg()
{
    const QObject* button = sender();
    QString caption;
    QLineEdit* field = nullptr;
    if (button == ui.toolButton_OpenFolder_ExportAirbusX) {
        caption = QStringLiteral("Export Flight Plan Airbus X");
        field = ui.lineEdit_Export_FP_AirbusX;
    } else if (button == ui.toolButton_OpenFolder_ExportFPXplane) {
        caption = QStringLiteral("Export Flight Plan XPlane");
        field = ui.lineEdit_Export_FP_XPlane;
    } else if (button == ui.toolButton_OpenFolder_ExportFPFSX) {
        caption = QStringLiteral("Export Flight Plan FSX");
        field = ui.lineEdit_Export_FP_FSX;
    } else if (button == ui.toolButton_OpenFolder_ExportFPSquawkbox) {
        caption = QStringLiteral("Export Flight Plan Squawkbox/vPilot");
        field = ui.lineEdit_Export_FP_Squawkbox;
    } else {
        return;
    }
    const QString folder = ChooseFolder(caption, field->text());
    if (folder.isEmpty())
        return;
    Debug(folder + QLatin1Char('\n'));
    field->setText(QDir::fromNativeSeparators(QDir(folder).absolutePath()));
}

QString DialogOption::OnShow_PathFS_FolderDlg(const QString& startFolder)
{
    const QString folder = ChooseFolder(QStringLiteral("Path To FS"), startFolder, QStringLiteral("*.exe"));
    return folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

void DialogOption::OnToolButton_PathToFS_FileDlg()
{
    const QString folder = OnShow_PathFS_FolderDlg(ui.lineEdit_Path_FS->text());
    if (!folder.isEmpty() && IsFSPathWritable(folder))
        ui.lineEdit_Path_FS->setText(folder);
    else
        Warn(QStringLiteral("Path to flightsimulator is not writeable!"));
}

void DialogOption::OnToolButton_PathToXPlane_FileDlg()
{
    const QString folder = OnShow_PathFS_FolderDlg(ui.lineEdit_Path_XPlane->text());
    if (!folder.isEmpty())
        ui.lineEdit_Path_XPlane->setText(folder);
}

void DialogOption::OnPushbuttonPingServer()
{
    // The built-in bases carry a port ("http://127.0.0.1:17380"): the host alone is pinged.
    const QString host = QUrl(CSettings::GetServerUrlDE()).host();
    const int exitCode = platform::ProcessRunner().Run(
        QStringLiteral("ping"),
        {QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-W"), QStringLiteral("2"), host},
        kPingProcessTimeoutMs);
    Debug(
        QStringLiteral("Server %1 is %2\n").arg(host, exitCode == 0 ? QStringLiteral("ok.") : QStringLiteral("down.")));
}

void DialogOption::OnPushButtonRecorderTestLogin()
{
    ui.label_recorder_testconnection_result->setText(QStringLiteral("Please wait...."));
    // The manager stays with the dialog until it closes: a reply aborted by the time-out finishes through it.
    auto* manager = new QNetworkAccessManager(this);
    const recorder::LoginResponse response
        = recorder::SendLogin(*manager, ui.lineEdit_aerovane_recorder_userid->text(),
                              ui.lineEdit_aerovane_recorder_hash->text(), m_loginTimeoutMs);
    if (!response.ok) {
        ui.label_recorder_testconnection_result->setText(response.errorText);
        return;
    }
    const recorder::LoginReply reply = recorder::ParseLoginReply(response.body);
    const QString refusal = recorder::LoginRefusal(reply);
    ui.label_recorder_testconnection_result->setText(
        refusal.isEmpty() ? QStringLiteral("success UserID:%1").arg(reply.userId) : refusal);
}

void DialogOption::OnToolButtonSoundOpenFileDlg()
{
    const QString fileName
        = Prompter().Choose({ChooserKind::OpenFile, QStringLiteral("Select Sound"),
                             platform::ProgramFolder() + QStringLiteral("/sounds/"), QStringLiteral("Sounds (*.wav)")});
    Debug(fileName + QLatin1Char('\n'));
    // A cancelled chooser empties the field: that is how a sound file is removed.
    if (sender() == ui.toolButton_sound_airport)
        ui.lineEdit_sound_airport->setText(fileName);
    else if (sender() == ui.toolButton_sound_boarding)
        ui.lineEdit_sound_boarding->setText(fileName);
}

void DialogOption::OnSliderWxModelChange(int value)
{
    if (value > kLargestModelSize) {
        ui.horizontalSlider_wxModelSize->setValue(kLargestModelSize);
        value = kLargestModelSize;
    }
    ui.horizontalSlider_wxModelSize->setToolTip(QString::number(value));
    ui.label_WxModelSize->setText(QStringLiteral("%1 NM").arg(static_cast<int>(value * kModelSizeKm / kKmPerNm)));
}

void DialogOption::OnButtonGroupWeatherModeClicked(QAbstractButton* button)
{
    const bool modelFile = button == ui.radioButton_WxModeModel;
    if (modelFile && ui.comboBox_FSInterface->currentText() == QLatin1String("FSUIPC"))
        Warn(QStringLiteral("This weather mode requires a connection to FS via 'Simconnect' or 'Simconnect & FSUIPC' "
                            "or 'Client/Server'"));
    // The folder as typed: the user may have just changed it, and it is stored only on OK.
    const QString typedFolder = ui.lineEdit_Path_FS->text();
    Debug(QStringLiteral("Path to FS %1\n").arg(typedFolder));
    if (modelFile && (typedFolder.isEmpty() || !IsFSPathWritable(typedFolder)))
        Warn(QStringLiteral("This weather mode requires a writeable path to the flight simulator (FSX/P3D)"));
}

void DialogOption::Warn(const QString& text)
{
    Prompter().Ask({PromptKind::Warning, kTitle, text, QString()});
}

void DialogOption::ConnectStationTool()
{
    m_stationTool = std::make_unique<WxStationTool>(
        WxStationTool::Widgets{ui.label_fs_station_progress, ui.progressBar_fs_tool, ui.textEdit_result_fs_tool});
    connect(ui.pushButton_reading_FS_wxstation, &QPushButton::clicked, this,
            &DialogOption::OnPushbutton_ReadingOvyxStations);
    connect(ui.pushButton_search_icao, &QPushButton::clicked, this, &DialogOption::OnPushbutton_search_icao);
    connect(ui.pushButton_create_ovyxstation, &QPushButton::clicked, this,
            &DialogOption::OnPushButton_create_wxstationinFS);
    connect(ui.pushButton_restore, &QPushButton::clicked, this, &DialogOption::OnPushbutton_Restore_wxstations);
}

void DialogOption::OnPushbutton_ReadingOvyxStations()
{
    ui.pushButton_search_icao->setDefault(true);
    if (m_stationTool->Read(ui.lineEdit_Path_FS->text())) {
        ui.pushButton_search_icao->setEnabled(true);
        ui.pushButton_create_ovyxstation->setEnabled(true);
    }
}

void DialogOption::OnPushbutton_search_icao()
{
    m_stationTool->Search(ui.lineEdit_search_icao->text());
}

void DialogOption::OnPushButton_create_wxstationinFS()
{
    if (!m_stationTool->Backup(ui.lineEdit_Path_FS->text()))
        return;
    AddWxStationsToFS();
    Prompter().Ask({PromptKind::Information, QStringLiteral("Aerovane"),
                    QStringLiteral("Please restart Aerovane\nFSX: delete wxstationlist\n in Win7: "
                                   "/Users/Name/AppData/Roaming/Microsoft/FSX"),
                    QString()});
}

void DialogOption::AddWxStationsToFS()
{
    auto* host = dynamic_cast<CMainWindowHost*>(m_parent);
    CWeatherWorker* worker = host ? host->GetWeatherWorker() : nullptr;
    std::vector<aviation::weather::CStation> airports;
    if (worker)
        airports = worker->GetWeatherManager()->GetAirportList();
    m_stationTool->AddWxStationsToFS(ui.lineEdit_Path_FS->text(), std::move(airports));
}

void DialogOption::OnPushbutton_Restore_wxstations()
{
    m_stationTool->Restore(ui.lineEdit_Path_FS->text());
}
