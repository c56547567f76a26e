#include "printer/serialhandler.h"

#include <QElapsedTimer>
#include <QSerialPortInfo>
#include <QSysInfo>

#include "printer/serialcommands.h"

#ifdef Q_OS_UNIX
#include <cerrno>

#include <sys/ioctl.h>
#endif

SerialHandler::SerialHandler(QObject *parent)
    : QSerialPort(parent)
{
    connect(this, &QSerialPort::errorOccurred, this, &SerialHandler::onErrorOccurred);
}

void SerialHandler::connectSerialHandler(const QString &portName)
{
    if (isOpen())
        close();
    closeAfterReadErrorQueued = false;
    setPortName(portName);
    ready = open(QIODevice::ReadWrite) && applyLineSettings(*this);
}

QString SerialHandler::sendData(const QString &data, bool waitAnswer)
{
    if (!isOpen())
        return QString();
    if (write(data.toUtf8()) < 0 || (!flush() && error() == QSerialPort::WriteError)) {
        loseDevice();
        return QString();
    }
    if (!waitAnswer)
        return QString();
    const QString answer = collectAnswer(*this, ANSWER_SILENCE_MS);
    if (!isOpen())
        loseDevice();
    return answer;
}

bool SerialHandler::handshake(QSerialPort &port, int timeoutMs)
{
    if (!port.isOpen() || port.write(CMD_SEND_ACK.toUtf8()) < 0)
        return false;
    port.flush();
    if (collectAnswer(port, timeoutMs) != ANS_RECV_ACK)
        return false;

    if (!port.isOpen() || port.write(CMD_SEND_MDL.toUtf8()) < 0)
        return false;
    port.flush();
    const QString model = collectAnswer(port, timeoutMs);
    return !model.isEmpty() && model == ANS_RECV_MDL;
}

QStringList SerialHandler::systemPortNames()
{
    const bool darwin = QSysInfo::kernelType() == QLatin1String("darwin");
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        const QString name = darwin ? info.systemLocation() : info.portName();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

QStringList SerialHandler::scanPortLocations(const QStringList &portLocations)
{
    QStringList found;
    for (const QString &location : portLocations) {
        QSerialPort port;
        port.setPortName(location);
        if (probe(port))
            found.append(location);
    }
    return found;
}

bool SerialHandler::applyLineSettings(QSerialPort &port)
{
    // Every setter runs even after one has failed, so the port is configured as far as it can be.
    bool accepted = port.setBaudRate(QSerialPort::Baud9600, QSerialPort::AllDirections);
    accepted = port.setDataBits(QSerialPort::Data8) && accepted;
    accepted = port.setParity(QSerialPort::NoParity) && accepted;
    accepted = port.setStopBits(QSerialPort::OneStop) && accepted;
    accepted = port.setFlowControl(QSerialPort::NoFlowControl) && accepted;
    accepted = assertDataTerminalReady(port) && accepted;
    return accepted;
}

bool SerialHandler::probe(QSerialPort &port)
{
    if (!port.open(QIODevice::ReadWrite))
        return false;
    applyLineSettings(port);
    const bool isPrinter = handshake(port, SCAN_SILENCE_MS);
    if (port.isOpen())
        port.close();
    return isPrinter;
}

bool SerialHandler::assertDataTerminalReady(QSerialPort &port)
{
    if (port.setDataTerminalReady(true))
        return true;
#ifdef Q_OS_UNIX
    // A pseudo-terminal has no modem lines at all: there is no DTR to assert, which is not a
    // rejected setting. Any other failure still counts.
    int modemLines = 0;
    if (port.error() == QSerialPort::UnsupportedOperationError
        && ::ioctl(int(port.handle()), TIOCMGET, &modemLines) == -1 && errno == ENOTTY) {
        port.clearError();
        return true;
    }
#endif
    return false;
}

QString SerialHandler::collectAnswer(QSerialPort &port, int silenceMs)
{
    AnswerCollector answer;
    if (port.isOpen())
        answer.append(port.readAll());
    QElapsedTimer elapsed;
    elapsed.start();
    const qint64 timeLimitMs = qint64(silenceMs) + ANSWER_EXTRA_TIME_MS;
    while (!answer.isFull()) {
        const qint64 leftMs = timeLimitMs - elapsed.elapsed();
        if (leftMs <= 0 || !port.isOpen())
            break;
        if (!port.waitForReadyRead(int(qMin<qint64>(silenceMs, leftMs)))) {
            // A pseudo-terminal whose far end hung up reports read errors without end.
            if (port.error() == QSerialPort::ReadError
                || port.error() == QSerialPort::ResourceError)
                port.close();
            break;
        }
        answer.append(port.readAll());
    }
    return answer.text();
}

void SerialHandler::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // A device that went away reports read or resource errors without end. Closing is queued:
    // the error may come from inside the port's own read notification.
    const bool gone = error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
    if (!gone || closeAfterReadErrorQueued)
        return;
    closeAfterReadErrorQueued = true;
    QMetaObject::invokeMethod(this, &SerialHandler::closeAfterReadError, Qt::QueuedConnection);
}

void SerialHandler::closeAfterReadError()
{
    if (!closeAfterReadErrorQueued)
        return;
    closeAfterReadErrorQueued = false;
    if (isOpen())
        loseDevice();
}

void SerialHandler::loseDevice()
{
    if (isOpen())
        close();
    emit sgnDeviceLost();
}
