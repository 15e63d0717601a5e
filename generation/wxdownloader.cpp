#include "generation/wxdownloader.h"

#include "platform/debugoutput.h"

#include <QBuffer>
#include <QEventLoop>
#include <QIODevice>
#include <QNetworkRequest>
#include <QUrl>

namespace {
// Marks a reply that was stopped for its size.
constexpr const char* kBodyTooLarge = "aerovaneBodyTooLarge";
} // namespace

WXDownloader::WXDownloader()
    : m_manager(new QNetworkAccessManager())
{
}

WXDownloader::~WXDownloader()
{
    delete m_manager;
}

QNetworkReply* WXDownloader::Fetch(const QString& url)
{
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setTransferTimeout(m_transferTimeoutMs);
    QNetworkReply* reply = m_manager->get(request);

    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(reply, &QNetworkReply::errorOccurred, this, &WXDownloader::OnNetworkError);
    connect(reply, &QNetworkReply::downloadProgress, this, &WXDownloader::OnDownloadProgress);
    // A server that sends more than any weather file holds is cut off before the body fills the memory.
    connect(reply, &QNetworkReply::downloadProgress, reply, [this, reply](qint64 received, qint64 total) {
        if (received > m_maxBodySize || total > m_maxBodySize) {
            reply->setProperty(kBodyTooLarge, true);
            reply->abort();
        }
    });
    if (!reply->isFinished())
        loop.exec();
    return reply;
}

int WXDownloader::Finish(QNetworkReply* reply)
{
    int code = reply->error();
    QString reason = reply->errorString();
    // The whole body may have come in one piece before the size check could stop it.
    if (reply->property(kBodyTooLarge).toBool() || reply->bytesAvailable() > m_maxBodySize) {
        code = QNetworkReply::UnknownContentError;
        reason = QStringLiteral("the body exceeds %1 bytes").arg(m_maxBodySize);
    }
    if (code != QNetworkReply::NoError) {
        m_lastError = QString::number(code);
        platform::DebugOut(QStringLiteral("Download of %1 failed: %2\n")
                               .arg(QString::fromLatin1(reply->url().toEncoded()), reason)
                               .toStdString());
    }
    return code;
}

int WXDownloader::Download(const QString& url, QIODevice* target)
{
    m_lastError.clear();
    ++m_busyDepth;
    QNetworkReply* reply = Fetch(url);
    const int code = Finish(reply);
    // A target that does not open loses the body, but the transfer itself succeeded.
    if (code == QNetworkReply::NoError && target && target->open(QIODevice::WriteOnly)) {
        target->write(reply->readAll());
        target->close();
    }
    reply->disconnect();
    reply->deleteLater();
    --m_busyDepth;
    emit DownloadProgress(0, 0);
    return code;
}

int WXDownloader::DownloadWithProgress(const QString& url, QString* body)
{
    QBuffer received;
    const int code = Download(url, body ? &received : nullptr);
    if (code == QNetworkReply::NoError && body)
        *body = QString::fromUtf8(received.data());
    return code;
}

void WXDownloader::AbortAll()
{
    for (QNetworkReply* reply : m_manager->findChildren<QNetworkReply*>())
        reply->abort();
}

void WXDownloader::OnDownloadProgress(qint64 received, qint64 total)
{
    emit DownloadProgress(received, total);
}

void WXDownloader::OnNetworkError(QNetworkReply::NetworkError code)
{
    platform::DebugOut("Download Error:" + std::to_string(code) + "\n");
    m_lastError = QString::number(code);
    emit NetworkError(code);
}
