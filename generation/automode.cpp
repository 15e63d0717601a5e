// Auto mode: a grid of points 40 NM apart over 400 x 400 NM around the aircraft; the stations near each point
// take their reports or the weather of their place, points without stations get a station of their own, and only
// what the worker's METAR list does not hold yet is sent, with the global station first and the flight plan's
// airports once more at the end.

#include "flightplan/flightplan.h"
#include "generation/generationguard.h"
#include "generation/mainwindowhost.h"
#include "generation/stationweather.h"
#include "generation/weatherworker.h"
#include "platform/clock.h"
#include "settings/settings.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_set>
#include <vector>

using aviation::Position;
using aviation::structs::CAircraft;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CWeatherManager;
using aviation::weather::CWeatherSet;

namespace {

constexpr int kStationSearchNm = 280;
constexpr int kGridHalfWidthNm = 200;
constexpr int kGridSpacingNm = 40;
constexpr int kMetarListReachNm = 300;
constexpr int kNearStationNm = 30;
constexpr double kReportForPointNm = 25.0;
constexpr double kCreatedLimitNm = 30.0;
constexpr double kNearLimitNm = 25.0;
// After the first run: points this near the aircraft are left out while it cruises above the altitude, and near
// stations this far away altogether.
constexpr double kCruiseSkipNm = 40.0;
constexpr int kCruiseAltitude = 20000;
constexpr double kFarStationNm = 200.0;
constexpr int kAnyStation = 0; // station kind: whatever simulator lists it

void MarkGenerated(CStation& station)
{
    station.SetGenerated(true);
    station.SetActive(true);
    station.SetFSXStation(true);
}

class AutoModeRun
{
public:
    // `repeatRun`: an earlier run has completed since the worker's METAR list was last cleared.
    AutoModeRun(CWeatherWorker& worker, CMainWindowHost& window, const CAircraft& aircraft, bool repeatRun)
        : m_worker(worker)
        , m_window(window)
        , m_aircraft(aircraft)
        , m_position(aircraft.GetPosition())
        , m_repeatRun(repeatRun)
        , m_version(CSettings::GetFSVersion())
        , m_interface(CSettings::GetInterfaceType())
        , m_createStations(CSettings::GetCreateNewWXStation())
        , m_steps(worker, window)
    {
    }

    std::vector<CFSWeatherStation> Run()
    {
        m_steps.Log(QStringLiteral("(WeatherManager) Generating of FS Weather Auto-Mode, position: %1")
                        .arg(CStationWeather::FixedPosition(m_position)));
        if (m_version != 9 && m_version != 10)
            Model().GetAirportsInRadius(m_position, kStationSearchNm, m_simStations, kAnyStation);
        const std::vector<Position> grid = m_worker.GenerateGrid(m_position, kGridHalfWidthNm, kGridSpacingNm);
        m_worker.FilterMetarList(m_position, kMetarListReachNm);

        CoverGrid(grid);
        if (!m_withoutReport.empty()) {
            const QString count = QLocale(QLocale::English, QLocale::UnitedStates)
                                      .toString(static_cast<qulonglong>(m_withoutReport.size()));
            m_steps.Log(QStringLiteral("(WeatherManager) %1 stations without a report").arg(count));
        }
        m_steps.Log(QStringLiteral("(WeatherManager) FS WX-Station generated"));
        if ((m_version == 3 || m_version == 4) && m_createStations)
            m_window.SendStationToFS(m_newStations);

        m_stations.insert(m_stations.begin(), GlobalStation());
        std::vector<CWeatherSet> sets = WeatherSets();
        RepeatFlightPlanAirports(sets);
        return Records(sets);
    }

private:
    CWeatherManager& Model() { return *m_worker.GetWeatherManager(); }
    bool StationsPerPoint() const { return m_interface == 2 || m_interface == 3 || m_interface == 4; }

    void CoverGrid(const std::vector<Position>& grid)
    {
        m_steps.Log(QStringLiteral("(WeatherManager) Generating FS WX-Station"));
        const qint64 count = static_cast<qint64>(grid.size());
        qint64 number = 1;
        for (const Position& point : grid) {
            m_window.sigUIProgressTextUpdate(QStringLiteral("Generating WX-Station %1 of %2").arg(number).arg(count));
            m_window.sigUIUpdateProgressBar(number, count);
            if (m_repeatRun && Position::GetDistance(point, m_position) < kCruiseSkipNm
                && m_aircraft.altitude > kCruiseAltitude) {
                continue;
            }
            const std::vector<CStation> near = NearStations(point);
            if (near.empty()) {
                if (StationsPerPoint() && !StationForPoint(point))
                    continue;
            } else {
                for (const CStation& station : near)
                    NearStation(station);
            }
            ++number;
        }
    }

