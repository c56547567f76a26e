// The timing of a print, as the virtual printer's command log and the projector see it: a job of
// 100 layers (by default) printed with T = 600 ms and short waits through the application's print
// run, its projector window on the second screen and a virtual printer on a pseudo-terminal, all
// in this process so that one clock serves. Prints how far each LED stage comes from its due time
// (k x T/6 after the frame was shown), how soon the projector goes black after the sixth stage,
// the CPU the process used while the print waited, and how soon an abort from each kind of wait
// sends "52". Run it on the two-screen display of scripts/common.sh.

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include "base/constants.h"
#include "printer/printer.h"
#include "printer/virtualprinter.h"
#include "printing/printrun.h"
#include "projector/projector.h"
#include "slicing/slicer.h"
#include "tests/testsupport.h"

namespace {

constexpr int CURING_TIME_MS = 600;
constexpr double MEDIAN_TARGET_MS = 2;
constexpr double WORST_TARGET_MS = 10;
constexpr double BLACK_TARGET_MS = 1000.0 / 60;
constexpr double CPU_TARGET = 0.10;
constexpr double ABORT_TARGET_MS = 100;

// The projector, noting on the printer's clock when each frame went on and off the screen.
class TimedDisplay : public FrameDisplay
{
public:
    explicit TimedDisplay(Projector &projector)
        : projector(projector)
    { }
    bool loadLayers(const QString &path) override { return projector.loadLayers(path); }
    bool hasLayer(const QString &id) const override { return projector.hasLayer(id); }
    void showFrame(const QString &id) override
    {
        projector.showFrame(id);
        shownMs << VirtualPrinter::monotonicNowMs();
    }
    void blackFrame() override
    {
        projector.blackFrame();
        blackMs << VirtualPrinter::monotonicNowMs();
    }

    QVector<qint64> shownMs;
    QVector<qint64> blackMs;

private:
    Projector &projector;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
            + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double percentile(QVector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[qMin(values.size() - 1, int(share * values.size()))];
}

// Runs the event loop until `done` or `ms` pass, looking every 20 ms.
void waitFor(const std::function<bool()> &done, int ms)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(20);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times a print against the virtual printer."));
    parser.addHelpOption();
    const QCommandLineOption layersOption("layers", "Layers of the job (default 100).", "N", "100");
    parser.addOption(layersOption);
    parser.process(app);
    const int layers = qMax(2, parser.value(layersOption).toInt());
    if (QGuiApplication::screens().size() < 2) {
        std::fprintf(stderr, "bench_print: needs a second screen for the projector\n");
        return 1;
    }

    QTemporaryDir dir;
    const QString model = dir.filePath("block.stl");
    TestSupport::writeFile(model,
                           TestSupport::binaryStl(TestSupport::boxFacets(
                                   -10, -10, 0, 10, 10, float(layers) * 0.1f + 0.05f)));
    Slicer slicer;
    QString job;
    QObject::connect(&slicer, &Slicer::sgnNotifyVekCreation,
                     [&job](const QString &path) { job = path; });
    QString error;
    VekJob vek;
    if (!slicer.engage({model, 100, false, dir.filePath("runs/"), QImage()}, error)
        || readVekJob(job, vek, error) != VekReading::Complete) {
        std::fprintf(stderr, "bench_print: %s\n", qPrintable(error));
        return 1;
    }
    SLICER_WORKING_DIR = dir.filePath("runs/");

    VirtualPrinterThread board;
    if (!board.start(error)) {
        std::fprintf(stderr, "bench_print: %s\n", qPrintable(error));
        return 1;
    }
    Printer printer(board.devicePath());
    Projector projector;
    projector.showProjector();
    TimedDisplay display(projector);
    PrintRun run(display);
    PrintOptions options;
    options.curingTimeMs = CURING_TIME_MS;
    options.upAndDown = false;
    options.preMovementMs = 100;
    options.postMovementMs = 100;
    if (!printer.openConnection(error) || !run.refusal(vek, options, &printer).isEmpty()) {
        std::fprintf(stderr, "bench_print: cannot start: %s\n", qPrintable(error));
        return 1;
    }

