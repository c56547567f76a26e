#include "tests/referenceslicer.h"

#include <cmath>

#include <polyclipping/clipper.hpp>

#include <QFile>
#include <QTextStream>

namespace ReferenceSlicer {

namespace {

const double DEGENERATE_TOLERANCE = 2e-9;
const double HOLE_PROBE_STEP = 2e-5;
const double HOLLOW_WALL = 4.0;
const double INSET_MITER_LIMIT = 2.0;
const double INSET_ARC_TOLERANCE = 0.25;
// Clipper rejects coordinates beyond about 4.6e18 (by throwing) and a double beyond 9.2e18 has no
// 64-bit integer; real models are far below this bound.
const double INSET_COORDINATE_LIMIT = 1e15;

bool isDegenerate(const SliceSegment &segment)
{
    return std::abs(segment.Q().x() - segment.P().x()) < DEGENERATE_TOLERANCE
            && std::abs(segment.Q().y() - segment.P().y()) < DEGENERATE_TOLERANCE;
}

// The segment of one facet, or false when the facet does not cross the plane. A vertex is above
// when strictly higher than z; one lying on the plane counts as below.
bool cutFacet(const STLReader::Facet &facet, double z, float zf, QPointF &p, QPointF &q)
{
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

bool strictlyContains(const QRectF &outer, const QRectF &inner)
{
    return outer.y() < inner.y() && outer.x() < inner.x()
            && outer.y() + outer.height() > inner.y() + inner.height()
            && outer.x() + outer.width() > inner.x() + inner.width();
}

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

QList<SliceSegment> cutFacets(const QVector<STLReader::Facet> &facets, double z)
{
    // The interpolation uses the plane height as the single-precision value it is handed over as.
    const float zf = float(z);
    QList<SliceSegment> segments;
    QPointF p;
    QPointF q;
    for (const STLReader::Facet &facet : facets) {
        if (!cutFacet(facet, z, zf, p, q))
            continue;
        const STLReader::Vertex normal = facet.n();
        segments.append(SliceSegment(p, q, QPointF(double(normal.x), double(normal.y))));
    }
    for (int i = 0; i < segments.size();) {
        if (isDegenerate(segments.at(i)))
            segments.removeAt(i);
        else
            ++i;
    }
    return segments;
}

void chainSegments(QList<SliceSegment> &segments)
{
    const int count = segments.size();
    if (count < 2)
        return;
    QPointF start = segments.at(0).P();
    for (int j = 0; j <= count - 2; ++j) {
        bool found = false;
        for (int k = j + 1; k <= count - 1 && !found; ++k) {
            if (pointsMatch(segments.at(j).Q(), segments.at(k).P())) {
                segments.swapItemsAt(j + 1, k);
                found = true;
            }
            if (pointsMatch(segments.at(j).Q(), segments.at(k).Q())) {
                segments[k].invertPoints();
                segments.swapItemsAt(j + 1, k);
                found = true;
            }
            if (pointsMatch(segments.at(j).Q(), start)) {
                // The outline has closed: the next segment starts the next one.
                segments[k].invertPoints();
                start = segments.at(k).P();
                found = true;
            }
        }
    }
}

void assembleOutlines(const QList<SliceSegment> &segments, QList<QPolygonF> &outlines,
                      QVector<QPointF> &normals)
{
    if (segments.isEmpty())
        return;
    QPointF start = segments.at(0).P();
    QPolygonF current;
    current << start;
    normals.append(segments.at(0).N());
    for (int i = 0; i <= segments.size() - 2; ++i) {
        if (pointsMatch(segments.at(i).Q(), start)) {
            outlines.append(current);
            current.clear();
            start = segments.at(i + 1).P();
            current << start;
            normals.append(segments.at(i + 1).N());
        } else {
            current << segments.at(i).Q();
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

void orderForPainting(QList<QPolygonF> &outlines, QList<bool> &holes)
{
    QList<QRectF> boxes;
    boxes.reserve(outlines.size());
    for (const QPolygonF &outline : qAsConst(outlines))
        boxes.append(outline.boundingRect());

    const int count = outlines.size();
    int i = 0;
    while (i < count) {
        bool blocked = false;
        for (int later = i + 1; later < count && !blocked; ++later)
            blocked = strictlyContains(boxes.at(later), boxes.at(i));
        if (blocked) {
            outlines.move(i, count - 1);
            holes.move(i, count - 1);
            boxes.move(i, count - 1);
        } else {
            ++i;
        }
    }
}

Layer sectionAt(const QVector<STLReader::Facet> &facets, double z)
{
    QList<SliceSegment> segments = cutFacets(facets, z);
    chainSegments(segments);

    Layer layer;
    QVector<QPointF> normals;
    assembleOutlines(segments, layer.outlines, normals);
    for (int i = 0; i < layer.outlines.size(); ++i)
        layer.holes.append(isHole(layer.outlines.at(i), normals.at(i)));
    orderForPainting(layer.outlines, layer.holes);
    return layer;
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

namespace {

// One document written as the slicer writes it: text streamed into a string, which goes to the
// file after every layer.
class DocumentText
{
public:
    explicit DocumentText(const QString &path)
        : m_file(path)
    {
        m_stream.setString(&m_text, QIODevice::WriteOnly);
    }

    bool open()
    {
        return m_file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate);
    }
    QTextStream &stream() { return m_stream; }
    bool writeOut()
    {
        m_stream.flush();
        const QByteArray bytes = m_text.toUtf8();
        m_text.clear();
        return m_file.write(bytes) == bytes.size();
    }

private:
    QFile m_file;
    QString m_text;
    QTextStream m_stream;
};

QString svgPoints(const QPolygonF &outline)
{
    QString points;
    for (const QPointF &point : outline) {
        points += QString::number(point.x(), 'f', 6) % QLatin1Char(',')
                % QString::number(point.y(), 'f', 6) % QLatin1Char(' ');
    }
    return points;
}

} // namespace

int writeDocuments(const QString &model, int microns, const QString &folder, bool hollowToo,
                   Documents &documents)
{
    const STLReader reader(model);
    if (!reader.isValid())
        return -1;
    documents = {folder + QStringLiteral("/print.svg"), folder + QStringLiteral("/preview.svg"),
                 QString(), QString()};
    if (hollowToo) {
        documents.hollowPrint = folder + QStringLiteral("/hollow_print.svg");
        documents.hollowPreview = folder + QStringLiteral("/hollow_preview.svg");
    }
    DocumentText print(documents.print);
    DocumentText preview(documents.preview);
    DocumentText hollowPrint(documents.hollowPrint);
    DocumentText hollowPreview(documents.hollowPreview);
    QList<DocumentText *> prints = {&print};
    QList<DocumentText *> previews = {&preview};
    if (hollowToo) {
        prints << &hollowPrint;
        previews << &hollowPreview;
    }
    const QList<DocumentText *> all = prints + previews;
    for (DocumentText *document : all) {
        if (!document->open())
            return -1;
    }

    const float length = std::abs(reader.getXMax() - reader.getXMin());
    const float width = std::abs(reader.getYMax() - reader.getYMin());
    auto footprint = [&](QTextStream &stream, const char *style) {
        stream << "<rect x=\"" << reader.getXMin() << "\" y=\"" << reader.getYMin() << "\" width=\""
               << length << "\" height=\"" << width << "\" style=\"" << style << "\" />\n";
    };
    for (DocumentText *document : all) {
        document->stream() << "<svg version=\"1.1\"\n"
                           << "\theight=\"" << length << "\""
                           << "\twidth=\"" << width << "\"\n"
                           << "\tviewBox=\"" << reader.getXMin() << " " << reader.getYMin() << " "
                           << length << " " << width << "\"\n"
                           << "\txmlns:ev=\"http://www.w3.org/2001/xml-events\"\n"
                           << "\txmlns:xlink=\"http://www.w3.org/1999/xlink\"\n"
                           << "\txmlns=\"http://www.w3.org/2000/svg\"\n"
                           << ">\n";
    }

    const double thickness = microns / 1000.0;
    const float zmax = reader.getZMax();
    int planes = 0;
    for (double z = reader.getZMin() + thickness; z <= zmax; z += thickness) {
        for (DocumentText *document : all) {
            document->stream() << "<g id=\"" << planes + 1 << "\" plane=\"" << z << "\">\n";
            footprint(document->stream(), "fill:black");
        }
        const Layer layer = sectionAt(reader.facets(), z);
        for (int i = 0; i < layer.outlines.size(); ++i) {
            const QPolygonF &outline = layer.outlines.at(i);
            const bool hole = layer.holes.at(i);
            const QString points = svgPoints(outline);
            const char *const transform = ";\" transform=\"scale(-1, 1)\" />\n";
            for (DocumentText *document : prints) {
                document->stream() << "<polygon points=\"" << points
                                   << "\" style=\"fill:" << (hole ? "black" : "white") << transform;
            }
            for (DocumentText *document : previews) {
                document->stream() << "<polygon points=\"" << points
                                   << "\" style=\"fill:" << (hole ? "black" : "red") << transform;
            }
            if (hole || !hollowToo)
                continue;
            for (const QPolygonF &inset : hollowInsets(outline)) {
                const QString element = QStringLiteral("<polygon points=\"") % svgPoints(inset)
                        % QStringLiteral("\" style=\"stroke-width:0.5; fill:black\" "
                                         "transform=\"scale(-1, 1)\"  />");
                hollowPrint.stream() << element;
                hollowPreview.stream() << element;
            }
        }
        ++planes;
        for (DocumentText *document : all) {
            document->stream() << "</g>\n";
            if (!document->writeOut())
                return -1;
        }
    }

    for (DocumentText *document : all) {
        const bool isPreview = previews.contains(document);
        document->stream() << "<g id=\"base\">\n";
        footprint(document->stream(), isPreview ? "fill: red;" : "fill: white;");
        document->stream() << "</g>\n"
                           << "</svg>\n";
        if (!document->writeOut())
            return -1;
    }
    return planes;
}

} // namespace ReferenceSlicer
