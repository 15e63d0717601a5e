#include "app/tableviewaircraftdata.h"

#include "tablecontent.h"

#include <gtest/gtest.h>

#include <utility>

using aviation::structs::CAircraft;

namespace {

// A sample as the simulator sends it while climbing out of Sydney.
CAircraft ClimbingOutOfSydney(int altitude)
{
    CAircraft sample;
    sample.SetLatitude(-33.946);
    sample.SetLongitude(151.177);
    sample.altitude = altitude;
    sample.height = altitude - 22;
    sample.verticalSpeed = 1850;
    sample.tas = 212;
    sample.groundSpeed = 224;
    sample.heading.direction = 156.04;
    sample.ambientWind = aviation::weather::CWind(45.0, 12.0, 0.0);
    sample.visibility = 35.0f;
    sample.magVar = -12.7f;
    return sample;
}

} // namespace

TEST(TableViewAircraftData, EachSampleReplacesTheOneRow)
{
    CTableViewAircraftData view;
    for (int altitude : {4520, 4610})
        view.SetAircraftData(ClimbingOutOfSydney(altitude));
    ASSERT_EQ(view.model()->rowCount(), 1);
    // The wind keeps its leading zero and, like the magnetic variation, ends in one blank.
    EXPECT_EQ(RowTexts(view, 0),
              QStringList({U8("-33.95°"), U8("151.18°"), "4610 ft", "4588 ft", "1850 ft/min", "212 kt", "224 kt",
                           U8("156.0°"), U8("045°/12.0KT "), "35 Km", U8("-12.7° ")}));
    EXPECT_EQ(view.model()->index(0, 8).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
}

TEST(TableViewAircraftData, VisibilityInMetresBelowTenKilometresAndUnlimitedAbove300)
{
    const std::pair<float, const char*> cases[] = {
        {9.5f, "9500 m"}, {10.0f, "10 Km"}, {300.0f, "300 Km"}, {300.5f, "unlimited"}, {9999.0f, "unlimited"},
    };
    CTableViewAircraftData view;
    CAircraft sample = ClimbingOutOfSydney(4520);
    for (const auto& [kilometres, text] : cases) {
        sample.visibility = kilometres;
        view.SetAircraftData(sample);
        EXPECT_EQ(view.model()->index(0, 9).data().toString(), text) << kilometres;
    }
}
