// Moves the wind at the aircraft towards the wind the weather data give for its altitude, a limited step each
// call, with small random gusts near the ground. A value class: the main window's wind table shows a copy.
#pragma once

#include "simlink/aircraft.h"
#include "weather/grib.h"
#include "weather/level.h"
#include "weather/metar.h"

#include <QMetaType>
#include <QString>

class CDirectWindControl
{
public:
    CDirectWindControl();

    void SetGrib(const aviation::weather::CGrib& grib) { m_grib = grib; }
    // Decodes the report when it is not decoded yet.
    void SetMetar(const aviation::weather::CMetar& metar);
    // Takes the aircraft's own wind as the level at altitude 0; it also becomes the previous level while that
    // has no wind yet.
    void SetAircraft(const aviation::structs::CAircraft& aircraft);

    // One control step: the new wind at the aircraft. The status tells when the step failed and the previous
    // wind was kept.
    aviation::weather::CLevel WindAtAC();
    // The wind, temperature and pressure the data give at the altitude (ft).
    aviation::weather::CLevel GetLevel(int altitude);
    // Random deltas of direction and speed for a level near the ground; calm above 3000 ft.
    aviation::weather::CLevel MakeGusts(const aviation::weather::CLevel& level);
    // The change from previous towards target allowed in the time since the last call.
    aviation::weather::CLevel LimitStep(const aviation::weather::CLevel& target,
                                        const aviation::weather::CLevel& previous);

    // Direction a - b wrapped into [-180, 180], speed and gust a - b.
    static aviation::weather::CWind LevelDifference(const aviation::weather::CLevel& a,
                                                    const aviation::weather::CLevel& b);
    // Direction a + b in [0, 360), speed and gust summed; temperature, dew point, humidity and altitude averaged.
    static aviation::weather::CLevel LevelSum(const aviation::weather::CLevel& a, const aviation::weather::CLevel& b);

    QString GetStatus() const { return m_status; }
    aviation::weather::CLevel GetCurrentLevel() const { return m_currentLevel; }
    aviation::weather::CLevel GetCalculatedLevel() const { return m_calculatedLevel; }
    aviation::weather::CLevel GetTurbulenceLevel() const { return m_turbulenceLevel; }

    // The gust and step timing is shared by every object of the program; tests start it over.
    static void ResetProgramState();

private:
    aviation::weather::CGrib m_grib;
    aviation::weather::CMetar m_metar;
    aviation::weather::CLevel m_previousLevel;
    aviation::weather::CLevel m_aircraftWindLevel;
    aviation::weather::CLevel m_currentLevel;
    aviation::weather::CLevel m_calculatedLevel;
    aviation::weather::CLevel m_aircraftWindLevelCopy;
    aviation::weather::CLevel m_turbulenceLevel;
    aviation::structs::CAircraft m_aircraft;
    QString m_status;
};

Q_DECLARE_METATYPE(CDirectWindControl)
