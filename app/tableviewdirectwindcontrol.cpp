#include "app/tableviewdirectwindcontrol.h"

CTableViewDirectWindControl::CTableViewDirectWindControl(QWidget* parent)
    : QTableView(parent)
{
}
