// Decodes METAR reports, one per line, from the files named or from standard input, and prints each as one
// JSON line. A file of the aviation weather center's CSV (a header line starting "raw_text,") contributes the
// raw_text column of its rows; lines that hold no report are skipped.
//     metar-dump ../shared/data/metar/awc-2022-10-22T1912Z.csv
//     echo 'EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG' | metar-dump

#include "platform/locale.h"
#include "tools/common/cloudsjson.h"
#include "tools/common/inputlines.h"
#include "tools/common/jsonline.h"
#include "tools/common/weathercentercsv.h"
#include "weather/metar.h"

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

using aviation::weather::CMetar;

namespace {

void PrintReport(const std::wstring& report)
{
    CMetar metar(report);
    const int code = metar.Decode();
    // A missing wind is printed as null, never as a calm.
    const double none = std::numeric_limits<double>::quiet_NaN();
    const aviation::weather::CWind wind
        = metar.HasWind() ? metar.GetWind() : aviation::weather::CWind{none, none, none};
    const std::string json = tools::JsonLine()
                                 .Add("raw", metar.GetRaw())
                                 .Add("code", code)
                                 .Add("error", metar.GetErrorTexts(code))
                                 .Add("icao", metar.GetICAOString())
                                 .Add("time", metar.GetTimeGroup())
                                 .Add("wind_dir", wind.direction)
                                 .Add("wind_speed", wind.speed)
                                 .Add("wind_gust", wind.gust)
                                 .Add("var_from", metar.GetVariableWindFrom())
                                 .Add("var_to", metar.GetVariableWindTo())
                                 .Add("visibility", metar.GetVisibility())
                                 .Add("rvr", metar.GetRVR())
                                 .Add("weather", metar.GetWeather())
                                 .Add("intensity", static_cast<int>(metar.GetWeatherIntensity()))
                                 .Add("cavok", metar.IsCAVOK())
                                 .Add("auto", metar.IsAUTO())
                                 .Add("nsc", metar.IsNSC())
                                 .AddJson("clouds", tools::CloudsJson(metar.GetCloudLayers(), true))
                                 .Add("temperature", metar.GetTemperature())
                                 .Add("dewpoint", metar.GetDewPoint())
                                 .Add("temperature_msl", metar.GetTemperatureMSL())
                                 .Add("dewpoint_msl", metar.GetDewPointMSL())
                                 .Add("qnh", metar.GetQNH(true))
                                 .ToString();
    std::printf("%s\n", json.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    platform::UseCLocale();
    const std::vector<std::string> paths(argv + 1, argv + argc);
    const bool allRead = tools::ForEachInputText(paths, [](const std::string& text) {
        for (const std::wstring& report : tools::MetarReports(text))
            PrintReport(report);
    });
    return allRead ? 0 : 1;
}
