#include <memory>

#include <QElapsedTimer>
#include <QtTest>

#include "printer/printer.h"
#include "printer/serialcommands.h"
#include "printer/virtualprinter.h"

namespace {

std::unique_ptr<VirtualPrinterThread>
startVirtualPrinter(const VirtualPrinterBehaviour &behaviour = {})
{
    auto printer = std::make_unique<VirtualPrinterThread>(behaviour);
    QString error;
    if (!printer->start(error))
        qFatal("cannot start a virtual printer: %s", qPrintable(error));
    return printer;
}

// Gap in milliseconds between the i-th and the j-th command the virtual printer received.
qint64 gapMs(const VirtualPrinterThread &printer, int i, int j)
{
    const QList<ReceivedCommand> received = printer.received();
    return received.at(j).monotonicMs - received.at(i).monotonicMs;
}

} // namespace

class TestPrinter : public QObject
{
    Q_OBJECT

private slots:
    void openAndCloseConnection();
    void openConnectionRefusesOtherDevices();
    void motionCommands();
    void manualMovesReleaseAfterLastMove();
    void printMovesAndLeds();
    void commandsNeedReadyPort();
    void lostPrinterFailsTheTest();
    void scanNamesPrintersByLocation();
};

void TestPrinter::openAndCloseConnection()
{
    const auto board = startVirtualPrinter();
    Printer printer(board->devicePath());
    QCOMPARE(printer.getPortName(), board->devicePath());
    QVERIFY(!printer.isOpen());
    QVERIFY(printer.closeConnection()); // nothing to close

    QVERIFY(printer.openConnection());
    QVERIFY(printer.isOpen());
    QVERIFY(printer.isReady());
    QVERIFY(printer.testConnection());

    QVERIFY(printer.closeConnection());
    QVERIFY(!printer.isOpen());
    QVERIFY(printer.isReady()); // left as it was
    QCOMPARE(board->codes(), (QList<QByteArray>{"10", "12", "12", "89"}));
}

void TestPrinter::openConnectionRefusesOtherDevices()
{
    Printer unnamed{QString()};
    QString error;
    QVERIFY(!unnamed.openConnection(error));
    QVERIFY(!error.isEmpty());

    Printer missing(QStringLiteral("/dev/kelvarome-no-such-port"));
    error.clear();
    QVERIFY(!missing.openConnection(error));
    QVERIFY2(error.contains(QLatin1String("cannot open")), qPrintable(error));

    VirtualPrinterBehaviour otherModel;
    otherModel.modelAnswer = "Other";
    const auto other = startVirtualPrinter(otherModel);
    Printer printer(other->devicePath());
    error.clear();
    QVERIFY(!printer.openConnection(error));
    QVERIFY(!printer.isOpen());
    QVERIFY2(error.contains(QLatin1String("\"Other\"")), qPrintable(error));
}

void TestPrinter::motionCommands()
{
    const auto board = startVirtualPrinter();
    Printer printer(board->devicePath());
    QVERIFY(printer.openConnection());
    board->clearReceived();

    const int distances[] = {25, 50, 75, 100, 300, 200, 0};
    for (int distance : distances) {
        printer.move(+1, distance, false, false);
        printer.move(-1, distance, false, false);
        printer.move(-1, distance, false, true);
        printer.move(0, distance, false, true);
        QVERIFY(!printer.isMoving());
    }
    const QList<QByteArray> expected = {"42", "32", "22", "41", "31", "21", "77", "76",
                                        "75", "40", "30", "20", "50", "51", "51"};
    QTRY_COMPARE(board->codes(), expected);

    QVERIFY(printer.subMergeIntoResin());
    QVERIFY(printer.emergeFromResin());
    QVERIFY(!printer.isMoving());
    QTRY_COMPARE(board->codes().mid(expected.size()), (QList<QByteArray>{"51", "50"}));
}

