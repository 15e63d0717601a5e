#include "weather/synop.h"

#include "platform/clock.h"
#include "tests/support/calendar.h"
#include "weather/metar.h"
#include "weather/synopdecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

using aviation::Position;
using aviation::weather::CCloudLayer;
using aviation::weather::CMetar;
using aviation::weather::CSynop;
using aviation::weather::CSynopDecoder;
using aviation::weather::StationTime;
using testsupport::LocalFields;

namespace {

constexpr double kKnotsPerMs = 1.943844492;

// 7 December 2026, 15:00 UTC.
constexpr std::int64_t kNow = 1796655600;

CSynop Decoded(const std::wstring& text, int expectedCode = 0)
{
    CSynop synop(text);
    EXPECT_EQ(synop.Decode(), expectedCode) << std::string(text.begin(), text.end());
    return synop;
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

} // namespace

TEST(SynopHeader, DecodesLandHeaderDayHourWindUnitAndStation)
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

    EXPECT_EQ(CSynop(L"AAXX 0112").DecodeHeader(), 6);
    CSynop shortText(L"AAXX 0112");
    EXPECT_EQ(shortText.Decode(), 6);
    EXPECT_STREQ(shortText.GetICAO(), L"");
}

TEST(SynopHeader, RefusesTextsWithoutKnownHeader)
{
    CSynop bulletin(L"ZCZC 123SMCU20 MUHV 310000AAXX 3100178310 01470");
    EXPECT_EQ(bulletin.DecodeHeader(), 1);
    EXPECT_EQ(bulletin.Decode(), 1);
    EXPECT_EQ(CSynop::GetErrorText(1), L"Synop Regex Error");

    // Mobile stations are recognised by the full decode only.
    CSynop mobile(L"OOXX ABC12 01124 99512 Q1234 12345 41598 81204");
    EXPECT_EQ(mobile.DecodeHeader(), 1);
    EXPECT_EQ(mobile.Decode(), 0);
    EXPECT_STREQ(mobile.GetICAO(), L"12345");
    EXPECT_EQ(mobile.GetPosition(), Position(0.0, 0.0));
    EXPECT_DOUBLE_EQ(mobile.GetWind().direction, 120.0);
}

TEST(SynopHeader, PlacesShipByQuadrant)
{
    CSynop southWest(L"BBXX WDCD 01124 99512 51234 41598 81204");
    EXPECT_EQ(southWest.DecodeHeader(), 0);
    EXPECT_STREQ(southWest.GetICAO(), L"51234");
    EXPECT_EQ(southWest.GetName(), L"WDCD");
    EXPECT_DOUBLE_EQ(southWest.GetPosition().GetLatitude(), -51.2);
    EXPECT_DOUBLE_EQ(southWest.GetPosition().GetLongitude(), -123.4);

    EXPECT_EQ(CSynop(L"BBXX WDCD 01124 99512 11234 41598").GetPosition(), Position(51.2, 123.4));
    EXPECT_EQ(CSynop(L"BBXX WDCD 01124 99512 31234 41598").GetPosition(), Position(-51.2, 123.4));
    EXPECT_EQ(CSynop(L"BBXX WDCD 01124 99512 71234 41598").GetPosition(), Position(51.2, -123.4));
    // A ship without call sign still reads its position.
    EXPECT_EQ(CSynop(L"BBXX 01124 99512 71234 41598").GetPosition(), Position(51.2, -123.4));

    CSynop badQuadrant(L"BBXX WDCD 01124 99512 21234 41598");
    EXPECT_EQ(badQuadrant.DecodeHeader(), 2);
    EXPECT_EQ(badQuadrant.Decode(), 2);
    EXPECT_EQ(badQuadrant.GetPosition(), Position(0.0, 0.0));
    EXPECT_EQ(CSynop::GetErrorText(2), L"Synop Station Error");
}

