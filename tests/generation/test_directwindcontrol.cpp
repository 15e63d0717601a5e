#include "generation/directwindcontrol.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "settings/settings.h"
#include "weatherworkertest.h"

#include <gtest/gtest.h>

using aviation::weather::CGrib;
using aviation::weather::CLevel;
using aviation::weather::CMetar;
using aviation::weather::CWind;

namespace {

// A wind control over a grid whose 3000 ft level carries the wanted wind, with the aircraft at 3000 ft.
class DirectWindControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir::setCurrent(m_workDir.path());
        CDirectWindControl::ResetProgramState();
        platform::SeedRandom(7);
        m_aircraft.SetLatitude(48.35);
        m_aircraft.SetLongitude(11.78);
        m_aircraft.altitude = 3000;
        m_aircraft.height = 500;
        CSettings::SetWindSlightlGustSurfaceWind(false);
        m_control.SetMetar(CMetar(L"EDDM 071020Z 27010KT 9999 FEW030 05/01 Q1013"));
    }
    void TearDown() override { CSettings::Release(); }

    // The target the data give at the aircraft: the standard atmosphere adds 4° and 2 kt per 3000 ft.
    void Target(double direction, double speed)
    {
        CGrib grib;
        grib.SetStandardAtmosphere(CWind(direction - 4, speed - 2), 5, 1, 1013);
        m_control.SetGrib(grib);
    }

    // Moves the current wind onto the target at once.
    void JumpTo(double direction, double speed)
    {
        CSettings::SetWindDwcDegreesPerSecond(179);
        CSettings::SetWindDwcKnotsPerSecond(99);
        Target(direction, speed);
        Step(3000);
        CSettings::SetWindDwcDegreesPerSecond(5);
        CSettings::SetWindDwcKnotsPerSecond(2);
    }

    CLevel Step(int milliseconds)
    {
        m_clock.AdvanceMs(milliseconds);
        m_control.SetAircraft(m_aircraft);
        return m_control.WindAtAC();
    }

    QTemporaryDir m_workDir;
    platform::ScopedClock m_clock{1796640516};
    aviation::structs::CAircraft m_aircraft;
    CDirectWindControl m_control;
};

} // namespace

TEST_F(DirectWindControlTest, StepsMoveAtMostTheAllowedRatesTurnThroughNorthAndStopAt200Kt)
{
    m_control.SetAircraft(m_aircraft);
    m_control.WindAtAC(); // the first step has no time behind it
    JumpTo(350, 10);
    ASSERT_DOUBLE_EQ(m_control.GetCurrentLevel().speed, 10.0);

    // 2 kt and 5 degrees per second; a pause over 5 s counts as one second.
    struct Case
    {
        double targetDirection, targetSpeed;
        int milliseconds;
        double direction, speed;
    } cases[] = {
        {350, 20, 500, 350, 11},    {350, 20, 500, 350, 12},     {350, 4, 500, 350, 11},
        {350, 4, 500, 350, 10},     {350, 10.4, 500, 350, 10.4}, {350, 10.4, 500, 350, 10.4},
        {10, 30, 500, 352.5, 11.4}, {10, 30, 7000, 357.5, 13.4}, {10, 30, 1000, 2.5, 15.4},
    };
    for (const Case& c : cases) {
        Target(c.targetDirection, c.targetSpeed);
        const CLevel level = Step(c.milliseconds);
        EXPECT_DOUBLE_EQ(level.direction, c.direction) << c.targetSpeed;
        EXPECT_DOUBLE_EQ(level.speed, c.speed) << c.targetSpeed;
        EXPECT_TRUE(m_control.GetStatus().isEmpty()) << m_control.GetStatus().toStdString();
    }

    // Over 200 kt the previous level is held and the error shown.
    JumpTo(250, 120);
    CSettings::SetWindDwcKnotsPerSecond(99);
    Target(250, 250);
    EXPECT_DOUBLE_EQ(Step(3000).speed, 120.0);
    EXPECT_EQ(m_control.GetStatus(), QStringLiteral("(DWC - WindAtAC) - Wind Speed Error: 250/250kt"));
}

