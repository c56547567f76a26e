#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStorageInfo>
#include <QtTest>

#include "base/constants.h"
#include "base/settingsvalues.h"
#include "tests/testsupport.h"
#include "tests/windowsupport.h"
#include "view/stlviewer.h"

using namespace TestSupport;
using WindowSupport::TestWindow;

namespace {

QString label(const TestWindow &test, const char *name)
{
    return test.find<QLabel>(name)->text();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The model page on the X display, with its real 3D view: loading, figures, selection, editors,
// the Slice button, and files opened from outside.
class TestModelPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void loadSelectEditAndRemove();
    void sliceButtonWritesWhatTheToolWrites();
    void filesFromTheCommandLineAndDropped();
};

void TestModelPage::loadSelectEditAndRemove()
{
    TestWindow test;
    test.window->show();
    QTemporaryDir dir;
    const QString cube = dir.filePath("cube.stl");
    writeFile(cube, binaryStl(boxFacets(0, 0, 0, 10, 10, 10)));
    writeFile(dir.filePath("broken.stl"),
              "solid x facet normal 0 0 1 outer loop vertex 1 2 x "
              "vertex 1 2 3 vertex 4 5 6 endloop endfacet endsolid");

    // The STL folder cannot be made (a file stands in its way): the dialog starts in the
    // nearest folder that exists; a broken file is refused with the reader's reason.
    writeFile(dir.filePath("plain"), "x");
    STL_PATH_LOCATION = dir.filePath("plain/STL-Files/");
    test.dialogs->chosenPaths = QStringList{dir.filePath("broken.stl"), cube};
    auto *load = test.find<QPushButton>("btnLoadStl");
    load->click();
    QCOMPARE(test.dialogs->choosers, QStringList{"Loading .stl file in " + dir.path()});
    QCOMPARE(test.dialogs->shown.size(), 1);
    QVERIFY(test.dialogs->shown.first().startsWith(
            "Critical Kelvarome: The .stl file you provided is corrupted and therefore cannot be "
            "printed!\n\nbool STLReader::parseASCIIFile(QString &) ERRORE"));
    load->click();
    auto *list = test.find<QListWidget>("listView");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), cube);
    QCOMPARE(test.window->statusBar()->currentMessage(), QStringLiteral("File cube loaded!"));
    QVERIFY(!load->isEnabled() && test.find<STLViewer>()->modelCount() == 1);
    QCOMPARE(label(test, "lblBedConfigurationName"), QStringLiteral("cube"));
    QCOMPARE(label(test, "lblObjectHeight") + " " + label(test, "lblObjectMass") + " "
                     + label(test, "lblResinCost"),
             QStringLiteral("10.00 1.10 0.05"));

    // Another resin prices the same model; no selection shows the bed under its own name.
    test.find<QComboBox>("cboResins")->setCurrentText("Pentholac HS Teal");
    QCOMPARE(label(test, "lblResinCost"), QStringLiteral("0.09"));
    list->clearSelection();
    QCOMPARE(label(test, "lblBedConfigurationName"), QStringLiteral("Bed configuration"));
    QVERIFY(!test.find("lePosX")->isEnabled());

    // The editors work on the selected model: what they set shows when it is selected again.
    list->item(0)->setSelected(true);
    auto *posX = test.find<QLineEdit>("lePosX");
    auto *rotZ = test.find<QLineEdit>("leRotZ");
    posX->setText("12.5");
    emit posX->returnPressed();
    rotZ->setText("-90");
    emit rotZ->returnPressed();
    auto *scale = test.find<QLineEdit>("leScaleModel");
    scale->setText("3");
    emit scale->returnPressed();
    QCOMPARE(rotZ->text(), QStringLiteral("270"));
    QCOMPARE(test.find<QSlider>("sliderRotZ")->value(), 270);
    list->clearSelection();
    list->item(0)->setSelected(true);
    QCOMPARE(posX->text() + " " + rotZ->text() + " " + scale->text(),
             QStringLiteral("12.50 270 3"));

    // The plate holds one model: a second one is refused; removing the last clears the panel.
    test.window->openFiles({cube});
    QCOMPARE(test.dialogs->shown.last(),
             QStringLiteral("Warning Kelvarome: Remove the model on the plate before loading "
                            "another."));
    test.find<QPushButton>("btnRemoveStl")->click();
    QVERIFY(list->count() == 0 && test.find<STLViewer>()->modelCount() == 0);
    QVERIFY(load->isEnabled() && !list->isEnabled() && test.find("grpBoxInfo")->isHidden());
    QVERIFY(label(test, "lblObjectHeight").isEmpty());
}

