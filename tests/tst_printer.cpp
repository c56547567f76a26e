#include <QElapsedTimer>
#include <QtTest>

#include "printer/printer.h"
#include "tests/virtualprinters.h"

using namespace VirtualPrinters;

// Manual moves with their release, and the scan, are driven through the connection page
// (tst_connectionpage); the refusal texts through kelvarome-printer (tst_printertools).
class TestPrinter : public QObject
{
    Q_OBJECT

private slots:
    void connectTestCloseAndLose();
    void motionCommands();
    void layerChangeAbortAndLeds();
    void commandsNeedReadyPort();
};

void TestPrinter::connectTestCloseAndLose()
{
    const auto board = start();
    Printer printer(board->devicePath());
    QVERIFY(printer.closeConnection()); // nothing to close
    QVERIFY(printer.openConnection());
    QVERIFY(printer.testConnection());
    QVERIFY(printer.closeConnection());
    QVERIFY(!printer.isOpen());
    QVERIFY(printer.isReady()); // left as it was
    QCOMPARE(board->codes(), Codes({"10", "12", "12", "89"}));

    QVERIFY(!Printer(QString()).openConnection());
    const auto other = start(behaviour([](auto &b) { b.modelAnswer = "Other"; }));
    Printer otherModel(other->devicePath());
    QVERIFY(!otherModel.openConnection());
    QVERIFY(!otherModel.isOpen());

    // Cable pulled during the release wait: nothing hangs, the port closes, the test fails at
    // once, the move still ends and the connection cannot be opened again.
    QVERIFY(printer.openConnection());
    QVERIFY(printer.goUp(300, true));
    board->hangUp();
    QTRY_VERIFY_WITH_TIMEOUT(!printer.isOpen(), 1000);
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!printer.testConnection());
    QVERIFY(elapsed.elapsed() < 200);
    QTRY_VERIFY_WITH_TIMEOUT(!printer.isMoving(), Printer::RELEASE_DELAY_MS + 500);
    QVERIFY(!printer.openConnection());
}

void TestPrinter::motionCommands()
{
    const auto board = start();
    Printer printer(board->devicePath());
    QVERIFY(printer.openConnection());
    board->clearReceived();

    for (int distance : {25, 50, 75, 100, 300, 200, 0}) {
        printer.move(+1, distance, false, false);
        printer.move(-1, distance, false, false);
        printer.move(-1, distance, false, true);
        printer.move(0, distance, false, true);
        QVERIFY(!printer.isMoving());
    }
    QVERIFY(printer.subMergeIntoResin());
    QVERIFY(printer.emergeFromResin());
    QVERIFY(!printer.isMoving());
    QTRY_COMPARE(board->codes(),
                 Codes({"42", "32", "22", "41", "31", "21", "77", "76", "75", "40", "30", "20",
                        "50", "51", "51", "51", "50"}));
}

void TestPrinter::layerChangeAbortAndLeds()
{
    const auto board = start();
    Printer printer(board->devicePath());
    QVERIFY(printer.openConnection());
    board->clearReceived();

    for (int stage = -1; stage <= Printer::LED_STAGES; ++stage)
        printer.changeProgBarLed(stage);
    printer.turnOffLeds();
    // Layer change: LEDs off, a second's pause, one step down; no release afterwards.
    printer.printingMovement(100, true);
    printer.printingMovement(50, false);
    QVERIFY(!printer.isMoving());
    QVERIFY(printer.abortPrint());
    QTRY_COMPARE(
            board->codes(),
            Codes({"64", "65", "60", "61", "62", "63", "66", "66", "20", "66", "31", "52", "66"}));
    QVERIFY(gapMs(*board, 7, 8) >= Printer::LAYER_MOVE_PAUSE_MS - 20);
    QVERIFY(gapMs(*board, 11, 12) >= Printer::RELEASE_PAUSE_MS - 20);
}

void TestPrinter::commandsNeedReadyPort()
{
    // Open without the line settings: every command would reach the board.
    const auto board = start();
    Printer printer(board->devicePath());
    printer.setPortName(board->devicePath());
    QVERIFY(printer.open(QIODevice::ReadWrite) && !printer.isReady());
    QVERIFY(!printer.goUp(300, true) && !printer.goDown(300, false, true)
            && !printer.subMergeIntoResin() && !printer.emergeFromResin() && !printer.abortPrint()
            && !printer.testConnection() && !printer.isMoving());
    printer.changeProgBarLed(0);
    printer.turnOffLeds();
    printer.printFinished();
    printer.printingMovement(100, true);
    QTest::qWait(50);
    QVERIFY(board->codes().isEmpty());
}

QTEST_GUILESS_MAIN(TestPrinter)
#include "tst_printer.moc"