TEST(SynopSection1, ReadsPrecipitationIndicatorCloudBaseAndVisibility)
{
    const CSynop noBase = Decoded(L"AAXX 01124 10384 41/98");
    EXPECT_FALSE(noBase.HasCloudBase());
    EXPECT_EQ(noBase.GetPrecipitationIndicator(), 4);
    EXPECT_EQ(noBase.GetVisibility(), 20000);

    const CSynop low = Decoded(L"AAXX 01124 10384 32595");
    EXPECT_TRUE(low.HasCloudBase());
    EXPECT_EQ(low.GetLowestCloud().GetBase(), 3333);
    EXPECT_EQ(low.GetVisibility(), 2000);
    EXPECT_EQ(Decoded(L"AAXX 01124 10384 32525").GetVisibility(), 2500);

    // The unused codes 51-55 leave the visibility as it was, still counted as reported.
    const CSynop unusedCode = Decoded(L"AAXX 01124 10384 32553");
    EXPECT_EQ(unusedCode.GetVisibility(), 99999);
    EXPECT_TRUE(unusedCode.HasVisibility());
    EXPECT_EQ(unusedCode.GetLowestCloud().GetBase(), 3333);

    const CSynop noVisibility = Decoded(L"AAXX 01124 10384 325//");
    EXPECT_EQ(noVisibility.GetVisibility(), 99999);
    EXPECT_FALSE(noVisibility.HasVisibility());
}

TEST(SynopSection1, MapsCodeTablesOfHeightVisibilityAndLayerBase)
{
    EXPECT_EQ(CSynopDecoder::LowestCloudBase(0), 166);
    EXPECT_EQ(CSynopDecoder::LowestCloudBase(9), 10000);
    EXPECT_EQ(CSynopDecoder::Visibility(50), 5000);
    EXPECT_EQ(CSynopDecoder::Visibility(53), CSynopDecoder::kNoVisibilityValue);
    EXPECT_EQ(CSynopDecoder::Visibility(56), 6000);
    EXPECT_EQ(CSynopDecoder::Visibility(80), 30000);
    EXPECT_EQ(CSynopDecoder::Visibility(81), 35000);
    EXPECT_EQ(CSynopDecoder::Visibility(89), 75000);
    EXPECT_EQ(CSynopDecoder::Visibility(90), 40);
    EXPECT_EQ(CSynopDecoder::Visibility(99), 60000);
    EXPECT_EQ(CSynopDecoder::CloudLayerBase(15), 1500);
    EXPECT_EQ(CSynopDecoder::CloudLayerBase(52), 0);
    EXPECT_EQ(CSynopDecoder::CloudLayerBase(60), 10000);
    EXPECT_EQ(CSynopDecoder::CloudLayerBase(85), 55000);
    EXPECT_EQ(CSynopDecoder::CloudLayerBase(90), 166);
    EXPECT_EQ(CSynopDecoder::CloudLayerBase(96), 3328);
    EXPECT_EQ(CSynopDecoder::CloudLayerBase(97), 4992);
    EXPECT_EQ(CSynopDecoder::CloudLayerBase(98), 6657);
    EXPECT_EQ(CSynopDecoder::CloudLayerBase(99), 8321);
    EXPECT_EQ(CSynopDecoder::ReadNumber(L"1/"), 1);
    EXPECT_EQ(CSynopDecoder::ReadNumber(L"/"), 0);
}

