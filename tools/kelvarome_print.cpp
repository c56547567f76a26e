// kelvarome-print JOB.vek --port PORT: prints a job without the main window, for print stations
// and scripts, with the application's print run (checks, print model, print loop, log,
// keep-awake), printer code and projector window on the second screen. Its options stand for the
// printing page's controls; the waits, the projector's scale and the folders come from
// "settings.ini" beside the executable, as for the application.

#include <csignal>
#include <cstdio>
#include <optional>

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTextStream>

#include "base/constants.h"
#include "base/settingsvalues.h"
#include "job/vekformat.h"
#include "printer/printer.h"
#include "printing/curingtimetable.h"
#include "printing/printrun.h"
#include "projector/projector.h"
#include "settings/settingsstore.h"

namespace {

constexpr int EXIT_FINISHED = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_WRONG_ARGUMENTS = 2;

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    (void)::write(signalPipe[1], &byte, 1);
}

// Runs `abort` on the event loop at Ctrl+C or SIGTERM.
void abortOnTerminationSignals(QObject *owner, const std::function<void()> &abort)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, abort);
    std::signal(SIGINT, onTerminationSignal);
    std::signal(SIGTERM, onTerminationSignal);
}

void say(const QString &text)
{
    std::fprintf(stderr, "kelvarome-print: %s\n", qPrintable(text));
}

QString clockText(qint64 ms)
{
    return QStringLiteral("%1:%2:%3")
            .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
            .arg(ms % 3600000 / 60000, 2, 10, QLatin1Char('0'))
            .arg(ms % 60000 / 1000, 2, 10, QLatin1Char('0'));
}

