#include "weather/synopmanager.h"

#include "platform/debugoutput.h"
#include "tests/support/recordingstore.h"
#include "weather/weatherstations.h"

#include <gtest/gtest.h>

using aviation::Position;
using aviation::weather::CSynop;
using aviation::weather::CSynopManager;
using aviation::weather::CWeatherStations;

namespace {

using TestSynopStore = testsupport::RecordingStore<CSynopManager>;

const std::wstring kBerlin = L"AAXX 07124 10384 32595 81204 10123 21012 30132 40015 82530";
const std::wstring kMunich = L"AAXX 07124 10868 41/98 80000 10050 20010 39550 40220";

// Two WMO stations in the fixed-column format of the station list.
const std::wstring kStationList = L"103840 EDDT   Berlin/Tegel        DE 5234N 01319E 0037\r\n"
                                  L"108680 EDDM   Muenchen-Flughafen  DE 4821N 01147E 0446\r\n";

} // namespace

TEST(SynopStore, CutsTextAtEqualsSignAppendsAndClears)
{
    platform::ScopedDebugCapture quiet;
    TestSynopStore store;
    store.InitSynop(L"AAXX 07124 10384\r\n32595 81204=AAXX 07124 10868 41/98=", true);
    ASSERT_EQ(store.GetCount(), 2);
    EXPECT_EQ(store.GetAllRaw(), L"AAXX 07124 1038432595 81204=\nAAXX 07124 10868 41/98=\n");
    EXPECT_FALSE(store.IsBusy());

    // Pieces of blanks and line breaks, as after the last "=", and section markers are no reports; a marker line
    // neither hides nor joins the reports around it.
    store.InitSynop(L"\nAAXX 07124 10384 32595=\n[/SYNOP]\nAAXX 07124 10868 41/98=\r\n \n=[x]=\n[y]=AAXX 1=\n", true);
    EXPECT_EQ(store.GetAllRaw(), L"AAXX 07124 10384 32595=\nAAXX 07124 10868 41/98=\nAAXX 1=\n");

    store.InitSynop(L"", true);
    EXPECT_EQ(store.GetAllRaw(), L"");
    EXPECT_TRUE(quiet.Contains("Timer: 0 took"));

    // Without an owner a report keeps no position; without clearing, loads are appended.
    CSynop berlin(kBerlin);
    EXPECT_TRUE(store.AddSynop(berlin, true));
    EXPECT_EQ(berlin.GetPosition(), Position(0.0, 0.0));
    store.InitSynop(kMunich.c_str(), false);
    store.InitSynop(static_cast<const wchar_t*>(nullptr), false);
    EXPECT_EQ(store.GetCount(), 2);
    EXPECT_TRUE(store.reports.empty());

    store.busyChanges = 0;
    store.Clear();
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_EQ(store.busyChanges, 2);
    EXPECT_FALSE(store.IsBusy());
}

TEST(SynopStore, ReportsProgressEveryEleventhReport)
{
    platform::ScopedDebugCapture quiet;
    TestSynopStore store;
    std::vector<std::pair<int, std::wstring>> progress;
    store.sigSynopProgress.connect(
        [&progress](int percent, const wchar_t* text) { progress.emplace_back(percent, text); });
    store.InitSynop(L"", true);
    EXPECT_TRUE(progress.empty());

    std::wstring text;
    for (int i = 0; i < 25; ++i)
        text += kBerlin + L"=";
    store.InitSynop(text, true);
    const std::vector<std::pair<int, std::wstring>> expected
        = {{4, L"Initialize of additional weather data 1 from 25"},
           {48, L"Initialize of additional weather data 12 from 25"},
           {92, L"Initialize of additional weather data 23 from 25"}};
    EXPECT_EQ(progress, expected);
}

TEST(SynopStore, CompletesStationsAndFindsNearestWithin1000Miles)
{
    platform::ScopedDebugCapture quiet;
    CWeatherStations stations;
    stations.InitWxStations(kStationList);
    TestSynopStore store;
    store.SetOwner(&stations);

    CSynop berlin(kBerlin);
    EXPECT_TRUE(store.AddSynop(berlin, true));
    EXPECT_NEAR(berlin.GetPosition().GetLatitude(), 52.5667, 1e-3);
    store.InitSynop(kMunich + L"=" + L"AAXX 07124 99999 32595=", false);
    ASSERT_EQ(store.GetCount(), 3);

    CSynop out;
    EXPECT_TRUE(store.FindNearestSynop(Position(48.0, 11.0), out));
    EXPECT_STREQ(out.GetICAO(), L"10868");
    EXPECT_NEAR(out.GetPosition().GetLongitude(), 11.7833, 1e-3);
    // Only the header is decoded in the store: the full decode happens on the copy handed out.
    EXPECT_EQ(out.GetVisibility(), 99999);
    EXPECT_EQ(out.Decode(), 0);
    EXPECT_EQ(out.GetVisibility(), 20000);

    CSynop far;
    far.SetICAO(L"untouched");
    EXPECT_TRUE(store.FindNearestSynop(Position(-33.9, 151.2), far));
    EXPECT_STREQ(far.GetICAO(), L"untouched");
    EXPECT_FALSE(store.IsBusy());

    TestSynopStore empty;
    EXPECT_TRUE(empty.FindNearestSynop(Position(48.0, 11.0), far));
    EXPECT_STREQ(far.GetICAO(), L"untouched");
}

TEST(SynopStore, ShipKeepsItsOwnPositionWhenItsLongitudeGroupIsAStationNumber)
{
    platform::ScopedDebugCapture quiet;
    CWeatherStations stations;
    stations.InitWxStations(kStationList + L"100150 EDXH   Helgoland           DE 5411N 00754E 0004\r\n");
    TestSynopStore store;
    store.SetOwner(&stations);
    // 54.2 N, 1.5 E: the longitude group 10015 is also the number of the station on Heligoland.
    store.InitSynop(L"BBXX WDCD 07124 99542 10015 41598 81204 10123=" + kMunich + L"=", true);
    ASSERT_EQ(store.GetCount(), 2);

    CSynop out;
    ASSERT_TRUE(store.FindNearestSynop(Position(54.0, 2.0), out));
    EXPECT_STREQ(out.GetICAO(), L"10015");
    EXPECT_EQ(out.GetName(), L"WDCD");
    EXPECT_EQ(out.GetPosition(), Position(54.2, 1.5));
    ASSERT_TRUE(store.FindNearestSynop(Position(48.0, 11.0), out));
    EXPECT_STREQ(out.GetICAO(), L"10868");
}
