#include "printer/serialhandler.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPortInfo>
#include <QSysInfo>

#include "printer/serialcommands.h"

#ifdef Q_OS_UNIX
#include <cerrno>

#include <poll.h>
#include <sys/ioctl.h>
#endif

SerialHandler::SerialHandler(QObject *parent)
    : QSerialPort(parent)
{
    connect(this, &QSerialPort::errorOccurred, this, &SerialHandler::onErrorOccurred);
    connect(this, &QIODevice::readyRead, this, &SerialHandler::dropStaleInput);
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
    if (waitAnswer)
        clear(QSerialPort::Input);
    // A device that went away is known at once, before anything queued behind this command (a
    // frame change) runs.
    if (write(data.toUtf8()) < 0 || (!flush() && failedForGood(*this))) {
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

void SerialHandler::pauseWatching(int ms)
{
    const QDeadlineTimer deadline(qMax(0, ms), Qt::PreciseTimer);
    while (isOpen() && !deadline.hasExpired()) {
        if (!waitForReadyRead(int(deadline.remainingTime())) && failedForGood(*this))
            loseDevice();
    }
}

bool SerialHandler::handshake(QSerialPort &port, int timeoutMs)
{
    if (!writeQuestion(port, CMD_SEND_ACK) || collectAnswer(port, timeoutMs) != ANS_RECV_ACK)
        return false;
    if (!writeQuestion(port, CMD_SEND_MDL))
        return false;
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
            if (failedForGood(port))
                port.close();
            else if (port.error() != QSerialPort::TimeoutError)
                continue;
            break;
        }
        answer.append(port.readAll());
    }
    return answer.text();
}

bool SerialHandler::writeQuestion(QSerialPort &port, const QString &command)
{
    if (!port.isOpen())
        return false;
    port.clear(QSerialPort::Input);
    if (port.write(command.toUtf8()) < 0)
        return false;
    port.flush();
    return true;
}

void SerialHandler::dropStaleInput()
{
    // Between answers nobody reads the port: a device that keeps talking through a night's
    // print must not fill the memory. An answer being collected is read long before this.
    const qint64 excess = bytesAvailable() - UNREAD_BYTE_LIMIT;
    if (excess > 0)
        skip(excess);
}

bool SerialHandler::failedForGood(const QSerialPort &port)
{
    if (port.error() == QSerialPort::WriteError)
        return true;
    if (port.error() != QSerialPort::ReadError && port.error() != QSerialPort::ResourceError)
        return false;
#ifdef Q_OS_UNIX
    // A read that found nothing (the bytes were taken by a blocking wait before the port's own
    // notification came) or a full output queue reports the same errors as a device that went
    // away; only the terminal's hang-up tells them apart.
    pollfd terminal{int(port.handle()), POLLIN | POLLOUT, 0};
    return ::poll(&terminal, 1, 0) < 0 || (terminal.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
#else
    return true;
#endif
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
    if (!isOpen())
        return;
    if (failedForGood(*this)) {
        loseDevice();
        return;
    }
    // A false alarm: the error stopped the port's reading, which goes on (and so watches for a
    // hang-up) once the bytes waiting unread are taken; nobody asked for them.
    clearError();
    readAll();
}

void SerialHandler::loseDevice()
{
    if (isOpen())
        close();
    emit sgnDeviceLost();
}
