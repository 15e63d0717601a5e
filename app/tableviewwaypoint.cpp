#include "app/tableviewwaypoint.h"

CTableViewWaypoint::CTableViewWaypoint(QWidget* parent)
    : QTableView(parent)
{
}
