#include <memory>

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include "printer/serialcommands.h"
#include "printer/serialhandler.h"
#include "printer/virtualprinter.h"

namespace {

std::unique_ptr<VirtualPrinterThread> startVirtualPrinter(const VirtualPrinterBehaviour &behaviour)
{
    auto printer = std::make_unique<VirtualPrinterThread>(behaviour);
    QString error;
    if (!printer->start(error))
        qFatal("cannot start a virtual printer: %s", qPrintable(error));
    return printer;
}

VirtualPrinterBehaviour silentBehaviour()
{
    VirtualPrinterBehaviour behaviour;
    behaviour.silent = true;
    return behaviour;
}

} // namespace

class TestSerialHandler : public QObject
{
    Q_OBJECT

private slots:
    void handshake_data();
    void handshake();
    void handshakeBoundedAgainstEndlessData_data();
    void handshakeBoundedAgainstEndlessData();
    void connectAppliesLineSettings();
    void sendDataCollectsAnswer();
    void hangUpClosesPort();
    void scanFindsOnlyPrinters();
};

void TestSerialHandler::handshake_data()
{
    QTest::addColumn<QByteArray>("ack");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QByteArray>("trailer");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("pieceGapMs");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("commandsSent");

    const QByteArray none;
    QTest::newRow("board") << QByteArray("OK") << QByteArray("Tarvisomel") << none << 0 << -1
                           << false << true << 2;
    QTest::newRow("lower-case ok") << QByteArray("ok") << QByteArray("Tarvisomel") << none << 0
                                   << -1 << false << false << 1;
    QTest::newRow("model name to 10") << QByteArray("Tarvisomel") << QByteArray("Tarvisomel")
                                      << none << 0 << -1 << false << false << 1;
    QTest::newRow("other model") << QByteArray("OK") << QByteArray("Tarvisomel2") << none << 0 << -1
                                 << false << false << 2;
    QTest::newRow("NUL and junk") << QByteArray("OK") << QByteArray("Tarvisomel")
                                  << QByteArray("\0zz Q", 5) << 0 << -1 << false << true << 2;
    QTest::newRow("in pieces") << QByteArray("OK") << QByteArray("Tarvisomel") << none << 0 << 120
                               << false << true << 2;
    QTest::newRow("late") << QByteArray("OK") << QByteArray("Tarvisomel") << none << 400 << -1
                          << false << false << 1;
    QTest::newRow("silent") << QByteArray("OK") << QByteArray("Tarvisomel") << none << 0 << -1
                            << true << false << 1;
}

void TestSerialHandler::handshake()
{
    QFETCH(QByteArray, ack);
    QFETCH(QByteArray, model);
    QFETCH(QByteArray, trailer);
    QFETCH(int, delayMs);
    QFETCH(int, pieceGapMs);
    QFETCH(bool, silent);
    QFETCH(bool, accepted);
    QFETCH(int, commandsSent);

    VirtualPrinterBehaviour behaviour;
    behaviour.ackAnswer = ack;
    behaviour.modelAnswer = model;
    behaviour.trailer = trailer;
    behaviour.answerDelayMs = delayMs;
    behaviour.pieceGapMs = pieceGapMs;
    behaviour.silent = silent;
    const auto printer = startVirtualPrinter(behaviour);

    QSerialPort port;
    port.setPortName(printer->devicePath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QVERIFY(SerialHandler::applyLineSettings(port));
    QCOMPARE(SerialHandler::handshake(port, SerialHandler::SCAN_SILENCE_MS), accepted);
    QCOMPARE(printer->codes().size(), commandsSent);
    QCOMPARE(printer->codes().first(), CMD_SEND_ACK.toLatin1());
}

void TestSerialHandler::handshakeBoundedAgainstEndlessData_data()
{
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("maxMs");

    // A fast talker fills the byte budget at once; a slow one is cut by the time limit.
    QTest::newRow("fast") << 5 << 64 << 1000;
    QTest::newRow("trickle") << 60 << 1
                             << SerialHandler::SCAN_SILENCE_MS + SerialHandler::ANSWER_EXTRA_TIME_MS
                    + 500;
}

void TestSerialHandler::handshakeBoundedAgainstEndlessData()
{
    QFETCH(int, gapMs);
    QFETCH(int, bytes);
    QFETCH(int, maxMs);

    VirtualPrinterBehaviour behaviour;
    behaviour.streamGapMs = gapMs;
    behaviour.streamBytes = bytes;
    behaviour.ackAnswer = "OK";
    const auto printer = startVirtualPrinter(behaviour);

    QSerialPort port;
    port.setPortName(printer->devicePath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!SerialHandler::handshake(port, SerialHandler::SCAN_SILENCE_MS));
    QVERIFY2(elapsed.elapsed() < maxMs, qPrintable(QString::number(elapsed.elapsed())));
}

void TestSerialHandler::connectAppliesLineSettings()
{
    const auto printer = startVirtualPrinter({});

    // A pseudo-terminal has no DTR line; that alone does not make the port unready.
    SerialHandler handler;
    QVERIFY(!handler.isReady());
    handler.connectSerialHandler(printer->devicePath());
    QVERIFY(handler.isOpen());
    QVERIFY(handler.isReady());
    QCOMPARE(handler.baudRate(), 9600);
    QCOMPARE(handler.dataBits(), QSerialPort::Data8);
    QCOMPARE(handler.parity(), QSerialPort::NoParity);
    QCOMPARE(handler.stopBits(), QSerialPort::OneStop);
    QCOMPARE(handler.flowControl(), QSerialPort::NoFlowControl);

    // Connecting again reopens the port rather than failing on the open one.
    handler.connectSerialHandler(printer->devicePath());
    QVERIFY(handler.isReady());

    handler.connectSerialHandler(QStringLiteral("/dev/kelvarome-no-such-port"));
    QVERIFY(!handler.isOpen());
    QVERIFY(!handler.isReady());

    // Any other refused setting counts: DTR cannot be set on a port that is not open.
    QSerialPort closedPort;
    QTest::ignoreMessage(QtWarningMsg,
                         "bool QSerialPort::setDataTerminalReady(bool): device not open");
    QVERIFY(!SerialHandler::applyLineSettings(closedPort));
}

void TestSerialHandler::sendDataCollectsAnswer()
{
    VirtualPrinterBehaviour behaviour;
    behaviour.pieceGapMs = 200; // well inside the 350 ms silence
    behaviour.trailer = QByteArray("\0junk\r\n", 7);
    const auto printer = startVirtualPrinter(behaviour);

    SerialHandler handler;
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), QString()); // closed: nothing sent
    handler.connectSerialHandler(printer->devicePath());
    QVERIFY(handler.isReady());
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), ANS_RECV_MDL);
    QCOMPARE(handler.sendData(CMD_SEND_ACK, true), ANS_RECV_ACK);

    // Commands that are not answered return at once and leave waiting bytes unread.
    handler.write(CMD_SEND_ACK.toLatin1());
    handler.flush();
    QTRY_VERIFY(handler.bytesAvailable() > 0);
    const qint64 waiting = handler.bytesAvailable();
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(handler.sendData(CMD_MTR_300U, false), QString());
    QCOMPARE(handler.sendData(CMD_LEDS_FDO, false), QString());
    QVERIFY(elapsed.elapsed() < 200);
    QCOMPARE(handler.bytesAvailable(), waiting);
    QTRY_COMPARE(printer->codes(), (QList<QByteArray>{"12", "10", "10", "50", "89"}));
}

