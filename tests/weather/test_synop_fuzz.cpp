#include "referencesynopdecoder.h"
#include "tests/support/synopcorpus.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "weather/metar.h"
#include "weather/synop.h"

#include <gtest/gtest.h>

#include <set>

using aviation::weather::CMetar;
using aviation::weather::CSynop;
using aviation::weather::ReferenceDecodeSynop;
using aviation::weather::SynopValues;

namespace {

// 7 December 2026, 15:00 UTC.
constexpr std::int64_t kNow = 1796655600;

// Real-looking reports, joined by the real ones of the shared data folder when it is there.
std::vector<std::wstring> Reports()
{
    std::vector<std::wstring> reports = {
        L"AAXX 01124 10384 32595 81204 10123 21012 30132 40015 52010 60001 70522 82530 333 10132 85815 82590 91125 "
        L"555 01012 10123 21034 81230 91007 91108 91109 PIC 12 BOT 12345",
        L"AAXX 01121 10384 41/98 99999 00123 11005 29050 3015/ 40015 82/3/",
        L"BBXX WDCD 01124 99512 51234 41598 81204 10123 22261 04120 11234 70010 333 85815 444 12345",
        L"BBXX 01124 99512 21234 41598 81204",
        L"OOXX ABC12 01121 99512 Q1234 12345 41598 81204 10123",
        L"AAXX 17121 15108 01/92 92514 11028 21028 37901 48315 50001 69941 77174 333 48014 55300 0//// 20270",
    };
    for (const synopcorpus::Report& report : synopcorpus::Reports())
        reports.push_back(report.text);
    return reports;
}

// Compares both decoders on one text: the header decode the constructor runs, then the full decode.
void ExpectSameDecode(const std::wstring& text)
{
    SynopValues expected = SynopValues::Of(CSynop());
    const int expectedHeader = ReferenceDecodeSynop(text, expected, true);
    const int expectedCode = ReferenceDecodeSynop(text, expected, false);

    CSynop synop(text);
    const int header = CSynop(text).DecodeHeader();
    const int code = synop.Decode();
    ASSERT_EQ(header, expectedHeader) << std::string(text.begin(), text.end());
    ASSERT_EQ(code, expectedCode) << std::string(text.begin(), text.end());
    ASSERT_EQ(SynopValues::Of(synop), expected) << std::string(text.begin(), text.end());
}

} // namespace

TEST(SynopFuzz, MutatedAndTruncatedReportsAlwaysGiveACode)
{
    std::vector<std::wstring> seeds = Reports();
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

TEST(SynopReference, CompiledPatternsDecodeLikeStandardRegex)
{
    platform::ScopedClock clock(kNow);
    platform::ScopedDebugCapture quiet;
    const std::vector<std::wstring> reports = Reports();
    for (const std::wstring& report : reports)
        ExpectSameDecode(report);

    std::mt19937 random(7122026);
    for (int i = 0; i < 10000; ++i)
        ExpectSameDecode(synopcorpus::Mutate(reports[random() % reports.size()], random));
}
