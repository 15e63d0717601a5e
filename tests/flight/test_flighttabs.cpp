#include "forms/mainwindowform.h"

#include <gtest/gtest.h>

namespace {

// The planner and recorder pages as the window holds them: inside its form, handed over after setupUi.
class FlightTabsTest : public ::testing::Test
{
protected:
    FlightTabsTest()
    {
        ui.setupUi(&window);
        ui.tab_flightplanner->Init(nullptr, nullptr);
        ui.tab_recorder->SetUi(nullptr);
    }

    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
};

aviation::structs::CAircraftDetail Profile(int cruiseAltitude, int ceiling)
{
    aviation::structs::CAircraftDetail aircraft;
    aircraft.CruiseAlt = cruiseAltitude;
    aircraft.maxAlt = ceiling;
    return aircraft;
}

} // namespace

TEST_F(FlightTabsTest, PlannerPrintsOnlyACalculatedPlanAndLowersLevelsAboveTheCeiling)
{
    EXPECT_FALSE(ui.pushButton_printFp->isEnabled());
    EXPECT_TRUE(ui.tab_flightplanner->GetFlightPlan().waypoints.empty());

    // Typed level, then the shown level after choosing a 737 that cruises at 33000 ft below a 35000 ft ceiling.
    for (const auto& [typed, shown] :
         {std::pair<const char*, const char*>{"37000", "33000"}, {"35000", "35000"}, {"24000", "24000"}, {"", ""}}) {
        ui.lineEdit_CruiseAlt->setText(typed);
        ui.tab_flightplanner->SetAircraft(Profile(33000, 35000));
        EXPECT_EQ(ui.lineEdit_CruiseAlt->text(), shown) << typed;
    }
}

TEST_F(FlightTabsTest, RecorderClearsTimesAndStatusAndStopsRecording)
{
    ui.tab_recorder->SetRecording(true);
    const QList<QLineEdit*> fields = {ui.lineEdit_OffBlockTime, ui.lineEdit_OnBlockTime, ui.lineEdit_TakeOffTime,
                                      ui.lineEdit_LandingTime,  ui.lineEdit_FlighTime,   ui.lineEdit_FlightStatus};
    for (QLineEdit* field : fields)
        field->setText("14:05");
    ui.tab_recorder->ClearFields();
    EXPECT_FALSE(ui.tab_recorder->IsRecording());
    for (const QLineEdit* field : fields)
        EXPECT_TRUE(field->text().isEmpty()) << field->objectName().toStdString();
}

// Pages handed over outside a window have no form to reach; nothing on them may crash.
TEST(FlightTabsOutsideAWindow, OperationsLeaveThePagesAlone)
{
    CTab_Flightplanner planner;
    planner.Init(nullptr, nullptr);
    planner.SetAircraft(Profile(33000, 35000));
    planner.Reset();
    CTab_Flightrecorder recorder;
    recorder.SetUi(nullptr);
    recorder.SetRecording(true);
    recorder.ClearFields();
    EXPECT_FALSE(recorder.IsRecording());
}