// The curing-time table from a file: one row a line, start layer, end layer and time in ms,
// separated by blanks or commas; "#" starts a comment.
std::optional<QMap<int, int>> readTable(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("cannot read the table %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QList<CuringTimeRow> rows;
    QTextStream lines(&file);
    while (!lines.atEnd()) {
        const QString line = lines.readLine().section(QLatin1Char('#'), 0, 0);
        const QStringList cells =
                line.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
        if (cells.isEmpty())
            continue;
        rows.append({cells.value(0), cells.value(1), cells.value(2)});
        if (cells.size() != 3) {
            error = QStringLiteral("the table %1 has a line without three numbers: %2")
                            .arg(path, line.trimmed());
            return std::nullopt;
        }
    }
    std::optional<QMap<int, int>> times = readCuringTimes(rows);
    if (!times)
        error = QStringLiteral("the table %1 is inconsistent (overlapping or reversed ranges, "
                               "or a time that is not a positive number)")
                        .arg(path);
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Prints a job on the Tarvisomel without the main window: the projector window on the "
            "second screen, the printer on PORT. Progress goes to stderr; Ctrl+C aborts. Exit "
            "status: 0 the print finished, 1 it could not start or the printer went away, 2 wrong "
            "arguments."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("JOB.vek"), QStringLiteral("The job to print."));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("The printer's serial port or device path."),
                                        QStringLiteral("PORT"));
    const QCommandLineOption timeOption(
            QStringLiteral("time"),
            QStringLiteral("Layer curing time in ms (default: the one saved in the settings)."),
            QStringLiteral("MS"));
    const QCommandLineOption tableOption(
            QStringLiteral("table"),
            QStringLiteral("Per-layer curing times: lines of start layer, end layer, time in ms."),
            QStringLiteral("FILE"));
    const QCommandLineOption baseOption(QStringLiteral("base"),
                                        QStringLiteral("Print a base frame before the layers."));
    const QCommandLineOption noUpDownOption(QStringLiteral("no-up-down"),
                                            QStringLiteral("Plain layer steps, without the "
                                                           "up/down movement."));
    const QCommandLineOption estimateOption(
            QStringLiteral("estimate"),
            QStringLiteral("Print the estimated print time and stop (no printer, no projector)."));
    parser.addOptions(
            {portOption, timeOption, tableOption, baseOption, noUpDownOption, estimateOption});

    if (!parser.parse(arguments)) {
        QCoreApplication app(argc, argv);
        say(parser.errorText());
        return EXIT_WRONG_ARGUMENTS;
    }
    // Only a print needs a screen, for the projector.
    const bool estimateOnly = parser.isSet(estimateOption);
    std::unique_ptr<QCoreApplication> app;
    if (estimateOnly || !parser.isSet(portOption) || parser.isSet(QStringLiteral("help")))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);

    const auto wrongArguments = [&parser](const QString &why) {
        say(why);
        std::fputs(qPrintable(parser.helpText()), stderr);
        return EXIT_WRONG_ARGUMENTS;
    };
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return EXIT_FINISHED;
    }
    if (parser.positionalArguments().size() != 1)
        return wrongArguments(QStringLiteral("give exactly one job file."));
    if (!estimateOnly && parser.value(portOption).isEmpty())
        return wrongArguments(QStringLiteral("--port is needed to print."));

    fixPaths();
    SettingsStore settings(SETTINGS_PATH);
    settings.load();

    PrintOptions options;
    options.curingTimeMs = SETTINGS_WAIT_TIME;
    if (parser.isSet(timeOption)) {
        bool isNumber = false;
        options.curingTimeMs = parser.value(timeOption).toInt(&isNumber);
        if (!isNumber || options.curingTimeMs <= 0)
            return wrongArguments(QStringLiteral("--time needs a positive number of ms."));
    }
    if (parser.isSet(tableOption)) {
        QString error;
        const std::optional<QMap<int, int>> times = readTable(parser.value(tableOption), error);
        if (!times)
            return wrongArguments(error);
        options.curingTimes = *times;
    }
    options.addBase = parser.isSet(baseOption);
    options.baseTimeMs = SETTINGS_BASE_TIME;
    options.upAndDown = !parser.isSet(noUpDownOption);
    options.preMovementMs = SETTINGS_PRE_TIME;
    options.postMovementMs = SETTINGS_POST_TIME;

    const QString jobPath = parser.positionalArguments().constFirst();
    VekJob job;
    QString error;
    const VekReading reading = readVekJob(jobPath, job, error);
    if (reading == VekReading::NeedsDefaults || reading == VekReading::Unreadable) {
        say(QStringLiteral("cannot read the job %1. %2").arg(jobPath, error));
        return EXIT_FAILED;
    }

    if (estimateOnly) {
        PrintModel model;
        PrintRun::configure(model, job, options);
        std::printf("estimated time: %s\n", qPrintable(clockText(model.calcPrintTime())));
        return EXIT_FINISHED;
    }

    Printer printer(parser.value(portOption));
    if (!printer.openConnection(error)) {
        say(QStringLiteral("no printer on %1: %2").arg(parser.value(portOption), error));
        return EXIT_FAILED;
    }
    Projector projector;
    projector.showProjector();
    if (!projector.isActive()) {
        say(QStringLiteral("there is no second screen for the projector."));
        printer.closeConnection();
        return EXIT_FAILED;
    }
    PrintRun run(projector);
    const QString refusal = run.refusal(job, options, &printer);
    if (!refusal.isEmpty()) {
        say(refusal.simplified());
        printer.closeConnection();
        return EXIT_FAILED;
    }

    QString lastProgress;
    QObject::connect(&run, &PrintRun::sgnProgress,
                     [&lastProgress](int frame, int total, int remainingMs) {
                         const QString progress = QStringLiteral("frame %1 of %2, remaining %3")
                                                          .arg(frame)
                                                          .arg(total)
                                                          .arg(clockText(remainingMs));
                         if (progress != lastProgress)
                             std::fprintf(stderr, "%s\n", qPrintable(progress));
                         lastProgress = progress;
                     });
    QObject::connect(&run, &PrintRun::sgnFinished, [&](qint64 durationMs) {
        std::fprintf(stderr, "print finished in %s\n", qPrintable(clockText(durationMs)));
        QCoreApplication::exit(EXIT_FINISHED);
    });
    QObject::connect(&run, &PrintRun::sgnAborted, [](const QString &reason) {
        say(reason.isEmpty() ? QStringLiteral("print aborted.") : reason);
        QCoreApplication::exit(EXIT_FAILED);
    });
    abortOnTerminationSignals(&run, [&run] { run.abort(); });
    // Progress written to a pipe that was closed must not end the print.
    std::signal(SIGPIPE, SIG_IGN);
    run.start(job, options, printer, {SETTINGS_DEF_PROJECTOR, SETTINGS_DEF_RESIN, QStringList()});
    const int status = app->exec();
    printer.closeConnection();
    return status;
}
