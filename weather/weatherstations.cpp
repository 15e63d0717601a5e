#include "weather/weatherstations.h"

#include "platform/debugoutput.h"
#include "weather/wideformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <limits>

namespace aviation::weather {

namespace {

constexpr double kNearestAirportLimitNm = 1000.0;
constexpr double kFeetPerMetre = 3.28084;
constexpr std::size_t kMinStationLine = 49;
constexpr std::size_t kStationLineWithElevation = 54;

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f' || c == L'\v';
}

// The leading decimal integer of `text` after blanks, with an optional sign; 0 when there is none.
int LeadingInt(std::wstring_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - L'0'), std::numeric_limits<int>::max());
    return static_cast<int>(negative ? -value : value);
}

// The leading decimal number of `text` after blanks; 0.0 when there is none or it is not finite.
double LeadingDouble(std::wstring_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size() && text[i] == L'+')
        ++i;
    char buffer[64];
    std::size_t length = 0;
    for (; i < text.size() && length < sizeof(buffer); ++i) {
        const wchar_t c = text[i];
        if (!((c >= L'0' && c <= L'9') || c == L'.' || c == L'-' || c == L'+' || c == L'e' || c == L'E'))
            break;
        buffer[length++] = static_cast<char>(c);
    }
    double value = 0.0;
    const auto result = std::from_chars(buffer, buffer + length, value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

// Calls `line` for every non-empty piece of `text` between line feeds.
template<class LineFn> void ForEachLine(const std::wstring& text, LineFn line)
{
    const std::wstring_view all(text);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find(L'\n', start);
        if (end == std::wstring_view::npos)
            end = all.size();
        if (end > start)
            line(all.substr(start, end - start));
        start = end + 1;
    }
}

std::size_t CountLines(const std::wstring& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n')) + 1;
}

// Degrees and minutes in fixed columns and the hemisphere letter that makes the value positive.
double ColumnAngle(std::wstring_view line, std::size_t degreesAt, std::size_t degreesLength, wchar_t positive)
{
    const double value = LeadingInt(line.substr(degreesAt, degreesLength))
        + LeadingInt(line.substr(degreesAt + degreesLength, 2)) / 60.0;
    return line[degreesAt + degreesLength + 2] == positive ? value : -value;
}

// Copies the station data of the list entry that the index gives for the report's identifier.
bool CompleteFrom(const std::map<std::wstring, std::size_t>& index, const std::vector<CStation>& list, CStation& report)
{
    const auto found = index.find(report.GetICAO());
    if (found == index.end())
        return false;
    report.SetStation(list[found->second]);
    return true;
}

} // namespace

CWeatherStations::CWeatherStations()
    : m_idCounter(L"0000")
{
}

CWeatherStations::~CWeatherStations() = default;

void CWeatherStations::InitAirports(const std::wstring& text)
{
    platform::DebugOut(std::wstring(L"Start Split Metar Station\n"));
    if (text.empty())
        return;
    const std::size_t expected = m_airports.size() + CountLines(text);
    m_airports.reserve(expected);
    m_firstAirport.reserve(expected);
    ForEachLine(text, [this](std::wstring_view line) {
        CStation station;
        if (!ParseAirportLine(line, station))
            return;
        m_airportIndex[station.GetICAO()] = m_airports.size();
        AppendAirport(station);
    });
}

void CWeatherStations::InitWxStations(const std::wstring& text)
{
    platform::DebugOut(std::wstring(L"Start Split Weather Station\n"));
    if (text.empty())
        return;
    m_wxStations.reserve(m_wxStations.size() + CountLines(text));
    ForEachLine(text, [this](std::wstring_view line) {
        CStation station;
        if (!ParseStationLine(line, station))
            return;
        m_wxStationIndex[station.GetICAO()] = m_wxStations.size();
        m_wxStations.push_back(station);
    });
}

bool CWeatherStations::ParseAirportLine(std::wstring_view line, CStation& station)
{
    // The lists end their lines with CR LF and are split at LF: the CR must not reach the last field.
    if (!line.empty() && line.back() == L'\r')
        line.remove_suffix(1);
    if (line.empty() || line.find(L'#') != std::wstring_view::npos)
        return false;

    const std::size_t first = line.find(L';');
    if (first == std::wstring_view::npos)
        return false;
    std::size_t separator = line.find(L';', first + 1);
    if (separator == std::wstring_view::npos)
        return false;

    // A code ends at the first ';': "00C ;..." as the lists pad it, "00C;..." as a hand-made list writes it.
    station.SetICAO(std::wstring(line.substr(0, std::min<std::size_t>(4, first))));
    station.SetName(std::wstring(line.substr(first + 1, separator - first - 1)));

    // Each further field runs from the current ';' to the next one (or the end of the line).
    auto nextField = [&](std::wstring_view& field) {
        if (separator == std::wstring_view::npos)
            return false;
        const std::size_t start = separator + 1;
        separator = line.find(L';', start);
        field = line.substr(start, separator == std::wstring_view::npos ? std::wstring_view::npos : separator - start);
        return true;
    };

    std::wstring_view field;
    if (nextField(field))
        station.SetCountry(std::wstring(field));
    if (nextField(field))
        station.SetElevation(LeadingInt(field));
    double latitude = 0.0;
    double longitude = 0.0;
    if (nextField(field))
        latitude = LeadingDouble(field);
    if (nextField(field))
        longitude = LeadingDouble(field);
    station.SetPosition(aviation::Position(latitude, longitude));
    if (nextField(field))
        station.SetFS9Station(field == L"1");
    if (nextField(field))
        station.SetFSXStation(field == L"1");
    if (nextField(field))
        station.SetP3DStation(field == L"1");
    if (nextField(field))
        station.SetXPlaneStation(field == L"1");
    if (separator != std::wstring_view::npos)
        station.SetActive(line.substr(separator + 1) == L"1");
    return true;
}

