#include "weather/metar.h"

#include "platform/clock.h"
#include "tests/support/calendar.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <sstream>

using aviation::weather::CCloudLayer;
using aviation::weather::CMetar;

namespace {

// Tuesday, 8 December 2026, 12:00 UTC.
constexpr std::int64_t kNow = 1796731200;

// Every decoded field on one line, so that a table row states the whole record a report gives:
// "code time wind dir/speed/gust var from/to vis V [rvr 'R'] wx intensity'text' clouds base/oktas/type/msl ...
//  temp T/D qnh Q [after 'R'] [CAVOK] [AUTO] [NSC]".
std::wstring Summary(const CMetar& metar, int code)
{
    std::wostringstream out;
    out << code << L" " << metar.GetTimeGroup() << L" wind ";
    if (metar.HasWind())
        out << metar.GetWind().direction << L"/" << metar.GetWind().speed << L"/" << metar.GetWind().gust;
    else
        out << L"none";
    out << L" var " << metar.GetVariableWindFrom() << L"/" << metar.GetVariableWindTo() << L" vis "
        << metar.GetVisibility();
    if (!metar.GetRVR().empty())
        out << L" rvr '" << metar.GetRVR() << L"'";
    out << L" wx " << int(metar.GetWeatherIntensity()) << L"'" << metar.GetWeather() << L"' clouds";
    for (const CCloudLayer& layer : metar.GetCloudLayers())
        out << L" " << layer.GetBase() << L"/" << layer.GetCoverage() << L"/" << int(layer.GetType()) << L"/"
            << layer.GetBaseMSL();
    out << L" temp " << metar.GetTemperature() << L"/" << metar.GetDewPoint() << L" qnh " << metar.GetQNH(true);
    if (!metar.GetRunwayAfterPressure().empty())
        out << L" after '" << metar.GetRunwayAfterPressure() << L"'";
    out << (metar.IsCAVOK() ? L" CAVOK" : L"") << (metar.IsAUTO() ? L" AUTO" : L"") << (metar.IsNSC() ? L" NSC" : L"");
    return out.str();
}

std::wstring DecodedSummary(const std::wstring& raw, int elevation = 364)
{
    CMetar metar(raw);
    metar.SetElevation(elevation);
    const int code = metar.Decode();
    return Summary(metar, code);
}

} // namespace

TEST(Metar, NamesEveryErrorCode)
{
    const wchar_t* const texts[]
        = {L"No Metar Error",       L"Unknow Metar Error", L"Regex Metar Error", L"Out Of Range",
           L"Error, No Metar Raw",  L"Wind Metar Error",   L"VIS Metar Error",   L"Cloud Metar Error",
           L"Temp/Dew Metar Error", L"QNH Metar Error",    L"Unknow Metar Error"};
    for (int code = 0; code <= 10; ++code)
        EXPECT_EQ(CMetar::GetErrorText(code), texts[code]) << code;
}