void TestSerialHandler::hangUpClosesPort()
{
    const auto printer = startVirtualPrinter({});
    SerialHandler handler;
    handler.connectSerialHandler(printer->devicePath());
    QVERIFY(handler.isOpen());

    // Idle: the endless read errors of a hung-up terminal close the port.
    printer->hangUp();
    QTRY_VERIFY_WITH_TIMEOUT(!handler.isOpen(), 1000);

    // Waiting for an answer: the port is closed and the wait ends at once.
    const auto second = startVirtualPrinter(silentBehaviour());
    handler.connectSerialHandler(second->devicePath());
    QVERIFY(handler.isOpen());
    QTimer::singleShot(50, [&second] { second->hangUp(); });
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), QString());
    QVERIFY(elapsed.elapsed() < SerialHandler::ANSWER_SILENCE_MS + 200);
    QTRY_VERIFY_WITH_TIMEOUT(!handler.isOpen(), 1000);
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), QString());
}

void TestSerialHandler::scanFindsOnlyPrinters()
{
    QCOMPARE(SerialHandler::scanPortLocations({}), QStringList());

    const auto first = startVirtualPrinter({});
    const auto silent = startVirtualPrinter(silentBehaviour());
    VirtualPrinterBehaviour lowerCase;
    lowerCase.ackAnswer = "ok";
    const auto wrongDevice = startVirtualPrinter(lowerCase);
    const auto second = startVirtualPrinter({});
    const QString missing = QStringLiteral("/dev/kelvarome-no-such-port");

    QCOMPARE(SerialHandler::scanPortLocations({first->devicePath()}),
             QStringList{first->devicePath()});

    QElapsedTimer elapsed;
    elapsed.start();
    const QStringList found =
            SerialHandler::scanPortLocations({first->devicePath(), silent->devicePath(), missing,
                                              wrongDevice->devicePath(), second->devicePath()});
    QCOMPARE(found, (QStringList{first->devicePath(), second->devicePath()}));
    // Two printers (two windows each), one silent port and one refusal (one window each).
    QVERIFY2(elapsed.elapsed() < 6 * SerialHandler::SCAN_SILENCE_MS + 400,
             qPrintable(QString::number(elapsed.elapsed())));

    // Every probed port was left closed: the printers can be opened again.
    SerialHandler handler;
    handler.connectSerialHandler(first->devicePath());
    QVERIFY(handler.isReady());
    QCOMPARE(first->codes(), (QList<QByteArray>{"10", "12", "10", "12"}));
}

QTEST_GUILESS_MAIN(TestSerialHandler)
#include "tst_serialhandler.moc"
