#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "app/constants.h"
#include "slicing/planesection.h"
#include "slicing/segmentchainer.h"
#include "slicing/slicer.h"
#include "tests/testsupport.h"

namespace {

// The four side walls of a box, two triangles each; facing into the box when `inward` (the wall
// of a hole).
QVector<STLStruct> walls(float x0, float y0, float x1, float y1, float height, bool inward)
{
    QVector<STLStruct> sides = TestSupport::boxFacets(x0, y0, 0, x1, y1, height).mid(4);
    if (inward) {
        for (STLStruct &side : sides) {
            std::swap(side.bx, side.cx);
            std::swap(side.by, side.cy);
            std::swap(side.bz, side.cz);
        }
    }
    return sides;
}

QVector<STLReader::Facet> facetsOf(const QVector<STLStruct> &records)
{
    QVector<STLReader::Facet> facets;
    for (const STLStruct &r : records) {
        facets.append(STLReader::Facet(r));
        facets.last().recalculateNormals(); // as the reader does
    }
    return facets;
}

} // namespace

// One plane of a model: the cut, the outlines, holes, painting order and the layer group text.
class TestSlicerPlane : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cutArithmeticTruncatesTowardZero();
    void facetsTouchingThePlane();
    void chainingInvertsReversedSegments();
    void cubeAtHalfHeightIsOneOutline();
    void tubeHolePaintedAfterItsOutline();
    void islandInsideHolePaintedLast();
    void holeProbeKeepsSinglePrecision();
    void hollowInsetInWholeUnits();
    void tinyNegativeCoordinateKeepsItsSign();

private:
    struct LayerText
    {
        QString print;
        QString preview;
    };
    // Slices the model made of `records` at height z into a fresh run and returns layer group 1.
    LayerText layerAt(const QVector<STLStruct> &records, double z, bool hollow = false);

    QTemporaryDir m_dir;
    int m_models = 0;
};

TestSlicerPlane::LayerText TestSlicerPlane::layerAt(const QVector<STLStruct> &records, double z,
                                                    bool hollow)
{
    const QString model = m_dir.filePath(QStringLiteral("m%1.stl").arg(++m_models));
    TestSupport::writeFile(model, TestSupport::binaryStl(records));
    SLICER_WORKING_DIR = m_dir.path() + QStringLiteral("/runs/");
    Slicer slicer(nullptr, model, 100, 0.1f, hollow);
    QString error;
    if (!slicer.svgOpenOutputFile(error))
        return {};
    slicer.slicePlane(z);
    if (!slicer.svgCloseOutputFile(error))
        return {};

    auto group = [](const QString &path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(file.readAll());
        const int begin = text.indexOf(QStringLiteral("<g id=\"1\""));
        const int end = text.indexOf(QStringLiteral("</g>\n"), begin) + 5;
        return begin < 0 ? QString() : text.mid(begin, end - begin);
    };
    const QString base = slicer.getOutputFolder() + QFileInfo(model).baseName();
    return {group(base + ".svg"), group(base + "_preview.svg")};
}

void TestSlicerPlane::cutArithmeticTruncatesTowardZero()
{
    QCOMPARE(PlaneSection::truncValue(1.0 / 3.0), 333333333 / 1e9);
    QCOMPARE(PlaneSection::truncValue(-2.5e-9), -2e-9);
    QCOMPARE(PlaneSection::truncValue(7.9999999999), 7.999999999);

    // t is computed in double from the float handed over: (0.1f - 0) / 0.3 is not 1/3.
    const STLReader::Vertex u{0, 0, 0};
    const STLReader::Vertex v{3, -3, 0.3f};
    const QPointF p = PlaneSection::intersectingPoint(u, v, 0.1f);
    const double t = double(0.1f) / double(0.3f);
    QCOMPARE(p, QPointF(PlaneSection::truncValue(t * 3), PlaneSection::truncValue(t * -3)));
}

