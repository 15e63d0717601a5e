#include "app/tableviewdirectwindcontrol.h"

#include "app/tablecells.h"

#include <QHeaderView>

using aviation::weather::CLevel;
using tablecells::CenteredItem;

namespace {

constexpr int kColumnCount = 3;
constexpr int kColumnWidth = 100;

QString WindText(const CLevel& level)
{
    return QString::asprintf("%03.01f%c/%.01fKT", level.direction, tablecells::kDegreeSign, level.speed);
}

} // namespace

CTableViewDirectWindControl::CTableViewDirectWindControl(QWidget* parent)
    : QTableView(parent)
    , m_model(std::make_shared<QStandardItemModel>(this))
{
    InitHeader();
    setModel(m_model.get());
    horizontalHeader()->setStretchLastSection(true);
    for (int column = 0; column < kColumnCount; ++column)
        setColumnWidth(column, kColumnWidth);
}

CTableViewDirectWindControl::~CTableViewDirectWindControl()
{
    m_model.reset();
}

void CTableViewDirectWindControl::InitHeader()
{
    m_model->setHorizontalHeaderLabels({"DWC calculated", "DWC current", "DWC-Turbulence"});
}

void CTableViewDirectWindControl::SetDirectWindControl(const CDirectWindControl& control, bool active)
{
    // Only a change of the control's state touches the grid's, so a grid never activated stays enabled.
    if (!m_active && active)
        setEnabled(true);
    else if (m_active && !active)
        setEnabled(false);
    m_active = active;

    m_model->setItem(0, 0, CenteredItem(WindText(control.GetCalculatedLevel())));
    m_model->setItem(0, 1, CenteredItem(WindText(control.GetCurrentLevel())));
    m_model->setItem(0, 2, CenteredItem(WindText(control.GetTurbulenceLevel())));
    tablecells::FitColumnsToContents(*this);
}
