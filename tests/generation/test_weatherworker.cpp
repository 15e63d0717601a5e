#include "weatherworkertest.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"

#include <QTimer>

using aviation::Position;
using aviation::weather::CMetar;
using aviation::weather::CStation;

namespace {

constexpr const char* kAirportHeader = "#ICAO;Name;Country;Elevation;Latitude;Longitude;FS9;FS9b;FSX;P3D;XP\n";

CMetar ListEntry(const char* icao, const Position& position, std::int64_t time)
{
    CMetar metar(std::wstring(icao, icao + 4) + L" 221850Z 24008KT CAVOK 14/07 Q1019");
    metar.SetICAO(std::wstring(icao, icao + 4));
    metar.SetPosition(position);
    metar.SetTime(time);
    return metar;
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
    EXPECT_EQ(map.at(QStringLiteral("LOWW")).first, QStringLiteral("LOWS"));
    // Fields are taken as they stand, blanks included.
    EXPECT_EQ(map.count(QStringLiteral(" EDDH")), 1u);
    EXPECT_EQ(m_host.log.count(QStringLiteral("(WeatherWorker) - icaos.txt wrong format")), 2);
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherWorker) - reading  icaos.txt")));
    EXPECT_EQ(m_host.splash,
              QStringList({"Loading Airport Resource", "reading icao list", "Initialize Airports",
                           "Initialize Weather Stations"}));
}

TEST_F(WeatherWorkerTest, OwnAirportListReplacesTheEmbeddedOneAndTheAddListExtendsIt)
{
    WriteFile(ProgramFile(QStringLiteral("airportlist.txt")),
              QByteArray(kAirportHeader) + "EDDF;Frankfurt Main Airport;Germany;364;50.026706;8.558350;1;1;0;0;1\n");
    WriteFile(ProgramFile(QStringLiteral("airportaddlist.txt")),
              "XEDF;Frankfurt Heliport;Germany;400;50.1;8.6;1;1;1;1;1\n");
    CStation station;
    Worker().FindStation(QStringLiteral("EDDF"), station);
    EXPECT_EQ(std::wstring(station.GetICAO()), L"EDDF");
    Worker().FindStation(QStringLiteral("XEDF"), station);
    EXPECT_EQ(std::wstring(station.GetICAO()), L"XEDF");
    Worker().FindStation(QStringLiteral("EGLL"), station);
    EXPECT_EQ(std::wstring(station.GetICAO()), L"");
    EXPECT_TRUE(m_host.splash.contains(QStringLiteral("reading Airports list")));
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherWorker) - reading airportaddlist")));
}

TEST_F(WeatherWorkerTest, UnreadableAirportListFallsBackToTheEmbeddedOne)
{
    // A folder of that name exists but cannot be read as a file.
    ASSERT_TRUE(QDir(m_programDir.path()).mkdir(QStringLiteral("airportlist.txt")));
    platform::ScopedDebugCapture debug;
    CStation station;
    Worker().FindStation(QStringLiteral("EGLL"), station);
    EXPECT_EQ(std::wstring(station.GetICAO()), L"EGLL");
    EXPECT_TRUE(debug.Contains("Can not open airportlist.txt\n"));
}

TEST_F(WeatherWorkerTest, GetMetarDecodesAndMeasuresFromTheAircraft)
{
    Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString());

    EXPECT_EQ(Worker().GetMetar(QStringLiteral("EDDF")).GetDistance(), 0.0) << "no aircraft yet";

    aviation::structs::CAircraft aircraft;
    aircraft.SetLatitude(50.9);
    aircraft.SetLongitude(8.56);
    Worker().SetAircraft(aircraft);
    const CMetar metar = Worker().GetMetar(QStringLiteral("EDDF"));
    EXPECT_TRUE(metar.IsDecoded());
    EXPECT_TRUE(metar.IsCAVOK());
    EXPECT_NEAR(metar.GetDistance(), 52.4, 0.5);

    // Latitude 0 counts as no aircraft position.
    aircraft.SetLatitude(0.0);
    Worker().SetAircraft(aircraft);
    EXPECT_EQ(Worker().GetMetar(QStringLiteral("EDDF")).GetDistance(), 0.0);
}

TEST_F(WeatherWorkerTest, GetMetarOfAnAirportWithoutReportCarriesTheAirport)
{
    Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString());
    const CMetar blank = Worker().GetMetar(QStringLiteral("EGLL"));
    EXPECT_TRUE(blank.GetRaw().empty());
    EXPECT_EQ(std::wstring(blank.GetICAO()), L"EGLL");
    EXPECT_NEAR(blank.GetPosition().GetLatitude(), 51.47, 0.05);
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherManager) EGLL - Metar not Found")));

    const CMetar unknown = Worker().GetMetar(QStringLiteral("QQQQ"));
    EXPECT_EQ(std::wstring(unknown.GetICAO()), L"");
}

