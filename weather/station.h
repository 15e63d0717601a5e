// A weather station or airport: ICAO code, country, name, position, elevation and the simulators whose
// station lists hold it; base of the METAR, SYNOP and grid records.
#pragma once

#include "weather/position.h"
#include "weather/stationtime.h"

#include <string>

namespace aviation {
namespace weather {

class CStation : public StationTime
{
public:
    CStation();
    CStation(const CStation& other) = default; // copies the time too
    // Copies everything except the time, so a decoded report keeps its own observation time.
    CStation& operator=(const CStation& other);
    void SetStation(const CStation& station);

    void SetICAO(const std::wstring& icao) { m_icao = icao; }
    void SetICAO(const wchar_t* icao);
    const wchar_t* GetICAO() const { return m_icao.c_str(); }
    bool IsSameICAO(const CStation& other) const { return m_icao == other.m_icao; }

    void SetCountry(const std::wstring& country) { m_country = country; }
    void SetCountry(const wchar_t* country);
    const std::wstring& GetCountry() const { return m_country; }
    void SetName(const std::wstring& name) { m_name = name; }
    void SetName(const wchar_t* name);
    const std::wstring& GetName() const { return m_name; }

    void SetElevation(int feet) { m_elevation = feet; }
    int GetElevation() const { return m_elevation; }
    void SetPosition(const aviation::Position& position) { m_position = position.GetPosition(); }
    const aviation::Position& GetPosition() const { return m_position; }

    void SetFS9Station(bool on) { m_fs9Station = on; }
    bool IsFS9Station() const { return m_fs9Station; }
    void SetFSXStation(bool on) { m_fsxStation = on; }
    bool IsFSXStation() const { return m_fsxStation; }
    void SetP3DStation(bool on) { m_p3dStation = on; }
    bool IsP3DStation() const { return m_p3dStation; }
    void SetXPlaneStation(bool on) { m_xplaneStation = on; }
    bool IsXPlaneStation() const { return m_xplaneStation; }
    void SetGenerated(bool on) { m_generated = on; }
    bool IsGenerated() const { return m_generated; }
    void SetActive(bool on) { m_active = on; }
    bool IsActive() const { return m_active; }

    // Kind 0 = any station, 1 or 2 FS2004, 3 FSX, 4 Prepar3D, 5 X-Plane, 6 generated; other kinds: false.
    bool HasSimStation(int kind) const;

    // Distance from `position` in NM (or km); 99999.0 in either unit for a station without position (0, 0).
    double GetDistance(const aviation::Position& position, bool kilometres) const;

    static constexpr double kNoPositionDistance = 99999.0;

private:
    std::wstring m_icao;
    std::wstring m_country;
    std::wstring m_name;
    aviation::Position m_position;
    int m_elevation = 0;
    bool m_fs9Station = false;
    bool m_fsxStation = false;
    bool m_p3dStation = false;
    bool m_xplaneStation = false;
    bool m_generated = false;
    bool m_active = false;
};

} // namespace weather
} // namespace aviation
