#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringList>

#include "printer/answercollector.h"

// A serial port that speaks the printer's protocol: fixed line settings (9600 8N1, no flow
// control, DTR asserted), bare two-character commands, and answers that end when the line has
// been silent for a while. Also identifies printers among the computer's serial ports.
// Waiting for an answer blocks the calling thread on the port itself; no events are processed
// meanwhile, so nothing else can send in the middle of an exchange.
class SerialHandler : public QSerialPort
{
    Q_OBJECT
public:
    // Silence that ends an answer to sendData() and to each step of the scan's handshake.
    static constexpr int ANSWER_SILENCE_MS = 350;
    static constexpr int SCAN_SILENCE_MS = 250;
    // A device that keeps talking cannot hold an answer open for longer than the silence
    // window plus this, nor make it longer than this many bytes: the printer's answers are at
    // most ten characters.
    static constexpr int ANSWER_EXTRA_TIME_MS = 2000;
    static constexpr int ANSWER_BYTE_BUDGET = AnswerCollector::BYTE_BUDGET;
    // Bytes nobody waits for (late answers, chatter) are kept up to this many, the newest.
    static constexpr int UNREAD_BYTE_LIMIT = 4096;

    explicit SerialHandler(QObject *parent = nullptr);

    // Opens the named port (closing it first if it is open) and applies the line settings;
    // isReady() tells whether the open and every setting succeeded.
    void connectSerialHandler(const QString &portName);
    bool isReady() const { return ready; }

    // Sends one command; with waitAnswer, returns the answer as simplified text (empty when the
    // line stayed silent), after discarding whatever arrived before the command. Sends nothing
    // and returns an empty text when the port is closed. A command that cannot be written means
    // the device went away: the port is closed.
    QString sendData(const QString &data, bool waitAnswer);

    // Blocks the calling thread for `ms`, as a pause between commands does, but ends at once
    // when the device goes away meanwhile (the port is closed then, as by sendData). Bytes
    // arriving meanwhile are left unread. Returns at once when the port is closed.
    void pauseWatching(int ms);

    // "10" must be answered "OK", then "12" the model name, each within timeoutMs of silence.
    // The port must be open and configured.
    static bool handshake(QSerialPort &port, int timeoutMs);

    // The serial ports the system lists, in its order, named as a port is opened: by device path
    // on macOS, else by the short port name.
    static QStringList systemPortNames();
    // Probes the given port names or device paths and returns those where a printer answered,
    // in the given order. Every probed port is left closed.
    static QStringList scanPortLocations(const QStringList &portLocations);

    // Applies 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control and DTR, in this
    // order, on an open port; true when every setting was accepted.
    static bool applyLineSettings(QSerialPort &port);

signals:
    // The device went away (hung up, unplugged): the port has been closed.
    void sgnDeviceLost();

private:
    static bool probe(QSerialPort &port);
    static bool assertDataTerminalReady(QSerialPort &port);
    static QString collectAnswer(QSerialPort &port, int silenceMs);
    // Whether the port's last error means the device went away, rather than a passing one.
    static bool failedForGood(const QSerialPort &port);
    // Writes a command whose answer is awaited, with nothing stale left to be taken for it.
    static bool writeQuestion(QSerialPort &port, const QString &command);

    void dropStaleInput();

    void onErrorOccurred(QSerialPort::SerialPortError error);
    void closeAfterReadError();
    void loseDevice();

    bool ready = false;
    bool closeAfterReadErrorQueued = false;
};
