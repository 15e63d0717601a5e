#include "tests/weather/metarcorpus.h"
#include "tests/weather/referencemetardecoder.h"
#include "weather/metar.h"

#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace aviation::weather;

namespace {

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

struct Agreement
{
    int compared = 0;
    int agreed = 0;
    std::vector<std::string> examples;

    void Count(bool agrees, const std::wstring& raw, const std::string& detail)
    {
        ++compared;
        if (agrees)
            ++agreed;
        else if (examples.size() < 6)
            examples.push_back(std::string(raw.begin(), raw.end()) + "  <- " + detail);
    }

    // A numeric column (times `scale`) against the decoded value; a row without the number is not compared.
    void CountNumber(const WeatherCenterReport& report, const char* column, double scale, double decoded,
                     double tolerance)
    {
        const std::string text = report.Column(column);
        if (!HasNumber(text))
            return;
        const double expected = std::atof(text.c_str()) * scale;
        Count(std::fabs(decoded - expected) <= tolerance, report.raw, Text(expected) + " vs " + Text(decoded));
    }

    void Print(const char* name) const
    {
        std::printf("  %-12s %5d of %5d agree (%.2f %%)\n", name, agreed, compared,
                    compared ? 100.0 * agreed / compared : 0.0);
        for (const std::string& example : examples)
            std::printf("      %s\n", example.c_str());
    }
};

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
    Agreement wind, visibility, temperature, dewPoint, qnh;
    for (const WeatherCenterReport& report : reports) {
        CMetar metar(report.raw);
        metar.SetElevation(ElevationFeet(report));
        const int code = metar.Decode();
        ASSERT_TRUE(code >= 0 && code <= 9) << code;
        ++codes[code];
        if (code != 0)
            continue;

        const std::string direction = report.Column("wind_dir_degrees");
        const std::string speed = report.Column("wind_speed_kt");
        const std::string gust = report.Column("wind_gust_kt");
        if (HasNumber(speed)) {
            const CWind decoded = metar.GetWind();
            const bool sameDirection = !HasNumber(direction) || decoded.direction == std::atof(direction.c_str());
            const bool sameSpeed = std::fabs(decoded.speed - std::atof(speed.c_str())) < 1.0;
            const bool sameGust
                = HasNumber(gust) ? std::fabs(decoded.gust - std::atof(gust.c_str())) < 1.0 : decoded.gust == 0.0;
            wind.Count(sameDirection && sameSpeed && sameGust, report.raw,
                       direction + "/" + speed + "G" + gust + " vs " + Text(decoded.direction) + "/"
                           + Text(decoded.speed) + "G" + Text(decoded.gust));
        }
        const std::string miles = report.Column("visibility_statute_mi");
        if (HasNumber(miles)) {
            // 9999 m stands for "10 km or more" as well as for 10 statute miles and CAVOK.
            const double metres = std::atof(miles.c_str()) * kMetresPerStatuteMile;
            const int decoded = metar.GetVisibility();
            const bool agrees
                = (decoded == 9999 && metres >= 9990.0) || std::fabs(decoded - metres) <= metres * 0.01 + 10;
            visibility.Count(agrees, report.raw, miles + " mi vs " + std::to_string(decoded) + " m");
        }
        temperature.CountNumber(report, "temp_c", 1.0, metar.GetTemperature(), 0.5);
        dewPoint.CountNumber(report, "dewpoint_c", 1.0, metar.GetDewPoint(), 0.5);
        qnh.CountNumber(report, "altim_in_hg", kHpaPerInch, metar.GetQNH(true), 0.5);
    }

    const int total = static_cast<int>(reports.size());
    PrintCodes("weather center reports", codes, reports.size());
    wind.Print("wind");
    visibility.Print("visibility");
    temperature.Print("temperature");
    dewPoint.Print("dew point");
    qnh.Print("QNH");

    EXPECT_GT(codes[0], total * 80 / 100);
    for (const Agreement* field : {&wind, &visibility, &temperature, &dewPoint, &qnh})
        EXPECT_GT(field->agreed, field->compared * 97 / 100);

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
