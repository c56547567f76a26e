#include <csignal>

#include <sys/resource.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "app/constants.h"
#include "slicing/slicer.h"
#include "slicing/slicingprogress.h"
#include "tests/testsupport.h"

namespace {

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString header(const QString &xmin, const QString &ymin, const QString &length,
               const QString &width)
{
    return "<svg version=\"1.1\"\n\theight=\"" + length + "\"\twidth=\"" + width
            + "\"\n\tviewBox=\"" + xmin + " " + ymin + " " + length + " " + width + "\"\n"
            + "\txmlns:ev=\"http://www.w3.org/2001/xml-events\"\n"
              "\txmlns:xlink=\"http://www.w3.org/1999/xlink\"\n"
              "\txmlns=\"http://www.w3.org/2000/svg\"\n>\n";
}

// The group ids and the number of polygons of an SVG document, or the parser's error.
struct SvgOutline
{
    QStringList groupIds;
    int polygons = 0;
    QString error;
};

SvgOutline parseSvg(const QString &path)
{
    SvgOutline outline;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, 0, file.errorString()};
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("g"))
            outline.groupIds << xml.attributes().value("id").toString();
        outline.polygons += xml.name() == QLatin1String("polygon") ? 1 : 0;
    }
    if (xml.hasError())
        outline.error = xml.errorString();
    return outline;
}

// Records what the plane loop reports; asks to stop once the value reaches `cancelAt`.
class RecordingProgress : public SlicingProgress
{
public:
    explicit RecordingProgress(const Slicer *slicer, int cancelAt = 101)
        : m_slicer(slicer)
        , m_cancelAt(cancelAt)
    { }
    void start() override { ++starts; }
    void setValue(int percent) override
    {
        values.append(percent);
        slicingFlagSeen = slicingFlagSeen && m_slicer->isSlicing();
        const QCursor *cursor = QGuiApplication::overrideCursor();
        waitCursorSeen = waitCursorSeen && cursor && cursor->shape() == Qt::WaitCursor;
    }
    bool wasCanceled() const override { return !values.isEmpty() && values.last() >= m_cancelAt; }
    void finish() override { ++finishes; }

    QList<int> values;
    int starts = 0;
    int finishes = 0;
    bool slicingFlagSeen = true;
    bool waitCursorSeen = true;

private:
    const Slicer *m_slicer;
    int m_cancelAt;
};

} // namespace

// Whole slicing runs: run folder and file names, documents, job file, progress and cancel, and
// the failures that must leave nothing behind.
class TestSlicerRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init();
    void documentsOfATwoLayerRun();
    void layersRenderAndParse();
    void realModelsGiveWellFormedDocuments();
    void folderNamesAndSuffixes();
    void previewPathFollowsSvgInFolders();
    void zeroAndFourPlaneRuns();
    void jobFileKeysVisibleWhenAnnounced();
    void cancelLeavesNothingBehind();
    void unreadableModelsAreErrors();
    void outputFailures();
    void commandLineTool();

private:
    QString model(const QString &name, const QVector<STLStruct> &records);
    QStringList runFolders() const;

    QTemporaryDir m_dir;
    QString m_runs;
};

void TestSlicerRun::init()
{
    m_runs = m_dir.path() + "/" + QTest::currentTestFunction() + "/runs/";
    SLICER_WORKING_DIR = m_runs;
}

QString TestSlicerRun::model(const QString &name, const QVector<STLStruct> &records)
{
    const QString path = m_dir.path() + "/" + QTest::currentTestFunction() + "/" + name;
    TestSupport::writeFile(path, TestSupport::binaryStl(records));
    return path;
}

