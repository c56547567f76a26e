#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "printer/serialhandler.h"

class QTimer;

// The printer's operations over its serial link: connection with the handshake, plate moves
// (manual ones release the motor 3200 ms after the last move), the lift out of and descent
// into the resin, the layer change of a print and the six progress LEDs.
class Printer : public SerialHandler
{
    Q_OBJECT
public:
    static constexpr int RELEASE_DELAY_MS = 3200;
    static constexpr int LAYER_MOVE_PAUSE_MS = 1000;
    static constexpr int RELEASE_PAUSE_MS = 1000;
    static constexpr int CLOSING_NOTICE_PAUSE_MS = 18;
    static constexpr int LED_STAGES = 6;
    static constexpr int LIFT_STEP_UM = 300;

    explicit Printer(const QString &portName, QObject *parent = nullptr);

    bool isMoving() const { return moving; }
    QString getPortName() const { return printerPortName; }

    // Opens the port and checks that a printer of the expected model answers; closes the port
    // again when it does not. The overload appends the reason for a failure to `error`.
    bool openConnection();
    bool openConnection(QString &error);
    bool testConnection();
    bool closeConnection();

    // direction > 0 up, < 0 down, 0 no move; distances without a command move nothing.
    void move(int direction, int distanceUm, bool release, bool doubleMovement);
    bool goUp(int distanceUm, bool release);
    bool goDown(int distanceUm, bool doubleMovement, bool release);
    bool subMergeIntoResin();
    bool emergeFromResin();
    void printingMovement(int stepUm, bool doubleMovement);
    bool abortPrint();
    void turnOffLeds();
    void printFinished();

    // The command a move sends, empty when the move sends nothing.
    static QString motionCommand(int direction, int distanceUm, bool doubleMovement);

    // Printers on the system's serial ports, closed; named by device path on macOS, else by
    // the short port name.
    static QList<Printer *> scanForPrinters(QObject *parent);
    // Printers among the given port names or device paths, named as given.
    static QList<Printer *> scanForPrinters(const QStringList &portLocations, QObject *parent);

public slots:
    void releaseMtr();
    void changeProgBarLed(int stage);

private:
    const QString printerPortName;
    QTimer *releaseTimer;
    bool moving = false;
};
