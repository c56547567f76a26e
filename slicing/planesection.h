#pragma once

#include <QList>
#include <QPolygonF>
#include <QVector>

#include "model/stlreader.h"
#include "slicing/slicesegment.h"

// The cut of a model by one horizontal plane, computed the straightforward way: every facet is
// tested, the segments are chained by search, and the painting order is found by repeated
// bounding-box comparison. Every step is exact to the last bit, because the layer documents are
// compared byte for byte.
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

// One segment per facet that crosses the plane, in facet order, degenerate ones dropped.
QList<SliceSegment> cutFacets(const QVector<STLReader::Facet> &facets, double z);
// Reorders the segments so that each starts where the one before ends, outline after outline.
void chainSegments(QList<SliceSegment> &segments);
// Joins chained segments into outlines, with the normal of each outline's first segment.
void assembleOutlines(const QList<SliceSegment> &segments, QList<QPolygonF> &outlines,
                      QVector<QPointF> &normals);
// Whether the outline bounds a hole: a point just beside its first edge, on the normal's
// side, lies inside it.
bool isHole(const QPolygonF &outline, const QPointF &normal);
// Moves every outline behind all outlines whose bounding box strictly contains its own.
void orderForPainting(QList<QPolygonF> &outlines, QList<bool> &holes);

// All of the above for the plane at height z.
Layer sectionAt(const QVector<STLReader::Facet> &facets, double z);

// The black inset of a hollow layer: the outline offset 4 whole model units inward. Empty when
// the outline is too narrow or its coordinates are out of range.
QVector<QPolygonF> hollowInsets(const QPolygonF &outline);

} // namespace PlaneSection
