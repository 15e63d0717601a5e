#include "generation/wxdownloader.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <deque>
#include <functional>
#include <limits>
#include <utility>

namespace {
// Mark a reply that was stopped for its size, as stalled, at its deadline or by its owner.
constexpr const char* kBodyTooLarge = "aerovaneBodyTooLarge";
constexpr const char* kStalled = "aerovaneStalled";
constexpr const char* kDeadlinePassed = "aerovaneDeadlinePassed";
constexpr const char* kAbortedByOwner = "aerovaneAbortedByOwner";
// How far the network layer may read ahead of the body collected so far.
constexpr qint64 kReadAheadBytes = 256 * 1024;

// Ends a reply that is still running and marks it with the cause. A reply that has finished keeps what ended it:
// whatever ends a reply first names its cause, and a limit that runs out later marks nothing.
void EndReply(QNetworkReply* reply, const char* cause)
{
    if (reply->isFinished())
        return;
    reply->setProperty(cause, true);
    reply->abort();
}

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

// Watches the bytes of one transfer from its start and calls `stalled` once fewer than minimumBytes have arrived
// within the last windowMs, whenever that happens. A window or minimum of 0 watches nothing. Time is the
// program's monotonic clock: a timer only wakes the check, so under a fixed clock the window runs out when the
// clock is moved past it.
class StallWatch
{
public:
    StallWatch(int windowMs, qint64 minimumBytes, std::function<void()> stalled)
        : m_windowMs(windowMs)
        , m_minimumBytes(minimumBytes)
        , m_stalled(std::move(stalled))
    {
        if (!IsOn())
            return;
        m_start = platform::MonotonicMs();
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Check(); });
        m_timer.start(m_windowMs);
    }

    // The transfer has brought `total` bytes so far.
    void Received(qint64 total)
    {
        if (!IsOn() || total <= m_total)
            return;
        m_total = total;
        m_arrivals.emplace_back(Elapsed(), total);
        // Arrivals that the last minimumBytes do not reach back to decide nothing any more.
        while (m_arrivals.front().second <= m_total - m_minimumBytes)
            m_arrivals.pop_front();
    }

    // The transfer has ended: nothing more is checked.
    void Stop() { m_timer.stop(); }

private:
    bool IsOn() const { return m_windowMs > 0 && m_minimumBytes > 0; }
    qint64 Elapsed() const { return platform::MonotonicMs() - m_start; }

    // The window ending at this time holds too few bytes unless more arrive before: the earliest arrival among
    // the last minimumBytes then leaves it (the transfer's start, while fewer have come).
    qint64 StallTime() const
    {
        const qint64 since = m_total < m_minimumBytes ? 0 : m_arrivals.front().first;
        return since + m_windowMs;
    }

    // Checked only when a stall may be due; bytes that came since move the check on. A clock set back wakes the
    // check no later than a window on.
    void Check()
    {
        const qint64 remaining = StallTime() - Elapsed();
        if (remaining > 0)
            m_timer.start(static_cast<int>(qMin<qint64>(remaining, m_windowMs)));
        else
            m_stalled();
    }

    const int m_windowMs;
    const qint64 m_minimumBytes;
    const std::function<void()> m_stalled;
    qint64 m_start = 0;
    QTimer m_timer;
    qint64 m_total = 0;
    // The time and the byte count of every arrival since the count was m_total - m_minimumBytes.
    std::deque<std::pair<qint64, qint64>> m_arrivals;
};
} // namespace

WXDownloader::WXDownloader()
    : m_manager(new QNetworkAccessManager())
{
}

WXDownloader::~WXDownloader()
{
    delete m_manager;
}

