#pragma once

#include <vector>

#include <QVector>

#include "model/stlreader.h"

// Finds the facets that cross each plane of a run without testing every facet on every plane:
// the facets are sorted once by their lowest corner, and a plane's list is the previous plane's
// list less the facets now wholly below, plus the facets whose lowest corner the plane has
// reached. A facet crosses the plane at z when one corner is above z and one is not (the same
// comparisons as the cut itself), so the lists hold exactly the facets the cut can use.
//
// The lists carry copies of the facets, so that cutting a plane reads them side by side in
// memory whatever their order in the file (in a shuffled file, reading them in place would cost
// a cache miss each).
class FacetSweep
{
public:
    struct Crossing
    {
        int index;
        STLReader::Facet facet;
    };

    explicit FacetSweep(const QVector<STLReader::Facet> &facets);

    // The facets, by ascending index, that cross the plane at z. z must not decrease from one
    // call to the next.
    const std::vector<Crossing> &crossing(double z);

private:
    const QVector<STLReader::Facet> &m_facets;
    // Facet indices by lowest corner, and the lowest corners in the same order.
    std::vector<int> m_byLowest;
    std::vector<float> m_sortedLowest;
    size_t m_nextToEnter = 0;
    std::vector<Crossing> m_entering;
    std::vector<Crossing> m_crossing;
    std::vector<Crossing> m_merged;
};
