#include "generationtest.h"

#include "tools/wx-server/gridsource.h"

#include <QRegularExpression>
#include <QTimer>

namespace {

const aviation::Position kFrankfurt(50.026706, 8.558350);

class AutoModeTest : public GenerationTest
{
protected:
    void SetUp() override
    {
        GenerationTest::SetUp();
        CSettings::SetFSVersion(3);
        CSettings::SetInterfaceType(2);
        m_gen.connected = true;
    }

    // Grid points a degree apart over the whole area, so that every station finds weather without downloads.
    void StartAt(const QByteArray& airports = kAirports, int altitude = 3000)
    {
        QByteArray grid = "# TIME:1491555600\n";
        for (int latitude = 45; latitude <= 55; ++latitude) {
            for (int longitude = 1; longitude <= 16; ++longitude)
                grid += tools::GridSource::SynthesizedPoint(latitude, longitude) + '\n';
        }
        m_grid = QString::fromLatin1(grid);
        Start(airports.constData(), kMetars, m_grid);
        PutAircraft(kFrankfurt.GetLatitude(), kFrankfurt.GetLongitude(), altitude);
    }

    // Identifiers the station store gives the stations it makes.
    bool HasMadeStation() const
    {
        return !m_gen.Icaos().filter(QRegularExpression(QStringLiteral("^[A-Z][0-9]{3}$"))).isEmpty();
    }

