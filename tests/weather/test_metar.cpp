#include "weather/metar.h"

#include "platform/clock.h"
#include "tests/support/calendar.h"

#include <gtest/gtest.h>

using aviation::weather::CCloudLayer;
using aviation::weather::CMetar;

namespace {

// Tuesday, 8 December 2026, 12:00 UTC.
constexpr std::int64_t kNow = 1796731200;

struct Decoded
{
    CMetar metar;
    int code;
};

Decoded DecodeReport(const std::wstring& raw, int elevation = 0)
{
    CMetar metar(raw);
    metar.SetElevation(elevation);
    const int code = metar.Decode();
    return {metar, code};
}

void ExpectLayer(const CCloudLayer& layer, int base, int coverage, int type, int baseMsl)
{
    EXPECT_EQ(layer.GetBase(), base);
    EXPECT_EQ(layer.GetCoverage(), coverage);
    EXPECT_EQ(layer.GetType(), type);
    EXPECT_EQ(layer.GetBaseMSL(), baseMsl);
}

} // namespace

TEST(Metar, NewRecordHoldsTheDefaults)
{
    const CMetar metar(L"EDDF");
    EXPECT_EQ(metar.GetICAOString(), L"EDDF");
    EXPECT_EQ(metar.GetRaw(), L"EDDF");
    EXPECT_EQ(metar.GetOriginalRaw(), L"EDDF");
    EXPECT_EQ(metar.GetTimeGroup(), L"000000");
    EXPECT_EQ(metar.GetVisibility(), 9999);
    EXPECT_EQ(metar.GetTemperature(), 13);
    EXPECT_EQ(metar.GetDewPoint(), 5);
    EXPECT_EQ(metar.GetTemperatureMSL(), 15);
    EXPECT_EQ(metar.GetDewPointMSL(), 5);
    EXPECT_DOUBLE_EQ(metar.GetQNH(true), 1013.0);
    EXPECT_NEAR(metar.GetQNH(false), 2991.35, 0.01);
    EXPECT_EQ(metar.GetWind().direction, 0.0);
    EXPECT_EQ(metar.GetWind().speed, 0.0);
    EXPECT_EQ(metar.GetWind().gust, 0.0);
    EXPECT_EQ(metar.GetVariableWindFrom(), -1);
    EXPECT_EQ(metar.GetVariableWindTo(), -1);
    EXPECT_EQ(metar.GetVariableWindRange(), 0);
    EXPECT_EQ(metar.GetWeatherIntensity(), 0);
    EXPECT_FALSE(metar.IsCAVOK());
    EXPECT_FALSE(metar.IsAUTO());
    EXPECT_FALSE(metar.IsNSC());
    EXPECT_FALSE(metar.IsDecoded());
    EXPECT_TRUE(metar.GetCloudLayers().empty());

    EXPECT_EQ(CMetar(L"ED").GetICAOString(), L"ED");
    EXPECT_EQ(CMetar().GetICAOString(), L"");
}

TEST(Metar, NamesEveryErrorCode)
{
    EXPECT_EQ(CMetar::GetErrorText(0), L"No Metar Error");
    EXPECT_EQ(CMetar::GetErrorText(1), L"Unknow Metar Error");
    EXPECT_EQ(CMetar::GetErrorText(2), L"Regex Metar Error");
    EXPECT_EQ(CMetar::GetErrorText(3), L"Out Of Range");
    EXPECT_EQ(CMetar::GetErrorText(4), L"Error, No Metar Raw");
    EXPECT_EQ(CMetar::GetErrorText(5), L"Wind Metar Error");
    EXPECT_EQ(CMetar::GetErrorText(6), L"VIS Metar Error");
    EXPECT_EQ(CMetar::GetErrorText(7), L"Cloud Metar Error");
    EXPECT_EQ(CMetar::GetErrorText(8), L"Temp/Dew Metar Error");
    EXPECT_EQ(CMetar::GetErrorText(9), L"QNH Metar Error");
    EXPECT_EQ(CMetar::GetErrorText(10), L"Unknow Metar Error");
}