void TestPrinter::manualMovesReleaseAfterLastMove()
{
    const auto board = startVirtualPrinter();
    Printer printer(board->devicePath());
    QVERIFY(printer.openConnection());
    board->clearReceived();

    QVERIFY(printer.goUp(300, true));
    QVERIFY(printer.isMoving());
    QTest::qWait(1000);
    QVERIFY(printer.goUp(300, true));
    QVERIFY(printer.isMoving());
    // Past the release time of the first move, well before that of the second.
    QTest::qWait(Printer::RELEASE_DELAY_MS - 800);
    QVERIFY(printer.isMoving());
    QTRY_VERIFY_WITH_TIMEOUT(!printer.isMoving(), 1500);
    QTRY_COMPARE(board->codes(), (QList<QByteArray>{"50", "50", "52"}));
    const qint64 releaseGap = gapMs(*board, 1, 2);
    const bool releasedOnTime = releaseGap >= Printer::RELEASE_DELAY_MS - 20
            && releaseGap < Printer::RELEASE_DELAY_MS + 500;
    QVERIFY2(releasedOnTime, qPrintable(QString::number(releaseGap)));

    // The fine move down is a plain step, never the up/down movement.
    QVERIFY(printer.goDown(50, false, true));
    QVERIFY(printer.isMoving());
    QTRY_COMPARE(board->codes().mid(3), QList<QByteArray>{"31"});
}

void TestPrinter::printMovesAndLeds()
{
    const auto board = startVirtualPrinter();
    Printer printer(board->devicePath());
    QVERIFY(printer.openConnection());
    board->clearReceived();

    for (int stage = -1; stage <= Printer::LED_STAGES; ++stage)
        printer.changeProgBarLed(stage);
    printer.turnOffLeds();
    QTRY_COMPARE(board->codes(), (QList<QByteArray>{"64", "65", "60", "61", "62", "63", "66"}));
    board->clearReceived();

    // Layer change: LEDs off, a second's pause, one step down; no release afterwards.
    printer.printingMovement(100, true);
    printer.printingMovement(50, false);
    printer.printingMovement(60, false);
    QVERIFY(!printer.isMoving());
    QVERIFY(printer.abortPrint());
    QTRY_COMPARE(board->codes(), (QList<QByteArray>{"66", "20", "66", "31", "66", "52", "66"}));
    QVERIFY(gapMs(*board, 0, 1) >= Printer::LAYER_MOVE_PAUSE_MS - 20);
    QVERIFY(gapMs(*board, 5, 6) >= Printer::RELEASE_PAUSE_MS - 20);
}

void TestPrinter::commandsNeedReadyPort()
{
    const auto board = startVirtualPrinter();
    Printer printer(board->devicePath()); // never connected
    QVERIFY(!printer.isReady());
    QVERIFY(!printer.goUp(300, true));
    QVERIFY(!printer.goDown(300, false, true));
    QVERIFY(!printer.isMoving());
    QVERIFY(!printer.subMergeIntoResin());
    QVERIFY(!printer.emergeFromResin());
    QVERIFY(!printer.abortPrint());
    QVERIFY(!printer.testConnection());
    printer.changeProgBarLed(0);
    printer.turnOffLeds();
    printer.printFinished();
    printer.releaseMtr();
    QTest::qWait(50);
    QVERIFY(board->codes().isEmpty());
}

void TestPrinter::lostPrinterFailsTheTest()
{
    const auto board = startVirtualPrinter();
    Printer printer(board->devicePath());
    QVERIFY(printer.openConnection());
    QVERIFY(printer.goUp(300, true));

    // Cable pulled during the release wait: nothing hangs, the port closes, the test fails and
    // the connection cannot be opened again.
    board->hangUp();
    QTRY_VERIFY_WITH_TIMEOUT(!printer.isOpen(), 1000);
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!printer.testConnection());
    QVERIFY(elapsed.elapsed() < 200);
    QTRY_VERIFY_WITH_TIMEOUT(!printer.isMoving(), Printer::RELEASE_DELAY_MS + 500);
    QVERIFY(!printer.openConnection());
    QVERIFY(!printer.isReady());
}

void TestPrinter::scanNamesPrintersByLocation()
{
    const auto first = startVirtualPrinter();
    const auto second = startVirtualPrinter();
    QObject parent;
    const QList<Printer *> printers = Printer::scanForPrinters(
            {first->devicePath(), QStringLiteral("/dev/kelvarome-no-such-port"),
             second->devicePath()},
            &parent);
    QCOMPARE(printers.size(), 2);
    QCOMPARE(printers.at(0)->getPortName(), first->devicePath());
    QCOMPARE(printers.at(1)->getPortName(), second->devicePath());
    for (Printer *printer : printers) {
        QCOMPARE(printer->parent(), &parent);
        QVERIFY(!printer->isOpen());
    }
}

QTEST_GUILESS_MAIN(TestPrinter)
#include "tst_printer.moc"