TEST(Metar, DescribesStationAloneOrTheDecodedReport)
{
    platform::ScopedClock clock(kNow);
    CMetar station;
    station.SetName(L"Frankfurt");
    station.SetCountry(L"Germany");
    station.SetPosition(aviation::Position(50.0333, 8.5706));
    station.SetElevation(364);
    EXPECT_EQ(station.GetInfoText(0),
              L"ICAO: \nName: Frankfurt\nCountry: Germany\n"
              L"Position: 50.03\u00b0, 8.57\u00b0\nElevation: 364ft\n");

    CMetar gusty(L"EDDF 061250Z 27015G25KT 240V300 9999 R25/P1500N -RA BKN020CB 12/08 Q1015");
    gusty.SetElevation(364);
    ASSERT_EQ(gusty.Decode(), 0);
    EXPECT_EQ(gusty.GetInfoText(0),
              L"ICAO: EDDF\nName: unknow\nCountry: unknow\nPosition: 0.00\u00b0, 0.00\u00b0\nElevation: 364ft\n"
              L"Time: 061250\nWind: 270\u00b0/15kt Gust 25kt\nVisibility: 9999m\n"
              L"RVR: R25/P1500N \nWeather phenomena: RA \nClouds: Broken at 2000ft\n"
              L"Temperature/Dewpoint: 12\u00b0/8\u00b0\nQNH: 1015 hpa/29.97 Inch\n");

    CMetar calm(L"EDDF 061250Z 00000KT 0800 FG VV001 M01/M01 Q1030");
    ASSERT_EQ(calm.Decode(), 0);
    calm.SetDistance(12.34);
    const std::wstring text = calm.GetInfoText(1200);
    for (const wchar_t* line : {L"Wind: 000\u00b0/0kt\n", L"Visibility: 1200m\n", L"Clouds: Overcast at 0ft\n",
                                L"Temperature/Dewpoint: -1\u00b0/-1\u00b0\n"})
        EXPECT_NE(text.find(line), std::wstring::npos) << line;
    EXPECT_EQ(text.find(L"RVR"), std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 16), L"Distance: 12.3NM");
}

TEST(Metar, CopiesKeepDecodedValuesAndAssignmentKeepsTargetTime)
{
    platform::ScopedClock clock(kNow);
    CMetar decoded(L"EDDF 061250Z 27015KT 9999 FEW020 SCT040 12/08 Q1015");
    const int code = decoded.Decode();
    const CMetar copy(decoded);
    EXPECT_TRUE(copy.IsDecoded());
    EXPECT_EQ(Summary(copy, code), Summary(decoded, code));
    EXPECT_EQ(copy.GetTime(), decoded.GetTime());

    CMetar target(L"KJFK");
    target.SetTime(1000);
    target = decoded;
    EXPECT_EQ(target.GetTime(), 1000);
    EXPECT_EQ(target.GetICAOString(), L"EDDF");
    EXPECT_EQ(Summary(target, code), Summary(decoded, code));
}

