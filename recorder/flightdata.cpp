#include "recorder/flightdata.h"

#include "platform/clock.h"
#include "recorder/flightphase.h"

#include <algorithm>

void CFlightData::SetAircraftDetail(const aviation::structs::CAircraftDetail& detail)
{
    m_aircraft = QString::fromStdWString(detail.name);
    m_registration = QString::fromStdWString(detail.Registration);
}

void CFlightData::Reset()
{
    m_takeOffTime = QDateTime();
    m_landingTime = QDateTime();
    m_offBlockTime = QDateTime();
    m_onBlockTime = QDateTime();
    m_offBlockPosition.reset();
    m_onBlockPosition.reset();
    m_touchdownRate = 0;
    m_maxAltitude = 0;
    m_maxTas = 0;
    m_maxGroundSpeed = 0;
    m_parkingBrake = false;
    m_landingLights = false;
    m_engineRunning = false;
    m_phaseName.clear();
    m_phase = 0;
    m_track.clear();
}

void CFlightData::AddPosition(const aviation::structs::CAircraft& sample)
{
    if (sample.GetLatitude() == 0.0 && sample.GetLongitude() == 0.0 && sample.height == 0)
        return;
    m_track.push_back(sample);
}

QTime CFlightData::GetFlightTime() const
{
    if (m_takeOffTime.isNull())
        return QTime(0, 0, 0);
    const qint64 end = m_landingTime.isNull() ? platform::NowSeconds() : m_landingTime.toSecsSinceEpoch();
    const qint64 seconds = (end - m_takeOffTime.toSecsSinceEpoch()) % (24 * 3600);
    return QTime(0, 0, 0).addSecs(static_cast<int>(seconds));
}

void CFlightData::ApplyMaxima(const aviation::structs::CAircraft& sample)
{
    m_maxAltitude = std::max(m_maxAltitude, sample.altitude);
    m_maxTas = std::max(m_maxTas, sample.tas);
    m_maxGroundSpeed = std::max(m_maxGroundSpeed, sample.groundSpeed);
}

void CFlightData::SetPhase(int phase)
{
    m_phase = phase;
    m_phaseName = FlightPhaseName(phase);
}

void CFlightData::SetFlags(const aviation::structs::CAircraft& sample)
{
    m_engineRunning = !sample.enginesOff;
    m_landingLights = sample.landingLights;
    m_parkingBrake = sample.parkingBrake;
}
