// Times kelvarome-slice at 50 µm on the models of the peer benchmark (the synthetic sphere of a
// million facets and plate with 400 holes, the real boat and XL gantry) with its peak memory,
// against the plain slicer of the tests run in the same process tree, and against the figures
// recorded for PrusaSlicer and Slic3r on this machine kind (those two are not run here); and the
// sphere with its facets shuffled against the ordered one. Prints the ratios and the targets.

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include "bench/benchmodels.h"

extern char **environ;

namespace {

const int MICRONS = 50;
const double SPEED_TARGET = 0.5; // of PrusaSlicer's slicing-only time
const double MEMORY_TARGET = 0.5; // of PrusaSlicer's peak memory, on the sphere
const double SHUFFLE_TARGET = 1.5; // shuffled sphere against the ordered one
const quint32 SHUFFLE_SEED = 20261206;

struct Measurement
{
    bool ok = false;
    double seconds = 0; // the fastest run
    double megabytes = 0; // the largest peak resident memory of the runs
    QString error;
};

struct Model
{
    QString file;
    QString path;
    quint32 facets = 0;
    Measurement ours;
    Measurement reference;
    bool sameBytes = false;
};

// The figures recorded for one peer and one model: fastest wall time, largest peak memory.
struct Recorded
{
    double seconds = -1;
    double megabytes = -1;
};

double now()
{
    timespec time;
    clock_gettime(CLOCK_MONOTONIC, &time);
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}

// Runs a command once, stdout dropped and stderr kept for the error text, with its wall time and
// its own peak resident memory (wait4 reports the child's usage alone).
Measurement runOnce(const QStringList &command, const QString &errorFile)
{
    std::vector<QByteArray> arguments;
    for (const QString &argument : command)
        arguments.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QByteArray errorPath = QFile::encodeName(errorFile);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Measurement result;
    const double start = now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.error = "cannot start " + command.first();
        return result;
    }
    int status = 0;
    rusage usage = {};
    wait4(child, &status, 0, &usage);
    result.seconds = now() - start;
    result.megabytes = double(usage.ru_maxrss) / 1024.0;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!result.ok) {
        QFile messages(errorFile);
        messages.open(QIODevice::ReadOnly);
        result.error = command.first() + " failed: " + QString::fromLocal8Bit(messages.readAll());
    }
    return result;
}

// For each command, the fastest of `runs` runs and the largest peak memory. The commands take
// turns, so that a change of load on the (shared) machine touches them alike. `outputs` holds
// each command's output folder, emptied before each run; the last run's output stays.
QVector<Measurement> measureInTurn(const QList<QStringList> &commands, const QStringList &outputs,
                                   int runs, const QString &errorFile)
{
    QVector<Measurement> best(commands.size());
    for (int run = 0; run < runs; ++run) {
        for (int i = 0; i < commands.size(); ++i) {
            if (!best[i].error.isEmpty())
                continue;
            QDir(outputs.at(i)).removeRecursively();
            const Measurement once = runOnce(commands.at(i), errorFile);
            if (!once.ok) {
                best[i] = once;
                continue;
            }
            best[i].seconds = run == 0 ? once.seconds : std::min(best[i].seconds, once.seconds);
            best[i].megabytes = std::max(best[i].megabytes, once.megabytes);
            best[i].ok = true;
        }
    }
    return best;
}

quint32 facetCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(80))
        return 0;
    const QByteArray count = file.read(4);
    return count.size() == 4 ? qFromLittleEndian<quint32>(count.constData()) : 0;
}

// The binary STL `from` with its records in a fixed random order, written to `to`.
bool writeShuffled(const QString &from, const QString &to)
{
    QFile input(from);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = input.readAll();
    const quint32 count = facetCount(from);
    if (bytes.size() < 84 || qint64(bytes.size()) != 84 + 50 * qint64(count))
        return false;
    std::vector<quint32> order(count);
    for (quint32 i = 0; i < count; ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(SHUFFLE_SEED));
    QByteArray shuffled = bytes.left(84);
    shuffled.reserve(bytes.size());
    for (const quint32 record : order)
        shuffled.append(bytes.constData() + 84 + 50 * qint64(record), 50);
    QFile output(to + ".part");
    if (!output.open(QIODevice::WriteOnly) || output.write(shuffled) != shuffled.size())
        return false;
    output.close();
    return QFile::rename(to + ".part", to);
}