TEST(SynopSection1, ReadsWindInMetresPerSecondAndKnots)
{
    const CSynop metres = Decoded(L"AAXX 01121 10384 32595 81204");
    EXPECT_EQ(metres.GetLowestCloud().GetCoverage(), 8);
    EXPECT_DOUBLE_EQ(metres.GetWind().direction, 120.0);
    EXPECT_DOUBLE_EQ(metres.GetWind().speed, 4 * kKnotsPerMs);
    EXPECT_DOUBLE_EQ(metres.GetWind().gust, -1.0);

    const CSynop calm = Decoded(L"AAXX 01121 10384 32595 80000");
    EXPECT_DOUBLE_EQ(calm.GetWind().direction, 0.0);
    EXPECT_DOUBLE_EQ(calm.GetWind().speed, 0.0);

    const CSynop knots = Decoded(L"AAXX 01124 10384 32595 91204");
    EXPECT_EQ(knots.GetLowestCloud().GetCoverage(), 8);
    EXPECT_DOUBLE_EQ(knots.GetWind().speed, 4.0);

    // ff = 99: the speed follows in a 00fff group, cut to whole knots.
    const CSynop storm = Decoded(L"AAXX 01121 10384 32595 99999 00123 10123");
    EXPECT_DOUBLE_EQ(storm.GetWind().direction, 0.0);
    EXPECT_DOUBLE_EQ(storm.GetWind().speed, std::floor(123 * kKnotsPerMs));
    EXPECT_DOUBLE_EQ(storm.GetTemperature(), 12.3);

    const CSynop missing = Decoded(L"AAXX 01124 10384 32595 8//10 10123");
    EXPECT_FALSE(missing.HasWind());
    EXPECT_DOUBLE_EQ(missing.GetWind().direction, -1.0);
    EXPECT_DOUBLE_EQ(missing.GetWind().speed, -1.0);
    EXPECT_DOUBLE_EQ(missing.GetTemperature(), 12.3);
}

TEST(SynopSection1, ReadsTemperatureDewPointAndHumidity)
{
    const CSynop synop = Decoded(L"AAXX 01124 10384 32595 81204 10123 21012");
    EXPECT_DOUBLE_EQ(synop.GetTemperature(), 12.3);
    EXPECT_DOUBLE_EQ(synop.GetDewPoint(), -1.2);
    EXPECT_DOUBLE_EQ(Decoded(L"AAXX 01124 10384 32595 81204 11005").GetTemperature(), -0.5);

    // 29UUU: relative humidity 50 % at 20 degrees is a dew point of about 9.3 degrees.
    const CSynop humid = Decoded(L"AAXX 01124 10384 32595 81204 10200 29050");
    EXPECT_DOUBLE_EQ(humid.GetHumidity(), 50.0);
    EXPECT_NEAR(humid.GetDewPoint(), 9.3, 0.05);
    EXPECT_DOUBLE_EQ(Decoded(L"AAXX 01124 10384 32595 81204 10200 29///").GetDewPoint(), 5.0);
}

TEST(SynopSection1, ReadsStationAndSeaLevelPressure)
{
    const CSynop synop = Decoded(L"AAXX 01124 10384 32595 81204 10123 21012 30132 40015");
    EXPECT_FLOAT_EQ(synop.GetStationPressure(), 1013.2f);
    EXPECT_FLOAT_EQ(synop.GetSeaLevelPressure(), 1001.5f);
    EXPECT_FLOAT_EQ(Decoded(L"AAXX 01124 10384 32595 81204 39987").GetStationPressure(), 998.7f);
    EXPECT_FLOAT_EQ(Decoded(L"AAXX 01124 10384 32595 81204 3015/").GetStationPressure(), 1015.0f);
}

TEST(SynopSection1, ReadsCloudTypesAfterSkippedGroups)
{
    const CSynop synop = Decoded(L"AAXX 01124 10384 32595 81204 10123 21012 30132 40015 52010 60001 70522 82530");
    EXPECT_EQ(synop.GetLowCloudType(), 5);
    EXPECT_EQ(synop.GetMiddleCloudType(), 3);
    EXPECT_EQ(synop.GetHighCloudType(), 0);
    EXPECT_EQ(Decoded(L"AAXX 01124 10384 32595 81204 825/7").GetMiddleCloudType(), 0);
}

