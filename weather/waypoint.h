// Route points of a flight plan: WayPoint is a point with its kind and altitude, CWaypointWX adds what the
// planner works out for the leg ending there (wind, temperature, speeds, heading, fuel, nearest METAR, grid).
#pragma once

#include "weather/grib.h"
#include "weather/position.h"
#include "weather/wind.h"

#include <string>

namespace aviation {

class WayPoint : public Position
{
public:
    WayPoint();
    WayPoint(const wchar_t* ident, double latitude, double longitude, const wchar_t* name, int type, int altitude);
    WayPoint(const wchar_t* ident, const Position& position, const wchar_t* name, int type, int altitude);
    WayPoint(const WayPoint& other) = default;
    WayPoint& operator=(const WayPoint& other) = default;
    ~WayPoint() override = default;

    void SetAltitude(int altitude) { m_altitude = altitude; }
    int GetAltitude() const { return m_altitude; }
    std::wstring GetIdent() const { return m_ident; }
    void SetName(const std::wstring& name) { m_name = name; }
    std::wstring GetName() const { return m_name; }
    int GetType() const { return m_type; }
    // "Airport", "Alternate", "WX-Station", "Intersection", "VOR", "NDB", "DME"; "Unknown" otherwise.
    std::wstring GetTypeText() const;
    // The airway that the route finder names for the fix; empty when the point came from elsewhere.
    void SetAirway(const std::wstring& airway) { m_airway = airway; }
    std::wstring GetAirway() const { return m_airway; }

private:
    int m_type = 0;
    std::wstring m_ident;
    std::wstring m_name;
    int m_altitude = -1;
    std::wstring m_airway;
};

class CWaypointWX : public WayPoint
{
public:
    CWaypointWX();
    CWaypointWX(const WayPoint& point, float temperature, float dewPoint, float qnh);
    CWaypointWX(const wchar_t* ident, const Position& position, const wchar_t* name, int type, int altitude,
                float temperature, float dewPoint, float qnh);
    CWaypointWX(const CWaypointWX& other) = default;
    CWaypointWX& operator=(const CWaypointWX& other) = default;
    ~CWaypointWX() override = default;

    void SetWind(const weather::CWind& wind) { m_wind = wind; }
    weather::CWind GetWind() const { return m_wind; }
    void SetTemperature(float temperature) { m_temperature = temperature; }
    float GetTemperature() const { return m_temperature; }
    float GetDewPoint() const { return m_dewPoint; }
    float GetQNH() const { return m_qnh; }
    void SetTas(int knots) { m_tas = knots; }
    int GetTas() const { return m_tas; }
    void SetGroundSpeed(int knots) { m_groundSpeed = knots; }
    int GetGroundSpeed() const { return m_groundSpeed; }
    void SetLegTime(int minutes) { m_legTime = minutes; }
    int GetLegTime() const { return m_legTime; }
    void SetCourse(double degrees) { m_course = degrees; }
    double GetCourse() const { return m_course; }
    double GetHeading() const { return m_heading; }
    void SetLegFuel(float fuel) { m_legFuel = fuel; }
    float GetLegFuel() const { return m_legFuel; }
    void SetMetar(const std::wstring& metar) { m_metar = metar; }
    std::wstring GetMetar() const { return m_metar; }
    void SetGrib(const weather::CGrib& grib) { m_grib = grib; }
    weather::CGrib GetGrib() const { return m_grib; }

    // Sets heading and ground speed for flying the course at the true airspeed through the wind (the
    // direction it blows from). Leaves both unchanged, with a debug line, when the airspeed is below 1 kt or
    // the crosswind is stronger than the airspeed.
    void WindCorrectionHeading(double course, double tas, const weather::CWind& wind);

private:
    weather::CWind m_wind;
    float m_temperature = 13.0f;
    float m_dewPoint = 5.0f;
    float m_qnh = 1013.2f;
    int m_tas = 0;
    int m_groundSpeed = 0;
    int m_legTime = 0;
    double m_course = 0.0;
    double m_heading = 0.0;
    float m_legFuel = 0.0f;
    std::wstring m_metar;
    weather::CGrib m_grib;
};

} // namespace aviation
