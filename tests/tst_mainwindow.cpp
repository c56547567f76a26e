#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "app/constants.h"
#include "app/mainwindow.h"
#include "app/soundplayer.h"
#include "settings/settingsvalues.h"
#include "slicing/slicer.h"

namespace {

// Answers the next message box that comes up and remembers its title and text.
class MessageBoxAnswerer : public QObject
{
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton answer)
        : m_answer(answer)
    {
        connect(&m_poll, &QTimer::timeout, this, &MessageBoxAnswerer::answerVisibleBox);
        m_poll.start(20);
    }

    QStringList titles;
    QStringList texts;
    QList<QMessageBox::StandardButton> defaultButtons;

private:
    void answerVisibleBox()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible())
                continue;
            titles.append(box->windowTitle());
            texts.append(box->text());
            defaultButtons.append(box->standardButton(box->defaultButton()));
            // Boxes without the chosen answer (the projector warning) get their default button.
            QAbstractButton *button = box->button(m_answer);
            (button ? button : box->defaultButton())->click();
        }
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_poll;
};

// Runs the application's event loop, does `action` inside it and returns the loop's exit code:
// 0 when the action quit the application, 1 when nothing did within ten seconds.
int runEventLoopWith(const std::function<void()> &action)
{
    QObject scope;
    QTimer::singleShot(0, &scope, action);
    QTimer::singleShot(10000, &scope, [] { QCoreApplication::exit(1); });
    return QApplication::exec();
}

template <typename T>
T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("missing widget %s", name);
    return found;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void windowAndMenus();
    void initialWidgetStates();
    void pageNavigation();
    void groupSwitchesAndReset();
    void printingControlsToggle();
    void aboutDialog();
    void quitAlwaysWarnsAboutProjector();
    void closingTheWindowRunsTheQuitSequence();
    void quittingWhileSlicingAsksFirst();

private:
    MainWindow *window = nullptr;
};

void TestMainWindow::initTestCase()
{
    Q_INIT_RESOURCE(gui);
    // No serial port is probed: the window must not talk to whatever hangs on this machine.
    MainWindow::overridePrinterPorts({});
}

void TestMainWindow::init()
{
    window = new MainWindow(std::make_unique<SilentSoundPlayer>());
}

void TestMainWindow::cleanup()
{
    delete window;
    window = nullptr;
}

void TestMainWindow::windowAndMenus()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Kelvarome"));
    QCOMPARE(window->minimumSize(), QSize(998, 691));
    QCOMPARE(window->maximumSize(), QSize(998, 691));
    QCOMPARE(window->locale(), QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(window->styleSheet().contains(QStringLiteral("#78909c")));

    QStringList menuTitles;
    for (QAction *action : window->menuBar()->actions())
        menuTitles.append(action->text());
    QCOMPARE(menuTitles, (QStringList{"File", "Language", "?"}));

    auto *fileMenu = child<QMenu>(window, "menuFile");
    QStringList fileEntries;
    for (QAction *action : fileMenu->actions())
        fileEntries.append(action->isSeparator()
                                   ? QStringLiteral("-")
                                   : action->text() + (action->isVisible() ? "" : "(hidden)"));
    QCOMPARE(fileEntries,
             (QStringList{"Settings", "-", "Load Scene(hidden)", "Save Scene(hidden)", "-",
                          "Quit"}));

    QVERIFY(!window->printerCheckTimer()->isActive());
    QVERIFY(!window->printFrequencyTimer()->isActive());
    QVERIFY(!window->remainingTimeTimer()->isActive());
    QCOMPARE(window->printerCheckTimer()->interval(), 11000);
    QCOMPARE(window->printFrequencyTimer()->interval(), 500);
    QCOMPARE(window->remainingTimeTimer()->interval(), 1100);
}

