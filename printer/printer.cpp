#include "printer/printer.h"

#include <QThread>
#include <QTimer>

#include "printer/serialcommands.h"
#include "printer/serialhandler.h"

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

// The command a move sends, empty when the move sends nothing.
QString motionCommand(int direction, int distanceUm, bool doubleMovement)
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
    case Printer::LIFT_STEP_UM:
        return up ? CMD_MTR_300U : CMD_MTR_300D;
    default:
        return QString();
    }
}

} // namespace

Printer::Printer(const QString &portName, QObject *parent)
    : QObject(parent)
    , printerPortName(portName)
    , port(new SerialHandler(this))
    , releaseTimer(new QTimer(this))
{
    // A coarse timer may fire up to 5 % late; the release is expected 3200 ms after the move.
    releaseTimer->setTimerType(Qt::PreciseTimer);
    releaseTimer->setSingleShot(true);
    releaseTimer->setInterval(RELEASE_DELAY_MS);
    connect(releaseTimer, &QTimer::timeout, this, &Printer::releaseMtr);
    connect(port, &SerialHandler::sgnDeviceLost, this, &Printer::sgnConnectionLost);
}

Printer::~Printer() = default;

bool Printer::hasLayerStep(int microns)
{
    return microns != LIFT_STEP_UM && !motionCommand(-1, microns, false).isEmpty();
}

bool Printer::isReady() const
{
    return port->isReady();
}

bool Printer::isOpen() const
{
    return port->isOpen();
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
    port->connectSerialHandler(printerPortName);
    if (!port->isOpen()) {
        error += QStringLiteral("cannot open %1: %2").arg(printerPortName, port->errorString());
        return false;
    }
    const QString ack = port->sendData(CMD_SEND_ACK, true);
    if (ack == ANS_RECV_ACK) {
        const QString model = port->sendData(CMD_SEND_MDL, true);
        if (model == ANS_RECV_MDL)
            return true;
        error += describeRefusal(printerPortName, model, CMD_SEND_MDL, ANS_RECV_MDL);
    } else {
        error += describeRefusal(printerPortName, ack, CMD_SEND_ACK, ANS_RECV_ACK);
    }
    if (port->isOpen())
        port->close();
    return false;
}

bool Printer::testConnection()
{
    // Whatever waits unread is discarded by the question itself.
    if (!isReady())
        return false;
    return port->sendData(CMD_SEND_MDL, true) == ANS_RECV_MDL;
}

bool Printer::closeConnection()
{
    if (releaseTimer->isActive()) {
        releaseTimer->stop();
        releaseMtr();
    }
    if (!port->isOpen())
        return true;
    send(CMD_LEDS_FDO);
    pause(CLOSING_NOTICE_PAUSE_MS);
    port->close();
    return true;
}

void Printer::move(int direction, int distanceUm, bool release, bool doubleMovement)
{
    moving = true;
    const QString command = motionCommand(direction, distanceUm, doubleMovement);
    if (!command.isEmpty())
        send(command);
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
    pause(LAYER_MOVE_PAUSE_MS);
    if (isReady())
        move(-1, stepUm, false, doubleMovement);
}

bool Printer::abortPrint()
{
    // A printer that went away has no motor to release.
    if (!isReady() || !isOpen())
        return false;
    send(CMD_MTR_RLSE);
    pause(RELEASE_PAUSE_MS);
    send(CMD_LEDS_OFF);
    return true;
}

void Printer::turnOffLeds()
{
    if (isReady())
        send(CMD_LEDS_OFF);
}

void Printer::releaseMtr()
{
    send(CMD_MTR_RLSE);
    moving = false;
}

void Printer::changeProgBarLed(int stage)
{
    if (!isReady() || stage < 0 || stage >= LED_STAGES)
        return;
    const QString stageCommands[LED_STAGES] = {CMD_LEDS_001, CMD_LEDS_002, CMD_LEDS_003,
                                               CMD_LEDS_004, CMD_LEDS_005, CMD_LEDS_006};
    send(stageCommands[stage]);
}

void Printer::send(const QString &command)
{
    Q_ASSERT(QThread::currentThread() == thread());
    port->sendData(command, false);
}

void Printer::pause(int ms)
{
    port->pauseWatching(ms);
}
