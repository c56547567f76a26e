#pragma once

#include <cstdint>
#include <vector>

#include <QVector>

#include "model/stlreader.h"

// Finds the facets that cross each plane of a run without testing every facet on every plane:
// the facets are sorted once by their lowest corner, and a plane's list is the previous plane's
// list less the facets now wholly below, plus the facets whose lowest corner the plane has
// reached. A facet crosses the plane at z when one corner is above z and one is not (the same
// comparisons as the cut itself), so the lists hold exactly the facets the cut can use.
class FacetSweep
{
public:
    explicit FacetSweep(const QVector<STLReader::Facet> &facets);

    // The indices, ascending, of the facets that cross the plane at z. z must not decrease from
    // one call to the next.
    const std::vector<int> &crossing(double z);

private:
    std::vector<float> m_lowest;
    std::vector<float> m_highest;
    std::vector<int> m_byLowest;
    size_t m_nextToEnter = 0;
    std::vector<int> m_entering;
    std::vector<int> m_crossing;
    std::vector<int> m_merged;
};
