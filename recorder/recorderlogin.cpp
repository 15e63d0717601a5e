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

namespace {

constexpr int kDefaultFtpPort = 21;
constexpr int kHighestPort = 65535;

QString LoginFailed(const QString& why)
{
    return QStringLiteral("Recorder login failed: %1").arg(why);
}

} // namespace

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
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (timedOut && !reply->isFinished()) {
        reply->abort();
        response.errorText = LoginFailed(QStringLiteral("no answer in %1 s").arg(timeoutMs / 1000.0));
    } else if (tooLarge || reply->bytesAvailable() > kMaxLoginReplyBytes) {
        response.errorText = LoginFailed(QStringLiteral("an answer longer than %1 bytes").arg(kMaxLoginReplyBytes));
    } else if (status.isValid() && status.toInt() >= 400) {
        response.errorText = LoginFailed(QStringLiteral("HTTP %1").arg(status.toInt()));
    } else if (reply->error() != QNetworkReply::NoError) {
        response.errorText = LoginFailed(reply->errorString());
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
    bool loginLine = false;
    const QStringList lines = body.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList parts = (line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line).split(QLatin1Char('='));
        if (parts.size() > 2) {
            reply.verdict = LoginReply::Verdict::WrongFormat;
            return reply;
        }
        if (parts.size() < 2)
            continue;
        const QString& key = parts[0];
        const QString& value = parts[1];
        if (key == QLatin1String("Login")) {
            if (value != QLatin1String("success")) {
                reply.verdict = LoginReply::Verdict::Refused;
                return reply;
            }
            loginLine = true;
        } else if (key == QLatin1String("UserID")) {
            reply.userId = value.toInt();
        } else if (key == QLatin1String("FTPServer")) {
            reply.ftpServer = value;
        } else if (key == QLatin1String("FTPUser")) {
            reply.ftpUser = value;
        } else if (key == QLatin1String("FTPPass")) {
            reply.ftpPassword = value;
        }
    }
    reply.verdict = loginLine ? LoginReply::Verdict::Passed : LoginReply::Verdict::NotAReply;
    return reply;
}

QString LoginRefusal(const LoginReply& reply)
{
    switch (reply.verdict) {
    case LoginReply::Verdict::Passed:
        return QString();
    case LoginReply::Verdict::Refused:
        return QStringLiteral("Login failed...");
    case LoginReply::Verdict::WrongFormat:
        return QStringLiteral("Wrong Format");
    case LoginReply::Verdict::NotAReply:
        break;
    }
    return LoginFailed(QStringLiteral("not a recorder service reply"));
}

QString UploadRefusal(const LoginReply& reply)
{
    const QString refusal = LoginRefusal(reply);
    if (!refusal.isEmpty())
        return refusal;
    QString host;
    int port = 0;
    if (!SplitFtpServer(reply.ftpServer, host, port) || reply.ftpUser.isEmpty() || reply.ftpPassword.isEmpty())
        return LoginFailed(QStringLiteral("the reply names no file server"));
    return QString();
}

bool SplitFtpServer(const QString& value, QString& host, int& port)
{
    const QStringList parts = value.trimmed().split(QLatin1Char(':'));
    bool numeric = true;
    host = parts[0];
    port = parts.size() == 2 ? parts[1].toInt(&numeric) : kDefaultFtpPort;
    return !host.isEmpty() && parts.size() <= 2 && numeric && port > 0 && port <= kHighestPort;
}

} // namespace recorder