TEST(SynopSection1, ReadsShipVisibilityFromItsHeaderAndWindFromTheNextGroup)
{
    // The ship's iRixhVV (41598) ends its header; the wind group 21204 would fit the iRixhVV shape too.
    CSynop ship = Decoded(L"BBXX WDCD 01124 99512 51234 41598 21204 10123 20050 40132 22261");
    EXPECT_EQ(ship.GetPrecipitationIndicator(), 4);
    EXPECT_EQ(ship.GetLowestCloud().GetBase(), 3333);
    EXPECT_EQ(ship.GetVisibility(), 20000);
    EXPECT_EQ(ship.GetLowestCloud().GetCoverage(), 2);
    EXPECT_DOUBLE_EQ(ship.GetWind().direction, 120.0);
    EXPECT_DOUBLE_EQ(ship.GetWind().speed, 4.0);
    EXPECT_DOUBLE_EQ(ship.GetTemperature(), 12.3);
    EXPECT_EQ(ship.GetShipDirection(), 270);
    EXPECT_EQ(MetarLine(ship), L"EDDF 000000Z 12004KT 20KM FEW033 12/05 Q1013 ");

    const CSynop noBase = Decoded(L"BBXX WDCD 01124 99512 51234 21/// 81204 10123");
    EXPECT_FALSE(noBase.HasCloudBase());
    EXPECT_FALSE(noBase.HasVisibility());
    EXPECT_EQ(noBase.GetPrecipitationIndicator(), 2);
    EXPECT_DOUBLE_EQ(noBase.GetWind().speed, 4.0);
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

TEST(SynopSection333, AppendsCloudLayersAndReadsGust)
{
    CSynop synop = Decoded(L"AAXX 01124 10384 32595 81204 10123 333 10132 85815 82590 91125");
    const std::vector<CCloudLayer> layers = synop.GetCloudLayers();
    ASSERT_EQ(layers.size(), 2u);
    EXPECT_EQ(layers[0].GetCoverage(), 5);
    EXPECT_EQ(layers[0].GetType(), 8);
    EXPECT_EQ(layers[0].GetBase(), 1500);
    EXPECT_EQ(layers[0].GetBaseMSL(), -1);
    EXPECT_EQ(layers[1].GetBase(), 166);
    EXPECT_DOUBLE_EQ(synop.GetWind().gust, 25.0);
    EXPECT_DOUBLE_EQ(synop.GetWind().speed, 4.0);

    const CSynop metres = Decoded(L"AAXX 01121 10384 41/98 81204 333 91110");
    EXPECT_DOUBLE_EQ(metres.GetWind().gust, 10 * kKnotsPerMs);
    EXPECT_FALSE(metres.HasCloudBase());
    EXPECT_TRUE(Decoded(L"AAXX 01121 10384 41/98 81204 333 81815").HasCloudBase());
}

TEST(SynopSection555, ReadsTemperatureRegionalValuesLayersAndGusts)
{
    const CSynop synop = Decoded(
        L"AAXX 01124 10384 32595 81204 10123 333 85815 444 12345 555 01012 10123 21034 81230 91007 91108 91109");
    EXPECT_DOUBLE_EQ(synop.GetTemperature(), -1.2);
    EXPECT_DOUBLE_EQ(synop.GetRegionalValue(), 1.2);
    EXPECT_DOUBLE_EQ(synop.GetRegionalTemperature(), -3.4);
    ASSERT_EQ(synop.GetCloudLayers().size(), 2u);
    EXPECT_EQ(synop.GetCloudLayers()[1].GetCoverage(), 1);
    EXPECT_EQ(synop.GetCloudLayers()[1].GetBase(), 3000);
    EXPECT_EQ(synop.GetCloudLayers()[1].GetType(), 0);
    EXPECT_EQ(synop.GetGust910(), 7);
    EXPECT_EQ(synop.GetGust911First(), 8);
    EXPECT_EQ(synop.GetGust911Second(), 9);

    const CSynop metres = Decoded(L"AAXX 01121 10384 32595 81204 555 00012 10123 91007");
    EXPECT_EQ(metres.GetGust910(), 13);

    // Without its two leading groups the section is left unread.
    const CSynop unread = Decoded(L"AAXX 01124 10384 32595 81204 10123 555 12301 91007");
    EXPECT_DOUBLE_EQ(unread.GetTemperature(), 12.3);
    EXPECT_EQ(unread.GetGust910(), 0);
}

TEST(SynopDecode, SecondDecodeKeepsOneSetOfLayers)
{
    CSynop synop(L"AAXX 01124 10384 32595 81204 333 85815 555 01012 10123 81230");
    EXPECT_EQ(synop.Decode(), 0);
    EXPECT_EQ(synop.GetCloudLayers().size(), 2u);
    EXPECT_EQ(synop.Decode(), 0);
    EXPECT_EQ(synop.GetCloudLayers().size(), 2u);
}

TEST(SynopRecord, DefaultsResetAndCopies)
{
    platform::ScopedClock clock(kNow);
    const CSynop empty;
    EXPECT_EQ(empty.GetVisibility(), 99999);
    EXPECT_DOUBLE_EQ(empty.GetTemperature(), 15.0);
    EXPECT_DOUBLE_EQ(empty.GetDewPoint(), 5.0);
    EXPECT_FLOAT_EQ(empty.GetStationPressure(), 1013.2f);
    EXPECT_FLOAT_EQ(empty.GetSeaLevelPressure(), 1013.2f);
    EXPECT_DOUBLE_EQ(empty.GetWind().direction, -1.0);
    EXPECT_DOUBLE_EQ(empty.GetWind().speed, -1.0);
    EXPECT_DOUBLE_EQ(empty.GetWind().gust, 0.0);
    EXPECT_TRUE(empty.HasCloudBase() && empty.HasWind() && empty.HasVisibility());
    EXPECT_DOUBLE_EQ(empty.GetDistance(Position(10.0, 10.0), true), 99999.0);
    EXPECT_EQ(CSynop::GetErrorText(0), L"No Synop Error");
    EXPECT_EQ(CSynop::GetErrorText(3), L"Synop Climate Error");
    EXPECT_EQ(CSynop::GetErrorText(4), L"Unknow Synop Error");
    EXPECT_EQ(CSynop::GetErrorText(5), L"Unknow Synop Error");
    EXPECT_EQ(CSynop::GetErrorText(6), L"Synop not found");

    CSynop synop = Decoded(L"AAXX 01124 10384 32595 81204 10123 21012 333 85815");
    synop.Reset();
    EXPECT_DOUBLE_EQ(synop.GetTemperature(), 15.0);
    EXPECT_EQ(synop.GetVisibility(), 99999);
    EXPECT_STREQ(synop.GetICAO(), L"10384");
    EXPECT_DOUBLE_EQ(synop.GetWind().speed, 4.0);
    EXPECT_EQ(synop.GetCloudLayers().size(), 1u);

    CSynop target;
    target.SetTime(1000);
    target = synop;
    EXPECT_EQ(target.GetTime(), 1000);
    EXPECT_EQ(target.GetRaw(), synop.GetRaw());
    EXPECT_EQ(CSynop(synop).GetTime(), synop.GetTime());
}

TEST(SynopToMetar, WritesMetarLineFromDecodedValues)
{
    CSynop synop = Decoded(L"AAXX 01124 10384 32508 81204 10123 21012 30132 40015 82530 333 85815 555 01004 "
                           L"10123 91007");
    const std::wstring line = MetarLine(synop);
    EXPECT_EQ(line, L"EDDF 000000Z 12004G07KT 0800 BKN015 M00/M01 Q1002 ");
    EXPECT_EQ(MetarCode(line), 0);

    CMetar target(L"EDDF");
    target.SetPosition(Position(50.03, 8.57));
    target.SetCountry(L"Germany");
    target.SetName(L"Frankfurt");
    synop.ToMetar(target);
    EXPECT_STREQ(target.GetICAO(), L"EDDF");
    EXPECT_EQ(target.GetPosition(), Position(50.03, 8.57));
    EXPECT_EQ(target.GetCountry(), L"Germany");
    EXPECT_EQ(target.GetName(), L"unknow");
    EXPECT_EQ(target.GetVisibility(), 800);
    EXPECT_EQ(target.GetTemperature(), 0);
    EXPECT_DOUBLE_EQ(target.GetWind().gust, 7.0);
}

TEST(SynopToMetar, WritesVisibilityAndCloudGroupsAsSpecified)
{
    CSynop clear = Decoded(L"AAXX 01124 10384 32599 01204 10123 20000 40132");
    EXPECT_EQ(MetarLine(clear), L"EDDF 000000Z 12004KT 60KM 12/00 Q1013 ");

    CSynop notReported = Decoded(L"AAXX 01124 10384 325// 01204 10123 20050 40132");
    EXPECT_EQ(MetarLine(notReported), L"EDDF 000000Z 12004KT 99KM 12/05 Q1013 ");

    CSynop fog = Decoded(L"AAXX 01124 10384 32590 51204 10123 20050 40132");
    EXPECT_EQ(MetarLine(fog), L"EDDF 000000Z 12004KT 0040 BKN033 12/05 Q1013 ");

    // Layers of 0 or 9 oktas give only their height group.
    CSynop obscured = Decoded(L"AAXX 01124 10384 32599 01204 10123 20050 40132 333 80/30 89/30");
    EXPECT_EQ(MetarLine(obscured), L"EDDF 000000Z 12004KT 60KM 030 030 12/05 Q1013 ");

    // Minus zero (sign digit 1, value 000) is written as 00, and the line decodes to its end.
    CSynop minusZero = Decoded(L"AAXX 01124 10384 32599 01204 11000 21000 40132");
    EXPECT_EQ(MetarLine(minusZero), L"EDDF 000000Z 12004KT 60KM 00/00 Q1013 ");
    EXPECT_EQ(MetarCode(MetarLine(minusZero)), 0);

    CSynop unnamed = Decoded(L"AAXX 01124 10384 32599 01204 10123 20050 40132");
    CMetar target;
    unnamed.ToMetar(target);
    EXPECT_EQ(target.GetRaw(), L"SYME 000000Z 12004KT 60KM 12/05 Q1013 ");
    EXPECT_STREQ(target.GetICAO(), L"");
}

TEST(SynopToMetar, ReportWithoutWindKeepsItsOtherGroups)
{
    CSynop synop = Decoded(L"AAXX 01124 10384 32595 8//// 10123 20050 40132 333 85815");
    EXPECT_FALSE(synop.HasWind());
    const std::wstring line = MetarLine(synop);
    EXPECT_EQ(line, L"EDDF 000000Z /////KT 2000 BKN015 12/05 Q1013 ");

    CMetar target(L"EDDF");
    synop.ToMetar(target);
    EXPECT_EQ(MetarCode(line), 0);
    EXPECT_EQ(target.GetVisibility(), 2000);
    EXPECT_EQ(target.GetTemperature(), 12);
    EXPECT_EQ(target.GetCloudLayers().size(), 1u);
    EXPECT_DOUBLE_EQ(target.GetQNH(true), 1013.0);
}

TEST(LocalTimeSynopHeader, DatesReportInCurrentOrPreviousMonth)
{
    platform::ScopedClock clock(kNow);
    const std::tm first = LocalFields(CSynop(L"AAXX 01124 10384").GetTime());
    EXPECT_EQ(first.tm_year + 1900, 2026);
    EXPECT_EQ(first.tm_mon + 1, 12);
    EXPECT_EQ(first.tm_mday, 1);
    EXPECT_EQ(first.tm_hour, 12);
    EXPECT_EQ(first.tm_min, 0);

    const std::tm lastMonth = LocalFields(CSynop(L"AAXX 28064 10384").GetTime());
    EXPECT_EQ(lastMonth.tm_mon + 1, 11);
    EXPECT_EQ(lastMonth.tm_mday, 28);
    EXPECT_EQ(lastMonth.tm_hour, 6);

    // The same day and hour read a month later: 3 January 2027.
    clock.SetNow(kNow + 27 * 86400);
    const std::tm lastYear = LocalFields(CSynop(L"AAXX 28064 10384").GetTime());
    EXPECT_EQ(lastYear.tm_year + 1900, 2026);
    EXPECT_EQ(lastYear.tm_mon + 1, 12);
    EXPECT_EQ(lastYear.tm_mday, 28);
    EXPECT_EQ(lastYear.tm_hour, 6);
}
