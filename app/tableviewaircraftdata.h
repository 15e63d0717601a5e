// The Flight Data page's grid of the aircraft's latest state as the simulator reports it: one row, rewritten
// with every sample.
#pragma once

#include "simlink/aircraft.h"

#include <QStandardItemModel>
#include <QTableView>

#include <memory>

class CTableViewAircraftData : public QTableView
{
    Q_OBJECT

public:
    explicit CTableViewAircraftData(QWidget* parent = nullptr);
    ~CTableViewAircraftData() override;

    // Replaces the row's cells with the sample's values.
    void SetAircraftData(const aviation::structs::CAircraft& aircraft);

private:
    void InitHeader();

    std::shared_ptr<QStandardItemModel> m_model;
};
