#pragma once

#include <atomic>
#include <functional>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

class FrameDisplay;
class Printer;
class PrintModel;

// The print loop. The object lives on the GUI thread, so its slots and every receiver of its
// signals run there: each frame change, LED stage, layer movement and lift step happens on the
// GUI thread, where the printer and the projector live. run() paces the print on a thread of its
// own: it asks the GUI thread for the next frame and waits until it is on the screen, exposes it
// in six slices timed from that moment, has it hidden, waits, has the plate moved, waits again.
// Every wait is a deadline wait that a pause or an abort wakes at once.
class PrintThread : public QThread
{
    Q_OBJECT

public:
    static constexpr int LED_STAGES = 6;
    static constexpr int LIFT_STEP_PAUSE_MS = 165;
    static constexpr int PAUSE_POLL_MS = 1000;

    explicit PrintThread(QObject *parent = nullptr);
    // Aborts a print still running and waits for the loop to end.
    ~PrintThread() override;

    // Not owned. The printer may change between prints (each connection hands it over).
    void addDisplay(FrameDisplay *display) { m_display = display; }
    void addPrinter(Printer *printer) { m_printer = printer; }
    void addPrintModel(PrintModel *model) { m_model = model; }

    bool isPrinting() const { return running; }
    bool isPaused() const { return paused; }
    int remainingMs() const { return m_remainingMs; }
    // Plate steps of the lift out of the resin (and of the descent back) for an object of this
    // height: at least the height plus 2.5 mm in 300 µm steps.
    static int liftSteps(qint64 objectHeightUm);

    // GUI thread, just before start(): the projector black, the estimate as remaining time.
    void initThread();
    void pausePrinting();
    void resumePrinting();
    void moveOutFromResin();
    void moveIntoResin();
    // Ends the loop at once wherever it waits: the projector black, the model back before its
    // first frame, the motor released and the LEDs off, then sgnPrintAborted.
    void abortPrinting();

signals:
    void sgnChangeFrameID();
    void sgnEngineMovementID();
    void sgnChangeProgBarFrame(int stage);
    void sgnHideFrame();
    void sgnPrintFinished();
    void sgnPrintAborted();
    void updatePrintingView(int currentFrame, int totalFrame, int mSecsRemaining);
    // One step of the lift (up) or of the descent, for the GUI thread to send.
    void sgnLiftStep(bool up);
    // From the loop to the GUI thread, which passes them on while the print still runs.
    void stageReached(int stage);
    void loopFinished();

public slots:
    void on_sltFrequency();
    void on_sltDecreaseTime();
    void on_sltChangeFrameID();
    void on_sltEngineMovementID();
    void on_sltHideFrame();

protected:
    void run() override;

private:
    void on_sltLiftStep(bool up);
    void on_sltStageReached(int stage);
    void on_sltLoopFinished();
    // Loop thread; each is false when the print was aborted meanwhile.
    bool sleepUntil(QDeadlineTimer deadline);
    bool sleepFor(int ms) { return sleepUntil(QDeadlineTimer(qMax(0, ms), Qt::PreciseTimer)); }
    // Emits a request through `ask` and waits until the GUI thread has carried it out.
    bool waitForGui(const std::function<void()> &ask);
    bool holdWhilePaused();
    bool exposeCurrentFrame();
    bool moveWhole(bool up);

    FrameDisplay *m_display = nullptr;
    Printer *m_printer = nullptr;
    PrintModel *m_model = nullptr;

    std::atomic<bool> running{false};
    std::atomic<bool> paused{false};
    std::atomic<bool> submergeRequested{false};
    std::atomic<bool> emergeRequested{false};
    std::atomic<int> m_remainingMs{0};

    // Between the two threads, under the mutex: abort, the GUI's answer to the loop's request,
    // and the exposure clock, which stands still while the print is paused.
    QMutex mutex;
    QWaitCondition wakeLoop;
    bool abortRequested = false;
    bool guiAnswered = false;
    bool exposing = false;
    QElapsedTimer exposure;
    qint64 exposurePausedNs = 0;
    qint64 pausedSinceNs = 0;
};
