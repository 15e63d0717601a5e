// Normal mode: the weather of every METAR station within the weather radius of the aircraft, of every simulator
// station in the radius without a report of its own, and of the global station "GLOB" at the aircraft, turned
// into simulator weather records and handed to the connection worker; or the weather of one ICAO alone.

#include "generation/generationguard.h"
#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "generation/stationweather.h"
#include "generation/weatherworker.h"
#include "settings/settings.h"

#include <stdexcept>
#include <unordered_set>
#include <vector>

using aviation::Position;
using aviation::structs::CAircraft;
using aviation::weather::CMetar;
using aviation::weather::CStation;
using aviation::weather::CWeatherManager;
using aviation::weather::CWeatherSet;

namespace {

constexpr double kFillLimitNm = 30.0;
constexpr double kGlobalLimitNm = 100.0;
// Station kinds of the simulator's station lists: the FS2004 list flag, and the FSX flag, which Prepar3D's list
// goes by too.
constexpr int kFS9Stations = 2;
constexpr int kFSXStations = 3;

class NormalModeRun
{
public:
    NormalModeRun(CWeatherWorker& worker, CMainWindowHost& window, const CAircraft& aircraft)
        : m_worker(worker)
        , m_window(window)
        , m_aircraft(aircraft)
        , m_position(aircraft.GetPosition())
        , m_steps(worker, window)
    {
    }

    void Run(const QString& icao)
    {
        const bool area = icao.isEmpty();
        m_steps.Log(QStringLiteral("(WeatherManager) Generating of FS Weather, position: %1, radius: %2NM")
                        .arg(CStationWeather::FixedPosition(m_position))
                        .arg(CSettings::GetWeatherRadius()));

        std::vector<CMetar> reports;
        if (area) {
            Model().GetMetarsInRadius(m_position, CSettings::GetWeatherRadius(), reports, false);
            m_steps.Log(QStringLiteral("(WeatherManager) Set FSWeather, metars found: %1").arg(reports.size()));
            m_steps.Log(QStringLiteral("(WeatherManager) Decoding Metars"));
            AddStationsWithoutWeather(reports);
        } else if (!SingleStation(icao, reports)) {
            return;
        }

        DecodeReports(reports);
        if (area)
            reports.insert(reports.begin(), GlobalStation());

        std::vector<CWeatherSet> sets;
        sets.reserve(reports.size());
        for (CMetar& report : reports) {
            m_steps.ToSimulatorIcao(report);
            const auto synop = m_steps.NearestSynop(report);
            sets.emplace_back(report, synop, m_steps.GridRecord(report));
        }
        m_steps.Log(QStringLiteral("(WeatherManager) FSWeather generated, stations: %1").arg(sets.size()));

        std::vector<CFSWeatherStation> records;
        records.reserve(sets.size());
        for (const CWeatherSet& set : sets)
            records.push_back(CStationWeather::MakeRecord(set, m_aircraft.magVar));
        m_window.SetWeather(records);
    }

private:
    CWeatherManager& Model() { return *m_worker.GetWeatherManager(); }

    // The stored report of the ICAO, or the weather the model gives a known airport; false when the ICAO is
    // unknown to both.
    bool SingleStation(const QString& icao, std::vector<CMetar>& reports)
    {
        CMetar metar;
        if (Model().GetMetar(icao.toStdWString(), metar)) {
            m_steps.Log(QStringLiteral("(WeatherManager) Set FSWeather: metar %1").arg(icao));
            m_steps.Log(QStringLiteral("(WeatherManager) Decoding Metars"));
            reports.push_back(metar);
            return true;
        }
        CStation station;
        if (Model().FindAirport(icao.toStdWString(), station)) {
            LogStationWithoutWeather(station);
            reports.push_back(FillStation(station));
            return true;
        }
        m_steps.Log(QStringLiteral("(WeatherManager) Metar not found %1").arg(icao));
        return false;
    }