// The reports and results the decoder is built to, with the mended cases (six-letter weather group, Q range,
// visibility only at the front, corrected reports, a report without wind) as they now decode. Elevation 364 ft.
TEST(MetarDecoder, DecodesReferenceReports)
{
    platform::ScopedClock clock(kNow);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG",
         L"0 061250 wind 270/15/25 var 240/300 vis 9999 wx 1'RA ' clouds 2000/7/10/2364 temp 12/8 qnh 1015"},
        {L"KJFK 061251Z 27010KT 1 1/2SM BR OVC005 M05/M07 A2992",
         L"0 061251 wind 270/10/0 var -1/-1 vis 2413 wx 2'BR ' clouds 500/8/0/864 temp -5/-7 qnh 1013.22"},
        {L"KJFK 061251Z 27010KT 10SM CLR 20/10 A2992",
         L"0 061251 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds temp 20/10 qnh 1013.22"},
        {L"KJFK 061251Z 27010KT 15SM CLR 20/10 A2992",
         L"0 061251 wind 270/10/0 var -1/-1 vis 24135 wx 2'' clouds temp 20/10 qnh 1013.22"},
        {L"UUEE 061230Z 18005MPS 9999 SCT030 05/01 Q1010",
         L"0 061230 wind 180/9.71922/0 var -1/-1 vis 9999 wx 2'' clouds 3000/4/0/3364 temp 5/1 qnh 1010"},
        {L"EDDF 061250Z VRB03KT CAVOK 20/10 Q1020",
         L"0 061250 wind 0/3/0 var -1/-1 vis 9999 wx 2'' clouds temp 20/10 qnh 1020 CAVOK"},
        {L"EDDF 061250Z 27010KT 9999 NSC 20/10 Q1020",
         L"0 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'NSC' clouds 5000/3/0/2364 temp 20/10 qnh 1020 NSC"},
        {L"EDDF 061250Z 27010KT //// // ////// 20/10 Q1020",
         L"6 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds temp 20/10 qnh 1020"},
        {L"EDDF 061250Z 27010KT 9999 // ////// 20/10 Q1020",
         L"7 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds temp 20/10 qnh 1020"},
        {L"EDDF 061250Z 27010KT 9999 FEW020 M02/ Q1020",
         L"0 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds 2000/2/0/2364 temp -2/-5 qnh 1020"},
        {L"KJFK 061251Z 27010KT 10SM CLR 20/10 A0050",
         L"0 061251 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds temp 20/10 qnh 1016.93"},
        {L"KJFK 061251Z 27010KT 10SM CLR 20/10 A3900",
         L"9 061251 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds temp 20/10 qnh 1013"},
        {L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q0000",
         L"9 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds 2000/2/0/2364 temp 12/8 qnh 1013"},
        {L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q1350",
         L"9 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds 2000/2/0/2364 temp 12/8 qnh 1013"},
        {L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q0912",
         L"0 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds 2000/2/0/2364 temp 12/8 qnh 912"},
        {L"EDDF 061250Z 27010KT 9999", L"1 061250 wind 270/10/0 var -1/-1 vis 9999 wx 0'' clouds temp 13/5 qnh 1013"},
        {L"EDDF 061250Z 27010KT 9999 SHRASN BR BKN010 12/08 Q1015",
         L"0 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'SHRASN BR ' clouds 1000/7/0/1364 temp 12/8 qnh 1015"},
        {L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q1015 +TSRAGS",
         L"0 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds 2000/2/0/2364 temp 12/8 qnh 1015"},
        {L"EDDF 061250Z COR 27010KT 9999 FEW020 12/08 Q1015",
         L"0 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds 2000/2/0/2364 temp 12/8 qnh 1015"},
        {L"EDDF 061250Z NIL", L"1 061250 wind none var -1/-1 vis 9999 wx 0'' clouds temp 13/5 qnh 1013"},
        {L"EDDF 061250Z 27010KT 9999 R25/P1500N FEW020 20/10 Q1020 R25/290195",
         L"0 061250 wind 270/10/0 var -1/-1 vis 9999 rvr 'R25/P1500N ' wx 2'' clouds 2000/2/0/2364 temp 20/10 qnh "
         L"1020 after 'R25/290195 '"},
        {L"27010KT 9999 FEW020 20/10 Q1020",
         L"0 000000 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds 2000/2/0/2364 temp 20/10 qnh 1020"},
        {L"LOWI 061250Z AUTO RTD 27010KT 9999 FEW020 20/10 Q1020",
         L"0 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds 2000/2/0/2364 temp 20/10 qnh 1020 AUTO"},
        // A visibility in the remarks is neither taken nor allowed to cut the groups in front of it.
        {L"KREO 220252Z AUTO 23010G20KT 19/02 A2962 RMK AO1 VIS 2SM",
         L"6 220252 wind 230/10/20 var -1/-1 vis 9999 wx 2'' clouds temp 19/2 qnh 1003.06 AUTO"},
        {L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q1015 RMK 5KM",
         L"0 061250 wind 270/10/0 var -1/-1 vis 9999 wx 2'' clouds 2000/2/0/2364 temp 12/8 qnh 1015"},
        {L"ZBAA 061250Z 27010KT 5KM FEW020 12/08 Q1015",
         L"0 061250 wind 270/10/0 var -1/-1 vis 5000 wx 2'' clouds 2000/2/0/2364 temp 12/8 qnh 1015"},
        {L"PAIM 221855Z AUTO 00000KT M1/4SM FG VV003 M03/M03 A2986 RMK AO2 SLP132",
         L"0 221855 wind 0/0/0 var -1/-1 vis 402 wx 2'FG ' clouds 0/8/0/364 temp -3/-3 qnh 1011.19 AUTO"},
        {L"KPOV 262116Z AUTO 06003KT M1/16SM FG VV000 23/11 A3025",
         L"0 262116 wind 60/3/0 var -1/-1 vis 100 wx 2'FG ' clouds 0/8/0/364 temp 23/11 qnh 1024.4 AUTO"},
        {L"KJFK 061251Z 27010KT 1/0SM BR OVC005 M05/M07 A2992",
         L"6 061251 wind 270/10/0 var -1/-1 vis 9999 wx 2'BR ' clouds 500/8/0/864 temp -5/-7 qnh 1013.22"},
        {L"KJFK 061251Z 27010KT 2 0/0SM BR OVC005 M05/M07 A2992",
         L"6 061251 wind 270/10/0 var -1/-1 vis 9999 wx 2'BR ' clouds 500/8/0/864 temp -5/-7 qnh 1013.22"},
    };
    for (const auto& [raw, expected] : cases)
        EXPECT_EQ(DecodedSummary(raw), expected) << std::string(raw, raw + wcslen(raw));
}

