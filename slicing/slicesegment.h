#pragma once

#include <cmath>
#include <utility>

#include <QPointF>

// Two ends of cut segments are the same point when both coordinates differ by less than this.
constexpr double MATCH_TOLERANCE = 2e-9;

inline bool pointsMatch(const QPointF &u, const QPointF &v)
{
    return std::abs(u.x() - v.x()) < MATCH_TOLERANCE && std::abs(u.y() - v.y()) < MATCH_TOLERANCE;
}

// One cut of one facet by a slicing plane: from P to Q, with the x and y of the facet's normal
// (N), which tells on which side of the cut the material lies.
class SliceSegment
{
public:
    SliceSegment(const QPointF &p, const QPointF &q, const QPointF &n)
        : m_p(p)
        , m_q(q)
        , m_n(n)
    { }

    QPointF P() const { return m_p; }
    QPointF Q() const { return m_q; }
    QPointF N() const { return m_n; }

    // Swaps the ends; the normal stays, so the material side is unchanged.
    void invertPoints() { std::swap(m_p, m_q); }

private:
    QPointF m_p;
    QPointF m_q;
    QPointF m_n;
};
