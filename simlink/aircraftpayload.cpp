#include "simlink/aircraftpayload.h"

namespace aviation {
namespace structs {

CAircraftPayloadStation::CAircraftPayloadStation(const std::wstring& name, float weight, float maxWeight, int type)
    : name(name)
    , weight(weight)
    , maxWeight(maxWeight)
    , type(type)
{
}

CAircraftPayloadStation::~CAircraftPayloadStation() = default;

void CAircraftPayload::AddStation(const CAircraftPayloadStation& station)
{
    stations.push_back(station);
    count = static_cast<int>(stations.size());
}

void CAircraftPayload::SetStation(const CAircraftPayloadStation& station, unsigned index)
{
    if (index < stations.size())
        stations[index] = station;
}

} // namespace structs
} // namespace aviation
