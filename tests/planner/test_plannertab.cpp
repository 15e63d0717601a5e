// The planner page as the window holds it (inside its form, handed over after setupUi) and outside a window, where
// it has no form to reach and nothing may crash.
#include "plannerprompter.h"

TEST(PlannerTab, PlannerPrintsOnlyACalculatedPlanAndLowersLevelsAboveTheCeiling)
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

TEST(PlannerTab, OperationsOutsideAWindowLeaveThePageAlone)
{
    CTab_Flightplanner planner;
    planner.Init(nullptr, nullptr);
    planner.SetAircraft(Profile(33000, 35000));
    planner.Reset();
}
