// X-Plane mode: the weather at the aircraft as one X-Plane weather record (job 7), and the winds at the aircraft
// as an X-Plane wind record (job 11).

#include "generation/generationguard.h"
#include "generation/mainwindowhost.h"
#include "generation/stationweather.h"
#include "generation/weatherconverter.h"
#include "generation/weatherworker.h"
#include "platform/clock.h"

#include <string>

using aviation::Position;
using aviation::structs::CAircraft;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CWeatherSet;

namespace {

constexpr double kWeatherLimitNm = 50.0;
// A stored report this near the aircraft gives the wind as it is; farther away one is interpolated.
constexpr double kWindReportNm = 20.0;
constexpr int kInterpolationRadiusNm = 200;

void MarkGenerated(CStation& station)
{
    station.SetGenerated(true);
    station.SetActive(true);
    station.SetFSXStation(true);
    station.SetTime(platform::NowSeconds());
}

// The weather set of the report at its place, after its decoding.
CWeatherSet WeatherSet(CStationWeather& steps, CMetar& metar, const Position& aircraft)
{
    steps.Decode(metar, aircraft);
    const auto synop = steps.NearestSynop(metar);
    return CWeatherSet(metar, synop, steps.GridRecord(metar));
}

} // namespace

void CWeatherWorker::GenerateXPlaneWeather()
{
    const OneGeneration generation(*this);
    if (!generation.Started())
        return;
    const CAircraft aircraft = m_aircraft;
    RunGuarded(*m_window, "GenerateXPlaneWeather", [&] {
        if (!HasWeatherToGenerate(QStringLiteral("XPWeather")))
            return;
        const Position position = aircraft.GetPosition();
        CStationWeather steps(*this, *m_window);
        steps.Log(QStringLiteral("(WeatherManager) Generating of XP Weather, position: %1")
                      .arg(CStationWeather::FixedPosition(position)));

        CMetar metar;
        metar.SetStation(m_weatherManager->GetNearestAirport(position, 0));
        if (!steps.LookUp(position, metar, kWeatherLimitNm, kWeatherLimitNm)) {
            steps.LogNoWeather(position);
            metar = m_weatherManager->GetNearestMetar(position);
        }
        MarkGenerated(metar);

        const CWeatherSet set = WeatherSet(steps, metar, position);
        steps.Log(QStringLiteral("(WeatherManager) FSWeather generated, stations: 1"));
        CFSWeatherStation record;
        record.xplane = WeatherConverter::MakeXPlaneWeather(set, aircraft);
        m_window->SetWeather({record});
    });
}

void CWeatherWorker::GenerateXPLaneWind()
{
    const OneGeneration generation(*this);
    if (!generation.Started())
        return;
    const CAircraft aircraft = m_aircraft;
    RunGuarded(*m_window, "GenerateXPLaneWind", [&] {
        if (!HasWeatherToGenerate(QStringLiteral("XPWind")))
            return;
        const Position position = aircraft.GetPosition();
        CStationWeather steps(*this, *m_window);
        steps.Log(QStringLiteral("(WeatherManager) Generating of XP Wind, position: %1")
                      .arg(CStationWeather::FixedPosition(position)));

        CMetar metar = m_weatherManager->GetNearestMetar(position);
        if (metar.CStation::GetDistance(position, false) >= kWindReportNm) {
            CStation place;
            m_weatherManager->MakeStation(place, &position, std::wstring(), std::wstring());
            metar = CMetar();
            metar.SetStation(place);
            m_weatherManager->InterpolationMetar(metar, false, kInterpolationRadiusNm);
            const std::wstring message = m_weatherManager->GetLastMessage();
            if (!message.empty())
                steps.Log(QString::fromStdWString(message));
            MarkGenerated(metar);
        }

        const CWeatherSet set = WeatherSet(steps, metar, position);
        steps.Log(QStringLiteral("(WeatherManager) XPWind generated"));
        m_window->SendWindToXP(WeatherConverter::MakeXPlaneWind(set, aircraft));
    });
}
