#include "app/tableviewlevelinfo.h"

#include "tablecontent.h"

#include <gtest/gtest.h>

using aviation::weather::CGrib;
using aviation::weather::CLevel;
using aviation::weather::CWind;

TEST(TableViewLevelInfo, RowsOnlyForLevelsWithDataAndNamedLevelsLast)
{
    CLevel speedOnly; // the speed is not looked at: no data
    speedOnly.speed = 25.0;
    const CLevel low(3000, CWind(240.0, 18.0), 8.0, 2.0, 908.0f, 65.5);
    const CLevel unset(6000, CWind(250.0, 24.0), CLevel::kNoTemperature, CLevel::kNoTemperature, -1.0f, -1.0);
    const CLevel tropopause(2000, CWind(260.0, 30.0), -56.5, 99.0, -1.0f, -1.0);
    const CLevel maxWind(1000, CWind(270.0, 95.0), -50.0, 99.0, -1.0f, -1.0);

    CTableViewLevelInfo view;
    view.SetLevels({speedOnly, low, unset}, tropopause, maxWind);
    const QList<QStringList> expected = {
        {"3000 ft", "908 mb", U8("240°"), "18.0 kt", U8("8.0 °C"), U8("2.0 °C"), "65.5"},
        {"6000 ft", "-1 mb", U8("250°"), "24.0 kt", U8("-99.0 °C"), U8("-99.0 °C"), "-1.0"},
        {"2000 ft", "Tropo", U8("260°"), "30.0 kt", U8("-56.5 °C"), "n/a", "n/a"},
        {"1000 ft", "max Wind", U8("270°"), "95.0 kt", U8("-50.0 °C"), "n/a", "n/a"},
    };
    EXPECT_EQ(AllRows(view), expected);

    // A point without levels leaves the headers alone.
    view.SetLevelInfo(CGrib());
    EXPECT_EQ(view.model()->rowCount(), 0);
    EXPECT_EQ(HeaderTexts(view), QStringList({"Level", "Press", "Dir", "Speed", "Temp", "Dew", "Humi"}));
}
