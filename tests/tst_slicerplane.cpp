#include <QtTest>

#include "slicing/planesection.h"
#include "tests/testsupport.h"

using namespace TestSupport;

namespace {

// The facets as the reader gives them, with normals computed from their corners.
QVector<STLReader::Facet> facetsOf(const QVector<STLStruct> &records)
{
    QVector<STLReader::Facet> facets;
    for (const STLStruct &record : records) {
        facets << STLReader::Facet(record);
        facets.last().recalculateNormals();
    }
    return facets;
}

} // namespace

// The section of a model by one plane, checked against hand-made expectations (the equality test
// checks every step against the reference slicer on many models).
class TestSlicerPlane : public QObject
{
    Q_OBJECT

private slots:
    void facetsTouchingThePlane();
    void holesAndPaintingOrder();
    void holeProbeKeepsSinglePrecision();
    void hollowInsetsInWholeUnits();
};

void TestSlicerPlane::facetsTouchingThePlane()
{
    // A corner on the plane counts as below it. One corner on it and two above: a point, dropped.
    // Two on it and one above: their edge. Two above and one on it, two on it and one below, all
    // three on it: nothing.
    const auto cut = [](const STLStruct &record) {
        return PlaneSection::cutFacets(facetsOf({record}), 5);
    };
    const std::vector<SliceSegment> edge = cut({0, 0, 0, 0, 0, 5, 1, 0, 5, 0, 1, 6});
    QVERIFY(edge.size() == 1 && edge[0].P() == QPointF(0, 0) && edge[0].Q() == QPointF(1, 0));
    for (const STLStruct &touching : {STLStruct{0, 0, 0, 0, 0, 5, 1, 0, 6, 0, 1, 6},
                                      STLStruct{0, 0, 0, 0, 0, 6, 1, 0, 6, 0, 1, 5},
                                      STLStruct{0, 0, 0, 0, 0, 5, 1, 0, 5, 0, 1, 4},
                                      STLStruct{0, 0, 0, 0, 0, 5, 1, 0, 5, 0, 1, 5}})
        QVERIFY(cut(touching).empty());
}

void TestSlicerPlane::holesAndPaintingOrder()
{
    // An island in the hole of a tube: the outline first, then the hole, then the island, in
    // whatever order the file lists them.
    const auto walls = [](float half) { return boxFacets(-half, -half, 0, half, half, 10).mid(4); };
    const QVector<STLStruct> island = walls(2);
    const QVector<STLStruct> outer = walls(10);
    const QVector<STLStruct> hole = inverted(walls(6));
    for (const QVector<STLStruct> &model : {island + outer + hole, hole + island + outer}) {
        const PlaneSection::Layer layer = PlaneSectioner().section(5, facetsOf(model));
        QCOMPARE(layer.holes, QList<bool>({false, true, false}));
        QCOMPARE(layer.outlines.at(0).boundingRect(), QRectF(-10, -10, 20, 20));
        QCOMPARE(layer.outlines.at(1).boundingRect(), QRectF(-6, -6, 12, 12));
        QCOMPARE(layer.outlines.at(2).boundingRect(), QRectF(-2, -2, 4, 4));
    }
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

void TestSlicerPlane::hollowInsetsInWholeUnits()
{
    // 4 units inward from the outline truncated to whole units: 10 gives 6, and 9.7 gives 5.
    const auto square = [](double h) { return QPolygonF({{-h, -h}, {h, -h}, {h, h}, {-h, h}}); };
    for (const auto &[half, inset] : {std::pair{10.0, 6.0}, {9.7, 5.0}}) {
        const QVector<QPolygonF> insets = PlaneSection::hollowInsets(square(half));
        QVERIFY(insets.size() == 1 && insets[0].size() == 4);
        QCOMPARE(insets[0].boundingRect(), square(inset).boundingRect());
    }
    // Too narrow, or out of the offsetting's range (which it would refuse by throwing): none.
    for (const double half : {3.0, 5e18, qQNaN()})
        QVERIFY(PlaneSection::hollowInsets(square(half)).isEmpty());
}

QTEST_GUILESS_MAIN(TestSlicerPlane)
#include "tst_slicerplane.moc"
