#pragma once

#include <atomic>

#include <QMap>
#include <QString>

// The print of one job as it is configured and run: the frames (an optional base frame 0, then
// the layers 1 to N), the curing time of each, the fixed waits around every plate movement and
// the time estimates. Configured on the GUI thread; during a print the GUI thread advances it
// (nextFrame) and the print loop reads it, the frame change being complete before the loop reads
// the new frame's curing time (the loop waits for the GUI thread to have shown the frame).
class PrintModel
{
public:
    // Element id of a frame of the job's layer documents: "base" for the base frame.
    static QString elementId(int frame, bool addBase);

    // Takes every value, the per-frame curing times included, and goes back to before the first
    // frame: -1 with a base, 0 without.
    void loadConfiguration(int totalFrames, int frameTime, int preMovementWaitTime,
                           int engineWaitTime, int postMovementWaitTime, bool upAndDown,
                           bool addBase, int baseTime, int layerThickness,
                           const QMap<int, int> &framesTimeMap);
    // Curing times that replace frameTime for the frames they name.
    void loadFramesTimeMap(const QMap<int, int> &framesTimeMap);
    void nextFrame();
    void reset();

    int getCurrentFrame() const { return currentFrame; }
    // The element of the current frame; "0" before the first frame of a print without base.
    QString currentElementId() const;
    int getTotalFrames() const { return totalFrames; }
    int getPreMovementWaitTime() const { return preMovementWaitTime; }
    int getEngineWaitTime() const { return engineWaitTime; }
    int getPostMovementWaitTime() const { return postMovementWaitTime; }
    int getStep() const { return layerThickness; }
    bool isUpAndDownEnabled() const { return upAndDown; }
    bool hasBase() const { return addBase; }
    // The object's height in microns: layers times thickness, in 64 bits.
    qint64 getObjHeight() const;
    // T(f): the frame's own curing time from the map, or frameTime.
    int frameCuringTime(int frame) const;
    int getCurrentFrameWaitTime() const { return frameCuringTime(currentFrame); }
    // Estimated print time, and the time left with the current frame counted whole, in ms.
    qint64 calcPrintTime() const;
    qint64 remainingPrintTime() const;

private:
    qint64 timeFrom(int firstFrame) const;

    std::atomic<int> currentFrame{0};
    int totalFrames = 0;
    int frameTime = 0;
    int preMovementWaitTime = 0;
    int engineWaitTime = 0;
    int postMovementWaitTime = 0;
    bool upAndDown = false;
    bool addBase = false;
    int baseTime = 0;
    int layerThickness = 0;
    QMap<int, int> framesTimeMap;
};
