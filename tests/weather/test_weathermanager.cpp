#include "platform/debugoutput.h"
#include "weather/weathermanager.h"
#include "weather/weatherset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CGribManager;
using aviation::weather::CMetar;
using aviation::weather::CMetarManager;
using aviation::weather::CSynop;
using aviation::weather::CSynopManager;
using aviation::weather::CWeatherManager;

namespace {

const wchar_t* const kAirports = L"# icao;name;country;elev;lat;lon;fs9_station;fsx_station;p3d_station;"
                                 L"xplane_station;active\r\n"
                                 L"EDDF;Frankfurt am Main;Germany;364;50.0333;8.5706;1;1;0;0;1\r\n"
                                 L"EDDH;Hamburg;Germany;53;53.6304;9.9882;1;1;0;0;1\r\n";
const wchar_t* const kWxStations = L"106370 EDDF   FRANKFURT/MAIN      DL 5002N 00836E 0112\r\n"
                                   L"101470 EDDH   HAMBURG-FUHLSBUETTELDL 5338N 00959E 0016";
const wchar_t* const kMetars = L"EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG\n"
                               L"EDDH 061250Z 24012KT 9999 FEW030 09/05 Q1012\n";
const wchar_t* const kSynops = L"AAXX 06124 10637 32575 72708 10120 20080 30132 40130 57010=";
const wchar_t* const kGrid
    = L"# TIME:1491555600\n"
      L"GRIB 06110 00012 99500 10086 99013 12040 27015 0000110 11020 27018 8501460 03030 28030\n";
const wchar_t* const kTafs = L"TAF EDDF 061100Z 0612/0718 27012KT 9999 SCT030\n\n";

// A manager with a few stations and reports in every store.
void Fill(CWeatherManager& manager)
{
    manager.InitAirports(kAirports);
    manager.InitWxStations(kWxStations);
    manager.InitMetar(kMetars, true);
    manager.InitSynop(kSynops, true);
    manager.InitWindData(kGrid, true);
    manager.SetTAFText(kTafs);
}

} // namespace

TEST(WeatherManager, CoverageWordsOfTheInterpolatedReport)
{
    const wchar_t* const words[]
        = {L"", L"FEW", L"FEW", L"FEW", L"SCT", L"SCT", L"SCT", L"BKN", L"BKN", L"OVC", L"OVC"};
    for (short oktas = -1; oktas <= 9; ++oktas)
        EXPECT_EQ(CWeatherManager::GetCoverageText(oktas), words[oktas + 1]) << oktas;
}

TEST(WeatherManager, OwnAndStoreMessagesReachTheSignalAndTheLastMessage)
{
    platform::ScopedDebugCapture capture;
    CWeatherManager manager;
    manager.Report(L"(WeatherManager) Initialize TAF");
    EXPECT_EQ(manager.GetLastMessage(), L"(WeatherManager) Initialize TAF");

    std::vector<std::wstring> log;
    manager.sigMessage.connect([&](const wchar_t* text) { log.emplace_back(text); });
    CMetar out;
    EXPECT_FALSE(manager.GetMetar(L"EDDX", out));
    manager.InitWindData(L"# Error: no grid data for the requested area\n", true);
    EXPECT_EQ(log,
              (std::vector<std::wstring>{L"Metar EDDX not found", L"# Error: no grid data for the requested area"}));
    EXPECT_EQ(manager.GetLastMessage(), log.back());
}

TEST(WeatherManager, OneBusyMarkWhicheverStoreSetsIt)
{
    CWeatherManager manager;
    EXPECT_FALSE(manager.IsBusy());
    CMetarManager& metars = manager;
    CSynopManager& synops = manager;
    CGribManager& grid = manager;

    EXPECT_TRUE(metars.SetBusy(true));
    EXPECT_TRUE(grid.IsBusy());
    EXPECT_TRUE(synops.IsBusy());
    EXPECT_FALSE(grid.SetBusy(false));
    EXPECT_FALSE(metars.IsBusy());

    // The mark is a flag: an inner operation clears it while an outer one is still going on.
    synops.SetBusy(true);
    grid.HasGribNear(Position(50.0, 8.6));
    EXPECT_FALSE(manager.IsBusy());
}

TEST(WeatherManager, OwnsTheStationDataOfItsStoresAndKeepsItAndTheTafsThroughClear)
{
    platform::ScopedDebugCapture capture;
    CWeatherManager manager;
    Fill(manager);
    CMetar frankfurt;
    ASSERT_TRUE(manager.GetMetar(L"EDDF", frankfurt));
    EXPECT_EQ(frankfurt.GetName(), L"Frankfurt am Main");
    EXPECT_NEAR(frankfurt.GetPosition().GetLatitude(), 50.0333, 1e-9);
    CSynop synop;
    ASSERT_TRUE(manager.FindNearestSynop(Position(50.0, 8.6), synop));
    EXPECT_EQ(std::wstring(synop.GetICAO()), L"10637");
    EXPECT_NEAR(synop.GetPosition().GetLatitude(), 50.0 + 2.0 / 60.0, 1e-9);
    EXPECT_EQ(manager.CMetarManager::GetCount(), 2);
    EXPECT_FALSE(manager.CGribManager::GetAllRaw().empty());

    manager.Clear();
    EXPECT_EQ(manager.CMetarManager::GetCount(), 0);
    EXPECT_EQ(manager.CSynopManager::GetCount(), 0);
    EXPECT_TRUE(manager.CGribManager::GetAllRaw().empty());
    EXPECT_FALSE(manager.IsBusy());
    EXPECT_EQ(manager.GetAirport(L"EDDH").GetName(), L"Hamburg");
    aviation::weather::CStation station;
    station.SetICAO(L"10147");
    EXPECT_TRUE(manager.CompleteFromWxStation(station));
    EXPECT_EQ(manager.GetTAF(L"EDDF"), L"EDDF 061100Z 0612/0718 27012KT 9999 SCT030");
}

TEST(WeatherManager, EachStoreReportsItsOwnProgress)
{
    platform::ScopedDebugCapture capture;
    CWeatherManager manager;
    std::vector<int> metarProgress;
    std::vector<int> gridProgress;
    manager.sigMetarProgress.connect([&](int percent, const wchar_t*) { metarProgress.push_back(percent); });
    manager.sigGribProgress.connect([&](int percent, const wchar_t*) { gridProgress.push_back(percent); });

    manager.InitWindData(kGrid, true);
    EXPECT_TRUE(metarProgress.empty());
    EXPECT_EQ(gridProgress, (std::vector<int>{1, 50}));
    manager.InitMetar(kMetars, true);
    EXPECT_EQ(metarProgress.size(), 2u);
    EXPECT_EQ(gridProgress.size(), 2u);
}

TEST(WeatherSet, HoldsItsThreeReports)
{
    const aviation::weather::CWeatherSet set(CMetar(L"EDDF 061250Z 27015KT 9999 FEW030 12/08 Q1015"),
                                             CSynop(L"AAXX 06124 10637 32575 72708 10120"),
                                             aviation::weather::CGrib(L"GRIB 06110 00012 99500 10086", true));
    EXPECT_EQ(set.GetMetar().GetRaw(), L"EDDF 061250Z 27015KT 9999 FEW030 12/08 Q1015");
    EXPECT_EQ(std::wstring(set.GetSynop().GetICAO()), L"10637");
    EXPECT_EQ(set.GetGrib().GetLocationKey(), L"50010086");
}
