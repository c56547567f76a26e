#include <csignal>
#include <limits>

#include <sys/resource.h>

#include <QGraphicsPixmapItem>
#include <QGraphicsSvgItem>
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

#include "base/constants.h"
#include "gui/printingpage.h"
#include "slicing/slicer.h"
#include "tests/testsupport.h"
#include "tests/windowsupport.h"

using namespace TestSupport;
using WindowSupport::RecordingDialogs;

namespace {

const QString QUESTION =
        QStringLiteral("Question Alert: Troubles while reading .vek file: default "
                       "values were loaded.\n Would you like to proceed printing?");
const QString ERROR_BOX = QStringLiteral("Warning Error while acquiring .vek file!: ");
const QString INVALID =
        QStringLiteral("File vek invalido: non si puo' procedere con la stampa. Ricaricalo.");
const QString REWRITE = QStringLiteral(
        "void MainWindow::reWriteFileVek(QString, QString &, bool &)ERRORE apertura file per "
        "riscrittura. ");

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray iniJob(const QString &folder, const QString &name, int layers, int microns)
{
    return QStringLiteral("[SourceImage]\nbasename=%1\nlastframe=%2\npath=%3\ntype=1\nzcut=%4\n")
            .arg(name)
            .arg(layers)
            .arg(folder)
            .arg(microns)
            .toUtf8();
}

// The older binary job layout, cut to `size` bytes.
QByteArray binaryJob(const QByteArray &name, qint32 layers, float millimetres, int size = 60)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    stream << qint8(0);
    stream.writeRawData(name.leftJustified(50, '\0').constData(), 50);
    stream << qint8(0) << layers << millimetres;
    return bytes.left(size);
}

// The page in a window of its own, its boxes answered by the recording dialogs.
struct Page
{
    WindowSupport::TestWindow window;
    RecordingDialogs &dialogs = *window.dialogs;
    PrintingPage &page = *window.find<PrintingPage>();
    QSignalSpy notes{&page, &PrintingPage::sgnStatusNote};

    template <typename T = QLabel>
    T *find(const char *name) const
    {
        return page.findChild<T *>(QLatin1String(name));
    }
    QString text(const char *name) const { return find(name)->text(); }
    QString lastNote() const
    {
        return notes.isEmpty() ? QString() : notes.last().first().toString();
    }
};

} // namespace

// Job files read, repaired and converted on the printing page, and the job shown there.
class TestJobFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void loadingShowsTheJob();
    void missingKeysAreWrittenBack();
    void binaryLayoutIsConverted();
    void writtenAsQSettingsWritesIt();

private:
    // Slices the model into the runs folder and returns the job file's path.
    QString slice(const QString &name, const QVector<STLStruct> &facets, int microns,
                  const QImage &thumbnail = QImage())
    {
        writeFile(m_dir.filePath(name), binaryStl(facets));
        Slicer slicer;
        QString error;
        const bool sliced = slicer.engage(
                {m_dir.filePath(name), microns, false, m_dir.filePath("runs/"), thumbnail}, error);
        return sliced ? slicer.getOutputFolder() + QFileInfo(name).baseName() + ".vek" : error;
    }

    QTemporaryDir m_dir;
};

