#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include "printer/printer.h"
#include "printer/printerconnection.h"
#include "printer/serialcommands.h"
#include "printer/serialhandler.h"
#include "tests/virtualprinters.h"

using namespace VirtualPrinters;

Q_DECLARE_METATYPE(VirtualPrinterBehaviour)

// The serial link against virtual boards on pseudo-terminals: the handshake, answers, the scan,
// and the printer's commands. Manual moves and their release go through the connection page's
// test; the tool's refusals through tst_printertools.
class TestPrinterLink : public QObject
{
    Q_OBJECT

private slots:
    void handshake_data();
    void handshake();
    void answersAndHangUps();
    void staleAndEndlessInput();
    void scanFindsOnlyPrinters();
    void connectTestCloseAndLose();
    void motionLedAndLayerCommands();
};

void TestPrinterLink::handshake_data()
{
    QTest::addColumn<VirtualPrinterBehaviour>("board");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("commandsSent");

    QTest::newRow("OK, line end") << VirtualPrinterBehaviour() << true << 2;
    QTest::newRow("ok") << behaviour([](auto &b) { b.ackAnswer = "ok"; }) << false << 1;
    QTest::newRow("model to 10") << behaviour([](auto &b) { b.ackAnswer = "Tarvisomel"; }) << false
                                 << 1;
    QTest::newRow("other model") << behaviour([](auto &b) { b.modelAnswer = "Tarvisomel2"; })
                                 << false << 2;
    QTest::newRow("NUL, junk") << behaviour([](auto &b) { b.trailer = QByteArray("\0zz Q", 5); })
                               << true << 2;
    QTest::newRow("in pieces") << behaviour([](auto &b) { b.pieceGapMs = 120; }) << true << 2;
    QTest::newRow("late") << behaviour([](auto &b) { b.answerDelayMs = 400; }) << false << 1;
    // Endless talkers: a fast one fills the byte budget, a slow one meets the time limit.
    QTest::newRow("endless, fast")
            << behaviour([](auto &b) { b.streamGapMs = 5, b.streamBytes = 64; }) << false << 1;
    QTest::newRow("endless, slow")
            << behaviour([](auto &b) { b.streamGapMs = 60, b.streamBytes = 1; }) << false << 1;
}

void TestPrinterLink::handshake()
{
    QFETCH(VirtualPrinterBehaviour, board);
    QFETCH(bool, accepted);
    QFETCH(int, commandsSent);
    const auto printer = start(board);
    QSerialPort port(printer->devicePath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QVERIFY(SerialHandler::applyLineSettings(port));
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(SerialHandler::handshake(port, SerialHandler::SCAN_SILENCE_MS), accepted);
    // Nothing, however chatty, holds the handshake beyond its windows and the time limit.
    QVERIFY(elapsed.elapsed()
            < 2 * (SerialHandler::SCAN_SILENCE_MS + SerialHandler::ANSWER_EXTRA_TIME_MS));
    QCOMPARE(printer->codes(), Codes({"10", "12"}).mid(0, commandsSent));
}

void TestPrinterLink::answersAndHangUps()
{
    // Pieces well inside the 350 ms silence, then a NUL and junk: one answer, cut at the NUL.
    const auto board = start(behaviour([](auto &b) {
        b.pieceGapMs = 200;
        b.trailer = QByteArray("\0junk\r\n", 7);
    }));
    SerialHandler handler;
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), QString()); // closed: nothing sent
    handler.connectSerialHandler(NO_SUCH_PORT);
    QVERIFY(!handler.isOpen() && !handler.isReady());
    handler.connectSerialHandler(board->devicePath());
    QVERIFY(handler.isReady()); // a pseudo-terminal has no DTR line; that is no refusal
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), ANS_RECV_MDL);

    // Unanswered commands return at once and leave waiting bytes unread.
    handler.write(CMD_SEND_ACK.toLatin1());
    QTRY_VERIFY(handler.bytesAvailable() > 0);
    const qint64 waiting = handler.bytesAvailable();
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(handler.sendData(CMD_MTR_300U, false), QString());
    QVERIFY(elapsed.elapsed() < 200);
    QCOMPARE(handler.bytesAvailable(), waiting);
    QTRY_COMPARE(board->codes(), Codes({"12", "10", "50"}));

    // Idle: the endless read errors of a hung-up terminal close the port.
    board->hangUp();
    QTRY_VERIFY_WITH_TIMEOUT(!handler.isOpen(), 1000);

    // Waiting for an answer: the wait ends at once and the port is closed.
    const auto silent = startSilent();
    handler.connectSerialHandler(silent->devicePath());
    QTimer::singleShot(50, [&silent] { silent->hangUp(); });
    elapsed.restart();
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), QString());
    QVERIFY(elapsed.elapsed() < SerialHandler::ANSWER_SILENCE_MS + 200);
    QTRY_VERIFY_WITH_TIMEOUT(!handler.isOpen(), 1000);
}

void TestPrinterLink::staleAndEndlessInput()
{
    // A late answer that came in after its wait is no answer to the next question.
    const auto late = start(behaviour([](auto &b) { b.answerDelayMs = 400; }));
    SerialHandler handler;
    handler.connectSerialHandler(late->devicePath());
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), QString());
    QTest::qWait(150);
    QCOMPARE(handler.sendData(CMD_SEND_ACK, true), QString());
    QTest::qWait(150);
    QCOMPARE(handler.sendData(CMD_SEND_MDL, true), QString());

    // Chatter nobody asked for is kept only up to the limit, however long it lasts.
    const auto chatty = start(behaviour([](auto &b) { b.streamGapMs = 2, b.streamBytes = 512; }));
    handler.connectSerialHandler(chatty->devicePath());
    QTest::qWait(500);
    QVERIFY(handler.bytesAvailable() > 0
            && handler.bytesAvailable() <= SerialHandler::UNREAD_BYTE_LIMIT);
}