TEST(Metar, MeasuresVariableWindRangeThroughNorth)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"EDDF 061250Z 36010KT 350V020 9999 FEW020 12/08 Q1015");
    EXPECT_EQ(d.code, 0);
    EXPECT_EQ(d.metar.GetVariableWindFrom(), 350);
    EXPECT_EQ(d.metar.GetVariableWindTo(), 20);
    EXPECT_EQ(d.metar.GetVariableWindRange(), 30);
}

TEST(Metar, DescribesStationOnlyWhenRawTextIsEmpty)
{
    CMetar metar;
    metar.SetName(L"Frankfurt");
    metar.SetCountry(L"Germany");
    metar.SetPosition(aviation::Position(50.0333, 8.5706));
    metar.SetElevation(364);
    EXPECT_EQ(metar.GetInfoText(0),
              L"ICAO: \nName: Frankfurt\nCountry: Germany\n"
              L"Position: 50.03\u00b0, 8.57\u00b0\nElevation: 364ft\n");
}

TEST(Metar, DescribesDecodedReportLineByLine)
{
    platform::ScopedClock clock(kNow);
    Decoded d = DecodeReport(L"EDDF 061250Z 27015G25KT 240V300 9999 R25/P1500N -RA BKN020CB 12/08 Q1015", 364);
    ASSERT_EQ(d.code, 0);
    const std::wstring station = L"ICAO: EDDF\nName: unknow\nCountry: unknow\nPosition: 0.00\u00b0, 0.00\u00b0\n"
                                 L"Elevation: 364ft\n";
    EXPECT_EQ(d.metar.GetInfoText(0),
              station
                  + L"Time: 061250\nWind: 270\u00b0/15kt Gust 25kt\nVisibility: 9999m\n"
                    L"RVR: R25/P1500N \nWeather phenomena: RA \nClouds: Broken at 2000ft\n"
                    L"Temperature/Dewpoint: 12\u00b0/8\u00b0\nQNH: 1015 hpa/29.97 Inch\n");

    Decoded calm = DecodeReport(L"EDDF 061250Z 00000KT 0800 FG VV001 M01/M01 Q1030");
    ASSERT_EQ(calm.code, 0);
    calm.metar.SetDistance(12.34);
    const std::wstring text = calm.metar.GetInfoText(1200);
    EXPECT_NE(text.find(L"Wind: 000\u00b0/0kt\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"Visibility: 1200m\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"Clouds: Overcast at 0ft\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"Temperature/Dewpoint: -1\u00b0/-1\u00b0\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"RVR"), std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 16), L"Distance: 12.3NM");
}

TEST(Metar, CopiesKeepDecodedValuesAndAssignmentKeepsTargetTime)
{
    platform::ScopedClock clock(kNow);
    Decoded d = DecodeReport(L"EDDF 061250Z 27015KT 9999 FEW020 SCT040 12/08 Q1015");
    const CMetar copy(d.metar);
    EXPECT_TRUE(copy.IsDecoded());
    EXPECT_EQ(copy.GetCloudLayers().size(), 2u);
    EXPECT_EQ(copy.GetTime(), d.metar.GetTime());
    EXPECT_EQ(copy.GetDecodeErrorText(), d.metar.GetDecodeErrorText());

    CMetar target(L"KJFK");
    target.SetTime(1000);
    target = d.metar;
    EXPECT_EQ(target.GetTime(), 1000);
    EXPECT_EQ(target.GetICAOString(), L"EDDF");
    EXPECT_EQ(target.GetTimeGroup(), L"061250");
    EXPECT_EQ(target.GetCloudLayers().size(), 2u);
    EXPECT_TRUE(target.IsDecoded());
}

TEST(Metar, SetRawChangesOnlyTheTextToDecode)
{
    CMetar metar(L"EDDF 061250Z 27015KT 9999 FEW020 12/08 Q1015");
    metar.SetRaw(L"EDDF 061250Z 27015KT 5000 BKN020 12/08 Q1015");
    metar.SetRaw(metar.GetRaw());
    EXPECT_EQ(metar.GetOriginalRaw(), L"EDDF 061250Z 27015KT 9999 FEW020 12/08 Q1015");
    EXPECT_EQ(metar.GetVisibility(), 9999);
    EXPECT_EQ(metar.Decode(), 0);
    EXPECT_EQ(metar.GetVisibility(), 5000);
}

