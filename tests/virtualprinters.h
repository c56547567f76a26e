#pragma once

#include <memory>

#include <QList>
#include <QString>

#include "printer/virtualprinter.h"

// Virtual printers on pseudo-terminals for the tests of the printer link.
namespace VirtualPrinters {

using Codes = QList<QByteArray>;

// A port that no system has, for a port that cannot be opened.
inline const QString NO_SUCH_PORT = QStringLiteral("/dev/kelvarome-no-such-port");

// The board's behaviour changed by `edit`, e.g. [](auto &b) { b.ackAnswer = "ok"; }.
template <typename Edit>
VirtualPrinterBehaviour behaviour(Edit edit)
{
    VirtualPrinterBehaviour changed;
    edit(changed);
    return changed;
}

// A virtual printer on a thread of its own. Without pseudo-terminals no test of the printer
// link can run, so a failure ends the run.
inline std::unique_ptr<VirtualPrinterThread> start(const VirtualPrinterBehaviour &behaviour = {})
{
    auto printer = std::make_unique<VirtualPrinterThread>(behaviour);
    QString error;
    if (!printer->start(error))
        qFatal("cannot start a virtual printer: %s", qPrintable(error));
    return printer;
}

inline std::unique_ptr<VirtualPrinterThread> startSilent()
{
    return start(behaviour([](auto &b) { b.silent = true; }));
}

// Milliseconds between the i-th and the j-th command the printer received.
inline qint64 gapMs(const VirtualPrinterThread &printer, int i, int j)
{
    const QList<ReceivedCommand> received = printer.received();
    return received.at(j).monotonicMs - received.at(i).monotonicMs;
}

} // namespace VirtualPrinters
