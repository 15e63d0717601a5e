// The recorded flight: the aircraft samples of its track, oldest first, and the aircraft's name and
// registration from the simulator's aircraft details.
#pragma once

#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"

#include <QString>

#include <vector>

class CFlightData
{
public:
    virtual ~CFlightData() = default;

    // Takes the detail's name and registration.
    void SetAircraftDetail(const aviation::structs::CAircraftDetail& detail);
    void AddTrackPoint(const aviation::structs::CAircraft& sample) { m_track.push_back(sample); }

    const std::vector<aviation::structs::CAircraft>& GetTrack() const { return m_track; }
    QString GetAircraft() const { return m_aircraft; }
    QString GetRegistration() const { return m_registration; }

private:
    std::vector<aviation::structs::CAircraft> m_track;
    QString m_aircraft;
    QString m_registration;
};
