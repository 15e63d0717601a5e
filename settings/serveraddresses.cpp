#include "settings/serveraddresses.h"

#include "settings/settings.h"

ServerAddresses ServerAddresses::BuiltIn()
{
    ServerAddresses addresses{QStringLiteral(AEROVANE_SERVER_URL_DE),    QStringLiteral(AEROVANE_SERVER_URL_US),
                              QStringLiteral(AEROVANE_METAR_VATSIM_URL), QStringLiteral(AEROVANE_METAR_IVAO_URL),
                              QStringLiteral(AEROVANE_RECORDER_URL),     QStringLiteral(AEROVANE_ROUTEFINDER_URL),
                              QStringLiteral(AEROVANE_ROUTEFINDER_APP)};
    // One base for both locations, the route finder and the recorder service, e.g.
    // AEROVANE_SERVER_URL=http://127.0.0.1:28001 for a loopback server of a run of its own.
    QString base = qEnvironmentVariable("AEROVANE_SERVER_URL").trimmed();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    if (!base.isEmpty()) {
        addresses.serverUrlDE = base;
        addresses.serverUrlUS = base;
        addresses.recorderUrl = base;
        addresses.routeFinderUrl = base;
    }
    return addresses;
}

ScopedServerAddresses::ScopedServerAddresses(const ServerAddresses& addresses)
    : m_previous(CSettings::GetServerAddresses())
{
    CSettings::SetServerAddresses(addresses);
}

ScopedServerAddresses::~ScopedServerAddresses()
{
    CSettings::SetServerAddresses(m_previous);
}
