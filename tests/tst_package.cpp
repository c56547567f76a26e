#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "base/constants.h"
#include "testsupport.h"

// Makes the Debian package with cpack, unpacks it into a scratch root as dpkg would install it,
// and runs and checks what a user and the desktop get from it.
class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void desktopIntegrationValidates();
    void installedProgramsRun();

private:
    // Runs the program to its end; the exit code, or -1 when it did not start or finish.
    int run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr);

    QTemporaryDir m_scratch;
    QString m_package;
    QString m_root;
    QProcessEnvironment m_environment;
};

int TestPackage::run(const QString &program, const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        qWarning("%s did not finish", qPrintable(program));
        return -1;
    }
    const QByteArray errors = process.readAllStandardError();
    if (output)
        *output = process.readAllStandardOutput();
    if (process.exitCode() != 0)
        qWarning("%s: %s", qPrintable(program), errors.constData());
    return process.exitCode();
}

void TestPackage::initTestCase()
{
    QVERIFY(m_scratch.isValid());
    // Nothing of the user's: the programs' configuration and documents go to the scratch folder,
    // and they get no display, as on a terminal without one.
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert("HOME", m_scratch.path() + "/home");
    m_environment.insert("XDG_CONFIG_HOME", m_scratch.path() + "/home/.config");
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        m_environment.remove(name);
    qputenv("XDG_CONFIG_HOME", m_environment.value("XDG_CONFIG_HOME").toLocal8Bit());

    const QString out = m_scratch.path() + "/cpack";
    QCOMPARE(run(CPACK_EXE, {"-G", "DEB", "--config", CPACK_CONFIG, "-B", out}), 0);
    const QStringList debs = QDir(out).entryList({"*.deb"}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    m_package = out + "/" + debs.first();
    m_root = m_scratch.path() + "/root";
    QCOMPARE(run("dpkg", {"-x", m_package, m_root}), 0);
}

void TestPackage::desktopIntegrationValidates()
{
    const QString share = m_root + "/usr/share";
    QByteArray depends;
    QCOMPARE(run("dpkg-deb", {"--field", m_package, "Depends"}, &depends), 0);
    // The libraries the programs link, found by dpkg-shlibdeps, and the plug-ins named by hand.
    for (const char *dependency : {"libc6", "libqt5core5a", "libqt5widgets5", "libqt5serialport5",
                                   "libpolyclipping22", "libqt5multimedia5-plugins"})
        QVERIFY2(depends.contains(dependency), depends.constData());

    const QStringList desktops = QDir(share + "/applications").entryList({"*.desktop"});
    const QStringList metainfos = QDir(share + "/metainfo").entryList({"*.metainfo.xml"});
    QCOMPARE(desktops.size(), 1);
    QCOMPARE(metainfos.size(), 1);
    const QString desktop = share + "/applications/" + desktops.first();
    const QString metainfo = share + "/metainfo/" + metainfos.first();
    QCOMPARE(run("desktop-file-validate", {desktop}), 0);
    QCOMPARE(run("appstreamcli", {"validate", "--no-net", metainfo}), 0);
    // The metadata points at the desktop entry by its file name.
    QVERIFY(TestSupport::readFile(metainfo).contains(
            "<launchable type=\"desktop-id\">" + desktops.first().toUtf8() + "</launchable>"));

    // The job type the package declares is one the desktop entry opens, and the shared MIME
    // database built from the package knows it by the job files' extension.
    const QString mime = m_scratch.path() + "/mime";
    QVERIFY(QDir().mkpath(mime + "/packages"));
    QVERIFY(QFile::copy(share + "/mime/packages/kelvarome.xml", mime + "/packages/kelvarome.xml"));
    QCOMPARE(run("update-mime-database", {mime}), 0);
    const QByteArray globs = TestSupport::readFile(mime + "/globs2");
    QVERIFY2(globs.contains(":application/x-kelvarome-job:*.vek"), globs.constData());
    // Its keys, read by hand: Qt's INI reader takes ";" for the start of a comment.
    QMap<QByteArray, QByteArray> entry;
    for (const QByteArray &line : TestSupport::readFile(desktop).split('\n')) {
        const int equals = line.indexOf('=');
        entry.insert(line.left(equals), line.mid(equals + 1));
    }
    const QList<QByteArray> types = entry.value("MimeType").split(';');
    QVERIFY2(types.contains("application/x-kelvarome-job") && types.contains("model/stl"),
             entry.value("MimeType").constData());
    QCOMPARE(entry.value("Exec"), "kelvarome %F");
    QCOMPARE(entry.value("Icon"), "kelvarome");
    QVERIFY(QFileInfo::exists(share + "/icons/hicolor/scalable/apps/kelvarome.svg"));
    QVERIFY(QFileInfo::exists(share + "/icons/hicolor/256x256/apps/kelvarome.png"));
}

void TestPackage::installedProgramsRun()
{
    const QString bin = m_root + "/usr/bin";
    for (const char *tool : {"kelvarome", "kelvarome-slice", "kelvarome-print", "kelvarome-printer",
                             "kelvarome-virtual-printer"})
        QVERIFY2(QFileInfo(bin + "/" + tool).isExecutable(), tool);

    // The installed slicer writes a job from a small model: 20 planes of 100 µm, the top clear of
    // the last one.
    const QString model = m_scratch.path() + "/cube.stl";
    QVERIFY(TestSupport::writeFile(
            model, TestSupport::binaryStl(TestSupport::boxFacets(0, 0, 0, 5, 5, 2.05f))));
    const QString out = m_scratch.path() + "/runs";
    QByteArray printed;
    QCOMPARE(run(bin + "/kelvarome-slice", {model, "--out", out}, &printed), 0);
    const QString job = QString::fromLocal8Bit(printed).trimmed();
    QCOMPARE(job, out + "/cube_Z100/cube.vek");
    QCOMPARE(QSettings(job, QSettings::IniFormat).value("SourceImage/lastframe").toInt(), 20);
    // The installed print tool reads its waits from the settings file in the user's
    // configuration folder, made on its first run, where the window looks for it too.
    const QString settings = m_environment.value("XDG_CONFIG_HOME") + "/kelvarome/settings.ini";
    QCOMPARE(run(bin + "/kelvarome-print", {job, "--estimate"}, &printed), 0);
    QVERIFY2(printed.startsWith("estimated time: "), printed.constData());
    QVERIFY(QFileInfo::exists(settings));

    // Version and usage without a display, also beside Qt's own options.
    QCOMPARE(run(bin + "/kelvarome", {"--version"}, &printed), 0);
    QCOMPARE(printed, "Kelvarome " + APP_VERSION.toUtf8() + "\n");
    QCOMPARE(run(bin + "/kelvarome", {"-stylesheet", "plain.qss", "-reverse", "-v"}, &printed), 0);
    QCOMPARE(printed, "Kelvarome " + APP_VERSION.toUtf8() + "\n");
    QCOMPARE(run(bin + "/kelvarome", {"--help"}, &printed), 0);
    QVERIFY2(printed.contains("[FILE...]") && printed.contains("--version")
                     && printed.contains(".vek"),
             printed.constData());

    // The installed programs read the installed translations and keep their settings in the
    // user's configuration folder.
    const ProgramFiles files = programFiles(bin);
    QCOMPARE(files.translationsDir, m_root + "/usr/share/kelvarome/Localization/");
    QCOMPARE(QDir(files.translationsDir).entryList({"*.qm"}),
             QStringList({"language_de.qm", "language_it.qm"}));
    QCOMPARE(files.settingsPath, settings);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