bool sameFiles(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly)
        || first.size() != second.size())
        return false;
    while (!first.atEnd()) {
        if (first.read(1 << 20) != second.read(1 << 20))
            return false;
    }
    return true;
}

// tool -> model file -> figures, for the 50 µm rows of the peer results that ended well.
QHash<QString, QHash<QString, Recorded>> readRecorded(const QString &path)
{
    QHash<QString, QHash<QString, Recorded>> recorded;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return recorded;
    const QList<QByteArray> header = file.readLine().trimmed().split('\t');
    const int model = header.indexOf("model"), tool = header.indexOf("tool"),
              lh = header.indexOf("lh"), wall = header.indexOf("wall_s"),
              rss = header.indexOf("rss_kb"), rc = header.indexOf("rc");
    const int columns = std::max({model, tool, lh, wall, rss, rc}) + 1;
    if (std::min({model, tool, lh, wall, rss, rc}) < 0)
        return recorded;
    while (!file.atEnd()) {
        const QList<QByteArray> row = file.readLine().trimmed().split('\t');
        if (row.size() < columns || row.at(lh) != "0.05" || row.at(rc) != "0")
            continue;
        Recorded &figures =
                recorded[QString::fromUtf8(row.at(tool))][QString::fromUtf8(row.at(model))];
        const double seconds = row.at(wall).toDouble();
        const double megabytes = row.at(rss).toDouble() / 1024.0;
        figures.seconds = figures.seconds < 0 ? seconds : std::min(figures.seconds, seconds);
        figures.megabytes = std::max(figures.megabytes, megabytes);
    }
    return recorded;
}

QString ratio(double ours, double theirs)
{
    return ours > 0 && theirs > 0 ? QString::number(ours / theirs, 'f', 3) : QStringLiteral("-");
}

