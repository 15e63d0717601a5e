#include "app/tableviewlevelinfo.h"

CTableViewLevelInfo::CTableViewLevelInfo(QWidget* parent)
    : QTableView(parent)
{
}
