#include "app/tableviewdirectwindcontrol.h"

#include "platform/clock.h"
#include "weather/grib.h"

#include "tablecontent.h"

#include <utility>
#include <vector>

using aviation::weather::CGrib;
using aviation::weather::CWind;

TEST(TableViewDirectWindControl, ShowsTheThreeWindsOfTheControl)
{
    CTableViewDirectWindControl view;
    EXPECT_EQ(HeaderTexts(view), QStringList({"DWC calculated", "DWC current", "DWC-Turbulence"}));

    // A control before its first step: nothing calculated, still air set.
    CDirectWindControl control;
    view.SetDirectWindControl(control, true);
    EXPECT_EQ(RowTexts(view, 0), QStringList({U8("-1.0°/-1.0KT"), U8("0.0°/0.0KT"), U8("-1.0°/-1.0KT")}));

    // One step at 3000 ft, where the profile made from a surface wind of 41°/10.34 kt blows 45°/12.34 kt.
    // Above 3000 ft above ground the control adds no gust.
    CDirectWindControl::ResetProgramState();
    const platform::ScopedClock clock(1491555600);
    CGrib grib;
    grib.SetStandardAtmosphere(CWind(41.0, 10.34), 15.0, 9.0, 1013.0);
    aviation::structs::CAircraft aircraft;
    aircraft.SetLatitude(50.03);
    aircraft.SetLongitude(8.57);
    aircraft.altitude = 3000;
    aircraft.height = 3100;
    control.SetGrib(grib);
    control.SetAircraft(aircraft);
    control.WindAtAC();
    view.SetDirectWindControl(control, true);
    EXPECT_EQ(view.model()->rowCount(), 1);
    // One decimal already fills the width of three: no zero shows in front of 45.0.
    EXPECT_EQ(view.model()->index(0, 0).data().toString(), U8("45.0°/12.3KT"));
    EXPECT_EQ(view.model()->index(0, 2).data().toString(), U8("0.0°/0.0KT"));
    EXPECT_EQ(view.model()->index(0, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
}

TEST(TableViewDirectWindControl, EnabledStateFollowsChangesOfTheControlsState)
{
    // (active, enabled afterwards): an idle first call leaves the new grid enabled; only a stop disables it.
    const std::vector<std::pair<bool, bool>> steps
        = {{false, true}, {true, true}, {true, true}, {false, false}, {false, false}, {true, true}};
    CTableViewDirectWindControl view;
    const CDirectWindControl control;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        view.SetDirectWindControl(control, steps[i].first);
        EXPECT_EQ(view.isEnabled(), steps[i].second) << "step " << i;
    }
}
