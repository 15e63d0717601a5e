// The steps every weather generation mode takes for one station: the weather the model gives a place (with grid
// downloads while it has none), the SYNOP and grid record that go with a report, the simulator's own ICAO for a
// report and the simulator weather record made of it. Holds nothing of the model across a grid download, so a
// generation started inside the download's event loop finds the stores as they are.
#pragma once

#include "simlink/fsweatherstation.h"
#include "weather/grib.h"
#include "weather/metar.h"
#include "weather/synop.h"
#include "weather/weatherset.h"

#include <QString>

#include <map>
#include <string>
#include <utility>
#include <vector>

class CMainWindowHost;
class CWeatherWorker;

class CStationWeather
{
public:
    CStationWeather(CWeatherWorker& worker, CMainWindowHost& window);

    // Asks the model up to six times for the weather at the position, downloading the grid around it after each
    // answer 4 (no source near); true as soon as an answer is 1 (the report holds weather for the position).
    bool LookUp(const aviation::Position& position, aviation::weather::CMetar& metar, double metarLimit,
                double synopLimit);

    // Sets the distance to the aircraft and decodes a report not decoded yet, logging a decode error; returns the
    // decode's error code (0 when it was decoded already).
    int Decode(aviation::weather::CMetar& metar, const aviation::Position& aircraft);

    // The SYNOP nearest to the report, decoded (an error is logged, the report used all the same).
    aviation::weather::CSynop NearestSynop(const aviation::weather::CMetar& metar);
    // The grid record for the report's position: downloaded first for live weather when none is near, a standard
    // atmosphere of the report's surface values when that download fails, else the nearest stored one, decoded.
    aviation::weather::CGrib GridRecord(const aviation::weather::CMetar& metar);

    // A report under a substitute's ICAO goes out under the simulator station's ICAO; each entry of the list
    // sees the ICAO as the entries before it left it.
    void ToSimulatorIcao(aviation::weather::CStation& station) const;
    // A simulator station with a substitute takes its weather from the substitute's ICAO.
    void ToReportingIcao(aviation::weather::CStation& station) const;

    // The New Weather block and the extended METAR text of the set; seconds 0.
    static CFSWeatherStation MakeRecord(const aviation::weather::CWeatherSet& set, float magVar);

    // "No weather founded for Pos: lat,lon" in general notation.
    void LogNoWeather(const aviation::Position& position);
    // One line of the window's log (debug tab and log file).
    void Log(const QString& text);

    // Latitude and longitude with two decimals: "51.48, -0.46".
    static QString FixedPosition(const aviation::Position& position);

private:
    CWeatherWorker& m_worker;
    CMainWindowHost& m_window;
    // Grid records decoded in this generation, by their raw text: neighbouring stations share grid points.
    std::map<std::wstring, aviation::weather::CGrib> m_decodedGrids;
    // The substitution list as (reporting ICAO, simulator ICAO), in the list's key order.
    std::vector<std::pair<std::wstring, std::wstring>> m_toSimulator;
};
