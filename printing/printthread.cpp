#include "printing/printthread.h"

#include <QMutexLocker>

#include "job/printmodel.h"
#include "printer/printer.h"
#include "printing/framedisplay.h"

namespace {

// The lift goes at least 2.5 mm beyond the object's height.
constexpr qint64 LIFT_CLEARANCE_UM = 2500;

} // namespace

PrintThread::PrintThread(QObject *parent)
    : QThread(parent)
{
    connect(this, &PrintThread::sgnChangeFrameID, this, &PrintThread::on_sltChangeFrameID);
    connect(this, &PrintThread::sgnEngineMovementID, this, &PrintThread::on_sltEngineMovementID);
    connect(this, &PrintThread::sgnHideFrame, this, &PrintThread::on_sltHideFrame);
    connect(this, &PrintThread::sgnLiftStep, this, &PrintThread::on_sltLiftStep);
    connect(this, &PrintThread::stageReached, this, &PrintThread::on_sltStageReached);
    connect(this, &PrintThread::loopFinished, this, &PrintThread::on_sltLoopFinished);
}

PrintThread::~PrintThread()
{
    {
        QMutexLocker lock(&mutex);
        abortRequested = true;
        wakeLoop.wakeAll();
    }
    wait();
}

int PrintThread::liftSteps(qint64 objectHeightUm)
{
    return int((objectHeightUm + LIFT_CLEARANCE_UM) / Printer::LIFT_STEP_UM + 1);
}

void PrintThread::initThread()
{
    QMutexLocker lock(&mutex);
    abortRequested = false;
    guiAnswered = false;
    exposing = false;
    paused = false;
    submergeRequested = false;
    emergeRequested = false;
    m_remainingMs = int(qMin<qint64>(m_model->calcPrintTime(), INT_MAX));
    running = true;
    m_display->blackFrame();
}

void PrintThread::pausePrinting()
{
    QMutexLocker lock(&mutex);
    if (!running || paused)
        return;
    paused = true;
    if (exposing)
        pausedSinceNs = exposure.nsecsElapsed();
    m_display->blackFrame();
    wakeLoop.wakeAll();
}

void PrintThread::resumePrinting()
{
    QMutexLocker lock(&mutex);
    if (!running || !paused)
        return;
    // Only an exposure that was cut short goes on: once the plate has moved, the old layer must
    // not show at the new height.
    if (exposing) {
        m_display->showFrame(m_model->currentElementId());
        exposurePausedNs += exposure.nsecsElapsed() - pausedSinceNs;
    }
    paused = false;
    wakeLoop.wakeAll();
}

void PrintThread::moveOutFromResin()
{
    QMutexLocker lock(&mutex);
    submergeRequested = false;
    emergeRequested = true;
    wakeLoop.wakeAll();
}

void PrintThread::moveIntoResin()
{
    QMutexLocker lock(&mutex);
    emergeRequested = false;
    submergeRequested = true;
    wakeLoop.wakeAll();
}

void PrintThread::abortPrinting()
{
    {
        QMutexLocker lock(&mutex);
        if (!running)
            return;
        abortRequested = true;
        running = false;
        paused = false;
        wakeLoop.wakeAll();
    }
    wait();
    m_display->blackFrame();
    m_model->reset();
    if (m_printer)
        m_printer->abortPrint();
    emit sgnHideFrame();
    emit sgnPrintAborted();
}

void PrintThread::on_sltFrequency()
{
    if (running)
        emit updatePrintingView(m_model->getCurrentFrame(), m_model->getTotalFrames(),
                                m_remainingMs);
}

void PrintThread::on_sltDecreaseTime()
{
    if (m_remainingMs >= 1000)
        m_remainingMs -= 1000;
}

void PrintThread::on_sltChangeFrameID()
{
    if (!running)
        return;
    m_model->nextFrame();
    m_remainingMs = int(qMin<qint64>(m_model->remainingPrintTime(), INT_MAX));
    {
        QMutexLocker lock(&mutex);
        // A pause that came after the loop asked for this frame holds it back until the resume.
        if (!paused)
            m_display->showFrame(m_model->currentElementId());
        exposure.start();
        exposurePausedNs = 0;
        pausedSinceNs = 0;
        exposing = true;
        guiAnswered = true;
        wakeLoop.wakeAll();
    }
    emit updatePrintingView(m_model->getCurrentFrame(), m_model->getTotalFrames(), m_remainingMs);
}