QStringList TestSlicerRun::runFolders() const
{
    return QDir(m_runs).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

void TestSlicerRun::documentsOfATwoLayerRun()
{
    // Planes at 5 (the middle) and 10 (the top, which cuts nothing).
    Slicer slicer(nullptr, model("cube.stl", TestSupport::boxFacets(-5, -5, 0, 5, 5, 10)), 5000,
                  0.1f, false);
    QString error;
    QVERIFY2(slicer.engage(error), qPrintable(error));
    QCOMPARE(slicer.getPlaneCounter(), 2);

    const QString folder = m_runs + "cube_Z5000/";
    for (const char *colour : {"white", "red"}) {
        const QString points = "0.000000,-5.000000 5.000000,-5.000000 5.000000,0.000000 "
                               "5.000000,5.000000 0.000000,5.000000 -5.000000,5.000000 "
                               "-5.000000,0.000000 -5.000000,-5.000000 ";
        const QString rect = "<rect x=\"-5\" y=\"-5\" width=\"10\" height=\"10\" style=\"";
        const QString expected = header("-5", "-5", "10", "10") + "<g id=\"1\" plane=\"5\">\n"
                + rect + "fill:black\" />\n<polygon points=\"" + points + "\" style=\"fill:"
                + colour + ";\" transform=\"scale(-1, 1)\" />\n</g>\n<g id=\"2\" plane=\"10\">\n"
                + rect + "fill:black\" />\n</g>\n<g id=\"base\">\n" + rect + "fill: " + colour
                + ";\" />\n</g>\n</svg>\n";
        const QString name = qstrcmp(colour, "red") == 0 ? "cube_preview.svg" : "cube.svg";
        QCOMPARE(readText(folder + name), expected);
    }
}

void TestSlicerRun::layersRenderAndParse()
{
    // A 20 x 20 tube whose hole lies off centre, at x 2 to 8: mirrored, it shows at -8 to -2.
    QVector<STLStruct> tube = TestSupport::boxFacets(-10, -10, 0, 10, 10, 10).mid(4);
    for (STLStruct side : TestSupport::boxFacets(2, -3, 0, 8, 3, 10).mid(4)) {
        std::swap(side.bx, side.cx);
        std::swap(side.by, side.cy);
        std::swap(side.bz, side.cz);
        tube.append(side);
    }
    Slicer slicer(nullptr, model("tube.stl", tube), 1000, 0.1f, false);
    QString error;
    QVERIFY2(slicer.engage(error), qPrintable(error));
    const QString print = m_runs + "tube_Z1000/tube.svg";

    const SvgOutline outline = parseSvg(print);
    QVERIFY2(outline.error.isEmpty(), qPrintable(outline.error));
    const QStringList &groups = outline.groupIds;
    QCOMPARE(groups.size(), 11);
    QCOMPARE(groups.first(), QStringLiteral("1"));
    QCOMPARE(groups.at(9), QStringLiteral("10"));
    QCOMPARE(groups.last(), QStringLiteral("base"));
    QCOMPARE(outline.polygons, 9 * 2); // the top plane cuts nothing

    for (const QString &document : QStringList({print, m_runs + "tube_Z1000/tube_preview.svg"})) {
        QSvgRenderer renderer(document);
        QVERIFY(renderer.isValid() && renderer.elementExists("5"));
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        renderer.render(&painter, "5", QRectF(0, 0, 200, 200));
        painter.end();
        const QRgb material = document == print ? qRgb(255, 255, 255) : qRgb(255, 0, 0);
        QCOMPARE(image.pixel(50, 100), qRgb(0, 0, 0)); // the mirrored hole
        QCOMPARE(image.pixel(150, 100), material);
        QCOMPARE(image.pixel(100, 100), material);
        QCOMPARE(image.pixel(5, 195), material);
    }
}

void TestSlicerRun::realModelsGiveWellFormedDocuments()
{
    // Files written by others, two of them broken (an open mesh, an extra open surface).
    const QStringList models = {"ghostkeeper_missing_triangle_hi.stl",
                                "ghostkeeper_extra_surface_ascii.stl",
                                "prusa_i3_z-axis-bottom_ascii.stl"};
    if (!QFile::exists(QStringLiteral(SHARED_MODELS_DIR "/") + models.first()))
        QSKIP("the shared models are not there");
    for (const QString &name : models) {
        Slicer slicer(nullptr, QStringLiteral(SHARED_MODELS_DIR "/") + name, 200, 0.1f, true);
        QString error;
        QVERIFY2(slicer.engage(error), qPrintable(error));
        const QString base = slicer.getOutputFolder() + QFileInfo(name).baseName();
        for (const QString &document : QStringList({base + ".svg", base + "_preview.svg"})) {
            const SvgOutline outline = parseSvg(document);
            QVERIFY2(outline.error.isEmpty(), qPrintable(document + ": " + outline.error));
            QCOMPARE(outline.groupIds.size(), slicer.getPlaneCounter() + 1);
            QVERIFY(outline.polygons > slicer.getPlaneCounter());
        }
    }
}

void TestSlicerRun::folderNamesAndSuffixes()
{
    const QString bracket = model("bracket.final.stl", TestSupport::boxFacets(-5, -5, 0, 5, 5, 1));
    for (const char *suffix : {"", "_001", "_002"}) {
        Slicer slicer(nullptr, bracket, 50, 0.1f, false);
        connect(&slicer, &Slicer::sgnAskForScreenShot, &slicer, [&slicer] {
            QImage shot(8, 8, QImage::Format_RGB32);
            shot.fill(Qt::blue);
            slicer.writeThumbnail(shot);
        });
        QString error;
        QVERIFY2(slicer.engage(error), qPrintable(error));
        QCOMPARE(slicer.getOutputFolder(), m_runs + "bracket_Z050" + suffix + "/");
        QCOMPARE(QDir(slicer.getOutputFolder()).entryList(QDir::Files),
                 QStringList({"bracket.png", "bracket.svg", "bracket.vek", "bracket_preview.svg"}));
        QCOMPARE(QImage(slicer.getOutputFolder() + "bracket.png").size(), QSize(8, 8));
    }
    QCOMPARE(runFolders(), QStringList({"bracket_Z050", "bracket_Z050_001", "bracket_Z050_002"}));

    for (int microns : {25, 1000}) {
        Slicer slicer(nullptr, bracket, microns, 0.1f, false);
        QString error;
        QCOMPARE(slicer.prepareOutputFilePath(error),
                 m_runs + "bracket_Z" + (microns == 25 ? "025" : "1000") + "/bracket.svg");
    }
    QString missing = m_runs + "none";
    Slicer::getAvailableSubPath(missing);
    QCOMPARE(missing, m_runs + "none");
}

void TestSlicerRun::previewPathFollowsSvgInFolders()
{
    const QString cube = model("cube.stl", TestSupport::boxFacets(-5, -5, 0, 5, 5, 1));
    SLICER_WORKING_DIR = m_dir.path() + "/runs.svg.d/";
    // The preview folder does not exist: opening fails, naming the preview's error.
    Slicer failing(nullptr, cube, 100, 0.1f, false);
    QString error;
    QVERIFY(!failing.svgOpenOutputFile(error));
    QVERIFY(error.startsWith("bool Slicer::svgOpenOutputFile(QString &) ERROR: while opening "
                             "output file the following error occoured: No such file"));
    QVERIFY(!failing.isSlicing());

    QVERIFY(QDir().mkpath(m_dir.path() + "/runs_preview.svg.d/cube_Z100_001"));
    Slicer slicer(nullptr, cube, 100, 0.1f, false);
    QVERIFY2(slicer.engage(error), qPrintable(error));
    QVERIFY(QFile::exists(m_dir.path() + "/runs.svg.d/cube_Z100_001/cube.svg"));
    QVERIFY(QFile::exists(m_dir.path() + "/runs_preview.svg.d/cube_Z100_001/cube_preview.svg"));
}

void TestSlicerRun::zeroAndFourPlaneRuns()
{
    Slicer flat(nullptr, model("flat.stl", TestSupport::boxFacets(-5, -5, 0, 5, 5, 0.05f)), 100,
                0.1f, false);
    QString error;
    QVERIFY2(flat.engage(error), qPrintable(error));
    QCOMPARE(flat.getPlaneCounter(), 0);
    QCOMPARE(readText(m_runs + "flat_Z100/flat.svg"),
             header("-5", "-5", "10", "10")
                     + "<g id=\"base\">\n<rect x=\"-5\" y=\"-5\" width=\"10\" height=\"10\" "
                       "style=\"fill: white;\" />\n</g>\n</svg>\n");
    QSettings flatJob(m_runs + "flat_Z100/flat.vek", QSettings::IniFormat);
    QCOMPARE(flatJob.value("SourceImage/lastframe").toInt(), 0);

    Slicer slicer(nullptr, model("step.stl", TestSupport::boxFacets(-5, -5, 0, 5, 5, 1)), 250, 0.1f,
                  false);
    RecordingProgress progress(&slicer);
    slicer.setProgress(&progress);
    QVERIFY2(slicer.engage(error), qPrintable(error));
    QCOMPARE(progress.values, QList<int>({0, 25, 50, 75}));
    QCOMPARE(progress.starts + progress.finishes, 2);
    QVERIFY(progress.slicingFlagSeen && progress.waitCursorSeen);
    QVERIFY(!slicer.isSlicing());
    QVERIFY(!QGuiApplication::overrideCursor()); // the wait cursor is popped, not covered
    const QString text = readText(m_runs + "step_Z250/step.svg");
    QCOMPARE(text.count("<g id="), 5);
    for (const char *plane :
         {"1\" plane=\"0.25\"", "2\" plane=\"0.5\"", "3\" plane=\"0.75\"",
          "4\" plane=\"1\">\n<rect x=\"-5\" y=\"-5\" width=\"10\" height=\"10\" "
          "style=\"fill:black\" />\n</g>\n<g id=\"base\""})
        QVERIFY2(text.contains(QLatin1String("<g id=\"") + plane), plane);
}

void TestSlicerRun::jobFileKeysVisibleWhenAnnounced()
{
    Slicer slicer(nullptr, model("cube.stl", TestSupport::boxFacets(-5, -5, 0, 5, 5, 1.5f)), 100,
                  0.1f, false);
    QStringList seen;
    connect(&slicer, &Slicer::sgnNotifyVekCreation, this, [&seen](const QString &path) {
        QSettings job(path, QSettings::IniFormat);
        job.beginGroup("SourceImage");
        for (const QString &key : job.childKeys())
            seen << key + "=" + job.value(key).toString();
    });
    QString error;
    QVERIFY2(slicer.engage(error), qPrintable(error));
    const QString folder = m_runs + "cube_Z100";
    QCOMPARE(slicer.getPlaneCounter(), 14); // the 15th sum of 0.1 exceeds 1.5
    QCOMPARE(
            seen,
            QStringList({"basename=cube", "lastframe=14", "path=" + folder, "type=1", "zcut=100"}));
    QCOMPARE(readText(folder + "/cube.vek"),
             "[SourceImage]\nbasename=cube\nlastframe=14\npath=" + folder + "\ntype=1\nzcut=100\n");
}

void TestSlicerRun::cancelLeavesNothingBehind()
{
    Slicer slicer(nullptr, model("cube.stl", TestSupport::boxFacets(-5, -5, 0, 5, 5, 2)), 100, 0.1f,
                  false);
    RecordingProgress progress(&slicer, 50);
    slicer.setProgress(&progress);
    QSignalSpy announced(&slicer, &Slicer::sgnNotifyVekCreation);
    QString error;
    QVERIFY(!slicer.engage(error));
    QCOMPARE(error,
             QStringLiteral("The user decided to prematurely interrupt the slicing process."));
    QCOMPARE(progress.values.last(), 50);
    QCOMPARE(progress.finishes, 1);
    QVERIFY(!slicer.isSlicing());
    QVERIFY(runFolders().isEmpty());
    QCOMPARE(announced.count(), 0);
}

void TestSlicerRun::unreadableModelsAreErrors()
{
    const QString where = "bool Slicer::engage(QString &) ERROR: ";
    const QString missing = m_dir.path() + "/missing.stl";
    const QString corrupt = model("corrupt.stl", QVector<STLStruct>());
    TestSupport::writeFile(corrupt, "not an STL");
    const QString empty = model("empty.stl", QVector<STLStruct>());
    const QString cube = model("cube.stl", TestSupport::boxFacets(-5, -5, 0, 5, 5, 1));
    const QList<QPair<QString, QString>> cases = {
            {missing, where + "the model file does not exist: " + missing},
            {corrupt, where + "the model file cannot be read: " + corrupt},
            {empty, where + "the model file holds no facets: " + empty},
            {QString(), where + "no model file to slice."},
    };
    for (const auto &modelAndError : cases) {
        Slicer slicer(nullptr, modelAndError.first, 100, 0.1f, false);
        QString error;
        QVERIFY(!slicer.engage(error));
        QCOMPARE(error, modelAndError.second);
        QVERIFY(!slicer.isSlicing());
    }
    Slicer flat(nullptr, cube, 0, 0.1f, false);
    QString error;
    QVERIFY(!flat.engage(error));
    QCOMPARE(error, where + "the layer thickness must be positive.");
    QVERIFY(runFolders().isEmpty());
}

void TestSlicerRun::outputFailures()
{
    const QString cube = model("cube.stl", TestSupport::boxFacets(-5, -5, 0, 5, 5, 10));
    QString error;

    // The working folder lies under a file: the folder cannot be made.
    TestSupport::writeFile(m_dir.path() + "/plain", "x");
    SLICER_WORKING_DIR = m_dir.path() + "/plain/";
    Slicer blocked(nullptr, cube, 100, 0.1f, false);
    QVERIFY(!blocked.engage(error));
    QCOMPARE(error,
             "QString Slicer::prepareOutputFilePath(QString &) ERROR while creating the "
             "SlicedModels subfolder.\nCheck permissions of "
                     + m_dir.path()
                     + "/plain/cube_Z100\nbool Slicer::svgOpenOutputFile(QString &) ERROR: check "
                       "the folders' permissions.");
    QVERIFY(!blocked.isSlicing());
    SLICER_WORKING_DIR = m_runs;

    // The disk fills up (a file size limit here): the run fails and its folder goes.
    Slicer full(nullptr, cube, 50, 0.1f, false);
    QSignalSpy announced(&full, &Slicer::sgnNotifyVekCreation);
    rlimit previous;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 8192;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool fullSucceeded = full.engage(error);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &previous), 0);
    QVERIFY(!fullSucceeded);
    QVERIFY2(error.startsWith("bool Slicer::writePendingText(QString &) ERROR: while writing "
                              + m_runs + "cube_Z050/cube"),
             qPrintable(error));
    QVERIFY(!full.isSlicing());
    QCOMPARE(announced.count(), 0);
    QVERIFY(runFolders().isEmpty());

    // The job file cannot be written (a folder stands in its place).
    Slicer noJob(nullptr, cube, 1000, 0.1f, false);
    connect(&noJob, &Slicer::sgnAskForScreenShot, this,
            [&noJob] { QDir().mkpath(noJob.getOutputFolder() + "cube.vek"); });
    QVERIFY(!noJob.engage(error));
    QVERIFY2(error.startsWith("bool Slicer::writeVekFile(QString &) ERROR: the job file could not "
                              "be written: cannot open "
                              + m_runs + "cube_Z1000/cube.vek: "),
             qPrintable(error));
    QVERIFY(!noJob.isSlicing());
    QVERIFY(runFolders().isEmpty());
}

