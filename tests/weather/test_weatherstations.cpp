#include "platform/debugoutput.h"
#include "weather/positionindex.h"
#include "weather/resourcetextstore.h"
#include "weather/weatherstations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using aviation::Position;
using aviation::weather::CStation;
using aviation::weather::CWeatherStations;
using aviation::weather::PositionIndex;

namespace {

// Counts of the embedded lists as the converter in tools/stationlists printed them.
constexpr std::size_t kEmbeddedAirports = 20870;
constexpr std::size_t kEmbeddedAirportsWithMetar = 5673;
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

TEST(WeatherStations, ParsesAirportLineWithThreeLetterIdent)
{
    CStation station;
    ASSERT_TRUE(CWeatherStations::ParseAirportLine(kAnimas, station));
    EXPECT_EQ(std::wstring(L"00C "), station.GetICAO());
    EXPECT_EQ(L"Animas, Durango, CO", station.GetName());
    EXPECT_EQ(L"United States", station.GetCountry());
    EXPECT_EQ(6683, station.GetElevation());
    EXPECT_DOUBLE_EQ(37.2032, station.GetPosition().GetLatitude());
    EXPECT_DOUBLE_EQ(-107.869, station.GetPosition().GetLongitude());
    EXPECT_FALSE(station.IsFS9Station() || station.IsFSXStation() || station.IsP3DStation());
    EXPECT_FALSE(station.IsXPlaneStation());
    EXPECT_TRUE(station.IsActive());
}

TEST(WeatherStations, ReadsActiveFlagOfCrLfLines)
{
    CStation station;
    ASSERT_TRUE(CWeatherStations::ParseAirportLine(std::wstring(kAnimas) + L"\r", station));
    EXPECT_TRUE(station.IsActive());

    CWeatherStations stations;
    stations.InitAirports(
        L"# icao;name;country;elev;lat;lon;fs9_station;fsx_station;p3d_station;xplane_station;active\r\n"
        L"EDDF;Frankfurt;Germany;364;50.03;8.57;1;1;0;0;1\r\n");
    const CStation frankfurt = stations.GetAirport(L"EDDF");
    EXPECT_TRUE(frankfurt.IsActive());
    EXPECT_TRUE(frankfurt.IsFS9Station() && frankfurt.IsFSXStation());
}

TEST(WeatherStations, RefusesEmptyCommentedAndShortAirportLines)
{
    CStation station;
    EXPECT_FALSE(CWeatherStations::ParseAirportLine(L"", station));
    EXPECT_FALSE(CWeatherStations::ParseAirportLine(L"#EDDF;Frankfurt;Germany;364;50.03;8.57;1;1;0;0;1", station));
    EXPECT_FALSE(
        CWeatherStations::ParseAirportLine(L"KXYZ;Hangar #1 Heliport;United States;10;40;-74;0;0;0;0;1", station));
    EXPECT_FALSE(CWeatherStations::ParseAirportLine(L"EDDF;Frankfurt", station));

    // Fields that are missing keep the defaults of a new station.
    CStation partial;
    ASSERT_TRUE(CWeatherStations::ParseAirportLine(L"LOWW;Wien;Austria", partial));
    EXPECT_EQ(L"Wien", partial.GetName());
    EXPECT_EQ(L"Austria", partial.GetCountry());
    EXPECT_EQ(0, partial.GetElevation());
    EXPECT_FALSE(partial.IsActive());

    // A coordinate that is not a number is read as 0.
    CStation garbage;
    ASSERT_TRUE(CWeatherStations::ParseAirportLine(L"LOWW;Wien;Austria;600;north;16.57;0;0;0;0;1", garbage));
    EXPECT_EQ(0.0, garbage.GetPosition().GetLatitude());
    EXPECT_DOUBLE_EQ(16.57, garbage.GetPosition().GetLongitude());

    CWeatherStations stations;
    stations.InitAirports(L"EDDF;Frankfurt;Germany;364;50.03;8.57;1;1;0;0;1\n\n\n"
                          L"#EDDM;Muenchen;Germany;1487;48.35;11.79;1;1;0;0;1\n"
                          L"LOWW;Wien;Austria;600;48.11;16.57;1;1;0;0;1");
    EXPECT_EQ(2u, stations.GetAirportList().size());
}

TEST(WeatherStations, ParsesWmoStationColumns)
{
    CStation station;
    ASSERT_TRUE(CWeatherStations::ParseStationLine(kJanMayen, station));
    EXPECT_EQ(std::wstring(L"01001"), station.GetICAO());
    EXPECT_EQ(L"JAN MAYEN(NOR-NAVY)", station.GetName());
    EXPECT_EQ(L"unknow", station.GetCountry());
    EXPECT_NEAR(70.9333, station.GetPosition().GetLatitude(), 1e-4);
    EXPECT_NEAR(-8.6667, station.GetPosition().GetLongitude(), 1e-4);
    EXPECT_EQ(29, station.GetElevation());

    // Without the elevation columns the station stands at 0 ft; a line of 48 characters is no station.
    const std::wstring full(kJanMayen);
    for (std::size_t length = 50; length <= 53; ++length) {
        CStation shortLine;
        ASSERT_TRUE(CWeatherStations::ParseStationLine(full.substr(0, length), shortLine)) << length;
        EXPECT_EQ(0, shortLine.GetElevation()) << length;
        EXPECT_NEAR(-8.6667, shortLine.GetPosition().GetLongitude(), 1e-4);
    }
    CStation tooShort;
    EXPECT_FALSE(CWeatherStations::ParseStationLine(full.substr(0, 48), tooShort));
    EXPECT_TRUE(CWeatherStations::ParseStationLine(full.substr(0, 49), tooShort));

    // Southern and eastern hemispheres, and an elevation below sea level.
    CStation south;
    ASSERT_TRUE(CWeatherStations::ParseStationLine(L"403060        Dead Sea            IL 3129S 03523E -350", south));
    EXPECT_NEAR(-31.4833, south.GetPosition().GetLatitude(), 1e-4);
    EXPECT_NEAR(35.3833, south.GetPosition().GetLongitude(), 1e-4);
    EXPECT_EQ(-1148, south.GetElevation());
}

TEST(WeatherStations, CompletesReportsFromLastLineAndFindsFirstLine)
{
    CWeatherStations stations;
    stations.InitAirports(L"EDDF;Frankfurt Old;Germany;300;50.0;8.5;0;0;0;0;1\r\n"
                          L"EDDF;Frankfurt Main;Germany;364;50.03;8.57;1;1;0;0;1\r\n");
    stations.InitWxStations(std::wstring(kJanMayen) + L"\r\n");
    EXPECT_EQ(2u, stations.GetAirportList().size());

    CStation report;
    report.SetICAO(L"EDDF");
    report.SetTime(123456);
    ASSERT_TRUE(stations.CompleteFromAirport(report));
    EXPECT_EQ(L"Frankfurt Main", report.GetName());
    EXPECT_EQ(364, report.GetElevation());
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

TEST(WeatherStations, SecondLoadAppendsAndMovesIndex)
{
    CWeatherStations stations;
    stations.InitAirports(L"EDDF;First;Germany;1;50.0;8.5;0;0;0;0;1\n");
    stations.InitAirports(L"EDDF;Second;Germany;2;50.0;8.5;0;0;0;0;1\n");
    EXPECT_EQ(2u, stations.GetAirportList().size());
    CStation report;
    report.SetICAO(L"EDDF");
    ASSERT_TRUE(stations.CompleteFromAirport(report));
    EXPECT_EQ(L"Second", report.GetName());
}

TEST(WeatherStations, FindsNearestAirportWithFilterAndTies)
{
    CWeatherStations stations;
    stations.InitAirports(AirportLine(L"AAAA", 50.0, 9.0) + L"\r\n" + AirportLine(L"BBBB", 50.0, 7.0, true) + L"\r\n"
                          + AirportLine(L"CCCC", 50.0, 8.4) + L"\r\n");
    const Position between(50.0, 8.0);
    // AAAA and BBBB are equally far from the meridian 8 E, CCCC nearer.
    EXPECT_EQ(std::wstring(L"CCCC"), stations.GetNearestAirport(between, 0).GetICAO());
    EXPECT_EQ(std::wstring(L"BBBB"), stations.GetNearestAirport(between, 2).GetICAO());
    EXPECT_EQ(std::wstring(), stations.GetNearestAirport(between, 5).GetICAO());
    EXPECT_EQ(std::wstring(), stations.GetNearestAirport(between, 9).GetICAO());

    CWeatherStations ties;
    ties.InitAirports(AirportLine(L"EAST", 50.0, 9.0) + L"\n" + AirportLine(L"WEST", 50.0, 7.0) + L"\n");
    EXPECT_EQ(std::wstring(L"EAST"), ties.GetNearestAirport(between, 0).GetICAO());

    // Farther than 1000 NM from every airport: a default station.
    EXPECT_EQ(std::wstring(), stations.GetNearestAirport(Position(-40.0, -60.0), 0).GetICAO());
}

TEST(WeatherStations, ListsAirportsStrictlyInsideRadius)
{
    CWeatherStations stations;
    stations.InitAirports(AirportLine(L"NEAR", 50.0, 8.1) + L"\n" + AirportLine(L"EDGE", 51.0, 8.0, true) + L"\n"
                          + AirportLine(L"FARR", 53.0, 8.0) + L"\n");
    const Position center(50.0, 8.0);
    const double edge = Position::GetDistance(center, Position(51.0, 8.0));

    std::vector<CStation> found(1);
    stations.GetAirportsInRadius(center, static_cast<int>(std::ceil(edge)), found, 0);
    ASSERT_EQ(3u, found.size()); // the out list is not cleared
    EXPECT_EQ(std::wstring(L"NEAR"), found[1].GetICAO());
    EXPECT_EQ(std::wstring(L"EDGE"), found[2].GetICAO());

    std::vector<CStation> fs9;
    stations.GetAirportsInRadius(center, 1000, fs9, 2);
    ASSERT_EQ(1u, fs9.size());
    EXPECT_EQ(std::wstring(L"EDGE"), fs9[0].GetICAO());

    // The airport limit is strict: radius 0 leaves out an airport at the centre itself.
    std::vector<CStation> none;
    stations.GetAirportsInRadius(Position(50.0, 8.1), 0, none, 0);
    EXPECT_TRUE(none.empty());

    std::vector<CStation> filtered;
    CWeatherStations::FilterStationsInRadius(center, 60, stations.GetAirportList(), filtered, 0);
    ASSERT_EQ(1u, filtered.size());
    EXPECT_EQ(std::wstring(L"NEAR"), filtered[0].GetICAO());
}

TEST(WeatherStations, MakesVirtualStationsInSequence)
{
    CWeatherStations stations;
    const Position place(5.0, 8.0);
    CStation station;
    stations.MakeStation(station, &place, L"", L"");
    EXPECT_EQ(std::wstring(L"A001"), station.GetICAO());
    EXPECT_EQ(L"v 5.0 08.0", station.GetName());
    EXPECT_EQ(place, station.GetPosition());

    CStation named;
    stations.MakeStation(named, &place, L"Grid 5/8", L"GRD1");
    EXPECT_EQ(std::wstring(L"GRD1"), named.GetICAO());
    EXPECT_EQ(L"Grid 5/8", named.GetName());

    std::wstring last;
    for (int i = 2; i <= 999; ++i) {
        CStation next;
        stations.MakeStation(next, &place, L"x", L"");
        last = next.GetICAO();
    }
    EXPECT_EQ(L"A999", last);
    CStation b;
    stations.MakeStation(b, &place, L"x", L"");
    EXPECT_EQ(std::wstring(L"B000"), b.GetICAO());

    // After Z999 comes the character after Z, then A001 again.
    for (int i = 0; i < 25 * 1000 - 1; ++i) {
        CStation next;
        stations.MakeStation(next, &place, L"x", L"");
        last = next.GetICAO();
    }
    EXPECT_EQ(L"Z999", last);
    CStation afterZ;
    stations.MakeStation(afterZ, &place, L"x", L"");
    EXPECT_EQ(std::wstring(L"[000"), afterZ.GetICAO());
    CStation again;
    stations.MakeStation(again, &place, L"x", L"");
    EXPECT_EQ(std::wstring(L"A001"), again.GetICAO());
}

TEST(WeatherStations, AddedAirportsAreFoundByScanNotByIndex)
{
    CWeatherStations stations;
    CStation generated;
    const Position place(47.0, 11.0);
    stations.MakeStation(generated, &place, L"", L"");
    generated.SetGenerated(true);
    stations.AddAirport(generated);

    EXPECT_EQ(std::wstring(L"A001"), stations.GetAirport(L"A001").GetICAO());
    EXPECT_EQ(std::wstring(L"A001"), stations.GetNearestAirport(Position(47.1, 11.0), 6).GetICAO());
    CStation report;
    report.SetICAO(L"A001");
    EXPECT_FALSE(stations.CompleteFromAirport(report));
}

TEST(WeatherStations, WritesLoadLinesToDebugOutput)
{
    platform::ScopedDebugCapture capture;
    CWeatherStations stations;
    stations.InitAirports(L"");
    stations.InitWxStations(kJanMayen);
    EXPECT_TRUE(capture.Contains("Start Split Metar Station\n"));
    EXPECT_TRUE(capture.Contains("Start Split Weather Station\n"));
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

    CStation janMayen;
    janMayen.SetICAO(L"01001");
    ASSERT_TRUE(stations.CompleteFromWxStation(janMayen));
    EXPECT_NEAR(70.9333, janMayen.GetPosition().GetLatitude(), 1e-4);
    EXPECT_EQ(32, janMayen.GetElevation()); // 10 m

    CStation frankfurtWmo;
    frankfurtWmo.SetICAO(L"10637");
    ASSERT_TRUE(stations.CompleteFromWxStation(frankfurtWmo));
    EXPECT_EQ(L"Frankfurt / M-Flugh", frankfurtWmo.GetName());
    CStation lastWmo;
    lastWmo.SetICAO(L"99999");
    EXPECT_FALSE(stations.CompleteFromWxStation(lastWmo));
    ASSERT_TRUE(ResourceTextStore::LoadStations());
    std::size_t lines = 0;
    for (const QChar c : ResourceTextStore::GetStationText())
        lines += c == QLatin1Char('\n');
    EXPECT_EQ(kEmbeddedWxStations, lines + 1);
}

TEST(WeatherStations, IndexedSearchesEqualPlainScans)
{
    CWeatherStations& embedded = EmbeddedDatabase();
    std::vector<CStation> list = embedded.GetAirportList();

    // A second database with awkward extra stations: poles, the antimeridian, out-of-range coordinates.
    CWeatherStations stations;
    std::wstring text;
    for (const CStation& airport : list) {
        wchar_t line[200];
        std::swprintf(line, 200, L"%ls;n;c;0;%.9f;%.9f;%d;%d;0;0;1", airport.GetICAO(),
                      airport.GetPosition().GetLatitude(), airport.GetPosition().GetLongitude(),
                      airport.IsFS9Station() ? 1 : 0, airport.IsFSXStation() ? 1 : 0);
        text += line;
        text += L"\n";
    }
    stations.InitAirports(text);
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
    list = stations.GetAirportList();

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
