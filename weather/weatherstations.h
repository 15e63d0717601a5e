// The station database: every airport and WMO weather station the program can place weather at, parsed from
// the airport list and the WMO station list, with lookups by identifier and searches by position.
//     airport line:  00C ;Animas, Durango, CO;United States;6683;37.2032000;-107.869000000;0;0;0;0;1
//     station line:  010010 ENJA   JAN MAYEN(NOR-NAVY) NO 7056N 00840W 0009
#pragma once

#include "weather/position.h"
#include "weather/positionindex.h"
#include "weather/station.h"

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace aviation::weather {

class CWeatherStations
{
public:
    CWeatherStations();
    virtual ~CWeatherStations();
    CWeatherStations(const CWeatherStations&) = delete;
    CWeatherStations& operator=(const CWeatherStations&) = delete;

    // Append the text's stations to the lists (nothing is cleared first).
    void InitAirports(const std::wstring& text);
    void InitWxStations(const std::wstring& text);

    // Copy the station part of the airport (WMO station) whose identifier is the report's ICAO into the report.
    bool CompleteFromAirport(CStation& report);
    bool CompleteFromWxStation(CStation& report);

    // The first airport in list order with exactly this ICAO, or a default station.
    CStation GetAirport(const std::wstring& icao) const;
    // The same; leaves `station` unchanged and answers false when there is none.
    bool FindAirport(const std::wstring& icao, CStation& station) const;

    // Simulator filter `kind` as CStation::HasSimStation takes it.
    // The nearest airport closer than 1000 NM (the first of equally near ones), or a default station.
    CStation GetNearestAirport(const aviation::Position& position, int kind);
    // Appends, in list order, every airport closer than `radius` NM.
    void GetAirportsInRadius(const aviation::Position& position, int radius, std::vector<CStation>& stations, int kind);
    static void FilterStationsInRadius(const aviation::Position& position, int radius,
                                       const std::vector<CStation>& input, std::vector<CStation>& output, int kind);

    std::vector<CStation> GetAirportList() const { return m_airports; }
    // Appends a (virtual) station; it gets no entry in the ICAO index.
    void AddAirport(const CStation& station);
    // Fills a virtual station: an empty ICAO takes the next generated identifier (A001 ... Z999, ...), an empty
    // name becomes "v <lat> <lon>".
    void MakeStation(CStation& station, const aviation::Position* position, std::wstring name, std::wstring icao);

    static bool ParseAirportLine(std::wstring_view line, CStation& station);
    static bool ParseStationLine(std::wstring_view line, CStation& station);

private:
    void AppendAirport(const CStation& station);

    std::vector<CStation> m_airports;
    std::map<std::wstring, std::size_t> m_airportIndex; // ICAO -> list position of its last line
    std::vector<CStation> m_wxStations;
    std::map<std::wstring, std::size_t> m_wxStationIndex; // WMO number -> list position of its last line
    std::wstring m_idCounter;

    std::unordered_map<std::wstring, std::size_t> m_firstAirport; // ICAO -> first list position (0-based)
    PositionIndex m_airportPositions;
};

} // namespace aviation::weather
