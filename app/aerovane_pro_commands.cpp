// The window's commands for the simulator connection and the weather, the forwarders to the connection
// thread, the results of its jobs, the aircraft samples and details, the aircraft selector and the METAR
// look-up.
#include "app/aerovane_pro.h"

#include "app/aircraftlamps.h"
#include "app/wxstatusbar.h"
#include "generation/weatherworker.h"
#include "loadeditor/aircraftprofile.h"
#include "loadeditor/tab_loadeditor.h"
#include "planner/tab_flightplanner.h"
#include "platform/clock.h"
#include "recorder/tab_flightrecorder.h"
#include "settings/settings.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"
#include "weather/weathermanager.h"

#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <iterator>

void Aerovane_Pro::AddJob(int type, const QString& text)
{
    if (connectWorker)
        connectWorker->AddJob(CJob(type, text));
}

void Aerovane_Pro::OnButtonConnect()
{
    if (connected)
        AddJob(JobDisconnect, QString());
    else
        RequestConnect();
}

void Aerovane_Pro::RequestConnect()
{
    // A second connect behind a running one would find the link up and take it down again.
    if (connecting || connected)
        return;
    connecting = true;
    AddJob(JobConnect, QString());
}

void Aerovane_Pro::OnAutoConnectRetry()
{
    if (!closing && CSettings::GetAutoConnectFS())
        RequestConnect();
}

void Aerovane_Pro::OnGenerationRunning(bool /*running*/)
{
    UpdateWeatherLoadCommands();
}

void Aerovane_Pro::UpdateWeatherLoadCommands()
{
    const bool generating = weatherWorker && weatherWorker->IsGenerating();
    ui.actionDownload_History_WX->setEnabled(!generating && !historyRequestRunning);
    ui.actionLoad_WX_from_file->setEnabled(!generating);
}

void Aerovane_Pro::OnDisableButton(int command, bool disable)
{
    QAction* const actions[] = {ui.actionDownload_WX, ui.action_Set_all_WX, ui.action_Set_ICAO_WX, ui.actionClear_WX,
                                ui.actionConnect_to_FS};
    if (command >= 0 && command < static_cast<int>(std::size(actions)))
        actions[command]->setEnabled(!disable);
}

void Aerovane_Pro::OnDownloadWX()
{
    ui.statusBar->ResetProgress(true);
    weatherWorker->DownloadWeather();
    ui.statusBar->ResetProgress(false);
}

Aerovane_Pro::AllWeatherGeneration Aerovane_Pro::ChooseAllWeatherGeneration()
{
    const int version = CSettings::GetFSVersion();
    if (version == 9 || version == 10)
        return AllWeatherGeneration::XPlane;
    if (CSettings::GetAutoMode())
        return AllWeatherGeneration::AutoMode;
    if (CSettings::GetModelFileMode())
        return AllWeatherGeneration::ModelFile;
    return AllWeatherGeneration::Normal;
}

void Aerovane_Pro::OnSetAllWX()
{
    if (!connected) {
        SetStatusText(QStringLiteral("not connected"));
        return;
    }
    switch (ChooseAllWeatherGeneration()) {
    case AllWeatherGeneration::XPlane:
        weatherWorker->GenerateXPlaneWeather();
        break;
    case AllWeatherGeneration::AutoMode:
        weatherWorker->GenerateFSWeatherAutoMode();
        break;
    case AllWeatherGeneration::ModelFile:
        weatherWorker->GenerateFSWeatherModelFile();
        break;
    case AllWeatherGeneration::Normal:
        weatherWorker->GenerateFSWeather(QString());
        break;
    }
}

void Aerovane_Pro::OnSetIcaoWX()
{
    if (!connected) {
        SetStatusText(QStringLiteral("not connected"));
        return;
    }
    const int version = CSettings::GetFSVersion();
    if (version == 9 || version == 10)
        weatherWorker->GenerateXPlaneWeather();
    else
        weatherWorker->GenerateFSWeather(icaoForSetWx);
}

void Aerovane_Pro::OnClearWX()
{
    // A transfer running or waiting, or a generation waiting for its grid, would put back the weather being
    // cleared.
    if (connectWorker)
        connectWorker->StopWeatherTransfer();
    AddJob(JobClearWeather, QStringLiteral("Clear WX"));
    weatherWorker->OnWeatherCleared();
}

void Aerovane_Pro::OnRefreshAI()
{
    AddJob(JobRefreshAI, QStringLiteral("RefreshAI"));
}

void Aerovane_Pro::OnSetTextToolButtonICAO(const QString& icao)
{
    icaoForSetWx = icao;
    ui.action_Set_ICAO_WX->setText(QStringLiteral("Set ") + icao.toUpper() + QStringLiteral(" WX"));
}

void Aerovane_Pro::SetWeather(const std::vector<CFSWeatherStation>& stations)
{
    if (!connectWorker)
        return;
    connectWorker->SetWeather(stations);
    AddJob(JobSetWeather, QStringLiteral("Set Weather"));
}

