#include "platform/debugoutput.h"
#include "weather/positionindex.h"
#include "weather/resourcetextstore.h"
#include "weather/weatherstations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CStation;
using aviation::weather::CWeatherStations;
using aviation::weather::PositionIndex;

namespace {

// Counts of the embedded lists as the converter in tools/stationlists printed them.
constexpr std::size_t kEmbeddedAirports = 32015;
constexpr std::size_t kEmbeddedAirportsWithMetar = 5871;
constexpr std::size_t kEmbeddedWxStations = 11548;

const wchar_t* const kAnimas = L"00C ;Animas, Durango, CO;United States;6683;37.2032000;-107.869000000;0;0;0;0;1";
const wchar_t* const kJanMayen = L"010010 ENJA   JAN MAYEN(NOR-NAVY) NO 7056N 00840W 0009";

std::wstring AirportLine(const std::wstring& icao, double latitude, double longitude, bool fs9 = false)
{
    wchar_t line[160];
    std::swprintf(line, 160, L"%ls;Field %ls;Testland;100;%.6f;%.6f;%d;0;0;0;1", icao.c_str(), icao.c_str(), latitude,
                  longitude, fs9 ? 1 : 0);
    return line;
}

// A station's fields on one line: "ICAO|name|country|elevation|lat|lon|<fs9 fsx p3d xplane flags>[ active]".
std::wstring Summary(const CStation& station)
{
    std::wostringstream out;
    out << station.GetICAO() << L"|" << station.GetName() << L"|" << station.GetCountry() << L"|"
        << station.GetElevation() << L"|" << station.GetPosition().GetLatitude() << L"|"
        << station.GetPosition().GetLongitude() << L"|" << station.IsFS9Station() << station.IsFSXStation()
        << station.IsP3DStation() << station.IsXPlaneStation() << (station.IsActive() ? L" active" : L"");
    return out.str();
}

// The summary of the station a parser reads from the line, or "refused".
std::wstring Parsed(bool (*parse)(std::wstring_view, CStation&), const std::wstring& line)
{
    CStation station;
    return parse(line, station) ? Summary(station) : L"refused";
}

// The ICAO codes of a list, blank-separated.
std::wstring Joined(const std::vector<CStation>& stations)
{
    std::wstring text;
    for (const CStation& station : stations)
        text += (&station == &stations.front() ? L"" : L" ") + std::wstring(station.GetICAO());
    return text;
}

// The embedded lists, loaded once for the whole suite.
CWeatherStations& EmbeddedDatabase()
{
    static CWeatherStations* database = [] {
        auto* stations = new CWeatherStations();
        ResourceTextStore::LoadAirports();
        ResourceTextStore::LoadStations();
        stations->InitAirports(ResourceTextStore::GetAirportText().toStdWString());
        stations->InitWxStations(ResourceTextStore::GetStationText().toStdWString());
        return stations;
    }();
    return *database;
}

// The searches as plain scans over the whole list, the behaviour the index must reproduce.
CStation ScanNearest(const std::vector<CStation>& list, const Position& position, int kind)
{
    double best = 1000.0;
    CStation result;
    for (const CStation& station : list) {
        const double d = Position::GetDistance(position, station.GetPosition());
        if (d < best && station.HasSimStation(kind)) {
            result = station;
            best = d;
        }
    }
    return result;
}

std::vector<std::wstring> Icaos(const std::vector<CStation>& stations)
{
    std::vector<std::wstring> icaos;
    for (const CStation& station : stations)
        icaos.push_back(station.GetICAO() + std::wstring(L"@") + std::to_wstring(station.GetPosition().GetLatitude()));
    return icaos;
}

} // namespace