void TestPrinterLink::scanFindsOnlyPrinters()
{
    const auto first = start();
    const auto silent = startSilent();
    const auto lowerCase = start(behaviour([](auto &b) { b.ackAnswer = "ok"; }));
    const auto second = start();
    QStringList ports = {first->devicePath(), silent->devicePath(), NO_SUCH_PORT,
                         lowerCase->devicePath(), second->devicePath()};
    PrinterConnection connection([&ports] { return ports; });
    QCOMPARE(connection.scan(), 2);
    QCOMPARE(connection.portNames(), (QStringList{first->devicePath(), second->devicePath()}));
    QCOMPARE(connection.current()->getPortName(), first->devicePath());
    connection.select(1);
    connection.select(5);
    QCOMPARE(connection.current()->getPortName(), second->devicePath());

    // Every probed port was left closed: the printer opens again.
    QVERIFY(connection.current()->openConnection());
    QCOMPARE(second->codes(), Codes({"10", "12", "10", "12"}));

    // A scan that finds nothing keeps the printer in use; one that finds another replaces it.
    ports = QStringList{silent->devicePath()};
    QCOMPARE(connection.scan(), 0);
    QVERIFY(connection.portNames().isEmpty());
    QVERIFY(connection.current()->testConnection());
    ports = QStringList{first->devicePath()};
    QCOMPARE(connection.scan(), 1);
    QCOMPARE(connection.current()->getPortName(), first->devicePath());
}

void TestPrinterLink::connectTestCloseAndLose()
{
    const auto board = start();
    Printer printer(board->devicePath());
    QVERIFY(printer.closeConnection()); // nothing to close
    QVERIFY(!printer.goUp(Printer::LIFT_STEP_UM, true)); // not ready yet
    QVERIFY(printer.openConnection());
    QVERIFY(printer.testConnection());
    // Closing sends a release still waiting for its time before the closing notice.
    QVERIFY(printer.goDown(Printer::FINE_STEP_UM, false, true));
    QVERIFY(printer.closeConnection());
    QVERIFY(!printer.isOpen() && !printer.isMoving());
    QCOMPARE(board->codes(), Codes({"10", "12", "12", "31", "52", "89"}));

    QString error;
    QVERIFY(!Printer(QString()).openConnection(error));
    const auto other = start(behaviour([](auto &b) { b.modelAnswer = "Other"; }));
    Printer otherModel(other->devicePath());
    QVERIFY(!otherModel.openConnection(error));
    QVERIFY(error.endsWith("answered \"Other\" to \"12\", not \"Tarvisomel\""));
    QVERIFY(!otherModel.isOpen());

    // Cable pulled during the release wait: nothing hangs, the port closes, the test fails at
    // once, the move still ends and the connection cannot be opened again.
    QVERIFY(printer.openConnection());
    QVERIFY(printer.goUp(Printer::LIFT_STEP_UM, true));
    board->hangUp();
    QTRY_VERIFY_WITH_TIMEOUT(!printer.isOpen(), 1000);
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!printer.testConnection());
    // Nor do a print's layer change and abort wait their second for a printer that is gone.
    printer.printingMovement(100, false);
    QVERIFY(!printer.abortPrint());
    QVERIFY(elapsed.elapsed() < 200);
    QTRY_VERIFY_WITH_TIMEOUT(!printer.isMoving(), Printer::RELEASE_DELAY_MS + 500);
    QVERIFY(!printer.openConnection());
}

void TestPrinterLink::motionLedAndLayerCommands()
{
    const auto board = start();
    Printer printer(board->devicePath());
    QVERIFY(printer.openConnection());
    board->clearReceived();

    // Up, plain down, double down, no direction; 200 and 0 microns have no command.
    for (int distance : {25, 50, 75, 100, 300, 200, 0}) {
        printer.move(+1, distance, false, false);
        printer.move(-1, distance, false, false);
        printer.move(-1, distance, false, true);
        printer.move(0, distance, false, true);
        QVERIFY(!printer.isMoving());
    }
    QVERIFY(printer.subMergeIntoResin() && printer.emergeFromResin());
    for (int stage = -1; stage <= Printer::LED_STAGES; ++stage)
        printer.changeProgBarLed(stage);
    // Layer change: LEDs off, a second's pause, one step down, no release afterwards.
    printer.printingMovement(100, true);
    printer.printingMovement(50, false);
    QVERIFY(!printer.isMoving());
    QVERIFY(printer.abortPrint());
    QTRY_COMPARE(board->codes(), Codes({"42", "32", "22", "41", "31", "21", "77", "76", "75", "40",
                                        "30", "20", "50", "51", "51", "51", "50", "64", "65", "60",
                                        "61", "62", "63", "66", "20", "66", "31", "52", "66"}));
    QVERIFY(gapMs(*board, 23, 24) >= Printer::LAYER_MOVE_PAUSE_MS - 20);
    QVERIFY(gapMs(*board, 27, 28) >= Printer::RELEASE_PAUSE_MS - 20);
}

QTEST_GUILESS_MAIN(TestPrinterLink)
#include "tst_printerlink.moc"
