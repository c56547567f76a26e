#pragma once

#include <vector>

#include <QList>
#include <QPolygonF>
#include <QVector>

#include "model/stlreader.h"
#include "slicing/facetsweep.h"
#include "slicing/paintingorder.h"
#include "slicing/segmentchainer.h"
#include "slicing/slicesegment.h"

// The cut of a model by one horizontal plane: segments, outlines, holes and painting order.
// Every step is exact to the last bit, because the layer documents are compared byte for byte
// with those of the plain computation.
namespace PlaneSection {

// The outlines of one plane in painting order, each flagged as a hole or as material.
struct Layer
{
    QList<QPolygonF> outlines;
    QList<bool> holes;
};

// Truncates toward zero to a multiple of 1e-9.
double truncValue(double v);
// The point at height z on the edge from u to v, interpolated in double precision.
QPointF intersectingPoint(const STLReader::Vertex &u, const STLReader::Vertex &v, float z);
// The segment of one facet, or false when the facet does not cross the plane at z (zf is z in
// single precision, the height the interpolation uses).
bool cutFacet(const STLReader::Facet &facet, double z, float zf, QPointF &p, QPointF &q);
// Whether the segment is too short to keep.
bool isDegenerate(const SliceSegment &segment);
// One segment per facet that crosses the plane, in facet order, degenerate ones dropped.
std::vector<SliceSegment> cutFacets(const QVector<STLReader::Facet> &facets, double z);
// Joins chained segments into outlines, with the normal of each outline's first segment.
void assembleOutlines(const std::vector<SliceSegment> &segments, QList<QPolygonF> &outlines,
                      QVector<QPointF> &normals);
// Whether the outline bounds a hole: a point just beside its first edge, on the normal's
// side, lies inside it.
bool isHole(const QPolygonF &outline, const QPointF &normal);
// The black inset of a hollow layer: the outline offset 4 whole model units inward. Empty when
// the outline is too narrow or its coordinates are out of range.
QVector<QPolygonF> hollowInsets(const QPolygonF &outline);

} // namespace PlaneSection

// Cuts planes one after the other, keeping its working memory from plane to plane. One per
// thread.
class PlaneSectioner
{
public:
    // The section at z of the facets that cross it, in file order (as the sweep lists them).
    PlaneSection::Layer section(double z, const std::vector<FacetSweep::Crossing> &crossing);
    // The section at z, cutting every facet.
    PlaneSection::Layer section(double z, const QVector<STLReader::Facet> &facets);

private:
    void addSegment(const STLReader::Facet &facet, double z, float zf);
    PlaneSection::Layer outlinesOfSegments();

    std::vector<SliceSegment> m_segments;
    SegmentChainer m_chainer;
    PaintingOrder m_paintingOrder;
};
