#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "tests/support/recordingstore.h"
#include "tests/support/testdata.h"
#include "weather/grib.h"
#include "weather/gribmanager.h"
#include "weather/metar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CGrib;
using aviation::weather::CGribManager;
using aviation::weather::CLevel;
using aviation::weather::CMetar;

namespace {

using GridStore = testsupport::RecordingStore<CGribManager>;

std::vector<std::wstring> ComposedLines()
{
    std::vector<std::wstring> lines;
    for (const char* name : {"frankfurt-area.txt", "three-points.txt", "quadrants.txt"}) {
        const std::vector<std::wstring> points = testsupport::GridPointLines(name);
        lines.insert(lines.end(), points.begin(), points.end());
    }
    return lines;
}

// Damages a grid line the way a bad download or a broken server would: wrong, missing, repeated or
// foreign characters, cut-off ends, and groups moved around.
std::wstring Mutate(std::wstring line, std::mt19937& random)
{
    static const std::wstring alphabet = L"0123456789/ LMHGRIB#\n\t-+\xe9\x2603";
    auto pick = [&](size_t size) { return std::uniform_int_distribution<size_t>(0, size ? size - 1 : 0)(random); };
    const int edits = 1 + static_cast<int>(pick(6));
    for (int e = 0; e < edits; ++e) {
        switch (pick(7)) {
        case 0:
            if (!line.empty())
                line[pick(line.size())] = alphabet[pick(alphabet.size())];
            break;
        case 1:
            if (!line.empty())
                line.erase(pick(line.size()), 1 + pick(8));
            break;
        case 2:
            line.insert(pick(line.size() + 1), 1, alphabet[pick(alphabet.size())]);
            break;
        case 3:
            line.resize(pick(line.size() + 1));
            break;
        case 4:
            if (!line.empty()) {
                const size_t from = pick(line.size());
                line.insert(pick(line.size() + 1), line.substr(from, 1 + pick(40)));
            }
            break;
        case 5:
            line = line.substr(0, pick(line.size() + 1)) + L" 7713000 56156 66510 L9999 M[123 H";
            break;
        default:
            for (int i = 0; i < 20 && !line.empty(); ++i)
                line[pick(line.size())] = static_cast<wchar_t>(L'0' + pick(10));
            break;
        }
    }
    return line;
}

} // namespace

TEST(GribRobustness, MutatedAndTruncatedLinesNeverCrash)
{
    const std::vector<std::wstring> lines = ComposedLines();
    ASSERT_FALSE(lines.empty());
    platform::ScopedDebugCapture capture;
    platform::ScopedClock clock(1765000000);
    std::mt19937 random(20261206);

    size_t levelsSeen = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::wstring line = Mutate(lines[static_cast<size_t>(i) % lines.size()], random);
        CGrib grib(line, true);
        grib.Decode(false);
        levelsSeen += grib.GetLevels().size();
        EXPECT_LE(grib.GetLocationKey().size(), 8u);
        const int altitude = std::uniform_int_distribution<int>(-2000, 70000)(random);
        if (grib.GetLevels().size() >= 2 && i % 10 == 0) {
            const CLevel level = grib.GetLevelAtAltitude(altitude);
            EXPECT_FALSE(std::isnan(level.direction) || std::isnan(level.speed) || std::isnan(level.GetTemperature()));
        }
        if (i % 100 == 0) {
            CMetar report;
            grib.ToMetar(report);
        }
        if (i % 1000 == 0)
            capture.Clear();
    }
    EXPECT_GT(levelsSeen, 100000u);
}

TEST(GribRobustness, DamagedGridTextsLoadWithoutHarm)
{
    const std::vector<std::wstring> lines = ComposedLines();
    platform::ScopedDebugCapture capture;
    std::mt19937 random(7);
    GridStore store;
    for (int round = 0; round < 200; ++round) {
        std::wstring text = L"# TIME:1491555600\n";
        for (size_t i = 0; i < lines.size(); ++i)
            text += (i % 3 == 0 ? Mutate(lines[i], random) : lines[i]) + L"\n";
        store.InitWindData(Mutate(text, random), round % 2 == 0);
        EXPECT_FALSE(store.IsBusy());
        store.HasGribNear(Position(50.0, 8.5));
        store.GetNearestGrib(Position(50.0, 8.5)).Decode(false);
    }
    // A very long line decodes in bounded time and space.
    CGrib huge(lines[0] + std::wstring(200000, L'7'), true);
    EXPECT_TRUE(huge.Decode(false));
    std::wstring repeated = L"GRIB 06110 00012 99501 10086 99013 12040 27015";
    for (int i = 0; i < 20000; ++i)
        repeated += L" 8501460 03030 28030";
    CGrib many(repeated, true);
    EXPECT_TRUE(many.Decode(false));
    EXPECT_LT(many.GetLevels().size(), 200u);
}