bool CWeatherStations::ParseStationLine(std::wstring_view line, CStation& station)
{
    if (line.size() < kMinStationLine)
        return false;
    station.SetICAO(std::wstring(line.substr(0, 5)));
    station.SetName(std::wstring(line.substr(14, 19)));
    station.SetPosition(aviation::Position(ColumnAngle(line, 37, 2, L'N'), ColumnAngle(line, 43, 3, L'E')));
    if (line.size() >= kStationLineWithElevation)
        station.SetElevation(static_cast<int>(LeadingInt(line.substr(50, 4)) * kFeetPerMetre));
    return true;
}

bool CWeatherStations::CompleteFromAirport(CStation& report)
{
    return CompleteFrom(m_airportIndex, m_airports, report);
}

bool CWeatherStations::CompleteFromWxStation(CStation& report)
{
    return CompleteFrom(m_wxStationIndex, m_wxStations, report);
}

CStation CWeatherStations::GetAirport(const std::wstring& icao) const
{
    CStation station;
    FindAirport(icao, station);
    return station;
}

bool CWeatherStations::FindAirport(const std::wstring& icao, CStation& station) const
{
    const auto found = m_firstAirport.find(icao);
    if (found == m_firstAirport.end())
        return false;
    station = m_airports[found->second];
    return true;
}

CStation CWeatherStations::GetNearestAirport(const aviation::Position& position, int kind)
{
    const std::size_t nearest = m_airportPositions.FindNearest(position, kNearestAirportLimitNm, [&](std::size_t i) {
        const CStation& airport = m_airports[i];
        if (!airport.HasSimStation(kind))
            return std::numeric_limits<double>::quiet_NaN();
        return aviation::Position::GetDistance(position, airport.GetPosition());
    });
    return nearest == PositionIndex::kNone ? CStation() : m_airports[nearest];
}

void CWeatherStations::GetAirportsInRadius(const aviation::Position& position, int radius,
                                           std::vector<CStation>& stations, int kind)
{
    const double limit = static_cast<double>(radius);
    std::vector<std::uint32_t> candidates;
    m_airportPositions.Candidates(position, limit, candidates);
    for (const std::uint32_t i : candidates) {
        const CStation& airport = m_airports[i];
        if (aviation::Position::GetDistance(position, airport.GetPosition()) < limit && airport.HasSimStation(kind))
            stations.push_back(airport);
    }
}

void CWeatherStations::FilterStationsInRadius(const aviation::Position& position, int radius,
                                              const std::vector<CStation>& input, std::vector<CStation>& output,
                                              int kind)
{
    const double limit = static_cast<double>(radius);
    for (const CStation& station : input) {
        if (aviation::Position::GetDistance(position, station.GetPosition()) < limit && station.HasSimStation(kind))
            output.push_back(station);
    }
}

void CWeatherStations::AddAirport(const CStation& station)
{
    AppendAirport(station);
}

void CWeatherStations::AppendAirport(const CStation& station)
{
    m_firstAirport.emplace(station.GetICAO(), m_airports.size());
    m_airports.push_back(station);
    m_airportPositions.Add(station.GetPosition());
}

void CWeatherStations::MakeStation(CStation& station, const aviation::Position* position, std::wstring name,
                                   std::wstring icao)
{
    if (icao.empty() && m_idCounter.size() >= 4) {
        wchar_t letter = m_idCounter[0];
        if (letter < L'A' || letter > L'Z')
            letter = L'A';
        int number = LeadingInt(std::wstring_view(m_idCounter).substr(1, 3)) + 1;
        if (number > 999) {
            ++letter;
            number = 0;
        }
        m_idCounter = FormatWide(L"%lc%03i", static_cast<wint_t>(letter), number);
        station.SetICAO(m_idCounter);
    } else {
        station.SetICAO(icao);
    }

    const aviation::Position place = position ? position->GetPosition() : station.GetPosition();
    if (name.empty()) {
        wchar_t text[1024];
        if (std::swprintf(text, sizeof(text) / sizeof(text[0]), L"v %03.1f %04.1f", place.GetLatitude(),
                          place.GetLongitude())
            > 0)
            name = text;
    }
    station.SetName(name);
    station.SetPosition(place);
}

} // namespace aviation::weather
