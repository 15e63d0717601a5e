// Keeps the grid points of the last grid text, one record per point indexed by location key, and finds
// the points near a position. The text starts with an optional heading line such as "# TIME:1491555600".
#pragma once

#include "weather/grib.h"

#include <boost/signals2/signal.hpp>

#include <map>
#include <string>
#include <vector>

namespace aviation::weather {

class CGribManager
{
public:
    CGribManager() = default;
    virtual ~CGribManager() = default;
    CGribManager(const CGribManager&) = delete;
    CGribManager& operator=(const CGribManager&) = delete;

    // Supplied by the weather manager: the model's shared busy mark and its message log.
    virtual bool IsBusy() = 0;
    virtual bool SetBusy(bool busy) = 0;
    virtual void Report(const std::wstring& text) = 0;

    // Loads a grid text, one point per line; only the headers are decoded here.
    void InitWindData(const std::wstring& text, bool clearFirst);
    void InitWindData(const wchar_t* text, bool clearFirst);
    // Adds the record, or replaces the one with the same location key.
    void AddGrib(const CGrib& record);
    void Clear();

    // The nearest record within 500 km, or a default record.
    CGrib GetNearestGrib(const Position& position);
    bool FindNearestGrib(const Position& position, CGrib& record);
    // Appends every record within 500 km, in store order.
    bool GetGribsWithin(const Position& position, std::vector<CGrib>& records);
    // A record within 20 NM, or the nearest within 100 NM.
    bool HasGribNear(const Position& position);
    bool HasGribAt(const Position& position);
    // The store holds the record's location key with an observation time that is not older.
    bool IsCurrent(const CGrib& record);
    std::wstring GetAllRaw() const;

    // Load progress: percentage and text.
    boost::signals2::signal<void(int, const wchar_t*)> sigGribProgress;

private:
    // The first of the nearest records closer than 500 km, or null.
    const CGrib* Nearest(const Position& position);

    std::vector<CGrib> m_records;
    std::map<std::wstring, int> m_index;
};

} // namespace aviation::weather
