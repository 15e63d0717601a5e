// The main window's flight record: every aircraft sample the simulator link delivers is added to the recorded
// flight, whether or not the recorder is on; the recorder page decides what to do with it.
#pragma once

#include "flight/flightdata.h"
#include "simlink/aircraft.h"

class FlightPhaseTracker
{
public:
    void Update(const aviation::structs::CAircraft& sample) { m_flightData.AddTrackPoint(sample); }
    // Starts a new, empty flight record.
    void Reset() { m_flightData = CFlightData(); }

    CFlightData& GetFlightData() { return m_flightData; }
    const CFlightData& GetFlightData() const { return m_flightData; }

private:
    CFlightData m_flightData;
};
