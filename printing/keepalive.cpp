#include "printing/keepalive.h"

#ifdef Q_OS_LINUX
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "base/constants.h"

// Last: Xlib defines macros (Bool, Status, None) that clash with Qt's headers.
#include <X11/Xlib.h>

namespace {

QDBusMessage screenSaverCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call =
            QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                           QStringLiteral("/org/freedesktop/ScreenSaver"),
                                           QStringLiteral("org.freedesktop.ScreenSaver"), method);
    call.setArguments(arguments);
    return call;
}

void sendUnInhibit(uint cookie)
{
    QDBusConnection::sessionBus().send(screenSaverCall(QStringLiteral("UnInhibit"), {cookie}));
}

} // namespace
#endif

KeepAlive::KeepAlive(QObject *parent)
    : KeepAlive(false, parent)
{ }

KeepAlive::KeepAlive(bool status, QObject *parent)
    : QObject(parent)
    , status(status)
    , timer(this)
{
    timer.setSingleShot(false);
    timer.setTimerType(Qt::VeryCoarseTimer);
    connect(&timer, &QTimer::timeout, this, &KeepAlive::wake);
}

KeepAlive::~KeepAlive()
{
    winDisableScreenSaverPowerOff(false);
#ifdef Q_OS_LINUX
    // The answer to a request still on its way gives the inhibition back by itself.
    if (pendingInhibition) {
        pendingInhibition->setParent(nullptr);
        disconnect(pendingInhibition, nullptr, this, nullptr);
        connect(pendingInhibition, &QDBusPendingCallWatcher::finished, pendingInhibition,
                [](QDBusPendingCallWatcher *watcher) {
                    watcher->deleteLater();
                    const QDBusPendingReply<uint> reply = *watcher;
                    if (!reply.isError())
                        sendUnInhibit(reply.value());
                });
    }
#endif
}

void KeepAlive::setStatus(bool newStatus)
{
    status = newStatus;
}

void KeepAlive::start()
{
    status = true;
    timer.start(WAKE_INTERVAL_MS);
    winDisableScreenSaverPowerOff(true);
}

void KeepAlive::stop()
{
    status = false;
    timer.stop();
    winDisableScreenSaverPowerOff(false);
}

#ifdef Q_OS_LINUX

void KeepAlive::wake()
{
    if (display) {
        XResetScreenSaver(display);
        XFlush(display);
    }
}

void KeepAlive::winDisableScreenSaverPowerOff(bool disable)
{
    inhibitionWanted = disable;
    if (disable) {
        if (!display)
            display = XOpenDisplay(nullptr);
        requestInhibition();
    } else {
        if (display) {
            XCloseDisplay(display);
            display = nullptr;
        }
        releaseInhibition();
    }
}

void KeepAlive::requestInhibition()
{
    if (inhibited || pendingInhibition)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // Asynchronous: a screen saver service that hangs must not hold up the start of a print.
    const QDBusMessage call =
            screenSaverCall(QStringLiteral("Inhibit"), {MSGBOX_HEADER, tr("A print is running")});
    pendingInhibition = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(pendingInhibition, &QDBusPendingCallWatcher::finished, this,
            &KeepAlive::inhibitionReplied);
}

void KeepAlive::inhibitionReplied(QDBusPendingCallWatcher *watcher)
{
    watcher->deleteLater();
    pendingInhibition = nullptr;
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError())
        return;
    cookie = reply.value();
    inhibited = true;
    // Stopped while the service was answering: give the inhibition back at once.
    if (!inhibitionWanted)
        releaseInhibition();
}

void KeepAlive::releaseInhibition()
{
    if (!inhibited)
        return;
    inhibited = false;
    sendUnInhibit(cookie);
}

#else

void KeepAlive::wake() { }

void KeepAlive::winDisableScreenSaverPowerOff(bool disable)
{
    Q_UNUSED(disable)
}

#endif
