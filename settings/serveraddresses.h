// The addresses of the two weather data server locations and the two networks' METAR feeds, fixed when the
// program is built (CMake cache variables) and replaceable by tests that serve them from a loopback server.
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

    // The build's addresses; the environment variable AEROVANE_SERVER_URL, when set, replaces both bases.
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