    // The stations of the list nearer than 30 NM to the point, in list order. Stations well north or south of it
    // are passed over without measuring their distance.
    std::vector<CStation> NearStations(const Position& point) const
    {
        // A degree of latitude is about 60 NM; the margin keeps every station that can be within reach.
        constexpr double kNearLatitudeSpan = kNearStationNm / 55.0;
        std::vector<CStation> near;
        for (const CStation& station : m_simStations) {
            const Position& position = station.GetPosition();
            if (std::fabs(position.GetLatitude() - point.GetLatitude()) <= kNearLatitudeSpan
                && Position::GetDistance(point, position) < kNearStationNm) {
                near.push_back(station);
            }
        }
        return near;
    }

    // A point without stations takes the report within 25 NM or, when the setting allows, a new station with the
    // weather of its place; false when it gets none.
    bool StationForPoint(const Position& point)
    {
        const CMetar nearest = Model().GetNearestMetar(point);
        CMetar station;
        if (nearest.CStation::GetDistance(point, false) < kReportForPointNm) {
            station = nearest;
        } else if (m_createStations) {
            CStation made;
            Model().MakeStation(made, &point, std::wstring(), std::wstring());
            station.SetStation(made);
            station.SetTime(made.GetTime());
            if (!m_steps.LookUp(made.GetPosition(), station, kCreatedLimitNm, kCreatedLimitNm)) {
                m_steps.LogNoWeather(made.GetPosition());
                m_steps.LogNoWeather(nearest.GetPosition());
                return false;
            }
        } else {
            return false;
        }

        MarkGenerated(station);
        station.SetTime(platform::NowSeconds());
        m_newStations.push_back(station);
        Send(station);
        m_simStations.push_back(station);
        m_worker.AppendToMetarList(station);
        Model().AddAirport(station);
        return true;
    }

    void NearStation(CStation station)
    {
        if (m_repeatRun && station.GetDistance(m_position, false) > kFarStationNm)
            return;
        m_steps.ToReportingIcao(station);

        CMetar metar;
        if (!Model().FindMetar(station.GetICAO(), metar)) {
            m_withoutReport.insert(station.GetICAO());
            metar.SetStation(station);
            metar.SetTime(station.GetTime());
            if (!m_steps.LookUp(station.GetPosition(), metar, kNearLimitNm, kNearLimitNm)) {
                m_steps.LogNoWeather(station.GetPosition());
                m_steps.LogNoWeather(station.GetPosition());
                return;
            }
            metar.SetTime(platform::NowSeconds());
            MarkGenerated(metar);
        }

        // FSX and Prepar3D get the airports their own lists lack as new stations, once per grid point near them.
        if (StationsPerPoint() && (m_version == 3 || m_version == 4) && !station.IsFSXStation()
            && !station.IsP3DStation()) {
            MarkGenerated(metar);
            Send(metar);
            m_newStations.push_back(metar);
            m_worker.AppendToMetarList(metar);
        }

        // Only new weather is sent.
        const bool listed = m_listedIcaos.count(metar.GetICAO()) != 0;
        const std::wstring raw = metar.GetRaw();
        const std::vector<CMetar>& sent = m_worker.GetMetarList();
        const bool unchanged
            = std::any_of(sent.begin(), sent.end(), [&raw](const CMetar& entry) { return entry.GetRaw() == raw; });
        if (listed || unchanged)
            return;
        Send(metar);
        metar.SetTime(platform::NowSeconds());
        m_worker.AppendToMetarList(metar);
    }

    void Send(const CMetar& metar)
    {
        m_stations.push_back(metar);
        m_listedIcaos.insert(metar.GetICAO());
    }

    // The report nearest to the aircraft under the ICAO "GLOB", for every simulator.
    CMetar GlobalStation()
    {
        CMetar global = Model().GetNearestMetar(m_position);
        global.Decode();
        global.SetICAO(L"GLOB");
        const std::wstring raw = global.GetRaw();
        global.SetRaw(L"GLOB" + (raw.size() < 4 ? raw : raw.substr(4)));
        global.SetFS9Station(true);
        global.SetFSXStation(true);
        global.SetP3DStation(true);
        m_steps.Log(QStringLiteral("(WeatherManager) Set FSWeather, global metar: %1")
                        .arg(QString::fromStdWString(global.GetICAOString())));
        return global;
    }

