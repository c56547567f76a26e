#pragma once

#include <QList>
#include <QPolygonF>
#include <QString>
#include <QVector>

#include "model/stlreader.h"
#include "slicing/slicesegment.h"

// The plane slicing written the straightforward way: every facet is tested on every plane, the
// segments are chained by searching the list, and the painting order is found by the walk that
// moves a blocked outline to the end. It is slow but plainly right, and the fast slicer must
// write the very same bytes.
namespace ReferenceSlicer {

struct Layer
{
    QList<QPolygonF> outlines;
    QList<bool> holes;
};

double truncValue(double v);
QPointF intersectingPoint(const STLReader::Vertex &u, const STLReader::Vertex &v, float z);
QList<SliceSegment> cutFacets(const QVector<STLReader::Facet> &facets, double z);
void chainSegments(QList<SliceSegment> &segments);
void assembleOutlines(const QList<SliceSegment> &segments, QList<QPolygonF> &outlines,
                      QVector<QPointF> &normals);
bool isHole(const QPolygonF &outline, const QPointF &normal);
void orderForPainting(QList<QPolygonF> &outlines, QList<bool> &holes);
Layer sectionAt(const QVector<STLReader::Facet> &facets, double z);
QVector<QPolygonF> hollowInsets(const QPolygonF &outline);

// The four documents of one model at one layer thickness, as file paths.
struct Documents
{
    QString print;
    QString preview;
    QString hollowPrint;
    QString hollowPreview;
};

// Writes the print and preview documents of `model` at `microns` into `folder`, and when
// `hollowToo` the hollow ones as well (each plane is cut once for both). Returns the number of
// planes, or -1 when the model cannot be read or a file cannot be written.
int writeDocuments(const QString &model, int microns, const QString &folder, bool hollowToo,
                   Documents &documents);

} // namespace ReferenceSlicer
