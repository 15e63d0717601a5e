// The recorded flight: the aircraft samples of its track, oldest first, the aircraft's name and registration,
// the block and flight times (UTC), the touchdown rate, the maxima and the current flight phase. The flight-phase
// tracker fills it from the simulator's samples; the flight file reader fills it back from a stored flight.
#pragma once

#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"

#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>
#include <vector>

class CFlightData
{
public:
    virtual ~CFlightData() = default;

    // Takes the detail's name and registration; nothing else of the record changes.
    void SetAircraftDetail(const aviation::structs::CAircraftDetail& detail);
    // Starts a new flight: times and block positions null, numbers 0, flags false, phase 0 without a name, no
    // track. Aircraft, registration, departure and destination stay.
    void Reset();
    // Appends the sample unless it lies at exactly 0/0 with a height of 0, where a simulator without an aircraft
    // puts it.
    void AddPosition(const aviation::structs::CAircraft& sample);
    std::vector<aviation::structs::CAircraft> GetTrack() const { return m_track; }

    // From the take-off to the landing, or to now while there is no landing; 00:00:00 before the take-off.
    // Wraps round at 24 hours as a time of day does.
    QTime GetFlightTime() const;

    QString GetAircraft() const { return m_aircraft; }
    QString GetRegistration() const { return m_registration; }
    QString GetDeparture() const { return m_departure; }
    void SetDeparture(const QString& icao) { m_departure = icao; }
    QString GetDestination() const { return m_destination; }
    void SetDestination(const QString& icao) { m_destination = icao; }

    QDateTime GetTakeOffTime() const { return m_takeOffTime; }
    void SetTakeOffTime(const QDateTime& time) { m_takeOffTime = time; }
    QDateTime GetLandingTime() const { return m_landingTime; }
    void SetLandingTime(const QDateTime& time) { m_landingTime = time; }
    QDateTime GetOffBlockTime() const { return m_offBlockTime; }
    void SetOffBlockTime(const QDateTime& time) { m_offBlockTime = time; }
    QDateTime GetOnBlockTime() const { return m_onBlockTime; }
    void SetOnBlockTime(const QDateTime& time) { m_onBlockTime = time; }
    // Where the aircraft started to roll and where it stopped at the gate; none before it did. The flight's
    // departure and destination are the airports nearest to them, whatever else the track holds.
    std::optional<aviation::Position> GetOffBlockPosition() const { return m_offBlockPosition; }
    void SetOffBlockPosition(const aviation::Position& position) { m_offBlockPosition = position.GetPosition(); }
    std::optional<aviation::Position> GetOnBlockPosition() const { return m_onBlockPosition; }
    void SetOnBlockPosition(const aviation::Position& position) { m_onBlockPosition = position.GetPosition(); }

    // ft/min, negative when descending.
    int GetTouchdownRate() const { return m_touchdownRate; }
    void SetTouchdownRate(int rate) { m_touchdownRate = rate; }
    // Each maximum takes the sample's value where that is larger.
    void ApplyMaxima(const aviation::structs::CAircraft& sample);
    int GetMaxAltitude() const { return m_maxAltitude; }
    int GetMaxTas() const { return m_maxTas; }
    int GetMaxGroundSpeed() const { return m_maxGroundSpeed; }

    QString GetPhaseName() const { return m_phaseName; }
    int GetPhase() const { return m_phase; }
    // The phase code and its name.
    void SetPhase(int phase);

    // The flags of the latest sample.
    void SetFlags(const aviation::structs::CAircraft& sample);
    bool IsParkingBrake() const { return m_parkingBrake; }
    bool IsLandingLights() const { return m_landingLights; }
    bool IsEngineRunning() const { return m_engineRunning; }

private:
    std::vector<aviation::structs::CAircraft> m_track;
    QString m_aircraft;
    QString m_registration;
    QString m_departure;
    QString m_destination;
    QDateTime m_takeOffTime;
    QDateTime m_landingTime;
    QDateTime m_offBlockTime;
    QDateTime m_onBlockTime;
    std::optional<aviation::Position> m_offBlockPosition;
    std::optional<aviation::Position> m_onBlockPosition;
    int m_touchdownRate = 0;
    int m_maxAltitude = 0;
    int m_maxTas = 0;
    int m_maxGroundSpeed = 0;
    QString m_phaseName;
    int m_phase = 0;
    bool m_parkingBrake = false;
    bool m_landingLights = false;
    bool m_engineRunning = false;
};