TEST(WeatherStations, ParsesAirportLines)
{
    // A trailing CR must not hide the active flag; missing fields keep a new station's defaults, and a coordinate
    // that is not a number reads as 0.
    const std::pair<std::wstring, const wchar_t*> cases[] = {
        {kAnimas, L"00C |Animas, Durango, CO|United States|6683|37.2032|-107.869|0000 active"},
        {kAnimas + std::wstring(L"\r"), L"00C |Animas, Durango, CO|United States|6683|37.2032|-107.869|0000 active"},
        {L"EDDF;Frankfurt;Germany;364;50.03;8.57;1;1;0;0;1\r", L"EDDF|Frankfurt|Germany|364|50.03|8.57|1100 active"},
        {L"LOWW;Wien;Austria", L"LOWW|Wien|Austria|0|0|0|0000"},
        {L"07C;Home Strip;United States;620;41.25;-85.11;0;1;0;0;1",
         L"07C|Home Strip|United States|620|41.25|-85.11|0100 active"},
        {L"LOWW;Wien;Austria;600;north;16.57;0;0;0;0;1", L"LOWW|Wien|Austria|600|0|16.57|0000 active"},
        {L"", L"refused"},
        {L"#EDDF;Frankfurt;Germany;364;50.03;8.57;1;1;0;0;1", L"refused"},
        {L"KXYZ;Hangar #1 Heliport;United States;10;40;-74;0;0;0;0;1", L"refused"},
        {L"EDDF;Frankfurt", L"refused"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Parsed(CWeatherStations::ParseAirportLine, line), expected) << std::string(line.begin(), line.end());
}

TEST(WeatherStations, ParsesWmoStationColumns)
{
    // Without the elevation columns the station stands at 0 ft; a line of 48 characters is no station.
    const std::wstring janMayen(kJanMayen);
    const std::pair<std::wstring, const wchar_t*> cases[] = {
        {janMayen, L"01001|JAN MAYEN(NOR-NAVY)|unknow|29|70.9333|-8.66667|0000"},
        {janMayen.substr(0, 53), L"01001|JAN MAYEN(NOR-NAVY)|unknow|0|70.9333|-8.66667|0000"},
        {janMayen.substr(0, 50), L"01001|JAN MAYEN(NOR-NAVY)|unknow|0|70.9333|-8.66667|0000"},
        {janMayen.substr(0, 49), L"01001|JAN MAYEN(NOR-NAVY)|unknow|0|70.9333|-8.66667|0000"},
        {janMayen.substr(0, 48), L"refused"},
        {L"403060        Dead Sea            IL 3129S 03523E -350",
         L"40306|Dead Sea           |unknow|-1148|-31.4833|35.3833|0000"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Parsed(CWeatherStations::ParseStationLine, line), expected) << std::string(line.begin(), line.end());
}

TEST(WeatherStations, CompletesReportsFromLastLineAndFindsFirstLine)
{
    platform::ScopedDebugCapture capture;
    CWeatherStations stations;
    stations.InitAirports(L"# icao;name;country;elev;lat;lon;fs9_station;fsx_station;p3d_station;xplane_station;active"
                          L"\r\nEDDF;Frankfurt Old;Germany;300;50.0;8.5;0;0;0;0;1\r\n\n\n"
                          L"#EDDM;Muenchen;Germany;1487;48.35;11.79;1;1;0;0;1\n");
    stations.InitAirports(L"EDDF;Frankfurt Main;Germany;364;50.03;8.57;1;1;0;0;1\r\n");
    stations.InitWxStations(std::wstring(kJanMayen) + L"\r\n");
    EXPECT_EQ(2u, stations.GetAirportList().size());
    EXPECT_TRUE(capture.Contains("Start Split Metar Station\n"));
    EXPECT_TRUE(capture.Contains("Start Split Weather Station\n"));

    CStation report;
    report.SetICAO(L"EDDF");
    report.SetTime(123456);
    ASSERT_TRUE(stations.CompleteFromAirport(report));
    EXPECT_EQ(L"EDDF|Frankfurt Main|Germany|364|50.03|8.57|1100 active", Summary(report));
    EXPECT_EQ(123456, report.GetTime());
    EXPECT_EQ(L"Frankfurt Old", stations.GetAirport(L"EDDF").GetName());

    CStation found;
    found.SetName(L"untouched");
    EXPECT_FALSE(stations.FindAirport(L"EDD", found));
    EXPECT_FALSE(stations.FindAirport(L"EDDF ", found));
    EXPECT_EQ(L"untouched", found.GetName());
    ASSERT_TRUE(stations.FindAirport(L"EDDF", found));
    EXPECT_EQ(L"Frankfurt Old", found.GetName());
    EXPECT_EQ(std::wstring(), stations.GetAirport(L"KJFK").GetICAO());

    CStation unknown;
    unknown.SetICAO(L"KJFK");
    EXPECT_FALSE(stations.CompleteFromAirport(unknown));
    EXPECT_EQ(L"unknow", unknown.GetName());

    CStation synop;
    synop.SetICAO(L"01001");
    ASSERT_TRUE(stations.CompleteFromWxStation(synop));
    EXPECT_EQ(L"JAN MAYEN(NOR-NAVY)", synop.GetName());
    EXPECT_FALSE(stations.CompleteFromAirport(synop));
}

TEST(WeatherStations, FindsNearestAirportAndListsAirportsStrictlyInsideRadius)
{
    CWeatherStations stations;
    stations.InitAirports(AirportLine(L"AAAA", 50.0, 9.0) + L"\r\n" + AirportLine(L"BBBB", 50.0, 7.0, true) + L"\r\n"
                          + AirportLine(L"CCCC", 50.0, 8.4) + L"\r\n" + AirportLine(L"EDGE", 51.0, 8.0, true));
    const Position center(50.0, 8.0);
    // AAAA and BBBB are equally far from the meridian 8 E, CCCC nearer; of equals the first listed wins.
    EXPECT_EQ(std::wstring(L"CCCC"), stations.GetNearestAirport(center, 0).GetICAO());
    EXPECT_EQ(std::wstring(L"BBBB"), stations.GetNearestAirport(center, 2).GetICAO());
    EXPECT_EQ(std::wstring(), stations.GetNearestAirport(center, 5).GetICAO());
    EXPECT_EQ(std::wstring(), stations.GetNearestAirport(center, 9).GetICAO());
    EXPECT_EQ(std::wstring(), stations.GetNearestAirport(Position(-40.0, -60.0), 0).GetICAO()); // beyond 1000 NM
    CWeatherStations ties;
    ties.InitAirports(AirportLine(L"EAST", 50.0, 9.0) + L"\n" + AirportLine(L"WEST", 50.0, 7.0) + L"\n");
    EXPECT_EQ(std::wstring(L"EAST"), ties.GetNearestAirport(center, 0).GetICAO());

    // The out list is not cleared; the limit is strict, so radius 0 leaves out an airport at the centre itself.
    const int edge = static_cast<int>(std::ceil(Position::GetDistance(center, Position(51.0, 8.0))));
    std::vector<CStation> found(1);
    stations.GetAirportsInRadius(center, edge, found, 0);
    EXPECT_EQ(L" AAAA BBBB CCCC EDGE", Joined(found));
    std::vector<CStation> fs9;
    stations.GetAirportsInRadius(center, 1000, fs9, 2);
    EXPECT_EQ(L"BBBB EDGE", Joined(fs9));
    std::vector<CStation> none;
    stations.GetAirportsInRadius(Position(50.0, 8.4), 0, none, 0);
    EXPECT_TRUE(none.empty());
    std::vector<CStation> filtered;
    CWeatherStations::FilterStationsInRadius(center, 30, stations.GetAirportList(), filtered, 0);
    EXPECT_EQ(L"CCCC", Joined(filtered));
}

TEST(WeatherStations, MakesVirtualStationsInSequenceFoundByScanOnly)
{
    CWeatherStations stations;
    const Position place(5.0, 8.0);
    CStation first;
    stations.MakeStation(first, &place, L"", L"");
    EXPECT_EQ(L"A001|v 5.0 08.0|unknow|0|5|8|0000", Summary(first));
    // An added station is found by the searches but never completes a report.
    first.SetGenerated(true);
    stations.AddAirport(first);
    EXPECT_EQ(std::wstring(L"A001"), stations.GetAirport(L"A001").GetICAO());
    EXPECT_EQ(std::wstring(L"A001"), stations.GetNearestAirport(Position(5.1, 8.0), 6).GetICAO());
    CStation report;
    report.SetICAO(L"A001");
    EXPECT_FALSE(stations.CompleteFromAirport(report));

    CStation named;
    stations.MakeStation(named, &place, L"Grid 5/8", L"GRD1");
    EXPECT_EQ(L"GRD1|Grid 5/8|unknow|0|5|8|0000", Summary(named));

    const auto next = [&stations, &place] {
        CStation station;
        stations.MakeStation(station, &place, L"x", L"");
        return std::wstring(station.GetICAO());
    };
    for (int i = 2; i < 999; ++i)
        next();
    EXPECT_EQ(L"A999", next());
    EXPECT_EQ(L"B000", next());
    // After Z999 comes the character after Z, then A001 again.
    for (int i = 0; i < 25 * 1000 - 2; ++i)
        next();
    EXPECT_EQ(L"Z999", next());
    EXPECT_EQ(L"[000", next());
    EXPECT_EQ(L"A001", next());
}

TEST(ResourceTextStore, LoadsEmbeddedListsOnRequest)
{
    ResourceTextStore::Release();
    EXPECT_TRUE(ResourceTextStore::GetAirportText().isEmpty());
    EXPECT_TRUE(ResourceTextStore::GetStationText().isEmpty());

    ASSERT_TRUE(ResourceTextStore::LoadStations());
    const QString stations = ResourceTextStore::GetStationText();
    EXPECT_TRUE(stations.startsWith(QStringLiteral("000000 PABL")));
    EXPECT_TRUE(stations.contains(QStringLiteral("010010 ENJA   Jan Mayen           NO 7056N 00840W 0010\r\n")));
    EXPECT_TRUE(ResourceTextStore::GetAirportText().isEmpty());

    ASSERT_TRUE(ResourceTextStore::LoadAirports());
    EXPECT_TRUE(ResourceTextStore::GetAirportText().startsWith(QStringLiteral("# icao;name;country;elev;lat;lon;")));
    EXPECT_TRUE(ResourceTextStore::GetAirportText().endsWith(QStringLiteral("\r\n")));

    ResourceTextStore::Release();
    ResourceTextStore::Release();
    EXPECT_TRUE(ResourceTextStore::GetStationText().isEmpty());
}

TEST(ResourceTextStore, EmbeddedListsFillTheDatabase)
{
    CWeatherStations& stations = EmbeddedDatabase();
    const std::vector<CStation> airports = stations.GetAirportList();
    EXPECT_EQ(kEmbeddedAirports, airports.size());
    std::size_t active = 0;
    std::size_t fs9 = 0;
    std::size_t fsx = 0;
    for (const CStation& airport : airports) {
        // Names are spelt out in ASCII; a "?" is only one that the airport data writes ("Closed?").
        const std::wstring& name = airport.GetName();
        EXPECT_TRUE(name.find(L'?') == std::wstring::npos || name.find(L"(Closed?)") != std::wstring::npos) << name;
        active += airport.IsActive();
        fs9 += airport.IsFS9Station();
        fsx += airport.IsFSXStation();
        EXPECT_FALSE(airport.IsP3DStation() || airport.IsXPlaneStation()) << airport.GetICAO();
    }
    EXPECT_EQ(kEmbeddedAirports, active);
    EXPECT_EQ(kEmbeddedAirportsWithMetar, fs9);
    EXPECT_EQ(kEmbeddedAirportsWithMetar, fsx);

    const CStation frankfurt = stations.GetAirport(L"EDDF");
    EXPECT_EQ(L"Germany", frankfurt.GetCountry());
    EXPECT_NEAR(50.03, frankfurt.GetPosition().GetLatitude(), 0.01);
    EXPECT_TRUE(frankfurt.IsFS9Station());
    EXPECT_EQ(L"Total RF Heliport", stations.GetAirport(L"00A ").GetName());
    // Airports under the codes their METARs carry ("K" + FAA identifier), and names with letters beyond ASCII.
    const std::pair<const wchar_t*, const wchar_t*> named[] = {
        {L"KU69", L"Duchesne Municipal Airport"},
        {L"KX21", L"Arthur Dunn Air Park"},
        {L"KPO1", L"Poplar Muni Airport"},
        {L"BIEG", L"Egilsstadir Airport"},
        {L"KSEA", L"Seattle-Tacoma International Airport"},
        {L"DAUO", L"Guemar Airport"},
    };
    for (const auto& [icao, name] : named)
        EXPECT_EQ(name, stations.GetAirport(icao).GetName()) << icao;

    const auto wmo = [&stations](const wchar_t* number) {
        CStation station;
        station.SetICAO(number);
        return stations.CompleteFromWxStation(station) ? Summary(station) : std::wstring();
    };
    EXPECT_EQ(L"01001|Jan Mayen          |unknow|32|70.9333|-8.66667|0000", wmo(L"01001")); // 10 m
    EXPECT_EQ(L"10637|Frankfurt / M-Flugh|unknow|364|50.05|8.6|0000", wmo(L"10637"));
    EXPECT_EQ(L"", wmo(L"99999"));
    ASSERT_TRUE(ResourceTextStore::LoadStations());
    std::size_t lines = 0;
    for (const QChar c : ResourceTextStore::GetStationText())
        lines += c == QLatin1Char('\n');
    EXPECT_EQ(kEmbeddedWxStations, lines + 1);
}

TEST(WeatherStations, IndexedSearchesEqualPlainScans)
{
    // A second database with awkward extra stations: poles, the antimeridian, out-of-range coordinates.
    CWeatherStations stations;
    ASSERT_TRUE(ResourceTextStore::LoadAirports());
    stations.InitAirports(ResourceTextStore::GetAirportText().toStdWString());
    const Position extras[] = {{90.0, 0.0},     {-90.0, 45.0},  {89.9, 179.0}, {0.0, 180.0},  {0.0, -180.0},
                               {10.0, 190.0},   {95.0, 10.0},   {-20.0, -540}, {50.0, 8.57},  {50.0, 8.57},
                               {64.0, -179.99}, {64.0, 179.99}, {0.0, 0.0},    {-89.99, 0.0}, {33.0, 400.0}};
    for (const Position& extra : extras) {
        CStation station;
        const Position place = extra;
        stations.MakeStation(station, &place, L"", L"");
        station.SetFS9Station(true);
        stations.AddAirport(station);
    }
    const std::vector<CStation> list = stations.GetAirportList();

    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> latitude(-90.0, 90.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    std::vector<Position> queries(std::begin(extras), std::end(extras));
    for (int i = 0; i < 150; ++i)
        queries.emplace_back(latitude(random), longitude(random));
    for (const CStation& airport : list) // right on top of stations: zero distances and ties
        if (queries.size() < 220 && airport.GetICAO()[0] == L'L')
            queries.push_back(airport.GetPosition());
    queries.emplace_back(std::numeric_limits<double>::quiet_NaN(), 0.0);

    const int radii[] = {0, 1, 25, 100, 400, 3000, 6000, 20000, -5};
    const int kinds[] = {0, 2, 3, 5};
    for (std::size_t q = 0; q < queries.size(); ++q) {
        const Position& query = queries[q];
        for (const int kind : kinds) {
            EXPECT_EQ(std::wstring(ScanNearest(list, query, kind).GetICAO()),
                      std::wstring(stations.GetNearestAirport(query, kind).GetICAO()))
                << q << " kind " << kind;
        }
        const int radius = radii[q % (sizeof(radii) / sizeof(radii[0]))];
        std::vector<CStation> indexed;
        stations.GetAirportsInRadius(query, radius, indexed, 0);
        std::vector<CStation> scanned;
        CWeatherStations::FilterStationsInRadius(query, radius, list, scanned, 0);
        EXPECT_EQ(Icaos(scanned), Icaos(indexed)) << q << " radius " << radius;
    }
}

TEST(PositionIndex, CandidatesHoldEveryPositionWithinRadius)
{
    PositionIndex index;
    std::vector<Position> positions;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> latitude(-90.0, 90.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    for (int i = 0; i < 3000; ++i)
        positions.emplace_back(latitude(random), longitude(random));
    positions.emplace_back(std::numeric_limits<double>::infinity(), 0.0);
    positions.emplace_back(45.0, 200.0);
    for (const Position& position : positions)
        index.Add(position);
    EXPECT_EQ(positions.size(), index.GetCount());

    std::vector<std::uint32_t> candidates;
    for (int q = 0; q < 300; ++q) {
        const Position center(q < 10 ? 90.0 - q : latitude(random), longitude(random));
        const double radius = 10.0 + q * 8.0;
        index.Candidates(center, radius, candidates);
        ASSERT_TRUE(std::is_sorted(candidates.begin(), candidates.end()));
        std::vector<std::uint32_t> inside;
        for (std::uint32_t i = 0; i < positions.size(); ++i)
            if (Position::GetDistance(center, positions[i]) <= radius)
                inside.push_back(i);
        EXPECT_TRUE(std::includes(candidates.begin(), candidates.end(), inside.begin(), inside.end())) << q;
        EXPECT_LT(candidates.size(), positions.size()) << q;
    }
}
