// The window's View menu and tab pages, the stay-on-top switch, the dialogs it opens and the forwarders from
// the form's planner, recorder and load editor widgets to their pages.
#include "app/aerovane_pro.h"

#include "dialogs/dialogoption.h"
#include "dialogs/dlgconfigurator.h"
#include "dialogs/wxfiledialog.h"
#include "dialogs/wxfinderdlg.h"
#include "generation/weatherworker.h"
#include "loadeditor/aircraftconfigdlg.h"
#include "loadeditor/tab_loadeditor.h"
#include "planner/tab_flightplanner.h"
#include "platform/launcher.h"
#include "recorder/tab_flightrecorder.h"
#include "settings/productaddresses.h"
#include "settings/settings.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"

#include <QPointer>

namespace {

// One page the View menu shows and hides, with the tab widget it belongs to and the setting that remembers it.
struct TabPage
{
    QWidget* page;
    QTabWidget* tabs;
    QString title;
    QAction* action;
    void (*store)(bool);
    bool (*load)();
};

enum Page { Weather, FlightPlanner, LoadEditor, FlightRecorder, FlightData, Debug };

TabPage PageOf(Ui::Aerovane_ProClass& ui, Page page)
{
    switch (page) {
    case Weather:
        return {ui.tab_Weather,
                ui.tabWidgetMain,
                QStringLiteral("Weather"),
                ui.actionViewWeather,
                &CSettings::SetShowTabWeather,
                &CSettings::GetShowTabWeather};
    case FlightPlanner:
        return {ui.tab_flightplanner,
                ui.tabWidgetMain,
                QStringLiteral("Flight Planner"),
                ui.actionViewFlight_planner,
                &CSettings::SetShowTabFlightPlanner,
                &CSettings::GetShowTabFlightPlanner};
    case LoadEditor:
        return {ui.tab_LoadEditor,
                ui.tabWidgetMain,
                QStringLiteral("Load Editor"),
                ui.actionViewLoad_Editor,
                &CSettings::SetShowTabLoadEditor,
                &CSettings::GetShowTabLoadEditor};
    case FlightRecorder:
        return {ui.tab_recorder,
                ui.tabWidgetMain,
                QStringLiteral("Flight Recorder"),
                ui.actionViewFlight_Recorder,
                &CSettings::SetShowTabFlightRecorder,
                &CSettings::GetShowTabFlightRecorder};
    case FlightData:
        return {ui.tab_FlightData,
                ui.tabWidget_Output,
                QStringLiteral("Flight Data"),
                ui.actionViewFlight_Data,
                &CSettings::SetShowTabFlightData,
                &CSettings::GetShowTabFlightData};
    case Debug:
    default:
        return {ui.tab_Debug,       ui.tabWidget_Output,         QStringLiteral("Debug"),
                ui.actionViewDebug, &CSettings::SetShowTabDebug, &CSettings::GetShowTabDebug};
    }
}

void Hide(const TabPage& page, int index)
{
    page.tabs->removeTab(index);
    page.action->setChecked(false);
    page.store(false);
}

void Show(const TabPage& page)
{
    const int index = page.tabs->addTab(page.page, page.title);
    page.action->setChecked(true);
    page.store(true);
    page.tabs->setCurrentIndex(index);
}

void Toggle(const TabPage& page)
{
    const int index = page.tabs->indexOf(page.page);
    if (index >= 0)
        Hide(page, index);
    else
        Show(page);
}

// Removes the tab at the index; when it was one of the pages, its action and setting follow.
void CloseTab(Ui::Aerovane_ProClass& ui, QTabWidget* tabs, int index, std::initializer_list<Page> pages)
{
    QWidget* closed = tabs->widget(index);
    tabs->removeTab(index);
    for (Page page : pages) {
        const TabPage row = PageOf(ui, page);
        if (closed && row.page == closed) {
            row.action->setChecked(false);
            row.store(false);
        }
    }
}

} // namespace

