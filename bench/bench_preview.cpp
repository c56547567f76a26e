// Times the printing page on the job of the synthetic sphere of a million facets sliced at
// 50 µm (about 800 layers, a preview document of some 30 MB): opening the job until its first
// layer is painted, and moving the preview slider by one layer until the view is repainted.
// Baselines of the same run: QSvgRenderer loading the preview document alone, and rendering one
// layer element of it alone into an image of the view's size. Prints medians, ratios and targets.

#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSlider>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "bench/benchmodels.h"
#include "gui/printingpage.h"
#include "tests/windowsupport.h"

namespace {

const double OPEN_TARGET_MS = 2000;
const double MOVE_TARGET_MS = 50;

double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double millisecondsOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The job file of the sphere, sliced by kelvarome-slice into `folder`; empty on failure.
QString sliceSphere(const QString &models, const QString &generator, const QString &folder)
{
    const QString sphere = models + "/sphere_1m.stl";
    if (!BenchModels::ensureSyntheticModels(models, generator, {"sphere_1m"}))
        return QString();
    QProcess slicer;
    slicer.start(KELVAROME_SLICE_EXE, {sphere, "--microns", "50", "--out", folder});
    if (!slicer.waitForFinished(600000) || slicer.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(slicer.readAllStandardOutput()).trimmed();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Times opening the sphere's job on the printing page and moving its preview slider, "
            "against QSvgRenderer alone; prints medians and ratios."));
    parser.addHelpOption();
    const QCommandLineOption modelsOption(
            "models", "Folder of the synthetic models (made there when missing).", "DIR",
            BenchModels::defaultFolder());
    const QCommandLineOption sharedOption("shared", "The shared folder (bench generator).", "DIR",
                                          SHARED_DIR);
    const QCommandLineOption runsOption("runs", "Runs (default 5).", "N", "5");
    const QCommandLineOption movesOption("moves", "Slider moves per run (default 100).", "N",
                                         "100");
    parser.addOptions({modelsOption, sharedOption, runsOption, movesOption});
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const int moves = std::max(1, parser.value(movesOption).toInt());

    QTemporaryDir scratch;
    const QString job = scratch.isValid()
            ? sliceSphere(parser.value(modelsOption),
                          parser.value(sharedOption) + "/bench/make_models.py", scratch.path())
            : QString();
    if (job.isEmpty()) {
        std::fprintf(stderr, "bench_preview: cannot make the sphere's job\n");
        return 1;
    }
    const QString preview = QFileInfo(job).absolutePath() + "/sphere_1m_preview.svg";

    WindowSupport::TestWindow window;
    WindowSupport::RecordingDialogs &dialogs = *window.dialogs;
    PrintingPage &page = *window.find<PrintingPage>();
    window.window->show();
    QApplication::processEvents();
    auto *view = page.findChild<QGraphicsView *>(QStringLiteral("graphicsView"));
    auto *slider = page.findChild<QSlider *>(QStringLiteral("previewSlider"));

    QVector<double> loads, opens, renders, steps;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        QSvgRenderer renderer(preview);
        loads << millisecondsOf(timer);

        timer.restart();
        page.setVekFilePath(job);
        view->viewport()->repaint();
        opens << millisecondsOf(timer);
        if (!dialogs.shown.isEmpty()) {
            std::fprintf(stderr, "bench_preview: %s\n", qPrintable(dialogs.shown.join('\n')));
            return 1;
        }

        // From a third of the height up, where the layers are widest, one layer at a time.
        const int first = slider->maximum() / 3;
        slider->setValue(first);
        QImage image(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        for (int layer = first + 1; layer <= first + moves && layer <= slider->maximum(); ++layer) {
            timer.restart();
            slider->setValue(layer);
            view->viewport()->repaint();
            steps << millisecondsOf(timer);

            timer.restart();
            image.fill(Qt::white);
            QPainter painter(&image);
            const QString id = QString::number(layer);
            painter.scale(2, 2);
            renderer.render(&painter, id, QRectF(QPointF(), renderer.boundsOnElement(id).size()));
            painter.end();
            renders << millisecondsOf(timer);
        }
        std::printf("run %d: document alone %.1f ms, page open %.1f ms; one layer alone %.2f ms, "
                    "slider step %.2f ms (medians of the run)\n",
                    run + 1, loads.last(), opens.last(),
                    median(renders.mid(renders.size() - moves)),
                    median(steps.mid(steps.size() - moves)));
        std::fflush(stdout);
    }

    const double open = median(opens);
    const double step = median(steps);
    std::printf("\nsphere_1m at 50 µm: %d layers, preview document %.1f MB, %d runs\n",
                slider->maximum(), double(QFileInfo(preview).size()) / 1e6, runs);
    std::printf("open the job:  %8.1f ms median, document alone %8.1f ms, ratio %.2f; target "
                "%.0f ms: %s\n",
                open, median(loads), open / median(loads), OPEN_TARGET_MS,
                open <= OPEN_TARGET_MS ? "met" : "MISSED");
    std::printf("slider step:   %8.2f ms median, layer alone    %8.2f ms, ratio %.2f; target "
                "%.0f ms: %s\n",
                step, median(renders), step / median(renders), MOVE_TARGET_MS,
                step <= MOVE_TARGET_MS ? "met" : "MISSED");
    return 0;
}
