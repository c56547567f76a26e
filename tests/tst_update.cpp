#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include "tests/windowsupport.h"
#include "update/updatechecker.h"

namespace {

// The update service on 127.0.0.1: once the whole request is in, it sends `answer` `delayMs`
// later, then, when `endless`, white space until the client hangs up (64 MiB at most).
struct UpdateService : QTcpServer
{
    QByteArray request, answer;
    int delayMs = 0;
    bool endless = false;
    qint64 sent = 0;
    bool clientLeft = false;

    UpdateService()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, [this] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::disconnected, [this] { clientLeft = true; });
            connect(socket, &QTcpSocket::readyRead, [this, socket] {
                request += socket->readAll();
                if (request.endsWith(UpdateChecker::requestBody()))
                    QTimer::singleShot(delayMs, socket, [this, socket] { socket->write(answer); });
            });
            connect(socket, &QTcpSocket::bytesWritten, [this, socket] {
                if (endless && socket->bytesToWrite() == 0 && sent < 64 * 1024 * 1024)
                    sent += socket->write(QByteArray(16 * 1024, ' '));
            });
        });
    }
    QString url() const
    {
        return QString("http://127.0.0.1:%1/checkupdate_kelvarome.php").arg(serverPort());
    }
};

QByteArray whole(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// One check against `url`, once the checker has handled the reply: "notice", "silent", "reply
// kept" (not released) or "unhandled" (nothing within 5 s).
QString outcome(const QString &url, int timeoutMs = UpdateChecker::DEFAULT_TIMEOUT_MS)
{
    UpdateChecker checker(nullptr, QUrl(url), timeoutMs);
    QSignalSpy handled(checker.findChild<QNetworkAccessManager *>(),
                       &QNetworkAccessManager::finished);
    QSignalSpy announced(&checker, &UpdateChecker::updateAvailable);
    checker.check();
    if (!handled.wait(5000))
        return "unhandled";
    const QPointer<QNetworkReply> reply = handled.first().first().value<QNetworkReply *>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (reply)
        return "reply kept";
    return announced.isEmpty() ? "silent" : "notice";
}

} // namespace

class TestUpdate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(gui);
        qRegisterMetaType<QNetworkReply *>();
    }
    void answers_data();
    void answers();
    void unreachableService();
    void noticeFromTheMainWindow();
};

void TestUpdate::answers_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("endless");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<QString>("outcome");
    const int giveUp = UpdateChecker::DEFAULT_TIMEOUT_MS;
    QTest::newRow("NEW") << whole("NEW") << 0 << false << giveUp << "notice";
    QTest::newRow("spaced, line end") << whole("  NEW \r\n") << 0 << false << giveUp << "notice";
    QTest::newRow("NUL, junk") << whole(QByteArray("NEW\0 junk", 9)) << 0 << false << giveUp
                               << "notice";
    QTest::newRow("slow") << whole("NEW") << 2500 << false << giveUp << "notice";
    QTest::newRow("lower case") << whole("new") << 0 << false << giveUp << "silent";
    QTest::newRow("exclamation") << whole("NEW!") << 0 << false << giveUp << "silent";
    QTest::newRow("OK") << whole("OK") << 0 << false << giveUp << "silent";
    QTest::newRow("empty") << whole("") << 0 << false << giveUp << "silent";
    // "NEW" and white space without end would simplify to "NEW": the cap cuts it long before
    // the give-up.
    QTest::newRow("endless") << QByteArray("HTTP/1.1 200 OK\r\n\r\nNEW") << 0 << true << giveUp
                             << "silent";
    QTest::newRow("no answer") << QByteArray() << 0 << false << 1000 << "silent";
    QTest::newRow("unfinished") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nNEW")
                                << 0 << false << 1000 << "silent";
}

void TestUpdate::answers()
{
    QFETCH(QByteArray, answer);
    UpdateService service;
    service.answer = answer;
    QFETCH(int, delayMs);
    service.delayMs = delayMs;
    QFETCH(bool, endless);
    service.endless = endless;
    QFETCH(int, timeoutMs);
    QTEST(outcome(service.url(), timeoutMs), "outcome");
    QTRY_VERIFY(service.clientLeft);
    // Whatever was sent lies mostly in the sockets' kernel buffers.
    QVERIFY2(service.sent < 16 * 1024 * 1024, qPrintable(QString::number(service.sent)));

    QVERIFY(service.request.startsWith("POST /checkupdate_kelvarome.php HTTP/1.1\r\n"));
    QVERIFY(service.request.contains("\r\nContent-Type: application/json\r\n"));
    QVERIFY(service.request.endsWith(
            "\r\n\r\n{\"Drovensoft\":\"Tarvisomel\",\"CurrentVersion\":\"1.1.0\"}"));
}

void TestUpdate::unreachableService()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    QCOMPARE(outcome(QString("http://127.0.0.1:%1/checkupdate_kelvarome.php").arg(port)), "silent");
    // Addresses that cannot be asked post nothing.
    for (const char *url : {"", "not an address", "ftp://127.0.0.1/x", "file:///tmp/new"}) {
        UpdateChecker checker(nullptr, QUrl(QString(url)));
        checker.check();
        QVERIFY2(checker.findChildren<QNetworkReply *>().isEmpty(), url);
    }
}

void TestUpdate::noticeFromTheMainWindow()
{
    UpdateService service;
    service.answer = whole("NEW\n");
    WindowSupport::TestWindow test({}, service.url());
    const QString page = "https://www.kelvarome.example/it/software-download";
    QTRY_COMPARE(test.dialogs->shown,
                 QStringList{"NoIcon New update available!: There is a new update. Download it "
                             "on: <a href=\""
                             + page + "\">" + page + "</a>"});
}

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