void Aerovane_Pro::ConnectTabCommands()
{
    connect(ui.actionDownload_History_WX, &QAction::triggered, this, &Aerovane_Pro::OnDlgHistoryWeather);
    connect(ui.actionPreference, &QAction::triggered, this, &Aerovane_Pro::OnOption);
    connect(ui.actionDlgAircraft_Config, &QAction::triggered, this, &Aerovane_Pro::OnDlgAircraftConfig);
    connect(ui.actionLoad_WX_from_file, &QAction::triggered, this, &Aerovane_Pro::OnWxFileDlgOpen);
    connect(ui.actionSave_WX, &QAction::triggered, this, &Aerovane_Pro::OnWxFileDlgSave);
    connect(ui.actionWX_Finder, &QAction::triggered, this, &Aerovane_Pro::OnWxFinderDlg);
    connect(ui.actionViewWeather, &QAction::triggered, this, &Aerovane_Pro::OnTabShowWeather);
    connect(ui.actionViewFlight_Recorder, &QAction::triggered, this, &Aerovane_Pro::OnTabShowFlightRecorder);
    connect(ui.actionViewFlight_planner, &QAction::triggered, this, &Aerovane_Pro::OnTabShowFlightPlanner);
    connect(ui.actionViewLoad_Editor, &QAction::triggered, this, &Aerovane_Pro::OnTabShowLoadeditor);
    connect(ui.actionViewDebug, &QAction::triggered, this, &Aerovane_Pro::OnTabShowDebug);
    connect(ui.actionViewUserButtons, &QAction::triggered, this, &Aerovane_Pro::OnShowUserButtons);
    connect(ui.actionViewFlight_Data, &QAction::triggered, this, &Aerovane_Pro::OnTabShowFlightData);
    connect(ui.actionViewStay_On_Top, &QAction::triggered, this, &Aerovane_Pro::OnStayOnTop);
    connect(ui.actionWiki_Manuel, &QAction::triggered, this, &Aerovane_Pro::OnOpenWiki);
    connect(ui.actionSimple_Configurator, &QAction::triggered, this, &Aerovane_Pro::OnSimpleConfigurator);
    connect(ui.tabWidgetMain, &QTabWidget::currentChanged, this, &Aerovane_Pro::OnMainTabChanged);
    connect(ui.tabWidgetMain, &QTabWidget::tabCloseRequested, this, &Aerovane_Pro::OnTabMainCloseRequest);
    connect(ui.tabWidget_Output, &QTabWidget::tabCloseRequested, this, &Aerovane_Pro::OnTabOutputCloseRequest);

    connect(ui.lineEdit_Altinate, &QLineEdit::textChanged, this, &Aerovane_Pro::OnTabFlightplannerAlternateChange);
    connect(ui.lineEdit_Dep, &QLineEdit::textChanged, this, &Aerovane_Pro::OnTabFlightplannerDepartureChange);
    connect(ui.lineEdit_Arrival, &QLineEdit::textChanged, this, &Aerovane_Pro::OnTabFlightplannerDestinationChange);
    connect(ui.lineEdit_CruiseAlt, &QLineEdit::editingFinished, this,
            &Aerovane_Pro::OnTabFlightplannerCruisingLevelChanged);
    connect(ui.pushButton_FpImport, &QPushButton::clicked, this, &Aerovane_Pro::OnTabFlightplannerButtonImportFP);
    connect(ui.pushButton_Calculate, &QPushButton::clicked, this, &Aerovane_Pro::OnTabFlightplannerButtonCalculateFP);
    connect(ui.pushButton_printFp, &QPushButton::clicked, this, &Aerovane_Pro::OnTabFlightplannerPrintFP);
    connect(ui.pushButton_FP_Reset, &QPushButton::clicked, this, &Aerovane_Pro::OnTabFlightplannerReset);
    connect(ui.pushButton_ExportFP, &QPushButton::clicked, this, &Aerovane_Pro::OnTabFlightplannerPushButtonExportFP);
    connect(ui.pushButton_online_vatroute, &QPushButton::clicked, this,
            &Aerovane_Pro::OnTabFlightplannerGetRouteVatRoute);
    connect(ui.pushButton_record, &QPushButton::clicked, this, &Aerovane_Pro::OnTabFlightRecorderStartStopRecord);
    connect(ui.pushButton_resetflight, &QPushButton::clicked, this, &Aerovane_Pro::OnTabFlightRecorderResetFlight);
    connect(ui.checkBox_record_autostart, &QCheckBox::clicked, this, &Aerovane_Pro::OnTabFlightRecorderAutostart);
    connect(ui.toolButton_showflights, &QToolButton::clicked, this, &Aerovane_Pro::OnTabFlightRecorderShowFlights);
}

bool Aerovane_Pro::IsLinkUp() const
{
    return connectWorker && connectWorker->IsConnected();
}

void Aerovane_Pro::OnTabShowWeather()
{
    Toggle(PageOf(ui, Weather));
}

void Aerovane_Pro::OnTabShowFlightPlanner()
{
    Toggle(PageOf(ui, FlightPlanner));
}

void Aerovane_Pro::OnTabShowLoadeditor()
{
    Toggle(PageOf(ui, LoadEditor));
}

