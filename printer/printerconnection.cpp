#include "printer/printerconnection.h"

#include "printer/printer.h"
#include "printer/serialhandler.h"

PrinterConnection::PrinterConnection(PortLister listPorts)
    : m_listPorts(std::move(listPorts))
{ }

PrinterConnection::~PrinterConnection() = default;

int PrinterConnection::scan()
{
    const QStringList answered = SerialHandler::scanPortLocations(m_listPorts());
    if (answered.isEmpty()) {
        // Nothing new to use: the printer in use is kept, the other ones of the last scan go.
        for (auto &found : m_found) {
            if (found.get() == m_current)
                m_earlier = std::move(found);
        }
        m_found.clear();
        return 0;
    }
    m_found.clear();
    m_earlier.reset();
    for (const QString &portName : answered)
        m_found.push_back(std::make_unique<Printer>(portName));
    m_current = m_found.front().get();
    return int(m_found.size());
}

QStringList PrinterConnection::portNames() const
{
    QStringList names;
    for (const auto &found : m_found)
        names.append(found->getPortName());
    return names;
}

void PrinterConnection::select(int index)
{
    if (index >= 0 && index < int(m_found.size()))
        m_current = m_found[size_t(index)].get();
}
