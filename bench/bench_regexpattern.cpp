#include "weather/regexpattern.h"

#include <benchmark/benchmark.h>

#include <regex>

namespace {

const wchar_t* const kPattern = L"^([0-9]{3})([0-9]{2})G([0-9]{2})KT";
const std::wstring kText = L"24015G25KT 9999 FEW040 12/08 Q1015";

void BM_CompiledPatternSearch(benchmark::State& state)
{
    const aviation::weather::RegexPattern pattern(kPattern);
    aviation::weather::RegexMatch match;
    for (auto _ : state)
        benchmark::DoNotOptimize(pattern.Search(kText, match));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CompiledPatternSearch);

void BM_StdRegexSearch(benchmark::State& state)
{
    const std::wregex pattern(kPattern);
    std::wsmatch match;
    for (auto _ : state)
        benchmark::DoNotOptimize(std::regex_search(kText, match, pattern));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StdRegexSearch);

} // namespace
