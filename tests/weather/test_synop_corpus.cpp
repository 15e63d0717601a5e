#include "tests/support/synopcorpus.h"

#include "platform/debugoutput.h"
#include "tests/support/recordingstore.h"
#include "weather/metar.h"
#include "weather/resourcetextstore.h"
#include "weather/synop.h"
#include "weather/synopmanager.h"
#include "weather/weatherstations.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwctype>
#include <map>
#include <set>

using aviation::Position;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CSynop;
using aviation::weather::CSynopManager;
using aviation::weather::CWeatherStations;

namespace {

using TestSynopStore = testsupport::RecordingStore<CSynopManager>;

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// A METAR line group of three digits alone: a layer of 0 or 9 oktas, which the line writes without a cover word.
bool HasLayerWithoutCover(const std::wstring& line)
{
    for (std::size_t i = 0; i + 4 <= line.size(); ++i) {
        if ((i == 0 || line[i - 1] == L' ') && iswdigit(line[i]) && iswdigit(line[i + 1]) && iswdigit(line[i + 2])
            && line[i + 3] == L' ')
            return true;
    }
    return false;
}

const std::set<int> kSynopCodes = {0, 1, 2, 3, 4, 6};

void PrintCodes(const char* what, const std::map<int, int>& codes)
{
    for (const auto& [code, count] : codes)
        std::printf("  %s code %d: %d\n", what, code, count);
}

} // namespace

TEST(SynopCorpus, RealReportsDecodeAndLandStationsGetTheirListedPosition)
{
    const std::vector<synopcorpus::Report> reports = synopcorpus::Reports();
    if (reports.empty())
        GTEST_SKIP() << "no SYNOP bulletins in " << synopcorpus::Folder();
    platform::ScopedDebugCapture quiet;
    ASSERT_TRUE(ResourceTextStore::LoadStations());
    CWeatherStations stations;
    stations.InitWxStations(ResourceTextStore::GetStationText().toStdWString());
    TestSynopStore store;
    store.SetOwner(&stations);

    std::map<int, int> synopCodes;
    std::map<int, int> metarCodes;
    int listed = 0;
    int placed = 0;
    std::vector<std::string> notListed;
    std::vector<std::string> metarFailures;
    for (const synopcorpus::Report& report : reports) {
        CSynop synop(report.text);
        store.AddSynop(synop, true);
        const int code = synop.Decode();
        ++synopCodes[code];
        EXPECT_EQ(code, 0) << report.file << ": " << Narrow(report.text);

        CStation listedStation;
        listedStation.SetICAO(synop.GetICAO());
        if (stations.CompleteFromWxStation(listedStation)) {
            ++listed;
            EXPECT_EQ(synop.GetPosition(), listedStation.GetPosition()) << Narrow(report.text);
            if (!(synop.GetPosition() == Position(0.0, 0.0)))
                ++placed;
        } else {
            notListed.push_back(Narrow(synop.GetICAO()));
        }

        CMetar target(L"ZZZZ");
        synop.ToMetar(target);
        const int metarCode = CMetar(target.GetRaw()).Decode();
        ++metarCodes[metarCode];
        if (metarCode != 0) {
            metarFailures.push_back(Narrow(report.text) + "  ->  " + Narrow(target.GetRaw()));
            // What the METAR line cannot carry: a layer without cover word, a speed of three digits, or a wind at
            // all ("/////KT").
            EXPECT_TRUE(HasLayerWithoutCover(target.GetRaw()) || synop.GetWind().speed >= 99.5
                        || target.GetRaw().find(L"/////KT") != std::wstring::npos)
                << metarFailures.back();
        }
    }

    std::printf("SYNOP corpus: %zu reports, %d of stations in the WMO list (%d placed)\n", reports.size(), listed,
                placed);
    PrintCodes("SYNOP", synopCodes);
    PrintCodes("METAR line", metarCodes);
    for (const std::string& station : notListed)
        std::printf("  station not in the WMO list: %s\n", station.c_str());
    for (const std::string& failure : metarFailures)
        std::printf("  METAR line not decoded: %s\n", failure.c_str());
    EXPECT_EQ(listed, placed);
    EXPECT_TRUE(store.reports.empty());
    ResourceTextStore::Release();
}

TEST(SynopCorpus, BulletinFilesAsTheStoreCutsThem)
{
    const std::vector<synopcorpus::File> files = synopcorpus::ReadFiles();
    if (files.empty())
        GTEST_SKIP() << "no SYNOP bulletins in " << synopcorpus::Folder();
    platform::ScopedDebugCapture quiet;
    TestSynopStore store;
    std::map<int, int> headerCodes;
    std::map<int, int> codes;
    std::size_t pieces = 0;
    for (const synopcorpus::File& file : files) {
        store.InitSynop(file.text, true);
        const std::vector<std::wstring> reports = CSynopManager::SplitReports(file.text);
        ASSERT_EQ(store.GetCount(), static_cast<int>(reports.size())) << file.name;
        pieces += reports.size();
        for (const std::wstring& report : reports) {
            CSynop synop(report);
            ++headerCodes[synop.DecodeHeader()];
            const int code = synop.Decode();
            ++codes[code];
            EXPECT_TRUE(kSynopCodes.count(code)) << Narrow(report);
        }
        EXPECT_FALSE(store.IsBusy());
    }
    // Only a report that begins with its own "AAXX YYGGi" is readable this way; in a GTS bulletin the header
    // stands once, behind the bulletin heading.
    std::printf("SYNOP files cut at \"=\": %zu pieces\n", pieces);
    PrintCodes("SYNOP", codes);
    PrintCodes("SYNOP header", headerCodes);
}
