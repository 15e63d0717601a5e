// One cloud layer of a report (cover in oktas, base, type), printable as its METAR group,
// e.g. "SCT025" for 4 oktas at 2500 ft.
#pragma once

#include <cstdint>
#include <string>

namespace aviation {
namespace weather {

class CCloudLayer
{
public:
    // Layer type codes.
    static constexpr std::uint8_t kTypePlain = 0;
    static constexpr std::uint8_t kTypeHigh = 1;
    static constexpr std::uint8_t kTypeGenerated = 9;
    static constexpr std::uint8_t kTypeCumulonimbus = 10;
    static constexpr std::uint8_t kTypeToweringCumulus = 11;

    CCloudLayer() = default;
    CCloudLayer(int base, std::int8_t coverage, std::uint8_t type, int baseMsl = -1);

    void SetBase(int feet) { m_base = feet; }
    int GetBase() const { return m_base; }
    // Oktas 0 to 8 are stored (true); anything else is refused and the coverage kept (false).
    bool SetCoverage(int oktas);
    int GetCoverage() const { return m_coverage; }
    void SetTop(int feet) { m_top = feet; }
    int GetTop() const { return m_top; }
    void SetType(std::uint8_t type) { m_type = type; }
    std::uint8_t GetType() const { return m_type; }
    int GetBaseMSL() const { return m_baseMsl; }

    // "FEW", "SCT", "BKN" or "OVC" (nothing for other coverages) and the base in hundreds of feet: "BKN012".
    std::wstring GetMetarGroup() const;

private:
    std::uint8_t m_type = kTypePlain;
    std::int8_t m_coverage = 0;
    int m_base = 0;
    int m_baseMsl = -1;
    int m_top = -1;
};

} // namespace weather
} // namespace aviation
