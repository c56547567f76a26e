#include <cmath>
#include <memory>

#include <QApplication>
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
    // The two triangles of a quad by ring and segment steps; the rings at the poles have one.
    const int halves[2][3][2] = {{{0, 0}, {1, 0}, {1, 1}}, {{0, 0}, {1, 1}, {0, 1}}};
    QVector<STLStruct> facets;
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            for (int half = ring == rings - 1; half < 2 - (ring == 0); ++half) {
                STLStruct facet;
                float *value = &facet.ax;
                for (const auto &[down, along] : halves[half]) {
                    const double theta = M_PI * (ring + down) / rings;
                    const double phi = 2 * M_PI * ((segment + along) % segments) / segments;
                    *value++ = float(radius * std::sin(theta) * std::cos(phi));
                    *value++ = float(radius * std::sin(theta) * std::sin(phi));
                    *value++ = float(radius * std::cos(theta) + radius);
                }
                facets << facet;
            }
        }
    }
    return facets;
}

} // namespace

class TestView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void instanceRules();
    void drawsFollowsAndFreesTheModels();
    void coarseStandInLooksTheSame();

private:
    std::unique_ptr<STLModelInstance> instance(const QString &file)
    {
        return std::make_unique<STLModelInstance>(
                std::make_unique<STLReader>(m_folder.filePath(file)));
    }
    static bool isBlue(QRgb pixel) { return qBlue(pixel) > 200 && qRed(pixel) < 60; }
    static bool isRed(QRgb pixel) { return qRed(pixel) > 200 && qBlue(pixel) < 60; }
    static QRgb centre(STLViewer &viewer) { return viewer.takeScreenShot().pixel(200, 200); }
    // A drag from the middle of the view, pressed, moved and released.
    static void drag(STLViewer &viewer, const QPoint &by, Qt::MouseButton button)
    {
        QWindow *window = viewer.window()->windowHandle();
        QTest::mousePress(window, button, {}, QPoint(200, 200));
        QTest::mouseMove(window, QPoint(200, 200) + by);
        QTest::mouseRelease(window, button, {}, QPoint(200, 200) + by);
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
    // Above 360 lands in (0, 360], below 0 in [0, 360) (never -0); what is no number becomes
    // 0, and a huge angle ends, where adding or subtracting 360 would not change it.
    const float inf = float(qInf()), nan = float(qQNaN());
    const auto normalized = [](QVector3D angles) {
        STLModelInstance::normalizeRotation(angles);
        return angles;
    };
    QCOMPARE(normalized({450, -30, 360}), QVector3D(90, 330, 360));
    QCOMPARE(normalized({720, -720.5f, 0}), QVector3D(360, 359.5f, 0));
    QVERIFY(!std::signbit(normalized({-360, 0, 0}).x()));
    QCOMPARE(normalized({inf, -inf, nan}), QVector3D(0, 0, 0));
    const QVector3D huge = normalized({1e30f, -3e38f, 3e38f});
    QCOMPARE(huge.x(), std::fmod(1e30f, 360.0f));
    QVERIFY(huge.y() >= 0 && huge.y() < 360 && huge.z() > 0 && huge.z() <= 360);

    // Scales have a floor; a component that is no number keeps its value, as for positions.
    auto box = instance("box.stl");
    box->scaleModel({1, -5, 0});
    QCOMPARE(box->scale(), QVector3D(2, 0.01f, 1));
    box->setScale({0, nan, inf});
    QCOMPARE(box->scale(), QVector3D(0.01f, 0.01f, 1));
    box->modelMatrix().translate(5, 5, 5);
    box->setPosition({10, nan, -2});
    QVERIFY(box->position() == QVector3D(10, 0, -2) && box->modelMatrix().isIdentity());
}

