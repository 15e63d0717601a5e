#include "weather/tafmanager.h"

#include "tests/support/testdata.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

using aviation::weather::CTAFManager;

namespace {

const std::wstring kFrankfurt = L"EDDF 061100Z 0612/0718 27012KT 9999 SCT030 BECMG 0618/0620 VRB03KT";
const std::wstring kHamburg = L"EDDH 061100Z 0612/0712 24015G25KT 8000 -RA BKN012 TEMPO 0612/0616 4000 RA";

CTAFManager Store(const std::wstring& text)
{
    CTAFManager store;
    store.SetTAFText(text.c_str());
    return store;
}

} // namespace

TEST(TafStore, AnswersNoTafWithoutTheIcao)
{
    EXPECT_EQ(CTAFManager().GetTAF(L"EDDF"), L"no TAF available");
    EXPECT_EQ(Store(L"TAF " + kHamburg + L"\n\n").GetTAF(L"EDDF"), L"no TAF available");
}

TEST(TafStore, CutsTheForecastFromTheIcaoToTheEmptyLine)
{
    const CTAFManager store = Store(L"TAF " + kFrankfurt + L"\n\nTAF " + kHamburg + L"\n\n");
    EXPECT_EQ(store.GetTAF(L"EDDF"), kFrankfurt);
    EXPECT_EQ(store.GetTAF(L"EDDH"), kHamburg);
}

TEST(TafStore, LastForecastWithoutEmptyLineFails)
{
    const CTAFManager store = Store(L"TAF " + kFrankfurt + L"\n\nTAF " + kHamburg + L" AMD EDDF\n");
    EXPECT_EQ(store.GetTAF(L"EDDH"), L"TAF failed");
    EXPECT_EQ(store.GetTAF(L"EDDF"), L"TAF failed");
}

TEST(TafStore, CarriageReturnSeparatorsFail)
{
    const CTAFManager store = Store(L"TAF " + kFrankfurt + L"\r\n\r\nTAF " + kHamburg + L"\r\n\r\n");
    EXPECT_EQ(store.GetTAF(L"EDDF"), L"TAF failed");
    EXPECT_EQ(store.GetTAF(L"EDDH"), L"TAF failed");
}

TEST(TafStore, SecondForecastWithTheIcaoWins)
{
    const std::wstring amended = L"EDDF 061300Z 0613/0718 28010KT CAVOK";
    const CTAFManager store = Store(L"TAF " + kFrankfurt + L"\n\nTAF AMD " + amended + L"\n\n");
    EXPECT_EQ(store.GetTAF(L"EDDF"), amended);
}

TEST(TafStore, EmptyOrLineFeedIcaoAnswersWithoutHanging)
{
    const CTAFManager store = Store(L"TAF " + kFrankfurt + L"\n\nTAF " + kHamburg + L"\n\n");
    EXPECT_EQ(store.GetTAF(L""), L"no TAF available");
    EXPECT_EQ(store.GetTAF(L"\n"), L"TAF failed");
    EXPECT_EQ(store.GetTAF(L"\n\n"), L"");
}

TEST(TafStore, FindsEveryRealForecast)
{
    std::ifstream file(testsupport::SharedDataPath("taf/metar-taf-pairs.tsv"));
    if (!file)
        GTEST_SKIP() << "shared TAF data not found";
    std::string line;
    std::getline(file, line);
    std::wstring text;
    std::vector<std::pair<std::wstring, std::wstring>> forecasts;
    while (std::getline(file, line)) {
        std::vector<std::string> columns;
        std::stringstream fields(line);
        for (std::string column; std::getline(fields, column, '\t');)
            columns.push_back(column);
        if (columns.size() < 5 || columns[4].rfind("TAF ", 0) != 0)
            continue;
        const std::wstring icao(columns[0].begin(), columns[0].end());
        const std::wstring taf(columns[4].begin(), columns[4].end());
        text += taf + L"\n\n";
        forecasts.emplace_back(icao, taf);
    }
    ASSERT_GT(forecasts.size(), 100u);
    // An airport with several forecasts answers with its last one.
    std::map<std::wstring, std::wstring> last;
    for (const auto& [icao, taf] : forecasts)
        last[icao] = taf.substr(taf.find(icao));
    const CTAFManager store = Store(text);
    size_t found = 0;
    for (const auto& [icao, taf] : last)
        found += store.GetTAF(icao) == taf ? 1 : 0;
    std::printf("TAF corpus: %zu of %zu airports answered with their last forecast\n", found, last.size());
    EXPECT_EQ(found, last.size());
}