TEST(MetarDecoder, DecodesGustVariableWindAndCumulonimbus)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG", 364);
    EXPECT_EQ(d.code, 0);
    EXPECT_TRUE(d.metar.IsDecoded());
    EXPECT_EQ(d.metar.GetICAOString(), L"EDDF");
    EXPECT_EQ(d.metar.GetTimeGroup(), L"061250");
    EXPECT_EQ(d.metar.GetWind().direction, 270.0);
    EXPECT_EQ(d.metar.GetWind().speed, 15.0);
    EXPECT_EQ(d.metar.GetWind().gust, 25.0);
    EXPECT_EQ(d.metar.GetVariableWindFrom(), 240);
    EXPECT_EQ(d.metar.GetVariableWindTo(), 300);
    EXPECT_EQ(d.metar.GetVisibility(), 9999);
    EXPECT_EQ(d.metar.GetWeatherIntensity(), 1);
    EXPECT_EQ(d.metar.GetWeather(), L"RA ");
    ASSERT_EQ(d.metar.GetCloudLayers().size(), 1u);
    ExpectLayer(d.metar.GetCloudLayers()[0], 2000, 7, CCloudLayer::kTypeCumulonimbus, 2364);
    EXPECT_EQ(d.metar.GetTemperature(), 12);
    EXPECT_EQ(d.metar.GetDewPoint(), 8);
    EXPECT_EQ(d.metar.GetTemperatureMSL(), 12);
    EXPECT_DOUBLE_EQ(d.metar.GetQNH(true), 1015.0);
}

TEST(MetarDecoder, DatesTheReportInTheCurrentMonth)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"EDDF 061250Z 27015KT 9999 FEW020 12/08 Q1015");
    EXPECT_EQ(d.metar.GetTime(), testsupport::LocalSeconds(2026, 12, 6, 12, 50));
}

TEST(MetarDecoder, DecodesStatuteMilesAndInches)
{
    platform::ScopedClock clock(kNow);
    const Decoded mist = DecodeReport(L"KJFK 061251Z 27010KT 1 1/2SM BR OVC005 M05/M07 A2992");
    EXPECT_EQ(mist.code, 0);
    EXPECT_EQ(mist.metar.GetVisibility(), 2413);
    EXPECT_EQ(mist.metar.GetWeather(), L"BR ");
    EXPECT_EQ(mist.metar.GetWeatherIntensity(), 2);
    ASSERT_EQ(mist.metar.GetCloudLayers().size(), 1u);
    ExpectLayer(mist.metar.GetCloudLayers()[0], 500, 8, CCloudLayer::kTypePlain, 500);
    EXPECT_EQ(mist.metar.GetTemperature(), -5);
    EXPECT_EQ(mist.metar.GetDewPoint(), -7);
    EXPECT_NEAR(mist.metar.GetQNH(true), 1013.2, 0.05);

    const Decoded clear = DecodeReport(L"KJFK 061251Z 27010KT 10SM CLR 20/10 A2992");
    EXPECT_EQ(clear.code, 0);
    EXPECT_EQ(clear.metar.GetVisibility(), 9999);
    EXPECT_TRUE(clear.metar.GetCloudLayers().empty());

    EXPECT_EQ(DecodeReport(L"KJFK 061251Z 27010KT 15SM CLR 20/10 A2992").metar.GetVisibility(), 24135);
}

TEST(MetarDecoder, ConvertsMetresPerSecondToKnots)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"UUEE 061230Z 18005MPS 9999 SCT030 05/01 Q1010");
    EXPECT_EQ(d.code, 0);
    EXPECT_EQ(d.metar.GetWind().direction, 180.0);
    EXPECT_NEAR(d.metar.GetWind().speed, 9.72, 0.01);
    EXPECT_DOUBLE_EQ(d.metar.GetQNH(true), 1010.0);
}

TEST(MetarDecoder, DecodesVariableWindWithCavok)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"EDDF 061250Z VRB03KT CAVOK 20/10 Q1020");
    EXPECT_EQ(d.code, 0);
    EXPECT_EQ(d.metar.GetWind().direction, 0.0);
    EXPECT_EQ(d.metar.GetWind().speed, 3.0);
    EXPECT_TRUE(d.metar.IsCAVOK());
    EXPECT_EQ(d.metar.GetVisibility(), 9999);
    EXPECT_TRUE(d.metar.GetCloudLayers().empty());
}

