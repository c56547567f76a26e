#pragma once

#include <memory>

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "job/layerdocument.h"
#include "printing/framedisplay.h"

class QGraphicsScene;
class QGraphicsSvgItem;
class QGraphicsView;
class QSvgRenderer;

// The window the video projector shows: full screen on the desktop's second screen, black except
// for one SVG image drawn at `scaleFactor` pixels per millimetre, shifted by a pixel offset and
// rotated about its own centre. Images come from the calibration grid and the print preview
// (items their owners keep alive) or from the job's layer document, which the window reads one
// layer at a time for the print loop. No mouse cursor is ever drawn over it: its light would
// cure resin.
class Projector : public QWidget, public FrameDisplay
{
    Q_OBJECT

public:
    Projector();
    ~Projector() override;

    // Full screen on screen number 1; nothing happens on a desktop with a single screen.
    void showProjector();
    bool isActive() const { return m_projectorActive; }

    // Makes `item` the current image, not shown yet; the item is not owned, and deleting it
    // while current leaves the window without an image. Null leaves no image.
    void loadImage(QGraphicsSvgItem *item);
    void showImage();
    void blackImage();
    // The element "base" of the current image.
    void showBase();

    float scaleFactor() const { return m_scaleFactor; }
    // By `step` hundredths of a pixel per millimetre.
    void zoomIn(float step);
    void zoomOut(float step);
    // Back to 4 pixels per millimetre, without offset or rotation.
    void zoomReset();

    void setOffset(int x, int y);
    void addOffsetX(int d);
    void addOffsetY(int d);
    void subOffsetX(int d);
    void subOffsetY(int d);
    int getOffsetX() const { return int(m_offsetX); }
    int getOffsetY() const { return int(m_offsetY); }

    // In degrees, clockwise on the screen; kept for the images loaded later.
    void addRotation(float deg);
    void subRotation(float deg);
    // Turns the current image by `deg` without keeping the angle.
    void applyRotation(float deg);
    void applyTransformation();
    int getRotation() const { return int(m_rotation); }

    // Places the current image: its centre on the screen's centre plus the offset.
    void applyPositionItem();

    // The job's print (or preview) document, made the current image. False when it cannot be
    // read or holds no layer groups; no layers are loaded then.
    bool loadLayers(const QString &documentPath) override;
    bool hasLayer(const QString &elementId) const override;
    // A layer missing from the document is shown black.
    void showFrame(const QString &elementId) override;
    void blackFrame() override;

signals:
    // The frame now on the screen, once painted: a layer's element id, or empty for black. Lets
    // a status line or a test follow frames too short-lived to be caught on the screen.
    void sgnFrameChanged(const QString &elementId);

private:
    void paintNow();

    bool m_projectorActive = false;
    QRect m_screenRect;
    float m_scaleFactor;
    float m_offsetX = 0;
    float m_offsetY = 0;
    double m_rotation = 0;
    QGraphicsScene *m_scene;
    QGraphicsView *m_view;
    // Cleared by itself when its owner deletes it.
    QPointer<QGraphicsSvgItem> m_currentItem;

    // The loaded job: its document, and the renderer and item that hold one layer at a time.
    LayerDocument m_layers;
    std::unique_ptr<QSvgRenderer> m_layerRenderer;
    std::unique_ptr<QGraphicsSvgItem> m_layerItem;
};
