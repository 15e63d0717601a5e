#include "platform/debugoutput.h"
#include "tests/support/recordingstore.h"
#include "tests/support/testdata.h"
#include "weather/gribmanager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using aviation::Position;
using aviation::weather::CGrib;
using aviation::weather::CGribManager;

namespace {

// The grid store as the weather manager completes it: a busy flag and a message log.
class GridStore : public testsupport::RecordingStore<CGribManager>
{
public:
    int Count() const
    {
        const std::wstring raw = GetAllRaw();
        return static_cast<int>(std::count(raw.begin(), raw.end(), L'\n'));
    }
};

const wchar_t* const kBody = L" 99013 12040 27015 0000110 11020 27018 9200760 07425 27525 8501460 03030 28030";

// A grid line at whole tenths of a degree in the northern and eastern quadrant.
std::wstring GridLine(int latitudeTenths, int longitudeTenths)
{
    wchar_t header[64];
    std::swprintf(header, 64, L"GRIB 06110 00012 99%03d 1%04d", latitudeTenths, longitudeTenths);
    return header + std::wstring(kBody);
}

std::wstring ReadGridFile(const char* name)
{
    return testsupport::ReadLatin1File(testsupport::TestDataPath(std::string("grid/") + name));
}

// The file's grid lines without the heading line.
std::wstring WithoutHeading(const std::wstring& text)
{
    return text.substr(text.find(L'\n') + 1);
}

} // namespace

TEST(GribStoreLoad, HeadingTimeDatesEveryRecordAndOnlyAReloadAfterClearAddsAnything)
{
    platform::ScopedDebugCapture capture;
    GridStore store;
    const std::wstring text = ReadGridFile("three-points.txt");
    ASSERT_FALSE(text.empty());
    store.InitWindData(text, true);
    EXPECT_EQ(store.Count(), 3);
    EXPECT_FALSE(store.IsBusy());
    EXPECT_TRUE(store.reports.empty());
    EXPECT_TRUE(capture.Contains("Initalize wind data\n"));

    CGrib record;
    ASSERT_TRUE(store.FindNearestGrib(Position(50.1, 8.6), record));
    EXPECT_EQ(record.GetLocationKey(), L"50110086");
    EXPECT_EQ(store.GetNearestGrib(Position(50.1, 8.6)).GetTime(), 1491555600);
    EXPECT_TRUE(store.GetNearestGrib(Position(50.1, 8.6)).GetLevels().empty());

    // Reloading, even a newer grid for the same points, adds nothing: the points are already present.
    const std::wstring before = store.GetAllRaw();
    std::wstring newer = text;
    newer.replace(newer.find(L"1491555600"), 10, L"1491559200");
    for (const std::wstring& again : {text, newer}) {
        store.InitWindData(again.c_str(), false);
        EXPECT_EQ(store.GetAllRaw(), before);
    }

    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_FALSE(store.IsBusy());
    store.InitWindData(text, false);
    EXPECT_EQ(store.Count(), 3);
}

TEST(GribStoreLoad, RefusalLineLeavesTheStoreAsItWas)
{
    platform::ScopedDebugCapture capture;
    GridStore store;
    store.InitWindData(ReadGridFile("three-points.txt"), true);
    const std::wstring before = store.GetAllRaw();

    const std::wstring refusal = ReadGridFile("refusal.txt");
    store.InitWindData(refusal, false);
    EXPECT_EQ(store.GetAllRaw(), before);
    ASSERT_EQ(store.reports.size(), 1u);
    EXPECT_EQ(store.reports[0], L"# Error: no grid data for the requested area");
    EXPECT_FALSE(store.IsBusy());

    // With clearing first the store is emptied before the refusal is seen.
    store.InitWindData(refusal, true);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_FALSE(store.IsBusy());
}

TEST(GribStoreLoad, FirstLineWithoutHashIsAGridLineAndShortLinesAreSkipped)
{
    platform::ScopedDebugCapture capture;
    GridStore store;
    store.InitWindData(GridLine(501, 86) + L"\n" + GridLine(506, 86) + L"\n", true);
    EXPECT_EQ(store.Count(), 2);
    EXPECT_EQ(store.GetNearestGrib(Position(50.1, 8.6)).GetTime(), 0);

    // Of the lines without a header only one point, at (0, 0) and near nothing, is kept.
    store.InitWindData(L"# TIME:1491555600\nGRI\n\n" + GridLine(501, 86) + L"\nnot a grid line\nstill not one\n", true);
    EXPECT_EQ(store.Count(), 2);
    EXPECT_EQ(store.reports.size(), 1u);
    EXPECT_NE(store.GetAllRaw().find(L"not a grid line\n"), std::wstring::npos);
    EXPECT_FALSE(store.HasGribNear(Position(0.0, 0.0)));
}

