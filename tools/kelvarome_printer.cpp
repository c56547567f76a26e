// kelvarome-printer PORT ACTION: service and diagnosis of the printer over its serial link, with
// the application's own printer code. Opens the connection with the handshake, performs one
// action and closes the connection as the application does. Exit status 0 means success.

#include <cstdio>

#include <QCoreApplication>
#include <QStringList>
#include <QThread>

#include "printer/printer.h"
#include "printer/serialcommands.h"

namespace {

constexpr int LED_STAGE_SHOW_MS = 500;

void printUsage()
{
    std::fprintf(stderr,
                 "Usage: kelvarome-printer PORT ACTION\n"
                 "  PORT    serial port name or device path (ttyUSB0, COM3, /dev/pts/4)\n"
                 "  ACTION  probe      handshake only; prints the model or why there is none\n"
                 "          up         plate up 300 um, motor released 3200 ms later\n"
                 "          down       plate down 300 um, motor released 3200 ms later\n"
                 "          fine-up    plate up 50 um, motor released 3200 ms later\n"
                 "          fine-down  plate down 50 um, motor released 3200 ms later\n"
                 "          leds       the six progress LED stages, then all LEDs off\n"
                 "          release    release the motor\n");
}

// Runs the action on a connected printer; false when the printer refused it.
bool runAction(Printer &printer, const QString &action)
{
    bool accepted = true;
    if (action == QLatin1String("up"))
        accepted = printer.goUp(300, true);
    else if (action == QLatin1String("down"))
        accepted = printer.goDown(300, false, true);
    else if (action == QLatin1String("fine-up"))
        accepted = printer.goUp(50, true);
    else if (action == QLatin1String("fine-down"))
        accepted = printer.goDown(50, false, true);
    else if (action == QLatin1String("release"))
        printer.releaseMtr();
    else if (action == QLatin1String("leds")) {
        for (int stage = 0; stage < Printer::LED_STAGES; ++stage) {
            printer.changeProgBarLed(stage);
            QThread::msleep(LED_STAGE_SHOW_MS);
        }
        printer.turnOffLeds();
    }
    // A move is over when its release command has gone out.
    while (printer.isMoving() && printer.isOpen())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return accepted;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QStringList actions = {QStringLiteral("probe"),     QStringLiteral("up"),
                                 QStringLiteral("down"),      QStringLiteral("fine-up"),
                                 QStringLiteral("fine-down"), QStringLiteral("leds"),
                                 QStringLiteral("release")};
    if (arguments.size() != 3 || !actions.contains(arguments.at(2))) {
        printUsage();
        return 2;
    }
    const QString portName = arguments.at(1);
    const QString action = arguments.at(2);

    Printer printer(portName);
    QString error;
    if (!printer.openConnection(error)) {
        std::fprintf(stderr, "No printer on %s: %s\n", qPrintable(portName), qPrintable(error));
        return 1;
    }
    if (action == QLatin1String("probe"))
        std::printf("%s on %s\n", qPrintable(ANS_RECV_MDL), qPrintable(portName));

    const bool accepted = runAction(printer, action);
    const bool stillOpen = printer.isOpen();
    printer.closeConnection();
    if (!accepted || !stillOpen) {
        std::fprintf(stderr, "The printer on %s %s\n", qPrintable(portName),
                     stillOpen ? "refused the command" : "went away");
        return 1;
    }
    return 0;
}
