#include "slicing/facetsweep.h"

#include <algorithm>
#include <cstring>

namespace {

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

} // namespace

FacetSweep::FacetSweep(const QVector<STLReader::Facet> &facets)
{
    const size_t count = size_t(facets.size());
    m_lowest.resize(count);
    m_highest.resize(count);
    std::vector<uint32_t> keys(count);
    for (size_t i = 0; i < count; ++i) {
        const STLReader::Facet &facet = facets[int(i)];
        const float a = facet.a().z;
        const float b = facet.b().z;
        const float c = facet.c().z;
        m_lowest[i] = std::min({a, b, c});
        m_highest[i] = std::max({a, b, c});
        keys[i] = orderedKey(m_lowest[i]);
    }
    m_byLowest = sortedByKey(keys);
}

const std::vector<int> &FacetSweep::crossing(double z)
{
    // A corner is above when strictly higher than z: a facet has a corner that is not above once
    // z reaches its lowest corner, and keeps one above while z stays below its highest.
    m_entering.clear();
    while (m_nextToEnter < m_byLowest.size()
           && double(m_lowest[size_t(m_byLowest[m_nextToEnter])]) <= z) {
        const int facet = m_byLowest[m_nextToEnter++];
        if (double(m_highest[size_t(facet)]) > z)
            m_entering.push_back(facet);
    }
    std::sort(m_entering.begin(), m_entering.end());

    m_merged.clear();
    auto entering = m_entering.cbegin();
    for (const int facet : m_crossing) {
        if (!(double(m_highest[size_t(facet)]) > z))
            continue;
        while (entering != m_entering.cend() && *entering < facet)
            m_merged.push_back(*entering++);
        m_merged.push_back(facet);
    }
    m_merged.insert(m_merged.end(), entering, m_entering.cend());
    m_crossing.swap(m_merged);
    return m_crossing;
}
