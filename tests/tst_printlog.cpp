#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTimer>
#include <QtTest>

#include "printing/keepalive.h"
#include "printing/logger.h"

// Stands in for the desktop's screen saver service and records what it is asked.
class ScreenSaverStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QStringList inhibitions; // "application: reason"
    QList<uint> granted;
    QList<uint> released;

public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        inhibitions << application + ": " + reason;
        granted << 40u + uint(granted.size());
        return granted.last();
    }
    void UnInhibit(uint cookie) { released << cookie; }
};

// The print log on disk and keep-awake against a private D-Bus session of the test's own.
class TestPrintLog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void recordsAppendLineByLine();
    void textIsUtf8();
    void unopenableLog();
    void durations();
    void keepAwakeInhibitsWhileActive();
    void keepAwakeHeartbeat();
    void keepAwakeWithoutBus();

private:
    QStringList logLines() const;

    QTemporaryDir temp;
    QProcess bus;
    QString busAddress;
};

void TestPrintLog::initTestCase()
{
    QVERIFY(temp.isValid());
    // A session bus of our own that activates nothing, so no installed service answers.
    QFile config(temp.filePath("bus.conf"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("<busconfig><type>session</type><listen>unix:dir=" + temp.path().toUtf8()
                 + "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                   "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/><allow own=\"*\"/>"
                   "</policy></busconfig>");
    config.close();
    bus.start("dbus-daemon", {"--config-file=" + config.fileName(), "--print-address", "--nofork"});
    QVERIFY2(bus.waitForReadyRead(10000), "dbus-daemon did not start");
    busAddress = QString::fromUtf8(bus.readLine().trimmed());
    qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress.toUtf8());
    QVERIFY(QDBusConnection::sessionBus().isConnected());
}

void TestPrintLog::cleanupTestCase()
{
    bus.terminate();
    bus.waitForFinished(5000);
}

QStringList TestPrintLog::logLines() const
{
    QFile file(temp.filePath("printing.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n');
}

void TestPrintLog::recordsAppendLineByLine()
{
    const QStringList messages = {"CONFIGURATION $Distance", "Print 2"};
    for (const QString &message : messages) {
        Logger logger("/jobs/cube_Z100", "cube", temp.path());
        QVERIFY(logger.isActive());
        logger.write(message);
        // On disk before the record is closed, so a crash keeps it.
        QCOMPARE(logLines().value(logLines().size() - 2).mid(11), message);
        logger.stop();
        logger.stop();
        logger.write("after the end");
        QVERIFY(logger.isActive());
    }
    const QString stamp = "\\[\\d\\d/\\d\\d/\\d{4} - \\d\\d:\\d\\d:\\d\\d\\] ";
    const QString smallStamp = "\\[\\d\\d:\\d\\d:\\d\\d\\] ";
    QStringList expected;
    for (const QString &message : messages)
        expected << "={74}" << stamp + "Started Logging"
                 << smallStamp + QRegularExpression::escape(message) << stamp + "Ended Logging";
    expected << "";
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(QRegularExpression("^" + expected[i] + "$").match(lines[i]).hasMatch(),
                 qPrintable(lines[i]));
    // Local time now, the day before the month.
    const QDateTime started = QDateTime::fromString(lines[1].mid(1, 21), "dd/MM/yyyy - hh:mm:ss");
    QVERIFY(qAbs(started.secsTo(QDateTime::currentDateTime())) < 60);
    QVERIFY(QFile::remove(temp.filePath("printing.log")));
}

void TestPrintLog::textIsUtf8()
{
    // A locale whose codec has no "€" would turn it into "?" without an explicit codec.
    QTextCodec *const localeCodec = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    Logger logger("/jobs/cube_Z100", "cube", temp.path() + "/");
    logger.write("Mass: 1.10 [gr] Volume: 1.00 [cm³]");
    logger.write("Cost SB: 0.05 [€]\nEnded Logging");
    logger.stop();
    QTextCodec::setCodecForLocale(localeCodec);
    const QStringList lines = logLines();
    QCOMPARE(lines[2].mid(11), QString("Mass: 1.10 [gr] Volume: 1.00 [cm³]"));
    // A line break inside a message cannot fake a record's end.
    QCOMPARE(lines[3].mid(11), QString("Cost SB: 0.05 [€] Ended Logging"));
    QCOMPARE(lines.size(), 6);
    QVERIFY(QFile::remove(temp.filePath("printing.log")));
}

void TestPrintLog::unopenableLog()
{
    QVERIFY(QDir(temp.path()).mkpath("taken/printing.log"));
    QFile plainFile(temp.filePath("plain"));
    QVERIFY(plainFile.open(QIODevice::WriteOnly));
    plainFile.close();
    for (const QString &folder :
         {temp.filePath("missing"), temp.filePath("taken"), temp.filePath("plain")}) {
        Logger logger("/jobs/cube_Z100", "cube", folder);
        QVERIFY(!logger.isActive());
        logger.write("nowhere");
        logger.stop();
    }
    Logger inactive;
    inactive.write("nowhere");
    inactive.stop();
    QVERIFY(!inactive.isActive());
    QVERIFY(!QFile::exists(temp.filePath("missing")));
    QVERIFY(QFileInfo(temp.filePath("taken/printing.log")).isDir());
    QCOMPARE(QFileInfo(temp.filePath("plain")).size(), 0);
}

void TestPrintLog::durations()
{
    QCOMPARE(durationText(3725000), QString("1h 2m 5s"));
    QCOMPARE(durationText(3909999), QString("1h 5m 9s"));
    QCOMPARE(durationText(0), QString("0h 0m 0s"));
    QCOMPARE(durationText(999), QString("0h 0m 0s"));
    // Four days and more: past what 32 bits of milliseconds hold.
    QCOMPARE(durationText(qint64(100) * 3600000 + 59 * 60000 + 59999), QString("100h 59m 59s"));
    QCOMPARE(durationText(-5000), QString("0h 0m 0s"));
}

void TestPrintLog::keepAwakeInhibitsWhileActive()
{
    ScreenSaverStandIn service;
    QDBusConnection serviceBus = QDBusConnection::connectToBus(busAddress, "screensaver");
    QVERIFY(serviceBus.registerObject("/org/freedesktop/ScreenSaver", &service,
                                      QDBusConnection::ExportAllSlots));
    {
        KeepAlive keepAlive;
        keepAlive.stop();
        QVERIFY(!keepAlive.getStatus());
        // No screen saver service yet: the refused request leaves nothing behind.
        keepAlive.start();
        QTRY_VERIFY(!keepAlive.findChild<QDBusPendingCallWatcher *>());
        keepAlive.stop();
        QVERIFY(serviceBus.registerService("org.freedesktop.ScreenSaver"));
        keepAlive.start();
        keepAlive.start();
        QVERIFY(keepAlive.getStatus());
        const QList<QTimer *> timers = keepAlive.findChildren<QTimer *>();
        QCOMPARE(timers.size(), 1);
        QVERIFY(timers.first()->isActive() && !timers.first()->isSingleShot());
        QCOMPARE(timers.first()->interval(), 3000);
        QCOMPARE(timers.first()->timerType(), Qt::VeryCoarseTimer);
        QTRY_COMPARE(service.inhibitions.size(), 1);
        QCOMPARE(service.inhibitions.first(), QString("Kelvarome: A print is running"));
        keepAlive.stop();
        QTRY_COMPARE(service.released, service.granted);
        QVERIFY(!keepAlive.getStatus() && !timers.first()->isActive());
        keepAlive.stop();
        // Stopped before the service answers: the inhibition is given back when it comes.
        keepAlive.start();
        keepAlive.stop();
        QTRY_COMPARE(service.released, QList<uint>({40, 41}));
        keepAlive.start();
    }
    // Destroyed while active, before the service answered.
    QTRY_COMPARE(service.released, QList<uint>({40, 41, 42}));
    QCOMPARE(service.inhibitions.size(), 3);
    QDBusConnection::disconnectFromBus("screensaver");
}

void TestPrintLog::keepAwakeHeartbeat()
{
    KeepAlive keepAlive;
    QTimer *const timer = keepAlive.findChild<QTimer *>();
    QSignalSpy wakes(timer, &QTimer::timeout);
    keepAlive.start();
    QVERIFY(wakes.wait(6000));
    keepAlive.stop();
    QTest::qWait(3500);
    QCOMPARE(wakes.size(), 1);
}

void TestPrintLog::keepAwakeWithoutBus()
{
    bus.terminate();
    QVERIFY(bus.waitForFinished(5000));
    QTRY_VERIFY(!QDBusConnection::sessionBus().isConnected());
    qunsetenv("DISPLAY");
    KeepAlive keepAlive(true);
    QVERIFY(keepAlive.getStatus());
    keepAlive.start();
    keepAlive.wake();
    QVERIFY(keepAlive.getStatus());
    keepAlive.stop();
    QVERIFY(!keepAlive.getStatus());
}

QTEST_GUILESS_MAIN(TestPrintLog)
#include "tst_printlog.moc"
