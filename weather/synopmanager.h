// The store of the SYNOP reports of the downloaded "additional weather" text, cut at "=" into reports like
//     AAXX 01124 10384 32595 81204 10123 21012 30132 40015 82530 333 85815=
// with their station data taken from the WMO station list; answers which report is nearest to a place.
#pragma once

#include "weather/position.h"
#include "weather/positionindex.h"
#include "weather/synop.h"

#include <boost/signals2/signal.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace aviation {
namespace weather {

class CWeatherStations;

class CSynopManager
{
public:
    // Measures how long a step of the initialisation takes and writes it to the debug output.
    struct DebugTimer
    {
        int id = 0;
        std::int64_t start = 0;
        void Print() const;
    };

    CSynopManager();
    virtual ~CSynopManager();
    CSynopManager(const CSynopManager&) = delete;
    CSynopManager& operator=(const CSynopManager&) = delete;

    virtual void Report(const std::wstring& text) = 0;
    virtual bool IsBusy() = 0;
    virtual bool SetBusy(bool busy) = 0;

    // The station database that completes the reports; not owned.
    void SetOwner(CWeatherStations* owner) { m_owner = owner; }

    // Appends a copy of the report; with `complete` the station data of a report without a position (a land
    // station) is first filled in from the WMO station list, which changes the caller's record too.
    bool AddSynop(CSynop& synop, bool complete);
    void Clear();
    // Every stored report, each followed by "=\n".
    std::wstring GetAllRaw() const;
    // Copies the nearest report closer than 1000 NM into `out`; `out` stays as passed when there is none.
    bool FindNearestSynop(const aviation::Position& position, CSynop& out);
    int GetCount() const { return static_cast<int>(m_synops.size()); }

    // Cuts the text at "=" into reports, decodes their headers and stores them.
    void InitSynop(const std::wstring& text, bool clearFirst);
    void InitSynop(const wchar_t* text, bool clearFirst);
    // The text cut at every "=" into reports without their line breaks, as InitSynop stores them; what follows
    // the last "=" is a report too when it holds more than blanks. Lines that begin with "[" (section markers)
    // are left out before the cut, and so are pieces of blanks and pieces that begin with "[".
    static std::vector<std::wstring> SplitReports(const std::wstring& text);

    // Progress of InitSynop: percent and a text.
    boost::signals2::signal<void(int, const wchar_t*)> sigSynopProgress;

private:
    static constexpr std::size_t kReservedReports = 4000;
    static constexpr double kNearestLimitNm = 1000.0;

    std::vector<CSynop> m_synops;
    CWeatherStations* m_owner = nullptr;
    PositionIndex m_positions;
};

} // namespace weather
} // namespace aviation