void TestMainWindow::initialWidgetStates()
{
    window->show();
    auto *stacked = child<QStackedWidget>(window, "stackedWidget");
    QCOMPARE(stacked->count(), 3);
    QCOMPARE(stacked->currentIndex(), 0);

    auto *zIncrement = child<QComboBox>(window, "cboZIncrement");
    QCOMPARE(zIncrement->count(), 2);
    QCOMPARE(zIncrement->itemText(0), QStringLiteral("100"));
    QCOMPARE(zIncrement->itemText(1), QStringLiteral("50"));
    QCOMPARE(zIncrement->currentText(), QStringLiteral("100"));

    for (const char *name : {"btnReset",
                             "btnLoadScene",
                             "grpBoxAdvancedSettings",
                             "lePosX",
                             "lePosY",
                             "lePosZ",
                             "leRotX",
                             "leRotY",
                             "leRotZ",
                             "sliderRotZ",
                             "leScaleModel",
                             "btnResetRotation",
                             "btnApplyChanges",
                             "lblDesPosition",
                             "lblDesPosX",
                             "lblDesPosY",
                             "lblDesPosZ",
                             "lblDesRotation",
                             "lblDesRotX",
                             "lblDesRotY",
                             "lblDesSpin",
                             "lblDesScaleFactor",
                             "cboLineThickness",
                             "lblDesLayerThickness"}) {
        QWidget *widget = child<QWidget>(window, name);
        QVERIFY2(widget && widget->isHidden(), name);
    }

    struct SpinState
    {
        const char *name;
        int minimum, maximum, step, value;
    };
    const SpinState spins[] = {
            {"spinFramesDelay", 100, 60000, 100, SETTINGS_WAIT_TIME},
            {"spinBaseWaitTime", 100, 10000, 100, SETTINGS_BASE_TIME},
            {"spinPreMovement", 100, 5000, 100, SETTINGS_PRE_TIME},
            {"spinPostMovement", 100, 5000, 100, SETTINGS_POST_TIME},
            {"spinZoomFactor", 1, 100, 10, 10},
    };
    for (const SpinState &expected : spins) {
        auto *spin = child<QSpinBox>(window, expected.name);
        QVERIFY2(spin, expected.name);
        QCOMPARE(spin->minimum(), expected.minimum);
        QCOMPARE(spin->maximum(), expected.maximum);
        QCOMPARE(spin->singleStep(), expected.step);
        QCOMPARE(spin->value(), expected.value);
    }

    for (const char *name : {"grpBoxZoom", "btnShowGrid", "btnHideGrid", "spinZoomFactor",
                             "btnZoomIn", "btnZoomOut", "grpBoxUpDown", "cboArduinoPorts",
                             "btnConnectPrinter", "leLoadVek", "previewSlider", "btnRemoveStl"}) {
        QWidget *widget = child<QWidget>(window, name);
        QVERIFY2(widget && !widget->isEnabled(), name);
    }
    for (const char *name : {"btnScanPrinter", "btnLoadStl", "listView", "btnCalibration"})
        QVERIFY2(child<QWidget>(window, name)->isEnabled(), name);
    QVERIFY(child<QPushButton>(window, "btnReverseZoom")
                    ->QWidget::isEnabledTo(child<QWidget>(window, "grpBoxZoom")));

    QVERIFY(child<QPushButton>(window, "btnUp")->autoRepeat());
    QVERIFY(child<QPushButton>(window, "btnDown")->autoRepeat());
    QVERIFY(child<QPushButton>(window, "btnZoomIn")->autoRepeat());
    QVERIFY(child<QPushButton>(window, "btnZoomOut")->autoRepeat());
    QVERIFY(child<QCheckBox>(window, "checkBoxSuGiu")->isChecked());
    QCOMPARE(child<QSlider>(window, "previewSlider")->value(), 1);
    QCOMPARE(child<QProgressBar>(window, "progBarFrame")->maximum(), 6);
    QCOMPARE(child<QProgressBar>(window, "progBarFrame")->value(), 0);
    QCOMPARE(child<QProgressBar>(window, "progBarPrint")->value(), 0);
    QCOMPARE(child<QLabel>(window, "lblNrFrames")->text(), QStringLiteral("frame 0 of 0"));

    auto *table = child<QTableWidget>(window, "framesTimeTable");
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->columnCount(), 3);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Start Layer (Incl.)"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("End Layer (Incl.)"));
    QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Frame Time (ms)"));
    // The header will not go below the height its font needs.
    QCOMPARE(table->verticalHeader()->defaultSectionSize(),
             qMax(20, table->verticalHeader()->minimumSectionSize()));

    // The printing controls start off, which leaves Start Printing and Test Layers available.
    for (const char *name : {"lblNrFrames", "lblRemaining", "lblETA", "btnAbort", "btnPause",
                             "btnCheck", "progBarFrame", "progBarPrint"})
        QVERIFY2(!child<QWidget>(window, name)->isEnabled(), name);
    QVERIFY(child<QWidget>(window, "btnStartPrinting")->isEnabled());
    QVERIFY(child<QWidget>(window, "btnTestLayers")->isEnabled());
}

void TestMainWindow::pageNavigation()
{
    auto *stacked = child<QStackedWidget>(window, "stackedWidget");
    const struct
    {
        const char *button;
        QString text;
        int page;
    } steps[] = {
            {"btnGoToCalibration", "Go to Calibration ", 1},
            {"btnGoToPrinting", "Go to Printing", 2},
            {"btnBackToCalibration", "Back to Calibration", 1},
            {"btnBackTo3D", "Back to 3D", 0},
    };
    for (const auto &step : steps) {
        auto *button = child<QPushButton>(window, step.button);
        QCOMPARE(button->text(), step.text);
        QVERIFY(stacked->currentWidget()->isAncestorOf(button));
        button->click();
        QCOMPARE(stacked->currentIndex(), step.page);
    }
}