    // The simulator's stations in the radius that no report of the list covers get the weather of their place.
    void AddStationsWithoutWeather(std::vector<CMetar>& reports)
    {
        m_steps.Log(QStringLiteral("(WeatherManager) Search Stations without Weather"));
        std::vector<CStation> stations;
        const int version = CSettings::GetFSVersion();
        if (version == 1 || version == 2 || version == 3 || version == 4) {
            Model().GetAirportsInRadius(m_position, CSettings::GetWeatherRadius(), stations,
                                        version <= 2 ? kFS9Stations : kFSXStations);
        }
        m_steps.Log(QStringLiteral("(WeatherManager) Stations without Weather founded: %1").arg(stations.size()));

        try {
            stations = WithoutReport(stations, reports);
        } catch (const std::out_of_range& error) {
            // The stations go on as far as the matching renamed them.
            Prompter().Ask({PromptKind::Warning,
                            QStringLiteral("Aerovane - Generate Weather Error"),
                            QString::fromLocal8Bit(error.what()),
                            {}});
        }
        for (const CStation& station : stations) {
            LogStationWithoutWeather(station);
            CMetar filled = FillStation(station);
            if (!filled.GetICAOString().empty())
                reports.push_back(std::move(filled));
        }
    }

    // The stations, under their substitute's ICAO where they have one, that no report has the ICAO of. The
    // substitutes are written into `stations` as the matching goes.
    std::vector<CStation> WithoutReport(std::vector<CStation>& stations, const std::vector<CMetar>& reports)
    {
        std::unordered_set<std::wstring> reported;
        for (const CMetar& report : reports)
            reported.insert(report.GetICAOString());
        std::vector<CStation> kept;
        for (std::size_t i = 0; i < stations.size(); ++i) {
            CStation& station = stations.at(i);
            m_steps.ToReportingIcao(station);
            if (reported.count(station.GetICAO()) == 0)
                kept.push_back(station);
        }
        return kept;
    }

    void LogStationWithoutWeather(const CStation& station)
    {
        m_steps.Log(QStringLiteral("(WeatherManager) Set station without weather : %1")
                        .arg(QString::fromWCharArray(station.GetICAO())));
    }

    // The weather the model gives the station's place; when it has none, the nearest report as it is, under its
    // own ICAO and position (without an ICAO when there is no report at all: the station is then left out).
    CMetar FillStation(const CStation& station)
    {
        CMetar metar;
        metar.SetStation(station);
        metar.SetTime(station.GetTime());
        if (m_steps.LookUp(station.GetPosition(), metar, kFillLimitNm, kFillLimitNm))
            return metar;
        m_steps.LogNoWeather(station.GetPosition());
        return Model().GetNearestMetar(station.GetPosition());
    }

    void DecodeReports(std::vector<CMetar>& reports)
    {
        const int count = static_cast<int>(reports.size());
        for (int i = 1; i <= count; ++i) {
            CMetar& report = reports[static_cast<std::size_t>(i - 1)];
            m_window.sigUIUpdateProgress(
                i * 100 / count,
                QStringLiteral("Decoding Metar %1, %2 from %3")
                    .arg(QString::fromStdWString(report.GetICAOString()), QString::number(i), QString::number(count)));
            if (m_steps.Decode(report, m_position) != 0)
                Model().RepairMetar(report);
        }
    }

    CMetar GlobalStation()
    {
        CMetar global;
        global.SetICAO(L"GLOB");
        if (Model().GetMetarForPosition(m_position, global, kGlobalLimitNm, kGlobalLimitNm) == 4) {
            m_worker.DownloadGribInGeneration(m_position);
            Model().GetMetarForPosition(m_position, global, kGlobalLimitNm, kGlobalLimitNm);
        }
        if (global.Decode() != 0)
            Model().RepairMetar(global);
        global.SetPosition(m_position);
        m_steps.Log(QStringLiteral("(WeatherManager) Set FSWeather, global metar: %1")
                        .arg(QString::fromStdWString(global.GetICAOString())));
        return global;
    }

    CWeatherWorker& m_worker;
    CMainWindowHost& m_window;
    const CAircraft m_aircraft;
    const Position m_position;
    CStationWeather m_steps;
};

} // namespace

void CWeatherWorker::GenerateFSWeather(const QString& icao)
{
    const OneGeneration generation(*this);
    if (!generation.Started())
        return;
    // The aircraft sample is taken as it is now: a download inside may let a newer sample arrive.
    const CAircraft aircraft = m_aircraft;
    RunGuarded(*m_window, "GenerateFSWeather", [&] {
        if (HasWeatherToGenerate(QStringLiteral("FSWeather")))
            NormalModeRun(*this, *m_window, aircraft).Run(icao);
    });
}
