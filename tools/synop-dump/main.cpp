// Cuts SYNOP text (reports ended by "=", line breaks anywhere, as in GTS bulletins) into reports the way the
// SYNOP store does, completes each from the embedded WMO station list, decodes it and prints it as one JSON
// line with the METAR line it converts into and that line's METAR decode code.
//     synop-dump ../shared/data/synop/gts_data__WX.00
//     printf 'AAXX 01124 10384 32595 81204 10123 21012 30132 40015 82530=' | synop-dump

#include "platform/locale.h"
#include "tools/common/cloudsjson.h"
#include "tools/common/inputlines.h"
#include "tools/common/jsonline.h"
#include "weather/metar.h"
#include "weather/resourcetextstore.h"
#include "weather/synop.h"
#include "weather/synopmanager.h"
#include "weather/textconversion.h"
#include "weather/weatherstations.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using aviation::weather::CMetar;
using aviation::weather::CSynop;
using aviation::weather::CSynopManager;
using aviation::weather::CWeatherStations;

namespace {

// The stored single-precision pressure printed to its tenths, as the report gave it.
double Hectopascal(float pressure)
{
    return std::round(static_cast<double>(pressure) * 10.0) / 10.0;
}

void PrintReport(const std::wstring& raw, CWeatherStations& stations)
{
    CSynop synop(raw);
    // As the SYNOP store does: a ship keeps the position of its header, other reports take the listed one.
    if (synop.GetPosition() == aviation::Position(0.0, 0.0))
        stations.CompleteFromWxStation(synop);
    const int code = synop.Decode();
    const std::wstring error = synop.GetDecodeErrorText();

    CMetar metar;
    const int metarCode = synop.ToMetar(metar);

    const aviation::weather::CWind wind = synop.GetWind();
    const std::string json = tools::JsonLine()
                                 .Add("raw", raw)
                                 .Add("code", code)
                                 .Add("error", error.empty() ? CSynop::GetErrorText(code) : error)
                                 .Add("station", std::wstring(synop.GetICAO()))
                                 .Add("lat", synop.GetPosition().GetLatitude())
                                 .Add("lon", synop.GetPosition().GetLongitude())
                                 .Add("wind_dir", wind.direction)
                                 .Add("wind_speed", wind.speed)
                                 .Add("gust", wind.gust)
                                 .Add("visibility", synop.GetVisibility())
                                 .AddJson("clouds", tools::CloudsJson(synop.GetCloudLayers(), false))
                                 .Add("temperature", synop.GetTemperature())
                                 .Add("dewpoint", synop.GetDewPoint())
                                 .Add("pressure_station", Hectopascal(synop.GetStationPressure()))
                                 .Add("pressure_sea", Hectopascal(synop.GetSeaLevelPressure()))
                                 .Add("metar", metar.GetRaw())
                                 .Add("metar_code", metarCode)
                                 .ToString();
    std::printf("%s\n", json.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    platform::UseCLocale();
    CWeatherStations stations;
    if (ResourceTextStore::LoadStations())
        stations.InitWxStations(ResourceTextStore::GetStationText().toStdWString());

    const std::vector<std::string> paths(argv + 1, argv + argc);
    const bool allRead = tools::ForEachInputText(paths, [&stations](const std::string& text) {
        for (const std::wstring& report : CSynopManager::SplitReports(CharToWString(text.c_str())))
            PrintReport(report, stations);
    });
    ResourceTextStore::Release();
    return allRead ? 0 : 1;
}
