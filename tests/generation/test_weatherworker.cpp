#include "weatherworkertest.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"

using aviation::Position;
using aviation::weather::CMetar;
using aviation::weather::CStation;

namespace {

CMetar ListEntry(const char* icao, const Position& position, std::int64_t time)
{
    CMetar metar(std::wstring(icao, icao + 4) + L" 221850Z 24008KT CAVOK 14/07 Q1019");
    metar.SetICAO(std::wstring(icao, icao + 4));
    metar.SetPosition(position);
    metar.SetTime(time);
    return metar;
}

std::wstring FoundIcao(CWeatherWorker& worker, const char* icao)
{
    CStation station;
    worker.FindStation(QString::fromLatin1(icao), station);
    return station.GetICAO();
}

} // namespace

TEST_F(WeatherWorkerTest, IcaosFileFillsTheSubstitutionMap)
{
    WriteFile(ProgramFile(QStringLiteral("icaos.txt")),
              "# simulator station, station whose weather it takes\nEDDF,EDDM\nLOWW,LOWI\nEDDS,EDDK,EDDL\n\n"
              "LOWW,LOWS\n EDDH,EDDW\n");
    const CWeatherWorker::IcaoSubstitutes& map = Worker().GetIcaoSubstitutes();

    ASSERT_EQ(map.size(), 3u);
    EXPECT_EQ(map.at(QStringLiteral("EDDF")), std::make_pair(QStringLiteral("EDDM"), QStringLiteral("EDDF")));
    EXPECT_EQ(map.at(QStringLiteral("LOWW")).first, QStringLiteral("LOWS")); // a later line wins
    EXPECT_EQ(map.count(QStringLiteral(" EDDH")), 1u); // fields as they stand
    EXPECT_EQ(m_host.log.count(QStringLiteral("(WeatherWorker) - icaos.txt wrong format")), 2);
}

TEST_F(WeatherWorkerTest, AirportListOfTheProgramFolderOrTheEmbeddedOne)
{
    WriteFile(ProgramFile(QStringLiteral("airportlist.txt")),
              "#ICAO;Name;Country;Elevation;Latitude;Longitude;FS9;FS9b;FSX;P3D;XP\n"
              "EDDF;Frankfurt Main Airport;Germany;364;50.026706;8.558350;1;1;0;0;1\n");
    WriteFile(ProgramFile(QStringLiteral("airportaddlist.txt")),
              "XEDF;Frankfurt Heliport;Germany;400;50.1;8.6;1;1;1;1;1\n");
    EXPECT_EQ(FoundIcao(Worker(), "EDDF"), L"EDDF");
    EXPECT_EQ(FoundIcao(Worker(), "XEDF"), L"XEDF");
    EXPECT_EQ(FoundIcao(Worker(), "EGLL"), L"");

    // A folder of that name exists but cannot be read as a file.
    m_worker.reset();
    QFile::remove(ProgramFile(QStringLiteral("airportlist.txt")));
    ASSERT_TRUE(QDir(m_programDir.path()).mkdir(QStringLiteral("airportlist.txt")));
    platform::ScopedDebugCapture debug;
    EXPECT_EQ(FoundIcao(Worker(), "EGLL"), L"EGLL");
    EXPECT_TRUE(debug.Contains("Can not open airportlist.txt\n"));
}

TEST_F(WeatherWorkerTest, FilterMetarListKeepsNearAndRecentReportsOnly)
{
    const std::int64_t now = 1666465920;
    platform::ScopedClock clock(now);
    const Position centre(50.0, 8.0);
    const Position at30Nm = Position::GetDestination(centre, 90.0, 30.0);
    const Position at29Nm = Position::GetDestination(centre, 90.0, 29.9);
    CWeatherWorker& worker = Worker();
    worker.AppendToMetarList(ListEntry("EDDF", at29Nm, now - 1799));
    worker.AppendToMetarList(ListEntry("EDFE", at29Nm, now - 1800));
    worker.AppendToMetarList(ListEntry("EDFH", at30Nm, now - 60));
    worker.AppendToMetarList(ListEntry("EDFM", centre, now));

    worker.FilterMetarList(centre, 30);
    ASSERT_EQ(worker.GetMetarList().size(), 2u);
    EXPECT_EQ(std::wstring(worker.GetMetarList()[0].GetICAO()), L"EDDF");
    EXPECT_EQ(std::wstring(worker.GetMetarList()[1].GetICAO()), L"EDFM");
}

TEST_F(WeatherWorkerTest, LoadWeatherFromFileReenablesTheCommandAlsoWhenItFails)
{
    const QString folder = m_workDir.filePath(QStringLiteral("historywx"));
    QDir().mkpath(folder);
    WriteFile(folder + QStringLiteral("/metar.txt"), kFrankfurtMetars);
    aviation::weather::CWeatherManager& model = *Worker().GetWeatherManager();

    // No SYNOP file: what was read before stays, no "Success", the progress reset.
    Worker().LoadWeatherFromFile(folder, true, false);
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherManager) could not open file: addwx.txt")));
    EXPECT_FALSE(m_host.statuses.contains(QStringLiteral("Success")));
    EXPECT_EQ(model.CMetarManager::GetCount(), 2);
    EXPECT_EQ(m_host.calls.mid(m_host.calls.size() - 2),
              QStringList({"sigUIUpdateProgressBar(0,0)", "sigDisableButton(0,false)"}));

    WriteFile(folder + QStringLiteral("/addwx.txt"), "AAXX 31001 78310 01470 70303 10250 20214 30094 40104=\n");
    WriteFile(folder + QStringLiteral("/wind.txt"), kFrankfurtGrid);
    m_host.Clear();
    Worker().LoadWeatherFromFile(folder, true, true);
    EXPECT_GT(model.CSynopManager::GetCount(), 0);
    EXPECT_TRUE(model.HasGribNear(Position(50.1, 8.6)));
    EXPECT_EQ(m_host.statuses.last(), QStringLiteral("Success"));
    EXPECT_EQ(m_host.calls.last(), QStringLiteral("sigDisableButton(0,false)"));
}

TEST_F(WeatherWorkerTest, MetarExportNeedsAnExportFolder)
{
    CSettings::SetExportMetar(true);
    Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString());
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherWorker) Export Metar skipped: no export folder set")));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/metar.txt")));

    CSettings::SetExportMetarDir(m_workDir.path());
    CSettings::SetExportMetarFilename(QStringLiteral("export.txt"));
    Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString());
    EXPECT_EQ(ReadFile(m_workDir.filePath(QStringLiteral("export.txt"))), QByteArray(kFrankfurtMetars));
}