void TestSlicerPlane::facetsTouchingThePlane()
{
    // One vertex on the plane, two above: a degenerate segment, dropped.
    QVERIFY(PlaneSection::cutFacets(facetsOf({STLStruct{0, 0, 0, 0, 0, 5, 1, 0, 6, 0, 1, 6}}), 5)
                    .empty());
    // Two above, the third on the plane: only touches it.
    QVERIFY(PlaneSection::cutFacets(facetsOf({STLStruct{0, 0, 0, 0, 0, 6, 1, 0, 6, 0, 1, 5}}), 5)
                    .empty());
    // Two on the plane and the third above: the edge between them.
    const std::vector<SliceSegment> edge =
            PlaneSection::cutFacets(facetsOf({STLStruct{0, 0, 0, 0, 0, 5, 1, 0, 5, 0, 1, 6}}), 5);
    QCOMPARE(edge.size(), 1);
    QCOMPARE(edge.at(0).P(), QPointF(0, 0));
    QCOMPARE(edge.at(0).Q(), QPointF(1, 0));
    // The same edge seen from a facet below, and a facet lying in the plane: nothing.
    QVERIFY(PlaneSection::cutFacets(facetsOf({STLStruct{0, 0, 0, 0, 0, 5, 1, 0, 5, 0, 1, 4},
                                              STLStruct{0, 0, 0, 0, 0, 5, 1, 0, 5, 0, 1, 5}}),
                                    5)
                    .empty());
}

