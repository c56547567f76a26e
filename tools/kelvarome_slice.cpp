// kelvarome-slice: slices an STL model from the command line into the same run folder, layer
// documents and job file as the application's Slice button (there is no 3D view, so no
// thumbnail); with --info, prints the figures the model page shows for it instead.

#include <csignal>
#include <cstdio>

#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "base/constants.h"
#include "base/formatting.h"
#include "model/modelfigures.h"
#include "settings/equipmentdatabase.h"
#include "slicing/slicer.h"
#include "slicing/slicingprogress.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

// Ctrl+C (or a termination request) stops the run between two planes, so that the run folder is
// removed; a second one ends the process at once.
void catchInterrupts()
{
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// The percentage on the terminal, when stderr is one.
class TerminalProgress : public SlicingProgress
{
public:
    explicit TerminalProgress(bool visible)
        : m_visible(visible)
    { }

    void setValue(int percent) override
    {
        if (!m_visible || percent == m_shown)
            return;
        std::fprintf(stderr, "\rSlicing... %3d%%", percent);
        m_shown = percent;
    }

    bool wasCanceled() const override { return interrupted != 0; }

    void finish() override
    {
        if (m_visible && m_shown >= 0)
            std::fprintf(stderr, "\r                \r");
    }

private:
    bool m_visible;
    int m_shown = -1;
};

// The figures the model page shows for the model, one "key: value" line each, and its cost in
// every resin of the database. The resources must be registered.
int printFigures(const QString &path)
{
    const STLReader model(path);
    const QString reason = QFileInfo(path).isFile() ? model.errorString()
                                                    : QStringLiteral("there is no such file");
    if (!model.isValid() || !reason.isEmpty()) {
        std::fprintf(stderr, "kelvarome-slice: %s cannot be read: %s\n", qPrintable(path),
                     qPrintable(reason));
        return 1;
    }
    const std::vector<DatabaseEntry> resins = readDatabase(RESINS_DB);
    updateResinPrices(resins);
    const ModelFigures figures = ModelFigures::of(model);
    QTextStream out(stdout);
    out.setCodec("UTF-8");
    out << "model: " << model.getModelName() << '\n'
        << "length: " << figures.lengthText() << " mm\n"
        << "width: " << figures.widthText() << " mm\n"
        << "height: " << figures.heightText() << " mm\n"
        << "area: " << figures.areaText() << QStringLiteral(" cm²\n")
        << "volume: " << figures.volumeText() << QStringLiteral(" cm³\n")
        << "mass: " << figures.massText() << " gr\n"
        << "triangles: " << figures.trianglesText() << '\n';
    for (const DatabaseEntry &resin : resins)
        out << "cost " << resin.text << ": " << figures.costText(resin.text, false)
            << QStringLiteral(" €\n");
    return 0;
}

int usageError(const QCommandLineParser &parser, const QString &message)
{
    std::fprintf(stderr, "kelvarome-slice: %s\n\n%s", qPrintable(message),
                 qPrintable(parser.helpText()));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvarome-slice"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Slices an STL model into a run folder holding the print and preview SVG documents "
            "and the .vek job file, as the Slice button of Kelvarome does (without thumbnail).\n"
            "Prints the job file path on success."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("MODEL.stl"),
                                 QStringLiteral("The STL file (ASCII or binary) to slice."));
    const QCommandLineOption micronsOption(
            QStringLiteral("microns"), QStringLiteral("Layer thickness in microns (default 100)."),
            QStringLiteral("N"), QStringLiteral("100"));
    const QCommandLineOption hollowOption(
            QStringLiteral("hollow"),
            QStringLiteral("Hollow layers: a black inset 4 mm inside every outer outline."));
    const QCommandLineOption outOption(
            QStringLiteral("out"),
            QStringLiteral("Folder that receives the run folder (default: the application's "
                           "SlicedModels folder)."),
            QStringLiteral("DIR"));
    const QCommandLineOption infoOption(
            QStringLiteral("info"),
            QStringLiteral("Print the model's figures as the model page shows them (size, area, "
                           "volume, mass, triangles, the cost in each resin), one \"key: value\" "
                           "line each, and slice nothing."));
    parser.addOptions({micronsOption, hollowOption, outOption, infoOption});

    if (!parser.parse(app.arguments()))
        return usageError(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.positionalArguments().size() != 1)
        return usageError(parser, QStringLiteral("give exactly one model file."));
    if (parser.isSet(infoOption)) {
        Q_INIT_RESOURCE(gui);
        return printFigures(parser.positionalArguments().constFirst());
    }
    bool isNumber = false;
    const int microns = parser.value(micronsOption).toInt(&isNumber);
    if (!isNumber || microns <= 0)
        return usageError(parser, QStringLiteral("--microns needs a positive whole number."));

    fixPaths();
    SliceRequest request;
    request.modelFile = parser.positionalArguments().constFirst();
    request.microns = microns;
    request.hollow = parser.isSet(hollowOption);
    request.outputRoot = parser.isSet(outOption)
            ? toUnixFormat(QDir(parser.value(outOption)).absolutePath()) + DIR_SEP
            : SLICER_WORKING_DIR;

    catchInterrupts();
    TerminalProgress progress(isatty(STDERR_FILENO) != 0);
    Slicer slicer;
    slicer.setProgress(&progress);
    QString jobPath;
    QObject::connect(&slicer, &Slicer::sgnNotifyVekCreation,
                     [&jobPath](const QString &path) { jobPath = path; });

    QString error;
    if (!slicer.engage(request, error)) {
        std::fprintf(stderr, "kelvarome-slice: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(jobPath));
    return 0;
}