TEST(MetarDecoder, TurnsNoSignificantCloudIntoAScatteredLayer)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"EDDF 061250Z 27010KT 9999 NSC 20/10 Q1020", 364);
    EXPECT_EQ(d.code, 0);
    EXPECT_TRUE(d.metar.IsNSC());
    EXPECT_EQ(d.metar.GetWeather(), L"NSC");
    ASSERT_EQ(d.metar.GetCloudLayers().size(), 1u);
    ExpectLayer(d.metar.GetCloudLayers()[0], 5000, 3, CCloudLayer::kTypePlain, 2364);
}

TEST(MetarDecoder, ReportsMissingVisibilityAndCloudMarkers)
{
    platform::ScopedClock clock(kNow);
    const Decoded missing = DecodeReport(L"EDDF 061250Z 27010KT //// // ////// 20/10 Q1020");
    EXPECT_EQ(missing.code, 6);
    EXPECT_EQ(missing.metar.GetVisibility(), 9999);
    EXPECT_TRUE(missing.metar.GetCloudLayers().empty());
    EXPECT_EQ(missing.metar.GetTemperature(), 20);

    const Decoded noClouds = DecodeReport(L"EDDF 061250Z 27010KT 9999 // ////// 20/10 Q1020");
    EXPECT_EQ(noClouds.code, 7);
    EXPECT_EQ(noClouds.metar.GetTemperature(), 20);
    EXPECT_DOUBLE_EQ(noClouds.metar.GetQNH(true), 1020.0);
}

TEST(MetarDecoder, ReadsTemperatureWithoutDewPoint)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"EDDF 061250Z 27010KT 9999 FEW020 M02/ Q1020");
    EXPECT_EQ(d.code, 0);
    EXPECT_EQ(d.metar.GetTemperature(), -2);
    EXPECT_EQ(d.metar.GetDewPoint(), -5);
}

