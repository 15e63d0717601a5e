#include "weather/metarmanager.h"

#include "platform/debugoutput.h"
#include "weather/busymark.h"
#include "weather/textconversion.h"
#include "weather/weatherstations.h"
#include "weather/wideformat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace aviation::weather {

namespace {

constexpr std::size_t kReservedRecords = 4000;
constexpr double kNearestLimitNm = 3000.0;
constexpr double kDonorLimitNm = 100.0;
constexpr int kProgressEvery = 11;
constexpr int kStaleIndex = -1;
constexpr int kHighestVisibility = 9999;
constexpr long long kHighestCloudHeightFt = 99900;
constexpr int kNegativeCloudHeightFt = 500;
// The highest speed a two-digit wind group can write.
constexpr int kHighestWindKt = 99;

const wchar_t* const kMissingGroups = L"//// // //////";
const wchar_t* const kMissingClouds = L"// //////";
constexpr std::size_t kMissingVisibilityLength = 4;
constexpr std::size_t kMissingCloudsLength = 9;

} // namespace

CMetarManager::CMetarManager() = default;

CMetarManager::~CMetarManager() = default;

void CMetarManager::InitMetar(const wchar_t* text, bool clearFirst)
{
    InitMetar(std::wstring(text ? text : L""), clearFirst);
}

void CMetarManager::InitMetar(const std::wstring& text, bool clearFirst)
{
    BusyMark busy(*this);
    if (clearFirst) {
        m_records.clear();
        m_index.clear();
        m_positions.Clear();
        if (m_records.capacity() < kReservedRecords)
            m_records.reserve(kReservedRecords);
    }
    const wchar_t* const startText = L"Initialize of metar data";
    if (!sigMetarProgress.empty())
        sigMetarProgress(1, startText);
    platform::DebugOut(std::wstring(startText) + L"\n");

    std::vector<std::wstring> lines;
    SplitWString(text, L'\n', lines);
    lines.erase(std::remove_if(lines.begin(), lines.end(), IsNoReport), lines.end());
    const int count = static_cast<int>(lines.size());
    for (int i = 1; i <= count; ++i) {
        CMetar record(lines[i - 1]);
        AddMetar(record, true);
        if (!sigMetarProgress.empty() && i % kProgressEvery == 1)
            sigMetarProgress(static_cast<int>(100LL * i / count),
                             FormatWide(L"Initialize of metar data %i from %i", i, count).c_str());
    }
}

bool CMetarManager::AddMetar(CMetar& report, bool complete)
{
    BusyMark busy(*this);
    if (complete && m_owner)
        m_owner->CompleteFromAirport(report);
    m_records.push_back(report);
    m_positions.Add(report.GetPosition());
    m_index[report.GetICAO()] = static_cast<int>(m_records.size());
    return true;
}

void CMetarManager::Clear()
{
    BusyMark busy(*this);
    m_records.clear();
    m_positions.Clear();
    // The entries must not point into the list that is filled next; they stay as "gone" marks.
    for (auto& entry : m_index)
        entry.second = kStaleIndex;
}

std::wstring CMetarManager::GetAllRaw() const
{
    std::wstring all;
    for (const CMetar& record : m_records) {
        all += record.GetRaw();
        all += L'\n';
    }
    return all;
}

bool CMetarManager::GetMetar(const std::wstring& icao, CMetar& out)
{
    BusyMark busy(*this);
    const auto found = m_index.find(icao);
    if (found == m_index.end() || found->second == 0) {
        Report(L"Metar " + icao + L" not found");
        return false;
    }
    return FindMetar(icao, out);
}

bool CMetarManager::FindMetar(const std::wstring& icao, CMetar& out) const
{
    const auto found = m_index.find(icao);
    // Not stored, a mark left by Clear, or an entry whose record is not the one of this ICAO.
    if (found == m_index.end() || found->second < 1 || static_cast<std::size_t>(found->second) > m_records.size())
        return false;
    const CMetar& record = m_records[found->second - 1];
    if (icao != record.GetICAO())
        return false;
    out = record;
    return true;
}

CMetar CMetarManager::GetNearestMetar(const aviation::Position& position)
{
    BusyMark busy(*this);
    const std::size_t nearest = m_positions.FindNearest(
        position, kNearestLimitNm, [&](std::size_t i) { return m_records[i].GetDistance(position, false); });
    CMetar result = nearest == PositionIndex::kNone ? CMetar() : m_records[nearest];
    if (result.Decode() != 0)
        RepairMetar(result);
    return result;
}

bool CMetarManager::GetMetarsInRadius(const aviation::Position& position, int radius, std::vector<CMetar>& out,
                                      bool decode)
{
    BusyMark busy(*this);
    const double limit = static_cast<double>(radius);
    std::vector<std::uint32_t> candidates;
    m_positions.Candidates(position, limit, candidates);
    for (const std::uint32_t i : candidates) {
        CMetar& record = m_records[i];
        if (!(aviation::Position::GetDistance(position, record.GetPosition()) <= limit))
            continue;
        if (decode && record.Decode() != 0)
            RepairMetar(record);
        out.push_back(record);
    }
    return true;
}

