#include "weather/weathermanager.h"

namespace aviation::weather {

CWeatherManager::CWeatherManager()
{
    CMetarManager::SetOwner(this);
    CSynopManager::SetOwner(this);
}

CWeatherManager::~CWeatherManager() = default;

void CWeatherManager::Report(const std::wstring& text)
{
    if (!sigMessage.empty())
        sigMessage(text.c_str());
    m_lastMessage = text;
}

bool CWeatherManager::IsBusy()
{
    return m_busy;
}

bool CWeatherManager::SetBusy(bool busy)
{
    m_busy = busy;
    return busy;
}

void CWeatherManager::Clear()
{
    CMetarManager::Clear();
    CGribManager::Clear();
    CSynopManager::Clear();
}

std::wstring CWeatherManager::GetCoverageText(short oktas)
{
    if (oktas < 0)
        return L"";
    if (oktas <= 2)
        return L"FEW";
    if (oktas <= 5)
        return L"SCT";
    if (oktas <= 7)
        return L"BKN";
    return L"OVC";
}

} // namespace aviation::weather
