#include "tests/support/synopcorpus.h"

#include "platform/debugoutput.h"
#include "weather/metar.h"
#include "weather/synop.h"

#include <gtest/gtest.h>

#include <set>

using aviation::weather::CMetar;
using aviation::weather::CSynop;

namespace {

// Real-looking reports to start from when the shared data folder is absent.
const std::vector<std::wstring> kSeeds = {
    L"AAXX 01124 10384 32595 81204 10123 21012 30132 40015 52010 60001 70522 82530 333 10132 85815 82590 91125 "
    L"555 01012 10123 21034 81230 91007 91108 91109",
    L"BBXX WDCD 01124 99512 51234 41598 81204 10123 22261 04120 333 85815 444 12345",
    L"OOXX ABC12 01121 99512 Q1234 12345 41598 99999 00123 29050",
    L"AAXX 17121 15108 01/92 92514 11028 21028 37901 48315 50001 69941 77174 333 48014 55300 0//// 20270",
};

} // namespace

TEST(SynopFuzz, MutatedAndTruncatedReportsAlwaysGiveACode)
{
    std::vector<std::wstring> seeds = kSeeds;
    for (const synopcorpus::Report& report : synopcorpus::Reports())
        seeds.push_back(report.text);
    // Very long texts only have their front looked at.
    seeds.push_back(L"AAXX 01124 10384" + std::wstring(200000, L' ') + L"32595");
    seeds.push_back(L"AAXX 01124 10384 333 " + std::wstring(200000, L'8'));

    const std::set<int> headerCodes = {0, 1, 2, 4, 6};
    const std::set<int> codes = {0, 1, 2, 3, 4, 6};
    platform::ScopedDebugCapture quiet;
    std::mt19937 random(20261207);
    for (int i = 0; i < 100000; ++i) {
        const std::wstring text = synopcorpus::Mutate(seeds[random() % seeds.size()], random);
        CSynop synop(text);
        const int header = synop.DecodeHeader();
        ASSERT_TRUE(headerCodes.count(header)) << header;
        const int code = synop.Decode();
        ASSERT_TRUE(codes.count(code)) << code;
        if (i % 10 == 0) {
            CMetar target(L"EDDF");
            synop.ToMetar(target);
            EXPECT_FALSE(target.GetRaw().empty());
        }
    }
}
