// Fixture of the weather generation tests: the worker fixture's loopback weather server and folders, a worker on
// an airport list of the test's own around Frankfurt, weather loaded from texts, and a host that keeps what the
// generation hands over.
#pragma once

#include "flightplan/flightplan.h"
#include "weatherworkertest.h"

#include <functional>
#include <memory>
#include <vector>

class GenerationHost : public FakeWindowHost
{
public:
    void SetWeather(const std::vector<CFSWeatherStation>& stations) override
    {
        FakeWindowHost::SetWeather(stations);
        if (failure)
            failure();
        weather = stations;
    }
    void SendWindToXP(const CXPWeather& record) override
    {
        FakeWindowHost::SendWindToXP(record);
        wind = record;
    }
    void SendStationToFS(const std::vector<aviation::weather::CStation>& stations) override
    {
        FakeWindowHost::SendStationToFS(stations);
        newStations = stations;
    }
    void GetFlightPlan(aviation::CFlightplan& out) override
    {
        FakeWindowHost::GetFlightPlan(out);
        out = plan;
    }

    // The ICAO each record's text starts with, in order.
    QStringList Icaos() const
    {
        QStringList icaos;
        for (const CFSWeatherStation& record : weather)
            icaos << record.text.left(4);
        return icaos;
    }

    std::function<void()> failure; // run inside SetWeather, before the records are kept
    std::vector<CFSWeatherStation> weather;
    CXPWeather wind;
    std::vector<aviation::weather::CStation> newStations;
    aviation::CFlightplan plan;
};

// Airports within 30 NM of Frankfurt (EDFE and EDFZ with no report of their own below), Munich 165 NM away, and a
// station in mid-Atlantic far from any report.
constexpr const char* kAirports = "#ICAO;Name;Country;Elevation;Lat;Lon;FS9;FSX;P3D;XPlane;Active\n"
                                  "EDDF;Frankfurt Main Airport;Germany;364;50.026706;8.558350;1;1;0;0;1\n"
                                  "ETOU;Wiesbaden Army Airfield;Germany;461;50.049801;8.325400;1;1;0;0;1\n"
                                  "EDFE;Frankfurt-Egelsbach Airport;Germany;384;49.960000;8.643043;0;1;0;0;1\n"
                                  "EDFZ;Mainz-Finthen Airfield;Germany;760;49.967499;8.147222;0;1;0;0;1\n"
                                  "EDDM;Munich Airport;Germany;1487;48.353802;11.786100;1;1;0;0;1\n"
                                  "ZZOC;Ocean Station;Atlantic;0;45.0;-30.0;0;1;0;0;1\n";
constexpr const char* kMetars = "EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG\n"
                                "ETOU 221856Z 25010KT 9999 FEW045 13/06 A3009 RMK AO2\n"
                                "EDDM 221850Z 25012KT 9999 FEW040 13/06 Q1018 NOSIG\n";

class GenerationTest : public WeatherWorkerTest
{
protected:
    void TearDown() override
    {
        m_generator.reset();
        WeatherWorkerTest::TearDown();
    }

    // A worker on the airport list with the reports and grid text loaded; the host's record of the load is
    // cleared.
    CWeatherWorker& Start(const char* airports = kAirports, const char* metars = kMetars,
                          const QString& grid = QString::fromLatin1(kFrankfurtGrid))
    {
        WriteFile(ProgramFile(QStringLiteral("airportlist.txt")), airports);
        m_generator = std::make_unique<CWeatherWorker>(&m_gen);
        m_generator->LoadWeatherFromText(QString::fromLatin1(metars), QString(), grid);
        m_gen.Clear();
        return *m_generator;
    }

    void PutAircraft(double latitude, double longitude, int altitude = 3000)
    {
        aviation::structs::CAircraft aircraft;
        aircraft.SetLatitude(latitude);
        aircraft.SetLongitude(longitude);
        aircraft.altitude = altitude;
        m_generator->SetAircraft(aircraft);
    }

    GenerationHost m_gen;
    std::unique_ptr<CWeatherWorker> m_generator;
};