void TestSlicerPlane::chainingInvertsReversedSegments()
{
    // A unit square whose second and fourth sides were found the wrong way round.
    std::vector<SliceSegment> segments = {
            SliceSegment({0, 0}, {1, 0}, {0, -1}), SliceSegment({0, 1}, {1, 1}, {0, 1}),
            SliceSegment({1, 1}, {1, 0}, {1, 0}), SliceSegment({0, 0}, {0, 1}, {-1, 0})};
    SegmentChainer().chain(segments);
    for (size_t i = 1; i < segments.size(); ++i)
        QCOMPARE(segments.at(i).P(), segments.at(i - 1).Q());
    QCOMPARE(segments.at(1).N(), QPointF(1, 0)); // the normal travels with its segment

    QList<QPolygonF> outlines;
    QVector<QPointF> normals;
    PlaneSection::assembleOutlines(segments, outlines, normals);
    QCOMPARE(outlines.size(), 1);
    QCOMPARE(outlines.at(0), QPolygonF({{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    QVERIFY(!PlaneSection::isHole(outlines.at(0), normals.at(0)));
}

void TestSlicerPlane::cubeAtHalfHeightIsOneOutline()
{
    // Two segments per side, joined into one outline of eight points (its text is checked whole
    // in the run test).
    const QVector<STLReader::Facet> cube = facetsOf(TestSupport::boxFacets(-5, -5, 0, 5, 5, 10));
    QCOMPARE(PlaneSection::cutFacets(cube, 5).size(), 8);
    const PlaneSection::Layer layer = PlaneSectioner().section(5, cube);
    QCOMPARE(layer.outlines.size(), 1);
    QCOMPARE(layer.outlines.at(0).size(), 8);
    QCOMPARE(layer.holes, QList<bool>({false}));
}

void TestSlicerPlane::tubeHolePaintedAfterItsOutline()
{
    const QVector<STLStruct> outer = walls(-10, -10, 10, 10, 10, false);
    const QVector<STLStruct> inner = walls(-5, -5, 5, 5, 10, true);
    for (const QVector<STLStruct> &tube : {outer + inner, inner + outer}) {
        const QVector<STLReader::Facet> facets = facetsOf(tube);
        const PlaneSection::Layer layer = PlaneSectioner().section(5, facets);
        QCOMPARE(layer.outlines.size(), 2);
        QCOMPARE(layer.holes, QList<bool>({false, true}));
        QCOMPARE(layer.outlines.at(0).boundingRect(), QRectF(-10, -10, 20, 20));

        const LayerText text = layerAt(tube, 5);
        QCOMPARE(text.print.count(QStringLiteral("fill:white")), 1);
        QVERIFY(text.print.indexOf(QStringLiteral("fill:white"))
                < text.print.indexOf(QStringLiteral("fill:black;")));
        QVERIFY(text.preview.indexOf(QStringLiteral("fill:red"))
                < text.preview.indexOf(QStringLiteral("fill:black;")));
    }
}

void TestSlicerPlane::islandInsideHolePaintedLast()
{
    // Island first in the file: it must still come after the hole that surrounds it.
    const QVector<STLStruct> model = walls(-2, -2, 2, 2, 10, false)
            + walls(-10, -10, 10, 10, 10, false) + walls(-6, -6, 6, 6, 10, true);
    const QVector<STLReader::Facet> facets = facetsOf(model);
    const PlaneSection::Layer layer = PlaneSectioner().section(5, facets);
    QCOMPARE(layer.holes, QList<bool>({false, true, false}));
    QCOMPARE(layer.outlines.at(0).boundingRect().width(), 20.0);
    QCOMPARE(layer.outlines.at(1).boundingRect().width(), 12.0);
    QCOMPARE(layer.outlines.at(2).boundingRect().width(), 4.0);
}

void TestSlicerPlane::holeProbeKeepsSinglePrecision()
{
    // GCC 12 at -O2 drops the float rounding of this probe when its SLP vectorizer pairs the x
    // and y conversions; the unrounded probe lies inside, the rounded one outside.
    const QPolygonF outline(
            {{71.217123527, -61.11894989}, {59.422255827, -59.009308032}, {60, -50}});
    const QPointF normal(0.0014381690416485071, 0.008040706627070904);
    const QPointF unrounded = (outline.at(0) + outline.at(1)) * 0.5 + 2e-5 * normal;
    QVERIFY(outline.containsPoint(unrounded, Qt::OddEvenFill));
    QVERIFY(!PlaneSection::isHole(outline, normal));
}

void TestSlicerPlane::hollowInsetInWholeUnits()
{
    auto insetCorners = [this](float half) {
        const LayerText layer =
                layerAt(TestSupport::boxFacets(-half, -half, 0, half, half, 10), 5, true);
        const QString inset = QStringLiteral(
                "\" style=\"stroke-width:0.5; fill:black\" transform=\"scale(-1, 1)\"  /></g>\n");
        QSet<QString> corners;
        if (!layer.print.endsWith(inset) || !layer.preview.endsWith(inset))
            return corners;
        const QString element = QStringLiteral("<polygon points=\"");
        const int start = layer.print.lastIndexOf(element) + element.size();
        const QString points = layer.print.mid(start, layer.print.size() - inset.size() - start);
        for (const QString &point : points.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            corners.insert(point);
        return corners;
    };
    QCOMPARE(insetCorners(10),
             QSet<QString>({"6.000000,6.000000", "-6.000000,6.000000", "-6.000000,-6.000000",
                            "6.000000,-6.000000"}));
    // 9.7 is truncated to 9 before the offset.
    QCOMPARE(insetCorners(9.7f),
             QSet<QString>({"5.000000,5.000000", "-5.000000,5.000000", "-5.000000,-5.000000",
                            "5.000000,-5.000000"}));
    // Too narrow for a wall of 4 on each side: no inset.
    QVERIFY(PlaneSection::hollowInsets(QPolygonF({{-3, -3}, {3, -3}, {3, 3}, {-3, 3}})).isEmpty());
}

void TestSlicerPlane::tinyNegativeCoordinateKeepsItsSign()
{
    // A sliver standing in the plane x = -4e-7 inside a box: its cut, left over as a one-point
    // outline after the box closes, prints as -0.000000.
    const QVector<STLStruct> model = TestSupport::boxFacets(-5, -5, 0, 5, 5, 10)
            + QVector<STLStruct>({STLStruct{0, 0, 0, -4e-7f, 1, 0, -4e-7f, 2, 10, -4e-7f, 3, 0}});
    const LayerText layer = layerAt(model, 5);
    QVERIFY(layer.print.contains(QStringLiteral("\"-0.000000,2.500000 \"")));
}

QTEST_MAIN(TestSlicerPlane)
#include "tst_slicerplane.moc"
