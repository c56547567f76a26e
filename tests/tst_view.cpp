#include <cmath>
#include <limits>
#include <memory>

#include <QApplication>
#include <QMouseEvent>
#include <QVector3D>
#include <QWheelEvent>
#include <QtTest>

#include "model/stlmodelinstance.h"
#include "tests/testsupport.h"
#include "view/stlviewer.h"

using namespace TestSupport;

namespace {

// A UV sphere resting on z = 0, outward facing; shared corners are computed once each way, so
// they match bit for bit.
QVector<STLStruct> sphereFacets(double radius, int segments, int rings)
{
    const auto point = [=](int ring, int segment) {
        const double theta = M_PI * ring / rings;
        const double phi = 2 * M_PI * (segment % segments) / segments;
        return QVector3D(float(radius * std::sin(theta) * std::cos(phi)),
                         float(radius * std::sin(theta) * std::sin(phi)),
                         float(radius * std::cos(theta) + radius));
    };
    const auto facet = [](const QVector3D &a, const QVector3D &b, const QVector3D &c) {
        return STLStruct{0, 0, 0, a.x(), a.y(), a.z(), b.x(), b.y(), b.z(), c.x(), c.y(), c.z()};
    };
    QVector<STLStruct> facets;
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            const QVector3D p00 = point(ring, segment), p01 = point(ring, segment + 1);
            const QVector3D p10 = point(ring + 1, segment), p11 = point(ring + 1, segment + 1);
            if (ring < rings - 1)
                facets << facet(p00, p10, p11);
            if (ring > 0)
                facets << facet(p00, p11, p01);
        }
    }
    return facets;
}

bool isModelBlue(QRgb pixel)
{
    return qBlue(pixel) > 200 && qRed(pixel) < 60;
}

bool isModelRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qBlue(pixel) < 60;
}

} // namespace

class TestView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void instanceRules();
    void drawsModelsInTheirColours();
    void cameraFollowsTheMouse();
    void coarseStandInLooksTheSame();
    void survivesANewContextAndIdlesQuietly();

private:
    std::unique_ptr<STLModelInstance> instance(const QString &file)
    {
        return std::make_unique<STLModelInstance>(
                std::make_unique<STLReader>(m_folder.filePath(file)));
    }
    // The view, shown on its own, 400 x 400.
    static void show(STLViewer &viewer)
    {
        viewer.resize(400, 400);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    }
    static QRgb centre(STLViewer &viewer)
    {
        const QImage image = viewer.takeScreenShot();
        return image.pixel(image.width() / 2, image.height() / 2);
    }
    static void mouse(STLViewer &viewer, QEvent::Type type, const QPoint &position,
                      Qt::MouseButton button)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, position, viewer.mapToGlobal(position),
                          type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QApplication::sendEvent(&viewer, &event);
    }
    static void drag(STLViewer &viewer, const QPoint &by, Qt::MouseButton button)
    {
        const QPoint start(200, 200);
        mouse(viewer, QEvent::MouseButtonPress, start, button);
        mouse(viewer, QEvent::MouseMove, start + by, button);
        mouse(viewer, QEvent::MouseButtonRelease, start + by, button);
    }

    QTemporaryDir m_folder;
};

void TestView::initTestCase()
{
    Q_INIT_RESOURCE(gui);
    QVERIFY(writeFile(m_folder.filePath("box.stl"), binaryStl(boxFacets(0, 0, 0, 40, 40, 40))));
    QVERIFY(writeFile(m_folder.filePath("sphere.stl"), binaryStl(sphereFacets(20, 400, 200))));
}

