#pragma once

#include <QObject>
#include <QString>

class QTimer;
class SerialHandler;

// The printer's operations over its serial link: connection with the handshake, plate moves
// (manual ones release the motor 3200 ms after the last move), the lift out of and descent
// into the resin, the layer change of a print and the six progress LEDs.
//
// Every byte goes out on the thread the printer lives on (a serial port is not shared between
// threads), and the printer waits in one way only: its pauses and answer waits block that
// thread. A pause ends early when the printer goes away meanwhile. Another thread asks for a move by posting it to the printer, for example
// QMetaObject::invokeMethod(printer, &Printer::emergeFromResin, Qt::QueuedConnection); it runs
// on the printer's thread, in order with everything else the printer sends.
class Printer : public QObject
{
    Q_OBJECT
public:
    static constexpr int RELEASE_DELAY_MS = 3200;
    static constexpr int LAYER_MOVE_PAUSE_MS = 1000;
    static constexpr int RELEASE_PAUSE_MS = 1000;
    static constexpr int CLOSING_NOTICE_PAUSE_MS = 18;
    static constexpr int LED_STAGES = 6;
    // The plate's steps in microns: the Up and Down buttons and the lift out of the resin, and
    // the fine moves of Ctrl+Up and Ctrl+Down.
    static constexpr int LIFT_STEP_UM = 300;
    static constexpr int FINE_STEP_UM = 50;

    explicit Printer(const QString &portName, QObject *parent = nullptr);
    // Whether a layer of this thickness has a down command (25, 50, 75 and 100 µm do).
    static bool hasLayerStep(int microns);
    ~Printer() override;

    bool isReady() const;
    bool isOpen() const;
    bool isMoving() const { return moving; }
    QString getPortName() const { return printerPortName; }

    // Opens the port and checks that a printer of the expected model answers; closes the port
    // again when it does not. The overload appends the reason for a failure to `error`.
    bool openConnection();
    bool openConnection(QString &error);
    bool testConnection();
    // Sends a release still waiting for its time, then the closing notice, and closes the port.
    bool closeConnection();

    // direction > 0 up, < 0 down, 0 no move; distances without a command move nothing.
    void move(int direction, int distanceUm, bool release, bool doubleMovement);
    bool goUp(int distanceUm, bool release);
    bool goDown(int distanceUm, bool doubleMovement, bool release);
    bool subMergeIntoResin();
    bool emergeFromResin();
    // The layer change: LEDs off, a second's pause, one step down.
    void printingMovement(int stepUm, bool doubleMovement);
    // Releases the motor, waits a second and turns the LEDs off; false, at once, when the port
    // is not ready or has been closed.
    bool abortPrint();
    void turnOffLeds();

signals:
    // The printer went away while connected (hung up, unplugged); its port is closed.
    void sgnConnectionLost();

public slots:
    void releaseMtr();
    void changeProgBarLed(int stage);

private:
    void send(const QString &command);
    void pause(int ms);

    const QString printerPortName;
    SerialHandler *port;
    QTimer *releaseTimer;
    bool moving = false;
};
