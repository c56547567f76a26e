#pragma once

#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Asks the maker's web service once whether a newer version exists. Every other outcome than
// the answer "NEW" is silent: no network, a refused or mistyped address, any other answer, a
// reply cut off for being too long or too slow.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    // The service's address (plain HTTP) and the page the notice sends the user to.
    static const QString WEB_SERVICE_URL;
    static const QString DOWNLOAD_PAGE_URL;
    // An answer is a word: a longer reply is cut off and counts as no answer.
    static constexpr qint64 MAX_REPLY_BYTES = 4096;
    // A reply not complete by then is given up.
    static constexpr int DEFAULT_TIMEOUT_MS = 30000;

    explicit UpdateChecker(QObject *parent = nullptr,
                           const QUrl &serviceUrl = QUrl(WEB_SERVICE_URL),
                           int timeoutMs = DEFAULT_TIMEOUT_MS);

    // Posts the request and returns at once; the answer comes to handleNetworkData. An address
    // that is not an HTTP or HTTPS one posts nothing.
    void check();

    // {"Drovensoft":"Tarvisomel","CurrentVersion":"1.1.0"} in UTF-8.
    static QByteArray requestBody();

public slots:
    // Emits updateAvailable() when the whole reply, white space simplified and cut at its first
    // NUL, reads exactly "NEW". Releases the reply.
    void handleNetworkData(QNetworkReply *reply);

signals:
    void updateAvailable();

private:
    QNetworkAccessManager *m_manager;
    const QUrl m_serviceUrl;
    const int m_timeoutMs;
};
