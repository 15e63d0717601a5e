// The aircraft editor, in which the user creates and edits the aircraft profiles of the "AircraftConfigs"
// folder: identity, weights, passenger display, payload stations, fuel figures, speeds and rates. It starts from
// the simulator's aircraft, a new form, a profile file, or another profile's data under the current identity.
// The main window and the load editor page run it modally and then list the profiles again.
#pragma once

#include "forms/numberfield.h"
#include "simlink/aircraftdetail.h"
#include "ui_dialogaircraftconfigator.h"

#include <QDialog>
#include <QList>

#include <utility>
#include <vector>

class CMainWindowHost;
class QComboBox;
class QLabel;
class QLineEdit;

// One row of the payload station grid; its widgets are children of the scrolled widget of the stations.
struct PayloadRow
{
    QLabel* name = nullptr;
    QLabel* weightLabel = nullptr;
    float weight = 0.0f; // lb, the simulator's load
    QLineEdit* maxWeight = nullptr;
    QComboBox* type = nullptr;
};

class CAircraftConfigDlg : public QDialog, public Ui::DialogAircraftConfigator
{
    Q_OBJECT

public:
    // `window` gives the simulator's connection state and aircraft for "Load Data from FS"; may be null.
    explicit CAircraftConfigDlg(CMainWindowHost* window, QWidget* parent = nullptr);
    ~CAircraftConfigDlg() override;

    // Writes the edited record into the form, in the units set now.
    void ShowAircraft();
    // Reads the form into the edited record; a field that holds no number of its range counts as 0.
    void ReadForm();
    // Marks every number field that holds no number of its range; a line per such field, naming it and why.
    QStringList FormProblems();
    // Takes the simulator's aircraft into the form and offers its profile when one exists.
    void SetAircraftFromSim(const aviation::structs::CAircraftDetail& aircraft);
    // Whether an aircraft editor is on the screen.
    static bool AnyOpen();
    // The aircraft name the dialog last saved its profile under; empty before a save.
    QString SavedProfileName() const { return m_savedProfileName; }

public slots:
    // Loads a profile into the record and the form: by aircraft name (the name field's text when empty), or
    // with `isPath` by the file's full path. A missing file is reported with "Aircraft not found".
    void OnLoadConfig(const QString& name = QString(), bool isPath = false);
    // Writes the record as it stands (the form is not read) to the file.
    void OnSaveConfig(const QString& path);
    // Saves the form under the aircraft's name and closes the dialog; an empty name, a number field that holds no
    // number of its range or a file that could not be written is reported and the dialog stays open with what was
    // typed, nothing written.
    void OnSave();
    void OnCancel();
    void OnLoadDataFromFS();
    void OnToolLoadAircraft();
    void OnToolNewAircraft();
    void OnToolImportAircraft();

private:
    void RemovePayloadRows();
    void ZeroNumberFields();
    void AddPayloadRow(const aviation::structs::CAircraftPayloadStation& station);
    // One number field of the form with the record field it shows and the range it takes in the units shown.
    template<typename Value> struct NumberField
    {
        QLineEdit* field;
        Value* value;
        NumberRange range;
    };
    std::vector<NumberField<float>> WeightFields();
    std::vector<NumberField<float>> FuelFields();
    std::vector<NumberField<int>> IntegerFields();
    // The file chooser of "Load Aircraft" and "Import Aircraft"; empty when cancelled.
    QString ChooseProfile();

    CMainWindowHost* m_window;
    aviation::structs::CAircraftDetail m_aircraft;
    QList<PayloadRow> m_rows;
    QString m_savedProfileName;
};
