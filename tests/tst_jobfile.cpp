#include <csignal>
#include <tuple>

#include <sys/resource.h>

#include <QGraphicsView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QtTest>

#include "gui/printingpage.h"
#include "slicing/slicer.h"
#include "tests/testsupport.h"
#include "tests/windowsupport.h"

using namespace TestSupport;

namespace {

const QString ERROR_BOX = QStringLiteral("Warning Error while acquiring .vek file!: ");
const QString NOT_REWRITTEN = QStringLiteral(
        "Warning Kelvarome: The job is loaded, but its file could not be brought up to date.\n");

QByteArray iniJob(const QString &folder, const QString &name, int layers, int microns)
{
    return QString("[SourceImage]\nbasename=%1\nlastframe=%2\npath=%3\ntype=1\nzcut=%4\n")
            .arg(name, QString::number(layers), folder, QString::number(microns))
            .toUtf8();
}

// The older binary job layout, cut to `size` bytes.
QByteArray binaryJob(const QByteArray &name, qint32 layers, float millimetres, int size = 60)
{
    QByteArray bytes = '\0' + name.leftJustified(50, '\0') + '\0';
    QDataStream stream(&bytes, QIODevice::Append);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    stream << layers << millimetres;
    return bytes.left(size);
}

} // namespace

// Job files read, repaired and converted on the printing page, and the job shown there.
class TestJobFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void pageShowsRepairsAndConvertsTheJob();
    void writtenAsQSettingsWritesIt();
    void readOnlyJobFolder();

private:
    QTemporaryDir m_dir;
};

