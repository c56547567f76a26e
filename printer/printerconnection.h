#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QStringList>

class Printer;

// Names the serial ports a printer scan probes: port names or device paths.
using PortLister = std::function<QStringList()>;

// The printers found by the last scan, in scan order, and the printer in use. A scan replaces
// the printers of the one before; the printer in use stays valid until a scan finds another.
class PrinterConnection
{
public:
    explicit PrinterConnection(PortLister listPorts);
    ~PrinterConnection();

    // Probes every listed port; when printers answer, the first becomes the one in use. Returns
    // how many answered.
    int scan();
    // The port names of the last scan's printers, in order.
    QStringList portNames() const;
    // Makes the index-th printer of the last scan the one in use; other indexes change nothing.
    void select(int index);
    // The printer in use; null until a scan has found one.
    Printer *current() const { return m_current; }

private:
    PortLister m_listPorts;
    std::vector<std::unique_ptr<Printer>> m_found;
    // The printer in use when it came from an earlier scan than the last one.
    std::unique_ptr<Printer> m_earlier;
    Printer *m_current = nullptr;
};
