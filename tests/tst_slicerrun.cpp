#include <csignal>
#include <functional>

#include <sys/resource.h>

#include <QImage>
#include <QPainter>
#include <QStorageInfo>
#include <QSvgRenderer>
#include <QtTest>

#include "slicing/slicer.h"
#include "slicing/slicingprogress.h"
#include "tests/testsupport.h"

using namespace TestSupport;

// Whole slicing runs, all with one slicer: the failures that must leave nothing behind, then run
// folders, documents, job file and progress; and the command-line tool.
class TestSlicerRun : public QObject
{
    Q_OBJECT

private slots:
    void failingAndSucceedingRuns();
    void commandLineToolAndRendering();
    void runsThatCannotFitOnTheDisk();

private:
    // Records the values of the plane loop; `onValue` sees each one and may ask the run to stop.
    struct RecordingProgress : SlicingProgress
    {
        void setValue(int percent) override { values << percent; }
        bool wasCanceled() const override { return onValue && onValue(values.last()); }
        void finish() override { ++finishes; }

        std::function<bool(int)> onValue;
        QList<int> values;
        int finishes = 0;
    };

    static QString readText(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    QString model(const QString &name, const QVector<STLStruct> &records)
    {
        writeFile(m_dir.filePath(name), binaryStl(records));
        return m_dir.filePath(name);
    }
    SliceRequest request(const QString &model, int microns) const
    {
        return {model, microns, false, m_dir.filePath("runs/"), {}};
    }

    QTemporaryDir m_dir;
};

void TestSlicerRun::failingAndSucceedingRuns()
{
    Slicer slicer;
    RecordingProgress progress;
    slicer.setProgress(&progress);
    QString job;
    connect(&slicer, &Slicer::sgnNotifyVekCreation, this,
            [&job](const QString &path) { job = path + ":\n" + readText(path); });
    const auto fails = [&slicer](const SliceRequest &request, const QString &expectedStart) {
        QString error;
        QVERIFY(!slicer.engage(request, error) && !slicer.isSlicing());
        QCOMPARE(error.left(expectedStart.size()), expectedStart);
    };

    // Models that cannot be sliced, the reader's reason given.
    const QString where = "bool Slicer::engage(const SliceRequest &, QString &) ERROR: ";
    const QString cube = model("cube.part.stl", boxFacets(-5, -5, 0, 5, 5, 10));
    const QString tower = model("tower.stl", boxFacets(-5, -5, 0, 5, 5, 3e6f));
    const QString empty = model("empty.stl", {});
    const QString broken = model("broken.stl", {});
    writeFile(broken, "not an STL");
    fails(request(QString(), 100), where + "no model file to slice.");
    fails(request(cube + "x", 100), where + "the model file does not exist: " + cube + "x");
    fails(request(broken, 100),
          where + "the model file cannot be read: " + broken + "\n"
                  + STLReader(broken).errorString());
    fails(request(empty, 100), where + "the model file holds no facets: " + empty);
    fails(request(cube, 0), where + "the layer thickness must be positive.");
    fails(request(tower, 1), where + "the model is too tall for this layer thickness: " + tower);

    // The output root lies under a file: the run folder cannot be made.
    writeFile(m_dir.filePath("plain"), "x");
    SliceRequest blocked = request(cube, 100);
    blocked.outputRoot = m_dir.filePath("plain/");
    fails(blocked,
          "QString Slicer::prepareOutputFilePath(QString &) ERROR while creating the "
          "SlicedModels subfolder.\nCheck permissions of "
                  + m_dir.filePath("plain/cube_Z100") + "\n");

    // The disk fills up (a file size limit here, lifted before the checks).
    rlimit previous;
    getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit small = {8192, previous.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    QString error;
    const bool sliced = slicer.engage(request(cube, 100), error);
    setrlimit(RLIMIT_FSIZE, &previous);
    const QString writing = "bool Slicer::writePendingText(QString &) ERROR: while writing ";
    QVERIFY2(!sliced && error.startsWith(writing + m_dir.filePath("runs/cube_Z100/cube")),
             qPrintable(error));

    // The job file cannot be written: a folder stands in its place.
    progress.onValue = [&](int) { return !QDir().mkpath(slicer.getOutputFolder() + "cube.vek"); };
    fails(request(cube, 100),
          "bool Slicer::writeVekFile(QString &) ERROR: the job file could not "
          "be written: cannot open "
                  + m_dir.filePath("runs/cube_Z100/cube.vek") + ": ");

    // Canceled half way. The end of the plane loop was reported however it ended.
    progress.onValue = [](int percent) { return percent >= 50; };
    fails(request(cube, 100), "The user decided to prematurely interrupt the slicing process.");
    QVERIFY(progress.values.last() == 50 && progress.finishes == 3);
    QVERIFY(job.isEmpty() && QDir(m_dir.filePath("runs")).isEmpty());

    // Planes at 5 (the middle of the cube) and 10 (its top, which cuts nothing); the run folder
    // is named after the file up to its first dot; the job file is whole when announced.
    bool slicingSeen = true;
    progress.onValue = [&](int) { return !(slicingSeen &= slicer.isSlicing()); };
    progress.values.clear();
    QVERIFY2(slicer.engage(request(cube, 5000), error), qPrintable(error));
    const QString folder = m_dir.filePath("runs/cube_Z5000/");
    const QString rect = "<rect x=\"-5\" y=\"-5\" width=\"10\" height=\"10\" style=\"";
    const QString print = "<svg version=\"1.1\"\n\theight=\"10\"\twidth=\"10\"\n\tviewBox=\"-5 -5 "
                          "10 10\"\n\txmlns:ev=\"http://www.w3.org/2001/xml-events\"\n\txmlns:"
                          "xlink=\"http://www.w3.org/1999/xlink\"\n\txmlns=\"http://www.w3.org/"
                          "2000/svg\"\n>\n<g id=\"1\" plane=\"5\">\n"
            + rect
            + "fill:black\" />\n<polygon points=\"0.000000,-5.000000 5.000000,-5.000000 "
              "5.000000,0.000000 5.000000,5.000000 0.000000,5.000000 -5.000000,5.000000 "
              "-5.000000,0.000000 -5.000000,-5.000000 \" style=\"fill:white;\" transform=\""
              "scale(-1, 1)\" />\n</g>\n<g id=\"2\" plane=\"10\">\n"
            + rect + "fill:black\" />\n</g>\n<g id=\"base\">\n" + rect
            + "fill: white;\" />\n</g>\n</svg>\n";
    QCOMPARE(readText(folder + "cube.svg"), print);
    QCOMPARE(readText(folder + "cube_preview.svg"), QString(print).replace("white", "red"));
    QCOMPARE(job,
             folder + "cube.vek:\n[SourceImage]\nbasename=cube\nlastframe=2\npath="
                     + folder.chopped(1) + "\ntype=1\nzcut=5000\n");
    QCOMPARE(progress.values, QList<int>({0, 50}));
    QVERIFY(progress.finishes == 4 && slicingSeen && !slicer.isSlicing());

    // Earlier runs keep their folders; the thumbnail is saved; a model thinner than a layer still
    // makes a whole run.
    SliceRequest flat = request(model("flat.stl", boxFacets(-5, -5, 0, 5, 5, 0.05f)), 5000);
    flat.thumbnail = QImage(8, 8, QImage::Format_RGB32);
    flat.thumbnail.fill(Qt::blue);
    for (const char *suffix : {"", "_001", "_002"}) {
        QVERIFY2(slicer.engage(flat, error), qPrintable(error));
        QCOMPARE(slicer.getOutputFolder(), m_dir.filePath("runs/flat_Z5000") + suffix + "/");
        QCOMPARE(QImage(slicer.getOutputFolder() + "flat.png").pixel(3, 3), qRgb(0, 0, 255));
    }
    QCOMPARE(readText(slicer.getOutputFolder() + "flat.svg"),
             print.left(print.indexOf("<g id=\"1\"")) + print.mid(print.indexOf("<g id=\"base\"")));

    // An output root named like a document, given without its final "/".
    flat.outputRoot = m_dir.filePath("runs.svg");
    QVERIFY2(slicer.engage(flat, error), qPrintable(error));
    QVERIFY(QFile::exists(m_dir.filePath("runs.svg/flat_Z5000/flat_preview.svg")));
}

void TestSlicerRun::commandLineToolAndRendering()
{
    // A 20 x 20 tube whose hole lies off centre, at x 2 to 8, sliced hollow: a white ring 4 wide
    // around a black inset, the mirrored hole (at -8 to -2) black where it reaches the ring.
    const QString tube = model("tube.stl",
                               boxFacets(-10, -10, 0, 10, 10, 10).mid(4)
                                       + inverted(boxFacets(2, -3, 0, 8, 3, 10).mid(4)));
    const QString out = m_dir.filePath("cli");
    // The exit code and all the tool wrote.
    const auto run = [](const QStringList &arguments) {
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(KELVAROME_SLICE_EXE, arguments);
        tool.waitForFinished(30000);
        return qMakePair(tool.exitCode(), QString(tool.readAll()));
    };
    // The job file's path alone: no progress when the output is not a terminal.
    QCOMPARE(run({tube, "--microns", "1000", "--hollow", "--out", out}),
             qMakePair(0, QString(out + "/tube_Z1000/tube.vek\n")));

    // Well-formed, with layers 1 to 10 (the top one empty) and the base; layer 5 drawn alone.
    QSvgRenderer renderer(out + "/tube_Z1000/tube.svg");
    QVERIFY(renderer.isValid() && renderer.elementExists("10") && renderer.elementExists("base")
            && !renderer.elementExists("11"));
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    renderer.render(&painter, "5", QRectF(0, 0, 200, 200));
    painter.end();
    for (const QPoint &white : {QPoint(170, 100), QPoint(5, 195), QPoint(100, 20)})
        QCOMPARE(image.pixel(white), qRgb(255, 255, 255));
    for (const QPoint &black : {QPoint(30, 100), QPoint(100, 100), QPoint(150, 140)})
        QCOMPARE(image.pixel(black), qRgb(0, 0, 0));

    const QPair<int, QString> missing = run({m_dir.filePath("gone.stl"), "--out", out});
    QVERIFY(missing.first == 1 && missing.second.contains("the model file does not exist"));
    const QPair<int, QString> usage = run({tube, "--microns", "0"});
    QVERIFY(usage.first == 2 && usage.second.contains("--microns"));
}

void TestSlicerRun::runsThatCannotFitOnTheDisk()
{
    // A cube with one facet reaching 200 km high, as a file in the wrong unit gives: some 2000
    // million layers, hundreds of GB. On a small disk where one can be mounted, else here.
    QVector<STLStruct> records = boxFacets(-5, -5, 0, 5, 5, 10);
    records << STLStruct{0, 0, 0, -5, -5, 0, 5, -5, 0, 0, 5, 2e8f};
    const QString tall = model("tall.stl", records);
    const QString root = m_dir.filePath("small/");
    const SmallDisk disk(root, 4 << 20);
    if (!disk.isMounted() && QStorageInfo(root).bytesAvailable() > qint64(350e9))
        QSKIP("The disk has room for the tall model's layers, and no small disk can be mounted.");

    // Refused before the plane loop, with the figures; nothing is made. The tool says the same.
    Slicer slicer;
    RecordingProgress progress;
    slicer.setProgress(&progress);
    QString error;
    QVERIFY(!slicer.engage({tall, 100, false, root, {}}, error));
    const QRegularExpressionMatch figures =
            QRegularExpression("^bool Slicer::engage\\(const SliceRequest &, QString &\\) ERROR: "
                               "the layers do not fit on the disk: (\\d+) layers need ([\\d.]+) GB "
                               "or more, and (.+) has (.+) free\\.$")
                    .match(error);
    QVERIFY2(figures.hasMatch(), qPrintable(error));
    const QString layers = figures.captured(1);
    QVERIFY2(qAbs(layers.toLongLong() - 2000000000) <= 1, qPrintable(layers));
    QVERIFY(figures.captured(2).toDouble() > 380 && figures.captured(3) == root);
    QVERIFY(progress.values.isEmpty() && progress.finishes == 0 && QDir(root).isEmpty());

    QProcess tool;
    tool.start(KELVAROME_SLICE_EXE, {tall, "--out", root});
    QVERIFY(tool.waitForFinished(30000) && tool.exitCode() == 1);
    QVERIFY(tool.readAllStandardError().contains("do not fit on the disk: " + layers.toUtf8()
                                                 + " layers"));
    QVERIFY(QDir(root).isEmpty());

    // An ordinary model slices there.
    const QString cube = model("cube.stl", boxFacets(-5, -5, 0, 5, 5, 10));
    QVERIFY2(slicer.engage({cube, 50, false, root, {}}, error), qPrintable(error));
    QVERIFY(QFile::exists(root + "cube_Z050/cube.vek"));
}

QTEST_MAIN(TestSlicerRun)
#include "tst_slicerrun.moc"
