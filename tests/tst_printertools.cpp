#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// kelvarome-printer against kelvarome-virtual-printer, both as the user runs them.
class TestPrinterTools : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void probe();
    void fineDownWaitsForRelease();
    void refusesOtherDevices();
    void printerGoneDuringMove();

private:
    // Starts the virtual printer with the given options; returns its device path.
    QString startVirtualPrinter(const QStringList &options);
    int runPrinterTool(const QStringList &arguments, QByteArray &output);
    QStringList logLines() const;

    QTemporaryDir dir;
    QProcess virtualPrinter;
};

void TestPrinterTools::init()
{
    QVERIFY(dir.isValid());
}

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
    virtualPrinter.start(
            QStringLiteral(VIRTUAL_PRINTER_EXE),
            QStringList{QStringLiteral("--log"), dir.filePath(QStringLiteral("commands.log"))}
                    + options);
    if (!virtualPrinter.waitForStarted(5000))
        return QString();
    while (!virtualPrinter.canReadLine() && virtualPrinter.waitForReadyRead(5000)) { }
    return QString::fromLocal8Bit(virtualPrinter.readLine()).trimmed();
}

int TestPrinterTools::runPrinterTool(const QStringList &arguments, QByteArray &output)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(PRINTER_EXE), arguments);
    if (!tool.waitForFinished(15000))
        return -1;
    output = tool.readAll();
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

QStringList TestPrinterTools::logLines() const
{
    QFile log(dir.filePath(QStringLiteral("commands.log")));
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestPrinterTools::probe()
{
    const QString device = startVirtualPrinter({});
    QVERIFY(device.startsWith(QLatin1String("/dev/")));
    QByteArray output;
    QCOMPARE(runPrinterTool({device, QStringLiteral("probe")}, output), 0);
    QCOMPARE(output, QByteArray("Tarvisomel on " + device.toLocal8Bit() + '\n'));

    // Each line: date, time with milliseconds, code, name.
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 3);
    const QRegularExpression line(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (\\d\\d) (\\S+)$"));
    const QStringList expected = {QStringLiteral("10 CMD_SEND_ACK"),
                                  QStringLiteral("12 CMD_SEND_MDL"),
                                  QStringLiteral("89 CMD_LEDS_FDO")};
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = line.match(lines.at(i));
        QVERIFY2(match.hasMatch(), qPrintable(lines.at(i)));
        QCOMPARE(match.captured(1) + QLatin1Char(' ') + match.captured(2), expected.at(i));
    }

    QCOMPARE(runPrinterTool({device, QStringLiteral("jump")}, output), 2);
    QVERIFY(output.contains("Usage"));
}

void TestPrinterTools::fineDownWaitsForRelease()
{
    const QString device = startVirtualPrinter({});
    QByteArray output;
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(runPrinterTool({device, QStringLiteral("fine-down")}, output), 0);
    QVERIFY(elapsed.elapsed() >= 3200);

    QStringList codes;
    for (const QString &line : logLines())
        codes.append(line.section(QLatin1Char(' '), 2, 2));
    QCOMPARE(codes, (QStringList{"10", "12", "31", "52", "89"}));
    const auto timeOf = [this](int i) {
        return QTime::fromString(logLines().at(i).section(QLatin1Char(' '), 1, 1),
                                 QStringLiteral("hh:mm:ss.zzz"));
    };
    const int releaseGap = timeOf(2).msecsTo(timeOf(3));
    QVERIFY2(releaseGap >= 3180 && releaseGap < 3700, qPrintable(QString::number(releaseGap)));
}

void TestPrinterTools::refusesOtherDevices()
{
    const QString device = startVirtualPrinter({QStringLiteral("--ack"), QStringLiteral("ok")});
    QByteArray output;
    QCOMPARE(runPrinterTool({device, QStringLiteral("probe")}, output), 1);
    QVERIFY2(output.contains("\"ok\""), output.constData());

    QCOMPARE(runPrinterTool({QStringLiteral("/dev/kelvarome-no-such-port"), QStringLiteral("up")},
                            output),
             1);
    QVERIFY2(output.contains("cannot open"), output.constData());
}

void TestPrinterTools::printerGoneDuringMove()
{
    const QString device =
            startVirtualPrinter({QStringLiteral("--hang-up-after"), QStringLiteral("3")});
    QByteArray output;
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(runPrinterTool({device, QStringLiteral("up")}, output), 1);
    QVERIFY(elapsed.elapsed() < 3000);
    QVERIFY2(output.contains("went away"), output.constData());
    QVERIFY(virtualPrinter.waitForFinished(2000));
    QVERIFY(logLines().constLast().endsWith(QLatin1String("hung up")));
}

QTEST_GUILESS_MAIN(TestPrinterTools)
#include "tst_printertools.moc"
