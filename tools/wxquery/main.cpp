// Loads the embedded station lists and the given METAR, SYNOP and grid texts into the weather model and asks
// it for the METAR at one position or at every point of a world lattice, one JSON line per position:
//     wxquery --metar awc-2022-10-22T1912Z.csv --synop gts_data__WX.00 --grid world-grid.txt --at 50.03 8.57
//     wxquery --metar metars.txt --lattice 2
// A METAR file is one report per line, or the aviation weather center's CSV (its raw_text column). Options
// naming files may be repeated; their texts are added to the stores in order.

#include "platform/locale.h"
#include "tools/common/inputlines.h"
#include "tools/common/jsonline.h"
#include "tools/common/weathercentercsv.h"
#include "weather/resourcetextstore.h"
#include "weather/textconversion.h"
#include "weather/weathermanager.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CWeatherManager;

namespace {

// The limits weather generation uses when it fills a simulator station.
constexpr double kMetarLimitNm = 30.0;
constexpr double kSynopLimitNm = 30.0;

struct Options
{
    std::vector<std::string> metarFiles;
    std::vector<std::string> synopFiles;
    std::vector<std::string> gridFiles;
    bool single = false;
    double latitude = 0.0;
    double longitude = 0.0;
    double step = 0.0;
};

void PrintUsage()
{
    std::fprintf(stderr,
                 "usage: wxquery [--metar FILE] [--synop FILE] [--grid FILE] (--at LAT LON | --lattice "
                 "STEP_DEGREES)\n");
}

bool ReadNumber(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    bool haveMode = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const int left = argc - i - 1;
        if ((option == "--metar" || option == "--synop" || option == "--grid") && left >= 1) {
            std::vector<std::string>& files = option == "--metar" ? options.metarFiles
                : option == "--synop"                             ? options.synopFiles
                                                                  : options.gridFiles;
            files.push_back(argv[++i]);
        } else if (option == "--at" && left >= 2) {
            if (!ReadNumber(argv[i + 1], options.latitude) || !ReadNumber(argv[i + 2], options.longitude))
                return false;
            options.single = true;
            haveMode = true;
            i += 2;
        } else if (option == "--lattice" && left >= 1) {
            if (!ReadNumber(argv[++i], options.step) || options.step < 0.01)
                return false;
            options.single = false;
            haveMode = true;
        } else {
            return false;
        }
    }
    return haveMode;
}

bool LoadFiles(const std::vector<std::string>& paths, std::vector<std::string>& texts)
{
    for (const std::string& path : paths) {
        std::string text;
        if (!tools::ReadInput(path, text))
            return false;
        texts.push_back(text);
    }
    return true;
}

bool LoadWeather(const Options& options, CWeatherManager& manager)
{
    ResourceTextStore::LoadAirports();
    ResourceTextStore::LoadStations();
    manager.InitAirports(ResourceTextStore::GetAirportText().toStdWString());
    manager.InitWxStations(ResourceTextStore::GetStationText().toStdWString());

    std::vector<std::string> metars, synops, grids;
    if (!LoadFiles(options.metarFiles, metars) || !LoadFiles(options.synopFiles, synops)
        || !LoadFiles(options.gridFiles, grids))
        return false;
    for (size_t i = 0; i < metars.size(); ++i)
        manager.InitMetar(tools::MetarStoreText(tools::MetarReports(metars[i])), i == 0);
    for (size_t i = 0; i < synops.size(); ++i)
        manager.InitSynop(CharToWString(synops[i].c_str()), i == 0);
    for (size_t i = 0; i < grids.size(); ++i)
        manager.InitWindData(CharToWString(grids[i].c_str()), i == 0);
    std::fprintf(stderr, "wxquery: %d METARs, %d SYNOPs loaded\n", manager.CMetarManager::GetCount(),
                 manager.CSynopManager::GetCount());
    return true;
}

void PrintAnswer(CWeatherManager& manager, const Position& position)
{
    CStation station;
    manager.MakeStation(station, &position, L"", L"XWXQ");
    CMetar metar;
    metar.SetStation(station);
    const int status = manager.GetMetarForPosition(position, metar, kMetarLimitNm, kSynopLimitNm);

    CMetar decoded(metar);
    const int code = decoded.Decode();
    std::printf("%s\n",
                tools::JsonLine()
                    .Add("lat", position.GetLatitude())
                    .Add("lon", position.GetLongitude())
                    .Add("status", status)
                    .Add("metar", decoded.GetRaw())
                    .Add("code", code)
                    .Add("wind_dir", decoded.GetWind().direction)
                    .Add("wind_speed", decoded.GetWind().speed)
                    .Add("visibility", decoded.GetVisibility())
                    .Add("temperature", decoded.GetTemperature())
                    .Add("dewpoint", decoded.GetDewPoint())
                    .Add("qnh", decoded.GetQNH(true))
                    .ToString()
                    .c_str());
}

} // namespace

int main(int argc, char** argv)
{
    platform::UseCLocale();
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        PrintUsage();
        return 2;
    }
    CWeatherManager manager;
    if (!LoadWeather(options, manager))
        return 1;

    if (options.single) {
        PrintAnswer(manager, Position(options.latitude, options.longitude));
        return 0;
    }
    const int rows = static_cast<int>(std::floor(180.0 / options.step)) + 1;
    const int columns = static_cast<int>(std::ceil(360.0 / options.step - 1e-9));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            PrintAnswer(manager, Position(-90.0 + row * options.step, -180.0 + column * options.step));
    }
    return 0;
}
