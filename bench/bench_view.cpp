// The 3D view with the sphere of a million facets (the peer benchmark's sphere_1m.stl): loading
// it onto the plate (read, instance, upload, first frame on screen) against reading the STL
// alone in the same run, the frame rate while the camera orbits, and the CPU an idle view takes,
// hidden behind another page and shown. Loading and orbiting are also timed drawing every facet
// (no coarse stand-in), for comparison. Prints the figures, the ratios and the targets.

#include <algorithm>
#include <cstdio>
#include <memory>

#include <sys/resource.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QStackedWidget>
#include <QSurfaceFormat>
#include <QTimer>

#include "bench/benchmodels.h"
#include "model/stlmodelinstance.h"
#include "view/stlviewer.h"

namespace {

const double LOAD_TARGET = 2.0; // of the STL read alone
const double FPS_TARGET = 10;
const double IDLE_TARGET = 5; // % of one core, view hidden
const int IDLE_SECONDS = 3;

// Waits until the view's window has put a frame on the screen; false after 60 s.
bool waitForFrame(STLViewer &viewer)
{
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&viewer, &QOpenGLWidget::frameSwapped, &loop, &QEventLoop::quit);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    timeout.start(60000);
    return loop.exec() == 0;
}

double processCpuSeconds()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
            + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The process's CPU use while its event loop runs for `seconds`, in % of one core.
double idleCpuPercent(int seconds)
{
    QElapsedTimer wall;
    const double cpuBefore = processCpuSeconds();
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * (processCpuSeconds() - cpuBefore) / (double(wall.nsecsElapsed()) * 1e-9);
}

void rightDrag(STLViewer &viewer, const QPoint &position, QEvent::Type type)
{
    QMouseEvent event(type, position, viewer.mapToGlobal(position),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::RightButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&viewer, &event);
}

