#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include "app/mainwindow.h"
#include "app/soundplayer.h"
#include "printer/virtualprinter.h"
#include "settings/settingsvalues.h"

namespace {

struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon;
};

// Closes every message box that comes up with its first button and remembers what it showed.
class MessageBoxCloser : public QObject
{
public:
    MessageBoxCloser()
    {
        connect(&poll, &QTimer::timeout, this, &MessageBoxCloser::closeVisibleBoxes);
        poll.start(20);
    }

    QList<ShownBox> boxes;

private:
    void closeVisibleBoxes()
    {
        const QWidgetList widgets = QApplication::topLevelWidgets();
        for (QWidget *widget : widgets) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible())
                continue;
            boxes.append({box->windowTitle(), box->text(), box->icon()});
            box->buttons().first()->click();
        }
    }

    QTimer poll;
};

std::unique_ptr<VirtualPrinterThread> startVirtualPrinter(bool silent = false)
{
    VirtualPrinterBehaviour behaviour;
    behaviour.silent = silent;
    auto printer = std::make_unique<VirtualPrinterThread>(behaviour);
    QString error;
    if (!printer->start(error))
        qFatal("cannot start a virtual printer: %s", qPrintable(error));
    return printer;
}

const QList<QByteArray> HANDSHAKE = {"10", "12"};

} // namespace

class TestConnectionPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void init();
    void cleanup();
    void startUpConnectsTheOnlyPrinter();
    void scanFindingNothing();
    void twoPrintersWaitForTheUsersChoice();
    void jogButtonsAndShortcuts();
    void threeFailedChecksEndInSilentRescan();
    void quittingClosesTheConnection();

private:
    MainWindow *createWindow(const QStringList &ports);
    template <typename T>
    T *widget(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    MainWindow *window = nullptr;
    SilentSoundPlayer *sounds = nullptr;
    std::unique_ptr<MessageBoxCloser> closer;
};

void TestConnectionPage::init()
{
    closer = std::make_unique<MessageBoxCloser>();
    SETTINGS_SOUNDS_ON = true;
}

void TestConnectionPage::cleanup()
{
    delete window;
    window = nullptr;
    closer.reset();
    SETTINGS_SOUNDS_ON = false;
}

MainWindow *TestConnectionPage::createWindow(const QStringList &ports)
{
    MainWindow::overridePrinterPorts(ports);
    auto player = std::make_unique<SilentSoundPlayer>();
    sounds = player.get();
    window = new MainWindow(std::move(player));
    return window;
}

void TestConnectionPage::startUpConnectsTheOnlyPrinter()
{
    const auto silentPort = startVirtualPrinter(true);
    const auto board = startVirtualPrinter();
    createWindow({silentPort->devicePath(), board->devicePath()});

    QVERIFY(closer->boxes.isEmpty());
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("Printer automatically detected."));
    QCOMPARE(board->codes(), HANDSHAKE + HANDSHAKE); // scan, then connection
    auto *ports = widget<QComboBox>("cboArduinoPorts");
    QCOMPARE(ports->count(), 1);
    QCOMPARE(ports->itemText(0), board->devicePath());
    QVERIFY(!ports->isEnabled());
    QVERIFY(widget<QPushButton>("btnScanPrinter")->isEnabled());
    QVERIFY(!widget<QPushButton>("btnConnectPrinter")->isEnabled());
    QVERIFY(widget<QGroupBox>("grpBoxUpDown")->isEnabled());
    QVERIFY(widget<QPushButton>("btnUp")->isEnabled());
    QVERIFY(widget<QPushButton>("btnDown")->isEnabled());
    QVERIFY(window->printerCheckTimer()->isActive());
    QCOMPARE(window->printerCheckTimer()->interval(), 11000);

    // A healthy printer passes the check with one model query.
    board->clearReceived();
    window->on_sltCheckPrinter();
    QCOMPARE(board->codes(), QList<QByteArray>{"12"});
    QVERIFY(window->printerCheckTimer()->isActive());
}

