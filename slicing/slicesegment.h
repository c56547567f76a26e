#pragma once

#include <utility>

#include <QPointF>
#include <QString>

// One cut of one facet by a slicing plane: from P to Q, with the x and y of the facet's normal
// (N), which tells on which side of the cut the material lies.
class SliceSegment
{
public:
    SliceSegment(const QPointF &p, const QPointF &q)
        : m_p(p)
        , m_q(q)
    { }
    SliceSegment(const QPointF &p, const QPointF &q, const QPointF &n)
        : m_p(p)
        , m_q(q)
        , m_n(n)
    { }

    QPointF P() const { return m_p; }
    QPointF Q() const { return m_q; }
    QPointF N() const { return m_n; }
    void setP(const QPointF &p) { m_p = p; }
    void setQ(const QPointF &q) { m_q = q; }
    void setN(const QPointF &n) { m_n = n; }

    // Swaps the ends; the normal stays, so the material side is unchanged.
    void invertPoints() { std::swap(m_p, m_q); }

    bool isEqualByP(const SliceSegment &other) const;
    bool isAdjacent(const SliceSegment &other) const;
    QString printSegment() const;

private:
    QPointF m_p;
    QPointF m_q;
    QPointF m_n;
};
