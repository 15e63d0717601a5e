#include "app/tableviewdirectwindcontrol.h"

#include "platform/clock.h"

#include "tablecontent.h"

#include <gtest/gtest.h>

TEST(TableViewDirectWindControl, ShowsTheCalculatedCurrentAndTurbulenceWinds)
{
    CTableViewDirectWindControl view;
    CDirectWindControl control;
    view.SetDirectWindControl(control, true);
    // Before its first step: nothing calculated, still air set.
    EXPECT_EQ(RowTexts(view, 0), QStringList({U8("-1.0°/-1.0KT"), U8("0.0°/0.0KT"), U8("-1.0°/-1.0KT")}));

    // One step at 3000 ft, where the profile made from a surface wind of 41°/10.34 kt blows 45°/12.34 kt; more
    // than 3000 ft above ground the control adds no gust.
    CDirectWindControl::ResetProgramState();
    const platform::ScopedClock clock(1491555600);
    aviation::weather::CGrib grib;
    grib.SetStandardAtmosphere(aviation::weather::CWind(41.0, 10.34), 15.0, 9.0, 1013.0);
    aviation::structs::CAircraft aircraft;
    aircraft.altitude = 3000;
    aircraft.height = 3100;
    control.SetGrib(grib);
    control.SetAircraft(aircraft);
    control.WindAtAC();
    view.SetDirectWindControl(control, true);
    ASSERT_EQ(view.model()->rowCount(), 1);
    // With one decimal the number already fills the width of three: no zero in front of 45.0.
    EXPECT_EQ(view.model()->index(0, 0).data().toString(), U8("45.0°/12.3KT"));
    EXPECT_EQ(view.model()->index(0, 2).data().toString(), U8("0.0°/0.0KT"));
}

TEST(TableViewDirectWindControl, OnlyAStopOfTheControlGreysTheGrid)
{
    // active, enabled afterwards: a first idle call leaves the new grid enabled.
    const bool steps[][2] = {{false, true}, {true, true}, {false, false}, {false, false}, {true, true}};
    CTableViewDirectWindControl view;
    for (const auto& [active, enabled] : steps) {
        view.SetDirectWindControl(CDirectWindControl(), active);
        EXPECT_EQ(view.isEnabled(), enabled) << active;
    }
}