QString figure(double value, int decimals)
{
    return value >= 0 ? QString::number(value, 'f', decimals) : QStringLiteral("-");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Times kelvarome-slice at 50 µm against the plain reference slicer (same run) and "
            "the recorded PrusaSlicer and Slic3r figures; prints the ratios."));
    parser.addHelpOption();
    const QCommandLineOption modelsOption("models",
                                          "Folder of the synthetic models (made there "
                                          "when missing).",
                                          "DIR", BenchModels::defaultFolder());
    const QCommandLineOption runsOption("runs", "Runs of kelvarome-slice per model (default 5).",
                                        "N", "5");
    const QCommandLineOption referenceRunsOption(
            "reference-runs", "Runs of the reference slicer per model (default 1; 0: none).", "N",
            "1");
    const QCommandLineOption sharedOption("shared", "The shared folder (models, bench).", "DIR",
                                          SHARED_DIR);
    // The shuffled sphere is written by a child process: the buffers of a whole model would
    // otherwise raise this process's peak memory, which the kernel passes on to the peak memory
    // reported for the children spawned after it.
    QCommandLineOption shuffleOption("write-shuffled", "Internal: writes FROM,TO shuffled.",
                                     "FROM,TO");
    shuffleOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({modelsOption, runsOption, referenceRunsOption, sharedOption, shuffleOption});
    parser.process(app);
    if (parser.isSet(shuffleOption)) {
        const QStringList paths = parser.value(shuffleOption).split(',');
        return paths.size() == 2 && writeShuffled(paths.at(0), paths.at(1)) ? 0 : 1;
    }
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const int referenceRuns = std::max(0, parser.value(referenceRunsOption).toInt());
    const QString shared = parser.value(sharedOption);
    const QString modelsFolder = parser.value(modelsOption);

    QTemporaryDir scratch;
    if (!scratch.isValid() || !QDir().mkpath(modelsFolder)
        || !BenchModels::ensureSyntheticModels(modelsFolder, shared + "/bench/make_models.py",
                                               {"sphere_1m", "plate_holes"})) {
        std::fprintf(stderr, "bench_slicer: cannot prepare the models in %s\n",
                     qPrintable(modelsFolder));
        return 1;
    }
    const QString shuffledPath = modelsFolder + "/sphere_1m_shuffled.stl";
    if (!QFile::exists(shuffledPath)
        && QProcess::execute(QCoreApplication::applicationFilePath(),
                             {"--write-shuffled", modelsFolder + "/sphere_1m.stl," + shuffledPath})
                != 0) {
        std::fprintf(stderr, "bench_slicer: cannot write %s\n", qPrintable(shuffledPath));
        return 1;
    }

    // Freshly written models must not be flushed to disk while the runs are timed.
    sync();

    QList<Model> models;
    const QStringList paths = {
            modelsFolder + "/sphere_1m.stl", shared + "/models/3DBenchy_from3mf.stl",
            shared + "/models/prusaslicer_xl_gantry.stl", modelsFolder + "/plate_holes.stl"};
    for (const QString &path : paths) {
        Model model;
        model.file = QFileInfo(path).fileName();
        model.path = path;
        model.facets = facetCount(path);
        models << model;
    }

    const QString errors = scratch.filePath("stderr.txt");
    const QString oursFolder = scratch.filePath("ours");
    const QString shuffledFolder = scratch.filePath("shuffled");
    const QString referenceFolder = scratch.filePath("reference");
    auto oursCommand = [&](const QString &path, const QString &folder) {
        return QStringList{KELVAROME_SLICE_EXE,      path,    "--microns",
                           QString::number(MICRONS), "--out", folder};
    };
    Measurement shuffled;
    for (Model &model : models) {
        std::printf("slicing %s ...\n", qPrintable(model.file));
        std::fflush(stdout);
        // The ordered sphere takes turns with the shuffled one.
        const bool sphere = &model == &models.first();
        QList<QStringList> commands = {oursCommand(model.path, oursFolder)};
        QStringList outputs = {oursFolder};
        if (sphere) {
            commands << oursCommand(shuffledPath, shuffledFolder);
            outputs << shuffledFolder;
        }
        const QVector<Measurement> measured = measureInTurn(commands, outputs, runs, errors);
        model.ours = measured.first();
        if (sphere)
            shuffled = measured.last();
        if (!model.ours.ok || referenceRuns == 0)
            continue;
        model.reference = measureInTurn({{REFERENCE_SLICE_EXE, model.path, QString::number(MICRONS),
                                          referenceFolder}},
                                        {referenceFolder}, referenceRuns, errors)
                                  .first();
        // The last run of ours is still on disk: the same bytes as the reference's?
        const QString base = QFileInfo(model.file).baseName();
        const QString ours = QStringLiteral("%1/%2_Z%3/%2")
                                     .arg(oursFolder, base)
                                     .arg(MICRONS, 3, 10, QLatin1Char('0'));
        model.sameBytes = model.reference.ok
                && sameFiles(ours + ".svg", referenceFolder + "/print.svg")
                && sameFiles(ours + "_preview.svg", referenceFolder + "/preview.svg");
    }
    for (const QString &folder : {oursFolder, shuffledFolder, referenceFolder})
        QDir(folder).removeRecursively();

    for (const Model &model : models) {
        for (const Measurement &measurement : {model.ours, model.reference}) {
            if (!measurement.error.isEmpty())
                std::fprintf(stderr, "%s: %s\n", qPrintable(model.file),
                             qPrintable(measurement.error));
        }
    }
    if (!shuffled.ok)
        std::fprintf(stderr, "sphere_1m_shuffled.stl: %s\n", qPrintable(shuffled.error));

    const QString recordedPath = shared + "/bench/results_2026-12-06.tsv";
    const auto recorded = readRecorded(recordedPath);
    const auto prusa = recorded.value("prusa_tiny");
    const auto slic3r = recorded.value("slic3r");

    std::printf("\nkelvarome-slice at %d µm: fastest of %d runs, largest peak RSS (wait4); "
                "reference: the plain slicer of tests/referenceslicer.cpp, %d run(s), same run.\n"
                "PrusaSlicer 2.5 (SLA, slicing only, 64x36 display) and Slic3r 1.3 (--export-svg): "
                "RECORDED figures,\nnot run here: %s (fastest wall time, largest RSS of their "
                "runs, same machine kind).\nMB = 1024 KiB.\n\n",
                MICRONS, runs, referenceRuns, qPrintable(recordedPath));
    std::printf("%-26s %9s | %7s %7s | %7s %8s %5s | %8s %10s %6s | %8s %11s\n", "model", "facets",
                "ours s", "ours MB", "ref s", "ours/ref", "same", "Prusa s", "ours/Prusa", "target",
                "Slic3r s", "ours/Slic3r");
    QStringList missed;
    for (const Model &model : models) {
        const Recorded p = prusa.value(model.file);
        const Recorded s = slic3r.value(model.file);
        const double toPrusa = model.ours.ok && p.seconds > 0 ? model.ours.seconds / p.seconds : -1;
        if (toPrusa < 0 || toPrusa > SPEED_TARGET)
            missed << model.file + " time";
        std::printf("%-26s %9u | %7s %7s | %7s %8s %5s | %8s %10s %6s | %8s %11s\n",
                    qPrintable(model.file), model.facets,
                    qPrintable(figure(model.ours.ok ? model.ours.seconds : -1, 3)),
                    qPrintable(figure(model.ours.ok ? model.ours.megabytes : -1, 1)),
                    qPrintable(figure(model.reference.ok ? model.reference.seconds : -1, 3)),
                    qPrintable(ratio(model.ours.seconds,
                                     model.reference.ok ? model.reference.seconds : -1)),
                    model.reference.ok ? (model.sameBytes ? "yes" : "NO") : "-",
                    qPrintable(figure(p.seconds, 2)), qPrintable(ratio(toPrusa, 1)),
                    qPrintable(QString("<=%1").arg(SPEED_TARGET)), qPrintable(figure(s.seconds, 2)),
                    qPrintable(ratio(model.ours.ok ? model.ours.seconds : -1, s.seconds)));
    }

    std::printf("\n%-26s | %7s %7s | %8s %11s %6s | %9s %12s\n", "peak memory", "ours MB", "ref MB",
                "Prusa MB", "ours/Prusa", "target", "Slic3r MB", "ours/Slic3r");
    for (const Model &model : models) {
        const Recorded p = prusa.value(model.file);
        const Recorded s = slic3r.value(model.file);
        const bool targeted = model.file == QLatin1String("sphere_1m.stl");
        const double toPrusa =
                model.ours.ok && p.megabytes > 0 ? model.ours.megabytes / p.megabytes : -1;
        if (targeted && (toPrusa < 0 || toPrusa > MEMORY_TARGET))
            missed << model.file + " memory";
        std::printf("%-26s | %7s %7s | %8s %11s %6s | %9s %12s\n", qPrintable(model.file),
                    qPrintable(figure(model.ours.ok ? model.ours.megabytes : -1, 1)),
                    qPrintable(figure(model.reference.ok ? model.reference.megabytes : -1, 1)),
                    qPrintable(figure(p.megabytes, 1)), qPrintable(ratio(toPrusa, 1)),
                    targeted ? qPrintable(QString("<=%1").arg(MEMORY_TARGET)) : "",
                    qPrintable(figure(s.megabytes, 1)),
                    qPrintable(ratio(model.ours.ok ? model.ours.megabytes : -1, s.megabytes)));
    }

    const Measurement &ordered = models.first().ours;
    const double shuffleRatio = shuffled.ok && ordered.ok ? shuffled.seconds / ordered.seconds : -1;
    if (shuffleRatio < 0 || shuffleRatio > SHUFFLE_TARGET)
        missed << "shuffled sphere";
    std::printf("\nfacet order (runs in turn): sphere_1m ordered %s s, shuffled (seed %u) %s s, "
                "shuffled/ordered %s (target <=%.1f)\n",
                qPrintable(figure(ordered.ok ? ordered.seconds : -1, 3)), SHUFFLE_SEED,
                qPrintable(figure(shuffled.ok ? shuffled.seconds : -1, 3)),
                qPrintable(ratio(shuffleRatio, 1)), SHUFFLE_TARGET);
    std::printf("\n%s\n",
                missed.isEmpty() ? "every ratio within target"
                                 : qPrintable("NOT within target: " + missed.join(", ")));
    return 0;
}