void TestView::drawsFollowsAndFreesTheModels()
{
    // Added before the view has a context: drawn once it has one, by a grab while the view is
    // hidden (the context is made then, and made again when the view is shown).
    QWidget first;
    first.resize(400, 400);
    auto *viewer = new STLViewer(&first);
    viewer->resize(400, 400);
    auto box = instance("box.stl");
    viewer->addModel(box.get());
    QVERIFY(isBlue(centre(*viewer)));
    first.show();
    QVERIFY(QTest::qWaitForWindowExposed(&first));
    QVERIFY(viewer->shadersLinked() && isBlue(centre(*viewer)) && viewer->modelBufferCount() == 1);

    // Nothing changes: the timer ticks but draws nothing. A change made on the instance alone
    // is seen at the next tick.
    QTest::qWait(100);
    const int frames = viewer->framesDrawn();
    QTest::qWait(200);
    QCOMPARE(viewer->framesDrawn(), frames);
    box->setSelected(true);
    QTRY_VERIFY(viewer->framesDrawn() > frames);
    viewer->deSelectModel(0);
    QVERIFY(!box->isSelected() && isBlue(centre(*viewer)));

    // The placement is built from scale, rotation about x, y then z (brought into range) and
    // position; a move keeps the rotation. Off the centre, the plate or the background shows.
    viewer->rotateModel(0, {90, 0, 540});
    viewer->scaleModel(0, {2, 2, 2});
    viewer->moveModel(0, {100, 0, 0});
    QCOMPARE(box->rotation(), QVector3D(90, 0, 180));
    QCOMPARE(box->modelMatrix().map(QVector3D(0, 0, 1)), QVector3D(100, 2, 0));
    QVERIFY(!isBlue(centre(*viewer)));
    viewer->moveModel(0, {0, 0, 0});
    QVERIFY(isBlue(centre(*viewer)));

    // Another window means another context: the old one's buffers go with it, and the new one
    // draws the model again. Removed, the model leaves the view with its buffers.
    viewer->selectModel(0);
    QWidget second;
    second.resize(400, 400);
    viewer->setParent(&second);
    QCOMPARE(viewer->modelBufferCount(), 0);
    viewer->show();
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QVERIFY(isRed(centre(*viewer)) && viewer->modelBufferCount() == 1);
    viewer->removeModel(1);
    viewer->removeModel(0);
    QVERIFY(viewer->modelCount() == 0 && viewer->modelBufferCount() == 0);
    QVERIFY(!isRed(centre(*viewer)));

    // The camera turns on a right-button drag: from -60, 100 px down gives -160, brought into
    // [0, 180), and y into [0, 360). Looking straight down, the plate is still drawn.
    drag(*viewer, {30, 100}, Qt::RightButton);
    drag(*viewer, {50, 50}, Qt::LeftButton);
    QVERIFY(viewer->cameraAngleX() == 20 && viewer->cameraAngleY() == 330);
    drag(*viewer, {-30, 20}, Qt::RightButton);
    QVERIFY(viewer->cameraAngleX() == 0 && viewer->cameraAngleY() == 0);
    QVERIFY(centre(*viewer) != QColor(Qt::gray).rgb());
}

void TestView::coarseStandInLooksTheSame()
{
    auto sphere = instance("sphere.stl");
    const int facets = sphere->model().facets().size();
    // Too fine a grid keeps every facet.
    QCOMPARE(sphere->coarseFacetCount(1e-30f), facets);

    // Its facets far smaller than a pixel, the sphere is drawn from under a third of them.
    STLViewer viewer;
    viewer.addModel(sphere.get());
    viewer.resize(400, 400);
    const QImage coarse = viewer.takeScreenShot();
    QVERIFY(viewer.modelVerticesDrawn() > 0 && viewer.modelVerticesDrawn() < facets);
    viewer.setCoarseStandIns(false);
    const QImage full = viewer.takeScreenShot();
    QCOMPARE(viewer.modelVerticesDrawn(), 3 * facets);

    // They differ only on the model's outline, by a pixel at most.
    const auto isModel = [&full](int x, int y) { return qBlue(full.pixel(x, y)) > 200 ? 1 : 0; };
    int strays = 0;
    for (int y = 1; y < full.height() - 1; ++y) {
        for (int x = 1; x < full.width() - 1; ++x) {
            int around = 0;
            for (int i = 0; i < 9; ++i)
                around += isModel(x + i % 3 - 1, y + i / 3 - 1);
            const QRgb a = full.pixel(x, y), b = coarse.pixel(x, y);
            const int difference = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                    + std::abs(qBlue(a) - qBlue(b));
            strays += difference > 48 && around % 9 == 0 ? 1 : 0;
        }
    }
    QVERIFY2(isModel(200, 200) && strays == 0, qPrintable(QString::number(strays)));

    // Zoomed in with the wheel, the facets are no longer smaller than the cells: all of them are drawn.
    viewer.setCoarseStandIns(true);
    QWheelEvent wheel({200, 200}, viewer.mapToGlobal(QPoint(200, 200)), {}, {0, 120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    for (int step = 0; step < 12; ++step)
        QApplication::sendEvent(&viewer, &wheel);
    viewer.takeScreenShot();
    QCOMPARE(viewer.modelVerticesDrawn(), 3 * facets);
}

QTEST_MAIN(TestView)
#include "tst_view.moc"
