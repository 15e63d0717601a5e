#include "weather/gribmanager.h"

#include "platform/debugoutput.h"
#include "weather/busymark.h"
#include "weather/position.h"
#include "weather/textconversion.h"
#include "weather/wideformat.h"

#include <algorithm>
#include <cstdint>

namespace aviation::weather {

namespace {

constexpr double kNearestLimitKm = 500.0;
constexpr double kCloseNm = 20.0;
constexpr double kNearNm = 100.0;
constexpr int kProgressEvery = 11;

// The seconds since 1970 in the (up to) ten digits after "TIME:".
std::int64_t HeadingTime(const std::wstring& line)
{
    const size_t at = line.find(L"TIME:");
    if (at == std::wstring::npos)
        return 0;
    std::int64_t seconds = 0;
    for (size_t i = at + 5; i < line.size() && i < at + 15; ++i) {
        if (line[i] < L'0' || line[i] > L'9')
            break;
        seconds = seconds * 10 + (line[i] - L'0');
    }
    return seconds;
}

} // namespace

void CGribManager::InitWindData(const wchar_t* text, bool clearFirst)
{
    InitWindData(std::wstring(text ? text : L""), clearFirst);
}

void CGribManager::InitWindData(const std::wstring& text, bool clearFirst)
{
    BusyMark busy(*this);
    if (clearFirst) {
        m_index.clear();
        m_records.clear();
    }
    const wchar_t* const startText = L"Initalize wind data";
    if (!sigGribProgress.empty())
        sigGribProgress(1, startText);
    platform::DebugOut(std::wstring(startText) + L"\n");

    std::vector<std::wstring> lines;
    SplitWString(text, L'\n', lines);
    const int count = static_cast<int>(lines.size());
    if (clearFirst)
        m_records.reserve(lines.size());

    std::int64_t fileTime = 0;
    size_t first = 0;
    if (!lines.empty() && lines[0].size() > 1 && lines[0].find(L'#') != std::wstring::npos) {
        // A heading line: the server's refusal ("# Error ...") or the time the grid is valid for.
        if (lines[0].find(L"Error") != std::wstring::npos) {
            Report(lines[0]);
            return;
        }
        first = 1;
        fileTime = HeadingTime(lines[0]);
    }

    int index = 1;
    for (size_t i = first; i < lines.size(); ++i) {
        if (!lines[i].empty()) {
            CGrib record(lines[i], false);
            if (!record.Decode(true)) {
                Report(record.GetErrorText());
                continue;
            }
            record.SetTime(fileTime);
            if (!IsCurrent(record) && !HasGribAt(record.GetPosition()))
                AddGrib(record);
        }
        if (!sigGribProgress.empty() && index % kProgressEvery == 1)
            sigGribProgress(static_cast<int>(index * 100.0 / count),
                            FormatWide(L"Initialize of wind data %i from %i", index, count).c_str());
        ++index;
    }
}

void CGribManager::AddGrib(const CGrib& record)
{
    const auto found = m_index.find(record.GetLocationKey());
    if (found != m_index.end()) {
        m_records[static_cast<size_t>(found->second)] = record;
        return;
    }
    m_records.push_back(record);
    m_index[record.GetLocationKey()] = static_cast<int>(m_records.size()) - 1;
}

void CGribManager::Clear()
{
    BusyMark busy(*this);
    m_records.clear();
    m_index.clear();
}

CGrib CGribManager::GetNearestGrib(const Position& position)
{
    const CGrib* nearest = Nearest(position);
    return nearest ? *nearest : CGrib();
}

bool CGribManager::FindNearestGrib(const Position& position, CGrib& record)
{
    const CGrib* nearest = Nearest(position);
    if (!nearest)
        return false;
    record = *nearest;
    return true;
}

const CGrib* CGribManager::Nearest(const Position& position)
{
    BusyMark busy(*this);
    double best = kNearestLimitKm;
    const CGrib* nearest = nullptr;
    for (const CGrib& candidate : m_records) {
        const double distance = candidate.GetDistance(position, true);
        if (distance < best) {
            best = distance;
            nearest = &candidate;
        }
    }
    return nearest;
}

bool CGribManager::GetGribsWithin(const Position& position, std::vector<CGrib>& records)
{
    BusyMark busy(*this);
    for (const CGrib& candidate : m_records) {
        if (candidate.GetDistance(position, true) < kNearestLimitKm)
            records.push_back(candidate);
    }
    return true;
}

bool CGribManager::HasGribNear(const Position& position)
{
    BusyMark busy(*this);
    double best = kNearestLimitKm;
    for (const CGrib& candidate : m_records) {
        const double distance = candidate.GetDistance(position, false);
        best = std::min(best, distance);
        if (distance < kCloseNm)
            return true;
    }
    return best <= kNearNm;
}

bool CGribManager::HasGribAt(const Position& position)
{
    BusyMark busy(*this);
    return std::any_of(m_records.begin(), m_records.end(),
                       [&](const CGrib& record) { return record.GetPosition() == position; });
}

bool CGribManager::IsCurrent(const CGrib& record)
{
    BusyMark busy(*this);
    const auto found = m_index.find(record.GetLocationKey());
    if (found == m_index.end())
        return false;
    return m_records[static_cast<size_t>(found->second)].GetTime() >= record.GetTime();
}

std::wstring CGribManager::GetAllRaw() const
{
    std::wstring raw;
    for (const CGrib& record : m_records)
        raw += record.GetRaw() + L"\n";
    return raw;
}

} // namespace aviation::weather
