#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include "app/mainwindow.h"
#include "app/soundplayer.h"
#include "printer/printer.h"
#include "settings/settingsvalues.h"
#include "tests/virtualprinters.h"

using namespace VirtualPrinters;

namespace {

const Codes HANDSHAKE = {"10", "12"};
const QStringList CONNECTED_CONTROLS = {"btnScanPrinter", "grpBoxUpDown", "btnUp", "btnDown"};
const QString NOT_CONNECTED = QStringLiteral("Printer NOT connected! Something gone wrong.");
const QString DETECTED = QStringLiteral("Printer automatically detected.");

} // namespace

class TestConnectionPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startUpConnectsTheOnlyPrinter();
    void twoPrintersWaitForTheUsersChoice();
    void jogButtonsAndShortcuts();
    void failedChecksRescanAndQuit();

private:
    // Closes every message box that comes up with its first button and notes it in `boxes` as
    // "<icon> <title>: <text>".
    void closeMessageBoxes();
    void createWindow(const QStringList &ports);
    template <typename T>
    T *widget(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QStringList portEntries() const;
    // The page's controls that are enabled, in page order.
    QStringList enabledControls() const;
    QString statusNote() const { return window->statusBar()->currentMessage(); }
    bool checking() const { return window->printerCheckTimer()->isActive(); }

    MainWindow *window = nullptr;
    SilentSoundPlayer *sounds = nullptr;
    QTimer boxPoll;
    QStringList boxes;
};

void TestConnectionPage::initTestCase()
{
    Q_INIT_RESOURCE(gui);
    connect(&boxPoll, &QTimer::timeout, this, &TestConnectionPage::closeMessageBoxes);
    boxPoll.start(20);
}

void TestConnectionPage::init()
{
    boxes.clear();
    SETTINGS_SOUNDS_ON = true;
}

void TestConnectionPage::cleanup()
{
    delete window;
    window = nullptr;
    SETTINGS_SOUNDS_ON = false;
}

void TestConnectionPage::closeMessageBoxes()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->isVisible()) {
            boxes << QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon())
                            + (' ' + box->windowTitle() + ": " + box->text());
            box->buttons().first()->click();
        }
    }
}

void TestConnectionPage::createWindow(const QStringList &ports)
{
    MainWindow::overridePrinterPorts(ports);
    auto player = std::make_unique<SilentSoundPlayer>();
    sounds = player.get();
    window = new MainWindow(std::move(player));
}

QStringList TestConnectionPage::portEntries() const
{
    const auto *ports = widget<QComboBox>("cboArduinoPorts");
    QStringList entries;
    for (int i = 0; i < ports->count(); ++i)
        entries << ports->itemText(i);
    return entries;
}

QStringList TestConnectionPage::enabledControls() const
{
    QStringList enabled;
    for (const char *name : {"cboArduinoPorts", "btnScanPrinter", "btnConnectPrinter",
                             "grpBoxUpDown", "btnUp", "btnDown"}) {
        if (widget<QWidget>(name)->isEnabled())
            enabled << QLatin1String(name);
    }
    return enabled;
}

void TestConnectionPage::startUpConnectsTheOnlyPrinter()
{
    const auto silentPort = startSilent();
    const auto board = start();
    createWindow({silentPort->devicePath(), board->devicePath()});
    QVERIFY(boxes.isEmpty());
    QCOMPARE(statusNote(), DETECTED);
    QCOMPARE(board->codes(), HANDSHAKE + HANDSHAKE); // scan, then connection
    QCOMPARE(portEntries(), QStringList{board->devicePath()});
    QCOMPARE(enabledControls(), CONNECTED_CONTROLS);
    QVERIFY(checking());

    // A healthy printer passes the check with one model query.
    board->clearReceived();
    window->on_sltCheckPrinter();
    QCOMPARE(board->codes(), Codes{"12"});
    QVERIFY(checking());
}

