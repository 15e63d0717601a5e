// Real METAR reports from the shared data folder, and garbled variants of them: the weather center's reports
// decoded and compared with its own columns, the reference decoder compared on real and garbled reports, and
// 100,000 garbled reports that must each get a code.
#include "tests/support/testdata.h"
#include "tests/weather/referencemetardecoder.h"
#include "tools/common/inputlines.h"
#include "tools/common/weathercentercsv.h"
#include "weather/metar.h"
#include "weather/resourcetextstore.h"
#include "weather/weatherstations.h"

#include "platform/clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

using namespace aviation::weather;

namespace {

// A weather center row starts with the report and carries the center's own decoding in named columns:
//     KBDN 262135Z AUTO 36007KT 10SM CLR 16/03 A3008 RMK AO2,KBDN,2014-09-26T21:35:00Z,44.1,-121.2,16.0,3.0,...
struct WeatherCenterReport
{
    std::wstring raw;
    std::map<std::string, std::string> columns; // the first column of each name

    // The column's text; empty when the column is absent or empty.
    std::string Column(const std::string& name) const
    {
        const auto it = columns.find(name);
        return it == columns.end() ? std::string() : it->second;
    }
};

// Makes garbled variants of reports: cut, duplicated or dropped groups, digits turned into letters or slashes,
// very long lines, empty lines, lone carriage returns. Repeatable for a given seed.
class MetarMutator
{
public:
    explicit MetarMutator(std::uint32_t seed)
        : m_random(seed)
    {
    }

    std::wstring Mutate(const std::wstring& report);

private:
    int Pick(int low, int high);
    std::wstring MutateOnce(const std::wstring& report);

    std::mt19937 m_random;
};

using testsupport::Latin1;

std::vector<std::string> ReadLines(const std::string& path)
{
    std::string text;
    testsupport::ReadTextFile(path, text);
    return tools::SplitLines(text);
}

// The folder of real-world data, or "" when it is not there.
std::string SharedDataFolder()
{
    const std::string folder = AEROVANE_SHARED_DATA_DIR;
    return std::filesystem::is_directory(folder + "/metar") ? folder : std::string();
}

// Every row of every weather center file in <folder>/metar.
std::vector<WeatherCenterReport> ReadWeatherCenterReports(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder + "/metar")) {
        if (entry.path().extension() == ".csv")
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());

    std::vector<WeatherCenterReport> reports;
    for (const std::string& path : files) {
        const std::vector<std::string> lines = ReadLines(path);
        const auto header = std::find_if(lines.begin(), lines.end(),
                                         [](const std::string& line) { return line.rfind("raw_text,", 0) == 0; });
        if (header == lines.end())
            continue;
        const std::vector<std::string> names = tools::SplitCsvRow(*header);
        for (auto line = header + 1; line != lines.end(); ++line) {
            if (line->empty())
                continue;
            const std::vector<std::string> fields = tools::SplitCsvRow(*line);
            WeatherCenterReport report;
            report.raw = Latin1(fields[0]);
            for (std::size_t i = 0; i < names.size() && i < fields.size(); ++i)
                report.columns.emplace(names[i], fields[i]);
            reports.push_back(std::move(report));
        }
    }
    return reports;
}

// The METAR column of <folder>/taf/metar-taf-pairs.tsv, without the leading "METAR " or "SPECI ".
std::vector<std::wstring> ReadPairMetars(const std::string& folder)
{
    std::vector<std::wstring> metars;
    const std::vector<std::string> lines = ReadLines(folder + "/taf/metar-taf-pairs.tsv");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> fields;
        std::stringstream stream(lines[i]);
        std::string field;
        while (std::getline(stream, field, '\t'))
            fields.push_back(field);
        if (fields.size() < 4 || fields[3].empty())
            continue;
        std::string metar = fields[3];
        if (metar.rfind("METAR ", 0) == 0 || metar.rfind("SPECI ", 0) == 0)
            metar.erase(0, 6);
        metars.push_back(Latin1(metar));
    }
    return metars;
}

