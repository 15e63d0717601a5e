#include "weather/synopmanager.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "weather/busymark.h"
#include "weather/textconversion.h"
#include "weather/weatherstations.h"
#include "weather/wideformat.h"

#include <algorithm>

namespace aviation {
namespace weather {

namespace {

// Progress is signalled for reports 1, 12, 23 and so on.
constexpr int kProgressEvery = 11;

} // namespace

void CSynopManager::DebugTimer::Print() const
{
    const double elapsed = static_cast<double>(platform::MonotonicMs() - start) / 1000.0;
    const std::wstring line = FormatWide(L"Timer: %i took %f \n", id, elapsed);
    if (!line.empty())
        platform::DebugOut(line);
}

std::vector<std::wstring> CSynopManager::SplitReports(const std::wstring& text)
{
    // A line that begins with "[" is a section marker, such as the "[/SYNOP]" line among the reports of a file
    // with a doubled end marker: it goes before the text is cut, up to its line feed but never past an "=", so
    // that it joins no two reports into one.
    std::wstring reports;
    reports.reserve(text.size());
    bool lineStart = true;
    bool inMarker = false;
    for (const wchar_t c : text) {
        if (lineStart && c == L'[')
            inMarker = true;
        if (c == L'\n' || c == L'=')
            inMarker = false;
        lineStart = c == L'\n';
        if (!inMarker)
            reports += c;
    }
    std::vector<std::wstring> pieces;
    SplitWString(reports, L'=', pieces);
    for (std::wstring& piece : pieces) {
        std::size_t kept = 0;
        for (const wchar_t c : piece) {
            if (c != L'\r' && c != L'\n')
                piece[kept++] = c;
        }
        piece.resize(kept);
    }
    // A blank piece (what follows the last report's "=" and line feed) or one that begins with "[" is no report.
    pieces.erase(std::remove_if(pieces.begin(), pieces.end(), IsNoReport), pieces.end());
    return pieces;
}

CSynopManager::CSynopManager() = default;

CSynopManager::~CSynopManager() = default;

bool CSynopManager::AddSynop(CSynop& synop, bool complete)
{
    BusyMark busy(*this);
    // A ship is placed by its own header, and its identifier is a longitude group ("10015" is 1.5 degrees
    // east) that may equal a station number of the list: only reports without a position are completed.
    const bool placed = !(synop.GetPosition() == aviation::Position(0.0, 0.0));
    if (complete && m_owner && !placed)
        m_owner->CompleteFromWxStation(synop);
    m_synops.push_back(synop);
    m_positions.Add(synop.GetPosition());
    return true;
}

void CSynopManager::Clear()
{
    BusyMark busy(*this);
    m_synops.clear();
    m_positions.Clear();
}

std::wstring CSynopManager::GetAllRaw() const
{
    std::wstring all;
    for (const CSynop& synop : m_synops) {
        all += synop.GetRaw();
        all += L"=\n";
    }
    return all;
}

bool CSynopManager::FindNearestSynop(const aviation::Position& position, CSynop& out)
{
    BusyMark busy(*this);
    const std::size_t nearest = m_positions.FindNearest(
        position, kNearestLimitNm, [&](std::size_t i) { return m_synops[i].GetDistance(position, false); });
    if (nearest != PositionIndex::kNone)
        out = m_synops[nearest];
    return true;
}

void CSynopManager::InitSynop(const wchar_t* text, bool clearFirst)
{
    InitSynop(std::wstring(text ? text : L""), clearFirst);
}

void CSynopManager::InitSynop(const std::wstring& text, bool clearFirst)
{
    const DebugTimer whole{0, platform::MonotonicMs()};
    {
        BusyMark busy(*this);
        if (clearFirst) {
            m_synops.clear();
            m_positions.Clear();
            if (m_synops.capacity() < kReservedReports)
                m_synops.reserve(kReservedReports);
        }
        const std::vector<std::wstring> pieces = SplitReports(text);
        const int total = static_cast<int>(pieces.size());
        for (int index = 1; index <= total; ++index) {
            CSynop synop(pieces[index - 1]);
            AddSynop(synop, true);
            // AddSynop's own mark ended with it; the load goes on.
            SetBusy(true);
            const std::wstring error = synop.GetDecodeErrorText();
            if (!error.empty())
                Report(error);
            if (!sigSynopProgress.empty() && index % kProgressEvery == 1)
                sigSynopProgress(static_cast<int>(100LL * index / total),
                                 FormatWide(L"Initialize of additional weather data %i from %i", index, total).c_str());
        }
    }
    const DebugTimer release{1, platform::MonotonicMs()};
    release.Print();
    whole.Print();
}

} // namespace weather
} // namespace aviation