void TestConnectionPage::twoPrintersWaitForTheUsersChoice()
{
    const auto first = start();
    const auto second = start();
    createWindow({first->devicePath(), second->devicePath()});
    auto *ports = widget<QComboBox>("cboArduinoPorts");
    QCOMPARE(portEntries(), (QStringList{first->devicePath(), second->devicePath()}));
    QCOMPARE(ports->currentIndex(), 0);
    QCOMPARE(enabledControls().size(), 6);
    QVERIFY(!checking());
    QCOMPARE(first->codes(), HANDSHAKE);
    QCOMPARE(second->codes(), HANDSHAKE);
    QCOMPARE(window->findChildren<Printer *>().size(), 2);

    ports->setCurrentIndex(1);
    QTest::mouseClick(widget<QPushButton>("btnConnectPrinter"), Qt::LeftButton);
    QCOMPARE(second->codes(), HANDSHAKE + HANDSHAKE);
    QCOMPARE(enabledControls(), CONNECTED_CONTROLS);
    QVERIFY(checking());

    // Choosing the first entry again makes the first printer current.
    ports->setCurrentIndex(0);
    window->on_btnConnectPrinter_clicked();
    QCOMPARE(first->codes(), HANDSHAKE + HANDSHAKE);

    // A printer that went away: the user is told, nothing else changes.
    second->hangUp();
    ports->setCurrentIndex(1);
    window->on_btnConnectPrinter_clicked();
    QCOMPARE(enabledControls(), CONNECTED_CONTROLS);
    const QString connected =
            QStringLiteral("Information Kelvarome: Printer successfully connected!");
    QCOMPARE(boxes, (QStringList{connected, connected, "Information Kelvarome: " + NOT_CONNECTED}));
    QCOMPARE(sounds->played(),
             (QStringList{":/sounds/success.wav", ":/sounds/success.wav", ":/sounds/error.wav"}));
}

void TestConnectionPage::jogButtonsAndShortcuts()
{
    const auto board = start();
    createWindow({board->devicePath()});
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    board->clearReceived();

    // Up twice within the release time: one release, 3200 ms after the second move.
    QTest::keyClick(window, Qt::Key_Up);
    QTRY_COMPARE(board->codes(), Codes{"50"});
    window->on_sltCheckPrinter(); // skipped while the plate moves
    QTest::qWait(300);
    QTest::mouseClick(widget<QPushButton>("btnUp"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(board->codes(), Codes({"50", "50", "52"}), 4000);
    const qint64 releaseGap = gapMs(*board, 1, 2);
    QVERIFY2(releaseGap >= 3180 && releaseGap < 3700, qPrintable(QString::number(releaseGap)));

    board->clearReceived();
    QTest::keyClick(window, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Down);
    QTest::mouseClick(widget<QPushButton>("btnDown"), Qt::LeftButton);
    QTRY_COMPARE(board->codes(), Codes({"31", "41", "51", "51"}));
}

void TestConnectionPage::failedChecksRescanAndQuit()
{
    const auto board = start();
    const auto silentPort = startSilent();
    createWindow({board->devicePath(), silentPort->devicePath()});
    QVERIFY(checking());

    // The cable is pulled: two failed reconnections keep the check going.
    board->hangUp();
    MainWindow::overridePrinterPorts({silentPort->devicePath()});
    for (int check = 1; check <= 2; ++check) {
        window->on_sltCheckPrinter();
        QCOMPARE(statusNote(), NOT_CONNECTED);
        QVERIFY(checking());
    }
    QCOMPARE(silentPort->codes(), Codes{"10"}); // only the start-up scan

    // The third ends in a silent rescan, which finds nothing here, and the check stops.
    window->on_sltCheckPrinter();
    QCOMPARE(silentPort->codes(), Codes({"10", "10"}));
    QVERIFY(!checking());
    QVERIFY(portEntries().isEmpty());
    QCOMPARE(enabledControls(), CONNECTED_CONTROLS);
    QVERIFY(boxes.isEmpty());
    QVERIFY(sounds->played().isEmpty());

    // The Scan button says that nothing was found, with the error sound first.
    QTest::mouseClick(widget<QPushButton>("btnScanPrinter"), Qt::LeftButton);
    QCOMPARE(boxes, QStringList{"Critical Kelvarome: No printer detected!"});
    QCOMPARE(sounds->played(), QStringList{":/sounds/error.wav"});

    // A later rescan finds the printer on another port and connects to it.
    const auto replugged = start();
    MainWindow::overridePrinterPorts({replugged->devicePath()});
    window->scanPrinters(true);
    QCOMPARE(replugged->codes(), HANDSHAKE + HANDSHAKE);
    QVERIFY(checking());
    QCOMPARE(statusNote(), DETECTED);

    // Quitting (last: it ends the event loop) closes the connection after the projector warning.
    window->on_stlActionQuit();
    QCOMPARE(boxes.size(), 2);
    QTRY_COMPARE(replugged->codes(), HANDSHAKE + HANDSHAKE + Codes{"89"});
    QVERIFY(!checking());
}

QTEST_MAIN(TestConnectionPage)
#include "tst_connectionpage.moc"
