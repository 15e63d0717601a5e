#include "planner/dlgflightplans.h"

#include <QPushButton>
#include <QTableWidgetItem>

DlgFlightplans::DlgFlightplans(const std::vector<aviation::CFlightplan>& candidates, QWidget* parent, QString title)
    : QDialog(parent)
    , m_candidates(candidates)
{
    m_ui.setupUi(this);
    if (!title.isEmpty())
        setWindowTitle(title);
    m_ui.buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);
    connect(m_ui.tableWidget, &QTableWidget::cellDoubleClicked, this, &DlgFlightplans::OnCellDoubleClicked);
    connect(m_ui.tableWidget, &QTableWidget::cellClicked, this, &DlgFlightplans::OnSelectedRow);
    FillTable();
}

DlgFlightplans::~DlgFlightplans() = default;

void DlgFlightplans::FillTable()
{
    if (m_candidates.empty())
        return;
    m_ui.label_dep->setText(QString::fromStdWString(m_candidates.front().departure.GetIdent()));
    m_ui.label_dest->setText(QString::fromStdWString(m_candidates.front().destination.GetIdent()));
    QTableWidget* table = m_ui.tableWidget;
    for (const aviation::CFlightplan& candidate : m_candidates) {
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, 0, new QTableWidgetItem(QString::fromStdWString(candidate.flightLevel)));
        table->setItem(row, 1, new QTableWidgetItem(QString::fromStdWString(candidate.title)));
        table->setItem(row, 2, new QTableWidgetItem(QString::fromStdWString(candidate.remarks)));
        table->resizeColumnsToContents();
    }
}

void DlgFlightplans::OnSelectedRow(int row, int /*column*/)
{
    m_selectedRow = row;
    m_ui.buttonBox->button(QDialogButtonBox::Ok)->setEnabled(true);
}

void DlgFlightplans::OnCellDoubleClicked(int row, int /*column*/)
{
    m_selectedRow = row;
    accept();
}
