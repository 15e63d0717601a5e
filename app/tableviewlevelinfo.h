// The Weather page's grid of the wind and temperature levels above the station shown: one row per level of
// the grid point, then its tropopause and its strongest wind.
#pragma once

#include "weather/grib.h"

#include <QStandardItemModel>
#include <QTableView>

#include <memory>
#include <vector>

class CTableViewLevelInfo : public QTableView
{
    Q_OBJECT

public:
    explicit CTableViewLevelInfo(QWidget* parent = nullptr);
    ~CTableViewLevelInfo() override;

    // Replaces the rows with the grid point's levels that hold data.
    void SetLevelInfo(const aviation::weather::CGrib& grib);
    // The same for a profile given level by level: the levels in order, then the tropopause and the maximum wind,
    // each row only for a level that holds data.
    void SetLevels(const std::vector<aviation::weather::CLevel>& levels, const aviation::weather::CLevel& tropopause,
                   const aviation::weather::CLevel& maxWind);

private:
    void InitHeader();

    std::shared_ptr<QStandardItemModel> m_model;
};
