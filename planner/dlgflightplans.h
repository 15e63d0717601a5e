// The route picker: lists route candidates (flight level, route, remarks) under the first candidate's departure
// and destination; a click enables OK, a double click picks the row at once.
#pragma once

#include "flightplan/flightplan.h"
#include "ui_dialog_flightplans.h"

#include <QDialog>
#include <QString>

#include <vector>

class DlgFlightplans : public QDialog
{
    Q_OBJECT

public:
    // Keeps a copy of the candidates; an empty title keeps the form's own.
    DlgFlightplans(const std::vector<aviation::CFlightplan>& candidates, QWidget* parent, QString title);
    ~DlgFlightplans() override;

    // The row last clicked or double-clicked, -1 before any.
    int GetSelectedRow() const { return m_selectedRow; }

private:
    void FillTable();
    void OnSelectedRow(int row, int column);
    void OnCellDoubleClicked(int row, int column);

    Ui::Dialog_Flightplans m_ui;
    std::vector<aviation::CFlightplan> m_candidates;
    int m_selectedRow = -1;
};
