// The aircraft editor, in which the user creates and edits the aircraft profiles of the "AircraftConfigs"
// folder; the main window runs it modally and then lists the profiles again.
#pragma once

#include <QDialog>

class CAircraftConfigDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAircraftConfigDlg(QWidget* parent = nullptr);
    ~CAircraftConfigDlg() override;
};
