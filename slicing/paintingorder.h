#pragma once

#include <vector>

#include <QList>
#include <QPolygonF>
#include <QRectF>

// The order in which the outlines of a layer are painted one over the other: every outline after
// all outlines whose bounding box strictly contains its own.
//
// The plain walk looks at the outlines in list order and moves one to the end of the list while a
// later one contains its box; since all outlines not yet painted lie after it, an outline waits
// exactly while an unpainted outline contains it. The same walk is replayed here with a count of
// unpainted containers per outline, so that each step costs nothing more than the look at the
// front of the queue.
class PaintingOrder
{
public:
    // The indices of `outlines` in painting order.
    const std::vector<int> &of(const QList<QPolygonF> &outlines);

private:
    void findContainers(const std::vector<QRectF> &boxes);

    std::vector<int> m_order;
    std::vector<int> m_byLeft;
    // For each outline, the outlines whose box its box strictly contains.
    std::vector<std::vector<int>> m_contained;
    std::vector<int> m_containers;
};