QString ratio(double value, double base)
{
    return base > 0 ? QString::number(value / base, 'f', 2) : QStringLiteral("-");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(gui);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Loads the million-facet sphere into the 3D view and times it against the STL read "
            "alone; measures the frame rate while orbiting and the CPU of an idle view."));
    parser.addHelpOption();
    const QCommandLineOption modelsOption(
            "models", "Folder of the synthetic models (made there when missing).", "DIR",
            BenchModels::defaultFolder());
    const QCommandLineOption runsOption("runs", "Loads (and plain reads) in turn (default 5).", "N",
                                        "5");
    const QCommandLineOption framesOption("frames", "Frames timed while orbiting (default 40).",
                                          "N", "40");
    const QCommandLineOption sharedOption("shared", "The shared folder (bench).", "DIR",
                                          SHARED_DIR);
    parser.addOptions({modelsOption, runsOption, framesOption, sharedOption});
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const int frames = std::max(1, parser.value(framesOption).toInt());
    const QString folder = parser.value(modelsOption);
    if (!BenchModels::ensureSyntheticModels(
                folder, parser.value(sharedOption) + "/bench/make_models.py", {"sphere_1m"})) {
        std::fprintf(stderr, "bench_view: cannot prepare the sphere in %s\n", qPrintable(folder));
        return 1;
    }
    const QString path = folder + "/sphere_1m.stl";

    // As the application sets it up.
    QSurfaceFormat format;
    format.setDepthBufferSize(32);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setVersion(2, 1);
    QSurfaceFormat::setDefaultFormat(format);

    // The view on one page, another page to hide it behind.
    QStackedWidget pages;
    auto *viewer = new STLViewer;
    pages.addWidget(viewer);
    pages.addWidget(new QWidget);
    pages.resize(800, 600);
    pages.show();
    if (!waitForFrame(*viewer) || !viewer->shadersLinked()) {
        std::fprintf(stderr, "bench_view: the view draws nothing (no OpenGL?)\n");
        return 1;
    }
    viewer->makeCurrent();
    const QByteArray renderer = reinterpret_cast<const char *>(
            viewer->context()->functions()->glGetString(GL_RENDERER));
    viewer->doneCurrent();

    // Reads and loads take turns, so that a change of load on the machine touches them alike.
    // A load drawing every facet in its first frame is timed too, for comparison.
    struct Load
    {
        double total = 1e9;
        double made = 1e9; // the reader and the instance
        double frame = 1e9; // from addModel to the frame on screen
    };
    double readBest = 1e9;
    Load standIn, fullDetail;
    std::unique_ptr<STLModelInstance> instance;
    const auto load = [&](Load &best, bool standIns) {
        if (viewer->modelCount() > 0) {
            viewer->removeModel(0);
            instance.reset();
        }
        viewer->setCoarseStandIns(standIns);
        if (!waitForFrame(*viewer))
            return false;
        QElapsedTimer timer;
        timer.start();
        instance = std::make_unique<STLModelInstance>(std::make_unique<STLReader>(path));
        const double made = timer.nsecsElapsed() * 1e-9;
        viewer->addModel(instance.get());
        if (!waitForFrame(*viewer))
            return false;
        const double shown = timer.nsecsElapsed() * 1e-9;
        best.total = std::min(best.total, shown);
        best.made = std::min(best.made, made);
        best.frame = std::min(best.frame, shown - made);
        return true;
    };
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        {
            const STLReader reader(path);
            if (!reader.isValid() || reader.facets().size() != 1000000) {
                std::fprintf(stderr, "bench_view: %s is not the sphere\n", qPrintable(path));
                return 1;
            }
        }
        readBest = std::min(readBest, timer.nsecsElapsed() * 1e-9);
        if (!load(fullDetail, false) || !load(standIn, true)) {
            std::fprintf(stderr, "bench_view: no frame after loading\n");
            return 1;
        }
    }

    // Orbiting: each frame follows a one-pixel right-button drag; then again drawing every facet.
    QPoint position(400, 300);
    const auto orbit = [&]() {
        rightDrag(*viewer, position, QEvent::MouseButtonPress);
        QElapsedTimer timer;
        timer.start();
        for (int frame = 0; frame < frames; ++frame) {
            position += QPoint(1, 0);
            rightDrag(*viewer, position, QEvent::MouseMove);
            if (!waitForFrame(*viewer))
                return -1.0;
        }
        rightDrag(*viewer, position, QEvent::MouseButtonRelease);
        return frames / (timer.nsecsElapsed() * 1e-9);
    };
    const double fps = orbit();
    viewer->setCoarseStandIns(false);
    const double fullDetailFps = orbit();
    viewer->setCoarseStandIns(true);
    if (fps < 0 || fullDetailFps < 0) {
        std::fprintf(stderr, "bench_view: no frame while orbiting\n");
        return 1;
    }
    waitForFrame(*viewer);

    const int framesBefore = viewer->framesDrawn();
    const double idleShown = idleCpuPercent(IDLE_SECONDS);
    const int idleFrames = viewer->framesDrawn() - framesBefore;
    pages.setCurrentIndex(1);
    const double idleHidden = idleCpuPercent(IDLE_SECONDS);

    const double loadRatio = standIn.total / readBest;
    std::printf("\nrenderer: %s; view 800x600; %s (1 000 000 facets); fastest of %d runs in "
                "turn\n\n",
                renderer.constData(), qPrintable(path), runs);
    std::printf("STL read alone                           %8.3f s\n", readBest);
    std::printf("load onto the plate (read ... frame)     %8.3f s   load/read %s (target <=%.1f)\n",
                standIn.total, qPrintable(ratio(standIn.total, readBest)), LOAD_TARGET);
    std::printf("  of which: read and instance %.3f s, stand-in made and first frame %.3f s\n",
                standIn.made, standIn.frame);
    std::printf("  drawing every facet instead            %8.3f s   load/read %s (first frame "
                "%.3f s)\n",
                fullDetail.total, qPrintable(ratio(fullDetail.total, readBest)), fullDetail.frame);
    std::printf("orbiting                                 %8.1f frames/s (target >=%.0f), %d "
                "frames\n",
                fps, FPS_TARGET, frames);
    std::printf("  drawing every facet instead            %8.1f frames/s\n", fullDetailFps);
    std::printf(
            "idle, view shown                         %8.2f %% of one core, %d frames in %d s\n",
            idleShown, idleFrames, IDLE_SECONDS);
    std::printf("idle, view hidden                        %8.2f %% of one core (target <%.0f)\n",
                idleHidden, IDLE_TARGET);
    QStringList missed;
    if (loadRatio > LOAD_TARGET)
        missed << "load";
    if (fps < FPS_TARGET)
        missed << "frame rate";
    if (idleHidden >= IDLE_TARGET)
        missed << "idle";
    std::printf("\n%s\n",
                missed.isEmpty() ? "every figure within target"
                                 : qPrintable("NOT within target: " + missed.join(", ")));
    viewer->removeModel(0);
    return 0;
}