// A few real-looking reports for runs without the shared data folder.
std::vector<std::wstring> BuiltInMetars()
{
    return {
        L"EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG",
        L"KJFK 061251Z 27010KT 1 1/2SM BR OVC005 M05/M07 A2992 RMK AO2 SLP132",
        L"UUEE 061230Z 18005MPS 9999 SCT030 05/01 Q1010 R88/290050 NOSIG",
        L"EGLL 061250Z AUTO VRB03KT CAVOK 20/10 Q1020",
        L"LFPG 061230Z 27010KT 0800 R27L/P1500N R26R/1100U FG VV001 M01/M01 Q1030 BECMG 2000",
        L"YCOM 220252Z AUTO 01013KT 5000 // SCT013 SCT022 BKN035 ///// Q1010",
        L"EDDF 061250Z 27010KT //// // ////// 20/10 Q1020",
        L"OIII 021300Z 27048G60KT 4000 +TSRA +DSSS SCT025CB SCT030 BKN070 23/11 Q1014 A2995",
        L"PATE 221912Z AUTO 18010KT 3SM -SN BR FEW008 BKN012 BKN031 00/M01 A2974 RMK AO2",
        L"ZYTL 220230Z 33006G11MPS 280V020 CAVOK 16/08 Q1022 NOSIG",
    };
}

int MetarMutator::Pick(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(m_random);
}

std::wstring MetarMutator::Mutate(const std::wstring& report)
{
    std::wstring text = report;
    const int rounds = Pick(1, 3);
    for (int i = 0; i < rounds; ++i)
        text = MutateOnce(text);
    return text;
}

std::wstring MetarMutator::MutateOnce(const std::wstring& report)
{
    const int size = static_cast<int>(report.size());
    std::vector<std::wstring> groups;
    const auto split = [&report, &groups] {
        std::wstringstream stream(report);
        std::wstring group;
        while (stream >> group)
            groups.push_back(group);
        return static_cast<int>(groups.size());
    };
    const auto join = [&groups] {
        std::wstring text;
        for (const std::wstring& g : groups)
            text += (text.empty() ? L"" : L" ") + g;
        return text;
    };

    switch (Pick(0, 11)) {
    case 0:
        return report.substr(0, static_cast<std::size_t>(Pick(0, size)));
    case 1: {
        const int from = Pick(0, size);
        return report.substr(0, static_cast<std::size_t>(from))
            + report.substr(static_cast<std::size_t>(std::min(size, from + Pick(1, 12))));
    }
    case 2:
        if (const int count = split(); count > 0) {
            const int at = Pick(0, count - 1);
            groups.insert(groups.begin() + at, groups[static_cast<std::size_t>(at)]);
        }
        return join();
    case 3:
        if (const int count = split(); count > 0)
            groups.erase(groups.begin() + Pick(0, count - 1));
        return join();
    case 4:
        if (const int count = split(); count > 1)
            std::swap(groups[static_cast<std::size_t>(Pick(0, count - 1))],
                      groups[static_cast<std::size_t>(Pick(0, count - 1))]);
        return join();
    case 5: {
        static const wchar_t replacements[] = L"/////OIZSABMKTV";
        std::wstring text = report;
        for (wchar_t& c : text) {
            if (c >= L'0' && c <= L'9' && Pick(0, 3) == 0)
                c = replacements[Pick(0, 14)];
        }
        return text;
    }
    case 6: {
        std::wstring text = report;
        while (text.size() < 5000)
            text += text.empty() ? L"BKN020 " : L" " + report;
        return text.substr(0, static_cast<std::size_t>(Pick(4990, 5010)));
    }
    case 7:
        return Pick(0, 1) == 0 ? std::wstring() : std::wstring(L"\r");
    case 8: {
        static const wchar_t inserts[]
            = {L' ', L'\r', L'\t', L'/', L'+', L'-', L'M', L'R', L'V', L'G', L'0', L'9', 0xA0, 0xE9, 0x2003, 0x1F600};
        std::wstring text = report;
        text.insert(static_cast<std::size_t>(Pick(0, size)), 1, inserts[Pick(0, 15)]);
        return text;
    }
    case 9:
        return report + L"\r";
    case 10: {
        std::wstring text = report;
        if (!text.empty())
            text[static_cast<std::size_t>(Pick(0, size - 1))] = L' ';
        return text;
    }
    default: {
        static const wchar_t* const extras[]
            = {L"CAVOK",  L"NSC",  L"VV///", L"R25/P1500N", L"//// // //////", L"// //////", L"1 1/2SM", L"0/0SM",
               L"SHRASN", L"M02/", L"A0050", L"Q0000",      L"VRB03G20KT",     L"9999NDV",   L"FEW///CB"};
        if (const int count = split(); count > 0)
            groups.insert(groups.begin() + Pick(0, count), extras[Pick(0, 14)]);
        return join();
    }
    }
}

