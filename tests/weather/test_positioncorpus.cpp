// The weather at every point of a world lattice, over a real day's METARs, real SYNOP bulletins and a
// composed world grid: every answer is a report or a clear "nothing here", never garbage.

#include "weather/resourcetextstore.h"
#include "weather/textconversion.h"
#include "weather/weathermanager.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "tests/support/synopcorpus.h"
#include "tests/support/testdata.h"
#include "tools/common/weathercentercsv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CCloudLayer;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CWeatherManager;

namespace {

// 2023-01-17 13:00 UTC: the Romanian bulletins of 12:00 that day are fresh.
constexpr std::int64_t kSeventeenthOneOClock = 1673960400;

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 256 ? static_cast<char>(c) : '?';
    return narrow;
}

bool IsFinite(const CMetar& metar)
{
    bool finite = std::isfinite(metar.GetWind().direction) && std::isfinite(metar.GetWind().speed)
        && std::isfinite(metar.GetWind().gust) && std::isfinite(metar.GetQNH(true))
        && std::isfinite(metar.GetPosition().GetLatitude()) && std::isfinite(metar.GetPosition().GetLongitude());
    return finite && metar.GetRaw().find(L"nan") == std::wstring::npos
        && metar.GetRaw().find(L"inf") == std::wstring::npos;
}

class PositionCorpus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string folder = AEROVANE_SHARED_DATA_DIR;
        std::string csv;
        if (!testsupport::ReadTextFile(folder + "/metar/awc-2022-10-22T1912Z.csv", csv))
            GTEST_SKIP() << "no shared data folder at " << folder;
        ResourceTextStore::LoadAirports();
        ResourceTextStore::LoadStations();
        manager.InitAirports(ResourceTextStore::GetAirportText().toStdWString());
        manager.InitWxStations(ResourceTextStore::GetStationText().toStdWString());
        platform::ScopedDebugCapture quiet;
        manager.InitMetar(tools::MetarStoreText(tools::MetarReports(csv)), true);
        bool first = true;
        for (const std::string& name : synopcorpus::BulletinNames()) {
            std::string text;
            ASSERT_TRUE(testsupport::ReadTextFile(synopcorpus::Folder() + "/" + name, text));
            manager.InitSynop(CharToWString(text.c_str()), first);
            first = false;
        }
        std::string grid;
        ASSERT_TRUE(testsupport::ReadTextFile(testsupport::TestDataPath("position/world-grid.txt"), grid));
        manager.InitWindData(CharToWString(grid.c_str()), true);
        RememberFailingReports();
    }

    // The texts (after the station code) of the stored reports that fail to decode even after repair: an
    // answer copied from one of them fails for the report's own sake.
    void RememberFailingReports()
    {
        for (CMetar report : manager.GetMetarList()) {
            const std::wstring original = report.GetRaw();
            if (report.Decode() == 0)
                continue;
            failingTexts.insert(original.substr(std::min<size_t>(4, original.size())));
            manager.RepairMetar(report);
            if (report.Decode() != 0)
                failingTexts.insert(report.GetRaw().substr(std::min<size_t>(4, report.GetRaw().size())));
        }
    }

    bool IsCopyOfFailingReport(const CMetar& answer) const
    {
        const std::wstring raw = answer.GetRaw();
        return failingTexts.count(raw.substr(std::min<size_t>(4, raw.size()))) > 0;
    }

    CWeatherManager manager;
    std::set<std::wstring> failingTexts;
};

} // namespace

TEST_F(PositionCorpus, EveryLatticePointGetsAReportOrNothing)
{
    platform::ScopedClock clock(kSeventeenthOneOClock);
    platform::ScopedDebugCapture quiet;
    std::map<int, int> statuses;
    std::map<int, int> copiedFailures;
    int decoded = 0;
    int written = 0;
    int points = 0;
    for (int latitude = -90; latitude <= 90; latitude += 2) {
        for (int longitude = -180; longitude < 180; longitude += 2, ++points) {
            const Position position(latitude, longitude);
            CStation station;
            manager.MakeStation(station, &position, L"", L"XWXQ");
            CMetar metar;
            metar.SetStation(station);
            const std::string where = std::to_string(latitude) + " " + std::to_string(longitude);
            // A report written from the four neighbours, where there are four, decodes with clouds above ground.
            CMetar fromNeighbours(metar);
            if (manager.InterpolationMetar(fromNeighbours, false, 200)) {
                ++written;
                EXPECT_TRUE(IsFinite(fromNeighbours)) << Narrow(fromNeighbours.GetRaw());
                for (const CCloudLayer& layer : fromNeighbours.GetCloudLayers())
                    EXPECT_GE(layer.GetBase(), 0) << Narrow(fromNeighbours.GetRaw());
                CMetar again(fromNeighbours);
                EXPECT_EQ(again.Decode(), 0) << where << ": " << Narrow(fromNeighbours.GetRaw());
            }

            const int status = manager.GetMetarForPosition(position, metar, 30.0, 30.0);
            ++statuses[status];
            EXPECT_TRUE(status == 1 || status == 4) << where;
            EXPECT_TRUE(IsFinite(metar)) << where;
            if (status != 1)
                continue;
            CMetar answer(metar);
            const int code = answer.Decode();
            EXPECT_TRUE(IsFinite(answer));
            if (code == 0)
                ++decoded;
            else if (IsCopyOfFailingReport(answer))
                ++copiedFailures[code];
            else
                ADD_FAILURE() << "code " << code << " at " << where << ": " << Narrow(answer.GetRaw());
        }
    }
    std::printf("[ lattice  ] %d points: %d status 1 (%d decode with code 0), %d status 4, %d other\n", points,
                statuses[1], decoded, statuses[4], points - statuses[1] - statuses[4]);
    for (const auto& [code, count] : copiedFailures)
        std::printf("[ lattice  ] %d answers copy a real report that fails with code %d\n", count, code);
    std::printf("[ lattice  ] %d reports written from four neighbours\n", written);
    EXPECT_GT(statuses[1], 1000);
    EXPECT_GT(written, 500);
}
