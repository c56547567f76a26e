#include "projector/projector.h"

#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QScreen>
#include <QSvgRenderer>
#include <QSysInfo>

#include "base/settingsvalues.h"

Projector::Projector()
    : QWidget(nullptr)
    , m_scaleFactor(SETTINGS_GRID_FACTOR)
    , m_scene(new QGraphicsScene(this))
    , m_view(new QGraphicsView(m_scene, this))
{
    setStyleSheet(QStringLiteral("background-color:black"));
    setCursor(Qt::BlankCursor);

    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setStyleSheet(QStringLiteral("border: none"));
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setInteractive(false);
    m_view->setCursor(Qt::BlankCursor);
    // Black also where the image leaves the screen uncovered, and until the first image.
    m_scene->setBackgroundBrush(Qt::black);
    // One item at a time: an index would only be kept up to date for nothing.
    m_scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    m_view->hide();
}

Projector::~Projector()
{
    // Items of others are theirs to delete, not the scene's.
    if (m_currentItem)
        m_scene->removeItem(m_currentItem);
}

void Projector::showProjector()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        return;
    m_screenRect = screens.at(1)->geometry();
    // The order each system needs for a full-screen window to land on the second screen.
    if (QSysInfo::kernelType() == QLatin1String("winnt")) {
        showFullScreen();
        move(m_screenRect.topLeft());
        resize(m_screenRect.size());
    } else {
        move(m_screenRect.topLeft());
        resize(m_screenRect.size());
        showFullScreen();
    }
    m_projectorActive = true;
}

void Projector::loadImage(QGraphicsSvgItem *item)
{
    if (m_currentItem)
        m_scene->removeItem(m_currentItem);
    m_currentItem = item;
    if (!item)
        return;
    m_scene->addItem(item);
    item->setRotation(qreal(float(m_rotation)));
    applyPositionItem();
}

void Projector::showImage()
{
    applyPositionItem();
    m_view->show();
    paintNow();
}

void Projector::blackImage()
{
    m_view->hide();
    paintNow();
}

void Projector::showBase()
{
    const QString base = QStringLiteral("base");
    if (m_currentItem && m_currentItem == m_layerItem.get()) {
        showFrame(base);
    } else if (m_currentItem) {
        m_currentItem->setElementId(base);
        showImage();
    }
}

void Projector::zoomIn(float step)
{
    m_scaleFactor += step / 100;
    applyPositionItem();
}

void Projector::zoomOut(float step)
{
    m_scaleFactor += step / -100;
    applyPositionItem();
}

void Projector::zoomReset()
{
    m_scaleFactor = SETTINGS_BUILTIN_GRID_FACTOR;
    m_offsetX = 0;
    m_offsetY = 0;
    applyPositionItem();
    if (m_currentItem)
        m_currentItem->setRotation(0);
    m_rotation = 0;
}

void Projector::setOffset(int x, int y)
{
    m_offsetX = float(x);
    m_offsetY = float(y);
    applyPositionItem();
}

void Projector::addOffsetX(int d)
{
    m_offsetX += float(d);
    applyPositionItem();
}

void Projector::addOffsetY(int d)
{
    m_offsetY += float(d);
    applyPositionItem();
}

void Projector::subOffsetX(int d)
{
    m_offsetX -= float(d);
    applyPositionItem();
}

void Projector::subOffsetY(int d)
{
    m_offsetY -= float(d);
    applyPositionItem();
}

void Projector::addRotation(float deg)
{
    m_rotation += double(deg);
    applyRotation(float(m_rotation));
}

void Projector::subRotation(float deg)
{
    m_rotation -= double(deg);
    applyRotation(float(m_rotation));
}

void Projector::applyRotation(float deg)
{
    if (m_currentItem)
        m_currentItem->setRotation(qreal(deg));
}

void Projector::applyTransformation()
{
    applyRotation(float(m_rotation));
    applyPositionItem();
}

void Projector::applyPositionItem()
{
    if (!m_currentItem)
        return;
    // The view is the screen, shifted by the offset, and the scene is fixed to it: left to grow
    // with every image shown (the 90.2 mm grid before a layer), it would move the later ones.
    const QSize screen = m_screenRect.size();
    m_view->resize(screen);
    m_view->move(int(m_offsetX), int(m_offsetY));
    m_scene->setSceneRect(QRectF(QPointF(0, 0), QSizeF(screen)));
    // Scale and rotation act about the image's centre, which lies on the screen's centre.
    const QPointF centre = m_currentItem->boundingRect().center();
    m_currentItem->setScale(qreal(m_scaleFactor));
    m_currentItem->setTransformOriginPoint(centre);
    m_currentItem->setPos(QPointF(screen.width(), screen.height()) / 2 - centre);
}

bool Projector::loadLayers(const QString &documentPath)
{
    // A new item for every job; none is left over from a job that went before.
    m_layerItem.reset();
    m_layerRenderer.reset();
    if (!m_layers.open(documentPath))
        return false;
    m_layerRenderer = std::make_unique<QSvgRenderer>();
    m_layerItem = std::make_unique<QGraphicsSvgItem>();
    m_layerItem->setSharedRenderer(m_layerRenderer.get());
    // Each layer is drawn once: caching it would only add a copy.
    m_layerItem->setCacheMode(QGraphicsItem::NoCache);
    loadImage(m_layerItem.get());
    return true;
}

bool Projector::hasLayer(const QString &elementId) const
{
    return m_layers.contains(elementId);
}

void Projector::showFrame(const QString &elementId)
{
    const QByteArray layer = m_layers.layer(elementId);
    // Nothing but the layer asked for may reach the resin.
    if (layer.isEmpty() || !m_layerItem) {
        blackFrame();
        return;
    }
    m_layerRenderer->load(layer);
    // Also takes the new layer's size.
    m_layerItem->setElementId(elementId);
    if (m_currentItem != m_layerItem.get())
        loadImage(m_layerItem.get());
    showImage();
    emit sgnFrameChanged(elementId);
}

void Projector::blackFrame()
{
    blackImage();
    emit sgnFrameChanged(QString());
}

void Projector::paintNow()
{
    // The print loop times the exposure from the moment the frame is shown: painted now, not
    // at the next pass of the event loop.
    repaint();
}