TEST(MetarDecoder, KeepsEarlierTemperatureWhenGroupIsMissing)
{
    platform::ScopedClock clock(kNow);
    CMetar metar(L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q1015");
    metar.SetElevation(1000);
    ASSERT_EQ(metar.Decode(), 0);
    metar.SetRaw(L"EDDF 061250Z 27010KT 9999 FEW020 Q1020");
    EXPECT_EQ(metar.Decode(), 8);
    EXPECT_EQ(metar.GetTemperature(), 12);
    EXPECT_EQ(metar.GetDewPoint(), 8);
    EXPECT_EQ(metar.GetTemperatureMSL(), 14);
    EXPECT_DOUBLE_EQ(metar.GetQNH(true), 1020.0);
}

TEST(MetarDecoder, ChecksInchPressureRange)
{
    platform::ScopedClock clock(kNow);
    const Decoded low = DecodeReport(L"KJFK 061251Z 27010KT 10SM CLR 20/10 A0050");
    EXPECT_EQ(low.code, 0);
    EXPECT_NEAR(low.metar.GetQNH(true), 1016.9, 0.05);

    const Decoded high = DecodeReport(L"KJFK 061251Z 27010KT 10SM CLR 20/10 A3900");
    EXPECT_EQ(high.code, 9);
    EXPECT_DOUBLE_EQ(high.metar.GetQNH(true), 1013.0);
}

TEST(MetarDecoder, ChecksHectopascalPressureRangeLikeInches)
{
    platform::ScopedClock clock(kNow);
    const Decoded garbled = DecodeReport(L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q0000");
    EXPECT_EQ(garbled.code, 9);
    EXPECT_DOUBLE_EQ(garbled.metar.GetQNH(true), 1013.0);

    const Decoded tooHigh = DecodeReport(L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q1350");
    EXPECT_EQ(tooHigh.code, 9);
    EXPECT_DOUBLE_EQ(tooHigh.metar.GetQNH(true), 1013.0);

    const Decoded deepLow = DecodeReport(L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q0912");
    EXPECT_EQ(deepLow.code, 0);
    EXPECT_DOUBLE_EQ(deepLow.metar.GetQNH(true), 912.0);
}

TEST(MetarDecoder, StopsWhenTooLittleIsLeftAfterVisibility)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"EDDF 061250Z 27010KT 9999");
    EXPECT_EQ(d.code, 1);
    EXPECT_EQ(d.metar.GetTimeGroup(), L"061250");
    EXPECT_EQ(d.metar.GetWind().speed, 10.0);
}

TEST(MetarDecoder, TakesSixLetterWeatherGroupWithItsBlank)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"EDDF 061250Z 27010KT 9999 SHRASN BR BKN010 12/08 Q1015");
    EXPECT_EQ(d.code, 0);
    EXPECT_EQ(d.metar.GetWeather(), L"SHRASN BR ");
    ASSERT_EQ(d.metar.GetCloudLayers().size(), 1u);
    ExpectLayer(d.metar.GetCloudLayers()[0], 1000, 7, CCloudLayer::kTypePlain, 1000);
    EXPECT_EQ(d.metar.GetTemperature(), 12);
    EXPECT_EQ(d.metar.GetDewPoint(), 8);
    EXPECT_DOUBLE_EQ(d.metar.GetQNH(true), 1015.0);

    const Decoded last = DecodeReport(L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q1015 +TSRAGS");
    EXPECT_EQ(last.code, 0);
}

TEST(MetarDecoder, RejectsShortTextAndMissingWind)
{
    platform::ScopedClock clock(kNow);
    CMetar shortText(L"EDDF 0612");
    shortText.SetCloudLayers({CCloudLayer(1000, 4, 0)});
    EXPECT_EQ(shortText.Decode(), 4);
    EXPECT_TRUE(shortText.GetCloudLayers().empty());
    EXPECT_TRUE(shortText.IsDecoded());

    const Decoded corrected = DecodeReport(L"EDDF 061250Z COR 27010KT 9999 FEW020 12/08 Q1015");
    EXPECT_EQ(corrected.code, 5);
    EXPECT_EQ(corrected.metar.GetTimeGroup(), L"061250");

    EXPECT_EQ(DecodeReport(L"EDDF 061250Z NIL").code, 5);
}

TEST(MetarDecoder, SeparatesRunwayRangeFromRunwayStateAfterPressure)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"EDDF 061250Z 27010KT 9999 R25/P1500N FEW020 20/10 Q1020 R25/290195");
    EXPECT_EQ(d.code, 0);
    EXPECT_EQ(d.metar.GetRVR(), L"R25/P1500N ");
    EXPECT_EQ(d.metar.GetRunwayAfterPressure(), L"R25/290195 ");
}

TEST(MetarDecoder, DecodesReportThatStartsWithItsWind)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"27010KT 9999 FEW020 20/10 Q1020");
    EXPECT_EQ(d.code, 0);
    EXPECT_EQ(d.metar.GetTimeGroup(), L"000000");
    EXPECT_EQ(d.metar.GetWind().direction, 270.0);
    EXPECT_EQ(d.metar.GetTemperature(), 20);
}

TEST(MetarDecoder, TakesStationFromReportWhenRecordHasNone)
{
    platform::ScopedClock clock(kNow);
    CMetar metar;
    metar.SetRaw(L"LOWI 061250Z AUTO RTD 27010KT 9999 FEW020 20/10 Q1020");
    EXPECT_EQ(metar.Decode(), 0);
    EXPECT_EQ(metar.GetICAOString(), L"LOWI");
    EXPECT_TRUE(metar.IsAUTO());
    EXPECT_EQ(metar.GetWind().speed, 10.0);

    // The flags are only ever set: a later report without them leaves them on.
    metar.SetRaw(L"LOWI 061320Z 27010KT 9999 FEW020 20/10 Q1020");
    EXPECT_EQ(metar.Decode(), 0);
    EXPECT_TRUE(metar.IsAUTO());
    EXPECT_EQ(metar.GetTimeGroup(), L"061320");
}

