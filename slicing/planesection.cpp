#include "slicing/planesection.h"

#include <cmath>

#include <polyclipping/clipper.hpp>

namespace PlaneSection {

namespace {

const double DEGENERATE_TOLERANCE = 2e-9;
const double HOLE_PROBE_STEP = 2e-5;
const double HOLLOW_WALL = 4.0;
const double INSET_MITER_LIMIT = 2.0;
const double INSET_ARC_TOLERANCE = 0.25;
// Clipper rejects coordinates beyond about 4.6e18 (by throwing) and a double beyond 9.2e18 has no
// 64-bit integer; real models are far below this bound.
const double INSET_COORDINATE_LIMIT = 1e15;

} // namespace

double truncValue(double v)
{
    return std::trunc(v * 1e9) / 1e9;
}

QPointF intersectingPoint(const STLReader::Vertex &u, const STLReader::Vertex &v, float z)
{
    const double t = (double(z) - double(u.z)) / (double(v.z) - double(u.z));
    const double x = double(u.x) + t * (double(v.x) - double(u.x));
    const double y = double(u.y) + t * (double(v.y) - double(u.y));
    return QPointF(truncValue(x), truncValue(y));
}

bool cutFacet(const STLReader::Facet &facet, double z, float zf, QPointF &p, QPointF &q)
{
    // A vertex is above when strictly higher than z; one lying on the plane counts as below.
    const STLReader::Vertex a = facet.a();
    const STLReader::Vertex b = facet.b();
    const STLReader::Vertex c = facet.c();
    const bool aAbove = double(a.z) > z;
    const bool bAbove = double(b.z) > z;
    const bool cAbove = double(c.z) > z;

    if (aAbove && bAbove) {
        if (!(double(c.z) < z))
            return false;
        p = intersectingPoint(a, c, zf);
        q = intersectingPoint(c, b, zf);
    } else if (aAbove && cAbove) {
        p = intersectingPoint(a, b, zf);
        q = intersectingPoint(b, c, zf);
    } else if (aAbove) {
        p = intersectingPoint(a, b, zf);
        q = intersectingPoint(a, c, zf);
    } else if (bAbove && cAbove) {
        p = intersectingPoint(a, b, zf);
        q = intersectingPoint(a, c, zf);
    } else if (bAbove) {
        p = intersectingPoint(a, b, zf);
        q = intersectingPoint(b, c, zf);
    } else if (cAbove) {
        p = intersectingPoint(a, c, zf);
        q = intersectingPoint(c, b, zf);
    } else {
        return false;
    }
    return true;
}

bool isDegenerate(const SliceSegment &segment)
{
    return std::abs(segment.Q().x() - segment.P().x()) < DEGENERATE_TOLERANCE
            && std::abs(segment.Q().y() - segment.P().y()) < DEGENERATE_TOLERANCE;
}

std::vector<SliceSegment> cutFacets(const QVector<STLReader::Facet> &facets, double z)
{
    // The interpolation uses the plane height as the single-precision value it is handed over as.
    const float zf = float(z);
    std::vector<SliceSegment> segments;
    QPointF p;
    QPointF q;
    for (const STLReader::Facet &facet : facets) {
        if (!cutFacet(facet, z, zf, p, q))
            continue;
        const STLReader::Vertex normal = facet.n();
        const SliceSegment segment(p, q, QPointF(double(normal.x), double(normal.y)));
        if (!isDegenerate(segment))
            segments.push_back(segment);
    }
    return segments;
}

void assembleOutlines(const std::vector<SliceSegment> &segments, QList<QPolygonF> &outlines,
                      QVector<QPointF> &normals)
{
    if (segments.empty())
        return;
    QPointF start = segments.front().P();
    QPolygonF current;
    current << start;
    normals.append(segments.front().N());
    // The last segment is not visited: it is the one that closes the last outline.
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        if (pointsMatch(segments[i].Q(), start)) {
            outlines.append(current);
            current.clear();
            start = segments[i + 1].P();
            current << start;
            normals.append(segments[i + 1].N());
        } else {
            current << segments[i].Q();
        }
    }
    outlines.append(current);
}

