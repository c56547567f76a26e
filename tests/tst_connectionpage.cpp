#include <QComboBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "base/settingsvalues.h"
#include "gui/calibrationpage.h"
#include "tests/virtualprinters.h"
#include "tests/windowsupport.h"

using namespace VirtualPrinters;
using WindowSupport::TestWindow;

namespace {

const Codes HANDSHAKE = {"10", "12"};
const QStringList CONNECTED_CONTROLS = {"btnScanPrinter", "grpBoxUpDown", "btnUp", "btnDown"};
const QString NOT_CONNECTED = QStringLiteral("Printer NOT connected! Something gone wrong.");
const QString DETECTED = QStringLiteral("Printer automatically detected.");
const QString CONNECTED = QStringLiteral("Information Kelvarome: Printer successfully connected!");

QStringList portEntries(const TestWindow &test)
{
    const auto *combo = test.find<QComboBox>("cboArduinoPorts");
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}

// The page's connection controls that are enabled, in page order.
QStringList enabledControls(const TestWindow &test)
{
    QStringList enabled;
    for (const char *name : {"cboArduinoPorts", "btnScanPrinter", "btnConnectPrinter",
                             "grpBoxUpDown", "btnUp", "btnDown"}) {
        if (test.find(name)->isEnabled())
            enabled << QLatin1String(name);
    }
    return enabled;
}

QString statusNote(const TestWindow &test)
{
    return test.window->statusBar()->currentMessage();
}

bool checking(const TestWindow &test)
{
    return test.window->printerCheckTimer()->isActive();
}

void click(const TestWindow &test, const char *button)
{
    QTest::mouseClick(test.find<QPushButton>(button), Qt::LeftButton);
}

} // namespace

// The connection page of the main window against virtual boards on pseudo-terminals.
class TestConnectionPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void startUpConnectsTheOnlyPrinter();
    void twoPrintersWaitForTheUsersChoice();
    void jogButtonsAndShortcuts();
    void failedChecksReconnectOrRescan();
};

void TestConnectionPage::startUpConnectsTheOnlyPrinter()
{
    const auto silentPort = startSilent();
    const auto board = start();
    TestWindow test({silentPort->devicePath(), board->devicePath()});
    QVERIFY(test.dialogs->shown.isEmpty());
    QCOMPARE(statusNote(test), DETECTED);
    QCOMPARE(board->codes(), HANDSHAKE + HANDSHAKE); // scan, then connection
    QCOMPARE(portEntries(test), QStringList{board->devicePath()});
    QCOMPARE(enabledControls(test), CONNECTED_CONTROLS);
    QVERIFY(checking(test));

    // A healthy printer passes the check with one model query.
    board->clearReceived();
    test.find<CalibrationPage>()->on_sltCheckPrinter();
    QCOMPARE(board->codes(), Codes{"12"});

    // Scan closes the open connection before probing, so the printer is found again.
    board->clearReceived();
    click(test, "btnScanPrinter");
    QCOMPARE(board->codes(), Codes{"89"} + HANDSHAKE + HANDSHAKE);
    QCOMPARE(test.dialogs->shown, QStringList{CONNECTED});
}

void TestConnectionPage::twoPrintersWaitForTheUsersChoice()
{
    const auto first = start();
    const auto second = start();
    TestWindow test({first->devicePath(), second->devicePath()});
    SETTINGS_SOUNDS_ON = true;
    auto *combo = test.find<QComboBox>("cboArduinoPorts");
    QCOMPARE(portEntries(test), (QStringList{first->devicePath(), second->devicePath()}));
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(enabledControls(test).size(), 6);
    QVERIFY(!checking(test));
    QCOMPARE(first->codes() + second->codes(), HANDSHAKE + HANDSHAKE);

    // The second went away before the user chose it: the user is told, nothing changes.
    second->hangUp();
    combo->setCurrentIndex(1);
    click(test, "btnConnectPrinter");
    QCOMPARE(enabledControls(test).size(), 6);
    QVERIFY(!checking(test));

    // Choosing the first entry again connects the first printer.
    combo->setCurrentIndex(0);
    click(test, "btnConnectPrinter");
    QCOMPARE(first->codes(), HANDSHAKE + HANDSHAKE);
    QCOMPARE(enabledControls(test), CONNECTED_CONTROLS);
    QVERIFY(checking(test));
    QCOMPARE(test.dialogs->shown,
             (QStringList{"Information Kelvarome: " + NOT_CONNECTED, CONNECTED}));
    QCOMPARE(test.sounds->played, (QStringList{":/sounds/error.wav", ":/sounds/success.wav"}));
}