void Aerovane_Pro::SetWindFSUIPC(const aviation::weather::CLevel& level)
{
    if (!connectWorker)
        return;
    connectWorker->SetWindLevel(level);
    AddJob(JobSetWind, QStringLiteral("Set Wind FSUIPC"));
}

void Aerovane_Pro::SendWindToXP(const CXPWeather& wind)
{
    if (connectWorker)
        connectWorker->SendWindToXP(wind);
}

void Aerovane_Pro::SendStationToFS(const std::vector<aviation::weather::CStation>& stations)
{
    if (connectWorker)
        connectWorker->SendStationToFS(stations);
}

void Aerovane_Pro::SetWeatherTheme(const std::string& theme)
{
    AddJob(JobLoadWeatherTheme, QString::fromLatin1(theme.c_str()));
}

void Aerovane_Pro::ShowFSMessage(const QString& text)
{
    if (connectWorker)
        connectWorker->SendFSMessage(text);
}

void Aerovane_Pro::LoadFlightPlanToFS(const QString& path)
{
    if (connectWorker)
        connectWorker->LoadFlightPlan(path.toStdWString());
}

void Aerovane_Pro::GetFlightPlan(aviation::CFlightplan& plan)
{
    plan = ui.tab_flightplanner->GetFlightPlan();
}

aviation::structs::CAircraftDetail Aerovane_Pro::GetAircraftDetails()
{
    if (connected) {
        AddJob(JobGetFuel, QStringLiteral("Get Fuel"));
        AddJob(JobGetAircraftDetail, QStringLiteral("Get AC-Details"));
    }
    return simAircraftDetail;
}

void Aerovane_Pro::OnThreadSignalJobFinished(int type, const QString& /*text*/)
{
    // Results that arrive after the window let go of the connection thread have no one to read them from.
    if (!connectWorker)
        return;
    switch (type) {
    case JobConnect:
        connecting = false;
        if (connectWorker->IsConnected()) {
            weatherWorker->EnableSimTimer(true);
            // Every command that needs only the link and loaded weather is back; Set all WX once a generation
            // under way has ended.
            const bool weatherLoaded = weatherWorker->GetWeatherManager()->CMetarManager::GetCount() > 0;
            emit sigDisableButton(1, !weatherLoaded || weatherWorker->IsGenerating());
            emit sigDisableButton(2, !weatherLoaded);
            emit sigDisableButton(3, false);
            emit sigDisableButton(4, false);
            ui.toolBar->setStyleSheet(QString());
            ui.actionConnect_to_FS->setText(QStringLiteral("Disconnect"));
            connected = true;
            autoConnectTimer->stop();
            weatherWorker->RequestWeatherUpdate();
            if (CSettings::GetClearWX() && !clearWxDone) {
                AddJob(JobClearWeather, QStringLiteral("Clear WX"));
                clearWxDone = true;
            }
        } else if (CSettings::GetAutoConnectFS() && !closing) {
            autoConnectTimer->start();
        }
        break;
    case JobDisconnect:
        ShowDisconnected();
        break;
    case JobGetAircraftData:
        OnUpdateAircraftdata(connectWorker->GetAircraft());
        break;
    case JobGetPayload:
        ui.tab_LoadEditor->SetFuel(connectWorker->GetFuel());
        OnUpdateAircraftDetails(connectWorker->GetAircraftDetail());
        break;
    case JobGetAircraftDetail:
        simAircraftDetail = connectWorker->GetAircraftDetail();
        flightTracker.SetAircraftDetail(simAircraftDetail);
        break;
    default:
        qDebug().noquote() << QStringLiteral("(ConnectWorker) - Job finished signal, Id:%1").arg(type);
        break;
    }
}

void Aerovane_Pro::OnThreadSignal(int code)
{
    if (code != ThreadLinkLost || !connectWorker)
        return;
    ShowDisconnected();
    if (CSettings::GetAutoConnectFS() && !closing)
        autoConnectTimer->start();
}

void Aerovane_Pro::ShowDisconnected()
{
    weatherWorker->EnableSimTimer(true);
    for (int command : {1, 2, 3})
        emit sigDisableButton(command, true);
    emit sigDisableButton(4, false);
    ui.actionConnect_to_FS->setText(QStringLiteral("Connect"));
    connected = false;
    // The link's own text (a simulator's name and version) no longer holds, whatever the link type.
    SetStatusText(QStringLiteral("not connected"));
    for (QLineEdit* lamp : {ui.lineEdit_parkingbrake, ui.lineEdit_LandingLights, ui.lineEdit_doors}) {
        lamp->setStyleSheet(QString());
        lamp->clear();
    }
}

