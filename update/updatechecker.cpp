#include "update/updatechecker.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include "base/constants.h"

const QString UpdateChecker::WEB_SERVICE_URL =
        QStringLiteral("http://www.kelvarome.example/checkupdate_kelvarome.php");
const QString UpdateChecker::DOWNLOAD_PAGE_URL =
        QStringLiteral("https://www.kelvarome.example/it/software-download");

UpdateChecker::UpdateChecker(QObject *parent, const QUrl &serviceUrl, int timeoutMs)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
    , m_serviceUrl(serviceUrl)
    , m_timeoutMs(timeoutMs)
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &UpdateChecker::handleNetworkData);
}

QByteArray UpdateChecker::requestBody()
{
    // Written out rather than through QJsonObject, which would sort the keys: the service reads
    // these bytes as they are.
    return QByteArrayLiteral("{\"Drovensoft\":\"") + PRINTER_MODEL_NAME.toUtf8()
            + QByteArrayLiteral("\",\"CurrentVersion\":\"") + APP_VERSION.toUtf8()
            + QByteArrayLiteral("\"}");
}

void UpdateChecker::check()
{
    const QString scheme = m_serviceUrl.scheme();
    if (!m_serviceUrl.isValid() || m_serviceUrl.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return;

    QNetworkRequest request(m_serviceUrl);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply *reply = m_manager->post(request, requestBody());
    // The reply holds at most one byte over the limit, which is enough to tell it is too long.
    reply->setReadBufferSize(MAX_REPLY_BYTES + 1);
    connect(reply, &QNetworkReply::readyRead, reply, [reply] {
        if (reply->bytesAvailable() > MAX_REPLY_BYTES)
            reply->abort();
    });
    QTimer::singleShot(m_timeoutMs, reply, &QNetworkReply::abort);
}

void UpdateChecker::handleNetworkData(QNetworkReply *reply)
{
    reply->deleteLater();
    // Cut off in check(): abort() closed it, and what had arrived is gone.
    if (!reply->isOpen())
        return;
    const QByteArray body = reply->read(MAX_REPLY_BYTES + 1);
    if (body.size() > MAX_REPLY_BYTES)
        return;

    QByteArray answer = body.simplified();
    const int nul = answer.indexOf('\0');
    if (nul >= 0)
        answer.truncate(nul);
    if (QString::fromUtf8(answer.constData(), answer.size()) == QLatin1String("NEW"))
        emit updateAvailable();
}
