#include "weather/cloudlayer.h"

#include "weather/wideformat.h"

namespace aviation {
namespace weather {

CCloudLayer::CCloudLayer(int base, std::int8_t coverage, std::uint8_t type, int baseMsl)
    : m_type(type)
    , m_coverage(coverage)
    , m_base(base)
    , m_baseMsl(baseMsl)
{
}

bool CCloudLayer::SetCoverage(int oktas)
{
    if (oktas < 0 || oktas > 8)
        return false;
    m_coverage = static_cast<std::int8_t>(oktas);
    return true;
}

std::wstring CCloudLayer::GetMetarGroup() const
{
    const wchar_t* word = L"";
    if (m_coverage == 1 || m_coverage == 2)
        word = L"FEW";
    else if (m_coverage == 3 || m_coverage == 4)
        word = L"SCT";
    else if (m_coverage >= 5 && m_coverage <= 7)
        word = L"BKN";
    else if (m_coverage == 8)
        word = L"OVC";
    return FormatWide(L"%ls%03i", word, m_base / 100);
}

} // namespace weather
} // namespace aviation
