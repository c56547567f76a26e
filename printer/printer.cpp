#include "printer/printer.h"

#include <QSysInfo>
#include <QThread>
#include <QTimer>

#include "printer/serialcommands.h"

namespace {

// Why the device on a port is not the printer, from its answer to a handshake command.
QString describeRefusal(const QString &portName, const QString &answer, const QString &command,
                        const QString &expected)
{
    if (answer.isEmpty())
        return QStringLiteral("no answer from %1 to \"%2\"").arg(portName, command);
    return QStringLiteral("%1 answered \"%2\" to \"%3\", not \"%4\"")
            .arg(portName, answer, command, expected);
}

} // namespace

Printer::Printer(const QString &portName, QObject *parent)
    : SerialHandler(parent)
    , printerPortName(portName)
    , releaseTimer(new QTimer(this))
{
    // A coarse timer may fire up to 5 % late; the release is expected 3200 ms after the move.
    releaseTimer->setTimerType(Qt::PreciseTimer);
    releaseTimer->setSingleShot(true);
    releaseTimer->setInterval(RELEASE_DELAY_MS);
    connect(releaseTimer, &QTimer::timeout, this, &Printer::releaseMtr);
}

bool Printer::openConnection()
{
    QString ignored;
    return openConnection(ignored);
}

bool Printer::openConnection(QString &error)
{
    if (printerPortName.isEmpty()) {
        error += QStringLiteral("no port name");
        return false;
    }
    connectSerialHandler(printerPortName);
    if (!isOpen()) {
        error += QStringLiteral("cannot open %1: %2").arg(printerPortName, errorString());
        return false;
    }
    const QString ack = sendData(CMD_SEND_ACK, true);
    if (ack == ANS_RECV_ACK) {
        const QString model = sendData(CMD_SEND_MDL, true);
        if (model == ANS_RECV_MDL)
            return true;
        error += describeRefusal(printerPortName, model, CMD_SEND_MDL, ANS_RECV_MDL);
    } else {
        error += describeRefusal(printerPortName, ack, CMD_SEND_ACK, ANS_RECV_ACK);
    }
    if (isOpen())
        close();
    return false;
}

bool Printer::testConnection()
{
    if (isOpen())
        readAll();
    if (!isReady())
        return false;
    return sendData(CMD_SEND_MDL, true) == ANS_RECV_MDL;
}

bool Printer::closeConnection()
{
    if (!isOpen())
        return true;
    sendData(CMD_LEDS_FDO, false);
    QThread::msleep(CLOSING_NOTICE_PAUSE_MS);
    close();
    return true;
}

QString Printer::motionCommand(int direction, int distanceUm, bool doubleMovement)
{
    if (direction == 0)
        return QString();
    const bool up = direction > 0;
    switch (distanceUm) {
    case 25:
        return up ? CMD_MTR_025U : doubleMovement ? CMD_MTR_025D : CMD_MTR_025S;
    case 50:
        return up ? CMD_MTR_050U : doubleMovement ? CMD_MTR_050D : CMD_MTR_050S;
    case 75:
        return up ? CMD_MTR_075U : doubleMovement ? CMD_MTR_075D : CMD_MTR_075S;
    case 100:
        return up ? CMD_MTR_100U : doubleMovement ? CMD_MTR_100D : CMD_MTR_100S;
    case 300:
        return up ? CMD_MTR_300U : CMD_MTR_300D;
    default:
        return QString();
    }
}

void Printer::move(int direction, int distanceUm, bool release, bool doubleMovement)
{
    moving = true;
    const QString command = motionCommand(direction, distanceUm, doubleMovement);
    if (!command.isEmpty())
        sendData(command, false);
    if (release)
        releaseTimer->start(RELEASE_DELAY_MS);
    else
        moving = false;
}

bool Printer::goUp(int distanceUm, bool release)
{
    if (!isReady())
        return false;
    move(+1, distanceUm, release, false);
    return true;
}

bool Printer::goDown(int distanceUm, bool doubleMovement, bool release)
{
    if (!isReady())
        return false;
    move(-1, distanceUm, release, doubleMovement);
    return true;
}

bool Printer::subMergeIntoResin()
{
    if (!isReady())
        return false;
    move(-1, LIFT_STEP_UM, false, true);
    return true;
}

bool Printer::emergeFromResin()
{
    if (!isReady())
        return false;
    move(+1, LIFT_STEP_UM, false, false);
    return true;
}

void Printer::printingMovement(int stepUm, bool doubleMovement)
{
    turnOffLeds();
    QThread::msleep(LAYER_MOVE_PAUSE_MS);
    if (isReady())
        move(-1, stepUm, false, doubleMovement);
}

bool Printer::abortPrint()
{
    if (!isReady())
        return false;
    sendData(CMD_MTR_RLSE, false);
    QThread::msleep(RELEASE_PAUSE_MS);
    sendData(CMD_LEDS_OFF, false);
    return true;
}

void Printer::turnOffLeds()
{
    if (isReady())
        sendData(CMD_LEDS_OFF, false);
}

void Printer::printFinished()
{
    if (!isReady())
        return;
    sendData(CMD_MTR_RLSE, false);
    QThread::msleep(RELEASE_PAUSE_MS);
    sendData(CMD_LEDS_END, false);
}

void Printer::releaseMtr()
{
    sendData(CMD_MTR_RLSE, false);
    moving = false;
}

void Printer::changeProgBarLed(int stage)
{
    if (!isReady() || stage < 0 || stage >= LED_STAGES)
        return;
    const QString stageCommands[LED_STAGES] = {CMD_LEDS_001, CMD_LEDS_002, CMD_LEDS_003,
                                               CMD_LEDS_004, CMD_LEDS_005, CMD_LEDS_006};
    sendData(stageCommands[stage], false);
}

QList<Printer *> Printer::scanForPrinters(QObject *parent)
{
    const bool darwin = QSysInfo::kernelType() == QLatin1String("darwin");
    QList<Printer *> printers;
    const QList<QSerialPortInfo> ports = SerialHandler::scanForPrinters();
    for (const QSerialPortInfo &info : ports) {
        const QString name = darwin ? info.systemLocation() : info.portName();
        if (!name.isEmpty())
            printers.append(new Printer(name, parent));
    }
    return printers;
}

QList<Printer *> Printer::scanForPrinters(const QStringList &portLocations, QObject *parent)
{
    QList<Printer *> printers;
    const QStringList found = SerialHandler::scanPortLocations(portLocations);
    for (const QString &location : found) {
        if (!location.isEmpty())
            printers.append(new Printer(location, parent));
    }
    return printers;
}
