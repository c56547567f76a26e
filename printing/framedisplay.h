#pragma once

#include <QString>

// How the print loop's frames reach the projector. Every call comes from the GUI thread and takes
// effect at once: when it returns, the frame is on the screen or the screen is black.
class FrameDisplay
{
public:
    virtual ~FrameDisplay() = default;
    // The job's layer document whose frames are shown from now on; false when it cannot be read
    // or holds no layers.
    virtual bool loadLayers(const QString &documentPath) = 0;
    virtual bool hasLayer(const QString &elementId) const = 0;
    // Shows the element `elementId` ("base", "1", "2", ...) of the loaded layer document.
    virtual void showFrame(const QString &elementId) = 0;
    virtual void blackFrame() = 0;
};
