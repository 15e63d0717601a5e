// Latitude/longitude value on which stations, reports, waypoints and aircraft samples stand, and the
// spherical-earth arithmetic on it (course, distance, destination, interpolation, angle helpers).
#pragma once

namespace aviation {

class Position
{
public:
    Position();
    Position(double latitude, double longitude);
    Position(const Position& other) = default;
    Position& operator=(const Position& other) = default;
    virtual ~Position();

    // Exact comparison of both coordinates; a NaN coordinate is never equal.
    bool operator==(const Position& other) const;

    double GetLatitude() const { return m_latitude; }
    void SetLatitude(double latitude) { m_latitude = latitude; }
    double GetLongitude() const { return m_longitude; }
    void SetLongitude(double longitude) { m_longitude = longitude; }

    // Plain copy of the position part of a derived object.
    Position GetPosition() const;

    static double GetCourse(const Position& from, const Position& to);
    static double GetDistance(const Position& a, const Position& b);
    // Destination on a great circle; one degree of arc counts 60 NM here.
    static Position GetDestination(const Position& from, double course, double distanceNm);

    void Move(double course, double distanceNm);

private:
    double m_latitude;
    double m_longitude;
};

// Initial great-circle true course in degrees, in [0, 360).
double CalcCourse(const Position& from, const Position& to);
// Great-circle distance in nautical miles.
double CalcDistance(const Position& a, const Position& b);
double CalcDistance(double lat1, double lon1, double lat2, double lon2);
// Value at `position`, weighted by its distances to the two end positions carrying value1 and value2.
double InterpolateByDistance(double value1, const Position& position1, double value2, const Position& position2,
                             const Position& position);

double DegToRad(double degrees);
double RadToDeg(double radians);
// Brings an angle into [0, 360); a non-finite angle gives NaN.
double NormalizeAngle(double degrees);
// Splits decimal degrees into whole degrees, minutes and seconds of the value rounded to the nearest second
// (47.449999 -> 47 27 0); every part keeps the sign of the value. NaN or a value beyond the int range gives 0, 0, 0.
void DegToDMS(double value, int& degrees, int& minutes, int& seconds);

} // namespace aviation
