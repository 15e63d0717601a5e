// Spatial index over a list of positions (stations, reports): one-degree latitude bands sorted by longitude.
// It only narrows a search to candidates; callers measure the candidates with their own distance rule, so a
// search through the index finds exactly what a scan of the whole list finds.
#pragma once

#include "weather/position.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace aviation::weather {

class PositionIndex
{
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    void Clear();
    // Adds the next list element; elements are numbered in the order they are added, from 0.
    void Add(const aviation::Position& position);
    std::size_t GetCount() const { return m_count; }

    // Every element that may lie within `radiusNm` great-circle miles of `center`, in ascending order.
    // Elements farther away may be among them; none nearer is missing.
    void Candidates(const aviation::Position& center, double radiusNm, std::vector<std::uint32_t>& out);

    // The scan "best = limit; for each element in order: if distanceOf(i) < best, take it" done through the
    // index: the first element of the smallest distance below `limitNm`, or kNone. distanceOf may answer NaN or
    // any value >= limitNm for an element that must not be taken (a filter).
    template<class DistanceOf>
    std::size_t FindNearest(const aviation::Position& center, double limitNm, DistanceOf distanceOf);

private:
    struct Entry
    {
        double longitude;
        std::uint32_t element;
    };
    struct Band
    {
        std::vector<Entry> entries;
        bool sorted = true;
    };

    // Appends the candidates of `center` and `radiusNm` to `out`, unordered; false when the whole list must be
    // searched (a position that the bands cannot bound).
    bool CollectCandidates(const aviation::Position& center, double radiusNm, std::vector<std::uint32_t>& out);
    void CollectBand(Band& band, double west, double east, std::vector<std::uint32_t>& out);

    std::vector<Band> m_bands;
    std::vector<std::uint32_t> m_unbounded; // elements whose position lies outside the latitude/longitude ranges
    std::vector<std::uint32_t> m_scratch;
    std::size_t m_count = 0;
};

template<class DistanceOf>
std::size_t PositionIndex::FindNearest(const aviation::Position& center, double limitNm, DistanceOf distanceOf)
{
    std::size_t best = kNone;
    double bestDistance = limitNm;
    auto consider = [&](std::size_t element) {
        const double d = distanceOf(element);
        if (!(d < limitNm))
            return;
        if (d < bestDistance || (d == bestDistance && element < best)) {
            bestDistance = d;
            best = element;
        }
    };

    if (!(limitNm > 0.0))
        return best;
    // Widen the search until it holds the best candidate found, or everything below the limit.
    double radius = limitNm < 50.0 ? limitNm : 50.0;
    for (;;) {
        const bool last = !(radius < limitNm);
        m_scratch.clear();
        if (!CollectCandidates(center, radius, m_scratch)) {
            for (std::size_t i = 0; i < m_count; ++i)
                consider(i);
            return best;
        }
        for (const std::uint32_t element : m_scratch)
            consider(element);
        if (last || (best != kNone && bestDistance <= radius))
            return best;
        radius = radius * 2.0 < limitNm ? radius * 2.0 : limitNm;
    }
}

} // namespace aviation::weather
