#include "app/tableviewlevelinfo.h"

#include "tablecontent.h"

#include <gtest/gtest.h>

using aviation::weather::CGrib;
using aviation::weather::CLevel;
using aviation::weather::CWind;

TEST(TableViewLevelInfo, ShowsADecodedGridPointsLevelsThenTropopauseAndMaximumWind)
{
    // Near Frankfurt: levels from 1000 to 100 hPa, the maximum wind (77) and the tropopause (88) last.
    CGrib grib(L"GRIB 06110 00012 99501 10086 99014 12440 27015 0000118 11420 28225 9200768 07825 28135 8501468 "
               L"03430 28449 7003018 04954 28557 5005578 21156 29380 4007198 31758 29992 3009168 45560 66315 "
               L"2510368 52360 66621 2011798 55762 65709 1513618 56964 28977 1016188 59166 28547 7711369 55756 "
               L"66018 8811360 57760 30096 L6123 M6000",
               false);
    ASSERT_TRUE(grib.Decode(false));
    CTableViewLevelInfo view;
    view.SetLevelInfo(grib);
    QStringList pressures;
    for (const QStringList& row : AllRows(view))
        pressures << row[1];
    EXPECT_EQ(pressures,
              QStringList({"1000 mb", "925 mb", "850 mb", "700 mb", "500 mb", "400 mb", "300 mb", "250 mb", "200 mb",
                           "150 mb", "100 mb", "Tropo", "max Wind"}));
    EXPECT_EQ(RowTexts(view, 4).mid(0, 6),
              QStringList({"18300 ft", "500 mb", U8("293°"), "80.0 kt", U8("-21.1 °C"), U8("-27.1 °C")}));

    // A point without levels leaves the headers alone.
    view.SetLevelInfo(CGrib());
    EXPECT_EQ(view.model()->rowCount(), 0);
    EXPECT_EQ(HeaderTexts(view), QStringList({"Level", "Press", "Dir", "Speed", "Temp", "Dew", "Humi"}));
}

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
}
