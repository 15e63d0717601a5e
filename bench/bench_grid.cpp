// Loading a grid text of 500 points into the grid store and decoding every point in full, as a weather
// update around the aircraft does.

#include "platform/debugoutput.h"
#include "tests/support/recordingstore.h"
#include "tests/support/testdata.h"
#include "weather/gribmanager.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CGrib;
using aviation::weather::CGribManager;

namespace {

using GridStore = testsupport::RecordingStore<CGribManager>;

void BM_GridLoadAndDecode(benchmark::State& state)
{
    const std::wstring text = testsupport::FrankfurtLatticeGridText();
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
