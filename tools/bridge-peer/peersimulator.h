// The simulator behind the loopback bridge peer: one aircraft that flies on while it is read, its fuel tanks and
// payload stations, and the answer frame a bridge gives to each request, e.g. "@READ;002;0000;" answered by
// "@ANSW;002;0154;NumOfStation=3:FuelWeight=6.700000:StationID=3|Name=Left Main|Capacity=1288.000000|...".
#pragma once

#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"
#include "simlink/aircraftfuel.h"
#include "simlink/aircraftpayload.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class CLinkMessage;

namespace tools {

class CPeerSimulator
{
public:
    enum class Simulator { FSX, P3D, FS9, XPlane };

    // A Boeing 737-800 in level flight west of Frankfurt.
    CPeerSimulator();

    // The answer frame, without its line end, to one request; empty for the logout, which gets none. Each read of
    // the aircraft first flies it on by one second, or takes the next sample of the flight being played.
    std::string Answer(const CLinkMessage& request);

    void SetSimulator(Simulator simulator) { m_simulator = simulator; }
    // The two numbers of the version answer: the simulator, and the kind of weather record the bridge takes
    // (1 station blocks, 3 METAR texts, 10 X-Plane records).
    std::pair<int, int> GetVersionNumbers() const;
    void SetApiVersion(int version) { m_apiVersion = version; }
    // Writes are answered with "NCMD" instead of "ANSW".
    void SetRefuseWrites(bool refuse) { m_refuseWrites = refuse; }

    const aviation::structs::CAircraft& GetAircraft() const { return m_aircraft; }
    void SetAircraft(const aviation::structs::CAircraft& aircraft) { m_aircraft = aircraft; }
    // From now on each read of the aircraft answers with the next of these samples, the last one over and over;
    // the wind, visibility and magnetic variation stay the simulator's. An empty list flies on as before.
    void PlayFlight(const std::vector<aviation::structs::CAircraft>& samples);
    const aviation::structs::CAircraftDetail& GetDetail() const { return m_detail; }
    void SetDetail(const aviation::structs::CAircraftDetail& detail) { m_detail = detail; }
    const aviation::structs::CAircraftFuel& GetFuel() const { return m_fuel; }
    void SetFuel(const aviation::structs::CAircraftFuel& fuel) { m_fuel = fuel; }
    const aviation::structs::CAircraftPayload& GetPayload() const { return m_payload; }
    void SetPayload(const aviation::structs::CAircraftPayload& payload) { m_payload = payload; }

    // "fsx", "p3d", "fs9", "xplane".
    static bool SimulatorFromName(const std::string& name, Simulator& simulator);
    static const char* SimulatorName(Simulator simulator);

private:
    std::string AnswerRead(const CLinkMessage& request);
    std::string AnswerWrite(const CLinkMessage& request);
    void FlyOneSecond();
    void PlayNextSample();
    std::string AircraftText() const;
    std::string DetailText() const;

    Simulator m_simulator = Simulator::FSX;
    int m_apiVersion = 1002;
    bool m_refuseWrites = false;
    aviation::structs::CAircraft m_aircraft;
    std::vector<aviation::structs::CAircraft> m_flight;
    std::size_t m_flightStep = 0;
    aviation::structs::CAircraftDetail m_detail;
    aviation::structs::CAircraftFuel m_fuel;
    aviation::structs::CAircraftPayload m_payload;
};

} // namespace tools
