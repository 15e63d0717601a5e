// Process-wide holder of the two station lists embedded in the program as Qt resources: the airport list
// ("EDDF;Frankfurt Main Airport;Germany;364;50.026706;8.558350;1;1;0;0;1") and the WMO station list.
#pragma once

#include <QString>

class ResourceTextStore
{
public:
    // The holder, created with two empty texts on the first call.
    static ResourceTextStore* Instance();
    // Deletes the holder; the next call of any member creates a new, empty one.
    static void Release();

    // Load the embedded list into the holder; true when the text has at least 10 characters.
    static bool LoadAirports();
    static bool LoadStations();

    static QString GetAirportText();
    static QString GetStationText();

private:
    ResourceTextStore() = default;

    QString m_airportText;
    QString m_stationText;
};
