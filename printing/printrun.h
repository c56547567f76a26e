#pragma once

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include "job/printmodel.h"
#include "job/vekformat.h"
#include "printing/keepalive.h"
#include "printing/logger.h"
#include "printing/printthread.h"

class FrameDisplay;
class Printer;

// How a print is to run, as the printing page's controls (or kelvarome-print's options) say.
struct PrintOptions
{
    int curingTimeMs = 0;
    bool addBase = false;
    int baseTimeMs = 0;
    bool upAndDown = true;
    int preMovementMs = 0;
    int postMovementMs = 0;
    // Curing times of single frames, replacing curingTimeMs for them.
    QMap<int, int> curingTimes;
};

// What the print log says of the print besides its configuration.
struct PrintLogContext
{
    QString projector;
    QString resin;
    // The measures of the model on the plate, when there is one.
    QStringList modelLines;
};

// One print after the other of jobs on the printer and the projector, the same for the printing
// page and for kelvarome-print: the checks before a start, the print model and the print loop,
// the two print timers, the print log and keep-awake, and what happens when a print ends.
class PrintRun : public QObject
{
    Q_OBJECT

public:
    // The time allowed for a layer change, with and without the up/down movement.
    static constexpr int ENG_D_WAIT_TIME = 5000;
    static constexpr int ENG_S_WAIT_TIME = 500;

    // The display belongs to the caller and outlives the run. The log of each print goes to the
    // sliced-models folder as it is when the print starts.
    explicit PrintRun(FrameDisplay &display, QObject *parent = nullptr);
    ~PrintRun() override;

    PrintModel &model() { return m_model; }
    // Where the prints' frames go; the layer test flashes its frames there too.
    FrameDisplay &display() { return m_display; }
    const PrintThread &thread() const { return m_thread; }
    bool isPrinting() const { return m_thread.isPrinting(); }
    bool isPaused() const { return m_thread.isPaused(); }

    // The model set up for the job and options, for the estimates.
    void configure(const VekJob &job, const PrintOptions &options);
    static void configure(PrintModel &model, const VekJob &job, const PrintOptions &options);
    // Why the job cannot be printed with these options on this printer, empty when it can; the
    // job's print document is loaded on the display on the way.
    QString refusal(const VekJob &job, const PrintOptions &options, const Printer *printer);
    // Starts the print; refusal() must have found nothing.
    void start(const VekJob &job, const PrintOptions &options, Printer &printer,
               const PrintLogContext &context);
    void pause();
    void resume();
    void extract();
    void reposition();
    void abort();

signals:
    void sgnProgress(int currentFrame, int totalFrames, int remainingMs);
    // LED stage `stage` (0 to 5) of the frame on the screen has been reached.
    void sgnStage(int stage);
    void sgnFinished(qint64 durationMs);
    // `reason` is empty when the user aborted the print.
    void sgnAborted(const QString &reason);

private:
    void onFinished();
    void onAborted();
    void onPrinterLost();
    void stopTimers();
    void startTimers();

    FrameDisplay &m_display;
    PrintModel m_model;
    PrintThread m_thread;
    QTimer m_frequencyTimer;
    QTimer m_remainingTimer;
    KeepAlive m_keepAlive;
    std::unique_ptr<Logger> m_logger;
    QElapsedTimer m_stopwatch;
    QMetaObject::Connection m_ledConnection;
    QMetaObject::Connection m_lostConnection;
    QString m_abortReason;
    // The frame on the screen when the printer went away (the abort resets the model).
    int m_lostAtFrame = 0;
};
