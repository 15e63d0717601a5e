// The Flight Data page's grid of the winds the direct wind control steers between: the wind the weather data
// give at the aircraft, the wind set now and the gust added to it. Greyed while the control is idle.
#pragma once

#include "generation/directwindcontrol.h"

#include <QStandardItemModel>
#include <QTableView>

#include <memory>

class CTableViewDirectWindControl : public QTableView
{
    Q_OBJECT

public:
    explicit CTableViewDirectWindControl(QWidget* parent = nullptr);
    ~CTableViewDirectWindControl() override;

    // Enables the grid when the control became active, disables it when it stopped, and shows its three winds.
    void SetDirectWindControl(const CDirectWindControl& control, bool active);

private:
    void InitHeader();

    std::shared_ptr<QStandardItemModel> m_model;
    bool m_active = false;
};
