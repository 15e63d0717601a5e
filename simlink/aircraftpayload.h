// The aircraft's payload stations (name, weight, maximum weight, profile station type) as read from and written
// to the simulator.
#pragma once

#include <string>
#include <vector>

namespace aviation {
namespace structs {

struct CAircraftPayloadStation
{
    CAircraftPayloadStation(const std::wstring& name, float weight, float maxWeight, int type);
    CAircraftPayloadStation(const CAircraftPayloadStation& other) = default;
    CAircraftPayloadStation& operator=(const CAircraftPayloadStation& other) = default;
    virtual ~CAircraftPayloadStation();

    std::wstring name;
    float weight = 0.0f; // lb
    float maxWeight = 0.0f; // lb
    int type = 0; // station type code of the aircraft profile; 0 for stations read from the simulator
};

class CAircraftPayload
{
public:
    // Appends a copy; count follows the list size.
    void AddStation(const CAircraftPayloadStation& station);
    std::vector<CAircraftPayloadStation> GetStations() const { return stations; }
    // Copies the station's values into the entry at `index`; an index past the list changes nothing.
    void SetStation(const CAircraftPayloadStation& station, unsigned index);

    std::vector<CAircraftPayloadStation> stations;
    int count = 0;
};

} // namespace structs
} // namespace aviation
