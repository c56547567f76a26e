// Time to identify a printer and to scan silent ports, against the silence windows they are
// built from: a bare wait of the scan's window on a silent pseudo-terminal, measured here.

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>

#include "printer/printer.h"
#include "printer/serialcommands.h"
#include "printer/serialhandler.h"
#include "printer/virtualprinter.h"

namespace {

constexpr int REPEATS = 3;
constexpr int SILENT_PORTS = 8;

std::unique_ptr<VirtualPrinterThread> startVirtualPrinter(bool silent)
{
    VirtualPrinterBehaviour behaviour;
    behaviour.silent = silent;
    auto printer = std::make_unique<VirtualPrinterThread>(behaviour);
    QString error;
    if (!printer->start(error))
        qFatal("cannot start a virtual printer: %s", qPrintable(error));
    return printer;
}

// Best of REPEATS runs, in milliseconds.
double bestMs(const std::function<bool()> &run)
{
    double best = 1e12;
    for (int repeat = 0; repeat < REPEATS; ++repeat) {
        QElapsedTimer elapsed;
        elapsed.start();
        if (!run())
            qFatal("a measured run failed");
        best = std::min(best, elapsed.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    const auto board = startVirtualPrinter(false);
    std::vector<std::unique_ptr<VirtualPrinterThread>> silentPorts;
    QStringList silentLocations;
    for (int i = 0; i < SILENT_PORTS; ++i) {
        silentPorts.push_back(startVirtualPrinter(true));
        silentLocations.append(silentPorts.back()->devicePath());
    }

    // Baseline: one silence window of the scan, waited on a silent port.
    QSerialPort silentPort;
    silentPort.setPortName(silentLocations.first());
    if (!silentPort.open(QIODevice::ReadWrite))
        qFatal("cannot open %s", qPrintable(silentLocations.first()));
    const double windowMs = bestMs([&silentPort] {
        silentPort.waitForReadyRead(SerialHandler::SCAN_SILENCE_MS);
        return true;
    });
    silentPort.close();

    // A bare round trip "10" -> "OK", without waiting for silence.
    QSerialPort boardPort;
    boardPort.setPortName(board->devicePath());
    if (!boardPort.open(QIODevice::ReadWrite))
        qFatal("cannot open %s", qPrintable(board->devicePath()));
    const double roundTripMs = bestMs([&boardPort] {
        boardPort.write(CMD_SEND_ACK.toLatin1());
        boardPort.flush();
        QByteArray answer;
        while (!answer.endsWith('\n') && boardPort.waitForReadyRead(1000))
            answer += boardPort.readAll();
        return answer.startsWith("OK");
    });
    const double handshakeMs = bestMs([&boardPort] {
        return SerialHandler::handshake(boardPort, SerialHandler::SCAN_SILENCE_MS);
    });
    boardPort.close();

    Printer printer(board->devicePath());
    const double openConnectionMs = bestMs([&printer] {
        const bool connected = printer.openConnection();
        printer.closeConnection();
        return connected;
    });
    const double scanPrinterMs = bestMs([&board] {
        return SerialHandler::scanPortLocations({board->devicePath()}).size() == 1;
    });
    const double scanSilentMs = bestMs([&silentLocations] {
        return SerialHandler::scanPortLocations(silentLocations).isEmpty();
    });

    std::printf("baseline: one %d ms silence window on a silent pty: %.1f ms\n",
                SerialHandler::SCAN_SILENCE_MS, windowMs);
    std::printf("%-42s %10s %12s\n", "measure (best of 3)", "ms", "windows");
    const auto row = [windowMs](const char *name, double ms) {
        std::printf("%-42s %10.2f %12.3f\n", name, ms, ms / windowMs);
    };
    row("round trip \"10\" -> \"OK\" (no silence)", roundTripMs);
    row("handshake, scan windows (ideal 2)", handshakeMs);
    row("scan of 1 printer (ideal 2)", scanPrinterMs);
    row("openConnection, 350 ms windows (ideal 2.8)", openConnectionMs);
    row("scan of 8 silent ports (ideal 8)", scanSilentMs);
    return 0;
}
