#include "synopcorpus.h"

#include "platform/debugoutput.h"
#include "weather/metar.h"
#include "weather/synop.h"

#include <gtest/gtest.h>

#include <random>
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

const wchar_t kAlphabet[] = L"0123456789/////     AABBOOXXQ9=PICBOT\t-+M";

std::wstring Mutate(std::wstring text, std::mt19937& random)
{
    std::uniform_int_distribution<int> kind(0, 9);
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < edits; ++i) {
        const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        const wchar_t c = kAlphabet[random() % (sizeof(kAlphabet) / sizeof(wchar_t) - 1)];
        switch (kind(random)) {
        case 0:
        case 1:
            text.resize(at); // truncated download
            break;
        case 2:
        case 3:
            if (at < text.size())
                text[at] = c;
            break;
        case 4:
            text.insert(at, 1, c);
            break;
        case 5:
            if (at < text.size())
                text.erase(at, 1 + random() % 6);
            break;
        case 6:
            text.insert(at, text.substr(at / 2, 6)); // a repeated group
            break;
        case 7:
            text.insert(at, random() % 400, L' ');
            break;
        case 8:
            text.insert(at, 1, static_cast<wchar_t>(random() % 0x110000));
            break;
        default:
            text.insert(at, random() % 2 ? L" 333 " : L" 555 0101/ 1////");
            break;
        }
    }
    return text;
}

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
        const std::wstring text = Mutate(seeds[random() % seeds.size()], random);
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
