#include "slicing/segmentchainer.h"

#include <algorithm>
#include <cmath>

namespace {

// Grid cells of 2^-20 mm: the points of a plane are far apart compared with that, and a search
// window of a few 1e-9 seldom straddles two cells. The cell borders lie half-way between
// multiples of 2^-20, where models drawn on binary-friendly grids (0.5 mm, 0.25 mm) put no point.
const double CELLS_PER_UNIT = 1048576.0;
const double CELL_BORDER_SHIFT = 0.5;
// Points beyond a few kilometres share the border cells: still found, only slower.
const double CELL_LIMIT = 4e12;

bool isFinite(const QPointF &point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

int64_t cellOf(double coordinate)
{
    return int64_t(std::clamp(std::floor(coordinate * CELLS_PER_UNIT + CELL_BORDER_SHIFT),
                              -CELL_LIMIT, CELL_LIMIT));
}

// Every coordinate that can meet `coordinate` lies in this window: the tolerance, once more for
// safety, and the rounding of the subtraction for large values.
double windowOf(double coordinate)
{
    return 2 * MATCH_TOLERANCE + std::abs(coordinate) * 4.5e-16;
}

} // namespace

void SegmentChainer::chain(std::vector<SliceSegment> &segments)
{
    const int count = int(segments.size());
    if (count < 2)
        return;
    indexEnds(segments);
    m_segmentAt.resize(size_t(count));
    m_positionOf.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        m_segmentAt[size_t(i)] = m_positionOf[size_t(i)] = i;

    QPointF start = segments.front().P();
    for (int j = 0; j <= count - 2; ++j) {
        const QPointF end = segments[size_t(m_segmentAt[size_t(j)])].Q();
        if (pointsMatch(end, start)) {
            // The outline has closed: the next segment in the list starts the next one.
            SliceSegment &next = segments[size_t(m_segmentAt[size_t(j + 1)])];
            if (!pointsMatch(end, next.Q()))
                next.invertPoints();
            start = next.P();
            continue;
        }
        const int k = firstMeeting(segments, end, j);
        if (k < 0)
            continue; // an open chain goes on with whatever follows
        SliceSegment &found = segments[size_t(m_segmentAt[size_t(k)])];
        const bool startMeets = pointsMatch(end, found.P());
        // Found by its start, it is turned round only when it is already next and its end meets
        // too; found by its end alone, it is turned round.
        if (!startMeets || (k == j + 1 && pointsMatch(end, found.Q())))
            found.invertPoints();
        std::swap(m_segmentAt[size_t(j + 1)], m_segmentAt[size_t(k)]);
        m_positionOf[size_t(m_segmentAt[size_t(j + 1)])] = j + 1;
        m_positionOf[size_t(m_segmentAt[size_t(k)])] = k;
    }

    m_ordered.clear();
    m_ordered.reserve(size_t(count));
    for (const int segment : m_segmentAt)
        m_ordered.push_back(segments[size_t(segment)]);
    segments.swap(m_ordered);
}

void SegmentChainer::indexEnds(const std::vector<SliceSegment> &segments)
{
    size_t buckets = 16;
    while (buckets < 4 * segments.size())
        buckets *= 2;
    m_buckets.assign(buckets, -1);
    m_entries.clear();
    m_entries.reserve(2 * segments.size());
    for (size_t i = 0; i < segments.size(); ++i) {
        addEnd(segments[i].P(), int(i));
        addEnd(segments[i].Q(), int(i));
    }
}

void SegmentChainer::addEnd(const QPointF &end, int segment)
{
    // A point that is not finite meets nothing.
    if (!isFinite(end))
        return;
    const Cell cell{cellOf(end.x()), cellOf(end.y())};
    int &head = m_buckets[bucketOf(cell)];
    m_entries.push_back(Entry{cell, segment, head});
    head = int(m_entries.size() - 1);
}

int SegmentChainer::firstMeeting(const std::vector<SliceSegment> &segments, const QPointF &end,
                                 int placed) const
{
    if (!isFinite(end))
        return -1;
    const double windowX = windowOf(end.x());
    const double windowY = windowOf(end.y());
    const int64_t xFrom = cellOf(end.x() - windowX);
    const int64_t xTo = cellOf(end.x() + windowX);
    const int64_t yFrom = cellOf(end.y() - windowY);
    const int64_t yTo = cellOf(end.y() + windowY);

    int best = -1;
    for (int64_t x = xFrom; x <= xTo; ++x) {
        for (int64_t y = yFrom; y <= yTo; ++y) {
            const Cell cell{x, y};
            for (int e = m_buckets[bucketOf(cell)]; e >= 0; e = m_entries[size_t(e)].next) {
                const Entry &entry = m_entries[size_t(e)];
                const int position = m_positionOf[size_t(entry.segment)];
                if (!(entry.cell == cell) || position <= placed || (best >= 0 && position >= best))
                    continue;
                const SliceSegment &candidate = segments[size_t(entry.segment)];
                if (pointsMatch(end, candidate.P()) || pointsMatch(end, candidate.Q()))
                    best = position;
            }
        }
    }
    return best;
}

size_t SegmentChainer::bucketOf(const Cell &cell) const
{
    const uint64_t mixed = uint64_t(cell.x) * 0x9E3779B97F4A7C15ull
            ^ (uint64_t(cell.y) + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    return size_t(mixed ^ (mixed >> 29)) & (m_buckets.size() - 1);
}