void TestConnectionPage::scanFindingNothing()
{
    const auto silentPort = startVirtualPrinter(true);
    createWindow({silentPort->devicePath(), QStringLiteral("/dev/kelvarome-no-such-port")});

    // At start-up nothing is said.
    QVERIFY(closer->boxes.isEmpty());
    QVERIFY(sounds->played().isEmpty());
    QCOMPARE(widget<QComboBox>("cboArduinoPorts")->count(), 0);
    QVERIFY(!widget<QPushButton>("btnConnectPrinter")->isEnabled());
    QVERIFY(!widget<QGroupBox>("grpBoxUpDown")->isEnabled());
    QVERIFY(!window->printerCheckTimer()->isActive());

    // The Scan button says it, with the error sound first.
    QTest::mouseClick(widget<QPushButton>("btnScanPrinter"), Qt::LeftButton);
    QCOMPARE(closer->boxes.size(), 1);
    QCOMPARE(closer->boxes.at(0).title, QStringLiteral("Kelvarome"));
    QCOMPARE(closer->boxes.at(0).text, QStringLiteral("No printer detected!"));
    QCOMPARE(closer->boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(sounds->played(), QStringList{SoundPlayer::resourcePath(SoundPlayer::Sound::Error)});
}

void TestConnectionPage::twoPrintersWaitForTheUsersChoice()
{
    const auto first = startVirtualPrinter();
    const auto second = startVirtualPrinter();
    createWindow({first->devicePath(), second->devicePath()});

    auto *ports = widget<QComboBox>("cboArduinoPorts");
    auto *connectButton = widget<QPushButton>("btnConnectPrinter");
    QCOMPARE(ports->count(), 2);
    QCOMPARE(ports->currentIndex(), 0);
    QVERIFY(ports->isEnabled());
    QVERIFY(connectButton->isEnabled());
    QVERIFY(widget<QGroupBox>("grpBoxUpDown")->isEnabled());
    QVERIFY(!window->printerCheckTimer()->isActive());
    QCOMPARE(first->codes(), HANDSHAKE);
    QCOMPARE(second->codes(), HANDSHAKE);

    ports->setCurrentIndex(1);
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QCOMPARE(second->codes(), HANDSHAKE + HANDSHAKE);
    QCOMPARE(closer->boxes.size(), 1);
    QCOMPARE(closer->boxes.at(0).text, QStringLiteral("Printer successfully connected!"));
    QCOMPARE(closer->boxes.at(0).icon, QMessageBox::Information);
    QVERIFY(!ports->isEnabled());
    QVERIFY(!connectButton->isEnabled());
    QVERIFY(window->printerCheckTimer()->isActive());

    // Choosing the first entry again makes the first printer current.
    ports->setCurrentIndex(0);
    window->on_btnConnectPrinter_clicked();
    QCOMPARE(first->codes(), HANDSHAKE + HANDSHAKE);

    // A printer that went away: the user is told, nothing else changes.
    second->hangUp();
    ports->setCurrentIndex(1);
    window->on_btnConnectPrinter_clicked();
    QCOMPARE(closer->boxes.size(), 3);
    QCOMPARE(closer->boxes.at(2).text,
             QStringLiteral("Printer NOT connected! Something gone wrong."));
    QCOMPARE(closer->boxes.at(2).icon, QMessageBox::Information);
    QVERIFY(!connectButton->isEnabled());
    QCOMPARE(sounds->played(),
             (QStringList{SoundPlayer::resourcePath(SoundPlayer::Sound::Success),
                          SoundPlayer::resourcePath(SoundPlayer::Sound::Success),
                          SoundPlayer::resourcePath(SoundPlayer::Sound::Error)}));
}

void TestConnectionPage::jogButtonsAndShortcuts()
{
    const auto board = startVirtualPrinter();
    createWindow({board->devicePath()});
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    board->clearReceived();

    // Up twice within the release time: one release, 3200 ms after the second move.
    QTest::keyClick(window, Qt::Key_Up);
    QTRY_COMPARE(board->codes(), QList<QByteArray>{"50"});
    window->on_sltCheckPrinter(); // skipped while the plate moves
    QTest::qWait(300);
    QTest::mouseClick(widget<QPushButton>("btnUp"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(board->codes(), (QList<QByteArray>{"50", "50", "52"}), 4000);
    const QList<ReceivedCommand> received = board->received();
    const qint64 releaseGap = received.at(2).monotonicMs - received.at(1).monotonicMs;
    QVERIFY2(releaseGap >= 3180 && releaseGap < 3700, qPrintable(QString::number(releaseGap)));

    board->clearReceived();
    QTest::keyClick(window, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Down);
    QTest::mouseClick(widget<QPushButton>("btnDown"), Qt::LeftButton);
    QTRY_COMPARE(board->codes(), (QList<QByteArray>{"31", "41", "51", "51"}));
}

void TestConnectionPage::threeFailedChecksEndInSilentRescan()
{
    const auto board = startVirtualPrinter();
    const auto silentPort = startVirtualPrinter(true);
    createWindow({board->devicePath(), silentPort->devicePath()});
    QVERIFY(window->printerCheckTimer()->isActive());

    // The cable is pulled: two failed reconnections keep the check going.
    board->hangUp();
    MainWindow::overridePrinterPorts({silentPort->devicePath()});
    for (int check = 1; check <= 2; ++check) {
        window->on_sltCheckPrinter();
        QCOMPARE(window->statusBar()->currentMessage(),
                 QStringLiteral("Printer NOT connected! Something gone wrong."));
        QVERIFY(window->printerCheckTimer()->isActive());
    }
    QCOMPARE(silentPort->codes(), QList<QByteArray>{"10"}); // only the start-up scan

    // The third ends in a silent rescan, which finds nothing here, and the check stops.
    window->on_sltCheckPrinter();
    QCOMPARE(silentPort->codes(), (QList<QByteArray>{"10", "10"}));
    QVERIFY(!window->printerCheckTimer()->isActive());
    QVERIFY(!widget<QPushButton>("btnConnectPrinter")->isEnabled());
    QCOMPARE(widget<QComboBox>("cboArduinoPorts")->count(), 0);
    QVERIFY(closer->boxes.isEmpty());

    // A later rescan finds the printer on another port and connects to it.
    const auto replugged = startVirtualPrinter();
    MainWindow::overridePrinterPorts({replugged->devicePath()});
    window->scanPrinters(true);
    QCOMPARE(replugged->codes(), HANDSHAKE + HANDSHAKE);
    QVERIFY(window->printerCheckTimer()->isActive());
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("Printer automatically detected."));
}

void TestConnectionPage::quittingClosesTheConnection()
{
    const auto board = startVirtualPrinter();
    createWindow({board->devicePath()});
    board->clearReceived();

    window->on_stlActionQuit();
    QCOMPARE(closer->boxes.size(), 1); // the projector warning
    QTRY_COMPARE(board->codes(), QList<QByteArray>{"89"});
    QVERIFY(!window->printerCheckTimer()->isActive());
}

QTEST_MAIN(TestConnectionPage)
#include "tst_connectionpage.moc"