CMetar CMetarManager::FindDonor(const aviation::Position& position)
{
    std::vector<std::uint32_t> candidates;
    m_positions.Candidates(position, kDonorLimitNm, candidates);
    double best = kDonorLimitNm;
    const CMetar* donor = nullptr;
    for (const std::uint32_t i : candidates) {
        CMetar& record = m_records[i];
        const double d = record.GetDistance(position, false);
        if (d < best && record.Decode() == 0) {
            donor = &record;
            best = d;
        }
    }
    return donor ? CMetar(*donor) : CMetar();
}

CMetar CMetarManager::FindWindDonor(const aviation::Position& position)
{
    const std::size_t nearest = m_positions.FindNearest(position, kNearestLimitNm, [&](std::size_t i) {
        CMetar& record = m_records[i];
        record.Decode();
        return record.HasWind() ? record.GetDistance(position, false) : std::nan("");
    });
    return nearest == PositionIndex::kNone ? CMetar() : m_records[nearest];
}

bool CMetarManager::RepairWind(CMetar& report)
{
    Report(L"(MetarManager) - " + CMetar::GetErrorText(5) + L": " + report.GetRaw());
    const CMetar donor = FindWindDonor(report.GetPosition());
    if (!donor.IsDecoded() || !donor.HasWind())
        return false;
    // Written as a wind group in knots, where the report's own stands or should stand.
    const CWind wind = donor.GetWind();
    std::wstring group = FormatWide(L"%03d%02d", std::clamp(static_cast<int>(wind.direction), 0, 360),
                                    std::clamp(static_cast<int>(wind.speed), 0, kHighestWindKt));
    if (wind.gust > wind.speed)
        group += FormatWide(L"G%02d", std::clamp(static_cast<int>(wind.gust), 0, kHighestWindKt));
    group += L"KT";
    const CMetar::TextSpan unread = report.GetUnreadWind();
    std::wstring raw = report.GetRaw();
    if (unread.offset > raw.size())
        return false;
    // A group of its own, with a blank on each side where a group stands beside it: the place may follow a group
    // that ends the report without a blank ("EGLL 071019Z COR" becomes "EGLL 071019Z COR 24015G25KT").
    const std::size_t end = std::min(unread.offset + unread.length, raw.size());
    if (end < raw.size() && !IsBlank(raw[end]))
        group += L' ';
    if (unread.offset > 0 && !IsBlank(raw[unread.offset - 1]))
        group.insert(0, 1, L' ');
    raw.replace(unread.offset, unread.length, group);
    report.SetRaw(raw);
    report.Decode();
    Report(L"(MetarManager) - Repair Metar: " + report.GetRaw());
    return true;
}

bool CMetarManager::RepairMetar(CMetar& report)
{
    int code = report.Decode();
    if (code == 0)
        return true;
    if (!report.HasWind() && RepairWind(report))
        code = report.Decode();

    if (code == 6) {
        Report(L"(MetarManager) - " + CMetar::GetErrorText(6) + L": " + report.GetRaw());
        const CMetar donor = FindDonor(report.GetPosition());
        std::wstring raw = report.GetRaw();
        const std::size_t at = raw.find(kMissingGroups);
        if (at != std::wstring::npos) {
            // Four digits, as the visibility group is written: 800 m is "0800".
            raw.replace(at, kMissingVisibilityLength,
                        FormatWide(L"%04d", std::clamp(donor.GetVisibility(), 0, kHighestVisibility)));
            report.SetRaw(raw);
            report.Decode();
            Report(L"(MetarManager) - Repair Metar: " + report.GetRaw());
        }
    }

    code = report.Decode();
    if (code != 7)
        return true;
    Report(L"(MetarManager) - " + CMetar::GetErrorText(7) + L": " + report.GetRaw());
    const CMetar donor = FindDonor(report.GetPosition());
    std::wstring clouds;
    for (const CCloudLayer& layer : donor.GetCloudLayers()) {
        // A clear layer has no group to write.
        if (layer.GetCoverage() < 1 || layer.GetCoverage() > 8)
            return false;
        long long height = static_cast<long long>(layer.GetBase()) + donor.GetElevation() - report.GetElevation();
        if (height < 0)
            height = kNegativeCloudHeightFt;
        CCloudLayer shifted(layer);
        shifted.SetBase(static_cast<int>(std::min(height, kHighestCloudHeightFt)));
        clouds += shifted.GetMetarGroup() + L' ';
    }
    std::wstring raw = report.GetRaw();
    const std::size_t at = raw.find(kMissingClouds);
    if (at != std::wstring::npos) {
        raw.replace(at, kMissingCloudsLength, clouds);
        report.SetRaw(raw);
        report.Decode();
        Report(L"(MetarManager) - Repair Metar: " + report.GetRaw());
    }
    return true;
}

} // namespace aviation::weather