constexpr std::int64_t kNow = 1796731200;
constexpr double kMetresPerStatuteMile = 1609.344;
constexpr double kHpaPerInch = 33.8639;

bool HasNumber(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("+-.0123456789") == std::string::npos;
}

std::string Text(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.2f", value);
    return buffer;
}

// How often one decoded value agrees with the weather center's column, over every report that carries it.
struct Agreement
{
    const char* name;
    int compared = 0;
    int agreed = 0;

    // Compares a numeric column (times `scale`) with the decoded value; a row without the number is not compared.
    // A disagreement is added to `differences`.
    void Compare(const WeatherCenterReport& report, const char* column, double scale, double decoded, double tolerance,
                 std::string& differences)
    {
        const std::string text = report.Column(column);
        if (!HasNumber(text))
            return;
        const double expected = std::atof(text.c_str()) * scale;
        ++compared;
        if (std::fabs(decoded - expected) <= tolerance)
            ++agreed;
        else
            differences += std::string(" ") + name + " " + Text(expected) + " vs " + Text(decoded);
    }

    double Share() const { return compared ? 100.0 * agreed / compared : 100.0; }

    void Print() const { std::printf("  %-12s %5d of %5d agree (%.2f %%)\n", name, agreed, compared, Share()); }
};

// The report carries every group the decoder reads: wind, visibility, cloud cover (or clear sky), temperature and
// pressure, as the weather center's columns show.
bool CarriesEveryGroup(const WeatherCenterReport& report)
{
    for (const char* column : {"wind_speed_kt", "visibility_statute_mi", "temp_c", "altim_in_hg"})
        if (!HasNumber(report.Column(column)))
            return false;
    return !report.Column("sky_cover").empty();
}

int ElevationFeet(const WeatherCenterReport& report)
{
    const std::string metres = report.Column("elevation_m");
    return HasNumber(metres) ? static_cast<int>(std::lround(std::atof(metres.c_str()) * 3.28084)) : 0;
}

// Decodes the record with both decoders, from the record's current values, and returns the code.
int ExpectSameAsReference(CMetar& metar, const std::wstring& context)
{
    MetarValues expected = MetarValues::Of(metar);
    const int expectedCode = ReferenceDecodeMetar(metar.GetRaw(), expected);
    const int code = metar.Decode();
    EXPECT_EQ(code, expectedCode) << std::string(context.begin(), context.end());
    EXPECT_EQ(MetarValues::Of(metar), expected) << std::string(context.begin(), context.end());
    return code;
}

// The weather center's reports, read once for all tests of this file.
const std::vector<WeatherCenterReport>& CenterReports(const std::string& folder)
{
    static const std::vector<WeatherCenterReport> reports = ReadWeatherCenterReports(folder);
    return reports;
}

// Reports to garble: the built-in ones, and the weather center's when the shared data is there.
std::vector<std::wstring> GarbleSeeds()
{
    std::vector<std::wstring> reports = BuiltInMetars();
    if (const std::string folder = SharedDataFolder(); !folder.empty())
        for (const WeatherCenterReport& report : CenterReports(folder))
            reports.push_back(report.raw);
    return reports;
}

void PrintCodes(const char* what, const int (&codes)[10], std::size_t total)
{
    std::printf("  %zu %s; code 0: %d (%.2f %%)\n  codes:", total, what, codes[0], 100.0 * codes[0] / total);
    for (int code = 0; code < 10; ++code)
        std::printf(" %d=%d", code, codes[code]);
    std::printf("\n");
}

} // namespace

