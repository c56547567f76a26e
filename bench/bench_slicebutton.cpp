// Times the Slice button on the synthetic sphere of a million facets at 50 µm, from the click to
// the job shown on the printing page, against kelvarome-slice on the same model in the same run
// (the two take turns). Run it on an X display: the button grabs the 3D view for the thumbnail.
// Prints the fastest times, their ratio and the target.

#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include "base/constants.h"
#include "bench/benchmodels.h"
#include "tests/windowsupport.h"

namespace {

const double RATIO_TARGET = 1.3;

double secondsOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(gui);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times the Slice button on the million-facet "
                                                    "sphere at 50 µm against kelvarome-slice."));
    parser.addHelpOption();
    const QCommandLineOption modelsOption("models", "Folder of the synthetic models.", "DIR",
                                          BenchModels::defaultFolder());
    const QCommandLineOption runsOption("runs", "Runs of each (default 3).", "N", "3");
    parser.addOptions({modelsOption, runsOption});
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const QString models = parser.value(modelsOption);
    if (!BenchModels::ensureSyntheticModels(models, SHARED_DIR "/bench/make_models.py",
                                            {"sphere_1m"})) {
        std::fprintf(stderr, "bench_slicebutton: cannot make the sphere\n");
        return 1;
    }
    const QString sphere = models + "/sphere_1m.stl";

    WindowSupport::TestWindow test;
    test.window->show();
    test.window->openFiles({sphere});
    test.find<QComboBox>("cboZIncrement")->setCurrentText("50");
    auto *slice = test.find<QPushButton>("btnSlice");
    QApplication::processEvents();

    double button = 1e9, tool = 1e9;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir scratch;
        SLICER_WORKING_DIR = scratch.filePath("window/");
        QElapsedTimer timer;
        timer.start();
        slice->click();
        button = std::min(button, secondsOf(timer));
        const QString shown = test.find<QLabel>("lblPrintTotalFrames")->text();
        if (test.dialogs->shown.size() != run + 1 || shown.toInt() < 1) {
            std::fprintf(stderr, "bench_slicebutton: %s\n",
                         qPrintable(test.dialogs->shown.join('\n')));
            return 1;
        }

        QProcess process;
        timer.restart();
        process.start(KELVAROME_SLICE_EXE,
                      {sphere, "--microns", "50", "--out", scratch.filePath("tool")});
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            std::fprintf(stderr, "bench_slicebutton: kelvarome-slice failed\n");
            return 1;
        }
        tool = std::min(tool, secondsOf(timer));
    }
    std::printf("sphere_1m at 50 um, fastest of %d:\n", runs);
    std::printf("  Slice button to the job shown   %7.3f s\n", button);
    std::printf("  kelvarome-slice                 %7.3f s\n", tool);
    std::printf("  ratio %.2f (target at most %.1f)\n", button / tool, RATIO_TARGET);
    return 0;
}