QNetworkReply* WXDownloader::Fetch(const QString& url, Deadline deadline, QByteArray& body)
{
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setTransferTimeout(kInactivityTimeoutMs);
    QNetworkReply* reply = m_manager->get(request);
    // Without a bound the network layer reads ahead of the size check as fast as the server sends.
    reply->setReadBufferSize(kReadAheadBytes);

    QElapsedTimer sinceStart;
    sinceStart.start();
    QTimer deadlineTimer;
    deadlineTimer.setSingleShot(true);
    connect(&deadlineTimer, &QTimer::timeout, reply, [reply] { EndReply(reply, kDeadlinePassed); });
    deadlineTimer.start(deadline.milliseconds);
    StallWatch stallWatch(m_stallWindowMs, m_stallMinimumBytes, [reply] { EndReply(reply, kStalled); });
    // A nested call may hold this frame long after the reply has finished; its limits end with it.
    connect(reply, &QNetworkReply::finished, &deadlineTimer, [&deadlineTimer, &stallWatch] {
        deadlineTimer.stop();
        stallWatch.Stop();
    });

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
        // A body that came whole is refused all the same; a reply that failed first keeps its cause.
        if (reply->isFinished() && reply->error() == QNetworkReply::NoError)
            reply->setProperty(kBodyTooLarge, true);
        else
            EndReply(reply, kBodyTooLarge);
        return false;
    };
    const auto collect = [reply, withinCap, &body, &stallWatch] {
        if (withinCap(body.size() + reply->bytesAvailable()))
            body += reply->readAll();
        stallWatch.Received(body.size());
    };
    bool answered = false;
    connect(reply, &QNetworkReply::metaDataChanged, reply, [&, reply, withinCap] {
        answered = answered || reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (withinCap(length.toLongLong()) && deadline.fitsLength && length.isValid())
            deadlineTimer.start(
                static_cast<int>(qMax<qint64>(0, FittedDeadline(length.toLongLong()) - sinceStart.elapsed())));
    });
    connect(reply, &QNetworkReply::readyRead, reply, collect);
    if (!reply->isFinished())
        loop.exec();
    collect();
    m_serverAnswered = answered;
    return reply;
}

qint64 WXDownloader::FittedDeadline(qint64 length) const
{
    if (m_lowestRateBytesPerSecond <= 0)
        return kLargeFileDeadlineMs;
    // The length is within the body size limit, so the product cannot overflow.
    const qint64 atLowestRate = length * 1000 / m_lowestRateBytesPerSecond;
    return qBound<qint64>(m_leastFittedDeadlineMs, atLowestRate, std::numeric_limits<int>::max());
}

int WXDownloader::Finish(QNetworkReply* reply)
{
    int code = reply->error();
    QString reason = code != QNetworkReply::NoError ? CauseInWords(reply, code) : QString();
    if (reply->property(kBodyTooLarge).toBool()) {
        code = QNetworkReply::UnknownContentError;
        reason = QStringLiteral("the body exceeds %1 bytes").arg(m_maxBodySize);
    } else if (reply->property(kStalled).toBool()) {
        code = QNetworkReply::TimeoutError;
        reason = QStringLiteral("stalled: less than %1 bytes in %2 s")
                     .arg(m_stallMinimumBytes)
                     .arg(m_stallWindowMs / 1000.0);
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
    return DownloadWithin(url, target, {deadlineMs > 0 ? deadlineMs : m_deadlineMs, false});
}

int WXDownloader::DownloadLargeFile(const QString& url, QIODevice* target)
{
    return DownloadWithin(url, target, {kLargeFileDeadlineMs, true});
}

int WXDownloader::DownloadWithin(const QString& url, QIODevice* target, Deadline deadline)
{
    m_lastError.clear();
    m_lastErrorText.clear();
    ++m_busyDepth;
    QByteArray body;
    QNetworkReply* reply = Fetch(url, deadline, body);
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
    // A reply that has finished but whose call still waits for a nested one keeps its own cause.
    for (QNetworkReply* reply : m_manager->findChildren<QNetworkReply*>())
        EndReply(reply, kAbortedByOwner);
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
