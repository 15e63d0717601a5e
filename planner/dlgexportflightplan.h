// The export options: which flight plan formats to write (FS9, FSX/P3D, Airbus X, X-Plane, SquawkBox) and the
// folder of each. The switches are stored when the dialog goes, whether it was accepted or not; a folder picked
// with a row's "..." button is stored at once, a typed one never.
#pragma once

#include "ui_dialogexportflightplan.h"

#include <QDialog>

class DlgExportFlightplan : public QDialog
{
    Q_OBJECT

public:
    explicit DlgExportFlightplan(QWidget* parent = nullptr);
    ~DlgExportFlightplan() override;

    // The form, whose check boxes the export reads after the dialog ran.
    const Ui::DialogExportFlightPlan& Form() const { return m_ui; }

private slots:
    void OnShowFolderDlg();

private:
    Ui::DialogExportFlightPlan m_ui;
};
