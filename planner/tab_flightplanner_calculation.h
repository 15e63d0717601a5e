// The arithmetic of the flight plan calculation: leg times, fuel sums, the shown time and fuel figures and the
// mean wind along the route.
#pragma once

#include "simlink/aircraftdetail.h"
#include "weather/waypoint.h"
#include "weather/wind.h"

#include <QString>

#include <vector>

namespace flightplanner {

// A double as an int, truncated toward zero; values beyond the int range stop at its ends, NaN gives 0.
int TruncatedInt(double value);

// The whole minutes of a leg of `distance` NM flown at `groundSpeed` kt (above 0), rounded up: 100 NM at
// 450 kt take 14 minutes.
int LegMinutes(double distance, int groundSpeed);

// The flight time field: "HH:mm" of the total minutes (125 -> "02:05"), empty for no time.
QString FlightTimeText(long long totalMinutes);

// The profile's fuel figures (pounds, flow per hour).
struct FuelProfile
{
    float fuelFlow = 0.0f;
    float taxi = 0.0f;
    float holding = 0.0f;
    float extra = 0.0f;
};

// Whole pounds of the route and of route, taxi, holding and extra fuel together.
struct FuelSums
{
    int route = 0;
    int total = 0;
};

// Gives every point its leg fuel (flow / 60 x leg minutes) and sums the route, which drops its fraction after
// each point: two legs of 10.6 lb make 20.
FuelSums SumRouteFuel(std::vector<aviation::CWaypointWX>& waypoints, const FuelProfile& profile);

// A fuel figure in pounds as the page shows it: whole pounds, or whole kilograms (1000 lb -> 453 kg).
int ShownFuel(double pounds, bool unitsLbs);

// What the aircraft profile lacks for the flight time and fuel ("no aircraft selected", "cruise speed 0"); empty
// for a profile with a cruise speed.
QString MissingForTimeAndFuel(const aviation::structs::CAircraftDetail& aircraft);

// The winds at the cruising level summed along the route as vectors (x = cos, y = sin of the direction).
class RouteWind
{
public:
    // Adds a wind; an unset wind (speed below 0) adds nothing.
    void Add(const aviation::weather::CWind& wind);
    // The mean over all `points` of the route, "270°/10 kt"; empty when no wind was added or there are no points.
    QString MeanText(int points) const;

private:
    double m_x = 0.0;
    double m_y = 0.0;
    int m_winds = 0;
};

} // namespace flightplanner
