#include "printing/printrun.h"

#include <QFile>

#include "base/constants.h"
#include "printer/printer.h"
#include "printing/framedisplay.h"

namespace {

constexpr int FREQUENCY_MS = 500;
constexpr int REMAINING_TIME_MS = 1100;

QString cannotStart(const QString &why)
{
    return QObject::tr("Print cannot be started!\n %1").arg(why);
}

} // namespace

PrintRun::PrintRun(FrameDisplay &display, QObject *parent)
    : QObject(parent)
    , m_display(display)
    , m_keepAlive(this)
    , m_logger(std::make_unique<Logger>(this))
{
    m_thread.addDisplay(&m_display);
    m_thread.addPrintModel(&m_model);
    m_frequencyTimer.setInterval(FREQUENCY_MS);
    m_remainingTimer.setInterval(REMAINING_TIME_MS);
    connect(&m_frequencyTimer, &QTimer::timeout, &m_thread, &PrintThread::on_sltFrequency);
    connect(&m_remainingTimer, &QTimer::timeout, &m_thread, &PrintThread::on_sltDecreaseTime);
    connect(&m_thread, &PrintThread::updatePrintingView, this, &PrintRun::sgnProgress);
    connect(&m_thread, &PrintThread::sgnChangeProgBarFrame, this, &PrintRun::sgnStage);
    connect(&m_thread, &PrintThread::sgnPrintFinished, this, &PrintRun::onFinished);
    connect(&m_thread, &PrintThread::sgnPrintAborted, this, &PrintRun::onAborted);
}

PrintRun::~PrintRun()
{
    if (isPrinting())
        abort();
}

void PrintRun::configure(const VekJob &job, const PrintOptions &options)
{
    configure(m_model, job, options);
}

void PrintRun::configure(PrintModel &model, const VekJob &job, const PrintOptions &options)
{
    model.loadConfiguration(job.lastFrame, options.curingTimeMs, options.preMovementMs,
                            options.upAndDown ? ENG_D_WAIT_TIME : ENG_S_WAIT_TIME,
                            options.postMovementMs, options.upAndDown, options.addBase,
                            options.baseTimeMs, job.zCut, options.curingTimes);
}

QString PrintRun::refusal(const VekJob &job, const PrintOptions &options, const Printer *printer)
{
    if (!printer || !printer->isReady() || !printer->isOpen())
        return cannotStart(tr("Please ensure that both the printer and the projector are "
                              "connected."));
    if (job.lastFrame < 1)
        return cannotStart(tr("The job has no layers."));
    if (!Printer::hasLayerStep(job.zCut))
        return cannotStart(tr("The printer has no layer step of %1 µm: it moves the plate by "
                              "25, 50, 75 or 100 µm.")
                                   .arg(job.zCut));
    const QString document = job.printDocument();
    if (!QFile::exists(document))
        return cannotStart(tr("The layer document %1 is missing.").arg(document));
    if (!m_display.loadLayers(document))
        return cannotStart(tr("The layer document %1 cannot be read.").arg(document));
    for (int frame = options.addBase ? 0 : 1; frame <= job.lastFrame; ++frame) {
        const QString id = PrintModel::elementId(frame, options.addBase);
        if (!m_display.hasLayer(id))
            return cannotStart(tr("The layer document %1 has no layer \"%2\".").arg(document, id));
    }
    return QString();
}

void PrintRun::start(const VekJob &job, const PrintOptions &options, Printer &printer,
                     const PrintLogContext &context)
{
    // The LED stages and the watch for a printer that goes away follow the printer of this print.
    disconnect(m_ledConnection);
    disconnect(m_lostConnection);
    m_thread.addPrinter(&printer);
    m_ledConnection = connect(&m_thread, &PrintThread::sgnChangeProgBarFrame, &printer,
                              &Printer::changeProgBarLed);
    m_lostConnection =
            connect(&printer, &Printer::sgnConnectionLost, this, &PrintRun::onPrinterLost);
    m_abortReason.clear();

    const int engineWait = options.upAndDown ? ENG_D_WAIT_TIME : ENG_S_WAIT_TIME;
    m_logger = std::make_unique<Logger>(job.path, job.baseName, SLICER_WORKING_DIR, this);
    m_logger->write(
            QStringLiteral("CONFIGURATION Exposition Frame Time: %1ms").arg(options.curingTimeMs));
    m_logger->write(QStringLiteral("CONFIGURATION Engine Movement Time: %1ms").arg(engineWait));
    if (options.upAndDown)
        m_logger->write(QStringLiteral("CONFIGURATION Double Up/Down Movement Enabled"));
    m_logger->write(QStringLiteral("CONFIGURATION Projector: ") + context.projector);
    m_logger->write(QStringLiteral("CONFIGURATION Resin: ") + context.resin);
    m_logger->write(QStringLiteral("CONFIGURATION $Distance"));
    m_logger->write(
            QStringLiteral("Printing of %1.stl (%2 layers @ %3 microns) has started!")
                    .arg(job.baseName, QString::number(job.lastFrame), QString::number(job.zCut)));
    for (const QString &line : context.modelLines)
        m_logger->write(line);

    configure(job, options);
    m_keepAlive.start();
    m_stopwatch.start();
    m_thread.initThread();
    startTimers();
    m_thread.start();
}

void PrintRun::pause()
{
    stopTimers();
    m_thread.pausePrinting();
}

void PrintRun::resume()
{
    startTimers();
    m_thread.resumePrinting();
}

void PrintRun::extract()
{
    m_thread.moveOutFromResin();
}

void PrintRun::reposition()
{
    m_thread.moveIntoResin();
}

void PrintRun::abort()
{
    stopTimers();
    m_thread.abortPrinting();
}

void PrintRun::onFinished()
{
    m_thread.wait();
    stopTimers();
    m_model.reset();
    m_display.blackFrame();
    const qint64 durationMs = m_stopwatch.elapsed();
    m_logger->write(QStringLiteral("Printing has finished! It took %1 to complete.")
                            .arg(durationText(durationMs)));
    m_logger->stop();
    m_keepAlive.stop();
    emit sgnFinished(durationMs);
}

void PrintRun::onAborted()
{
    m_keepAlive.stop();
    if (!m_abortReason.isEmpty())
        m_logger->write(QStringLiteral("The printer went away at frame %1 of %2.")
                                .arg(m_lostAtFrame)
                                .arg(m_model.getTotalFrames()));
    m_logger->write(QStringLiteral("Print has been ABORTED!"));
    m_logger->stop();
    stopTimers();
    emit sgnAborted(m_abortReason);
}

void PrintRun::onPrinterLost()
{
    if (!isPrinting())
        return;
    m_lostAtFrame = m_model.getCurrentFrame();
    m_abortReason = tr("The printer went away during the print, at frame %1 of %2.")
                            .arg(m_lostAtFrame)
                            .arg(m_model.getTotalFrames());
    abort();
}

void PrintRun::stopTimers()
{
    m_frequencyTimer.stop();
    m_remainingTimer.stop();
}

void PrintRun::startTimers()
{
    m_frequencyTimer.start();
    m_remainingTimer.start();
}