void TestSlicerRun::commandLineTool()
{
    const QString cube = model("box.stl", TestSupport::boxFacets(-10, -10, 0, 10, 10, 2));
    const QString out = m_dir.path() + "/cli";
    auto run = [](const QStringList &arguments) {
        QProcess tool;
        tool.start(KELVAROME_SLICE_EXE, arguments);
        tool.waitForFinished(30000);
        return std::make_tuple(tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
                               QString::fromUtf8(tool.readAllStandardError()));
    };

    auto [code, output, messages] = run({cube, "--microns", "500", "--hollow", "--out", out});
    QCOMPARE(code, 0);
    QCOMPARE(output, out + "/box_Z500/box.vek\n");
    QVERIFY(messages.isEmpty()); // no progress when stderr is not a terminal
    const QString text = readText(out + "/box_Z500/box.svg");
    QCOMPARE(text.count("<g id="), 5);
    QCOMPARE(text.count("stroke-width:0.5; fill:black"), 3);

    std::tie(code, output, messages) = run({m_dir.path() + "/gone.stl", "--out", out});
    QCOMPARE(code, 1);
    QVERIFY(output.isEmpty());
    QVERIFY(messages.contains("the model file does not exist"));

    std::tie(code, output, messages) = run({cube, "--microns", "0"});
    QCOMPARE(code, 2);
    QVERIFY(messages.contains("--microns"));
}

QTEST_MAIN(TestSlicerRun)
#include "tst_slicerrun.moc"