void TestModelPage::sliceButtonWritesWhatTheToolWrites()
{
    TestWindow test;
    test.window->show();
    QTemporaryDir dir;
    const QString model = dir.filePath("tube.stl");
    writeFile(model, binaryStl(boxFacets(-10, -10, 0, 10, 10, 4)));
    test.window->openFiles({model});
    SLICER_WORKING_DIR = dir.filePath("window/");
    test.find<QComboBox>("cboZIncrement")->setCurrentText("50");
    QTest::mouseClick(test.find<QPushButton>("btnSlice"), Qt::LeftButton);
    QCOMPARE(test.dialogs->shown,
             QStringList{"Information Kelvarome: Slicing of tube completed! 80 resulting slices."});

    // The same documents as the command-line tool, plus the view's picture; the job is shown.
    QProcess tool;
    tool.start(KELVAROME_SLICE_EXE, {model, "--microns", "50", "--out", dir.filePath("tool")});
    QVERIFY(tool.waitForFinished(30000) && tool.exitCode() == 0);
    for (const char *document : {"tube.svg", "tube_preview.svg", "tube.vek"}) {
        QByteArray windows = readBytes(dir.filePath("window/tube_Z050/") + document);
        QCOMPARE(windows.replace("window/", "tool/"),
                 readBytes(dir.filePath("tool/tube_Z050/") + document));
    }
    const QImage thumbnail(dir.filePath("window/tube_Z050/tube.png"));
    const STLViewer *view = test.find<STLViewer>();
    QCOMPARE(thumbnail.size(), view->size() * view->devicePixelRatioF());
    QCOMPARE(label(test, "lblPrintTotalFrames"), QStringLiteral("80"));

    // A model that went away before Slice is a slicing error, with its sound.
    QFile::remove(model);
    SETTINGS_SOUNDS_ON = true;
    QTest::mouseClick(test.find<QPushButton>("btnSlice"), Qt::LeftButton);
    QVERIFY(test.dialogs->shown.last().startsWith("Critical Kelvarome: Slicing error: bool "
                                                  "Slicer::engage"));
    QCOMPARE(test.sounds->played, QStringList{":/sounds/error.wav"});

    // A model 200 km tall is shown, and its slicing refused at once as the layers would not fit
    // on the disk (a small one where it can be mounted): nothing is written.
    test.find<QPushButton>("btnRemoveStl")->click();
    const QString tall = dir.filePath("tall.stl");
    writeFile(tall,
              binaryStl(boxFacets(-10, -10, 0, 10, 10, 4)
                        << STLStruct{0, 0, 0, -10, -10, 0, 10, -10, 0, 0, 10, 2e8f}));
    test.window->openFiles({tall});
    SLICER_WORKING_DIR = dir.filePath("small/");
    const SmallDisk disk(SLICER_WORKING_DIR, 1 << 20);
    if (!disk.isMounted() && QStorageInfo(dir.path()).bytesAvailable() > qint64(350e9))
        QSKIP("The disk has room for the tall model's layers, and no small disk can be mounted.");
    QCOMPARE(label(test, "lblObjectHeight"), QStringLiteral("200000000.00"));
    test.find<QComboBox>("cboZIncrement")->setCurrentText("100");
    QTest::mouseClick(test.find<QPushButton>("btnSlice"), Qt::LeftButton);
    QVERIFY2(
            test.dialogs->shown.last().startsWith("Critical Kelvarome: Slicing error: bool "
                                                  "Slicer::engage(const SliceRequest &, QString &) "
                                                  "ERROR: the layers do not fit on the disk: "),
            qPrintable(test.dialogs->shown.join('|')));
    QVERIFY(QDir(SLICER_WORKING_DIR).isEmpty());
}

void TestModelPage::filesFromTheCommandLineAndDropped()
{
    TestWindow test;
    test.window->show();
    QTemporaryDir dir;
    const QString model = dir.filePath("cube.stl");
    writeFile(model, binaryStl(boxFacets(0, 0, 0, 10, 10, 2)));
    SLICER_WORKING_DIR = dir.filePath("runs/");
    QProcess tool;
    tool.start(KELVAROME_SLICE_EXE, {model, "--out", dir.filePath("runs")});
    QVERIFY(tool.waitForFinished(30000) && tool.exitCode() == 0);

    // Dropped: a job and a model, both opened; the window ends on the model's page.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(dir.filePath("runs/cube_Z100/cube.vek")),
                   QUrl::fromLocalFile(model), QUrl::fromLocalFile(dir.filePath("notes.txt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(test.window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(test.window.get(), &drop);
    QCOMPARE(label(test, "lblPrintTotalFrames"), QStringLiteral("19"));
    QCOMPARE(test.find<QListWidget>("listView")->count(), 1);
    QCOMPARE(test.find<QStackedWidget>("stackedWidget")->currentIndex(), 0);

    // Named on the command line: what this window cannot open is said, with its name.
    test.window->openFiles({dir.filePath("notes.txt"), dir.filePath("runs/cube_Z100/cube.vek")});
    QCOMPARE(test.dialogs->shown,
             QStringList{"Critical Kelvarome: " + dir.filePath("notes.txt")
                         + " cannot be opened: Kelvarome opens .stl models and .vek jobs."});
    QCOMPARE(test.find<QStackedWidget>("stackedWidget")->currentIndex(), 2);
}

QTEST_MAIN(TestModelPage)
#include "tst_modelpage.moc"
