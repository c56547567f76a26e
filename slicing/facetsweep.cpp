#include "slicing/facetsweep.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

float lowestCorner(const STLReader::Facet &facet)
{
    return std::min({facet.a().z, facet.b().z, facet.c().z});
}

float highestCorner(const STLReader::Facet &facet)
{
    return std::max({facet.a().z, facet.b().z, facet.c().z});
}

// Unsigned keys in the order of the floats (finite or infinite; heights are never NaN).
uint32_t orderedKey(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

// The facet indices sorted by key: two stable counting passes of 16 bits each, linear in the
// number of facets whatever their order in the file.
std::vector<int> sortedByKey(const std::vector<uint32_t> &keys)
{
    const size_t count = keys.size();
    std::vector<int> order(count);
    std::vector<int> passed(count);
    for (size_t i = 0; i < count; ++i)
        passed[i] = int(i);
    for (const int shift : {0, 16}) {
        std::vector<size_t> starts(65537, 0);
        for (const uint32_t key : keys)
            ++starts[((key >> shift) & 0xffffu) + 1];
        for (size_t digit = 1; digit < starts.size(); ++digit)
            starts[digit] += starts[digit - 1];
        for (const int facet : passed)
            order[starts[(keys[size_t(facet)] >> shift) & 0xffffu]++] = facet;
        passed.swap(order);
    }
    return passed;
}

bool byIndex(const FacetSweep::Crossing &a, const FacetSweep::Crossing &b)
{
    return a.index < b.index;
}

} // namespace

FacetSweep::FacetSweep(const QVector<STLReader::Facet> &facets)
    : m_facets(facets)
{
    std::vector<uint32_t> keys;
    keys.reserve(size_t(facets.size()));
    for (const STLReader::Facet &facet : facets)
        keys.push_back(orderedKey(lowestCorner(facet)));
    m_byLowest = sortedByKey(keys);
    m_sortedLowest.reserve(m_byLowest.size());
    for (const int facet : m_byLowest)
        m_sortedLowest.push_back(lowestCorner(facets[facet]));
}

const std::vector<FacetSweep::Crossing> &FacetSweep::crossing(double z)
{
    // A corner is above when strictly higher than z: a facet has a corner that is not above once
    // z reaches its lowest corner, and keeps one above while z stays below its highest.
    m_entering.clear();
    while (m_nextToEnter < m_byLowest.size() && double(m_sortedLowest[m_nextToEnter]) <= z) {
        const int index = m_byLowest[m_nextToEnter++];
        const STLReader::Facet &facet = m_facets[index];
        if (double(highestCorner(facet)) > z)
            m_entering.push_back(Crossing{index, facet});
    }
    std::sort(m_entering.begin(), m_entering.end(), byIndex);

    m_merged.clear();
    auto entering = m_entering.cbegin();
    for (const Crossing &staying : m_crossing) {
        if (!(double(highestCorner(staying.facet)) > z))
            continue;
        while (entering != m_entering.cend() && entering->index < staying.index)
            m_merged.push_back(*entering++);
        m_merged.push_back(staying);
    }
    m_merged.insert(m_merged.end(), entering, m_entering.cend());
    m_crossing.swap(m_merged);
    return m_crossing;
}