// Real reports of automatic stations and corrected reports: a group the decoder cannot read, or one that carries
// nothing, costs only itself, and the groups after it are read. Elevation 364 ft.
TEST(MetarDecoder, ReadsEveryGroupAroundMissingOrUnreadableOnes)
{
    platform::ScopedClock clock(kNow);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        // Present weather not observable.
        {L"YSNW 231132Z AUTO 18007KT 9999 // SCT004 OVC022 17/17 Q1015",
         L"0 231132 wind 180/7/0 var -1/-1 vis 9999 wx 2'' clouds 400/4/0/764 2200/8/0/2564 temp 17/17 qnh 1015 AUTO"},
        {L"YMAY 262130Z AUTO 00000KT 9999 // OVC003 09/09 Q1021",
         L"0 262130 wind 0/0/0 var -1/-1 vis 9999 wx 2'' clouds 300/8/0/664 temp 9/9 qnh 1021 AUTO"},
        {L"KQFU 262130Z AUTO 31001KT 9999 // CLR 16/15 A3005 RMK A02 TSNO",
         L"0 262130 wind 310/1/0 var -1/-1 vis 9999 wx 2'' clouds temp 16/15 qnh 1017.62 AUTO"},
        {L"YBRM 262130Z AUTO 35005KT 9999 -RA // SCT001 21/21 Q1014",
         L"0 262130 wind 350/5/0 var -1/-1 vis 9999 wx 1'RA ' clouds 100/4/0/464 temp 21/21 qnh 1014 AUTO"},
        // No wind group, or one that cannot be read: code 5, the rest is read.
        {L"KW31 231135Z AUTO 10SM CLR 09/07 A3019 RMK AO1",
         L"5 231135 wind none var -1/-1 vis 9999 wx 2'' clouds temp 9/7 qnh 1022.36 AUTO"},
        {L"PAGN 262111Z AUTO 10SM FEW010 BKN013 BKN090 12/09 A2989 RMK AO2 TSNO $",
         L"5 262111 wind none var -1/-1 vis 9999 wx 2'' clouds 1000/2/0/1364 1300/7/0/1664 9000/7/0/9364 temp 12/9 "
         L"qnh 1012.2 AUTO"},
        {L"MMLM 262040Z 220011KT 10SM SCT015CB SCT100 BKN200 31/22 A2983 RMK SLP102",
         L"5 262040 wind none var -1/-1 vis 9999 wx 2'' clouds 1500/4/10/1864 10000/4/0/10364 20000/7/0/20364 temp "
         L"31/22 qnh 1010.17"},
        {L"KMHR 220245Z E20011KT 10SM BKN250 18/10 A2976",
         L"5 220245 wind none var -1/-1 vis 9999 wx 2'' clouds 25000/7/0/25364 temp 18/10 qnh 1007.8"},
        {L"CWFD 220200Z AUTO ///// ////SM OVC004 M03/M03 A2919",
         L"5 220200 wind none var -1/-1 vis 9999 wx 2'' clouds 400/8/0/764 temp -3/-3 qnh 988.499 AUTO"},
        {L"KCKM 191455Z AUTO RMK A01 PNO",
         L"9 191455 wind none var -1/-1 vis 9999 wx 2'' clouds temp 13/5 qnh 1013 AUTO"},
        {L"KTEB 191451Z A2991 RMK AO2 SLP130 $",
         L"8 191451 wind none var -1/-1 vis 9999 wx 2'' clouds temp 13/5 qnh 1012.88"},
        {L"SBTA 262100Z /////KT 3000 -TSRA FEW008 BKN010 27/22 Q1017",
         L"5 262100 wind none var -1/-1 vis 3000 wx 1'TSRA ' clouds 800/2/0/1164 1000/7/0/1364 temp 27/22 qnh 1017"},
        {L"OPKC 221900Z 04014 9999 SCT030 32/23 Q1013",
         L"5 221900 wind none var -1/-1 vis 9999 wx 2'' clouds 3000/4/0/3364 temp 32/23 qnh 1013"},
        {L"NFTF 262100Z 07004 KT 9999 FEW006 SCT016 BKN120 25/22 Q1017",
         L"5 262100 wind none var -1/-1 vis 9999 wx 2'' clouds 600/2/0/964 1600/4/0/1964 12000/7/0/12364 temp 25/22 "
         L"qnh 1017"},
        {L"K2DP 262131Z AUTO M 10SM BKN026 21/16 A3016 RMK AO2",
         L"5 262131 wind none var -1/-1 vis 9999 wx 2'' clouds 2600/7/0/2964 temp 21/16 qnh 1021.35 AUTO"},
        // Visibility split from its unit or mistyped, cloud groups mistyped, a lone M for a missing value.
        {L"KWDG 221850Z 20020G33KT 10 SM FEW250 31/06 A2952",
         L"0 221850 wind 200/20/33 var -1/-1 vis 9999 wx 2'' clouds 25000/2/0/25364 temp 31/6 qnh 999.675"},
        {L"OEDF 221900Z 34012KT 4000BL SCT030 32/23 Q1013",
         L"0 221900 wind 340/12/0 var -1/-1 vis 4000 wx 2'' clouds 3000/4/0/3364 temp 32/23 qnh 1013"},
        {L"HKJK 221900Z 09012KT 99999 FEW025 24/12 Q1021",
         L"0 221900 wind 90/12/0 var -1/-1 vis 9999 wx 2'' clouds 2500/2/0/2864 temp 24/12 qnh 1021"},
        {L"LIVC 220206Z AUTO 22034G48KT ///// 07/07 Q1022",
         L"0 220206 wind 220/34/48 var -1/-1 vis 9999 wx 2'' clouds temp 7/7 qnh 1022 AUTO"},
        {L"OPNH 262055Z 18008KT 4000M HZ NSC 27/20 Q1007",
         L"0 262055 wind 180/8/0 var -1/-1 vis 4000 wx 2'HZ NSC' clouds 5000/3/0/2364 temp 27/20 qnh 1007 NSC"},
        {L"MROC 221900Z 09012KT 9999 SCT018 F020CB BKN080 30/25 Q1008",
         L"7 221900 wind 90/12/0 var -1/-1 vis 9999 wx 2'' clouds 1800/4/0/2164 8000/7/0/8364 temp 30/25 qnh 1008"},
        {L"VOMM 221900Z 09008KT 6000 FEWO46 28/24 Q1012",
         L"7 221900 wind 90/8/0 var -1/-1 vis 6000 wx 2'' clouds temp 28/24 qnh 1012"},
        {L"K1MW 220155Z AUTO 29003KT 10SM M 15/M12 A2543 RMK AO2",
         L"0 220155 wind 290/3/0 var -1/-1 vis 9999 wx 2'' clouds temp 15/-12 qnh 861.17 AUTO"},
        {L"KLGF 220155Z AUTO 25005KT M M CLR 29/11 A2976 RMK AO2",
         L"6 220155 wind 250/5/0 var -1/-1 vis 9999 wx 2'' clouds temp 29/11 qnh 1007.8 AUTO"},
        {L"KFAF 220155Z AUTO 00000KT 10SM CLR M A3016 RMK AO2",
         L"8 220155 wind 0/0/0 var -1/-1 vis 9999 wx 2'' clouds temp 13/5 qnh 1021.35 AUTO"},
        // Corrected reports, before or after AUTO.
        {L"KTLH 231053Z COR 00000KT 10SM CLR 04/02 A3015",
         L"0 231053 wind 0/0/0 var -1/-1 vis 9999 wx 2'' clouds temp 4/2 qnh 1021.01"},
        {L"KCBM 262108Z COR AUTO 06005KT 10SM BKN045 29/17 A3007 RMK AO2 COR 2112",
         L"0 262108 wind 60/5/0 var -1/-1 vis 9999 wx 2'' clouds 4500/7/0/4864 temp 29/17 qnh 1018.3 AUTO"},
        {L"KCBM 262108Z AUTO COR 06005KT 10SM BKN045 29/17 A3007",
         L"0 262108 wind 60/5/0 var -1/-1 vis 9999 wx 2'' clouds 4500/7/0/4864 temp 29/17 qnh 1018.3 AUTO"},
        {L"CYFS 262100Z CCA 34004KT 5SM -RA OVC009 06/05 A3019 RMK SC8 SLP232",
         L"0 262100 wind 340/4/0 var -1/-1 vis 8045 wx 1'RA ' clouds 900/8/0/1264 temp 6/5 qnh 1022.36"},
        // Temperature without dew point.
        {L"KSEF 231115Z AUTO 35005KT 10SM CLR 17/ A3009",
         L"0 231115 wind 350/5/0 var -1/-1 vis 9999 wx 2'' clouds temp 17/14 qnh 1018.98 AUTO"},
        {L"KPCM 262115Z AUTO 09011G18KT 2SM +RA BKN007 OVC015 24/ A3000 RMK AO2 P0031",
         L"0 262115 wind 90/11/18 var -1/-1 vis 3218 wx 3'RA ' clouds 700/7/0/1064 1500/8/0/1864 temp 24/21 qnh "
         L"1015.93 AUTO"},
        // Minus-zero temperature with a dew point of zero or above; no visibility and no pressure.
        {L"CWRM 231100Z AUTO 32005KT M00/00 RMK AO1",
         L"9 231100 wind 320/5/0 var -1/-1 vis 9999 wx 2'' clouds temp 0/0 qnh 1013 AUTO"},
        {L"CWDK 220200Z AUTO 00000KT M00/01 RMK AO1 7PAST HR 7010 SLP030 P0003 T10020005 50010",
         L"9 220200 wind 0/0/0 var -1/-1 vis 9999 wx 2'' clouds temp 0/1 qnh 1013 AUTO"},
        // Visibility not reported, in miles, and present weather not observable after it.
        {L"CWKP 231137Z AUTO 25017KT ////SM FEW012 BKN020 M11/M13 A3001",
         L"0 231137 wind 250/17/0 var -1/-1 vis 9999 wx 2'' clouds 1200/2/0/1564 2000/7/0/2364 temp -11/-13 qnh "
         L"1016.27 AUTO"},
        {L"CZCP 220239Z AUTO 08013KT ////SM //// OVC007 M07/M08 A2997",
         L"0 220239 wind 80/13/0 var -1/-1 vis 9999 wx 2'' clouds 700/8/0/1064 temp -7/-8 qnh 1014.91 AUTO"},
    };
    for (const auto& [raw, expected] : cases)
        EXPECT_EQ(DecodedSummary(raw), expected) << std::string(raw, raw + wcslen(raw));
}

