// The planner and recorder pages as the window holds them (inside its form, handed over after setupUi) and
// outside a window, where they have no form to reach and nothing may crash.
#include "plannerprompter.h"

TEST(FlightTabs, PlannerPrintsOnlyACalculatedPlanAndLowersLevelsAboveTheCeiling)
{
    CMainWindowForm window;
    window.ui.setupUi(&window);
    CTab_Flightplanner* planner = window.ui.tab_flightplanner;
    planner->Init(nullptr, nullptr);
    EXPECT_FALSE(window.ui.pushButton_printFp->isEnabled());
    EXPECT_TRUE(planner->GetFlightPlan().waypoints.empty());

    // Typed level, then the shown level after choosing a 737 that cruises at 33000 ft below a 35000 ft ceiling.
    for (const auto& [typed, shown] :
         {std::pair<const char*, const char*>{"37000", "33000"}, {"35000", "35000"}, {"24000", "24000"}, {"", ""}}) {
        window.ui.lineEdit_CruiseAlt->setText(typed);
        planner->SetAircraft(Profile(33000, 35000));
        EXPECT_EQ(window.ui.lineEdit_CruiseAlt->text(), shown) << typed;
    }
}

TEST(FlightTabs, RecorderClearsTimesAndStatusAndStopsRecording)
{
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
    ui.setupUi(&window);
    ui.tab_recorder->SetUi(nullptr);
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

TEST(FlightTabs, OperationsOutsideAWindowLeaveThePagesAlone)
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
