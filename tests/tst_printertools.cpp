#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// kelvarome-printer against kelvarome-virtual-printer, both as the user runs them.
class TestPrinterTools : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void probeAndLog();
    void fineDownWaitsForRelease();
    void refusesOtherDevices();
    void printerGoneDuringMove();

private:
    // Starts the virtual printer with the given options; returns its device path.
    QString startVirtualPrinter(const QStringList &options = {});
    // Runs kelvarome-printer and returns its exit code; its output goes to `output`.
    int runPrinterTool(const QStringList &arguments);
    QString logText() const;
    // One field of every line of the virtual printer's log (1: time, 2: code or "hung").
    QStringList logField(int field) const;

    QTemporaryDir dir;
    QProcess virtualPrinter;
    QByteArray output;
};

void TestPrinterTools::cleanup()
{
    if (virtualPrinter.state() != QProcess::NotRunning) {
        virtualPrinter.terminate();
        QVERIFY(virtualPrinter.waitForFinished(5000));
    }
    QFile::remove(dir.filePath(QStringLiteral("commands.log")));
}

QString TestPrinterTools::startVirtualPrinter(const QStringList &options)
{
    virtualPrinter.start(QStringLiteral(VIRTUAL_PRINTER_EXE),
                         QStringList{"--log", dir.filePath(QStringLiteral("commands.log"))}
                                 + options);
    while (!virtualPrinter.canReadLine() && virtualPrinter.waitForReadyRead(5000)) { }
    return QString::fromLocal8Bit(virtualPrinter.readLine()).trimmed();
}

int TestPrinterTools::runPrinterTool(const QStringList &arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(PRINTER_EXE), arguments);
    if (!tool.waitForFinished(15000))
        return -1;
    output = tool.readAll();
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

QString TestPrinterTools::logText() const
{
    QFile log(dir.filePath(QStringLiteral("commands.log")));
    return log.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(log.readAll())
                                                           : QString();
}

QStringList TestPrinterTools::logField(int field) const
{
    QStringList fields;
    for (const QString &line : logText().split('\n', Qt::SkipEmptyParts))
        fields << line.section(' ', field, field);
    return fields;
}

void TestPrinterTools::probeAndLog()
{
    const QString device = startVirtualPrinter();
    QCOMPARE(runPrinterTool({device, "probe"}), 0);
    QCOMPARE(output, QByteArray("Tarvisomel on " + device.toLocal8Bit() + '\n'));

    // Each log line: date, time with milliseconds, code, name.
    const QRegularExpression lines(QStringLiteral(
            "^(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\d\\d CMD_[A-Z_]+\\n)+$"));
    QVERIFY2(lines.match(logText()).hasMatch(), qPrintable(logText()));
    QCOMPARE(logField(2), (QStringList{"10", "12", "89"}));

    QCOMPARE(runPrinterTool({device, "jump"}), 2);
    QVERIFY(output.contains("Usage"));
}

void TestPrinterTools::fineDownWaitsForRelease()
{
    QCOMPARE(runPrinterTool({startVirtualPrinter(), "fine-down"}), 0);
    QCOMPARE(logField(2), (QStringList{"10", "12", "31", "52", "89"}));
    const QStringList times = logField(1);
    const int releaseGap = QTime::fromString(times.at(2), QStringLiteral("hh:mm:ss.zzz"))
                                   .msecsTo(QTime::fromString(times.at(3), "hh:mm:ss.zzz"));
    QVERIFY2(releaseGap >= 3180 && releaseGap < 3700, qPrintable(QString::number(releaseGap)));
}

void TestPrinterTools::refusesOtherDevices()
{
    QCOMPARE(runPrinterTool({startVirtualPrinter({"--ack", "ok"}), "probe"}), 1);
    QVERIFY2(output.contains("\"ok\""), output.constData());
    QCOMPARE(runPrinterTool({"/dev/kelvarome-no-such-port", "up"}), 1);
    QVERIFY2(output.contains("cannot open"), output.constData());
}

void TestPrinterTools::printerGoneDuringMove()
{
    const QString device = startVirtualPrinter({"--hang-up-after", "3"});
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(runPrinterTool({device, "up"}), 1);
    QVERIFY(elapsed.elapsed() < 3000);
    QVERIFY2(output.contains("went away"), output.constData());
    QVERIFY(virtualPrinter.waitForFinished(2000));
    QCOMPARE(logField(2), (QStringList{"10", "12", "50", "hung"}));
}

QTEST_GUILESS_MAIN(TestPrinterTools)
#include "tst_printertools.moc"