void Aerovane_Pro::OnTabShowFlightRecorder()
{
    Toggle(PageOf(ui, FlightRecorder));
}

void Aerovane_Pro::OnTabShowFlightData()
{
    Toggle(PageOf(ui, FlightData));
    FitOutputArea();
}

void Aerovane_Pro::OnTabShowDebug()
{
    Toggle(PageOf(ui, Debug));
    FitOutputArea();
}

void Aerovane_Pro::FitOutputArea()
{
    // Without a page the output area collapses.
    ui.tabWidget_Output->setFixedHeight(ui.tabWidget_Output->count() > 0 ? kOutputAreaHeight : 0);
}

void Aerovane_Pro::OnTabMainCloseRequest(int index)
{
    CloseTab(ui, ui.tabWidgetMain, index, {Weather, FlightPlanner, LoadEditor, FlightRecorder});
}

void Aerovane_Pro::OnTabOutputCloseRequest(int index)
{
    CloseTab(ui, ui.tabWidget_Output, index, {FlightData, Debug});
}

void Aerovane_Pro::OnMainTabChanged(int)
{
    const QWidget* current = ui.tabWidgetMain->currentWidget();
    const QString name = current ? current->objectName() : QString();
    if (name == QLatin1String("tab_LoadEditor")) {
        OnTabLoadEditorRefresh();
    } else if (name == QLatin1String("tab_recorder") && IsLinkUp()) {
        AddJob(JobGetFuel, QStringLiteral("Get Fuel"));
        AddJob(JobGetAircraftDetail, QStringLiteral("Get AC-Details"));
    }
}

void Aerovane_Pro::RestoreTabs()
{
    for (Page page : {FlightRecorder, FlightPlanner, LoadEditor, Weather, FlightData, Debug}) {
        const TabPage row = PageOf(ui, page);
        const int index = row.tabs->indexOf(row.page);
        const bool shown = row.load();
        if (index >= 0 && shown) {
            row.action->setChecked(true);
            row.store(true);
        } else if (index >= 0) {
            Hide(row, index);
        } else if (shown) {
            row.tabs->addTab(row.page, row.title);
            row.action->setChecked(true);
            row.store(true);
        }
    }
}

void Aerovane_Pro::OnStayOnTop()
{
    // The stored setting decides, not the action's state.
    const bool onTop = !CSettings::GetStayOnTop();
    ui.actionViewStay_On_Top->setChecked(onTop);
    CSettings::SetStayOnTop(onTop);
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // A new window flag hides the window until it is shown again.
    if (visible)
        show();
}

void Aerovane_Pro::OnOption()
{
    QPointer<DialogOption> dialog = new DialogOption(this);
    dialog->exec();
    delete dialog;
    ui.tableViewDirectWindControl->setEnabled(CSettings::GetWindDwc());
}

void Aerovane_Pro::OnSimpleConfigurator()
{
    QPointer<DlgConfigurator> dialog = new DlgConfigurator(this);
    dialog->exec();
    delete dialog;
}

void Aerovane_Pro::OnDlgAircraftConfig()
{
    QPointer<CAircraftConfigDlg> dialog = new CAircraftConfigDlg(this, this);
    dialog->exec();
    const QString saved = dialog ? dialog->SavedProfileName() : QString();
    delete dialog;
    // New or changed profiles appear in the selector, a saved one selected.
    FillAircraftCombo();
    if (!saved.isEmpty())
        SelectAircraftProfile(saved);
}

void Aerovane_Pro::OnWxFinderDlg()
{
    QPointer<WxFinderDlg> dialog = new WxFinderDlg(this);
    dialog->Exec(weatherWorker->GetWeatherManager());
    delete dialog;
}

void Aerovane_Pro::OnWxFileDlgOpen()
{
    QPointer<WxFileDialog> dialog = new WxFileDialog(this, WxFileDialog::Load, QString(), QString(), QString());
    const int result = dialog->exec();
    if (!dialog)
        return;
    const QString metar = dialog->GetMetar();
    const QString synop = dialog->GetSynop();
    const QString grib = dialog->GetGrib();
    delete dialog;
    // Accepted without a file read there is nothing to load: the weather held and its source stay.
    if (result != QDialog::Accepted || (metar.isEmpty() && synop.isEmpty() && grib.isEmpty()))
        return;
    weatherWorker->LoadWeatherFromText(metar, synop, grib);
    weatherWorker->SetWeatherSource(WeatherDataStored);
}

