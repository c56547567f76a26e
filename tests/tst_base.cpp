#include <QCoreApplication>
#include <QImage>
#include <QSettings>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

#include "base/constants.h"
#include "model/stlreader.h"
#include "testsupport.h"

// The working folders and the built-in files the application addresses by resource path.
class TestBase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void workingFolders();
    void settingsAndTranslationsPlaces();
    void builtInFilesDecode();
};

void TestBase::workingFolders()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    GEN_PATH = QStringList{"/home/user/Documents", "/home/user/Documents", "/srv/other"};
    // Forming the folders twice must not stack prefixes.
    fixPaths();
    fixPaths();
    QCOMPARE(SETTINGS_PATH, exeDir + "/settings.ini");
    QCOMPARE(TRNSLT_WORKING_DIR, exeDir + "/Localization/");
    QCOMPARE(SLICER_WORKING_DIR, QStringLiteral("/home/user/Documents/Kelvarome/SlicedModels/"));
    QCOMPARE(STL_PATH_LOCATION, QStringLiteral("/home/user/Documents/Kelvarome/STL-Files/"));

    // Without Documents, everything lies beside the executable.
    GEN_PATH.clear();
    fixPaths();
    QCOMPARE(SLICER_WORKING_DIR, exeDir + "/SlicedModels/");
    QCOMPARE(STL_PATH_LOCATION, exeDir + "/STL-Files/");
}

// The build folder keeps its files beside the executable; an installed program, or one whose
// folder cannot be written (as root too), uses the configuration and installed data folders.
void TestBase::settingsAndTranslationsPlaces()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString config = dir.path() + "/config";
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    const auto restore = qScopeGuard([&oldConfig] { qputenv("XDG_CONFIG_HOME", oldConfig); });
    const QString configSettings = config + "/kelvarome/settings.ini";

    const QString build = dir.path() + "/build";
    QVERIFY(QDir().mkpath(build));
    ProgramFiles files = programFiles(build);
    QCOMPARE(files.settingsPath, build + "/settings.ini");
    QCOMPARE(files.translationsDir, build + "/Localization/");
    QVERIFY2(!QFileInfo::exists(config), "nothing is made in the configuration folder");
    QCOMPARE(QDir(build).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());

    // Not writable, even for root: a folder under a plain file, and one of the kernel's.
    QVERIFY(TestSupport::writeFile(dir.path() + "/plain", "x"));
    for (const QString &folder : {QString(dir.path() + "/plain/bin"), QStringLiteral("/proc/1")}) {
        files = programFiles(folder);
        QCOMPARE(files.settingsPath, configSettings);
        QCOMPARE(files.translationsDir, folder + "/Localization/");
    }
    QVERIFY(QFileInfo(config + "/kelvarome").isDir());

    // Installed: data folder beside bin/, whether or not bin/ can be written.
    const QString prefix = dir.path() + "/usr";
    QVERIFY(QDir().mkpath(prefix + "/bin"));
    QVERIFY(QDir().mkpath(prefix + "/share/kelvarome/Localization"));
    files = programFiles(prefix + "/bin/");
    QCOMPARE(files.settingsPath, configSettings);
    QCOMPARE(files.translationsDir, prefix + "/share/kelvarome/Localization/");

    // A settings file made there is read back by the next program that resolves it.
    QVERIFY(QDir().rmpath(config + "/kelvarome"));
    files = programFiles(prefix + "/bin");
    QSettings written(files.settingsPath, QSettings::IniFormat);
    written.setValue("ProgramSettings/language", "de");
    written.sync();
    QCOMPARE(written.status(), QSettings::NoError);
    QCOMPARE(QSettings(programFiles(dir.path() + "/plain/bin").settingsPath, QSettings::IniFormat)
                     .value("ProgramSettings/language")
                     .toString(),
             QStringLiteral("de"));
}

void TestBase::builtInFilesDecode()
{
    for (const char *path : {":/lightingVertexShader.vsh", ":/lightingFragmentShader.fsh",
                             ":/sounds/success.wav", ":/sounds/error.wav", ":/sounds/wait.wav"}) {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly) && file.size() > 0, path);
    }
    for (const char *path : {":/img/grid.png", ":/img/logo.png", ":/img/logo_full.png",
                             ":/img/logo.ico", ":/img/arrow_up.png", ":/img/arrow_down.png"})
        QVERIFY2(!QImage(path).isNull(), path);
    // One user unit is one millimetre: the calibration grid is 90.2 mm square.
    QSvgRenderer grid(QStringLiteral(":/img/grid.svg"));
    QVERIFY(qAbs(grid.boundsOnElement("0").width() - 90.2) < 1e-6);
    for (const char *path : {":/stl/bed.stl", ":/stl/gridpattern.stl"})
        QVERIFY2(STLReader(path).getObjectTriangles() > 0, path);

    // Qt's INI reader takes no "#" comments: commented-out entries must not become keys.
    for (const char *path : {":/db/resins.cfg", ":/db/projectors.cfg", ":/db/times.cfg"}) {
        QSettings database(path, QSettings::IniFormat);
        QVERIFY2(database.status() == QSettings::NoError && database.childKeys().isEmpty(), path);
        QVERIFY(!database.childGroups().isEmpty());
    }
    QSettings projectors(":/db/projectors.cfg", QSettings::IniFormat);
    projectors.beginGroup("id1");
    QCOMPARE(projectors.childKeys(),
             QStringList({"brand", "lampKW", "lumen", "model", "resolution"}));
}

QTEST_MAIN(TestBase)
#include "tst_base.moc"
