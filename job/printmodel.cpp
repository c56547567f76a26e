#include "job/printmodel.h"

#include <algorithm>

QString PrintModel::elementId(int frame, bool addBase)
{
    return frame == 0 && addBase ? QStringLiteral("base") : QString::number(frame);
}

void PrintModel::loadConfiguration(int totalFrames, int frameTime, int preMovementWaitTime,
                                   int engineWaitTime, int postMovementWaitTime, bool upAndDown,
                                   bool addBase, int baseTime, int layerThickness,
                                   const QMap<int, int> &framesTimeMap)
{
    this->totalFrames = totalFrames;
    this->frameTime = frameTime;
    this->preMovementWaitTime = preMovementWaitTime;
    this->engineWaitTime = engineWaitTime;
    this->postMovementWaitTime = postMovementWaitTime;
    this->upAndDown = upAndDown;
    this->addBase = addBase;
    this->baseTime = baseTime;
    this->layerThickness = layerThickness;
    loadFramesTimeMap(framesTimeMap);
    currentFrame = addBase ? -1 : 0;
}

void PrintModel::loadFramesTimeMap(const QMap<int, int> &framesTimeMap)
{
    this->framesTimeMap = framesTimeMap;
}

void PrintModel::nextFrame()
{
    ++currentFrame;
}

void PrintModel::reset()
{
    currentFrame = addBase ? -1 : 0;
}

QString PrintModel::currentElementId() const
{
    const int frame = currentFrame;
    return frame < 0 ? QStringLiteral("base") : elementId(frame, addBase);
}

qint64 PrintModel::getObjHeight() const
{
    return qint64(totalFrames) * layerThickness;
}

int PrintModel::frameCuringTime(int frame) const
{
    return framesTimeMap.value(frame, frameTime);
}

qint64 PrintModel::calcPrintTime() const
{
    return timeFrom(1);
}

qint64 PrintModel::remainingPrintTime() const
{
    return timeFrom(std::max(int(currentFrame), 1));
}

qint64 PrintModel::timeFrom(int firstFrame) const
{
    // Frame by frame in single precision, as the estimate has always been made, then truncated.
    const float waits =
            float(preMovementWaitTime) + float(engineWaitTime) + float(postMovementWaitTime);
    float total = 0;
    for (int frame = firstFrame; frame <= totalFrames; ++frame)
        total += float(frameCuringTime(frame)) + waits;
    if (addBase)
        total += float(baseTime);
    return qint64(total);
}
