#include "loadeditor/tab_loadeditor.h"

#include "forms/mainwindowform.h"
#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "loadeditor/aircraftconfigdlg.h"
#include "loadeditor/aircraftprofile.h"
#include "loadeditor/fuelbox.h"
#include "loadeditor/paxebox.h"
#include "settings/settings.h"
#include "simlink/connectworker.h"
#include "simlink/job.h"

#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr double kLitersPerGallon = 3.78541178;
constexpr double kKgPerPound = 0.4535924;
// A passenger counts this many pounds.
constexpr double kPassengerWeight = 240.0;
constexpr int kPassengerStation = 2;

QVBoxLayout* MakeRowLayout(QWidget* host)
{
    auto* layout = new QVBoxLayout(host);
    layout->setSpacing(1);
    layout->setContentsMargins(2, 2, 2, 2);
    return layout;
}

template<typename Box> void RemoveBoxes(QList<Box*>& boxes, QVBoxLayout* layout)
{
    for (Box* box : boxes) {
        if (layout)
            layout->removeWidget(box);
        delete box;
    }
    boxes.clear();
}

} // namespace

CTab_LoadEditor::CTab_LoadEditor(QWidget* parent)
    : QWidget(parent)
{
    // A widget class of its own draws no style-sheet background unless asked to; the form gives the page one.
    setAttribute(Qt::WA_StyledBackground, true);
    connect(&CAircraftProfileSaves::Instance(), &CAircraftProfileSaves::sigSaved, this,
            &CTab_LoadEditor::OnProfileSaved);
}

CTab_LoadEditor::~CTab_LoadEditor() = default;

void CTab_LoadEditor::Init(CMainWindowHost* window, CConnectWorker* worker)
{
    m_window = window;
    m_connectWorker = worker;
    m_form = CMainWindowForm::FormOf(this);
    if (m_form == nullptr)
        return;
    m_fuelLayout = MakeRowLayout(m_form->widget_ScrollMainFuel);
    m_payloadLayout = MakeRowLayout(m_form->widget_ScrollMainPayload);
    connect(m_form->pushButton_Refresh, &QPushButton::clicked, this, &CTab_LoadEditor::OnButtonRefresh);
    connect(m_form->pushButton_Cancel, &QPushButton::clicked, this, &CTab_LoadEditor::OnButtonCancel);
    connect(m_form->pushButton_Apply, &QPushButton::clicked, this, &CTab_LoadEditor::OnButtonApply);
    if (m_connectWorker == nullptr)
        return;
    // The worker reports from its own thread.
    connect(m_connectWorker, &CConnectWorker::sigWriteFailed, this, &CTab_LoadEditor::OnWriteFailed,
            Qt::QueuedConnection);
    connect(m_connectWorker, &CConnectWorker::sigThreadJobFinished, this, &CTab_LoadEditor::OnJobFinished,
            Qt::QueuedConnection);
    connect(m_connectWorker, &CConnectWorker::sigThreadSignal, this, &CTab_LoadEditor::OnLinkSignal,
            Qt::QueuedConnection);
}

void CTab_LoadEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    AdoptCurrentProfile();
}

void CTab_LoadEditor::AdoptCurrentProfile()
{
    if (!m_profile.name.empty())
        return;
    const aviation::structs::CAircraftDetail current = GetCurrentAircraft();
    if (current.name.empty())
        return;
    m_profile = current;
    ShowProfile();
}

void CTab_LoadEditor::ShowProfile()
{
    if (m_form) {
        m_form->lineEdit_AircraftName->setText(QString::fromStdWString(m_profile.name));
        const bool pounds = CSettings::GetUnitsLbs();
        m_form->lineEdit_emptyweight->setText(pounds ? QStringLiteral("%1").arg(m_profile.EmptyWeight)
                                                     : QString::number(m_profile.EmptyWeight * kKgPerPound, 'f', 2));
        m_form->label_lbs_6->setText(pounds ? QStringLiteral("lbs") : QStringLiteral("kg"));
    }
    OnSliderChanged();
}

void CTab_LoadEditor::OnProfileSaved(const QString& path, const aviation::structs::CAircraftDetail& profile)
{
    if (m_aircraftInUse.isEmpty() || path != AircraftProfilePath(m_aircraftInUse))
        return;
    m_profile = profile;
    ShowProfile();
}

void CTab_LoadEditor::ShowStatus(const QString& text, StatusCause cause)
{
    m_statusCause = cause;
    if (m_form)
        m_form->label_Status->setText(text);
}

void CTab_LoadEditor::OnWriteFailed(int type)
{
    m_failedWrites << (type == JobSetFuel ? QStringLiteral("Set Fuel") : QStringLiteral("Set Payload"));
    ShowStatus(QStringLiteral("FS did not take: %1.").arg(m_failedWrites.join(QStringLiteral(", "))));
}

