#include "slicing/slicesegment.h"

#include <cmath>

static bool sameWithin1e12(const QPointF &u, const QPointF &v)
{
    return std::abs(u.x() - v.x()) <= 1e-12 && std::abs(u.y() - v.y()) <= 1e-12;
}

bool SliceSegment::isEqualByP(const SliceSegment &other) const
{
    return sameWithin1e12(m_p, other.m_p);
}

bool SliceSegment::isAdjacent(const SliceSegment &other) const
{
    return sameWithin1e12(m_p, other.m_p) || sameWithin1e12(m_q, other.m_q);
}

QString SliceSegment::printSegment() const
{
    return QString::asprintf("P(%+.10f, %+.10f) Q(%.10f, %.10f)", m_p.x(), m_p.y(), m_q.x(),
                             m_q.y());
}
