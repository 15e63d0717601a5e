#include "settings/serveraddresses.h"

#include "settings/settings.h"

ServerAddresses ServerAddresses::BuiltIn()
{
    return {QStringLiteral(AEROVANE_SERVER_URL_DE), QStringLiteral(AEROVANE_SERVER_URL_US),
            QStringLiteral(AEROVANE_METAR_VATSIM_URL), QStringLiteral(AEROVANE_METAR_IVAO_URL),
            QStringLiteral(AEROVANE_RECORDER_URL)};
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
