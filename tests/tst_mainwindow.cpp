#include <functional>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "gui/printingpage.h"
#include "slicing/slicer.h"
#include "slicing/slicingprogress.h"
#include "tests/testsupport.h"
#include "tests/windowsupport.h"

using WindowSupport::TestWindow;

namespace {

// Does `action` once, when the slicing run reports its first plane.
class ActionAtFirstPlane : public SlicingProgress
{
public:
    std::function<void()> action;
    void setValue(int) override
    {
        if (action)
            std::exchange(action, nullptr)();
    }
    bool wasCanceled() const override { return false; }
};

const QString WARNING = QStringLiteral(
        "Warning Kelvarome: Remember to SHUTDOWN videoprojector or it will destroy the resin");
const QString QUESTION = QStringLiteral("Question Alert: Are you sure you want to quit?");

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void pagesAndPrintingControls();
    void aboutOpensANewBoxEachTime();
    void calibrationAndLayerTestWithoutProjector();
    void quittingWhileSlicingAsksFirst();
    // Last: the application's event loop ends here.
    void closingWarnsAndStopsTheCheck();
};

void TestMainWindow::pagesAndPrintingControls()
{
    TestWindow test;
    auto *stacked = test.find<QStackedWidget>("stackedWidget");
    QCOMPARE(stacked->currentIndex(), 0);
    for (const auto &[button, page] : {std::pair{"btnGoToCalibration", 1},
                                       {"btnGoToPrinting", 2},
                                       {"btnBackToCalibration", 1},
                                       {"btnBackTo3D", 0}}) {
        auto *clicked = test.find<QPushButton>(button);
        QVERIFY(stacked->currentWidget()->isAncestorOf(clicked));
        clicked->click();
        QCOMPARE(stacked->currentIndex(), page);
    }
    // The same walk from the keyboard; a key past the last page changes nothing.
    test.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(test.window.get()));
    QApplication::setActiveWindow(test.window.get());
    for (const auto &[key, page] : {std::pair{Qt::Key_PageDown, 1},
                                    {Qt::Key_PageDown, 2},
                                    {Qt::Key_PageDown, 2},
                                    {Qt::Key_PageUp, 1},
                                    {Qt::Key_PageUp, 0},
                                    {Qt::Key_PageUp, 0}}) {
        QTest::keyClick(test.window.get(), key, Qt::ControlModifier);
        QTRY_COMPARE(stacked->currentIndex(), page); // a shortcut animates the click
    }

    // The print's rows and buttons follow the switch, nested layouts included; Start Printing
    // and Test Layers the opposite; the curing time stays usable.
    auto enabled = [&test](const char *name) { return test.find(name)->isEnabled(); };
    const char *const printRows[] = {"lblDesProgress", "lblNrFrames", "lblRemaining",
                                     "lblETA",         "btnAbort",    "btnPause",
                                     "btnCheck",       "progBarFrame"};
    for (const char *name : printRows)
        QVERIFY2(!enabled(name), name);
    QVERIFY(enabled("btnStartPrinting") && enabled("btnTestLayers"));
    test.find<PrintingPage>()->togglePrintingControls(true);
    for (const char *name : printRows)
        QVERIFY2(enabled(name), name);
    QVERIFY(!enabled("btnStartPrinting") && !enabled("btnTestLayers")
            && enabled("spinFramesDelay"));
}

void TestMainWindow::aboutOpensANewBoxEachTime()
{
    TestWindow test;
    test.window->about();
    test.window->about();
    QList<QWidget *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->windowTitle() == "About")
            boxes.append(widget);
    }
    QCOMPARE(boxes.size(), 2);
    QVERIFY(!boxes.first()->parent() && !boxes.first()->isModal());
    auto *mail = boxes.first()->findChild<QLabel *>("lblMail");
    QVERIFY(mail->text().contains("?subject=BugReport&body=Dear Devs,%0D%0A\""));
    QVERIFY(mail->openExternalLinks());
    qDeleteAll(boxes);
}

// The offscreen platform has a single screen: no projector.
void TestMainWindow::calibrationAndLayerTestWithoutProjector()
{
    TestWindow test;
    test.find<QPushButton>("btnCalibration")->click();
    // The layer test needs a job file, then the projector; both buttons stay usable.
    test.find<QLineEdit>("leLoadVek")->setText("gone.vek");
    test.find<QPushButton>("btnTestLayers")->click();
    const QString job = test.home.filePath("cube.vek");
    TestSupport::writeFile(job, "[SourceImage]\nbasename=cube\nlastframe=3\npath=/\nzcut=100\n");
    test.find<PrintingPage>()->setVekFilePath(job);
    test.find<QPushButton>("btnTestLayers")->click();
    const QString refused = "Warning Kelvarome: Print Preview cannot be started!\n Please ";
    QCOMPARE(test.dialogs->shown,
             (QStringList{"Critical Kelvarome: No projector detected!",
                          refused + "specify a .vek file to be simulated.",
                          refused + "ensure that the projector is connected."}));
    QVERIFY(test.find("btnCalibration")->isEnabled() && test.find("btnTestLayers")->isEnabled()
            && test.find("btnStartPrinting")->isEnabled());
}

void TestMainWindow::quittingWhileSlicingAsksFirst()
{
    TestWindow test;
    test.window->show();
    QTemporaryDir runs;
    SliceRequest request;
    request.modelFile = QStringLiteral(SHARED_MODELS_DIR "/prusa_i3_extruder-body.stl");
    request.outputRoot = runs.path() + '/';
    auto *slicer = test.find<Slicer>();
    ActionAtFirstPlane progress;
    slicer->setProgress(&progress);
    QString error;

    // Closing the window asks with No as the default; No keeps the window and the run going.
    test.dialogs->answers = {QMessageBox::No};
    progress.action = [&test] { test.window->close(); };
    QVERIFY2(slicer->engage(request, error), qPrintable(error));
    QCOMPARE(test.dialogs->shown, QStringList{QUESTION});
    QCOMPARE(test.dialogs->defaultButtons, {QMessageBox::No});
    QVERIFY(test.window->isVisible());

    // The menu's Quit asks with Yes as the default; Yes runs the quit sequence.
    test.dialogs->answers = {QMessageBox::Yes};
    progress.action = [&test] { test.window->on_stlActionQuit(); };
    QVERIFY2(slicer->engage(request, error), qPrintable(error));
    QCOMPARE(test.dialogs->shown, (QStringList{QUESTION, QUESTION, WARNING}));
    QCOMPARE(test.dialogs->defaultButtons.at(1), QMessageBox::Yes);
}

void TestMainWindow::closingWarnsAndStopsTheCheck()
{
    // Nothing is under way: no question, but the projector warning always, and the event loop
    // ends.
    TestWindow test;
    test.window->show();
    test.window->printerCheckTimer()->start();
    QTimer::singleShot(0, test.window.get(), &QWidget::close);
    QTimer::singleShot(10000, test.window.get(), [] { QCoreApplication::exit(1); });
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(test.dialogs->shown, QStringList{WARNING});
    QVERIFY(!test.window->isVisible());
    QVERIFY(!test.window->printerCheckTimer()->isActive());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