TEST(GribStoreLoad, ProgressFiresForTheFirstAndEveryEleventhLine)
{
    platform::ScopedDebugCapture capture;
    const std::wstring lines = WithoutHeading(ReadGridFile("frankfurt-area.txt"));
    GridStore store;
    std::vector<std::pair<int, std::wstring>> progress;
    store.sigGribProgress.connect([&](int percent, const wchar_t* text) { progress.emplace_back(percent, text); });

    store.InitWindData(lines, true);
    EXPECT_EQ(store.Count(), 23);
    ASSERT_EQ(progress.size(), 4u);
    EXPECT_EQ(progress[0], std::make_pair(1, std::wstring(L"Initalize wind data")));
    EXPECT_EQ(progress[1], std::make_pair(4, std::wstring(L"Initialize of wind data 1 from 23")));
    EXPECT_EQ(progress[2], std::make_pair(52, std::wstring(L"Initialize of wind data 12 from 23")));
    EXPECT_EQ(progress[3], std::make_pair(100, std::wstring(L"Initialize of wind data 23 from 23")));

    // With the heading line the count is 24 and the last counted line has index 23.
    progress.clear();
    store.InitWindData(ReadGridFile("frankfurt-area.txt"), true);
    ASSERT_EQ(progress.size(), 4u);
    EXPECT_EQ(progress[3], std::make_pair(95, std::wstring(L"Initialize of wind data 23 from 24")));
}

TEST(GribStoreAdd, SameKeyReplacesTheRecordAndDecidesWhetherItIsCurrent)
{
    GridStore store;
    CGrib stored(GridLine(501, 86), true);
    stored.SetTime(1000);
    store.AddGrib(stored);
    EXPECT_EQ(store.busyChanges, 0);
    CGrib update(GridLine(501, 86) + L" L6123", true);
    for (const auto& [time, current] : {std::pair(999, true), std::pair(1000, true), std::pair(1001, false)}) {
        update.SetTime(time);
        EXPECT_EQ(store.IsCurrent(update), current) << time;
    }
    EXPECT_FALSE(store.IsCurrent(CGrib(GridLine(506, 86), true)));
    EXPECT_TRUE(store.HasGribAt(stored.GetPosition()));
    EXPECT_FALSE(store.HasGribAt(Position(50.1, 8.7)));

    const int busyChanges = store.busyChanges;
    store.AddGrib(update);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(store.GetAllRaw(), update.GetRaw() + L"\n");
    EXPECT_EQ(store.busyChanges, busyChanges);
}

TEST(GribStoreNearest, FirstOfEquallyNearWinsAndNothingWithin500KilometresGivesADefaultRecord)
{
    GridStore store;
    store.AddGrib(CGrib(GridLine(500, 90), true));
    store.AddGrib(CGrib(GridLine(500, 70), true));
    EXPECT_EQ(store.GetNearestGrib(Position(50.0, 8.0)).GetLocationKey(), L"50010090");
    store.AddGrib(CGrib(GridLine(501, 80), true));
    EXPECT_EQ(store.GetNearestGrib(Position(50.0, 8.0)).GetLocationKey(), L"50110080");

    CGrib out(GridLine(600, 100), true);
    EXPECT_FALSE(store.FindNearestGrib(Position(40.0, 8.6), out));
    EXPECT_EQ(out.GetLocationKey(), L"60010100");
    EXPECT_TRUE(store.GetNearestGrib(Position(40.0, 8.6)).GetLocationKey().empty());

    std::vector<CGrib> within(1);
    EXPECT_TRUE(store.GetGribsWithin(Position(40.0, 8.6), within));
    EXPECT_EQ(within.size(), 1u);
    EXPECT_TRUE(store.GetGribsWithin(Position(49.0, 8.6), within));
    EXPECT_EQ(within.size(), 4u);
    EXPECT_FALSE(store.IsBusy());
}

TEST(GribStoreNear, TwentyAndHundredMileRules)
{
    // Tenths of a degree of latitude north of 50: 4 is 24 NM, 15 is 90 NM, 25 is 150 NM, 3 is 18 NM.
    const struct
    {
        std::vector<int> latitudes;
        bool near;
    } cases[] = {{{}, false}, {{504, 515}, true}, {{525}, false}, {{525, 503}, true}};
    for (const auto& c : cases) {
        GridStore store;
        for (int latitude : c.latitudes)
            store.AddGrib(CGrib(GridLine(latitude, 80), true));
        EXPECT_EQ(store.HasGribNear(Position(50.0, 8.0)), c.near) << c.latitudes.size();
        EXPECT_FALSE(store.IsBusy());
    }
}
