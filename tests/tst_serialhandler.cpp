#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include "printer/serialcommands.h"
#include "printer/serialhandler.h"
#include "tests/virtualprinters.h"

using namespace VirtualPrinters;

Q_DECLARE_METATYPE(VirtualPrinterBehaviour)

class TestSerialHandler : public QObject
{
    Q_OBJECT

private slots:
    void handshake_data();
    void handshake();
    void connectAndLineSettings();
    void sendDataCollectsAnswer();
    void hangUpClosesPort();
    void scanFindsOnlyPrinters();
};

void TestSerialHandler::handshake_data()
{
    QTest::addColumn<VirtualPrinterBehaviour>("board");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("commandsSent");
    QTest::addColumn<int>("maxMs"); // 0: no limit

    QTest::newRow("OK, line end") << VirtualPrinterBehaviour() << true << 2 << 0;
    QTest::newRow("ok") << behaviour([](auto &b) { b.ackAnswer = "ok"; }) << false << 1 << 0;
    QTest::newRow("model to 10") << behaviour([](auto &b) { b.ackAnswer = "Tarvisomel"; }) << false
                                 << 1 << 0;
    QTest::newRow("other model") << behaviour([](auto &b) { b.modelAnswer = "Tarvisomel2"; })
                                 << false << 2 << 0;
    QTest::newRow("NUL, junk") << behaviour([](auto &b) { b.trailer = QByteArray("\0zz Q", 5); })
                               << true << 2 << 0;
    QTest::newRow("in pieces") << behaviour([](auto &b) { b.pieceGapMs = 120; }) << true << 2 << 0;
    QTest::newRow("late") << behaviour([](auto &b) { b.answerDelayMs = 400; }) << false << 1 << 0;
    // Endless talkers: a fast one fills the byte budget at once, a slow one meets the time limit.
    QTest::newRow("endless, fast")
            << behaviour([](auto &b) { b.streamGapMs = 5, b.streamBytes = 64; }) << false << 1
            << 1000;
    QTest::newRow("endless, slow")
            << behaviour([](auto &b) { b.streamGapMs = 60, b.streamBytes = 1; }) << false << 1
            << SerialHandler::SCAN_SILENCE_MS + SerialHandler::ANSWER_EXTRA_TIME_MS + 500;
}

void TestSerialHandler::handshake()
{
    QFETCH(VirtualPrinterBehaviour, board);
    QFETCH(bool, accepted);
    QFETCH(int, commandsSent);
    QFETCH(int, maxMs);
    const auto printer = start(board);
    QSerialPort port(printer->devicePath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QVERIFY(SerialHandler::applyLineSettings(port));
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(SerialHandler::handshake(port, SerialHandler::SCAN_SILENCE_MS), accepted);
    QVERIFY2(maxMs == 0 || elapsed.elapsed() < maxMs,
             qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(printer->codes(), Codes({"10", "12"}).mid(0, commandsSent));
}

void TestSerialHandler::connectAndLineSettings()
{
    const auto printer = start();
    // A pseudo-terminal has no DTR line; that alone does not make the port unready.
    SerialHandler handler;
    QVERIFY(!handler.isReady());
    handler.connectSerialHandler(printer->devicePath());
    QVERIFY(handler.isReady());
    QCOMPARE(handler.baudRate(), 9600);
    // Connecting again reopens the port rather than failing on the open one.
    handler.connectSerialHandler(printer->devicePath());
    QVERIFY(handler.isReady());
    handler.connectSerialHandler(NO_SUCH_PORT);
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
    // Pieces well inside the 350 ms silence, then a NUL and junk.
    const auto printer = start(behaviour([](auto &b) {
        b.pieceGapMs = 200;
        b.trailer = QByteArray("\0junk\r\n", 7);
    }));
    SerialHandler handler;
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), QString()); // closed: nothing sent
    handler.connectSerialHandler(printer->devicePath());
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), ANS_RECV_MDL);

    // Commands that are not answered return at once and leave waiting bytes unread.
    handler.write(CMD_SEND_ACK.toLatin1());
    QTRY_VERIFY(handler.bytesAvailable() > 0);
    const qint64 waiting = handler.bytesAvailable();
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(handler.sendData(CMD_MTR_300U, false), QString());
    QVERIFY(elapsed.elapsed() < 200);
    QCOMPARE(handler.bytesAvailable(), waiting);
    QTRY_COMPARE(printer->codes(), Codes({"12", "10", "50"}));
}

void TestSerialHandler::hangUpClosesPort()
{
    // Idle: the endless read errors of a hung-up terminal close the port.
    const auto printer = start();
    SerialHandler handler;
    handler.connectSerialHandler(printer->devicePath());
    QVERIFY(handler.isOpen());
    printer->hangUp();
    QTRY_VERIFY_WITH_TIMEOUT(!handler.isOpen(), 1000);

    // Waiting for an answer: the port is closed and the wait ends at once.
    const auto silent = startSilent();
    handler.connectSerialHandler(silent->devicePath());
    QVERIFY(handler.isOpen());
    QTimer::singleShot(50, [&silent] { silent->hangUp(); });
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), QString());
    QVERIFY(elapsed.elapsed() < SerialHandler::ANSWER_SILENCE_MS + 200);
    QTRY_VERIFY_WITH_TIMEOUT(!handler.isOpen(), 1000);
}

void TestSerialHandler::scanFindsOnlyPrinters()
{
    QCOMPARE(SerialHandler::scanPortLocations({}), QStringList());

    const auto first = start();
    const auto silent = startSilent();
    const auto lowerCase = start(behaviour([](auto &b) { b.ackAnswer = "ok"; }));
    const auto second = start();
    QElapsedTimer elapsed;
    elapsed.start();
    const QStringList found = SerialHandler::scanPortLocations(
            {first->devicePath(), silent->devicePath(), NO_SUCH_PORT, lowerCase->devicePath(),
             second->devicePath()});
    QCOMPARE(found, (QStringList{first->devicePath(), second->devicePath()}));
    // Two printers (two windows each), one silent port and one refusal (one window each).
    QVERIFY2(elapsed.elapsed() < 6 * SerialHandler::SCAN_SILENCE_MS + 400,
             qPrintable(QString::number(elapsed.elapsed())));

    // Every probed port was left closed: a printer can be opened again.
    SerialHandler handler;
    handler.connectSerialHandler(first->devicePath());
    QVERIFY(handler.isReady());
    QCOMPARE(first->codes(), Codes({"10", "12"}));
}

QTEST_GUILESS_MAIN(TestSerialHandler)
#include "tst_serialhandler.moc"