void TestMainWindow::groupSwitchesAndReset()
{
    auto *stl = child<QGroupBox>(window, "grpBoxStl");
    auto *vek = child<QGroupBox>(window, "grpBoxVek");
    window->on_grpBoxStl_clicked(true);
    QVERIFY(!vek->isEnabled());
    window->on_grpBoxStl_clicked(false);
    QVERIFY(vek->isEnabled());
    window->on_grpBoxVek_clicked(true);
    QVERIFY(!stl->isEnabled());
    window->on_grpBoxVek_clicked(false);
    QVERIFY(stl->isEnabled());

    auto *zIncrement = child<QComboBox>(window, "cboZIncrement");
    zIncrement->setCurrentIndex(1);
    window->on_btnReset_clicked();
    QCOMPARE(zIncrement->currentIndex(), 0);
}

void TestMainWindow::printingControlsToggle()
{
    window->togglePrintingControls(true);
    for (const char *name : {"lblDesProgress", "lblNrFrames", "lblRemaining", "lblETA", "btnAbort",
                             "btnPause", "btnCheck", "progBarFrame", "progBarPrint"})
        QVERIFY2(child<QWidget>(window, name)->isEnabled(), name);
    QVERIFY(!child<QWidget>(window, "btnStartPrinting")->isEnabled());
    QVERIFY(!child<QWidget>(window, "btnTestLayers")->isEnabled());
    // Controls outside the four rows are left alone.
    QVERIFY(child<QWidget>(window, "spinFramesDelay")->isEnabled());

    window->togglePrintingControls(false);
    QVERIFY(!child<QWidget>(window, "btnPause")->isEnabled());
    QVERIFY(!child<QWidget>(window, "lblDesETA")->isEnabled());
    QVERIFY(child<QWidget>(window, "btnStartPrinting")->isEnabled());
}

void TestMainWindow::aboutDialog()
{
    const auto before = QApplication::topLevelWidgets();
    window->about();
    window->about();
    QList<QDialog *> dialogs;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (dialog && !before.contains(widget) && dialog->windowTitle() == "About")
            dialogs.append(dialog);
    }
    QCOMPARE(dialogs.size(), 2); // a new one each time
    QDialog *dialog = dialogs.first();
    QVERIFY(!dialog->parent());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->findChild<QLabel *>("lblVersion")->text(), QStringLiteral("1.1.0"));
    const QString mail = dialog->findChild<QLabel *>("lblMail")->text();
    QVERIFY(mail.contains(QStringLiteral("?subject=BugReport&body=Dear Devs,%0D%0A\"")));
    QVERIFY(dialog->findChild<QLabel *>("lblMail")->openExternalLinks());
    QVERIFY(dialog->minimumSize() == QSize(250, 100) && dialog->maximumSize() == QSize(524, 300));
    qDeleteAll(dialogs);
}

void TestMainWindow::quitAlwaysWarnsAboutProjector()
{
    window->printerCheckTimer()->start();
    window->printFrequencyTimer()->start();
    window->remainingTimeTimer()->start();

    MessageBoxAnswerer answerer(QMessageBox::Ok);
    QCOMPARE(runEventLoopWith([this] { window->on_stlActionQuit(); }), 0);

    QCOMPARE(answerer.titles, QStringList{"Kelvarome"});
    QCOMPARE(answerer.texts,
             QStringList{"Remember to SHUTDOWN videoprojector or it will destroy the resin"});
    QVERIFY(!window->printerCheckTimer()->isActive());
    QVERIFY(!window->printFrequencyTimer()->isActive());
    QVERIFY(!window->remainingTimeTimer()->isActive());
}

void TestMainWindow::closingTheWindowRunsTheQuitSequence()
{
    window->show();
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    QCOMPARE(runEventLoopWith([this] { window->close(); }), 0);
    QCOMPARE(answerer.texts.size(), 1);
    QVERIFY(!window->isVisible());
}

void TestMainWindow::quittingWhileSlicingAsksFirst()
{
    window->show();
    auto *slicer = window->findChild<Slicer *>();
    QVERIFY(slicer);
    slicer->turnOnSlicing();

    {
        // Closing the window asks with No as the default; No keeps everything running.
        MessageBoxAnswerer answerer(QMessageBox::No);
        QCOMPARE(runEventLoopWith([this] {
                     window->close();
                     QTimer::singleShot(300, [] { QCoreApplication::exit(2); });
                 }),
                 2);
        QCOMPARE(answerer.titles, QStringList{"Alert"});
        QCOMPARE(answerer.texts, QStringList{"Are you sure you want to quit?"});
        QCOMPARE(answerer.defaultButtons, {QMessageBox::No});
        QVERIFY(window->isVisible());
    }
    {
        // The menu's Quit asks with Yes as the default; Yes runs the quit sequence.
        MessageBoxAnswerer answerer(QMessageBox::Yes);
        QCOMPARE(runEventLoopWith([this] { window->on_stlActionQuit(); }), 0);
        QCOMPARE(answerer.texts,
                 (QStringList{"Are you sure you want to quit?",
                              "Remember to SHUTDOWN videoprojector or it will destroy the resin"}));
        QCOMPARE(answerer.defaultButtons.first(), QMessageBox::Yes);
    }
    slicer->turnOffSlicing();
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