void Aerovane_Pro::OnUpdateAircraftdata(const aviation::structs::CAircraft& aircraft)
{
    weatherWorker->SetAircraft(aircraft);
    flightTracker.Update(aircraft);
    if (ui.tableViewAircraftData->isVisible())
        ui.tableViewAircraftData->SetAircraftData(aircraft);
    if (CSettings::GetFlightAutoStart() || ui.tab_recorder->IsRecording())
        ui.tab_recorder->Update(flightTracker);
    if (ui.tab_flightplanner->isVisible())
        ui.tab_flightplanner->UpdatePosition(aircraft);
    UpdateAircraftLamps(aircraft);

    // Measured on the monotonic clock, so midnight and clock changes do not stop the requests.
    const std::int64_t now = platform::MonotonicMs();
    if (connected && (!lastDetailRequestMs || now - *lastDetailRequestMs > kDetailRequestIntervalMs)) {
        lastDetailRequestMs = now;
        AddJob(JobGetAircraftDetail, QStringLiteral("Get AC-Details"));
    }
}

void Aerovane_Pro::UpdateAircraftLamps(const aviation::structs::CAircraft& aircraft)
{
    const std::pair<QLineEdit*, AircraftLamp> lamps[] = {
        {ui.lineEdit_parkingbrake, AircraftLamps::ParkingBrake(aircraft)},
        {ui.lineEdit_LandingLights, AircraftLamps::LandingLights(aircraft)},
        {ui.lineEdit_doors, AircraftLamps::Doors(aircraft)},
    };
    for (const auto& [field, lamp] : lamps) {
        field->setStyleSheet(lamp.styleSheet);
        field->setText(lamp.text);
    }
}

void Aerovane_Pro::OnUpdateAircraftDetails(const aviation::structs::CAircraftDetail& detail)
{
    const QString name = QString::fromStdWString(detail.name);
    OnDebugString(QStringLiteral("(ConnectWorker) AcDetails: %1").arg(name), 0);
    simAircraftDetail = detail;
    flightTracker.SetAircraftDetail(detail);
    if (ui.tab_LoadEditor->isVisible())
        ui.tab_LoadEditor->SetAircraftDetails(detail);

    if (name.isEmpty() || name == QLatin1String("Unknow"))
        return;
    if (LoadAircraftProfile(AircraftProfilePath(name))) {
        const int index = aircraftCombo->findText(name, Qt::MatchFixedString);
        if (index >= 0)
            aircraftCombo->setCurrentIndex(index);
    }
}

void Aerovane_Pro::FillAircraftCombo()
{
    const QStringList entries = QDir(AircraftConfigFolder()).entryList();
    const bool created = aircraftCombo == nullptr;
    if (created)
        aircraftCombo = new QComboBox();
    const QString selected = aircraftCombo->currentIndex() > 0 ? aircraftCombo->currentText() : QString();
    aircraftCombo->clear();
    aircraftCombo->addItem(QStringLiteral("Select Aircraft"));
    for (const QString& entry : entries) {
        if (entry == QLatin1String(".") || entry == QLatin1String("..") || !entry.contains(QLatin1String(".cfg")))
            continue;
        QString name = entry.left(entry.lastIndexOf(QLatin1String(".cfg")));
        aircraftCombo->addItem(name.replace(QLatin1Char('_'), QLatin1Char(' ')));
    }
    if (created) {
        ui.toolBar->addWidget(aircraftCombo);
        connect(aircraftCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &Aerovane_Pro::OnComboBoxAircraftChanged);
    }
    if (!selected.isEmpty())
        SelectAircraftProfile(selected);
}

void Aerovane_Pro::SelectAircraftProfile(const QString& name)
{
    const int index = aircraftCombo != nullptr ? aircraftCombo->findText(name, Qt::MatchFixedString) : -1;
    if (index > 0)
        aircraftCombo->setCurrentIndex(index);
}

void Aerovane_Pro::OnComboBoxAircraftChanged(int index)
{
    if (index < 1)
        return;
    if (LoadAircraftProfile(AircraftProfilePath(aircraftCombo->currentText())))
        profileAircraftDetail = GetCurrentAircraft();
    ui.tab_flightplanner->SetAircraft(profileAircraftDetail);
}

void Aerovane_Pro::OnMetarEnter()
{
    QString icao = ui.lineEditMetarICAO->text();
    if (icao.isEmpty())
        return;
    icao = icao.toUpper();
    ui.lineEditMetarICAO->setText(icao);
    OnDebugString(QStringLiteral("(Main) Metar enter ICAO: ") + icao, 0);
    aviation::weather::CMetar metar = weatherWorker->GetMetar(icao);
    if (metar.GetRaw().empty() && metar.GetPosition() == aviation::Position()) {
        ui.lineEditMetarICAO->setStyleSheet(QStringLiteral("QLineEdit{background: red;}"));
        return;
    }
    ui.lineEditMetarICAO->setStyleSheet(QStringLiteral("QLineEdit{background: white;}"));
    ShowMetar(metar);
}
