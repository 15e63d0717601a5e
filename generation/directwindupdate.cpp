// The weather worker's side of the direct wind control and the simulation timer's tick.
#include "generation/weatherworker.h"

#include "generation/mainwindowhost.h"
#include "platform/clock.h"
#include "settings/settings.h"

namespace {

// Seconds between two look-ups of the weather at the aircraft.
constexpr std::uint32_t kWindWeatherRefresh = 30;

} // namespace

void CWeatherWorker::OnUpdateSimTimer()
{
    m_scheduler.OnTick();
}

void CWeatherWorker::OnUpdateDWCTimer()
{
    if (!CSettings::GetWindDwc() || m_weatherSource == WeatherDataNone || !m_window->IsConnected())
        return;
    if (m_aircraft.GetLatitude() == 0 && m_aircraft.GetLongitude() == 0)
        return;
    UpdateDirectWindControl();
}

void CWeatherWorker::UpdateDirectWindControl()
{
    const std::uint32_t now = static_cast<std::uint32_t>(platform::NowSeconds());
    if (now - m_windControlRefresh > kWindWeatherRefresh) {
        const aviation::Position position = AircraftPosition();
        if (!m_weatherManager->FindNearestGrib(position, m_windControlGrib)) {
            m_windControlMetar = m_weatherManager->GetNearestMetar(position);
            m_windControlGrib = aviation::weather::CGrib();
            m_windControlGrib.SetStandardAtmosphere(m_windControlMetar.GetWind(), m_windControlMetar.GetTemperature(),
                                                    m_windControlMetar.GetDewPoint(), m_windControlMetar.GetQNH(true));
        }
        m_windControlGrib.Decode(false);
        m_windControlMetar = m_weatherManager->GetNearestMetar(position);
        m_windControlRefresh = now;
    }

    const int version = CSettings::GetFSVersion();
    if (version == 9 || version == 10 || CSettings::GetInterfaceType() == 2)
        return;

    m_directWindControl.SetGrib(m_windControlGrib);
    m_directWindControl.SetMetar(m_windControlMetar);
    m_directWindControl.SetAircraft(m_aircraft);
    aviation::weather::CLevel level = m_directWindControl.WindAtAC();
    const QString status = m_directWindControl.GetStatus();
    if (!status.isEmpty()) {
        m_window->sigUIDebugString(status, 2);
        level = m_lastWindLevelSent;
    }
    m_window->SetWindFSUIPC(level);
    m_lastWindLevelSent = level;
    m_window->sigUIUpdateDwcInfo(m_directWindControl);
}
