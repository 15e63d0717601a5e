// The options' minimum visibility, in metres, raises what every generation mode sends: the FSUIPC block, the
// SimConnect extended METAR and the X-Plane record.
#include "generation/stationweather.h"
#include "generation/weatherconverter.h"
#include "weatherrecordtest.h"

using namespace recordtest;

using MinimumVisibility = WeatherRecordTest;

TEST_F(MinimumVisibility, RaisesFogAndMistInEveryModeAndLeavesTheRestAlone)
{
    struct Case
    {
        const wchar_t* report;
        int minimumMetres;
        std::uint16_t fsuipcRange; // units of 15.92 m, snapped
        const char* simConnectGroup;
        float xplaneMetres;
    };
    // 9999 is sent as the 50 km of its own setting.
    const Case cases[] = {
        {L"0400 FG", 0, 25, "0398M&B", 400.0f},       {L"0400 FG", 1500, 94, "1496M&B", 1500.0f},
        {L"0400 FG", 10000, 994, "16KM&B", 10000.0f}, {L"3000 BR", 0, 188, "2993M&B", 3000.0f},
        {L"3000 BR", 1500, 188, "2993M&B", 3000.0f},  {L"3000 BR", 10000, 994, "16KM&B", 10000.0f},
        {L"9999", 0, 3977, "63KM&B", 50000.0f},       {L"9999", 1500, 3977, "63KM&B", 50000.0f},
        {L"9999", 10000, 3977, "63KM&B", 50000.0f},
    };
    CSettings::SetFSVersion(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromWCharArray(c.report).toStdString() + " " + std::to_string(c.minimumMetres));
        CSettings::SetMinVisibility(c.minimumMetres);
        const auto set = Set(Metar(std::wstring(L"EDDF 061250Z 27005KT ") + c.report + L" FEW070 08/07 Q1015"));
        const CFSWeatherStation record = CStationWeather::MakeRecord(set, 0.0f);
        EXPECT_EQ(record.block.Vis.Range, c.fsuipcRange);
        EXPECT_TRUE(record.text.contains(QLatin1Char(' ') + QLatin1String(c.simConnectGroup)))
            << record.text.toStdString();
        aviation::structs::CAircraft aircraft;
        EXPECT_EQ(WeatherConverter::MakeXPlaneWeather(set, aircraft).Vis, c.xplaneMetres);
    }
}