bool isHole(const QPolygonF &outline, const QPointF &normal)
{
    if (outline.size() < 2)
        return false;
    const QPointF &p0 = outline.at(0);
    const QPointF &p1 = outline.at(1);
    const double probeX = (p0.x() + p1.x()) * 0.5 + HOLE_PROBE_STEP * normal.x();
    const double probeY = (p0.y() + p1.y()) * 0.5 + HOLE_PROBE_STEP * normal.y();
    // The probe is reduced to single precision; the build must keep the compiler from dropping
    // this rounding (see -fno-tree-slp-vectorize in the top-level CMakeLists.txt).
    const float probeXf = float(probeX);
    const float probeYf = float(probeY);
    return outline.containsPoint(QPointF(double(probeXf), double(probeYf)), Qt::OddEvenFill);
}

QVector<QPolygonF> hollowInsets(const QPolygonF &outline)
{
    ClipperLib::Path path;
    path.reserve(size_t(outline.size()));
    for (const QPointF &point : outline) {
        if (!(std::abs(point.x()) <= INSET_COORDINATE_LIMIT)
            || !(std::abs(point.y()) <= INSET_COORDINATE_LIMIT))
            return {};
        // Whole model units: the coordinates are truncated toward zero, not scaled.
        path.push_back(
                ClipperLib::IntPoint(ClipperLib::cInt(point.x()), ClipperLib::cInt(point.y())));
    }

    ClipperLib::ClipperOffset offset(INSET_MITER_LIMIT, INSET_ARC_TOLERANCE);
    offset.AddPath(path, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths solution;
    offset.Execute(solution, -HOLLOW_WALL);

    QVector<QPolygonF> insets;
    insets.reserve(int(solution.size()));
    for (const ClipperLib::Path &solutionPath : solution) {
        QPolygonF inset;
        inset.reserve(int(solutionPath.size()));
        for (const ClipperLib::IntPoint &point : solutionPath)
            inset << QPointF(double(point.X), double(point.Y));
        insets.append(inset);
    }
    return insets;
}

} // namespace PlaneSection

PlaneSection::Layer PlaneSectioner::section(double z,
                                            const std::vector<FacetSweep::Crossing> &crossing)
{
    m_segments.clear();
    const float zf = float(z);
    for (const FacetSweep::Crossing &facet : crossing)
        addSegment(facet.facet, z, zf);
    return outlinesOfSegments();
}

PlaneSection::Layer PlaneSectioner::section(double z, const QVector<STLReader::Facet> &facets)
{
    m_segments.clear();
    const float zf = float(z);
    for (const STLReader::Facet &facet : facets)
        addSegment(facet, z, zf);
    return outlinesOfSegments();
}

void PlaneSectioner::addSegment(const STLReader::Facet &facet, double z, float zf)
{
    QPointF p;
    QPointF q;
    if (!PlaneSection::cutFacet(facet, z, zf, p, q))
        return;
    const STLReader::Vertex normal = facet.n();
    const SliceSegment segment(p, q, QPointF(double(normal.x), double(normal.y)));
    if (!PlaneSection::isDegenerate(segment))
        m_segments.push_back(segment);
}

PlaneSection::Layer PlaneSectioner::outlinesOfSegments()
{
    m_chainer.chain(m_segments);
    QList<QPolygonF> outlines;
    QVector<QPointF> normals;
    PlaneSection::assembleOutlines(m_segments, outlines, normals);

    PlaneSection::Layer layer;
    const std::vector<int> &order = m_paintingOrder.of(outlines);
    layer.outlines.reserve(outlines.size());
    layer.holes.reserve(outlines.size());
    for (const int i : order) {
        layer.outlines.append(outlines.at(i));
        layer.holes.append(PlaneSection::isHole(outlines.at(i), normals.at(i)));
    }
    return layer;
}