    // The whole print.
    bool ended = false;
    QObject::connect(&run, &PrintRun::sgnFinished, [&ended] { ended = true; });
    board.clearReceived();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    run.start(vek, options, printer, {});
    waitFor([&ended] { return ended; }, layers * 5000 + 30000);
    const double cpuShare = (cpuSeconds() - cpuBefore) / (double(wall.elapsed()) / 1000);
    if (!ended) {
        std::fprintf(stderr, "bench_print: the print did not end\n");
        return 1;
    }

    // Stage k of a frame is due k sixths of T after the frame was shown.
    const QList<ReceivedCommand> received = board.received();
    const QByteArray stages[] = {"64", "65", "60", "61", "62", "63"};
    QVector<double> lateness;
    QVector<double> blackAfter;
    int frame = -1;
    int stage = 0;
    qint64 lastStageMs = 0;
    for (const ReceivedCommand &command : received) {
        if (command.code == stages[0] && stage == 0)
            ++frame;
        if (frame < 0 || frame >= display.shownMs.size() || command.code != stages[stage])
            continue;
        const qint64 dueMs = display.shownMs[frame] + (stage + 1) * (CURING_TIME_MS / 6);
        lateness << double(command.monotonicMs - dueMs);
        lastStageMs = command.monotonicMs;
        stage = (stage + 1) % 6;
        if (stage == 0) {
            // The first black after this frame went on; the board may log its last stage a
            // moment after the projector went black, which counts as no delay.
            const auto black = std::upper_bound(display.blackMs.begin(), display.blackMs.end(),
                                                display.shownMs[frame]);
            if (black != display.blackMs.end())
                blackAfter << double(qMax<qint64>(0, *black - lastStageMs));
        }
    }
    for (double &late : lateness)
        late = std::abs(late);

    // Aborts at moments through the first frame: in the exposure, the pre-movement, engine and
    // post-movement waits.
    const int abortAtMs[] = {300, 650, 900, 1250};
    QVector<double> abortDelays;
    for (const int at : abortAtMs) {
        board.clearReceived();
        bool aborted = false;
        const auto connection =
                QObject::connect(&run, &PrintRun::sgnAborted, [&aborted] { aborted = true; });
        run.start(vek, options, printer, {});
        waitFor([&board] { return !board.received().isEmpty(); }, 5000);
        waitFor([] { return false; }, at);
        const qint64 abortMs = VirtualPrinter::monotonicNowMs();
        run.abort();
        waitFor([&aborted] { return aborted; }, 5000);
        QObject::disconnect(connection);
        for (const ReceivedCommand &command : board.received()) {
            if (command.code == "52" && command.monotonicMs >= abortMs) {
                abortDelays << double(command.monotonicMs - abortMs);
                break;
            }
        }
    }

    const double median = percentile(lateness, 0.5);
    const double worst = percentile(lateness, 1.0);
    const double blackWorst = percentile(blackAfter, 1.0);
    const double abortWorst = percentile(abortDelays, 1.0);
    std::printf("%d layers, T = %d ms, waits 100/500/100 ms, %s\n", layers, CURING_TIME_MS,
                qPrintable(QGuiApplication::platformName()));
    std::printf("LED stage from its due time: median %.1f ms (target %.0f), worst %.1f ms (target "
                "%.0f), %d stages\n",
                median, MEDIAN_TARGET_MS, worst, WORST_TARGET_MS, int(lateness.size()));
    std::printf("black after the sixth stage: worst %.1f ms (target %.1f, one refresh)\n",
                blackWorst, BLACK_TARGET_MS);
    std::printf("CPU while printing: %.1f %% of a core (target %.0f)\n", 100 * cpuShare,
                100 * CPU_TARGET);
    std::printf("abort to \"52\": worst %.1f ms of %d (target %.0f)\n", abortWorst,
                int(abortDelays.size()), ABORT_TARGET_MS);
    const bool met = median <= MEDIAN_TARGET_MS && worst <= WORST_TARGET_MS
            && blackWorst <= BLACK_TARGET_MS && cpuShare < CPU_TARGET
            && abortWorst <= ABORT_TARGET_MS && abortDelays.size() == 4;
    std::printf("%s\n", met ? "every figure within target" : "some figure out of target");
    printer.closeConnection();
    return 0;
}
