// The main window's flight-phase state machine: every aircraft sample the simulator link delivers moves the
// recorded flight on, from boarding through taxi, take-off, climb, cruise, descent, approach and landing to
// parking, setting the block and flight times, the touchdown rate and the maxima, and adding a track point at
// most every 30 s besides the off-block and on-block samples. It runs whether or not the recorder is on; the
// recorder page decides what to do with it.
#pragma once

#include "recorder/flightdata.h"
#include "recorder/flightphase.h"
#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"

#include <QDateTime>

class FlightPhaseTracker
{
public:
    FlightPhaseTracker();
    ~FlightPhaseTracker();

    // One step of the state machine with the newest sample.
    void Update(const aviation::structs::CAircraft& sample);
    // Starts a new flight in phase 0. The aircraft and registration, the cruise level and the track clock stay.
    void Reset();
    // The aircraft's name and registration for the record.
    void SetAircraftDetail(const aviation::structs::CAircraftDetail& detail);

    // Copies of the record and of the newest sample.
    CFlightData GetFlightData() const { return m_flightData; }
    aviation::structs::CAircraft GetAircraft() const { return m_current; }

    // Conditions on the newest sample; each check names the side effect it has when it holds.
    bool IsBoarding() const;
    bool IsClimbing() const;
    bool IsCruising() const;
    bool IsDescending() const;
    bool IsApproach() const;
    // Take-off time := now and the landing time cleared.
    bool CheckTakeOff();
    // Landing time := now and the touchdown rate := the previous sample's vertical speed.
    bool CheckTouchdown();
    // On-block time and position := now and the sample's, and the sample a track point.
    bool CheckOnBlock();

private:
    // Rolls from the gate: phase 2, the off-block time and position, and the sample as a track point.
    void CheckRolling();
    bool IsSlowOnGround() const;
    // Appends the sample when more than 30 s of local wall time have passed since the last append was due.
    void AddTrackPoint();
    // Appends the newest sample to the track once.
    void TrackSample();
    void Transition();
    // A third of the highest altitude so far (before this sample's maxima).
    int ThirdOfMaxAltitude() const { return m_flightData.GetMaxAltitude() / 3; }

    CFlightData m_flightData;
    int m_phase = PhaseNone;
    aviation::structs::CAircraft m_current;
    aviation::structs::CAircraft m_previous;
    // ft; the altitude of the latest sample found cruising.
    int m_cruiseLevel = 500;
    // Local wall time of the last due track point; started at the first update at 00:00:01 of that day, so the
    // first sample of a run is taken at once.
    QDateTime m_trackClock;
    // The newest sample is in the track already.
    bool m_sampleTracked = false;
};
