#pragma once

#include <atomic>

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>

class QSocketNotifier;
class QTimer;

// How a virtual printer answers. The defaults behave as the controller board does: "OK" to
// "10", "Tarvisomel" to "12", each followed by a line end, and silence to everything else.
struct VirtualPrinterBehaviour
{
    QByteArray ackAnswer = "OK";
    QByteArray modelAnswer = "Tarvisomel";
    QByteArray lineEnd = "\r\n";
    QByteArray trailer; // sent after the line end, e.g. a NUL and junk
    int answerDelayMs = 0;
    int pieceGapMs = -1; // >= 0: answers leave in pieces of three bytes, this far apart
    bool silent = false;
    int silentFromCommand = 0; // > 0: no answer from the n-th command received on
    int streamGapMs = -1; // >= 0: chatter of streamBytes bytes this often, without end
    int streamBytes = 32;
    int streamFromCommand = 0; // > 0: the chatter starts on receiving the n-th command
    int hangUpAfterCommands = 0; // > 0: hangs up on receiving that many commands
};

struct ReceivedCommand
{
    QByteArray code;
    QDateTime at;
    qint64 monotonicMs = 0; // VirtualPrinter::monotonicNowMs() at reception
};

Q_DECLARE_METATYPE(ReceivedCommand)

// The printer's controller board on the far end of a pseudo-terminal: the host opens
// devicePath() as a serial port. Lives in one thread; received() may be read from any thread.
class VirtualPrinter : public QObject
{
    Q_OBJECT
public:
    explicit VirtualPrinter(const VirtualPrinterBehaviour &behaviour, QObject *parent = nullptr);
    ~VirtualPrinter() override;

    // Creates the pseudo-terminal; call from the thread the printer lives in.
    bool open(QString &error);
    QString devicePath() const;
    QList<ReceivedCommand> received() const;
    void clearReceived();

    // When the first misbehaviour began (hang-up, silence, chatter), on monotonicNowMs()'s
    // clock; 0 while the printer has behaved.
    qint64 faultAtMs() const { return faultStartedMs; }

    // Milliseconds on the monotonic clock, comparable across threads.
    static qint64 monotonicNowMs();
    // Name of a command in the printer's table ("CMD_MTR_300U"), or "unknown".
    static QString commandName(const QByteArray &code);

public slots:
    // Closes both ends, as when the cable is pulled: the device path disappears.
    void hangUp();

signals:
    void commandReceived(const ReceivedCommand &command);
    void hungUp();

private:
    void closeTerminal();
    void readCommands();
    void handleCommand(const QByteArray &code);
    void scheduleAnswer(const QByteArray &text);
    void sendBytes(const QByteArray &bytes);
    void startChatter();
    void sendChatter();
    void noteFault();

    const VirtualPrinterBehaviour behaviour;
    int masterFd = -1;
    int slaveFd = -1; // held open so the terminal outlives the host's connections
    QString slavePath;
    QSocketNotifier *readNotifier = nullptr;
    QTimer *chatterTimer = nullptr;
    QByteArray pending;
    int commandCount = 0;
    int chatterOffset = 0;
    std::atomic<qint64> faultStartedMs{0};
    mutable QMutex receivedMutex;
    QList<ReceivedCommand> receivedCommands;
};

// A virtual printer running on a thread of its own, so that code blocking on the serial line
// in the calling thread still gets its answers (tests and benchmarks).
class VirtualPrinterThread
{
public:
    explicit VirtualPrinterThread(const VirtualPrinterBehaviour &behaviour = {});
    ~VirtualPrinterThread();
    VirtualPrinterThread(const VirtualPrinterThread &) = delete;
    VirtualPrinterThread &operator=(const VirtualPrinterThread &) = delete;

    bool start(QString &error);
    QString devicePath() const { return printer->devicePath(); }
    QList<ReceivedCommand> received() const { return printer->received(); }
    // The codes received so far, in order.
    QList<QByteArray> codes() const;
    void clearReceived() { printer->clearReceived(); }
    void hangUp();
    qint64 faultAtMs() const { return printer->faultAtMs(); }

private:
    QThread thread;
    VirtualPrinter *printer;
};
