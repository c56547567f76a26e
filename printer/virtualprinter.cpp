#include "printer/virtualprinter.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QHash>
#include <QMutexLocker>
#include <QSocketNotifier>
#include <QTimer>

#include "printer/serialcommands.h"

namespace {

// What a chatty serial device (a GPS receiver) sends, repeated for the streaming behaviour.
const QByteArray CHATTER = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
constexpr int ANSWER_PIECE_BYTES = 3;

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

VirtualPrinter::VirtualPrinter(const VirtualPrinterBehaviour &behaviour, QObject *parent)
    : QObject(parent)
    , behaviour(behaviour)
{
    qRegisterMetaType<ReceivedCommand>();
}

VirtualPrinter::~VirtualPrinter()
{
    closeTerminal();
}

bool VirtualPrinter::open(QString &error)
{
    // Close-on-exec: a program started meanwhile must not hold the terminal open after a hang-up.
    masterFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (masterFd < 0) {
        error += systemError("posix_openpt");
        return false;
    }
    char name[128];
    if (::grantpt(masterFd) != 0 || ::unlockpt(masterFd) != 0
        || ::ptsname_r(masterFd, name, sizeof name) != 0) {
        error += systemError("pseudo-terminal set-up");
        closeTerminal();
        return false;
    }
    slavePath = QString::fromLocal8Bit(name);
    slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios settings{};
    if (slaveFd < 0 || ::tcgetattr(slaveFd, &settings) != 0) {
        error += systemError("open terminal");
        closeTerminal();
        return false;
    }
    // Raw and without echo, also between the host's connections (the host restores the
    // settings it found when it closes the port).
    ::cfmakeraw(&settings);
    ::tcsetattr(slaveFd, TCSANOW, &settings);

    readNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(readNotifier, &QSocketNotifier::activated, this, &VirtualPrinter::readCommands);
    if (behaviour.streamFromCommand <= 0)
        startChatter();
    return true;
}

qint64 VirtualPrinter::monotonicNowMs()
{
    return QDeadlineTimer::current(Qt::PreciseTimer).deadline();
}

QString VirtualPrinter::devicePath() const
{
    return slavePath;
}

QList<ReceivedCommand> VirtualPrinter::received() const
{
    QMutexLocker lock(&receivedMutex);
    return receivedCommands;
}

void VirtualPrinter::clearReceived()
{
    QMutexLocker lock(&receivedMutex);
    receivedCommands.clear();
}

QString VirtualPrinter::commandName(const QByteArray &code)
{
    static const QHash<QString, QString> names = {{CMD_SEND_ACK, QStringLiteral("CMD_SEND_ACK")},
                                                  {CMD_SEND_MDL, QStringLiteral("CMD_SEND_MDL")},
                                                  {CMD_LEDS_FDO, QStringLiteral("CMD_LEDS_FDO")},
                                                  {CMD_MTR_100U, QStringLiteral("CMD_MTR_100U")},
                                                  {CMD_MTR_100S, QStringLiteral("CMD_MTR_100S")},
                                                  {CMD_MTR_100D, QStringLiteral("CMD_MTR_100D")},
                                                  {CMD_MTR_075U, QStringLiteral("CMD_MTR_075U")},
                                                  {CMD_MTR_075S, QStringLiteral("CMD_MTR_075S")},
                                                  {CMD_MTR_075D, QStringLiteral("CMD_MTR_075D")},
                                                  {CMD_MTR_050U, QStringLiteral("CMD_MTR_050U")},
                                                  {CMD_MTR_050S, QStringLiteral("CMD_MTR_050S")},
                                                  {CMD_MTR_050D, QStringLiteral("CMD_MTR_050D")},
                                                  {CMD_MTR_025U, QStringLiteral("CMD_MTR_025U")},
                                                  {CMD_MTR_025S, QStringLiteral("CMD_MTR_025S")},
                                                  {CMD_MTR_025D, QStringLiteral("CMD_MTR_025D")},
                                                  {CMD_MTR_300U, QStringLiteral("CMD_MTR_300U")},
                                                  {CMD_MTR_300D, QStringLiteral("CMD_MTR_300D")},
                                                  {CMD_MTR_RLSE, QStringLiteral("CMD_MTR_RLSE")},
                                                  {CMD_LEDS_001, QStringLiteral("CMD_LEDS_001")},
                                                  {CMD_LEDS_002, QStringLiteral("CMD_LEDS_002")},
                                                  {CMD_LEDS_003, QStringLiteral("CMD_LEDS_003")},
                                                  {CMD_LEDS_004, QStringLiteral("CMD_LEDS_004")},
                                                  {CMD_LEDS_005, QStringLiteral("CMD_LEDS_005")},
                                                  {CMD_LEDS_006, QStringLiteral("CMD_LEDS_006")},
                                                  {CMD_LEDS_OFF, QStringLiteral("CMD_LEDS_OFF")},
                                                  {CMD_LEDS_ON, QStringLiteral("CMD_LEDS_ON")},
                                                  {CMD_LEDS_END, QStringLiteral("CMD_LEDS_END")}};
    return names.value(QString::fromLatin1(code), QStringLiteral("unknown"));
}

void VirtualPrinter::hangUp()
{
    const bool wasOpen = masterFd >= 0;
    closeTerminal();
    if (!wasOpen)
        return;
    noteFault();
    emit hungUp();
}

void VirtualPrinter::closeTerminal()
{
    delete readNotifier;
    readNotifier = nullptr;
    delete chatterTimer;
    chatterTimer = nullptr;
    if (masterFd >= 0)
        ::close(masterFd);
    if (slaveFd >= 0)
        ::close(slaveFd);
    masterFd = slaveFd = -1;
}

void VirtualPrinter::readCommands()
{
    char buffer[256];
    const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
    if (count <= 0)
        return;
    pending.append(buffer, int(count));
    while (pending.size() >= 2 && masterFd >= 0) {
        const QByteArray code = pending.left(2);
        pending.remove(0, 2);
        handleCommand(code);
    }
}

void VirtualPrinter::handleCommand(const QByteArray &code)
{
    ReceivedCommand command;
    command.code = code;
    command.at = QDateTime::currentDateTime();
    command.monotonicMs = monotonicNowMs();
    {
        QMutexLocker lock(&receivedMutex);
        receivedCommands.append(command);
    }
    emit commandReceived(command);

    ++commandCount;
    if (behaviour.hangUpAfterCommands > 0 && commandCount >= behaviour.hangUpAfterCommands) {
        hangUp();
        return;
    }
    if (commandCount == behaviour.streamFromCommand)
        startChatter();
    if (commandCount == behaviour.silentFromCommand)
        noteFault();
    if (behaviour.silent
        || (behaviour.silentFromCommand > 0 && commandCount >= behaviour.silentFromCommand))
        return;
    if (code == CMD_SEND_ACK.toLatin1())
        scheduleAnswer(behaviour.ackAnswer);
    else if (code == CMD_SEND_MDL.toLatin1())
        scheduleAnswer(behaviour.modelAnswer);
}

void VirtualPrinter::scheduleAnswer(const QByteArray &text)
{
    const QByteArray answer = text + behaviour.lineEnd + behaviour.trailer;
    if (behaviour.pieceGapMs < 0) {
        if (behaviour.answerDelayMs <= 0)
            sendBytes(answer);
        else
            QTimer::singleShot(behaviour.answerDelayMs, this,
                               [this, answer] { sendBytes(answer); });
        return;
    }
    for (int offset = 0, piece = 0; offset < answer.size(); offset += ANSWER_PIECE_BYTES, ++piece) {
        const QByteArray bytes = answer.mid(offset, ANSWER_PIECE_BYTES);
        QTimer::singleShot(behaviour.answerDelayMs + piece * behaviour.pieceGapMs, this,
                           [this, bytes] { sendBytes(bytes); });
    }
}

void VirtualPrinter::sendBytes(const QByteArray &bytes)
{
    // The master end is non-blocking: what does not fit in the terminal's buffer is lost, as
    // on a line nobody reads.
    if (masterFd >= 0)
        (void)::write(masterFd, bytes.constData(), size_t(bytes.size()));
}

void VirtualPrinter::startChatter()
{
    if (behaviour.streamGapMs < 0 || chatterTimer || masterFd < 0)
        return;
    noteFault();
    chatterTimer = new QTimer(this);
    connect(chatterTimer, &QTimer::timeout, this, &VirtualPrinter::sendChatter);
    chatterTimer->start(behaviour.streamGapMs);
}

void VirtualPrinter::noteFault()
{
    if (faultStartedMs == 0)
        faultStartedMs = monotonicNowMs();
}

void VirtualPrinter::sendChatter()
{
    QByteArray bytes;
    while (bytes.size() < behaviour.streamBytes) {
        const int take = qMin(CHATTER.size() - chatterOffset, behaviour.streamBytes - bytes.size());
        bytes += CHATTER.mid(chatterOffset, take);
        chatterOffset = (chatterOffset + take) % CHATTER.size();
    }
    sendBytes(bytes);
}

VirtualPrinterThread::VirtualPrinterThread(const VirtualPrinterBehaviour &behaviour)
    : printer(new VirtualPrinter(behaviour))
{
    printer->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, printer, &QObject::deleteLater);
    thread.start();
}

VirtualPrinterThread::~VirtualPrinterThread()
{
    thread.quit();
    thread.wait();
}

bool VirtualPrinterThread::start(QString &error)
{
    bool opened = false;
    QMetaObject::invokeMethod(
            printer, [this, &opened, &error] { opened = printer->open(error); },
            Qt::BlockingQueuedConnection);
    return opened;
}

QList<QByteArray> VirtualPrinterThread::codes() const
{
    QList<QByteArray> codes;
    const QList<ReceivedCommand> commands = printer->received();
    for (const ReceivedCommand &command : commands)
        codes.append(command.code);
    return codes;
}

void VirtualPrinterThread::hangUp()
{
    QMetaObject::invokeMethod(printer, &VirtualPrinter::hangUp, Qt::BlockingQueuedConnection);
}
