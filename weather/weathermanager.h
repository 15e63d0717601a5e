// The root of the weather model: at once the station database and the METAR, SYNOP, grid and TAF stores,
// and the place that answers what the weather is at a position.
#pragma once

#include "weather/gribmanager.h"
#include "weather/level.h"
#include "weather/metarmanager.h"
#include "weather/synopmanager.h"
#include "weather/tafmanager.h"
#include "weather/weatherstations.h"

#include <boost/signals2/signal.hpp>

#include <string>
#include <vector>

namespace aviation::weather {

class CWeatherManager : public CWeatherStations,
                        public CMetarManager,
                        public CSynopManager,
                        public CGribManager,
                        public CTAFManager
{
public:
    CWeatherManager();
    ~CWeatherManager() override;

    // The stores' shared operations, whichever base they are called through: the message log and the
    // one busy mark of the model (a flag, not a count).
    void Report(const std::wstring& text) override;
    bool IsBusy() override;
    bool SetBusy(bool busy) override;
    std::wstring GetLastMessage() const { return m_lastMessage; }

    // Empties the METAR, grid and SYNOP stores; the station lists and the TAF text stay.
    void Clear();

    // The cloud amount word of the interpolated report: "" below 0, FEW 0-2, SCT 3-5, BKN 6-7, OVC 8 and above.
    static std::wstring GetCoverageText(short oktas);

    // The METAR for a place: 1 a report was produced, 4 no source reached the position, 5 an internal error.
    int GetMetarForPosition(const Position& position, CMetar& metar, double metarLimit, double synopLimit);
    // The upper-air profile at a position: 0 interpolated from four surrounding grid points; 1, 2 and 3 the
    // nearest grid point's profile (too few surrounding points, implausible wind, profiles of unequal length).
    int InterpolationGrib(Position position, std::vector<CLevel>& levels);
    // Direction in degrees of the averaged wind vector (x = cos, y = sin of the direction).
    static double GetVectorDirection(double x, double y);
    // The nearest METAR within the radius under the target's identity, or (full mode) a report written from
    // the four surrounding ones; false when no METAR lies within the radius.
    bool InterpolationMetar(CMetar& metar, bool nearestOnly, int radius);

    // Log lines of the model.
    boost::signals2::signal<void(const wchar_t*)> sigMessage;

private:
    bool m_busy = false;
    std::wstring m_lastMessage;
};

} // namespace aviation::weather
