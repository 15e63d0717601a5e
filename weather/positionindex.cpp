#include "weather/positionindex.h"

#include <algorithm>
#include <cmath>

namespace aviation::weather {

namespace {

constexpr int kBandCount = 180;
constexpr double kPi = 3.141592653589793;
// Great-circle miles per radian of the distance formula (earth radius 6378.137 km, 1.852 km per NM).
constexpr double kNmPerRadian = 6378.137 / 1.852;
// Widening of every bound, far above the rounding of the distance formula, so no candidate is lost to it.
constexpr double kMarginDegrees = 0.01;
// Beyond this radius a search covers most of the earth and scanning the whole list is simpler.
constexpr double kLargestBoundedRadiusNm = 5000.0;

bool IsBounded(double latitude, double longitude)
{
    return latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0;
}

int BandOf(double latitude)
{
    return std::clamp(static_cast<int>(std::floor(latitude + 90.0)), 0, kBandCount - 1);
}

double DegreesToRadians(double degrees)
{
    return degrees * kPi / 180.0;
}

double RadiansToDegrees(double radians)
{
    return radians * 180.0 / kPi;
}

} // namespace

void PositionIndex::Clear()
{
    m_bands.clear();
    m_unbounded.clear();
    m_count = 0;
}

void PositionIndex::Add(const aviation::Position& position)
{
    if (m_bands.empty())
        m_bands.resize(kBandCount);
    const auto element = static_cast<std::uint32_t>(m_count++);
    const double latitude = position.GetLatitude();
    const double longitude = position.GetLongitude();
    if (!IsBounded(latitude, longitude)) {
        m_unbounded.push_back(element);
        return;
    }
    Band& band = m_bands[BandOf(latitude)];
    if (!band.entries.empty() && longitude < band.entries.back().longitude)
        band.sorted = false;
    band.entries.push_back({longitude, element});
}

void PositionIndex::Candidates(const aviation::Position& center, double radiusNm, std::vector<std::uint32_t>& out)
{
    out.clear();
    if (!CollectCandidates(center, radiusNm, out)) {
        out.resize(m_count);
        for (std::size_t i = 0; i < m_count; ++i)
            out[i] = static_cast<std::uint32_t>(i);
        return;
    }
    std::sort(out.begin(), out.end());
}

bool PositionIndex::CollectCandidates(const aviation::Position& center, double radiusNm,
                                      std::vector<std::uint32_t>& out)
{
    const double latitude = center.GetLatitude();
    const double longitude = center.GetLongitude();
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90.0)
        return false;
    if (!(radiusNm < kLargestBoundedRadiusNm))
        return false;
    out.insert(out.end(), m_unbounded.begin(), m_unbounded.end());
    if (m_bands.empty())
        return true;

    const double radiusRadians = std::max(radiusNm, 0.0) / kNmPerRadian + DegreesToRadians(kMarginDegrees);
    const double radiusDegrees = RadiansToDegrees(radiusRadians);
    const double south = latitude - radiusDegrees;
    const double north = latitude + radiusDegrees;

    // A circle that does not reach a pole spans at most asin(sin r / cos lat) of longitude.
    bool allLongitudes = north >= 90.0 || south <= -90.0;
    double halfWidth = 180.0;
    if (!allLongitudes) {
        const double ratio = std::sin(radiusRadians) / std::cos(DegreesToRadians(latitude));
        if (ratio < 1.0)
            halfWidth = RadiansToDegrees(std::asin(ratio)) + kMarginDegrees;
        allLongitudes = halfWidth >= 180.0;
    }

    double middle = std::fmod(longitude + 180.0, 360.0);
    if (middle < 0.0)
        middle += 360.0;
    middle -= 180.0;
    const double west = middle - halfWidth;
    const double east = middle + halfWidth;

    for (int b = BandOf(south); b <= BandOf(north); ++b) {
        Band& band = m_bands[b];
        if (allLongitudes) {
            CollectBand(band, -180.0, 180.0, out);
            continue;
        }
        CollectBand(band, std::max(west, -180.0), std::min(east, 180.0), out);
        if (west < -180.0)
            CollectBand(band, west + 360.0, 180.0, out);
        if (east > 180.0)
            CollectBand(band, -180.0, east - 360.0, out);
    }
    return true;
}

void PositionIndex::CollectBand(Band& band, double west, double east, std::vector<std::uint32_t>& out)
{
    if (!band.sorted) {
        std::sort(band.entries.begin(), band.entries.end(), [](const Entry& a, const Entry& b) {
            return a.longitude < b.longitude || (a.longitude == b.longitude && a.element < b.element);
        });
        band.sorted = true;
    }
    auto it = std::lower_bound(band.entries.begin(), band.entries.end(), west,
                               [](const Entry& entry, double value) { return entry.longitude < value; });
    for (; it != band.entries.end() && it->longitude <= east; ++it)
        out.push_back(it->element);
}

} // namespace aviation::weather
