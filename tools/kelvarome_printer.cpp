// kelvarome-printer PORT ACTION: service and diagnosis of the printer over its serial link, with
// the application's own printer code. Opens the connection with the handshake, performs one
// action and closes the connection as the application does. Exit status 0 means success.

#include <cstdio>

#include <QCoreApplication>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>

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

// Waits with the event loop running, so that a printer that hangs up meanwhile is noticed.
void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Shows the six LED stages one after the other; false when the printer refused or went away.
bool showLedStages(Printer &printer)
{
    for (int stage = 0; stage < Printer::LED_STAGES; ++stage) {
        if (!printer.isReady() || !printer.isOpen())
            return false;
        printer.changeProgBarLed(stage);
        waitMs(LED_STAGE_SHOW_MS);
    }
    printer.turnOffLeds();
    return true;
}

// Runs the action on a connected printer; false when the printer refused it.
bool runAction(Printer &printer, const QString &action)
{
    bool accepted = printer.isReady();
    if (action == QLatin1String("up"))
        accepted = printer.goUp(Printer::LIFT_STEP_UM, true);
    else if (action == QLatin1String("down"))
        accepted = printer.goDown(Printer::LIFT_STEP_UM, false, true);
    else if (action == QLatin1String("fine-up"))
        accepted = printer.goUp(Printer::FINE_STEP_UM, true);
    else if (action == QLatin1String("fine-down"))
        accepted = printer.goDown(Printer::FINE_STEP_UM, false, true);
    else if (action == QLatin1String("release") && accepted)
        printer.releaseMtr();
    else if (action == QLatin1String("leds") && accepted)
        accepted = showLedStages(printer);
    // A move is over when its release command has gone out.
    while (printer.isMoving() && printer.isOpen())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
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
