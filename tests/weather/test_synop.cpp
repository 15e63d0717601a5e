#include "weather/synop.h"

#include "platform/clock.h"
#include "tests/support/calendar.h"
#include "weather/metar.h"
#include "weather/synopdecoder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <sstream>

using aviation::Position;
using aviation::weather::CCloudLayer;
using aviation::weather::CMetar;
using aviation::weather::CSynop;
using aviation::weather::CSynopDecoder;
using aviation::weather::StationTime;

namespace {

// 7 December 2026, 15:00 UTC.
constexpr std::int64_t kNow = 1796655600;

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

CSynop Decoded(const std::wstring& text, int expectedCode = 0)
{
    CSynop synop(text);
    EXPECT_EQ(synop.Decode(), expectedCode) << Narrow(text);
    return synop;
}

// The section 1 values of a record on one line; "(none)" marks a value the report left out:
// "wind dir/speed/gust vis V base B/oktas iR I temp T/Td press station/sea types L M H".
std::wstring Summary(const CSynop& synop)
{
    std::wostringstream out;
    out << L"wind " << synop.GetWind().direction << L"/" << synop.GetWind().speed << L"/" << synop.GetWind().gust
        << (synop.HasWind() ? L"" : L"(none)") << L" vis " << synop.GetVisibility()
        << (synop.HasVisibility() ? L"" : L"(none)") << L" base ";
    if (synop.HasCloudBase())
        out << synop.GetLowestCloud().GetBase();
    else
        out << L"(none)";
    out << L"/" << synop.GetLowestCloud().GetCoverage() << L" iR " << synop.GetPrecipitationIndicator() << L" temp "
        << synop.GetTemperature() << L"/" << synop.GetDewPoint() << L" press " << synop.GetStationPressure() << L"/"
        << synop.GetSeaLevelPressure() << L" types " << synop.GetLowCloudType() << L" " << synop.GetMiddleCloudType()
        << L" " << synop.GetHighCloudType();
    return out.str();
}

// The cloud layers as "base/oktas/type/msl" separated by blanks.
std::wstring Layers(const CSynop& synop)
{
    std::wostringstream out;
    for (const CCloudLayer& layer : synop.GetCloudLayers())
        out << (out.tellp() > 0 ? L" " : L"") << layer.GetBase() << L"/" << layer.GetCoverage() << L"/"
            << int(layer.GetType()) << L"/" << layer.GetBaseMSL();
    return out.str();
}

std::wstring MetarLine(CSynop& synop, const std::wstring& icao = L"EDDF")
{
    CMetar target;
    target.SetICAO(icao);
    synop.ToMetar(target);
    return target.GetRaw();
}

int MetarCode(const std::wstring& line)
{
    CMetar metar;
    metar.SetRaw(line);
    return metar.Decode();
}

std::string LocalDate(std::int64_t seconds)
{
    const std::tm fields = testsupport::LocalFields(seconds);
    char text[32];
    std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M", &fields);
    return text;
}

} // namespace

TEST(SynopHeader, DecodesLandHeaderAndRefusesUnknownHeaders)
{
    platform::ScopedClock clock(kNow);
    CSynop synop(L"AAXX 01124 10384");
    EXPECT_STREQ(synop.GetICAO(), L"10384");
    EXPECT_EQ(synop.GetWindUnitIndicator(), 4);
    StationTime expected;
    expected.SetTime(1, 12, 0);
    EXPECT_EQ(synop.GetTime(), expected.GetTime());
    EXPECT_EQ(synop.DecodeHeader(), 0);
    EXPECT_EQ(synop.Decode(), 0);

    CSynop shortText(L"AAXX 0112");
    EXPECT_EQ(shortText.DecodeHeader(), 6);
    EXPECT_EQ(shortText.Decode(), 6);
    EXPECT_STREQ(shortText.GetICAO(), L"");

    CSynop bulletin(L"ZCZC 123SMCU20 MUHV 310000AAXX 3100178310 01470");
    EXPECT_EQ(bulletin.DecodeHeader(), 1);
    EXPECT_EQ(bulletin.Decode(), 1);

    // Mobile stations are recognised by the full decode only.
    CSynop mobile(L"OOXX ABC12 01124 99512 Q1234 12345 41598 81204");
    EXPECT_EQ(mobile.DecodeHeader(), 1);
    EXPECT_EQ(mobile.Decode(), 0);
    EXPECT_STREQ(mobile.GetICAO(), L"12345");
    EXPECT_EQ(mobile.GetPosition(), Position(0.0, 0.0));
    EXPECT_DOUBLE_EQ(mobile.GetWind().direction, 120.0);

    const wchar_t* const texts[]
        = {L"No Synop Error",     L"Synop Regex Error",  L"Synop Station Error", L"Synop Climate Error",
           L"Unknow Synop Error", L"Unknow Synop Error", L"Synop not found"};
    for (int code = 0; code <= 6; ++code)
        EXPECT_EQ(CSynop::GetErrorText(code), texts[code]) << code;
}

