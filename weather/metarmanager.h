// The store of the current METAR reports, one per line of the METAR section of a weather file, e.g.
//     EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG
// completed with their airport's station data; answers by ICAO and by position, and repairs reports without a
// readable wind from the nearest report with one, and those whose visibility or cloud groups are "////"
// placeholders from the nearest good report.
#pragma once

#include "weather/metar.h"
#include "weather/position.h"
#include "weather/positionindex.h"

#include <boost/signals2/signal.hpp>

#include <map>
#include <string>
#include <vector>

namespace aviation::weather {

class CWeatherStations;

class CMetarManager
{
public:
    CMetarManager();
    virtual ~CMetarManager();
    CMetarManager(const CMetarManager&) = delete;
    CMetarManager& operator=(const CMetarManager&) = delete;

    // Supplied by the weather manager: the model's message log and its shared busy mark.
    virtual void Report(const std::wstring& text) = 0;
    virtual bool IsBusy() = 0;
    virtual bool SetBusy(bool busy) = 0;

    // The station database that completes added reports; not owned.
    void SetOwner(CWeatherStations* owner) { m_owner = owner; }

    // One record per line of the text; blank lines and lines that begin with "[" (section markers) are no
    // reports and are left out. The records are not decoded here.
    void InitMetar(const std::wstring& text, bool clearFirst);
    void InitMetar(const wchar_t* text, bool clearFirst);
    // Appends a copy; with `complete` the caller's record first gets its airport's station data.
    bool AddMetar(CMetar& report, bool complete);
    // Empties the list; an ICAO stored before answers false, without a message, until it is added again.
    void Clear();

    int GetCount() const { return static_cast<int>(m_records.size()); }
    std::vector<CMetar> GetMetarList() const { return m_records; }
    // Every raw text in list order, each followed by "\n".
    std::wstring GetAllRaw() const;

    // The last record added with this ICAO (not decoded); an ICAO never stored is reported as not found.
    bool GetMetar(const std::wstring& icao, CMetar& out);
    // The same without the message, for callers that sum up what they did not find.
    bool FindMetar(const std::wstring& icao, CMetar& out) const;
    // A decoded (and, where needed, repaired) copy of the nearest record closer than 3000 NM, the first of equally
    // near ones; a default record when there is none.
    CMetar GetNearestMetar(const aviation::Position& position);
    // Appends a copy of every record within `radius` NM (inclusive), in list order; with `decode` the stored
    // records are decoded and repaired first.
    bool GetMetarsInRadius(const aviation::Position& position, int radius, std::vector<CMetar>& out, bool decode);
    // Writes the wind of the nearest report with a readable wind into a report without one, then fills the "////"
    // visibility and "// //////" cloud placeholders from the nearest good report within 100 NM.
    bool RepairMetar(CMetar& report);

    // Load progress: percentage and text.
    boost::signals2::signal<void(int, const wchar_t*)> sigMetarProgress;

private:
    // The record within 100 NM of `position` nearest to it that decodes without error (decoding the
    // nearer records on the way), or a default record.
    CMetar FindDonor(const aviation::Position& position);
    // The record nearest to `position` (closer than 3000 NM) whose wind is readable, or a default record.
    CMetar FindWindDonor(const aviation::Position& position);
    // Gives a report without a readable wind the wind of that record; false when there is none.
    bool RepairWind(CMetar& report);

    std::vector<CMetar> m_records;
    std::map<std::wstring, int> m_index; // ICAO -> 1-based position of its last record; -1 after Clear
    CWeatherStations* m_owner = nullptr;
    PositionIndex m_positions;
};

} // namespace aviation::weather