TEST(MetarCorpus, DecodesRealReportsLikeTheWeatherCenterAndPairedMetars)
{
    const std::string folder = SharedDataFolder();
    if (folder.empty())
        GTEST_SKIP() << "no shared data folder at " << AEROVANE_SHARED_DATA_DIR;
    platform::ScopedClock clock(kNow);

    const std::vector<WeatherCenterReport>& reports = CenterReports(folder);
    ASSERT_GT(reports.size(), 10000u);
    int codes[10] = {};
    int whole = 0;
    int wholeDecoded = 0;
    Agreement windSpeed{"wind speed"}, temperature{"temperature"}, dewPoint{"dew point"}, qnh{"QNH"};
    Agreement visibility{"visibility"};
    std::vector<std::string> disagreements;
    for (const WeatherCenterReport& report : reports) {
        CMetar metar(report.raw);
        metar.SetElevation(ElevationFeet(report));
        const int code = metar.Decode();
        ASSERT_TRUE(code >= 0 && code <= 9) << code;
        ++codes[code];
        std::string differences;
        if (CarriesEveryGroup(report)) {
            ++whole;
            if (code == 0)
                ++wholeDecoded;
            else
                differences += " code " + std::to_string(code);
        }
        // A report without a readable wind has no speed to compare (the center reads some groups we pass over).
        if (metar.HasWind())
            windSpeed.Compare(report, "wind_speed_kt", 1.0, metar.GetWind().speed, 0.9, differences);
        // The center takes tenths from the remarks where it can (21/13 ... T02180133 gives 21.8), so a whole
        // degree read from the group agrees when it is less than a degree away.
        temperature.Compare(report, "temp_c", 1.0, metar.GetTemperature(), 0.95, differences);
        dewPoint.Compare(report, "dewpoint_c", 1.0, metar.GetDewPoint(), 0.95, differences);
        qnh.Compare(report, "altim_in_hg", kHpaPerInch, metar.GetQNH(true), 0.5, differences);
        // 9999 m stands for "10 km or more" as well as for 10 statute miles and CAVOK.
        const std::string miles = report.Column("visibility_statute_mi");
        const double metres = std::atof(miles.c_str()) * kMetresPerStatuteMile;
        const int decoded = metar.GetVisibility();
        visibility.Compare(report, "visibility_statute_mi", kMetresPerStatuteMile,
                           decoded == 9999 && metres >= 9990.0 ? metres : decoded, metres * 0.01 + 10, differences);
        if (!differences.empty())
            disagreements.push_back(std::string(report.raw.begin(), report.raw.end()) + "  <-" + differences);
    }

    PrintCodes("weather center reports", codes, reports.size());
    std::printf("  %d of %d reports with every group decode with code 0 (%.2f %%)\n", wholeDecoded, whole,
                100.0 * wholeDecoded / whole);
    for (const Agreement* field : {&windSpeed, &temperature, &dewPoint, &qnh, &visibility})
        field->Print();
    std::printf("  reports that still disagree:\n");
    for (const std::string& line : disagreements)
        std::printf("    %s\n", line.c_str());

    EXPECT_GE(wholeDecoded, whole * 0.995);
    for (const Agreement* field : {&windSpeed, &temperature, &dewPoint, &qnh})
        EXPECT_GE(field->Share(), 99.5) << field->name;
    EXPECT_GE(visibility.Share(), 97.0);

    // The METARs paired with TAFs: no crash, and most decode whole.
    const std::vector<std::wstring> pairs = ReadPairMetars(folder);
    ASSERT_GT(pairs.size(), 400u);
    int pairCodes[10] = {};
    for (const std::wstring& raw : pairs) {
        const int code = CMetar(raw).Decode();
        ASSERT_TRUE(code >= 0 && code <= 9) << code;
        ++pairCodes[code];
    }
    PrintCodes("airport pair reports", pairCodes, pairs.size());
    EXPECT_GT(pairCodes[0], static_cast<int>(pairs.size()) * 60 / 100);
}

