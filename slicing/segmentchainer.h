#pragma once

#include <cstdint>
#include <vector>

#include <QPointF>

#include "slicing/slicesegment.h"

// Orders the segments of one plane into outlines exactly as the plain greedy search does, in time
// proportional to the number of segments instead of its square.
//
// The greedy search walks the list: after segment j it looks, in list order from j + 1, for the
// first segment whose start or end meets j's end (swapping that segment into place j + 1, and
// turning it round when only its end meets), unless j's end is back at the outline's start, in
// which case segment j + 1 opens the next outline (turned round unless its end meets j's end).
// Here the candidates come from a grid of segment ends instead of a scan; of those that meet,
// the one at the lowest list position is taken, which is the one the scan would have reached
// first. List positions are kept as the scan's swaps leave them.
class SegmentChainer
{
public:
    // Reorders and turns round `segments` in place.
    void chain(std::vector<SliceSegment> &segments);

private:
    struct Cell
    {
        int64_t x;
        int64_t y;
        bool operator==(const Cell &other) const { return x == other.x && y == other.y; }
    };
    struct Entry
    {
        Cell cell;
        int segment;
        int next;
    };

    void indexEnds(const std::vector<SliceSegment> &segments);
    void addEnd(const QPointF &end, int segment);
    // The lowest list position after `placed` holding a segment with an end that meets `end`, or
    // -1.
    int firstMeeting(const std::vector<SliceSegment> &segments, const QPointF &end,
                     int placed) const;
    size_t bucketOf(const Cell &cell) const;

    std::vector<int> m_buckets;
    std::vector<Entry> m_entries;
    std::vector<int> m_segmentAt;
    std::vector<int> m_positionOf;
    std::vector<SliceSegment> m_ordered;
};
