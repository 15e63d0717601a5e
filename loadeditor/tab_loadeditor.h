// The load editor page of the main window: one row per fuel tank and payload station in two host widgets, the
// resulting weights, and the buttons that read, reset and send the loads. The window's form creates the page and
// its widgets; the page reaches them through the form once the window has handed itself over with Init.
#pragma once

#include "simlink/aircraftdetail.h"
#include "simlink/aircraftfuel.h"

#include <QWidget>

class Aerovane_Pro;
class CConnectWorker;
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

    // Called once by the window after its form is built: lays out the two host widgets and connects the
    // page's Apply, Cancel and Refresh buttons.
    void Init(Aerovane_Pro* window, CConnectWorker* worker);

    // The simulator's fuel tanks, as last read; the fuel record GetFuel hands to the "Set Fuel" job.
    void SetFuel(const aviation::structs::CAircraftFuel& fuel);
    // The aircraft the simulator reports, whose profile gives the empty weight and the passenger display.
    void SetAircraftDetails(const aviation::structs::CAircraftDetail& aircraft);
    aviation::structs::CAircraftFuel GetFuel() const { return m_fuel; }
    aviation::structs::CAircraftPayload GetPayload() const { return m_payload; }

public slots:
    // Sending, resetting and reading the loads work on the page's fuel and payload rows and on the connection
    // worker; until the page has those, the buttons leave it as it is.
    void OnButtonApply();
    void OnButtonCancel();
    void OnButtonRefresh();

private:
    Aerovane_Pro* m_window = nullptr;
    CConnectWorker* m_connectWorker = nullptr;
    Ui::Aerovane_ProClass* m_form = nullptr;
    aviation::structs::CAircraftFuel m_fuel;
    aviation::structs::CAircraftPayload m_payload;
    QVBoxLayout* m_fuelLayout = nullptr;
    QVBoxLayout* m_payloadLayout = nullptr;
};