TEST(SynopHeader, PlacesShipByQuadrant)
{
    CSynop southWest(L"BBXX WDCD 01124 99512 51234 41598 81204");
    EXPECT_EQ(southWest.DecodeHeader(), 0);
    EXPECT_STREQ(southWest.GetICAO(), L"51234");
    EXPECT_EQ(southWest.GetName(), L"WDCD");
    EXPECT_EQ(southWest.GetPosition(), Position(-51.2, -123.4));

    // A ship without call sign still reads its position.
    const std::pair<const wchar_t*, Position> ships[] = {
        {L"BBXX WDCD 01124 99512 11234 41598", Position(51.2, 123.4)},
        {L"BBXX WDCD 01124 99512 31234 41598", Position(-51.2, 123.4)},
        {L"BBXX WDCD 01124 99512 71234 41598", Position(51.2, -123.4)},
        {L"BBXX 01124 99512 71234 41598", Position(51.2, -123.4)},
    };
    for (const auto& [text, position] : ships)
        EXPECT_EQ(CSynop(text).GetPosition(), position) << Narrow(text);

    CSynop badQuadrant(L"BBXX WDCD 01124 99512 21234 41598");
    EXPECT_EQ(badQuadrant.DecodeHeader(), 2);
    EXPECT_EQ(badQuadrant.Decode(), 2);
    EXPECT_EQ(badQuadrant.GetPosition(), Position(0.0, 0.0));
}

