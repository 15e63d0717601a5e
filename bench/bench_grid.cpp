// Loading a grid text of 500 points into the grid store and decoding every point in full, as a weather
// update around the aircraft does.

#include "platform/debugoutput.h"
#include "tests/support/recordingstore.h"
#include "tests/support/testdata.h"
#include "weather/gribmanager.h"
#include "weather/wideformat.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CGrib;
using aviation::weather::CGribManager;

namespace {

using GridStore = testsupport::RecordingStore<CGribManager>;

// 500 points on a 0.2 degree lattice around Frankfurt (25 x 20), the bodies taken from the composed
// grid lines of the test data.
std::wstring GridText()
{
    std::vector<std::wstring> bodies;
    for (const std::wstring& line : testsupport::GridPointLines("frankfurt-area.txt"))
        bodies.push_back(line.substr(28));
    std::wstring text = L"# TIME:1491555600\n";
    for (int i = 0; i < 500 && !bodies.empty(); ++i) {
        text += aviation::weather::FormatWide(L"GRIB 06110 00012 99%03d 1%04d", 480 + 2 * (i / 20), 60 + 2 * (i % 20))
            + bodies[static_cast<size_t>(i) % bodies.size()] + L"\n";
    }
    return text;
}

void BM_GridLoadAndDecode(benchmark::State& state)
{
    const std::wstring text = GridText();
    platform::SetDebugSink([](const std::string&) {});
    size_t levels = 0;
    for (auto _ : state) {
        GridStore store;
        store.InitWindData(text, true);
        std::vector<CGrib> points;
        store.GetGribsWithin(Position(50.4, 8.0), points);
        for (CGrib& point : points) {
            point.Decode(false);
            levels += point.GetLevels().size();
        }
        if (points.size() != 500)
            state.SkipWithError("not every point was loaded");
    }
    platform::SetDebugSink({});
    benchmark::DoNotOptimize(levels);
    state.SetItemsProcessed(state.iterations() * 500);
}

} // namespace

BENCHMARK(BM_GridLoadAndDecode)->Unit(benchmark::kMillisecond);
