#include "weather/tafmanager.h"

#include "tests/support/testdata.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using aviation::weather::CTAFManager;

namespace {

const std::wstring kFrankfurt = L"EDDF 061100Z 0612/0718 27012KT 9999 SCT030 BECMG 0618/0620 VRB03KT";
const std::wstring kHamburg = L"EDDH 061100Z 0612/0712 24015G25KT 8000 -RA BKN012 TEMPO 0612/0616 4000 RA";

} // namespace

TEST(TafStore, CutsTheForecastFromTheIcaoToTheEmptyLine)
{
    const std::wstring both = L"TAF " + kFrankfurt + L"\n\nTAF " + kHamburg + L"\n\n";
    const std::wstring amended = L"EDDF 061300Z 0613/0718 28010KT CAVOK";
    const struct
    {
        std::wstring text;
        std::wstring icao;
        std::wstring answer;
    } cases[] = {
        {L"", L"EDDF", L"no TAF available"},
        {L"TAF " + kHamburg + L"\n\n", L"EDDF", L"no TAF available"},
        {both, L"EDDF", kFrankfurt},
        {both, L"EDDH", kHamburg},
        // The last forecast containing the ICAO wins.
        {L"TAF " + kFrankfurt + L"\n\nTAF AMD " + amended + L"\n\n", L"EDDF", amended},
        // Without an empty line after it the forecast cannot be cut out.
        {L"TAF " + kFrankfurt + L"\n\nTAF " + kHamburg + L" AMD EDDF\n", L"EDDH", L"TAF failed"},
        {L"TAF " + kFrankfurt + L"\n\nTAF " + kHamburg + L" AMD EDDF\n", L"EDDF", L"TAF failed"},
        {L"TAF " + kFrankfurt + L"\r\n\r\nTAF " + kHamburg + L"\r\n\r\n", L"EDDF", L"TAF failed"},
        {L"TAF " + kFrankfurt + L"\r\n\r\nTAF " + kHamburg + L"\r\n\r\n", L"EDDH", L"TAF failed"},
        // An empty ICAO is found everywhere: answered at once instead of searched forever.
        {both, L"", L"no TAF available"},
        {both, L"\n", L"TAF failed"},
        {both, L"\n\n", L""},
    };
    for (const auto& c : cases) {
        CTAFManager store;
        store.SetTAFText(c.text.c_str());
        EXPECT_EQ(store.GetTAF(c.icao), c.answer)
            << std::string(c.icao.begin(), c.icao.end()) << " in " << std::string(c.text.begin(), c.text.end());
    }
}

TEST(TafStore, FindsEveryRealForecast)
{
    std::ifstream file(testsupport::SharedDataPath("taf/metar-taf-pairs.tsv"));
    if (!file)
        GTEST_SKIP() << "shared TAF data not found";
    std::string line;
    std::getline(file, line);
    std::wstring text;
    // An airport with several forecasts answers with its last one.
    std::map<std::wstring, std::wstring> last;
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
        last[icao] = taf.substr(taf.find(icao));
    }
    ASSERT_GT(last.size(), 100u);
    CTAFManager store;
    store.SetTAFText(text.c_str());
    size_t found = 0;
    for (const auto& [icao, taf] : last)
        found += store.GetTAF(icao) == taf ? 1 : 0;
    std::printf("TAF corpus: %zu of %zu airports answered with their last forecast\n", found, last.size());
    EXPECT_EQ(found, last.size());
}