void PrintThread::on_sltEngineMovementID()
{
    if (running && m_printer)
        m_printer->printingMovement(m_model->getStep(), m_model->isUpAndDownEnabled());
}

void PrintThread::on_sltHideFrame()
{
    m_display->blackFrame();
}

void PrintThread::on_sltLiftStep(bool up)
{
    if (running && m_printer) {
        if (up)
            m_printer->emergeFromResin();
        else
            m_printer->subMergeIntoResin();
    }
    QMutexLocker lock(&mutex);
    guiAnswered = true;
    wakeLoop.wakeAll();
}

void PrintThread::on_sltStageReached(int stage)
{
    if (running)
        emit sgnChangeProgBarFrame(stage);
}

void PrintThread::on_sltLoopFinished()
{
    if (!running)
        return;
    running = false;
    emit sgnPrintFinished();
}

void PrintThread::run()
{
    const int totalFrames = m_model->getTotalFrames();
    while (m_model->getCurrentFrame() < totalFrames) {
        if (!holdWhilePaused() || !waitForGui([this] { emit sgnChangeFrameID(); })
            || !exposeCurrentFrame())
            return;
        if (!holdWhilePaused())
            return;
        emit sgnHideFrame();
        if (!sleepFor(m_model->getPreMovementWaitTime()))
            return;
        emit sgnEngineMovementID();
        if (!sleepFor(m_model->getEngineWaitTime())
            || !sleepFor(m_model->getPostMovementWaitTime()))
            return;
    }
    if (moveWhole(true))
        emit loopFinished();
}

bool PrintThread::exposeCurrentFrame()
{
    // Stage k lights after k sixths of the curing time have been on the screen.
    const qint64 sliceNs = qint64(m_model->getCurrentFrameWaitTime() / LED_STAGES) * 1000000;
    for (int stage = 0; stage < LED_STAGES; ++stage) {
        const qint64 dueNs = (stage + 1) * sliceNs;
        QMutexLocker lock(&mutex);
        forever {
            if (abortRequested)
                return false;
            if (paused) {
                lock.unlock();
                if (!holdWhilePaused())
                    return false;
                lock.relock();
                continue;
            }
            const qint64 leftNs = dueNs - (exposure.nsecsElapsed() - exposurePausedNs);
            if (leftNs <= 0)
                break;
            wakeLoop.wait(&mutex,
                          QDeadlineTimer(std::chrono::nanoseconds(leftNs), Qt::PreciseTimer));
        }
        if (stage == LED_STAGES - 1)
            exposing = false;
        lock.unlock();
        emit stageReached(stage);
    }
    return true;
}

bool PrintThread::holdWhilePaused()
{
    forever {
        QMutexLocker lock(&mutex);
        if (abortRequested)
            return false;
        if (!paused)
            return true;
        // Each request moves the plate once; a descent goes first when both are somehow set.
        if (submergeRequested || emergeRequested) {
            const bool up = !submergeRequested;
            (up ? emergeRequested : submergeRequested) = false;
            lock.unlock();
            if (!moveWhole(up))
                return false;
            continue;
        }
        wakeLoop.wait(&mutex, QDeadlineTimer(PAUSE_POLL_MS, Qt::PreciseTimer));
    }
}

bool PrintThread::moveWhole(bool up)
{
    const int steps = liftSteps(m_model->getObjHeight());
    for (int step = 0; step < steps; ++step) {
        if (!waitForGui([this, up] { emit sgnLiftStep(up); }) || !sleepFor(LIFT_STEP_PAUSE_MS))
            return false;
    }
    return true;
}

bool PrintThread::sleepUntil(QDeadlineTimer deadline)
{
    QMutexLocker lock(&mutex);
    while (!abortRequested && !deadline.hasExpired())
        wakeLoop.wait(&mutex, deadline);
    return !abortRequested;
}

bool PrintThread::waitForGui(const std::function<void()> &ask)
{
    {
        QMutexLocker lock(&mutex);
        guiAnswered = false;
    }
    ask();
    QMutexLocker lock(&mutex);
    while (!guiAnswered && !abortRequested)
        wakeLoop.wait(&mutex);
    return !abortRequested;
}
