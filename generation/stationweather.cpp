#include "generation/stationweather.h"

#include "generation/extendedmetar.h"
#include "generation/mainwindowhost.h"
#include "generation/newweatherbuilder.h"
#include "generation/weatherworker.h"

using aviation::Position;
using aviation::weather::CGrib;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CSynop;
using aviation::weather::CWeatherSet;

namespace {

// The model's answers: weather produced, and nothing near the position to produce it from.
constexpr int kWeatherFound = 1;
constexpr int kNothingNear = 4;
constexpr int kLookUps = 6;

// The log line of a report that failed to decode: the station's ICAO, the decoder's error text and the report.
QString DecodeErrorLine(const CMetar& station, const std::wstring& error, const std::wstring& report)
{
    return QStringLiteral("(WeatherManager) %1, %2, %3")
        .arg(QString::fromStdWString(station.GetICAOString()), QString::fromStdWString(error),
             QString::fromStdWString(report));
}

} // namespace

CStationWeather::CStationWeather(CWeatherWorker& worker, CMainWindowHost& window)
    : m_worker(worker)
    , m_window(window)
{
    for (const auto& entry : worker.GetIcaoSubstitutes())
        m_toSimulator.emplace_back(entry.second.first.toStdWString(), entry.second.second.toStdWString());
}

bool CStationWeather::LookUp(const Position& position, CMetar& metar, double metarLimit, double synopLimit)
{
    for (int attempt = 0; attempt < kLookUps; ++attempt) {
        const int answer = m_worker.GetWeatherManager()->GetMetarForPosition(position, metar, metarLimit, synopLimit);
        if (answer == kWeatherFound)
            return true;
        if (answer == kNothingNear)
            m_worker.DownloadGribInGeneration(position);
    }
    return false;
}

int CStationWeather::Decode(CMetar& metar, const Position& aircraft)
{
    metar.SetDistance(metar.CStation::GetDistance(aircraft, false));
    if (metar.IsDecoded())
        return 0;
    const int code = metar.Decode();
    if (code != 0)
        Log(DecodeErrorLine(metar, metar.GetErrorTexts(code), metar.GetRaw()));
    return code;
}

CSynop CStationWeather::NearestSynop(const CMetar& metar)
{
    CSynop synop;
    m_worker.GetWeatherManager()->FindNearestSynop(metar.GetPosition(), synop);
    const int code = synop.Decode();
    if (code != 0)
        Log(DecodeErrorLine(metar, CSynop::GetErrorText(code), synop.GetRaw()));
    return synop;
}

CGrib CStationWeather::GridRecord(const CMetar& metar)
{
    const Position position = metar.GetPosition();
    if (!m_worker.GetWeatherManager()->HasGribNear(position) && m_worker.GetWeatherSource() == WeatherDataLive
        && !m_worker.DownloadGribInGeneration(position)) {
        CGrib standard;
        standard.SetStandardAtmosphere(metar.GetWind(), metar.GetTemperature(), metar.GetDewPoint(),
                                       metar.GetQNH(true));
        return standard;
    }

    const CGrib nearest = m_worker.GetWeatherManager()->GetNearestGrib(position);
    if (nearest.IsStandardAtmosphere())
        return nearest;
    const auto decoded = m_decodedGrids.find(nearest.GetRaw());
    if (decoded != m_decodedGrids.end())
        return decoded->second;
    CGrib grib = nearest;
    if (!grib.Decode(false))
        Log(QString::fromStdWString(grib.GetErrorText()));
    m_decodedGrids.emplace(grib.GetRaw(), grib);
    return grib;
}

void CStationWeather::ToSimulatorIcao(CStation& station) const
{
    for (const auto& [reporting, simulator] : m_toSimulator) {
        if (station.GetICAO() == reporting)
            station.SetICAO(simulator);
    }
}

void CStationWeather::ToReportingIcao(CStation& station) const
{
    const CWeatherWorker::IcaoSubstitutes& substitutes = m_worker.GetIcaoSubstitutes();
    const auto substitute = substitutes.find(QString::fromWCharArray(station.GetICAO()));
    if (substitute != substitutes.end())
        station.SetICAO(substitute->second.first.toStdWString());
}

CFSWeatherStation CStationWeather::MakeRecord(const CWeatherSet& set, float magVar)
{
    CFSWeatherStation record;
    aviation::weather::SetNewWeather(set, record.block, magVar);
    record.text = aviation::weather::MakeExtendedMetar(set, record.block);
    return record;
}

void CStationWeather::LogNoWeather(const Position& position)
{
    Log(QStringLiteral("No weather founded for Pos: %1,%2")
            .arg(QString::number(position.GetLatitude()), QString::number(position.GetLongitude())));
}

void CStationWeather::Log(const QString& text)
{
    m_window.sigUIDebugString(text, 0);
}

QString CStationWeather::FixedPosition(const Position& position)
{
    return QStringLiteral("%1, %2").arg(position.GetLatitude(), 0, 'f', 2).arg(position.GetLongitude(), 0, 'f', 2);
}
