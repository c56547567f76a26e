// kelvarome-virtual-printer: the printer's controller board on a pseudo-terminal, for trying the
// application and the service tool without a printer. Prints the device path on the first line
// of its output, then one line per command received.

#include <csignal>
#include <cstdio>

#include <sys/socket.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>

#include "printer/virtualprinter.h"

namespace {

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    (void)::write(signalPipe[1], &byte, 1);
}

// Quits the event loop on SIGINT or SIGTERM, so the log is flushed and the link removed.
void quitOnTerminationSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onTerminationSignal);
    std::signal(SIGTERM, onTerminationSignal);
}

bool readCount(const QCommandLineParser &parser, const QString &option, int &value)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    value = parser.value(option).toInt(&ok);
    if (ok && value >= 0)
        return true;
    std::fprintf(stderr, "--%s needs a whole number (0 or more)\n", qPrintable(option));
    return false;
}

// Makes `linkPath` a symbolic link to the device. A dangling link, left by a run that was killed,
// is replaced; anything else in the way is refused with the reason.
bool linkDevice(const QString &devicePath, const QString &linkPath, QString &error)
{
    const QFileInfo existing(linkPath);
    if (existing.isSymLink() && !existing.exists()) {
        if (!QFile::remove(linkPath)) {
            error = QStringLiteral("cannot remove the stale link %1").arg(linkPath);
            return false;
        }
    } else if (existing.isSymLink()) {
        error = QStringLiteral("%1 already links to %2, which exists")
                        .arg(linkPath, existing.symLinkTarget());
        return false;
    } else if (existing.exists()) {
        error = QStringLiteral("%1 already exists and is not a link").arg(linkPath);
        return false;
    }
    QFile device(devicePath);
    if (!device.link(linkPath)) {
        error = QStringLiteral("cannot create the link %1: %2").arg(linkPath, device.errorString());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvarome-virtual-printer"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Behaves as the Tarvisomel's controller board on a pseudo-terminal: answers \"10\" "
            "with \"OK\" and \"12\" with \"Tarvisomel\", accepts the other commands silently and "
            "logs every command with a millisecond timestamp. The device path is printed first."));
    parser.addHelpOption();
    parser.addOptions({
            {QStringLiteral("log"), QStringLiteral("Write the command log to <file>."),
             QStringLiteral("file")},
            {QStringLiteral("link"), QStringLiteral("Make <path> a symbolic link to the device."),
             QStringLiteral("path")},
            {QStringLiteral("late"), QStringLiteral("Answer <ms> milliseconds late."),
             QStringLiteral("ms")},
            {QStringLiteral("pieces"),
             QStringLiteral("Send answers in pieces of three bytes, <ms> apart."),
             QStringLiteral("ms")},
            {QStringLiteral("junk"), QStringLiteral("Follow each answer with a NUL and junk.")},
            {QStringLiteral("ack"), QStringLiteral("Answer <text> to \"10\" instead of \"OK\"."),
             QStringLiteral("text")},
            {QStringLiteral("model"),
             QStringLiteral("Answer <text> to \"12\" instead of \"Tarvisomel\"."),
             QStringLiteral("text")},
            {QStringLiteral("silent"), QStringLiteral("Never answer.")},
            {QStringLiteral("silent-from"),
             QStringLiteral("Answer nothing from the <n>-th command received on."),
             QStringLiteral("n")},
            {QStringLiteral("stream"),
             QStringLiteral("Send chatter every <ms> milliseconds, without end."),
             QStringLiteral("ms")},
            {QStringLiteral("stream-from"),
             QStringLiteral("Start the chatter of --stream on receiving the <n>-th command."),
             QStringLiteral("n")},
            {QStringLiteral("hang-up-after"),
             QStringLiteral("Hang up on receiving the <n>-th command, then exit."),
             QStringLiteral("n")},
    });
    parser.process(app);

    VirtualPrinterBehaviour behaviour;
    if (!readCount(parser, QStringLiteral("late"), behaviour.answerDelayMs)
        || !readCount(parser, QStringLiteral("pieces"), behaviour.pieceGapMs)
        || !readCount(parser, QStringLiteral("silent-from"), behaviour.silentFromCommand)
        || !readCount(parser, QStringLiteral("stream"), behaviour.streamGapMs)
        || !readCount(parser, QStringLiteral("stream-from"), behaviour.streamFromCommand)
        || !readCount(parser, QStringLiteral("hang-up-after"), behaviour.hangUpAfterCommands))
        return 2;
    if (parser.isSet(QStringLiteral("junk")))
        behaviour.trailer = QByteArray("\0#%&garbage", 12);
    if (parser.isSet(QStringLiteral("ack")))
        behaviour.ackAnswer = parser.value(QStringLiteral("ack")).toLatin1();
    if (parser.isSet(QStringLiteral("model")))
        behaviour.modelAnswer = parser.value(QStringLiteral("model")).toLatin1();
    behaviour.silent = parser.isSet(QStringLiteral("silent"));

    QFile logFile;
    if (parser.isSet(QStringLiteral("log"))) {
        logFile.setFileName(parser.value(QStringLiteral("log")));
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            std::fprintf(stderr, "Cannot write the log %s: %s\n", qPrintable(logFile.fileName()),
                         qPrintable(logFile.errorString()));
            return 1;
        }
    } else if (!logFile.open(stdout, QIODevice::WriteOnly | QIODevice::Text)) {
        return 1;
    }
    QTextStream log(&logFile);

    VirtualPrinter printer(behaviour);
    QString error;
    if (!printer.open(error)) {
        std::fprintf(stderr, "Cannot create a pseudo-terminal: %s\n", qPrintable(error));
        return 1;
    }
    const QString linkPath = parser.value(QStringLiteral("link"));
    if (!linkPath.isEmpty() && !linkDevice(printer.devicePath(), linkPath, error)) {
        std::fprintf(stderr, "kelvarome-virtual-printer: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(printer.devicePath()));
    std::fflush(stdout);

    QObject::connect(&printer, &VirtualPrinter::commandReceived, &app,
                     [&log](const ReceivedCommand &command) {
                         log << command.at.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                             << ' ' << QString::fromLatin1(command.code) << ' '
                             << VirtualPrinter::commandName(command.code) << Qt::endl;
                     });
    QObject::connect(&printer, &VirtualPrinter::hungUp, &app, [&log] {
        log << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
            << " hung up" << Qt::endl;
        QCoreApplication::quit();
    });
    quitOnTerminationSignals(app);

    const int exitCode = app.exec();
    if (!linkPath.isEmpty())
        QFile::remove(linkPath);
    return exitCode;
}
