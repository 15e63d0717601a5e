#include "app/tableviewlevelinfo.h"

#include "tablecontent.h"

#include <vector>

using aviation::weather::CGrib;
using aviation::weather::CLevel;
using aviation::weather::CWind;

namespace {

// A grid point near Frankfurt as the weather server sends it: surface, pressure levels from 1000 to 100 hPa,
// the maximum wind (77) at 11369 m and the tropopause (88) at 11360 m.
const wchar_t kFrankfurtGrid[]
    = L"GRIB 06110 00012 99501 10086 99014 12440 27015 0000118 11420 28225 9200768 07825 28135 8501468 03430 28449 "
      L"7003018 04954 28557 5005578 21156 29380 4007198 31758 29992 3009168 45560 66315 2510368 52360 66621 2011798 "
      L"55762 65709 1513618 56964 28977 1016188 59166 28547 7711369 55756 66018 8811360 57760 30096 L6123 M6000";

QStringList Column(const QTableView& view, int column)
{
    QStringList texts;
    for (const QStringList& row : AllRows(view))
        texts << row[column];
    return texts;
}

} // namespace

TEST(TableViewLevelInfo, ShowsTheLevelsOfADecodedGridPointThenTropopauseAndMaximumWind)
{
    CGrib grib(kFrankfurtGrid, false);
    ASSERT_TRUE(grib.Decode(false));
    CTableViewLevelInfo view;
    EXPECT_EQ(HeaderTexts(view), QStringList({"Level", "Press", "Dir", "Speed", "Temp", "Dew", "Humi"}));

    view.SetLevelInfo(grib);
    EXPECT_EQ(Column(view, 1),
              QStringList({"1000 mb", "925 mb", "850 mb", "700 mb", "500 mb", "400 mb", "300 mb", "250 mb", "200 mb",
                           "150 mb", "100 mb", "Tropo", "max Wind"}));
    // The 500 hPa level: 5578 m, 21.1 °C below zero with a dew point 6 degrees lower, 293°/80 kt.
    EXPECT_EQ(RowTexts(view, 4).mid(0, 6),
              QStringList({"18300 ft", "500 mb", U8("293°"), "80.0 kt", U8("-21.1 °C"), U8("-27.1 °C")}));
    EXPECT_EQ(RowTexts(view, 11).mid(4), QStringList({U8("-57.7 °C"), "n/a", "n/a"}));
    EXPECT_EQ(view.model()->index(0, 0).data(Qt::TextAlignmentRole), QVariant());

    // A point without any level empties the grid down to its headers.
    view.SetLevelInfo(CGrib());
    EXPECT_EQ(view.model()->rowCount(), 0);
    EXPECT_EQ(view.model()->columnCount(), 7);
}

TEST(TableViewLevelInfo, RowsOnlyForLevelsWithDataAndNamedLevelsLast)
{
    CLevel speedOnly;
    speedOnly.speed = 25.0;
    const CLevel low(3000, CWind(240.0, 18.0), 8.0, 2.0, 908.0f, 65.5);
    // Known wind and height only: the unset pressure, temperatures and humidity print as their numbers.
    const CLevel partial(6000, CWind(250.0, 24.0), CLevel::kNoTemperature, CLevel::kNoTemperature, -1.0f, -1.0);
    const CLevel tropopause(2000, CWind(260.0, 30.0), -56.5, 99.0, -1.0f, -1.0);
    const CLevel maxWind(1000, CWind(270.0, 95.0), -50.0, 99.0, -1.0f, -1.0);

    CTableViewLevelInfo view;
    view.SetLevels({speedOnly, low, partial}, tropopause, maxWind);
    const QList<QStringList> expected = {
        {"3000 ft", "908 mb", U8("240°"), "18.0 kt", U8("8.0 °C"), U8("2.0 °C"), "65.5"},
        {"6000 ft", "-1 mb", U8("250°"), "24.0 kt", U8("-99.0 °C"), U8("-99.0 °C"), "-1.0"},
        {"2000 ft", "Tropo", U8("260°"), "30.0 kt", U8("-56.5 °C"), "n/a", "n/a"},
        {"1000 ft", "max Wind", U8("270°"), "95.0 kt", U8("-50.0 °C"), "n/a", "n/a"},
    };
    EXPECT_EQ(AllRows(view), expected);

    // Named levels without data give no row either.
    view.SetLevels({low}, speedOnly, CLevel());
    EXPECT_EQ(Column(view, 1), QStringList({"908 mb"}));
}
