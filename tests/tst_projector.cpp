#include <QApplication>
#include <QGraphicsSvgItem>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QtTest>

#include "base/settingsvalues.h"
#include "job/layerdocument.h"
#include "projector/projector.h"
#include "slicing/slicer.h"
#include "tests/testsupport.h"

using namespace TestSupport;

// The projector window on the second screen, showing a job sliced here, checked on the screen.
class TestProjector : public QObject
{
    Q_OBJECT

private slots:
    void showsLayersCentredOnTheSecondScreen();
};

void TestProjector::showsLayersCentredOnTheSecondScreen()
{
    Q_INIT_RESOURCE(gui);
    QCOMPARE(QGuiApplication::screens().size(), 2);
    QScreen *const screen = QGuiApplication::screens().at(1);

    // A 20 x 20 mm block with a hole off its centre, so that a turned or mirrored layer shows.
    QTemporaryDir dir;
    const QString model = dir.filePath("block.stl");
    QVERIFY(writeFile(model,
                      binaryStl(boxFacets(-10, -10, 0, 10, 10, 2).mid(4)
                                + inverted(boxFacets(2, -3, 0, 8, 3, 2).mid(4)))));
    Slicer slicer;
    QString error;
    QVERIFY2(slicer.engage({model, 1000, false, dir.filePath("runs/"), {}}, error),
             qPrintable(error));
    const QString document = slicer.getOutputFolder() + "block.svg";
    LayerDocument layers;
    QVERIFY(layers.open(document));

    // The screen as it must look: black, and layer `id` (none when empty) drawn by QSvgRenderer
    // at `scale` pixels per millimetre, turned by `degrees` about its centre, which lies on the
    // screen's centre plus `offset`.
    const auto expected = [&](const QString &id, float scale = 4, QPointF offset = {},
                              qreal degrees = 0) {
        QImage image(screen->size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        if (id.isEmpty())
            return image;
        QSvgRenderer renderer(layers.layer(id));
        const QSizeF size = renderer.boundsOnElement(id).size() * qreal(scale);
        QPainter painter(&image);
        painter.translate(QPointF(image.width(), image.height()) / 2 + offset);
        painter.rotate(degrees);
        renderer.render(&painter, id, QRectF(QPointF(-size.width(), -size.height()) / 2, size));
        return image;
    };
    // Pixels of the second screen clearly brighter or darker than `wanted`.
    const auto wrongPixels = [screen](const QImage &wanted) {
        const QImage shown = screen->grabWindow(0).toImage();
        int wrong = shown.size() == wanted.size() ? 0 : -1;
        for (int y = 0; wrong >= 0 && y < wanted.height(); ++y) {
            for (int x = 0; x < wanted.width(); ++x)
                wrong += std::abs(qGray(shown.pixel(x, y)) - qGray(wanted.pixel(x, y))) > 64;
        }
        return wrong;
    };

    SETTINGS_GRID_FACTOR = 5.5f;
    Projector projector;
    QVERIFY(!projector.isVisible() && !projector.isActive() && projector.scaleFactor() == 5.5f);
    projector.zoomOut(250);
    projector.setOffset(0, 0);
    projector.addOffsetX(3);
    projector.subOffsetX(5);
    projector.addOffsetY(7);
    QCOMPARE(projector.getOffsetX(), -2);
    // Stored without an image, applied to the next one.
    projector.addRotation(90);
    projector.subRotation(30);

    projector.showProjector();
    QVERIFY(QTest::qWaitForWindowExposed(&projector) && projector.isActive());
    QCOMPARE(projector.geometry(), screen->geometry());
    QCOMPARE(wrongPixels(expected({})), 0);

    // The grid first, larger than the layers. Frames are on the screen when the calls return,
    // without an event loop pass; the grid's owner may delete it while it is shown.
    QSvgRenderer gridRenderer(QStringLiteral(":/img/grid.svg"));
    auto grid = std::make_unique<QGraphicsSvgItem>();
    grid->setSharedRenderer(&gridRenderer);
    grid->setElementId("0");
    projector.loadImage(grid.get());
    projector.showImage();
    QVERIFY(screen->grabWindow(0).toImage() != expected({}));
    grid.reset();
    projector.showImage();
    QCOMPARE(wrongPixels(expected({})), 0);

    QVERIFY(projector.loadLayers(document));
    QVERIFY(projector.hasLayer("1") && projector.hasLayer("base") && !projector.hasLayer("3"));
    projector.showFrame("1");
    QCOMPARE(wrongPixels(expected("1", 3, {-2, 7}, 60)), 0);
    projector.zoomReset();
    QVERIFY(projector.getOffsetX() == 0 && projector.getOffsetY() == 0
            && projector.getRotation() == 0);
    projector.setOffset(30, -20);
    projector.showFrame("1");
    QCOMPARE(wrongPixels(expected("1", 4, {30, -20})), 0);
    projector.showBase();
    QCOMPARE(wrongPixels(expected("base", 4, {30, -20})), 0);
    projector.blackFrame();
    QCOMPARE(wrongPixels(expected({})), 0);

    // No cursor over the window, lit or black (a missing layer is black).
    const QPoint centre = screen->geometry().center();
    projector.showFrame("1");
    QCOMPARE(QApplication::widgetAt(centre)->cursor().shape(), Qt::BlankCursor);
    projector.showFrame("3");
    QCOMPARE(wrongPixels(expected({})), 0);
    QCOMPARE(QApplication::widgetAt(centre)->cursor().shape(), Qt::BlankCursor);

    // A document that cannot be read leaves nothing of the job before it to show.
    writeFile(dir.filePath("plain.svg"), "<svg/>");
    QVERIFY(!projector.loadLayers(dir.filePath("plain.svg")) && !projector.hasLayer("1"));
    projector.showFrame("1");
    QCOMPARE(wrongPixels(expected({})), 0);

    projector.zoomIn(10);
    QCOMPARE(projector.scaleFactor(), 4.1f);
    projector.zoomReset();
    projector.zoomOut(100);
    QCOMPARE(projector.scaleFactor(), 3.0f);
}

QTEST_MAIN(TestProjector)
#include "tst_projector.moc"
