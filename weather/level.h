// One altitude level of wind, temperature, dew point, relative humidity and pressure, as the grid data,
// the direct wind control and the flight planner use it; interpolates between two levels.
#pragma once

#include "weather/wind.h"

namespace aviation {
namespace weather {

class CLevel : public CWind
{
public:
    CLevel();
    // A humidity of -1 is computed from temperature and dew point when both are known (not +99) and the
    // pressure is set (not -1).
    CLevel(int altitude, const CWind& wind, double temperature, double dewPoint, float pressure, double humidity);

    void SetAltitude(int altitude) { m_altitude = altitude; }
    int GetAltitude() const { return m_altitude; }
    void SetTemperature(double temperature) { m_temperature = temperature; }
    double GetTemperature() const { return m_temperature; }
    void SetDewPoint(double dewPoint) { m_dewPoint = dewPoint; }
    double GetDewPoint() const { return m_dewPoint; }
    void SetHumidity(double humidity) { m_humidity = humidity; }
    double GetHumidity() const { return m_humidity; }
    float GetPressure() const { return m_pressure; }

    // False only while every value except speed and gust holds its not-set mark.
    bool HasData() const;

    // Makes this the level at `altitude` between level1 (normally the lower) and level2: a level within
    // 20 ft is copied, otherwise every value is linear in altitude (extrapolated outside the pair).
    void Interpolate(const CLevel& level1, const CLevel& level2, int altitude);

    static constexpr int kNoAltitude = -99;
    static constexpr double kNoTemperature = -99.0;
    static constexpr double kMissingTemperature = 99.0;

private:
    int m_altitude = kNoAltitude;
    double m_temperature = kNoTemperature;
    double m_dewPoint = kNoTemperature;
    double m_humidity = -1.0;
    float m_pressure = -1.0f;
};

// Relative humidity in percent from temperature and dew point (Magnus formula).
double RelativeHumidity(double temperature, double dewPoint);

} // namespace weather
} // namespace aviation
