#include <csignal>

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QtTest>

#include "slicing/slicer.h"
#include "tests/testsupport.h"
#include "tests/virtualprinters.h"

using namespace VirtualPrinters;

Q_DECLARE_METATYPE(VirtualPrinterBehaviour)

// kelvarome-print as a process, against a virtual printer, with its projector on the second
// screen. It runs from a copy in a folder of its own, where its settings.ini lies, with a home of
// its own for the Documents folder.
class TestPrintTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void estimateAndRefusals();
    void wholePrintAndSignal();
    void faultyPrinter_data();
    void faultyPrinter();

private:
    // Starts the tool with `arguments`; its stderr and stdout come together.
    void start(QProcess &tool, const QStringList &arguments);
    int run(const QStringList &arguments, QByteArray &output);

    QTemporaryDir dir;
    QString job;
    QString tool;
};

void TestPrintTool::initTestCase()
{
    QVERIFY(QFile::copy(PRINT_EXE, dir.filePath("kelvarome-print")));
    tool = dir.filePath("kelvarome-print");
    // Short waits; the log's folder exists.
    QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
    settings.setValue("ProgramSettings/pre_movement_time", 100);
    settings.setValue("ProgramSettings/post_movement_time", 100);
    settings.setValue("PrintSettings/path_slicedmodels", dir.filePath("runs/"));
    settings.sync();

    // A 20 x 20 mm plate 0.25 mm thick: two layers at 100 µm.
    const QString model = dir.filePath("plate.stl");
    TestSupport::writeFile(
            model, TestSupport::binaryStl(TestSupport::boxFacets(-10, -10, 0, 10, 10, 0.25f)));
    Slicer slicer;
    connect(&slicer, &Slicer::sgnNotifyVekCreation, this,
            [this](const QString &path) { job = path; });
    QString error;
    QVERIFY2(slicer.engage({model, 100, false, dir.filePath("runs/"), QImage()}, error),
             qPrintable(error));
}

void TestPrintTool::start(QProcess &process, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", dir.path());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, arguments);
}

int TestPrintTool::run(const QStringList &arguments, QByteArray &output)
{
    QProcess process;
    start(process, arguments);
    if (!process.waitForFinished(30000))
        return -1;
    output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TestPrintTool::estimateAndRefusals()
{
    // Two layers of 600 ms, waits of 100 ms and the up/down movement's 5000 ms.
    QByteArray output;
    QCOMPARE(run({job, "--estimate", "--time", "600"}, output), 0);
    QCOMPARE(output, QByteArray("estimated time: 00:00:11\n"));

    TestSupport::writeFile(dir.filePath("table.txt"), "# from, to, ms\n1 1 200\n2, 2, 300\n");
    QCOMPARE(run({job, "--estimate", "--no-up-down", "--table", dir.filePath("table.txt")}, output),
             0);
    QCOMPARE(output, QByteArray("estimated time: 00:00:01\n"));

    for (const QStringList &wrong :
         {QStringList{job}, QStringList{job, "--port", "x", "--time", "abc"},
          QStringList{"--port", "x"}, QStringList{job, "--estimate", "--table", "missing.txt"}})
        QCOMPARE(run(wrong, output), 2);
    TestSupport::writeFile(dir.filePath("reversed.txt"), "5 2 100\n");
    QCOMPARE(run({job, "--estimate", "--table", dir.filePath("reversed.txt")}, output), 2);
    QVERIFY(output.contains("inconsistent"));

    QCOMPARE(run({job, "--port", "/dev/kelvarome-no-such-port"}, output), 1);
    QVERIFY(output.contains("no printer on /dev/kelvarome-no-such-port"));
}

void TestPrintTool::wholePrintAndSignal()
{
    if (QGuiApplication::screens().size() != 2)
        QSKIP("needs the two-screen display of scripts/test");
    const QStringList options = {"--time", "600", "--no-up-down"};
    QByteArray output;

    const auto board = VirtualPrinters::start();
    QCOMPARE(run(QStringList{job, "--port", board->devicePath()} + options, output), 0);
    const Codes stages = {"64", "65", "60", "61", "62", "63", "66", "30"};
    Codes lift;
    for (int step = 0; step < 10; ++step)
        lift << "50";
    QCOMPARE(board->codes(), Codes({"10", "12"}) + stages + stages + lift + Codes{"89"});
    QVERIFY(output.contains("frame 2 of 2"));
    QFile log(dir.filePath("runs/printing.log"));
    QVERIFY(log.open(QIODevice::ReadOnly) && log.readAll().contains("Printing has finished!"));

    // SIGTERM: the abort sequence, then the closing notice.
    const auto stopped = VirtualPrinters::start();
    QProcess process;
    start(process, QStringList{job, "--port", stopped->devicePath()} + options);
    QTRY_COMPARE(stopped->codes().size(), 4);
    ::kill(pid_t(process.processId()), SIGTERM);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(stopped->codes().mid(stopped->codes().size() - 3), Codes({"52", "66", "89"}));
}

void TestPrintTool::faultyPrinter_data()
{
    QTest::addColumn<VirtualPrinterBehaviour>("board");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    // The handshake is the 1st and 2nd command, the first layer change's "66" the 9th.
    QTest::newRow("hang-up at the layer change")
            << behaviour([](auto &b) { b.hangUpAfterCommands = 9; }) << 1
            << "The printer went away during the print, at frame 1 of 2.";
    QTest::newRow("silent after the handshake")
            << behaviour([](auto &b) { b.silentFromCommand = 3; }) << 0 << "print finished";
    QTest::newRow("chatter after the handshake") << behaviour([](auto &b) {
        b.streamFromCommand = 3;
        b.streamGapMs = 5;
        b.streamBytes = 64;
    }) << 0 << "print finished";
    QTest::newRow("chatter from the start")
            << behaviour([](auto &b) { b.streamGapMs = 5, b.streamBytes = 64; }) << 1
            << "to \"10\", not \"OK\"";
    QTest::newRow("late beyond the wait")
            << behaviour([](auto &b) { b.answerDelayMs = 500; }) << 1 << "no answer from";
}

void TestPrintTool::faultyPrinter()
{
    if (QGuiApplication::screens().size() != 2)
        QSKIP("needs the two-screen display of scripts/test");
    QFETCH(VirtualPrinterBehaviour, board);
    QFETCH(int, status);
    QFETCH(QString, message);
    const auto printer = VirtualPrinters::start(board);
    QByteArray output;
    QCOMPARE(run({job, "--port", printer->devicePath(), "--time", "600", "--no-up-down"}, output),
             status);
    QVERIFY2(output.contains(message.toUtf8()), output.constData());
    // A print that stops ends within moments of the fault, the closing notice not sent to a
    // printer that is gone; one that cannot start takes no longer than its answer waits.
    if (status != 0 && printer->faultAtMs() != 0) {
        const qint64 faultToEndMs = VirtualPrinter::monotonicNowMs() - printer->faultAtMs();
        qInfo("fault to exit: %lld ms", faultToEndMs);
        QVERIFY(faultToEndMs < 1000);
    }
    QCOMPARE(printer->codes().contains("89"), status == 0);
}

QTEST_MAIN(TestPrintTool)
#include "tst_printtool.moc"