TEST(MetarDecoder, DatesTheReportAndMeasuresVariableWindThroughNorth)
{
    platform::ScopedClock clock(kNow);
    CMetar metar(L"EDDF 061250Z 36010KT 350V020 9999 FEW020 12/08 Q1015");
    EXPECT_EQ(metar.Decode(), 0);
    EXPECT_EQ(metar.GetTime(), testsupport::LocalSeconds(2026, 12, 6, 12, 50));
    EXPECT_EQ(metar.GetVariableWindRange(), 30);
    EXPECT_EQ(CMetar().GetVariableWindRange(), 0);
}

TEST(MetarDecoder, RejectsShortTextAndEmptiesItsLayers)
{
    CMetar shortText(L"EDDF 0612");
    shortText.SetCloudLayers({CCloudLayer(1000, 4, 0)});
    EXPECT_EQ(shortText.Decode(), 4);
    EXPECT_TRUE(shortText.GetCloudLayers().empty());
    EXPECT_TRUE(shortText.IsDecoded());
}

TEST(MetarDecoder, NewRawKeepsWhatTheNextRunDoesNotReach)
{
    platform::ScopedClock clock(kNow);
    CMetar metar(L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q1015");
    metar.SetElevation(1000);
    ASSERT_EQ(metar.Decode(), 0);
    metar.SetRaw(L"EDDF 061320Z 27010KT 5000 FEW020 Q1020");
    metar.SetRaw(metar.GetRaw());
    EXPECT_EQ(metar.GetVisibility(), 9999);
    EXPECT_EQ(metar.Decode(), 8);
    EXPECT_EQ(metar.GetOriginalRaw(), L"EDDF 061250Z 27010KT 9999 FEW020 12/08 Q1015");
    EXPECT_EQ(metar.GetVisibility(), 5000);
    EXPECT_EQ(metar.GetTemperature(), 12);
    EXPECT_EQ(metar.GetDewPoint(), 8);
    EXPECT_EQ(metar.GetTemperatureMSL(), 14);
    EXPECT_DOUBLE_EQ(metar.GetQNH(true), 1020.0);

    // The station comes from the report when the record has none; the flags are only ever set.
    CMetar automatic;
    automatic.SetRaw(L"LOWI 061250Z AUTO RTD 27010KT 9999 FEW020 20/10 Q1020");
    EXPECT_EQ(automatic.Decode(), 0);
    EXPECT_EQ(automatic.GetICAOString(), L"LOWI");
    automatic.SetRaw(L"LOWI 061320Z 27010KT 9999 FEW020 20/10 Q1020");
    EXPECT_EQ(automatic.Decode(), 0);
    EXPECT_TRUE(automatic.IsAUTO());
}

TEST(MetarDecoder, DecodingTwiceGivesTheSameRecord)
{
    platform::ScopedClock clock(kNow);
    CMetar metar(L"EDDF 061250Z 27015G25KT 9999 R25/P1500N -RA NSC BKN020CB 12/08 Q1015 R25/290195");
    const int first = metar.Decode();
    const std::wstring once = Summary(metar, first);
    EXPECT_EQ(metar.GetCloudLayers().size(), 2u);
    EXPECT_EQ(Summary(metar, metar.Decode()), once);
}

TEST(MetarDecoder, DecodesOnlyTheFirstThousandCharacters)
{
    platform::ScopedClock clock(kNow);
    std::wstring raw = L"EDDF 061250Z 27010KT 9999 ";
    for (int i = 0; i < 200; ++i)
        raw += L"FEW020 ";
    CMetar metar(raw + L"12/08 Q1015");
    // 974 characters remain after the visibility: 139 whole cloud groups, then the text ends.
    EXPECT_EQ(metar.Decode(), 9);
    EXPECT_EQ(metar.GetCloudLayers().size(), 139u);
    EXPECT_EQ(metar.GetTemperature(), 13);
}
