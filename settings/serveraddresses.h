// The addresses of the two weather data server locations, the two networks' METAR feeds and the recorder service, fixed
// when the program is built (CMake cache variables) and replaceable by tests that serve them from a loopback server.
#pragma once

#include <QString>

struct ServerAddresses
{
    // Bases: scheme and host (and port), no path, no trailing slash.
    QString serverUrlDE;
    QString serverUrlUS;
    // Full feed URLs, the defaults of weather/metar_vatsim and weather/metar_ivao.
    QString metarVatsimUrl;
    QString metarIvaoUrl;
    // Base of the flight recorder's web service (login and uploads): scheme and host (and port), no trailing slash.
    QString recorderUrl;
    // The route finder: its base (scheme, host, port, no trailing slash) and the application name sent with
    // every request. Empty unless given.
    QString routeFinderUrl = {};
    QString routeFinderAppName = {};

    // The build's addresses; the environment variable AEROVANE_SERVER_URL, when set, replaces the two weather
    // bases, the recorder's and the route finder's.
    static ServerAddresses BuiltIn();
};

// Points the settings store at other addresses for its lifetime and restores the previous ones after it.
class ScopedServerAddresses
{
public:
    explicit ScopedServerAddresses(const ServerAddresses& addresses);
    ~ScopedServerAddresses();
    ScopedServerAddresses(const ScopedServerAddresses&) = delete;
    ScopedServerAddresses& operator=(const ScopedServerAddresses&) = delete;

private:
    ServerAddresses m_previous;
};