void Aerovane_Pro::OnWxFileDlgSave()
{
    aviation::weather::CWeatherManager* manager = weatherWorker->GetWeatherManager();
    const QString metar = QString::fromStdWString(manager->aviation::weather::CMetarManager::GetAllRaw());
    const QString synop = QString::fromStdWString(manager->aviation::weather::CSynopManager::GetAllRaw());
    const QString grib = QString::fromStdWString(manager->aviation::weather::CGribManager::GetAllRaw());
    QPointer<WxFileDialog> dialog = new WxFileDialog(this, WxFileDialog::Save, metar, synop, grib);
    dialog->exec();
    delete dialog;
}

void Aerovane_Pro::OnOpenWiki()
{
    platform::Launcher().Open(QStringLiteral("open"), QString::fromLatin1(ProductAddresses::kManualPage));
}

void Aerovane_Pro::OnShowUserButtons() { }

void Aerovane_Pro::OnTabFlightRecorderStartStopRecord()
{
    CTab_Flightrecorder* recorder = ui.tab_recorder;
    if (recorder->IsRecording()) {
        recorder->SetRecording(false);
        ui.pushButton_record->setText(QStringLiteral("Start Recorder Flight"));
        ui.pushButton_resetflight->setEnabled(false);
    } else {
        recorder->SetRecording(true);
        flightTracker.Reset();
        ui.pushButton_record->setText(QStringLiteral("Stop Recorder Flight"));
        ui.pushButton_resetflight->setEnabled(true);
    }
}

void Aerovane_Pro::OnTabFlightRecorderAutostart(bool autostart)
{
    CSettings::SetFlightAutoStart(autostart);
    if (!autostart)
        return;
    ui.tab_recorder->SetRecording(false);
    OnTabFlightRecorderStartStopRecord();
}

void Aerovane_Pro::OnTabFlightRecorderResetFlight()
{
    OnTabFlightRecorderStartStopRecord();
    flightTracker.Reset();
    ui.tab_recorder->ClearFields();
    if (IsLinkUp()) {
        AddJob(JobGetFuel, QStringLiteral("Get Fuel"));
        AddJob(JobGetAircraftDetail, QStringLiteral("Get AC-Details"));
    }
}

void Aerovane_Pro::OnTabFlightRecorderShowFlights()
{
    ui.tab_recorder->ShowFlights();
}

void Aerovane_Pro::OnTabFlightplannerAlternateChange(const QString& text)
{
    ui.tab_flightplanner->AlternateChange(text);
}

void Aerovane_Pro::OnTabFlightplannerDepartureChange(const QString& text)
{
    ui.tab_flightplanner->DepartureChange(text);
}

void Aerovane_Pro::OnTabFlightplannerDestinationChange(const QString& text)
{
    ui.tab_flightplanner->DestinationChange(text);
}

void Aerovane_Pro::OnTabFlightplannerCruisingLevelChanged()
{
    ui.tab_flightplanner->CruisingLevelChanged();
}

void Aerovane_Pro::OnTabFlightplannerButtonImportFP()
{
    ui.tab_flightplanner->ImportFP();
}

void Aerovane_Pro::OnTabFlightplannerButtonCalculateFP()
{
    ui.tab_flightplanner->CalculateFP();
}

void Aerovane_Pro::OnTabFlightplannerPrintFP()
{
    ui.tab_flightplanner->PrintFP();
}

void Aerovane_Pro::OnTabFlightplannerReset()
{
    ui.tab_flightplanner->Reset();
}

void Aerovane_Pro::OnTabFlightplannerPushButtonExportFP()
{
    ui.tab_flightplanner->ExportFP();
}

void Aerovane_Pro::OnTabFlightplannerGetRouteVatRoute()
{
    ui.tab_flightplanner->GetRouteVatRoute();
}

void Aerovane_Pro::OnTabLoadEditorAccept()
{
    const aviation::structs::CAircraftFuel fuel = ui.tab_LoadEditor->GetFuel();
    const aviation::structs::CAircraftPayload payload = ui.tab_LoadEditor->GetPayload();
    // Writes queued without a link would only be dropped at the next connect.
    if (IsLinkUp()) {
        connectWorker->SetFuel(fuel);
        AddJob(JobSetFuel, QStringLiteral("Set Fuel"));
        connectWorker->SetPayload(payload);
        AddJob(JobSetPayload, QStringLiteral("Set Payload"));
    }
    ui.tabWidgetMain->setCurrentIndex(0);
}

void Aerovane_Pro::OnTabLoadEditorRefresh()
{
    if (IsLinkUp())
        AddJob(JobGetPayload, QStringLiteral("Get Payload"));
}
