#include "generation/wxdownloader.h"

#include "platform/debugoutput.h"

#include <QBuffer>
#include <QEventLoop>
#include <QIODevice>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {
// Mark a reply that was stopped for its size, or at its deadline.
constexpr const char* kBodyTooLarge = "aerovaneBodyTooLarge";
constexpr const char* kDeadlinePassed = "aerovaneDeadlinePassed";
constexpr const char* kAbortedByOwner = "aerovaneAbortedByOwner";
// How far the network layer may read ahead of the body collected so far.
constexpr qint64 kReadAheadBytes = 256 * 1024;

// The cause of a failed reply in a few words.
QString CauseInWords(QNetworkReply* reply, int code)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400)
        return QStringLiteral("HTTP %1").arg(status);
    switch (code) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("connection refused");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("connection closed by the server");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("server not found");
    case QNetworkReply::TimeoutError:
        return QStringLiteral("timed out");
    case QNetworkReply::OperationCanceledError:
        // Ended by AbortAll, or by the inactivity time-out.
        return reply->property(kAbortedByOwner).toBool() ? QStringLiteral("canceled") : QStringLiteral("timed out");
    default:
        return reply->errorString();
    }
}
} // namespace

WXDownloader::WXDownloader()
    : m_manager(new QNetworkAccessManager())
{
}

WXDownloader::~WXDownloader()
{
    delete m_manager;
}

QNetworkReply* WXDownloader::Fetch(const QString& url, int deadlineMs, QByteArray& body)
{
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setTransferTimeout(m_transferTimeoutMs);
    QNetworkReply* reply = m_manager->get(request);
    // Without a bound the network layer reads ahead of the size check as fast as the server sends.
    reply->setReadBufferSize(kReadAheadBytes);

    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, reply, [reply] {
        reply->setProperty(kDeadlinePassed, true);
        reply->abort();
    });
    deadline.start(deadlineMs > 0 ? deadlineMs : m_deadlineMs);

    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(reply, &QNetworkReply::errorOccurred, this, &WXDownloader::OnNetworkError);
    connect(reply, &QNetworkReply::downloadProgress, this, &WXDownloader::OnDownloadProgress);
    // A server that announces or sends more than any weather file holds is cut off before the body fills the
    // memory: the announced length is checked when the headers arrive, the count as the bytes do.
    // True when the bytes are within the cap; else the reply is ended.
    const auto withinCap = [this, reply](qint64 bytes) {
        if (reply->property(kBodyTooLarge).toBool())
            return false;
        if (bytes <= m_maxBodySize)
            return true;
        reply->setProperty(kBodyTooLarge, true);
        reply->abort();
        return false;
    };
    const auto collect = [reply, withinCap, &body] {
        if (withinCap(body.size() + reply->bytesAvailable()))
            body += reply->readAll();
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply,
            [reply, withinCap] { withinCap(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong()); });
    connect(reply, &QNetworkReply::readyRead, reply, collect);
    if (!reply->isFinished())
        loop.exec();
    collect();
    return reply;
}

int WXDownloader::Finish(QNetworkReply* reply)
{
    int code = reply->error();
    QString reason = code != QNetworkReply::NoError ? CauseInWords(reply, code) : QString();
    if (reply->property(kBodyTooLarge).toBool()) {
        code = QNetworkReply::UnknownContentError;
        reason = QStringLiteral("the body exceeds %1 bytes").arg(m_maxBodySize);
    } else if (reply->property(kDeadlinePassed).toBool()) {
        code = QNetworkReply::TimeoutError;
        reason = QStringLiteral("timed out");
    }
    if (code != QNetworkReply::NoError) {
        m_lastError = QString::number(code);
        m_lastErrorText = reason;
        platform::DebugOut(QStringLiteral("Download of %1 failed: %2\n")
                               .arg(QString::fromLatin1(reply->url().toEncoded()), reason)
                               .toStdString());
    }
    return code;
}

int WXDownloader::Download(const QString& url, QIODevice* target, int deadlineMs)
{
    m_lastError.clear();
    m_lastErrorText.clear();
    ++m_busyDepth;
    QByteArray body;
    QNetworkReply* reply = Fetch(url, deadlineMs, body);
    const int code = Finish(reply);
    // A target that does not open loses the body, but the transfer itself succeeded.
    if (code == QNetworkReply::NoError && target && target->open(QIODevice::WriteOnly)) {
        target->write(body);
        target->close();
    }
    reply->disconnect();
    reply->deleteLater();
    --m_busyDepth;
    emit DownloadProgress(0, 0);
    return code;
}

int WXDownloader::DownloadWithProgress(const QString& url, QString* body, int deadlineMs)
{
    QBuffer received;
    const int code = Download(url, body ? &received : nullptr, deadlineMs);
    if (code == QNetworkReply::NoError && body)
        *body = QString::fromUtf8(received.data());
    return code;
}

void WXDownloader::AbortAll()
{
    for (QNetworkReply* reply : m_manager->findChildren<QNetworkReply*>()) {
        reply->setProperty(kAbortedByOwner, true);
        reply->abort();
    }
}

void WXDownloader::OnDownloadProgress(qint64 received, qint64 total)
{
    emit DownloadProgress(received, total);
}

void WXDownloader::OnNetworkError(QNetworkReply::NetworkError code)
{
    platform::DebugOut("Download Error:" + std::to_string(code) + "\n");
    m_lastError = QString::number(code);
    if (auto* reply = qobject_cast<QNetworkReply*>(sender()))
        m_lastErrorText = CauseInWords(reply, code);
    emit NetworkError(code);
}