void TestView::instanceRules()
{
    QVector3D angles(450, -30, 360);
    STLModelInstance::normalizeRotation(angles);
    QCOMPARE(angles, QVector3D(90, 330, 360));
    // Above 360 lands in (0, 360], below 0 in [0, 360); what is no number becomes 0, and a
    // huge angle ends (adding or subtracting 360 would not change it).
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const QList<QPair<float, float>> cases = {{-90, 270},
                                              {0, 0},
                                              {720, 360},
                                              {-360, 0},
                                              {-720.5f, 359.5f},
                                              {inf, 0},
                                              {-inf, 0},
                                              {nan, 0},
                                              {1e30f, std::fmod(1e30f, 360.0f)}};
    for (const auto &[given, expected] : cases) {
        QVector3D rotation(given, given, given);
        STLModelInstance::normalizeRotation(rotation);
        QCOMPARE(rotation, QVector3D(expected, expected, expected));
        QVERIFY(!std::signbit(rotation.x()));
    }
    QVector3D huge(-1e30f, 3e38f, -3e38f);
    STLModelInstance::normalizeRotation(huge);
    for (const float angle : {huge.x(), huge.y(), huge.z()})
        QVERIFY2(angle >= 0 && angle <= 360, qPrintable(QString::number(angle)));

    auto box = instance("box.stl");
    QCOMPARE(box->name(), QStringLiteral("box"));
    QCOMPARE(box->filePath(), m_folder.filePath("box.stl"));
    QCOMPARE(box->vertexCount(), 36);
    QVERIFY(!box->isSelected());
    box->setRotation({-90, 0, 400});
    QCOMPARE(box->rotation(), QVector3D(270, 0, 40));
    box->scaleModel({-5, -5, -5});
    QCOMPARE(box->scale(), QVector3D(0.01f, 0.01f, 0.01f));
    box->setScale({0, 2, 0.01f});
    QCOMPARE(box->scale(), QVector3D(0.01f, 2, 0.01f));
    box->setScale({nan, inf, 3});
    QCOMPARE(box->scale(), QVector3D(0.01f, 2, 3));
    box->modelMatrix().translate(5, 5, 5);
    box->setPosition({10, nan, -2});
    QCOMPARE(box->position(), QVector3D(10, 0, -2));
    QVERIFY(box->modelMatrix().isIdentity());

    // The buffer layout: every corner in facet order, then each facet's normal three times.
    QVector<float> data(box->vertexCount() * 6);
    box->writeVertexData(data.data(), data.data() + box->vertexCount() * 3);
    const STLReader::Facet &last = box->model().facets().last();
    QCOMPARE(QVector3D(data[102], data[103], data[104]),
             QVector3D(last.b().x, last.b().y, last.b().z));
    for (int corner = 0; corner < 3; ++corner)
        QCOMPARE(QVector3D(data[207 + 3 * corner], data[208 + 3 * corner], data[209 + 3 * corner]),
                 QVector3D(last.n().x, last.n().y, last.n().z));
}

void TestView::drawsModelsInTheirColours()
{
    // Added before the view has a context: drawn once it has one, by a grab while the view is
    // hidden (the context is made then, and made again when the view is shown).
    STLViewer viewer;
    viewer.resize(400, 400);
    auto box = instance("box.stl");
    viewer.addModel(box.get());
    const QImage hidden = viewer.takeScreenShot();
    QCOMPARE(hidden.size(), viewer.size() * viewer.devicePixelRatioF());
    QVERIFY(isModelBlue(hidden.pixel(200, 200)));
    show(viewer);
    QVERIFY(viewer.shadersLinked());
    QVERIFY(isModelBlue(centre(viewer)));
    QCOMPARE(viewer.modelBufferCount(), 1);

    viewer.selectModel(0);
    QVERIFY(box->isSelected());
    QVERIFY(isModelRed(centre(viewer)));
    viewer.deSelectModel(0);
    viewer.selectModel(1);
    QVERIFY(!box->isSelected());
    QVERIFY(isModelBlue(centre(viewer)));

    // The placement is built from position, rotation and scale together; a move keeps the
    // rotation. Off the centre, the plate or the background shows there.
    viewer.rotateModel(0, {0, 0, 90});
    viewer.scaleModel(0, {2, 2, 2});
    viewer.moveModel(0, {100, 0, 0});
    viewer.moveModel(5, {0, 0, 0});
    QCOMPARE(box->modelMatrix().map(QVector3D(1, 0, 0)), QVector3D(100, 2, 0));
    QVERIFY(!isModelBlue(centre(viewer)));
    viewer.moveModel(0, {0, 0, 0});
    QVERIFY(isModelBlue(centre(viewer)));

    viewer.removeModel(1);
    viewer.removeModel(0);
    QCOMPARE(viewer.modelCount(), 0);
    QCOMPARE(viewer.modelBufferCount(), 0);
    const QRgb after = centre(viewer);
    QVERIFY(!isModelBlue(after) && !isModelRed(after));
}

