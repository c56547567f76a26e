#include <QProcess>
#include <QtTest>

// Starts the real executable on the test display and waits for its main window to be mapped.
class TestLaunch : public QObject
{
    Q_OBJECT

private slots:
    void mainWindowComesUp();
};

static bool kelvaromeWindowMapped()
{
    QProcess tree;
    tree.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    if (!tree.waitForFinished(5000))
        return false;
    const QString output = QString::fromLocal8Bit(tree.readAllStandardOutput());
    return output.contains(QStringLiteral("\"Kelvarome\": (\"kelvarome\""));
}

void TestLaunch::mainWindowComesUp()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X display (scripts/test provides one)");

    QProcess app;
    app.setProcessChannelMode(QProcess::ForwardedChannels);
    app.start(QStringLiteral(KELVAROME_EXE), QStringList());
    QVERIFY2(app.waitForStarted(5000), qPrintable(app.errorString()));

    bool mapped = false;
    for (int attempt = 0; attempt < 150 && !mapped; ++attempt) {
        QTest::qWait(100);
        QVERIFY2(app.state() == QProcess::Running, "the application ended on its own");
        mapped = kelvaromeWindowMapped();
    }
    app.terminate();
    app.waitForFinished(5000);
    QVERIFY2(mapped, "no window titled Kelvarome appeared");
}

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