TEST(MetarDifferential, MatchesReferenceDecoderOnEveryCorpusReport)
{
    const std::string folder = SharedDataFolder();
    if (folder.empty())
        GTEST_SKIP() << "no shared data folder at " << AEROVANE_SHARED_DATA_DIR;
    platform::ScopedClock clock(kNow);

    for (const WeatherCenterReport& report : CenterReports(folder)) {
        CMetar metar(report.raw);
        metar.SetElevation(ElevationFeet(report));
        const int code = ExpectSameAsReference(metar, report.raw);
        // A second decode of the same record changes nothing.
        const MetarValues first = MetarValues::Of(metar);
        EXPECT_EQ(metar.Decode(), code);
        EXPECT_EQ(MetarValues::Of(metar), first);
        if (HasFailure())
            return;
    }
    for (const std::wstring& raw : ReadPairMetars(folder)) {
        CMetar metar(raw);
        metar.SetElevation(1234);
        ExpectSameAsReference(metar, raw);
        CMetar withPrefix(L"METAR " + raw);
        ExpectSameAsReference(withPrefix, raw);
        if (HasFailure())
            return;
    }
}

TEST(MetarDifferential, MatchesReferenceDecoderOnGarbledReports)
{
    platform::ScopedClock clock(kNow);
    const std::vector<std::wstring> reports = GarbleSeeds();

    MetarMutator mutator(20261207);
    std::mt19937 pick(7);
    for (int i = 0; i < 10000; ++i) {
        const std::wstring& base = reports[pick() % reports.size()];
        // The record first holds a whole report, so values the garbled run does not reach must survive it.
        CMetar metar(base);
        metar.SetElevation(static_cast<int>(pick() % 3000));
        metar.Decode();
        metar.SetRaw(mutator.Mutate(base));
        ExpectSameAsReference(metar, metar.GetRaw());
        if (HasFailure())
            return;
    }
}

TEST(MetarFuzz, EveryGarbledReportGetsACode)
{
    platform::ScopedClock clock(kNow);
    const std::vector<std::wstring> reports = GarbleSeeds();

    MetarMutator mutator(4242);
    std::mt19937 pick(11);
    int codes[10] = {};
    for (int i = 0; i < 100000; ++i) {
        CMetar metar(mutator.Mutate(reports[pick() % reports.size()]));
        const int code = metar.Decode();
        ASSERT_TRUE(code >= 0 && code <= 9) << code;
        ASSERT_TRUE(metar.IsDecoded());
        ++codes[code];
    }
    PrintCodes("garbled reports", codes, 100000);
}

// The embedded airport list places every station of the center's reports where the center has it (its newest
// report; positions the center rounds to fewer decimals are allowed half a unit more) and at its height.
TEST(MetarCorpus, EveryReportingStationIsListedAtTheCentersPositionAndElevation)
{
    const std::string folder = SharedDataFolder();
    if (folder.empty())
        GTEST_SKIP() << "no shared data folder at " << AEROVANE_SHARED_DATA_DIR;
    std::map<std::string, WeatherCenterReport> newest;
    for (WeatherCenterReport& report : ReadWeatherCenterReports(folder)) {
        const std::string station = report.Column("station_id");
        if (report.Column("latitude").empty() || report.Column("longitude").empty())
            continue;
        auto it = newest.find(station);
        if (it == newest.end() || it->second.Column("observation_time") < report.Column("observation_time"))
            newest[station] = std::move(report);
    }
    ASSERT_GT(newest.size(), 5000u);

    ASSERT_TRUE(ResourceTextStore::LoadAirports());
    CWeatherStations airports;
    airports.InitAirports(ResourceTextStore::GetAirportText().toStdWString());
    const auto decimals = [](const std::string& number) {
        const std::size_t point = number.find('.');
        return point == std::string::npos ? 0 : static_cast<int>(number.size() - point - 1);
    };
    int misplaced = 0;
    for (const auto& [station, report] : newest) {
        CStation airport;
        ASSERT_TRUE(airports.FindAirport(Latin1(station), airport)) << station << " is not listed";
        const aviation::Position center(std::stod(report.Column("latitude")), std::stod(report.Column("longitude")));
        const int digits = std::min(decimals(report.Column("latitude")), decimals(report.Column("longitude")));
        const double toleranceNm = 2.0 + 0.5 * std::pow(10.0, -digits) * 60.0;
        misplaced += aviation::CalcDistance(airport.GetPosition(), center) > toleranceNm;
        if (!report.Column("elevation_m").empty()) {
            const double feet = std::stod(report.Column("elevation_m")) * 3.28084;
            EXPECT_LE(std::abs(airport.GetElevation() - feet), 101.0) << station;
        }
    }
    EXPECT_EQ(misplaced, 0);
}
