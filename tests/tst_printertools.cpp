#include <memory>

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// kelvarome-printer run against its own kelvarome-virtual-printer, both as a user runs them.
struct ToolRun
{
    QProcess board;
    QProcess tool;
    QString logPath;
    QString device;

    // The codes the board logged, then "hung" if it hung up.
    QStringList codes() const
    {
        QFile log(logPath);
        QStringList codes;
        if (log.open(QIODevice::ReadOnly | QIODevice::Text)) {
            for (const QString &line :
                 QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts))
                codes << line.section(' ', 2, 2);
        }
        return codes;
    }
    QString output() { return QString::fromLocal8Bit(tool.readAll()); }
};

} // namespace

class TestPrinterTools : public QObject
{
    Q_OBJECT

private slots:
    void everyActionAndItsExitStatus();
    void refusalsAndWrongArguments();
    void staleLinkReplacedOtherFilesKept();

private:
    // Starts a board with `boardOptions` and the tool on it with `action`, without waiting; the
    // tool opens `port` when given, else the board's device.
    ToolRun *startRun(const QString &action, const QStringList &boardOptions = {},
                      const QString &port = QString());
    int finish(ToolRun *run);

    QTemporaryDir dir;
    std::vector<std::unique_ptr<ToolRun>> runs;
};

ToolRun *TestPrinterTools::startRun(const QString &action, const QStringList &boardOptions,
                                    const QString &port)
{
    auto run = std::make_unique<ToolRun>();
    run->logPath = dir.filePath(QString::number(runs.size()) + ".log");
    run->board.start(VIRTUAL_PRINTER_EXE, QStringList{"--log", run->logPath} + boardOptions);
    while (!run->board.canReadLine() && run->board.waitForReadyRead(5000)) { }
    run->device = QString::fromLocal8Bit(run->board.readLine()).trimmed();
    run->tool.setProcessChannelMode(QProcess::MergedChannels);
    run->tool.start(PRINTER_EXE, {port.isEmpty() ? run->device : port, action});
    runs.push_back(std::move(run));
    return runs.back().get();
}

int TestPrinterTools::finish(ToolRun *run)
{
    if (!run->tool.waitForFinished(15000))
        return -1;
    run->board.terminate();
    run->board.waitForFinished(5000);
    return run->tool.exitStatus() == QProcess::NormalExit ? run->tool.exitCode() : -1;
}

void TestPrinterTools::everyActionAndItsExitStatus()
{
    // Each action runs twice at once: against a good board, and against one that hangs up
    // during the action (during the handshake for the actions that send nothing later).
    const QList<QPair<QString, QStringList>> actions = {
            {"probe", {}},
            {"up", {"50", "52"}},
            {"down", {"51", "52"}},
            {"fine-up", {"41", "52"}},
            {"fine-down", {"31", "52"}},
            {"leds", {"64", "65", "60", "61", "62", "63", "66"}},
            {"release", {"52"}}};
    QList<QPair<ToolRun *, ToolRun *>> started;
    for (const auto &[action, codes] : actions) {
        const QString hangUpAt = codes.size() > 1 ? "3" : "2";
        started.append(
                qMakePair(startRun(action), startRun(action, {"--hang-up-after", hangUpAt})));
    }
    for (int i = 0; i < actions.size(); ++i) {
        const auto &[action, codes] = actions.at(i);
        ToolRun *good = started.at(i).first;
        ToolRun *lost = started.at(i).second;
        QCOMPARE(finish(good), 0);
        QCOMPARE(good->codes(), QStringList({"10", "12"}) + codes + QStringList{"89"});
        QVERIFY2(finish(lost) == 1, qPrintable(action));
        QCOMPARE(lost->codes().last(), QStringLiteral("hung"));
        const QString said = lost->output();
        QVERIFY2(said.contains("went away") || said.contains("no answer"), qPrintable(said));
    }
    QCOMPARE(started.first().first->output(),
             "Tarvisomel on " + started.first().first->device + '\n');
}

void TestPrinterTools::refusalsAndWrongArguments()
{
    ToolRun *lowerCase = startRun("probe", {"--ack", "ok"});
    QCOMPARE(finish(lowerCase), 1);
    QVERIFY(lowerCase->output().contains("answered \"ok\" to \"10\", not \"OK\""));

    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(PRINTER_EXE, {"/dev/kelvarome-no-such-port", "up"});
    QVERIFY(tool.waitForFinished(5000));
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY(tool.readAll().contains("cannot open"));
    tool.start(PRINTER_EXE, {"/dev/kelvarome-no-such-port", "jump"});
    QVERIFY(tool.waitForFinished(5000));
    QCOMPARE(tool.exitCode(), 2);
    QVERIFY(tool.readAll().contains("Usage"));
}

void TestPrinterTools::staleLinkReplacedOtherFilesKept()
{
    // A link left by a killed run points nowhere: it is replaced and the tool reaches the board.
    const QString link = dir.filePath("printer-link");
    QVERIFY(QFile::link(dir.filePath("gone"), link));
    ToolRun *linked = startRun("probe", {"--link", link}, link);
    QCOMPARE(finish(linked), 0);
    QCOMPARE(linked->codes(), QStringList({"10", "12", "89"}));

    // Anything else in the way is refused, with the reason, and left as it was.
    const QString plain = dir.filePath("plain");
    QFile file(plain);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("keep") == 4);
    file.close();
    QProcess board;
    board.start(VIRTUAL_PRINTER_EXE, {"--link", plain});
    QVERIFY(board.waitForFinished(5000));
    QCOMPARE(board.exitCode(), 1);
    QVERIFY(board.readAllStandardError().contains("already exists and is not a link"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep"));
}

QTEST_GUILESS_MAIN(TestPrinterTools)
#include "tst_printertools.moc"
