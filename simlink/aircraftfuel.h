// The aircraft's fuel tanks (number, name, fill level, capacity) and the fuel's weight per gallon, as read from
// and written to the simulator. A tank number missing from the list means the aircraft has no such tank.
#pragma once

#include <string>
#include <vector>

namespace aviation {
namespace structs {

struct CAircraftFuelTank
{
    CAircraftFuelTank() = default;
    CAircraftFuelTank(double level, double capacity, int id, const std::wstring& name);

    std::wstring name;
    int id = 0; // 1 to 11; 0 in an empty tank
    double level = 0.0; // percent of capacity
    double capacity = 0.0; // US gallons
};

class CAircraftFuel
{
public:
    // Tanks 1 to 11 take their standard name ("Left Tip" ... "External2"); other numbers keep the given name.
    void AddTank(CAircraftFuelTank tank);
    // The first tank with this number, or an empty tank (id 0, capacity 0) when there is none.
    CAircraftFuelTank GetTank(int id) const;
    std::vector<CAircraftFuelTank> GetTanks() const { return tanks; }
    int GetTankCount() const { return static_cast<int>(tanks.size()); }
    // Sets the level of every tank with this number.
    void SetTankLevel(int id, double level);
    double GetFuelWeight() const { return fuelWeight; }
    void SetFuelWeight(double weight) { fuelWeight = weight; }

    // Standard name of tank 1 to 11, nullptr for other numbers.
    static const wchar_t* StandardTankName(int id);

    std::vector<CAircraftFuelTank> tanks;
    double fuelWeight = 0.0; // lb per US gallon
};

} // namespace structs
} // namespace aviation