void TestConnectionPage::jogButtonsAndShortcuts()
{
    const auto board = start();
    TestWindow test({board->devicePath()});
    MainWindow *window = test.window.get();
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    board->clearReceived();

    // Up twice within the release time: one release, 3200 ms after the second move.
    QTest::keyClick(window, Qt::Key_Up);
    QTRY_COMPARE(board->codes(), Codes{"50"});
    test.find<CalibrationPage>()->on_sltCheckPrinter(); // skipped while the plate moves
    QTest::qWait(300);
    click(test, "btnUp");
    QTRY_COMPARE_WITH_TIMEOUT(board->codes(), Codes({"50", "50", "52"}), 4000);
    const qint64 releaseGap = gapMs(*board, 1, 2);
    QVERIFY2(releaseGap >= 3180 && releaseGap < 3700, qPrintable(QString::number(releaseGap)));

    board->clearReceived();
    QTest::keyClick(window, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Down);
    click(test, "btnDown");
    QTRY_COMPARE(board->codes(), Codes({"31", "41", "51", "51"}));
}

void TestConnectionPage::failedChecksReconnectOrRescan()
{
    // The printer is reached through a link, as udev names adapters; a board plugged in again
    // appears behind the same link.
    QTemporaryDir dir;
    const QString link = dir.filePath("printer");
    auto board = start();
    QVERIFY(QFile::link(board->devicePath(), link));
    const auto silentPort = startSilent();
    TestWindow test({link, silentPort->devicePath()});
    SETTINGS_SOUNDS_ON = true;
    auto *page = test.find<CalibrationPage>();
    QVERIFY(checking(test));

    // Two failed checks, then a reconnection, which clears the count: two more failures do not
    // rescan yet.
    auto failCheck = [&] {
        page->on_sltCheckPrinter();
        QCOMPARE(statusNote(test), NOT_CONNECTED);
        QVERIFY(checking(test));
    };
    board->hangUp();
    failCheck();
    failCheck();
    board = start();
    QVERIFY(QFile::remove(link) && QFile::link(board->devicePath(), link));
    page->on_sltCheckPrinter();
    QCOMPARE(statusNote(test), DETECTED);
    QCOMPARE(board->codes(), HANDSHAKE);
    board->hangUp();
    failCheck();
    failCheck();
    QCOMPARE(silentPort->codes(), Codes{"10"}); // only the start-up scan

    // The third failure in a row ends in a silent rescan, which finds nothing, and stops the
    // check.
    test.ports = QStringList{silentPort->devicePath()};
    page->on_sltCheckPrinter();
    QCOMPARE(silentPort->codes(), Codes({"10", "10"}));
    QVERIFY(!checking(test));
    QVERIFY(portEntries(test).isEmpty());
    QVERIFY(test.dialogs->shown.isEmpty() && test.sounds->played.isEmpty());

    // The Scan button says that nothing was found, with the error sound first.
    click(test, "btnScanPrinter");
    QCOMPARE(test.dialogs->shown, QStringList{"Critical Kelvarome: No printer detected!"});
    QCOMPARE(test.sounds->played, QStringList{":/sounds/error.wav"});

    // A later rescan finds the printer on another port and connects to it; quitting closes it.
    const auto replugged = start();
    test.ports = QStringList{replugged->devicePath()};
    page->scanPrinters(true);
    QCOMPARE(replugged->codes(), HANDSHAKE + HANDSHAKE);
    QVERIFY(checking(test));
    test.window->quitEvent();
    QCOMPARE(replugged->codes(), HANDSHAKE + HANDSHAKE + Codes{"89"});
    QVERIFY(!checking(test));
}

QTEST_MAIN(TestConnectionPage)
#include "tst_connectionpage.moc"