TEST_F(WeatherWorkerTest, GetTafAnswersFromTheTafText)
{
    Worker();
    m_server.SetCombinedText("[METAR]\nEGLL 221850Z AUTO 15006KT 9999 BKN027 15/13 Q1011 NOSIG\n[/METAR]\n[TAF]\n"
                             "TAF AMD EGLL 111941Z 1119/1224 22012KT 9999 BKN018\n\n[/TAF]\n");
    Worker().DownloadWeather();
    EXPECT_EQ(Worker().GetTaf(QStringLiteral("EGLL")).toStdString(), "EGLL 111941Z 1119/1224 22012KT 9999 BKN018");
    EXPECT_EQ(Worker().GetTaf(QStringLiteral("EDDF")), QStringLiteral("no TAF available"));
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

    worker.ClearMetarList();
    EXPECT_TRUE(worker.GetMetarList().empty());
}

TEST_F(WeatherWorkerTest, LoadWeatherFromFileReadsTheChosenFiles)
{
    const QString folder = m_workDir.filePath(QStringLiteral("historywx"));
    QDir().mkpath(folder);
    WriteFile(folder + QStringLiteral("/metar.txt"), kFrankfurtMetars);
    WriteFile(folder + QStringLiteral("/addwx.txt"), "AAXX 31001 78310 01470 70303 10250 20214 30094 40104=\n");
    WriteFile(folder + QStringLiteral("/wind.txt"), kFrankfurtGrid);

    Worker().LoadWeatherFromFile(folder, false, false);
    aviation::weather::CWeatherManager& model = *Worker().GetWeatherManager();
    EXPECT_EQ(model.CMetarManager::GetCount(), 2);
    EXPECT_EQ(model.CSynopManager::GetCount(), 0);
    EXPECT_FALSE(model.HasGribNear(Position(50.1, 8.6)));
    EXPECT_EQ(m_host.statuses.last(), QStringLiteral("Success"));
    EXPECT_EQ(m_host.calls.last(), QStringLiteral("sigDisableButton(0,false)"));

    Worker().LoadWeatherFromFile(folder, true, true);
    EXPECT_GT(model.CSynopManager::GetCount(), 0);
    EXPECT_TRUE(model.HasGribNear(Position(50.1, 8.6)));
}

TEST_F(WeatherWorkerTest, FailedLoadWeatherFromFileStopsButReenablesTheCommand)
{
    const QString folder = m_workDir.filePath(QStringLiteral("historywx"));
    QDir().mkpath(folder);
    WriteFile(folder + QStringLiteral("/metar.txt"), kFrankfurtMetars);
    platform::ScopedDebugCapture debug;

    Worker().LoadWeatherFromFile(folder, true, false);
    EXPECT_TRUE(debug.Contains("could not open file: addwx.txt"));
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherManager) could not open file: addwx.txt")));
    EXPECT_FALSE(m_host.statuses.contains(QStringLiteral("Success")));
    EXPECT_EQ(Worker().GetWeatherManager()->CMetarManager::GetCount(), 2) << "what was read before stays";
    EXPECT_EQ(m_host.calls.mid(m_host.calls.size() - 2),
              QStringList({"sigUIUpdateProgressBar(0,0)", "sigDisableButton(0,false)"}));
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
    const QString path = m_workDir.path() + QStringLiteral("/export.txt");
    EXPECT_TRUE(m_host.log.contains(QStringLiteral("(WeatherWorker) Export Metar to ") + path));
    EXPECT_EQ(ReadFile(path), QByteArray(kFrankfurtMetars));
}

TEST_F(WeatherWorkerTest, SimTimerSwitchesAloneAndTheWindControlTimerKeepsRunning)
{
    QTimer* simTimer = nullptr;
    QTimer* windTimer = nullptr;
    for (QTimer* timer : Worker().findChildren<QTimer*>()) {
        if (timer->interval() == CWeatherWorker::kSimTimerIntervalMs)
            simTimer = timer;
        if (timer->interval() == CWeatherWorker::kWindControlIntervalMs)
            windTimer = timer;
    }
    ASSERT_TRUE(simTimer && windTimer);
    EXPECT_TRUE(simTimer->isActive());
    EXPECT_TRUE(windTimer->isActive());

    Worker().EnableSimTimer(false);
    EXPECT_FALSE(simTimer->isActive());
    EXPECT_TRUE(windTimer->isActive());
    Worker().EnableSimTimer(true);
    EXPECT_TRUE(simTimer->isActive());
}
