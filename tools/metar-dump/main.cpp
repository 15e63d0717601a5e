// Decodes METAR reports, one per line, from the files named or from standard input, and prints each as one
// JSON line. A file of the aviation weather center's CSV (a header line starting "raw_text,") contributes the
// raw_text column of its rows; lines that hold no report are skipped.
//     metar-dump ../shared/data/metar/awc-2022-10-22T1912Z.csv
//     echo 'EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG' | metar-dump

#include "platform/locale.h"
#include "tools/common/inputlines.h"
#include "tools/common/jsonline.h"
#include "weather/metar.h"
#include "weather/textconversion.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

using aviation::weather::CCloudLayer;
using aviation::weather::CMetar;

namespace {

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The first field of a CSV row; a quoted field may hold commas and doubled quotes.
std::string FirstCsvField(const std::string& line)
{
    if (line.empty() || line[0] != '"')
        return line.substr(0, line.find(','));
    std::string field;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            field.push_back(line[i]);
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
            field.push_back('"');
            ++i;
        } else {
            break;
        }
    }
    return field;
}

bool IsBlankLine(const std::string& line)
{
    return line.find_first_not_of(" \t\r\n\f\v") == std::string::npos;
}

// The reports of one input: every non-blank line, a row of the weather center's CSV counting as its first
// column (raw_text). In a CSV file the status lines before the header and the header itself are skipped.
std::vector<std::string> ReportsOf(const std::string& text)
{
    const std::vector<std::string> lines = SplitLines(text);
    const auto isHeader = [](const std::string& line) { return line.rfind("raw_text,", 0) == 0; };
    const auto header = std::find_if(lines.begin(), lines.end(), isHeader);
    const bool csv = header != lines.end();
    std::vector<std::string> reports;
    for (auto line = csv ? header + 1 : lines.begin(); line != lines.end(); ++line) {
        const bool row = line->find(',') != std::string::npos;
        if (isHeader(*line) || (csv && !row))
            continue;
        const std::string report = row ? FirstCsvField(*line) : *line;
        if (!IsBlankLine(report))
            reports.push_back(report);
    }
    return reports;
}

std::string CloudsJson(const std::vector<CCloudLayer>& layers)
{
    std::string json = "[";
    for (const CCloudLayer& layer : layers) {
        if (json.size() > 1)
            json += ",";
        json += tools::JsonLine()
                    .Add("base", layer.GetBase())
                    .Add("oktas", layer.GetCoverage())
                    .Add("type", static_cast<int>(layer.GetType()))
                    .Add("base_msl", layer.GetBaseMSL())
                    .ToString();
    }
    return json + "]";
}

void PrintReport(const std::string& line)
{
    CMetar metar(CharToWString(line.c_str()));
    const int code = metar.Decode();
    const aviation::weather::CWind wind = metar.GetWind();
    const std::string json = tools::JsonLine()
                                 .Add("raw", metar.GetRaw())
                                 .Add("code", code)
                                 .Add("error", CMetar::GetErrorText(code))
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
                                 .AddJson("clouds", CloudsJson(metar.GetCloudLayers()))
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
    std::vector<std::string> paths(argv + 1, argv + argc);
    if (paths.empty())
        paths.emplace_back();
    bool allRead = true;
    for (const std::string& path : paths) {
        std::string text;
        if (!tools::ReadInput(path, text)) {
            allRead = false;
            continue;
        }
        for (const std::string& report : ReportsOf(text))
            PrintReport(report);
    }
    return allRead ? 0 : 1;
}