void CTab_LoadEditor::OnJobFinished(int type)
{
    if ((type != JobSetFuel && type != JobSetPayload) || m_writesWaiting == 0)
        return;
    // A failure is reported before its job's end, so the last write's end settles the outcome.
    if (--m_writesWaiting == 0 && m_failedWrites.isEmpty())
        ShowStatus(QStringLiteral("Fuel and payload sent."));
}

void CTab_LoadEditor::OnLinkSignal(int code)
{
    if (code == ThreadConnected && m_statusCause == StatusCause::NoLink) {
        ShowStatus(QString());
        return;
    }
    if (code != ThreadLinkLost || m_writesWaiting == 0)
        return;
    // The link's loss drops the jobs that still wait.
    m_writesWaiting = 0;
    ShowStatus(QStringLiteral("Fuel and payload not sent: the connection to FS was lost."), StatusCause::NoLink);
}

void CTab_LoadEditor::SetFuel(const aviation::structs::CAircraftFuel& fuel)
{
    m_fuel = fuel;
    ShowStatus(QString());
    RemoveBoxes(m_fuelBoxes, m_fuelLayout);
    if (fuel.tanks.empty()) {
        ShowStatus(QStringLiteral("No Fuel. FS not connected or FS is not ready!"));
        return;
    }
    for (const aviation::structs::CAircraftFuelTank& tank : fuel.tanks)
        AddFuelRow(QString::fromStdWString(tank.name), tank.id, tank.capacity, tank.level);
    m_fuelWeight = fuel.GetFuelWeight();
    OnSliderChanged();
}

void CTab_LoadEditor::SetPayload(const aviation::structs::CAircraftPayload& payload)
{
    m_payload = payload;
    RemoveBoxes(m_paxeBoxes, m_payloadLayout);
    for (const aviation::structs::CAircraftPayloadStation& station : payload.stations) {
        const QString name = QString::fromStdWString(station.name);
        if (station.type == kPassengerStation && m_profile.PaxAsPassenger) {
            const float passengers = station.weight / static_cast<float>(kPassengerWeight);
            const float seats = station.maxWeight / static_cast<float>(kPassengerWeight);
            AddPayloadRow(name, passengers, seats, true, 0);
        } else {
            AddPayloadRow(name, station.weight, station.maxWeight, false, 0);
        }
    }
    if (!payload.stations.empty())
        OnSliderChanged();
}

void CTab_LoadEditor::SetAircraftDetails(const aviation::structs::CAircraftDetail& aircraft)
{
    const QString name = QString::fromStdWString(aircraft.name);
    if (name.isEmpty() || name == QLatin1String("Unknow")) {
        Prompter().Ask({PromptKind::Information,
                        QStringLiteral("Aerovane - Load editor"),
                        QStringLiteral("No aircraft found or not loaded aircraft in FS.\nPlease select aircraft in "
                                       "the FS and load flight."),
                        {}});
        return;
    }
    m_aircraftInUse = name;
    if (!LoadAircraftProfile(AircraftProfilePath(name))) {
        AdoptCurrentProfile();
        OfferAircraftEditor();
        SetPayload(aircraft.payload);
        return;
    }
    m_profile = GetCurrentAircraft();
    ShowProfile();
    // The simulator's stations must be the profile's: then each profile station takes the weight of the
    // simulator's station of the same name and place, and the gauges show the profile's maxima and kinds.
    if (aircraft.payload.stations.size() != m_profile.payload.stations.size())
        return;
    for (std::size_t i = 0; i < aircraft.payload.stations.size(); ++i) {
        aviation::structs::CAircraftPayloadStation station = m_profile.payload.stations[i];
        if (station.name != aircraft.payload.stations[i].name)
            continue;
        station.weight = aircraft.payload.stations[i].weight;
        m_profile.payload.SetStation(station, static_cast<unsigned>(i));
    }
    SetPayload(m_profile.payload);
}

void CTab_LoadEditor::OfferAircraftEditor()
{
    // A Yes over an editor that is open would open a second one.
    if (!CSettings::GetInfoAircraftEditor() || CAircraftConfigDlg::AnyOpen())
        return;
    const PromptResult result = Prompter().AskWithCheckBox(
        {PromptKind::Question,
         QStringLiteral("Aircraft Configurator"),
         QStringLiteral("Aircraft Config not found for this Aircraft.\nDo you want to start the Aircraft Editor"),
         {}},
        QStringLiteral("Don't show again."));
    if (result.checkBoxTicked)
        CSettings::SetInfoAircraftEditor(false);
    if (result.answer != PromptAnswer::Yes)
        return;
    QPointer<CAircraftConfigDlg> dialog = new CAircraftConfigDlg(m_window, window());
    dialog->exec();
    const QString saved = dialog ? dialog->SavedProfileName() : QString();
    delete dialog;
    if (!m_window)
        return;
    m_window->FillAircraftCombo();
    if (!saved.isEmpty())
        m_window->SelectAircraftProfile(saved);
}