void TestView::cameraFollowsTheMouse()
{
    STLViewer viewer;
    auto box = instance("box.stl");
    viewer.addModel(box.get());
    show(viewer);

    // From -60, 100 px down gives -160, brought into [0, 180).
    drag(viewer, {0, 100}, Qt::RightButton);
    QCOMPARE(viewer.cameraAngleX(), 20.0);
    drag(viewer, {-30, 0}, Qt::RightButton);
    QCOMPARE(viewer.cameraAngleY(), 30.0);
    drag(viewer, {60, 0}, Qt::RightButton);
    QCOMPARE(viewer.cameraAngleY(), 330.0);
    drag(viewer, {50, 50}, Qt::LeftButton);
    QCOMPARE(viewer.cameraAngleX(), 20.0);
    QCOMPARE(viewer.cameraAngleY(), 330.0);

    // Straight down on the model (x and y angles 0), where "up" cannot be the z axis: the
    // scene is still drawn.
    drag(viewer, {-30, 20}, Qt::RightButton);
    QCOMPARE(viewer.cameraAngleX(), 0.0);
    QCOMPARE(viewer.cameraAngleY(), 0.0);
    QVERIFY(centre(viewer) != QColor(Qt::gray).rgb());

    for (int step = 0; step < 10; ++step) {
        QWheelEvent wheel(QPointF(200, 200), viewer.mapToGlobal(QPoint(200, 200)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&viewer, &wheel);
    }
    QVERIFY(qFuzzyCompare(viewer.cameraDistance(), 250 * std::pow(0.9, 10)));
}

void TestView::coarseStandInLooksTheSame()
{
    auto sphere = instance("sphere.stl");
    const int facets = sphere->model().facets().size();
    // Cells of 0.5 mm keep under a third of this sphere's facets, moved to cell centres.
    const int kept = sphere->coarseFacetCount(0.5f);
    QVERIFY2(kept > 0 && kept < facets / 3, qPrintable(QString::number(kept)));
    QVector<float> data(kept * 18);
    sphere->writeCoarseVertexData(0.5f, data.data(), data.data() + kept * 9);
    for (int i = 0; i < kept * 9; ++i)
        QVERIFY(std::fmod(data[i] / 0.5f - 0.5f, 1.0f) == 0);
    QCOMPARE(sphere->coarseFacetCount(1e-30f), facets);

    STLViewer viewer;
    viewer.addModel(sphere.get());
    show(viewer);
    const QImage coarse = viewer.takeScreenShot();
    QVERIFY(viewer.modelVerticesDrawn() > 0 && viewer.modelVerticesDrawn() < facets);
    viewer.setCoarseStandIns(false);
    const QImage full = viewer.takeScreenShot();
    QCOMPARE(viewer.modelVerticesDrawn(), 3 * facets);

    // They differ only on the model's outline, by a pixel at most.
    const auto isModel = [&full](int x, int y) { return qBlue(full.pixel(x, y)) > 200; };
    int modelPixels = 0;
    for (int y = 1; y < full.height() - 1; ++y) {
        for (int x = 1; x < full.width() - 1; ++x) {
            modelPixels += isModel(x, y) ? 1 : 0;
            const QRgb a = full.pixel(x, y), b = coarse.pixel(x, y);
            const int difference = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                    + std::abs(qBlue(a) - qBlue(b));
            if (difference <= 48)
                continue;
            bool outline = false;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx)
                    outline = outline || isModel(x + dx, y + dy) != isModel(x, y);
            }
            QVERIFY2(outline, qPrintable(QStringLiteral("at %1, %2").arg(x).arg(y)));
        }
    }
    QVERIFY(modelPixels > 1000);

    // Close up, the facets are no longer smaller than the cells: all of them are drawn.
    viewer.setCoarseStandIns(true);
    for (int step = 0; step < 12; ++step) {
        QWheelEvent wheel(QPointF(200, 200), viewer.mapToGlobal(QPoint(200, 200)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&viewer, &wheel);
    }
    viewer.takeScreenShot();
    QCOMPARE(viewer.modelVerticesDrawn(), 3 * facets);
}

void TestView::survivesANewContextAndIdlesQuietly()
{
    QWidget first;
    first.resize(400, 400);
    auto *viewer = new STLViewer(&first);
    viewer->resize(400, 400);
    auto box = instance("box.stl");
    viewer->addModel(box.get());
    first.show();
    QVERIFY(QTest::qWaitForWindowExposed(&first));
    QVERIFY(isModelBlue(centre(*viewer)));

    // Nothing changes: the timer ticks but draws nothing. A change made on the instance alone
    // is seen at the next tick.
    QTest::qWait(100);
    const int frames = viewer->framesDrawn();
    QTest::qWait(200);
    QCOMPARE(viewer->framesDrawn(), frames);
    box->setSelected(true);
    QTRY_VERIFY(viewer->framesDrawn() > frames);

    // Another window means another context: the old one's buffers go with it, and the new one
    // draws the model again.
    QWidget second;
    second.resize(400, 400);
    viewer->setParent(&second);
    QCOMPARE(viewer->modelBufferCount(), 0);
    viewer->show();
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QVERIFY(isModelRed(centre(*viewer)));
    QCOMPARE(viewer->modelBufferCount(), 1);
}

QTEST_MAIN(TestView)
#include "tst_view.moc"
