#include "referencesynopdecoder.h"
#include "tests/support/synopcorpus.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "weather/synop.h"

#include <gtest/gtest.h>

using aviation::weather::CSynop;
using aviation::weather::ReferenceDecodeSynop;
using aviation::weather::SynopValues;

namespace {

// 7 December 2026, 15:00 UTC.
constexpr std::int64_t kNow = 1796655600;

const std::vector<std::wstring> kReports = {
    L"AAXX 01124 10384 32595 81204 10123 21012 30132 40015 52010 60001 70522 82530 333 10132 85815 82590 91125 "
    L"555 01012 10123 21034 81230 91007 91108 91109 PIC 12 BOT 12345",
    L"AAXX 01121 10384 41/98 99999 00123 11005 29050 3015/ 40015 82/3/",
    L"BBXX WDCD 01124 99512 51234 41598 81204 10123 22261 04120 11234 70010 333 85815 444 12345",
    L"BBXX 01124 99512 21234 41598 81204",
    L"OOXX ABC12 01121 99512 Q1234 12345 41598 81204 10123",
    L"AAXX 17121 15108 01/92 92514 11028 21028 37901 48315 50001 69941 77174 333 48014 55300 0//// 20270",
};

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

TEST(SynopReference, CompiledPatternsDecodeLikeStandardRegex)
{
    platform::ScopedClock clock(kNow);
    platform::ScopedDebugCapture quiet;
    std::vector<std::wstring> reports = kReports;
    for (const synopcorpus::Report& report : synopcorpus::Reports())
        reports.push_back(report.text);
    for (const std::wstring& report : reports)
        ExpectSameDecode(report);

    std::mt19937 random(7122026);
    for (int i = 0; i < 10000; ++i)
        ExpectSameDecode(synopcorpus::Mutate(reports[random() % reports.size()], random));
}
