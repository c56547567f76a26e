#pragma once

#include <QObject>
#include <QTimer>

class QDBusPendingCallWatcher;
struct _XDisplay;

// Keeps the display awake while a print runs, so that the screen saver or display power-off
// never blanks the projector. While active the desktop's screen saver is inhibited over D-Bus
// and a heartbeat resets the X screen saver every 3 seconds. Where there is no session bus, no
// screen saver service or no X display, that part does nothing and nobody is told.
class KeepAlive : public QObject
{
    Q_OBJECT

public:
    static constexpr int WAKE_INTERVAL_MS = 3000;

    explicit KeepAlive(QObject *parent = nullptr);
    explicit KeepAlive(bool status, QObject *parent = nullptr);
    // Gives back an inhibition held or still being granted.
    ~KeepAlive() override;

    bool getStatus() const { return status; }
    void setStatus(bool status);
    // Active: inhibits the screen saver and starts the heartbeat (again from now when running).
    void start();
    // Idle: the heartbeat stops and the screen saver is allowed again.
    void stop();

    // Switches the screen saver and display power-off off (true) or back on (false): the
    // desktop's inhibition and the X display connection the heartbeat uses.
    void winDisableScreenSaverPowerOff(bool disable);

public slots:
    // The heartbeat: resets the X screen saver's idle time.
    void wake();

private:
    void requestInhibition();
    void inhibitionReplied(QDBusPendingCallWatcher *watcher);
    void releaseInhibition();

    bool status = false;
    QTimer timer;
    // The inhibition as last asked for, and as the screen saver service granted it.
    bool inhibitionWanted = false;
    QDBusPendingCallWatcher *pendingInhibition = nullptr;
    bool inhibited = false;
    uint cookie = 0;
    _XDisplay *display = nullptr;
};