    std::vector<CWeatherSet> WeatherSets()
    {
        m_steps.Log(QStringLiteral("(WeatherManager) Generating Weather"));
        std::vector<CWeatherSet> sets;
        const qint64 count = static_cast<qint64>(m_stations.size());
        qint64 number = 1;
        for (CMetar metar : m_stations) {
            m_window.sigUIProgressTextUpdate(QStringLiteral("Generating Weather %1 of %2").arg(number).arg(count));
            m_window.sigUIUpdateProgressBar(number, count);
            if (!metar.IsFSXStation() && !metar.IsP3DStation() && !metar.IsFS9Station() && !metar.IsXPlaneStation()
                && !metar.IsGenerated()) {
                m_steps.Log(QStringLiteral("(WeatherManager) %1, no FS weather station")
                                .arg(QString::fromStdWString(metar.GetICAOString())));
                continue;
            }
            m_steps.ToSimulatorIcao(metar);
            metar.Decode();
            const auto synop = m_steps.NearestSynop(metar);
            if (metar.GetPosition() == Position()) {
                m_steps.Log(QStringLiteral("(WeatherManager) - Station Error Pos = 0,0 - %1")
                                .arg(QString::fromStdWString(metar.GetICAOString())));
            }
            sets.emplace_back(metar, synop, m_steps.GridRecord(metar));
            m_icaos.push_back(metar.GetICAOString());
            ++number;
        }
        m_steps.Log(QStringLiteral("(WeatherManager) FSWeather generated, stations: %1").arg(sets.size()));
        return sets;
    }

    // The departure, destination and alternate airports go once more at the end, in that order.
    void RepeatFlightPlanAirports(std::vector<CWeatherSet>& sets)
    {
        aviation::CFlightplan plan;
        m_window.GetFlightPlan(plan);
        const std::wstring idents[]
            = {plan.departure.GetIdent(), plan.destination.GetIdent(), plan.alternate.GetIdent()};
        const std::size_t count = sets.size();
        for (std::size_t i = 0; i < count; ++i) {
            for (const std::wstring& ident : idents) {
                if (m_icaos[i] == ident)
                    sets.push_back(sets[i]);
            }
        }
    }

    std::vector<CFSWeatherStation> Records(const std::vector<CWeatherSet>& sets)
    {
        std::vector<CFSWeatherStation> records;
        records.reserve(sets.size());
        const qint64 count = static_cast<qint64>(sets.size());
        for (qint64 number = 1; number <= count; ++number) {
            m_window.sigUIProgressTextUpdate(QStringLiteral("Convert Weather %1 of %2").arg(number).arg(count));
            m_window.sigUIUpdateProgressBar(number, count);
            records.push_back(
                CStationWeather::MakeRecord(sets[static_cast<std::size_t>(number - 1)], m_aircraft.magVar));
        }
        return records;
    }

    CWeatherWorker& m_worker;
    CMainWindowHost& m_window;
    const CAircraft m_aircraft;
    const Position m_position;
    const bool m_repeatRun;
    const int m_version;
    const int m_interface;
    const bool m_createStations;
    CStationWeather m_steps;

    std::vector<CStation> m_simStations; // every station within 280 NM, and those made on the way
    std::vector<CStation> m_newStations; // made here, or missing in the simulator's list
    std::vector<CMetar> m_stations; // to be sent, in order
    std::unordered_set<std::wstring> m_listedIcaos; // the ICAOs of m_stations
    std::vector<std::wstring> m_icaos; // the ICAO of each weather set
    std::unordered_set<std::wstring> m_withoutReport; // the stations near a point that have no report of their own
};

} // namespace

void CWeatherWorker::GenerateFSWeatherAutoMode()
{
    const OneGeneration generation(*this);
    if (!generation.Started())
        return;
    RunGuarded(*m_window, "GenerateFSWeatherAutoMode", [this] {
        if (!m_window->IsConnected() || !HasWeatherToGenerate(QStringLiteral("AutoMode")))
            return;
        // The aircraft sample is taken as it is now: a download inside may let a newer sample arrive.
        const CAircraft aircraft = m_aircraft;
        const std::vector<CFSWeatherStation> records = AutoModeRun(*this, *m_window, aircraft, m_autoModeList).Run();
        m_window->SetWeather(records);
        m_autoModeList = true;
    });
}