TEST(MetarDecoder, DecodingTwiceGivesTheSameRecord)
{
    platform::ScopedClock clock(kNow);
    CMetar metar(L"EDDF 061250Z 27015G25KT 9999 R25/P1500N -RA NSC BKN020CB 12/08 Q1015 R25/290195");
    const int first = metar.Decode();
    const std::vector<CCloudLayer> layers = metar.GetCloudLayers();
    const std::wstring weather = metar.GetWeather();
    const std::wstring rvr = metar.GetRVR();
    EXPECT_EQ(metar.Decode(), first);
    EXPECT_EQ(metar.GetCloudLayers().size(), layers.size());
    EXPECT_EQ(layers.size(), 2u);
    EXPECT_EQ(metar.GetWeather(), weather);
    EXPECT_EQ(metar.GetRVR(), rvr);
    EXPECT_EQ(metar.GetRunwayAfterPressure(), L"R25/290195 ");
}

TEST(MetarDecoder, AcceptsVisibilityOnlyAtTheFront)
{
    platform::ScopedClock clock(kNow);
    // Without a visibility group the "2SM" of the remarks must not be taken, nor cut the temperature.
    const Decoded d = DecodeReport(L"KREO 220252Z AUTO 23010G20KT 19/02 A2962 RMK AO1 VIS 2SM");
    EXPECT_EQ(d.code, 6);
    EXPECT_EQ(d.metar.GetVisibility(), 9999);
    EXPECT_EQ(d.metar.GetTemperature(), 19);
    EXPECT_EQ(d.metar.GetDewPoint(), 2);
    EXPECT_NEAR(d.metar.GetQNH(true), 1003.06, 0.01);

    const Decoded kilometres = DecodeReport(L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q1015 RMK 5KM");
    EXPECT_EQ(kilometres.code, 0);
    EXPECT_EQ(kilometres.metar.GetVisibility(), 9999);
    EXPECT_EQ(DecodeReport(L"ZBAA 061250Z 27010KT 5KM FEW020 12/08 Q1015").metar.GetVisibility(), 5000);
}

TEST(MetarDecoder, ReadsLessThanAQuarterMileAsAQuarterMile)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"PAIM 221855Z AUTO 00000KT M1/4SM FG VV003 M03/M03 A2986 RMK AO2 SLP132");
    EXPECT_EQ(d.code, 0);
    EXPECT_EQ(d.metar.GetVisibility(), 402);
    EXPECT_EQ(d.metar.GetWeather(), L"FG ");
    ASSERT_EQ(d.metar.GetCloudLayers().size(), 1u);
    EXPECT_EQ(d.metar.GetCloudLayers()[0].GetCoverage(), 8);
    EXPECT_EQ(d.metar.GetTemperature(), -3);
    EXPECT_NEAR(d.metar.GetQNH(true), 1011.19, 0.01);

    EXPECT_EQ(DecodeReport(L"KPOV 262116Z AUTO 06003KT M1/16SM FG VV000 23/11 A3025").metar.GetVisibility(), 100);
}

TEST(MetarDecoder, RefusesFractionWithZeroDenominator)
{
    platform::ScopedClock clock(kNow);
    const Decoded d = DecodeReport(L"KJFK 061251Z 27010KT 1/0SM BR OVC005 M05/M07 A2992");
    EXPECT_EQ(d.code, 6);
    EXPECT_EQ(d.metar.GetVisibility(), 9999);
    EXPECT_EQ(d.metar.GetWeather(), L"BR ");
    EXPECT_EQ(d.metar.GetCloudLayers().size(), 1u);
    EXPECT_EQ(DecodeReport(L"KJFK 061251Z 27010KT 2 0/0SM BR OVC005 M05/M07 A2992").metar.GetVisibility(), 9999);
}

TEST(MetarDecoder, DecodesOnlyTheFirstThousandCharacters)
{
    platform::ScopedClock clock(kNow);
    std::wstring raw = L"EDDF 061250Z 27010KT 9999 ";
    for (int i = 0; i < 200; ++i)
        raw += L"FEW020 ";
    raw += L"12/08 Q1015";
    const Decoded d = DecodeReport(raw);
    // 974 characters remain after the visibility: 139 whole cloud groups, then the text ends.
    EXPECT_EQ(d.metar.GetCloudLayers().size(), 139u);
    EXPECT_EQ(d.code, 9);
    EXPECT_EQ(d.metar.GetTemperature(), 13);
}
