// The load editor page of the main window: one fuel gauge per tank and one payload gauge per station in two host
// widgets, the resulting weights, and the buttons that read, reset and send the loads. The window's form creates
// the page and its widgets; the page reaches them through the form once the window has handed itself over with
// Init.
#pragma once

#include "simlink/aircraftdetail.h"
#include "simlink/aircraftfuel.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class CConnectWorker;
class CFuelBox;
class CMainWindowHost;
class CPaxeBox;
class QVBoxLayout;
namespace Ui {
class Aerovane_ProClass;
}

class CTab_LoadEditor : public QWidget
{
    Q_OBJECT

public:
    explicit CTab_LoadEditor(QWidget* parent = nullptr);
    ~CTab_LoadEditor() override;

    // Called once by the window after its form is built: lays out the two host widgets, connects the page's
    // Apply, Cancel and Refresh buttons (and only the page's: the loads are sent once per Apply) and listens to the
    // worker for the fate of the loads it sends.
    void Init(CMainWindowHost* window, CConnectWorker* worker);

    // The simulator's fuel tanks: one gauge per tank, or the status "No Fuel. FS not connected or FS is not
    // ready!" when there is none.
    void SetFuel(const aviation::structs::CAircraftFuel& fuel);
    // One gauge per station; a passenger station counts heads when the profile says so.
    void SetPayload(const aviation::structs::CAircraftPayload& payload);
    // The aircraft the simulator reports: its profile gives the empty weight, the passenger display and the
    // stations' maxima and kinds; without a profile the page offers the aircraft editor (unless one is open) and
    // keeps the profile it shows (the current one when it had none). A profile saved later for this aircraft shows
    // at once.
    void SetAircraftDetails(const aviation::structs::CAircraftDetail& aircraft);
    aviation::structs::CAircraftFuel GetFuel() const { return m_fuel; }
    aviation::structs::CAircraftPayload GetPayload() const { return m_payload; }

    void AddFuelRow(const QString& name, int tankId, double capacity, double level);
    void AddPayloadRow(const QString& name, double value, double maximum, bool passengerMode, int id);

public slots:
    // Takes the gauges into the fuel and payload records; while connected queues "Set Fuel" and "Set Payload" and
    // says in the status line that they were sent once both have run without a failure, and which failed
    // otherwise. Without a link it queues nothing and says the loads were not sent (a later Apply sends them),
    // until the link comes up.
    void OnButtonApply();
    // The gauges return to the values last received or applied.
    void OnButtonCancel();
    // While connected, queues "Get Payload"; the window hands the answer back through SetFuel and
    // SetAircraftDetails.
    void OnButtonRefresh();
    // Recomputes the fuel, payload and total weights in the units set now.
    void OnSliderChanged();

protected:
    // The first display shows the current profile (the one the tool bar or the simulator's aircraft loaded) when
    // the page has none yet, so the total weight holds its empty weight.
    void showEvent(QShowEvent* event) override;

private:
    void OfferAircraftEditor();
    // Without a profile of its own the page takes the current one, if any.
    void AdoptCurrentProfile();
    // The profile's name and empty weight, and the totals with it.
    void ShowProfile();
    void OnProfileSaved(const QString& path, const aviation::structs::CAircraftDetail& profile);
    // Why the status line says what it says: a line about a missing link clears when the link comes up.
    enum class StatusCause { Other, NoLink };
    void ShowStatus(const QString& text, StatusCause cause = StatusCause::Other);
    // A write the link did not carry out, or the link lost while the page's writes still waited.
    void OnWriteFailed(int type);
    void OnJobFinished(int type);
    void OnLinkSignal(int code);

    CMainWindowHost* m_window = nullptr;
    CConnectWorker* m_connectWorker = nullptr;
    Ui::Aerovane_ProClass* m_form = nullptr;
    aviation::structs::CAircraftDetail m_profile;
    // The name of the aircraft the simulator reported last.
    QString m_aircraftInUse;
    aviation::structs::CAircraftFuel m_fuel;
    aviation::structs::CAircraftPayload m_payload;
    QList<CFuelBox*> m_fuelBoxes;
    QList<CPaxeBox*> m_paxeBoxes;
    double m_fuelWeight = 0.0; // lb per US gallon
    // The writes queued and not yet reported finished, and those of the last Apply the link did not carry out.
    int m_writesWaiting = 0;
    QStringList m_failedWrites;
    StatusCause m_statusCause = StatusCause::Other;
    QVBoxLayout* m_fuelLayout = nullptr;
    QVBoxLayout* m_payloadLayout = nullptr;
};