TEST_F(DirectWindControlTest, NoGustsHighAboveGroundNoneBeforeTheFirstAndNoJumpWhenNearlyCalm)
{
    CSettings::SetWindDwcKnotsPerSecond(99);
    m_control.SetAircraft(m_aircraft);
    m_control.WindAtAC();
    // Gusts off since start: the target is the data's wind exactly.
    Target(90, 10);
    EXPECT_DOUBLE_EQ(Step(1000).speed, 10.0);
    EXPECT_DOUBLE_EQ(m_control.GetCurrentLevel().direction, 5.0); // 5°/s from 0°

    CSettings::SetWindSlightlGustSurfaceWind(true);
    m_aircraft.height = 4000;
    Target(90, 30);
    EXPECT_DOUBLE_EQ(Step(1000).speed, 30.0);
    EXPECT_DOUBLE_EQ(m_control.GetTurbulenceLevel().speed, 0.0);
    EXPECT_DOUBLE_EQ(m_control.GetTurbulenceLevel().direction, 0.0);

    // Near the ground a wind too weak for a gust range gets none, and its direction stays.
    m_aircraft.height = 300;
    CSettings::SetWindDwcDegreesPerSecond(179);
    for (double speed : {0.005, 0.0}) {
        Target(15, speed);
        for (int i = 0; i < 8; ++i) {
            const CLevel level = Step(500);
            EXPECT_DOUBLE_EQ(level.direction, 15.0) << speed;
            EXPECT_TRUE(m_control.GetStatus().isEmpty());
        }
        EXPECT_NEAR(m_control.GetCurrentLevel().speed, speed, 1e-12);
    }

    // A real wind gets bounded gusts: at most a quarter of the speed in all.
    Target(15, 20);
    for (int i = 0; i < 40; ++i) {
        Step(500);
        EXPECT_LE(std::abs(m_control.GetTurbulenceLevel().speed), 2.5);
        EXPECT_LE(std::abs(m_control.GetTurbulenceLevel().direction), 10.0);
    }
}

using WindControlWorkerTest = WeatherWorkerTest;

TEST_F(WindControlWorkerTest, NoWindJobForXPlaneOrSimConnectButTheWeatherIsStillRefreshed)
{
    struct Case
    {
        int version;
        int interfaceType;
    } cases[] = {{9, 1}, {3, 2}};
    for (const Case& c : cases) {
        CDirectWindControl::ResetProgramState();
        m_worker.reset();
        m_host.Clear();
        platform::ScopedClock clock(1796640516);
        aviation::structs::CAircraft aircraft;
        aircraft.SetLatitude(48.354);
        aircraft.SetLongitude(11.786);
        aircraft.altitude = 7500; // between the 6000 and 9000 ft levels
        Worker().SetAircraft(aircraft);
        CSettings::SetWindSlightlGustSurfaceWind(false);
        CSettings::SetFSVersion(c.version);
        CSettings::SetInterfaceType(c.interfaceType);
        Worker().LoadWeatherFromText(QStringLiteral("EDDM 071020Z 27010KT 9999 FEW030 05/01 Q1013\n"), {}, {});
        Worker().UpdateDirectWindControl();
        EXPECT_TRUE(m_host.CallsStartingWith("SetWindFSUIPC").isEmpty());
        EXPECT_TRUE(m_host.windControls.empty());

        // Within 30 s the step works from the weather of that refresh, not from what was loaded since.
        Worker().LoadWeatherFromText(QStringLiteral("EDDM 071020Z 09030KT 9999 FEW030 05/01 Q1013\n"), {}, {});
        CSettings::SetFSVersion(3);
        CSettings::SetInterfaceType(1);
        clock.AdvanceMs(500);
        Worker().UpdateDirectWindControl();
        ASSERT_EQ(m_host.windControls.size(), 1u);
        EXPECT_NEAR(m_host.windControls.back().GetCalculatedLevel().direction, 280.0, 1e-9);
        clock.AdvanceMs(31000);
        Worker().UpdateDirectWindControl();
        EXPECT_NEAR(m_host.windControls.back().GetCalculatedLevel().direction, 100.0, 1e-9);
        EXPECT_EQ(m_host.CallsStartingWith("SetWindFSUIPC").size(), 2);
    }
}