void CTab_LoadEditor::AddFuelRow(const QString& name, int tankId, double capacity, double level)
{
    auto* box = new CFuelBox(name, tankId, capacity, level, m_form ? m_form->widget_ScrollMainFuel : this);
    m_fuelBoxes.append(box);
    if (m_fuelLayout)
        m_fuelLayout->addWidget(box);
    connect(box, &CFuelBox::sigOnChanged, this, &CTab_LoadEditor::OnSliderChanged);
}

void CTab_LoadEditor::AddPayloadRow(const QString& name, double value, double maximum, bool passengerMode, int id)
{
    auto* box = new CPaxeBox(name, id, value, maximum, m_form ? m_form->widget_ScrollMainPayload : this, passengerMode);
    m_paxeBoxes.append(box);
    if (m_payloadLayout)
        m_payloadLayout->addWidget(box);
    connect(box, &CPaxeBox::sigOnChanged, this, &CTab_LoadEditor::OnSliderChanged);
}

void CTab_LoadEditor::OnSliderChanged()
{
    double gallons = 0.0;
    for (const CFuelBox* box : qAsConst(m_fuelBoxes))
        gallons += box->GetCapacity() * box->GetLevel() / 100.0;
    double payload = 0.0;
    for (const CPaxeBox* box : qAsConst(m_paxeBoxes))
        payload += box->IsPassengerMode() ? box->GetValue() * kPassengerWeight : box->GetValue();
    const double fuelWeight = m_fuelWeight * gallons;
    const float total = static_cast<float>(fuelWeight + m_profile.EmptyWeight + payload);
    if (m_form == nullptr)
        return;

    const bool gallonUnits = CSettings::GetUnitsGallon();
    m_form->lineEdit_fuelTotal->setText(QString::number(gallonUnits ? gallons : gallons * kLitersPerGallon, 'f', 2));
    m_form->label_Gallon->setText(gallonUnits ? QStringLiteral("Gal") : QStringLiteral("Liter"));

    const bool pounds = CSettings::GetUnitsLbs();
    const double factor = pounds ? 1.0 : kKgPerPound;
    const QString unit = pounds ? QStringLiteral("lbs") : QStringLiteral("kg");
    m_form->lineEdit_totalPayloadWeight->setText(QString::number(payload * factor, 'f', 2));
    m_form->lineEdit_totalweight->setText(QString::number(total * factor, 'f', 2));
    m_form->lineEdit_fuelTotalWeight->setText(QString::number(fuelWeight * factor, 'f', 2));
    for (QLabel* label : {m_form->label_Lbs_2, m_form->label_lbs_7, m_form->label_Lbs})
        label->setText(unit);
}

void CTab_LoadEditor::OnButtonApply()
{
    for (const CFuelBox* box : qAsConst(m_fuelBoxes))
        m_fuel.SetTankLevel(box->GetTankId(), box->GetLevel());
    // Gauge i shows station i.
    const int stations = std::min(m_paxeBoxes.size(), static_cast<int>(m_payload.stations.size()));
    for (int i = 0; i < stations; ++i) {
        const CPaxeBox* box = m_paxeBoxes[i];
        aviation::structs::CAircraftPayloadStation station = m_payload.stations[i];
        station.weight
            = static_cast<float>(box->IsPassengerMode() ? box->GetValue() * kPassengerWeight : box->GetValue());
        m_payload.SetStation(station, static_cast<unsigned>(i));
    }
    if (m_connectWorker == nullptr || !m_connectWorker->IsConnected()) {
        ShowStatus(QStringLiteral("Fuel and payload not sent: FS not connected."), StatusCause::NoLink);
        return;
    }
    ShowStatus(QString());
    m_failedWrites.clear();
    // The writes of an earlier Apply that still wait count too: the loads are sent once all have run.
    m_writesWaiting += 2;
    m_connectWorker->SetFuel(m_fuel);
    m_connectWorker->AddJob(CJob(JobSetFuel, QStringLiteral("Set Fuel")));
    m_connectWorker->SetPayload(m_payload);
    m_connectWorker->AddJob(CJob(JobSetPayload, QStringLiteral("Set Payload")));
}

void CTab_LoadEditor::OnButtonCancel()
{
    const aviation::structs::CAircraftFuel fuel = m_fuel;
    const aviation::structs::CAircraftPayload payload = m_payload;
    SetFuel(fuel);
    SetPayload(payload);
}

void CTab_LoadEditor::OnButtonRefresh()
{
    if (m_connectWorker && m_connectWorker->IsConnected())
        m_connectWorker->AddJob(CJob(JobGetPayload, QStringLiteral("Get Payload")));
}
