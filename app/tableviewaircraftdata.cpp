#include "app/tableviewaircraftdata.h"

CTableViewAircraftData::CTableViewAircraftData(QWidget* parent)
    : QTableView(parent)
{
}
