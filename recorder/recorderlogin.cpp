#include "recorder/recorderlogin.h"

#include "platform/debugoutput.h"
#include "settings/settings.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>
#include <QTimer>

namespace recorder {

QUrl LoginUrl()
{
    return QUrl(CSettings::GetRecorderUrl() + QStringLiteral("/index.php?option=com_aerovane_user&view=checklogin"));
}

QByteArray LoginBody(const QString& userId, const QString& recorderHash)
{
    return "userid=" + QUrl::toPercentEncoding(userId) + "&recorderhash=" + QUrl::toPercentEncoding(recorderHash) + "&";
}

LoginResponse SendLogin(QNetworkAccessManager& manager, const QString& userId, const QString& recorderHash,
                        int timeoutMs)
{
    const QUrl url = LoginUrl();
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    QNetworkReply* reply = manager.post(request, LoginBody(userId, recorderHash));

    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    bool tooLarge = false;
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64) {
        if (received > kMaxLoginReplyBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });
    timeout.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec();

    LoginResponse response;
    if (timedOut && !reply->isFinished()) {
        reply->abort();
        response.errorText = QStringLiteral("The recorder service did not answer within %1 ms").arg(timeoutMs);
    } else if (tooLarge || reply->bytesAvailable() > kMaxLoginReplyBytes) {
        response.errorText
            = QStringLiteral("The recorder service's answer is longer than %1 bytes").arg(kMaxLoginReplyBytes);
    } else if (reply->error() != QNetworkReply::NoError) {
        response.errorText = reply->errorString();
    } else {
        response.ok = true;
        response.body = QString::fromUtf8(reply->readAll());
    }
    reply->deleteLater();
    if (!response.ok)
        platform::DebugOut(QStringLiteral("request of %1 failed: %2\n")
                               .arg(url.toString(QUrl::RemoveUserInfo | QUrl::FullyEncoded), response.errorText)
                               .toStdString());
    return response;
}

LoginReply ParseLoginReply(const QString& body)
{
    LoginReply reply;
    const QStringList lines = body.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList parts = line.split(QLatin1Char('='));
        if (parts.size() > 2) {
            reply.verdict = LoginReply::Verdict::WrongFormat;
            return reply;
        }
        if (parts.size() < 2)
            continue;
        const QString& key = parts[0];
        const QString& value = parts[1];
        if (key == QLatin1String("Login") && value != QLatin1String("success")) {
            reply.verdict = LoginReply::Verdict::Refused;
            return reply;
        }
        if (key == QLatin1String("UserID"))
            reply.userId = value.toInt();
        else if (key == QLatin1String("FTPServer"))
            reply.ftpServer = value;
        else if (key == QLatin1String("FTPUser"))
            reply.ftpUser = value;
        else if (key == QLatin1String("FTPPass"))
            reply.ftpPassword = value;
    }
    return reply;
}

} // namespace recorder
