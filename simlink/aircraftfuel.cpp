#include "simlink/aircraftfuel.h"

namespace aviation {
namespace structs {

CAircraftFuelTank::CAircraftFuelTank(double level, double capacity, int id, const std::wstring& name)
    : name(name)
    , id(id)
    , level(level)
    , capacity(capacity)
{
}

const wchar_t* CAircraftFuel::StandardTankName(int id)
{
    static const wchar_t* const names[]
        = {L"Left Tip",   L"Left Aux",  L"Left Main", L"Center",    L"Center2",  L"Center3",
           L"Right Main", L"Right Aux", L"Right Tip", L"External1", L"External2"};
    return id >= 1 && id <= 11 ? names[id - 1] : nullptr;
}

void CAircraftFuel::AddTank(CAircraftFuelTank tank)
{
    if (const wchar_t* standard = StandardTankName(tank.id))
        tank.name = standard;
    tanks.push_back(std::move(tank));
}

CAircraftFuelTank CAircraftFuel::GetTank(int id) const
{
    for (const CAircraftFuelTank& tank : tanks) {
        if (tank.id == id)
            return tank;
    }
    return CAircraftFuelTank();
}

void CAircraftFuel::SetTankLevel(int id, double level)
{
    for (CAircraftFuelTank& tank : tanks) {
        if (tank.id == id)
            tank.level = level;
    }
}

} // namespace structs
} // namespace aviation