    QString m_grid;
};

TEST_F(AutoModeTest, NothingHappensWithoutReportsOrConnection)
{
    Start(kAirports, "");
    m_generator->GenerateFSWeatherAutoMode();
    EXPECT_EQ(m_gen.calls,
              QStringList({"sigDisableButton(0,true)", "sigDisableButton(1,true)", "OnGenerationRunning(true)",
                           "sigUIDebugString((WeatherManager) AutoMode: no weather loaded, nothing generated,0)",
                           "sigDisableButton(0,false)", "sigDisableButton(1,false)", "OnGenerationRunning(false)"}));

    // Without a link command 1 stays off, as the lost link left it.
    StartAt();
    m_gen.connected = false;
    m_generator->GenerateFSWeatherAutoMode();
    EXPECT_EQ(m_gen.calls,
              QStringList({"sigDisableButton(0,true)", "sigDisableButton(1,true)", "OnGenerationRunning(true)",
                           "sigDisableButton(0,false)", "OnGenerationRunning(false)"}));
}

TEST_F(AutoModeTest, FirstRunCoversTheGridAndLaterRunsAtCruiseOnlyWhatChanged)
{
    StartAt();
    m_generator->GenerateFSWeatherAutoMode();
    EXPECT_EQ(m_gen.statuses.filter(QStringLiteral("Generating WX-Station")).last(),
              QStringLiteral("Generating WX-Station 121 of 121"));
    const QStringList first = m_gen.Icaos();
    EXPECT_EQ(first.first(), QStringLiteral("GLOB"));
    EXPECT_TRUE(first.contains(QStringLiteral("EDDM")));
    EXPECT_TRUE(HasMadeStation());
    // Egelsbach and Finthen report nothing: one line sums them up.
    EXPECT_TRUE(m_gen.log.filter(QRegularExpression(QStringLiteral("^Metar .* not found$"))).isEmpty());
    EXPECT_EQ(m_gen.log.filter(QStringLiteral("without a report")),
              QStringList{"(WeatherManager) 2 stations without a report"});
    EXPECT_EQ(m_gen.calls.filter(QRegularExpression(QStringLiteral("^(SendStationToFS|SetWeather|sigDisable)"))),
              QStringList({"sigDisableButton(0,true)", "sigDisableButton(1,true)",
                           QStringLiteral("SendStationToFS(%1)").arg(m_gen.newStations.size()),
                           QStringLiteral("SetWeather(%1)").arg(first.size()), "sigDisableButton(0,false)",
                           "sigDisableButton(1,false)"}));

    // Munich's report changes and the aircraft climbs to cruise. (The grid's corners lie 283 NM out, beyond the
    // 280-NM station search, so every run would make new stations there; none are asked for.)
    CSettings::SetCreateNewWXStation(false);
    m_generator->LoadWeatherFromText(QString::fromLatin1(kMetars).replace("25012KT", "27018G30KT"), QString(), m_grid);
    PutAircraft(kFrankfurt.GetLatitude(), kFrankfurt.GetLongitude(), 25000);
    m_gen.Clear();
    m_generator->GenerateFSWeatherAutoMode();
    EXPECT_EQ(m_gen.Icaos(), QStringList({"GLOB", "EDDM"}));
    // The centre is left out (the next point is announced under its number); its neighbours lie 40 NM away.
    EXPECT_EQ(m_gen.statuses.count(QStringLiteral("Generating WX-Station 1 of 121")), 2);
    EXPECT_EQ(m_gen.statuses.count(QStringLiteral("Generating WX-Station 2 of 121")), 1);
}

TEST_F(AutoModeTest, PointsWithoutStationsGetNoneOverFsuipcOrWithTheSettingOff)
{
    StartAt();
    CSettings::SetInterfaceType(1);
    m_generator->GenerateFSWeatherAutoMode();
    EXPECT_FALSE(HasMadeStation());
    EXPECT_EQ(m_gen.CallsStartingWith(QStringLiteral("SendStationToFS")), QStringList({"SendStationToFS(0)"}));

    StartAt();
    CSettings::SetInterfaceType(2);
    CSettings::SetCreateNewWXStation(false);
    m_generator->GenerateFSWeatherAutoMode();
    EXPECT_FALSE(HasMadeStation());
    EXPECT_TRUE(m_gen.CallsStartingWith(QStringLiteral("SendStationToFS")).isEmpty());
}

TEST_F(AutoModeTest, UnlistedAirportNearTwoPointsAndFlightPlanAirportsAreSentTwice)
{
    // 20 NM east of the aircraft, between the centre point and the one 40 NM east; in no simulator's list.
    const aviation::Position field = aviation::Position::GetDestination(kFrankfurt, 90.0, 20.0);
    StartAt(QByteArray(kAirports)
            + QStringLiteral("EDXX;Unlisted Field;Germany;500;%1;%2;0;0;0;0;1\n")
                  .arg(field.GetLatitude(), 0, 'f', 6)
                  .arg(field.GetLongitude(), 0, 'f', 6)
                  .toLatin1());
    m_gen.plan.departure = aviation::CWaypointWX(L"EDDF", kFrankfurt, L"Frankfurt", 1, 364, 14.0f, 7.0f, 1019.0f);
    m_gen.plan.destination = aviation::CWaypointWX(L"EDDM", aviation::Position(48.3538, 11.7861), L"Munich", 1, 1487,
                                                   13.0f, 6.0f, 1018.0f);
    m_generator->GenerateFSWeatherAutoMode();

    const QStringList icaos = m_gen.Icaos();
    EXPECT_EQ(icaos.count(QStringLiteral("EDXX")), 2);
    EXPECT_EQ(std::count_if(m_gen.newStations.begin(), m_gen.newStations.end(),
                            [](const auto& station) { return station.GetICAO() == std::wstring(L"EDXX"); }),
              2);
    EXPECT_EQ(icaos.mid(icaos.size() - 2), QStringList({"EDDF", "EDDM"}));
    EXPECT_EQ(icaos.count(QStringLiteral("EDDM")), 2);
}

TEST_F(AutoModeTest, RunAskedForWhileAGridDownloadWaitsIsRefused)
{
    // Only the grid point near Frankfurt is stored: stations farther out wait for grid downloads, in whose event
    // loop the timer asks for a second run.
    Start();
    PutAircraft(kFrankfurt.GetLatitude(), kFrankfurt.GetLongitude());
    int nested = 0;
    QTimer::singleShot(0, [&] {
        ++nested;
        m_generator->GenerateFSWeatherAutoMode();
    });
    m_generator->GenerateFSWeatherAutoMode();
    EXPECT_EQ(nested, 1);
    EXPECT_FALSE(m_server.Requests().isEmpty());
    EXPECT_TRUE(m_gen.statuses.contains(QStringLiteral("Weather generation under way")));
    EXPECT_EQ(m_gen.CallsStartingWith(QStringLiteral("SetWeather")).size(), 1);
}

} // namespace
