#include "weather/tafmanager.h"

namespace aviation::weather {

namespace {
const wchar_t* const kNoTaf = L"no TAF available";
const wchar_t* const kTafFailed = L"TAF failed";
const wchar_t* const kForecastEnd = L"\n\n";
} // namespace

void CTAFManager::SetTAFText(const wchar_t* text)
{
    m_tafText = text ? text : L"";
}

std::wstring CTAFManager::GetTAF(const std::wstring& icao) const
{
    // An empty ICAO would be found at every position and the search would never advance.
    if (icao.empty())
        return kNoTaf;

    std::wstring answer = kNoTaf;
    size_t from = 0;
    for (;;) {
        const size_t start = m_tafText.find(icao, from);
        if (start == std::wstring::npos)
            return answer;
        const size_t end = m_tafText.find(kForecastEnd, start);
        if (end == std::wstring::npos)
            return kTafFailed;
        answer = m_tafText.substr(start, end - start);
        // An ICAO made of line feeds can start on the "\n\n" itself; always move on.
        from = end > start ? end : start + 1;
    }
}

} // namespace aviation::weather