void TestJobFile::loadingShowsTheJob()
{
    // Two blocks side by side, 1 and 3 mm tall: 7 layers of 400 µm, the first two with both.
    QImage picture(200, 150, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const QString twin =
            slice("twin.stl", boxFacets(-40, -30, 0, -5, 30, 1) + boxFacets(5, -30, 0, 40, 30, 3),
                  400, picture);
    QVERIFY2(QFile::exists(twin), qPrintable(twin));
    const QByteArray written = readBytes(twin);
    Page test;
    test.page.resize(900, 600);
    test.page.show();
    test.page.setVekFilePath(twin);
    QVERIFY(test.dialogs.shown.isEmpty());
    QCOMPARE(readBytes(twin), written);
    QCOMPARE(test.text("lblPrintObjectName"), QString("twin.stl"));
    QCOMPARE(test.text("lblPrintLayerThickness"), QString("400 µm"));
    QCOMPARE(test.text("lblPrintObjectHeight"), QString("0.32 cm"));
    QCOMPARE(test.text("lblPrintTotalFrames"), QString("7"));
    QCOMPARE(test.find<QLineEdit>("leLoadVek")->text(), twin);
    QCOMPARE(test.lastNote(), twin);
    auto *slider = test.find<QSlider>("previewSlider");
    QVERIFY(slider->isEnabled() && slider->minimum() == 1 && slider->maximum() == 7);
    auto *thumbnail = qgraphicsitem_cast<QGraphicsPixmapItem *>(
            test.find<QGraphicsView>("graphicsPreview")->scene()->items().value(0));
    QVERIFY(thumbnail && thumbnail->pixmap().toImage().pixel(10, 10) == qRgb(0, 255, 0));

    // The view shows the layer as the preview document draws it: the blocks red, the rest of
    // the footprint black; the blocks come out mirrored.
    auto *view = test.find<QGraphicsView>("graphicsView");
    QSvgRenderer reference(m_dir.filePath("runs/twin_Z400/twin_preview.svg"));
    const auto shows = [&](int layer, QRgb left, QRgb right) {
        slider->setValue(layer);
        QCOMPARE(test.text("lblPrintCurrentFrame"), QString::number(layer));
        const QImage shown =
                view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage drawn(shown.size(), QImage::Format_RGB32);
        drawn.fill(shown.pixel(0, 0));
        QPainter painter(&drawn);
        painter.setTransform(view->viewportTransform());
        painter.scale(2, 2);
        const QRectF bounds = reference.boundsOnElement(QString::number(layer));
        reference.render(&painter, QString::number(layer), QRectF(QPointF(), bounds.size()));
        painter.end();
        QCOMPARE(shown, drawn);
        const auto at = [&](double x, double y) {
            return shown.pixel(view->mapFromScene(2 * (x - bounds.x()), 2 * (y - bounds.y())));
        };
        QCOMPARE(at(-22.5, 0), left);
        QCOMPARE(at(22.5, 0), right);
        QCOMPARE(at(0, 0), qRgb(0, 0, 0));
    };
    shows(1, qRgb(255, 0, 0), qRgb(255, 0, 0));
    shows(5, qRgb(255, 0, 0), qRgb(0, 0, 0));

    // A second job puts the knob back at its first layer and frees the first job's preview.
    const QPointer<QGraphicsScene> scene = view->scene();
    const QPointer<QGraphicsSvgItem> item =
            static_cast<QGraphicsSvgItem *>(view->scene()->items().first());
    const QPointer<QSvgRenderer> renderer = item->renderer();
    const QString cube = slice("cube.stl", boxFacets(-5, -5, 0, 5, 5, 5.75f), 100);
    QVERIFY2(QFile::exists(cube), qPrintable(cube));
    test.page.setVekFilePath(cube);
    QVERIFY(!scene && !item && !renderer);
    QVERIFY(slider->value() == 1 && slider->maximum() == 57);
    QCOMPARE(test.text("lblPrintCurrentFrame"), QString("1"));
    QCOMPARE(test.text("lblPrintObjectHeight"), QString("0.58 cm"));
    QCOMPARE(test.page.job().baseName, QString("cube"));

    // Cancelling the chooser keeps the job; picking one loads it.
    auto *load = test.find<QPushButton>("btnLoadVek");
    load->click();
    QCOMPARE(test.find<QLineEdit>("leLoadVek")->text(), cube);
    QCOMPARE(test.dialogs.choosers, QStringList("Loading .vek file in " + SLICER_WORKING_DIR));
    test.dialogs.chosenPaths = QStringList(twin);
    load->click();
    QVERIFY(test.text("lblPrintTotalFrames") == "7" && test.page.job().zCut == 400);

    // In the window, the notes reach the status bar.
    WindowSupport::TestWindow window;
    window.find<PrintingPage>()->setVekFilePath(cube);
    QCOMPARE(window.window->statusBar()->currentMessage(), cube);
}

void TestJobFile::missingKeysAreWrittenBack()
{
    const QString folder = m_dir.filePath("partial");
    const QString lonely = folder + "/lonely.vek";
    writeFile(lonely, "[SourceImage]\nlastframe=10\n");
    Page test;
    test.page.setVekFilePath(lonely);
    QVERIFY(test.dialogs.shown.isEmpty());
    QCOMPARE(readBytes(lonely), iniJob(folder, "lonely", 10, 50));
    QCOMPARE(test.text("lblPrintObjectName"), QString("lonely.stl"));

    // The file cannot be replaced: the error is shown, the page still shows the job, and the
    // file is left as it was, nothing half written beside it.
    const QByteArray partial = "[SourceImage]\nzcut=100\n";
    const auto failedToRewrite = [&](const QString &path, const QString &reason) {
        const QString error = REWRITE + reason;
        QCOMPARE(test.dialogs.shown, QStringList(ERROR_BOX + error));
        QCOMPARE(test.lastNote(), error);
        QVERIFY(test.find<QLineEdit>("leLoadVek")->text().isEmpty());
        QCOMPARE(test.text("lblPrintLayerThickness"), QString("100 µm"));
        QCOMPARE(readBytes(path), partial);
        QStringList files = {QFileInfo(path).fileName(), "lonely.vek"};
        files.sort();
        QCOMPARE(QDir(folder).entryList(QDir::Files), files);
        QFile::remove(path);
        test.dialogs.shown.clear();
    };
    // A name leaving no room for a temporary file beside it.
    const QString longName = folder + "/" + QString(247, 'x') + ".vek";
    writeFile(longName, partial);
    test.page.setVekFilePath(longName);
    failedToRewrite(longName, "File name too long");

    // A full disk (a file size limit here, lifted before the checks).
    const QString full = folder + "/full.vek";
    writeFile(full, partial);
    rlimit previous;
    getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit small = {40, previous.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    test.page.setVekFilePath(full);
    setrlimit(RLIMIT_FSIZE, &previous);
    failedToRewrite(full, "File too large");

    // A read-only file, for a user the system holds to it.
    const QString locked = folder + "/locked.vek";
    writeFile(locked, partial);
    QFile::setPermissions(locked, QFileDevice::ReadOwner);
    if (!QFileInfo(locked).isWritable()) {
        test.page.setVekFilePath(locked);
        failedToRewrite(locked, "Existing file " + locked + " is not writable");
    }
}

void TestJobFile::binaryLayoutIsConverted()
{
    const QString folder = m_dir.filePath("old");
    Page test;
    const auto load = [&](const QString &name, const QByteArray &bytes) {
        writeFile(folder + "/" + name, bytes);
        test.dialogs.shown.clear();
        test.page.setVekFilePath(folder + "/" + name);
        return readBytes(folder + "/" + name);
    };

    QCOMPARE(load("a.vek", binaryJob("part", 120, 0.05f)), iniJob(folder, "part", 120, 50));
    QCOMPARE(load("b.vek", binaryJob(QByteArray(50, 'n'), 7, 0.0999999f)),
             iniJob(folder, QString(50, 'n'), 7, 99));
    QVERIFY(test.dialogs.shown.isEmpty());

    // Too short for the layer count, or a thickness that is no thickness: the defaults, if the
    // user wants them.
    test.dialogs.answers = {QMessageBox::Yes};
    QCOMPARE(load("short.vek", binaryJob("part", 120, 0.05f, 55)),
             iniJob(folder, "short", 4000, 50));
    QCOMPARE(test.dialogs.shown, QStringList(QUESTION));
    QCOMPARE(test.dialogs.defaultButtons.last(), QMessageBox::No);
    for (const float thickness : {std::numeric_limits<float>::quiet_NaN(),
                                  std::numeric_limits<float>::infinity(), 1e30f, -0.05f}) {
        const QByteArray bytes = binaryJob("part", 120, thickness);
        QCOMPARE(load("bad.vek", bytes), bytes);
        QCOMPARE(test.dialogs.shown, QStringList({QUESTION, ERROR_BOX + INVALID}));
        QVERIFY(test.find<QLineEdit>("leLoadVek")->text().isEmpty());
        QVERIFY(test.page.job().baseName == "bad" && test.page.job().lastFrame == 4000
                && test.page.job().zCut == 50);
    }
    QCOMPARE(load("negative.vek", binaryJob("part", -3, 0.05f)), binaryJob("part", -3, 0.05f));
    QCOMPARE(test.dialogs.shown.first(), QUESTION);

    // No file at all.
    test.dialogs.shown.clear();
    test.page.setVekFilePath(folder + "/gone.vek");
    QCOMPARE(test.dialogs.shown,
             QStringList(ERROR_BOX
                         + "MainWindow::convertBinaryVek() ERROR while opening vek file.No such "
                           "file or directory"));
    QVERIFY(test.page.job().path == folder && test.page.job().baseName == "gone"
            && test.page.job().lastFrame == 4000 && test.text("lblPrintTotalFrames") == "4000");
}

void TestJobFile::writtenAsQSettingsWritesIt()
{
    // Texts QSettings quotes or escapes: both writers give the same bytes, read back unchanged.
    VekJob job;
    job.path = m_dir.filePath(" odd/a;b,c=d \"q\" back\\slash\ttab é1 € \x01"
                              "a ");
    job.baseName = "@at ";
    job.lastFrame = -2;
    job.zCut = 0;
    job.type = 7;
    const QString ours = m_dir.filePath("ours.vek");
    const QString theirs = m_dir.filePath("theirs.vek");
    QString error;
    QVERIFY2(writeVekJob(ours, job, error), qPrintable(error));
    {
        QSettings settings(theirs, QSettings::IniFormat);
        settings.setValue("SourceImage/path", job.path);
        settings.setValue("SourceImage/basename", job.baseName);
        settings.setValue("SourceImage/lastframe", job.lastFrame);
        settings.setValue("SourceImage/zcut", job.zCut);
        settings.setValue("SourceImage/type", job.type);
    }
    QCOMPARE(readBytes(ours), readBytes(theirs));
    VekJob read;
    QCOMPARE(readVekJob(ours, read, error), VekReading::Complete);
    QVERIFY(read.path == job.path && read.baseName == job.baseName && read.lastFrame == -2
            && read.zCut == 0 && read.type == 7);
}

QTEST_MAIN(TestJobFile)
#include "tst_jobfile.moc"