void TestJobFile::pageShowsRepairsAndConvertsTheJob()
{
    // Two blocks side by side, 1 and 3 mm tall, sliced with a thumbnail: 7 layers of 400 µm,
    // the first two with both.
    QImage picture(200, 150, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const QString model = m_dir.filePath("twin.stl");
    writeFile(model,
              binaryStl(boxFacets(-40, -30, 0, -5, 30, 1) + boxFacets(5, -30, 0, 40, 30, 3)));
    Slicer slicer;
    QString error;
    QVERIFY2(slicer.engage({model, 400, false, m_dir.filePath("runs/"), picture}, error),
             qPrintable(error));
    const QString twin = slicer.getOutputFolder() + "twin.vek";

    // The page in a window of its own, its boxes answered by the recording dialogs.
    WindowSupport::TestWindow window;
    WindowSupport::RecordingDialogs &dialogs = *window.dialogs;
    PrintingPage &page = *window.find<PrintingPage>();
    QSignalSpy notes(&page, &PrintingPage::sgnStatusNote);
    const auto text = [&](const char *name) { return page.findChild<QLabel *>(name)->text(); };
    const auto labels = [&] {
        return QStringList{text("lblPrintObjectName"), text("lblPrintLayerThickness"),
                           text("lblPrintObjectHeight"), text("lblPrintTotalFrames"),
                           text("lblPrintCurrentFrame")};
    };
    const auto jobPath = [&] { return page.findChild<QLineEdit *>("leLoadVek")->text(); };
    const auto lastNote = [&] { return notes.last().first().toString(); };
    window.window->show();
    page.setVekFilePath(twin);
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(labels(), (QStringList{"twin.stl", "400 µm", "0.32 cm", "7", "1"}));
    QVERIFY(jobPath() == twin && lastNote() == twin);
    auto *slider = page.findChild<QSlider *>("previewSlider");
    QVERIFY(slider->isEnabled() && slider->minimum() == 1 && slider->maximum() == 7);
    const QImage small =
            page.findChild<QGraphicsView *>("graphicsPreview")->viewport()->grab().toImage();
    QCOMPARE(small.pixelColor(small.rect().center()), QColor(Qt::green));

    // The view shows the layer the slider picks as the preview document draws it: in red (the
    // only colour there) on black.
    slider->setValue(5);
    QCOMPARE(text("lblPrintCurrentFrame"), "5");
    auto *view = page.findChild<QGraphicsView *>("graphicsView");
    const QImage shown = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage drawn(shown.size(), QImage::Format_RGB32);
    drawn.fill(shown.pixel(0, 0));
    QPainter painter(&drawn);
    painter.setTransform(view->viewportTransform());
    painter.scale(2, 2);
    QSvgRenderer reference(m_dir.filePath("runs/twin_Z400/twin_preview.svg"));
    reference.render(&painter, "5", QRectF(QPointF(), reference.boundsOnElement("5").size()));
    painter.end();
    QVERIFY(shown == drawn && !drawn.allGray());

    // A second job, picked in the chooser, puts the slider back at its first layer and frees
    // the first job's preview. Cancelling the chooser keeps the job.
    const QPointer<QGraphicsScene> scene = view->scene();
    const QString cube = m_dir.filePath("cube.vek");
    writeFile(cube, iniJob(m_dir.path(), "cube", 57, 100));
    dialogs.chosenPaths = QStringList(cube);
    auto *choose = page.findChild<QPushButton *>("btnLoadVek");
    choose->click();
    choose->click();
    QVERIFY(!scene && slider->value() == 1 && jobPath() == cube);
    QCOMPARE(labels(), (QStringList{"cube.stl", "100 µm", "0.58 cm", "57", "1"}));

    // The notes reach the window's status bar.
    QCOMPARE(window.window->statusBar()->currentMessage(), cube);

    // Files of other kinds, each loaded in turn.
    const QString folder = m_dir.filePath("old");
    const auto load = [&](const QString &name, const QByteArray &bytes) {
        writeFile(folder + "/" + name, bytes);
        dialogs.shown.clear();
        page.setVekFilePath(folder + "/" + name);
        return readFile(folder + "/" + name);
    };

    // Missing keys get their defaults; the older binary layout is converted, its thickness
    // truncated to whole microns.
    QCOMPARE(load("lonely.vek", "[SourceImage]\nlastframe=10\n"), iniJob(folder, "lonely", 10, 50));
    QCOMPARE(load("a.vek", binaryJob("part", 120, 0.05f)), iniJob(folder, "part", 120, 50));
    QCOMPARE(load("b.vek", binaryJob(QByteArray(50, 'n'), 7, 0.0999999f)),
             iniJob(folder, QString(50, 'n'), 7, 99));
    QVERIFY(dialogs.shown.isEmpty());

    // Too short for the layer count, a thickness that is no number, no layers: the defaults,
    // if the user wants them.
    dialogs.answers = {QMessageBox::Yes};
    QCOMPARE(load("short.vek", binaryJob("part", 120, 0.05f, 55)),
             iniJob(folder, "short", 4000, 50));
    QCOMPARE(dialogs.shown,
             QStringList("Question Alert: Troubles while reading .vek file: default "
                         "values were loaded.\n Would you like to proceed printing?"));
    QCOMPARE(dialogs.defaultButtons.last(), QMessageBox::No);
    for (const QByteArray &bytes :
         {binaryJob("part", 120, float(qQNaN())), binaryJob("part", -3, 0.05f)}) {
        QCOMPARE(load("bad.vek", bytes), bytes);
        QVERIFY(dialogs.shown.last().startsWith(ERROR_BOX + "File vek invalido"));
        const VekJob &job = page.job();
        QVERIFY(jobPath().isEmpty() && job.baseName == "bad" && job.lastFrame == 4000
                && job.zCut == 50 && text("lblPrintTotalFrames") == "4000");
    }
    page.setVekFilePath(folder + "/gone.vek");
    QVERIFY(dialogs.shown.last().contains("ERROR while opening vek file."));

    // The file cannot be replaced: a name leaving no room for a temporary file beside it, a full
    // disk (a file size limit here). The job is loaded with a warning giving the reason, and the
    // file is left as it was, nothing half written beside it.
    const QByteArray partial = "[SourceImage]\nzcut=100\n";
    rlimit unlimited;
    getrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, SIG_IGN);
    const QStringList files = QDir(folder).entryList(QDir::Files);
    for (const auto &[name, limit, reason] :
         {std::tuple(QString(QString(247, 'x') + ".vek"), unlimited.rlim_cur, "File name too long"),
          std::tuple(QString("full.vek"), rlim_t(40), "File too large")}) {
        const rlimit small = {limit, unlimited.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        const QByteArray kept = load(name, partial);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        QCOMPARE(kept, partial);
        QVERIFY(dialogs.shown.size() == 1 && dialogs.shown[0].startsWith(NOT_REWRITTEN));
        QVERIFY(dialogs.shown[0].endsWith(reason) && lastNote().endsWith(reason));
        QVERIFY(jobPath() == folder + "/" + name && text("lblPrintLayerThickness") == "100 µm");
        QVERIFY(QFile::remove(folder + "/" + name) && QDir(folder).entryList(QDir::Files) == files);
    }
}

void TestJobFile::writtenAsQSettingsWritesIt()
{
    // Texts QSettings quotes or escapes: both writers give the same bytes, read back unchanged.
    const VekJob job{m_dir.filePath(" odd/a;b,c=d \"q\" back\\slash\ttab é1 € \x01"
                                    "a "),
                     "@at ", -2, 0, 7};
    const QString ours = m_dir.filePath("ours.vek"), theirs = m_dir.filePath("theirs.vek");
    QString error;
    QVERIFY2(writeVekJob(ours, job, error), qPrintable(error));
    QSettings settings(theirs, QSettings::IniFormat);
    settings.setValue("SourceImage/path", job.path);
    settings.setValue("SourceImage/basename", job.baseName);
    settings.setValue("SourceImage/lastframe", job.lastFrame);
    settings.setValue("SourceImage/zcut", job.zCut);
    settings.setValue("SourceImage/type", job.type);
    settings.sync();
    QCOMPARE(readFile(ours), readFile(theirs));
    VekJob read;
    QCOMPARE(readVekJob(ours, read, error), VekReading::Complete);
    QVERIFY(read.path == job.path && read.baseName == job.baseName && read.lastFrame == -2
            && read.zCut == 0 && read.type == 7);

    // A subgroup of the job's section, written by hand as a section of its own, hides no key.
    QVERIFY(writeFile(ours, readFile(theirs) + "[SourceImage/a]\nnote=1\n"));
    QCOMPARE(readVekJob(ours, read, error), VekReading::Complete);
    QVERIFY(read.baseName == job.baseName && read.lastFrame == -2 && read.type == 7);
}

void TestJobFile::readOnlyJobFolder()
{
    // A job to repair and its layer document, in a folder made read-only (for root too).
    const QString folder = m_dir.filePath("locked");
    const QString job = folder + "/lonely.vek";
    const QByteArray partial = "[SourceImage]\nlastframe=2\nzcut=100\n";
    const QByteArray document = "<svg>\n<g id=\"1\" plane=\"0.1\">\n<rect style=\"fill:white\" />\n"
                                "</g>\n</svg>\n";
    QVERIFY(writeFile(job, partial) && writeFile(folder + "/lonely.svg", document));
    const ReadOnly locked(folder);
    if (!locked.isReadOnly())
        QSKIP("Folders cannot be made read-only here.");

    // The job is loaded as read, with a warning giving the reason; the file stays as it was.
    WindowSupport::TestWindow window;
    PrintingPage &page = *window.find<PrintingPage>();
    page.setVekFilePath(job);
    const QStringList &shown = window.dialogs->shown;
    QVERIFY2(shown.size() == 1 && shown[0].startsWith(NOT_REWRITTEN), qPrintable(shown.join('|')));
    QVERIFY(page.findChild<QLineEdit *>("leLoadVek")->text() == job);
    QVERIFY(page.job().lastFrame == 2 && page.job().zCut == 100 && page.job().path == folder);
    QCOMPARE(readFile(job), partial);

    // The red preview cannot be made beside the job: the reason is given, nothing is left.
    QString error;
    QVERIFY(!writePreviewDocument(page.job().printDocument(), page.job().previewDocument(), error));
    QVERIFY2(error.startsWith("The preview document " + folder
                              + "/lonely_preview.svg cannot be "
                                "written: "),
             qPrintable(error));
    QCOMPARE(QDir(folder).entryList(QDir::Files), (QStringList{"lonely.svg", "lonely.vek"}));
}

QTEST_MAIN(TestJobFile)
#include "tst_jobfile.moc"