// The groups of section 1 in land and ship reports. Wind unit 1: metres per second (x 1.943844492), 4: knots.
TEST(SynopSection1, DecodesGroupsOfLandAndShipReports)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"AAXX 01124 10384 41/98",
         L"wind -1/-1/0 vis 20000 base (none)/0 iR 4 temp 15/5 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32595",
         L"wind -1/-1/0 vis 2000 base 3333/0 iR 3 temp 15/5 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32525",
         L"wind -1/-1/0 vis 2500 base 3333/0 iR 3 temp 15/5 press 1013.2/1013.2 types 0 0 0"},
        // The unused codes 51-55 leave the visibility as it was, still counted as reported.
        {L"AAXX 01124 10384 32553",
         L"wind -1/-1/0 vis 99999 base 3333/0 iR 3 temp 15/5 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 325//",
         L"wind -1/-1/0 vis 99999(none) base 3333/0 iR 3 temp 15/5 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01121 10384 32595 81204",
         L"wind 120/7.77538/-1 vis 2000 base 3333/8 iR 3 temp 15/5 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01121 10384 32595 80000",
         L"wind 0/0/-1 vis 2000 base 3333/8 iR 3 temp 15/5 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32595 91204",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 15/5 press 1013.2/1013.2 types 0 0 0"},
        // ff = 99: the speed follows in a 00fff group, cut to whole knots.
        {L"AAXX 01121 10384 32595 99999 00123 10123",
         L"wind 0/239/-1 vis 2000 base 3333/8 iR 3 temp 12.3/5 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32595 8//10 10123",
         L"wind -1/-1/0(none) vis 2000 base 3333/8 iR 3 temp 12.3/5 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32595 81204 10123 21012",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 12.3/-1.2 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32595 81204 11005",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp -0.5/5 press 1013.2/1013.2 types 0 0 0"},
        // 29UUU: relative humidity 50 % at 20 degrees is a dew point of about 9.3 degrees.
        {L"AAXX 01124 10384 32595 81204 10200 29050",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 20/9.26926 press 1013.2/1013.2 types 0 0 0"},
        // 100 % humidity is saturated air: the dew point is the temperature.
        {L"AAXX 01124 10384 32595 81204 10200 29100",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 20/20 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32595 81204 10200 29///",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 20/5 press 1013.2/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32595 81204 10123 21012 30132 40015",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 12.3/-1.2 press 1013.2/1001.5 types 0 0 0"},
        {L"AAXX 01124 10384 32595 81204 39987",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 15/5 press 998.7/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32595 81204 3015/",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 15/5 press 1015/1013.2 types 0 0 0"},
        {L"AAXX 01124 10384 32595 81204 10123 21012 30132 40015 52010 60001 70522 82530",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 12.3/-1.2 press 1013.2/1001.5 types 5 3 0"},
        {L"AAXX 01124 10384 32595 81204 825/7",
         L"wind 120/4/-1 vis 2000 base 3333/8 iR 3 temp 15/5 press 1013.2/1013.2 types 5 0 7"},
        // The ship's iRixhVV (41598) ends its header; the wind group 21204 would fit the iRixhVV shape too.
        {L"BBXX WDCD 01124 99512 51234 41598 21204 10123 20050 40132 22261",
         L"wind 120/4/-1 vis 20000 base 3333/2 iR 4 temp 12.3/5 press 1013.2/1013.2 types 0 0 0"},
        {L"BBXX WDCD 01124 99512 51234 21/// 81204 10123",
         L"wind 120/4/-1 vis 99999(none) base (none)/8 iR 2 temp 12.3/5 press 1013.2/1013.2 types 0 0 0"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Summary(Decoded(text)), expected) << Narrow(text);
    EXPECT_DOUBLE_EQ(Decoded(L"AAXX 01124 10384 32595 81204 10200 29050").GetHumidity(), 50.0);
}

TEST(SynopSection1, MapsCodeTablesOfHeightVisibilityAndLayerBase)
{
    struct Entry
    {
        int (*table)(int);
        int code;
        int value;
    };
    const Entry entries[] = {
        {CSynopDecoder::LowestCloudBase, 0, 166},   {CSynopDecoder::LowestCloudBase, 9, 10000},
        {CSynopDecoder::Visibility, 50, 5000},      {CSynopDecoder::Visibility, 53, CSynopDecoder::kNoVisibilityValue},
        {CSynopDecoder::Visibility, 56, 6000},      {CSynopDecoder::Visibility, 80, 30000},
        {CSynopDecoder::Visibility, 81, 35000},     {CSynopDecoder::Visibility, 89, 75000},
        {CSynopDecoder::Visibility, 90, 40},        {CSynopDecoder::Visibility, 99, 60000},
        {CSynopDecoder::CloudLayerBase, 15, 1500},  {CSynopDecoder::CloudLayerBase, 52, 0},
        {CSynopDecoder::CloudLayerBase, 60, 10000}, {CSynopDecoder::CloudLayerBase, 85, 55000},
        {CSynopDecoder::CloudLayerBase, 90, 166},   {CSynopDecoder::CloudLayerBase, 96, 3328},
        {CSynopDecoder::CloudLayerBase, 97, 4992},  {CSynopDecoder::CloudLayerBase, 98, 6657},
        {CSynopDecoder::CloudLayerBase, 99, 8321},
    };
    for (const Entry& entry : entries)
        EXPECT_EQ(entry.table(entry.code), entry.value) << "code " << entry.code;
    EXPECT_EQ(CSynopDecoder::ReadNumber(L"1/"), 1);
    EXPECT_EQ(CSynopDecoder::ReadNumber(L"/"), 0);
}

TEST(SynopSection2, SetsShipCourseAndSpeedOnlyForMovingShips)
{
    const std::wstring header = L"BBXX WDCD 01124 99512 51234 41598 81204 10123 ";
    const CSynop moving = Decoded(header + L"22261 04120");
    EXPECT_EQ(moving.GetShipDirection(), 270);
    EXPECT_EQ(moving.GetShipSpeed(), 5);
    EXPECT_EQ(Decoded(header + L"22201").GetShipDirection(), 0);
    EXPECT_EQ(Decoded(header + L"22291").GetShipSpeed(), 0);
    EXPECT_EQ(Decoded(header + L"22260").GetShipDirection(), 0);
}

TEST(SynopSection333And555, AddLayersGustsAndRegionalValuesOnce)
{
    const CSynop synop = Decoded(L"AAXX 01124 10384 32595 81204 10123 333 10132 85815 82590 91125");
    EXPECT_EQ(Layers(synop), L"1500/5/8/-1 166/2/5/-1");
    EXPECT_DOUBLE_EQ(synop.GetWind().gust, 25.0);
    EXPECT_DOUBLE_EQ(synop.GetWind().speed, 4.0);
    const CSynop metres = Decoded(L"AAXX 01121 10384 41/98 81204 333 91110");
    EXPECT_DOUBLE_EQ(metres.GetWind().gust, 10 * 1.943844492);
    EXPECT_FALSE(metres.HasCloudBase());
    EXPECT_TRUE(Decoded(L"AAXX 01121 10384 41/98 81204 333 81815").HasCloudBase());

    // A second decode empties the layer list first.
    CSynop full(
        L"AAXX 01124 10384 32595 81204 10123 333 85815 444 12345 555 01012 10123 21034 81230 91007 91108 91109");
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(full.Decode(), 0);
        EXPECT_DOUBLE_EQ(full.GetTemperature(), -1.2);
        EXPECT_DOUBLE_EQ(full.GetRegionalValue(), 1.2);
        EXPECT_DOUBLE_EQ(full.GetRegionalTemperature(), -3.4);
        EXPECT_EQ(Layers(full), L"1500/5/8/-1 3000/1/0/-1");
        EXPECT_EQ(full.GetGust910(), 7);
        EXPECT_EQ(full.GetGust911First(), 8);
        EXPECT_EQ(full.GetGust911Second(), 9);
    }
    EXPECT_EQ(Decoded(L"AAXX 01121 10384 32595 81204 555 00012 10123 91007").GetGust910(), 13);

    // Without its two leading groups section 555 is left unread.
    const CSynop unread = Decoded(L"AAXX 01124 10384 32595 81204 10123 555 12301 91007");
    EXPECT_DOUBLE_EQ(unread.GetTemperature(), 12.3);
    EXPECT_EQ(unread.GetGust910(), 0);
}

TEST(SynopRecord, ResetKeepsStationWindAndLayersAndAssignmentKeepsTime)
{
    platform::ScopedClock clock(kNow);
    CSynop synop = Decoded(L"AAXX 01124 10384 32595 81204 10123 21012 333 85815");
    synop.Reset();
    EXPECT_EQ(Summary(synop), L"wind 120/4/-1 vis 99999 base 3333/8 iR 3 temp 15/5 press 1013.2/1013.2 types 0 0 0");
    EXPECT_STREQ(synop.GetICAO(), L"10384");
    EXPECT_EQ(Layers(synop), L"1500/5/8/-1");
    EXPECT_DOUBLE_EQ(CSynop().GetDistance(Position(10.0, 10.0), true), 99999.0);

    CSynop target;
    target.SetTime(1000);
    target = synop;
    EXPECT_EQ(target.GetTime(), 1000);
    EXPECT_EQ(target.GetRaw(), synop.GetRaw());
    EXPECT_EQ(CSynop(synop).GetTime(), synop.GetTime());
}

TEST(SynopToMetar, WritesMetarLinesThatTheMetarDecoderReads)
{
    // Layers of 0 or 9 oktas give only their height group, which stops the METAR decoder; minus zero is written
    // as 00; a report without wind gets "/////KT", which reads as no wind (code 5), and keeps its other groups.
    const std::tuple<const wchar_t*, const wchar_t*, int> cases[] = {
        {L"AAXX 01124 10384 32508 81204 10123 21012 30132 40015 82530 333 85815 555 01004 10123 91007",
         L"EDDF 000000Z 12004G07KT 0800 BKN015 M00/M01 Q1002 ", 0},
        {L"AAXX 01124 10384 32599 01204 10123 20000 40132", L"EDDF 000000Z 12004KT 60KM 12/00 Q1013 ", 0},
        {L"AAXX 01124 10384 325// 01204 10123 20050 40132", L"EDDF 000000Z 12004KT 99KM 12/05 Q1013 ", 0},
        {L"AAXX 01124 10384 32590 51204 10123 20050 40132", L"EDDF 000000Z 12004KT 0040 BKN033 12/05 Q1013 ", 0},
        {L"AAXX 01124 10384 32599 01204 10123 20050 40132 333 80/30 89/30",
         L"EDDF 000000Z 12004KT 60KM 030 030 12/05 Q1013 ", 9},
        {L"AAXX 01124 10384 32599 01204 11000 21000 40132", L"EDDF 000000Z 12004KT 60KM 00/00 Q1013 ", 0},
        {L"AAXX 01124 10384 32595 8//// 10123 20050 40132 333 85815", L"EDDF 000000Z /////KT 2000 BKN015 12/05 Q1013 ",
         5},
        {L"BBXX WDCD 01124 99512 51234 41598 21204 10123 20050 40132 22261",
         L"EDDF 000000Z 12004KT 20KM FEW033 12/05 Q1013 ", 0},
    };
    for (const auto& [text, line, code] : cases) {
        CSynop synop = Decoded(text);
        EXPECT_EQ(MetarLine(synop), line) << Narrow(text);
        EXPECT_EQ(MetarCode(line), code) << Narrow(line);
    }

    // The target keeps its identity and position, and holds the decode of the line.
    CSynop synop = Decoded(L"AAXX 01124 10384 32595 8//// 10123 20050 40132 333 85815");
    CMetar target(L"EDDF");
    target.SetPosition(Position(50.03, 8.57));
    target.SetCountry(L"Germany");
    target.SetName(L"Frankfurt");
    synop.ToMetar(target);
    EXPECT_STREQ(target.GetICAO(), L"EDDF");
    EXPECT_EQ(target.GetPosition(), Position(50.03, 8.57));
    EXPECT_EQ(target.GetCountry(), L"Germany");
    EXPECT_EQ(target.GetName(), L"unknow");
    EXPECT_EQ(target.GetVisibility(), 2000);
    EXPECT_EQ(target.GetTemperature(), 12);
    EXPECT_EQ(target.GetCloudLayers().size(), 1u);
    EXPECT_DOUBLE_EQ(target.GetQNH(true), 1013.0);

    CMetar unnamed;
    synop.ToMetar(unnamed);
    EXPECT_EQ(unnamed.GetRaw(), L"SYME 000000Z /////KT 2000 BKN015 12/05 Q1013 ");
    EXPECT_STREQ(unnamed.GetICAO(), L"");
}

TEST(LocalTimeSynopHeader, DatesReportInCurrentOrPreviousMonth)
{
    platform::ScopedClock clock(kNow);
    EXPECT_EQ(LocalDate(CSynop(L"AAXX 01124 10384").GetTime()), "2026-12-01 12:00");
    EXPECT_EQ(LocalDate(CSynop(L"AAXX 28064 10384").GetTime()), "2026-11-28 06:00");
    // The same day and hour read a month later: 3 January 2027.
    clock.SetNow(kNow + 27 * 86400);
    EXPECT_EQ(LocalDate(CSynop(L"AAXX 28064 10384").GetTime()), "2026-12-28 06:00");
}
