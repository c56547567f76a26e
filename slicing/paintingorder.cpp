#include "slicing/paintingorder.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace {

// The comparisons of the plain walk, on the rectangles of QPolygonF::boundingRect.
bool strictlyContains(const QRectF &outer, const QRectF &inner)
{
    return outer.y() < inner.y() && outer.x() < inner.x()
            && outer.y() + outer.height() > inner.y() + inner.height()
            && outer.x() + outer.width() > inner.x() + inner.width();
}

} // namespace

const std::vector<int> &PaintingOrder::of(const QList<QPolygonF> &outlines)
{
    const int count = outlines.size();
    std::vector<QRectF> boxes;
    boxes.reserve(size_t(count));
    for (const QPolygonF &outline : outlines)
        boxes.push_back(outline.boundingRect());
    findContainers(boxes);

    m_order.clear();
    std::deque<int> waiting;
    for (int i = 0; i < count; ++i)
        waiting.push_back(i);
    while (!waiting.empty()) {
        const int outline = waiting.front();
        waiting.pop_front();
        if (m_containers[size_t(outline)] > 0) {
            waiting.push_back(outline);
            continue;
        }
        m_order.push_back(outline);
        for (const int inner : m_contained[size_t(outline)])
            --m_containers[size_t(inner)];
    }
    return m_order;
}

void PaintingOrder::findContainers(const std::vector<QRectF> &boxes)
{
    const size_t count = boxes.size();
    m_contained.resize(count);
    for (std::vector<int> &inner : m_contained)
        inner.clear();
    m_containers.assign(count, 0);

    // A box can only contain boxes whose left edge lies strictly between its own left and right
    // edges (a width is never negative, so a left edge is never right of its right edge): sorted
    // by left edge, each box looks only at those. A box without a comparable left edge (NaN)
    // contains nothing and is contained by nothing.
    m_byLeft.clear();
    for (size_t i = 0; i < count; ++i) {
        if (!std::isnan(boxes[i].x()))
            m_byLeft.push_back(int(i));
    }
    std::sort(m_byLeft.begin(), m_byLeft.end(),
              [&boxes](int a, int b) { return boxes[size_t(a)].x() < boxes[size_t(b)].x(); });
    for (auto outer = m_byLeft.cbegin(); outer != m_byLeft.cend(); ++outer) {
        const QRectF &box = boxes[size_t(*outer)];
        const double right = box.x() + box.width();
        auto inner =
                std::upper_bound(outer, m_byLeft.cend(), box.x(), [&boxes](double left, int other) {
                    return left < boxes[size_t(other)].x();
                });
        for (; inner != m_byLeft.cend() && boxes[size_t(*inner)].x() < right; ++inner) {
            if (strictlyContains(box, boxes[size_t(*inner)])) {
                m_contained[size_t(*outer)].push_back(*inner);
                ++m_containers[size_t(*inner)];
            }
        }
    }
}
