// The program's one HTTP client: a GET that blocks its caller in a local event loop, so the window keeps
// painting and the timers keep firing while the reply comes in.
#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QString>

class QIODevice;

class WXDownloader : public QObject
{
    Q_OBJECT

public:
    // A transfer during which no data arrives for this long is ended with a failure ("timed out"). It stays above
    // the stall window, so that a transfer that stops is given up by the stall rule and named as stalled.
    static constexpr int kInactivityTimeoutMs = 90000;
    // A transfer that brings fewer than this many bytes within any stretch of this length is given up as
    // stalled: a server that trickles its answer does not hold its caller until the deadline. A slow but real
    // line brings far more.
    static constexpr int kDefaultStallWindowMs = 60000;
    static constexpr qint64 kDefaultStallMinimumBytes = 1024;
    static_assert(kInactivityTimeoutMs > kDefaultStallWindowMs, "a stall is named by the stall rule");
    // A transfer that has not ended this long after its start is ended with a failure, however steadily a server
    // trickles its bytes.
    static constexpr int kDefaultDeadlineMs = 120000;
    // Deadlines that fit what is fetched: a server's information document of a few kB, and a file of several MB
    // (the historic grid), which the stall rule guards while it arrives on a slow link.
    static constexpr int kSmallDocumentDeadlineMs = 10000;
    static constexpr int kLargeFileDeadlineMs = 30 * 60 * 1000;
    // A large file that announces its length gets the time that length takes at this lowest rate, and at least
    // the least deadline, in place of kLargeFileDeadlineMs: a server just above the stall rule does not hold its
    // caller for half an hour, while a slow but real line (20 kB/s) still brings a file of several MB.
    static constexpr qint64 kLowestRateBytesPerSecond = 4 * 1024;
    static constexpr int kLeastFittedDeadlineMs = 2 * 60 * 1000;
    // A body larger than this is not taken: the transfer is ended with a failure. The weather file is about
    // 110 kB packed.
    static constexpr qint64 kDefaultMaxBodySize = 16LL * 1024 * 1024;

    WXDownloader();
    ~WXDownloader() override;

    // GET the URL; on success the target is opened write-only, the whole body written and the target closed.
    // Returns 0 on success, else the QNetworkReply::NetworkError code (the target is not touched then). A
    // transfer not done within deadlineMs (0: the downloader's deadline) fails with TimeoutError.
    int Download(const QString& url, QIODevice* target, int deadlineMs = 0);
    // GET the URL; on success the body, read as UTF-8, replaces *body. Same result as Download. Calls may
    // nest (a timer slot may start one while another waits): each has its own reply and loop.
    int DownloadWithProgress(const QString& url, QString* body, int deadlineMs = 0);
    // As Download, for a file of up to several MB: its deadline fits the length the server announces (see
    // kLowestRateBytesPerSecond); a file of unknown length has the large file deadline.
    int DownloadLargeFile(const QString& url, QIODevice* target);
    // The last failure's code as a decimal number; empty after a call that succeeded.
    QString GetLastError() const { return m_lastError; }
    // The last failure's cause in words ("timed out", "connection refused", "HTTP 500"); empty after a success.
    QString GetLastErrorText() const { return m_lastErrorText; }
    // Whether the last call's reply began with a status line: the server was reached, even when the transfer then
    // failed (an error status, a stall in the body).
    bool ServerAnswered() const { return m_serverAnswered; }
    // True while at least one call of Download or DownloadWithProgress is under way.
    bool IsBusy() const { return m_busyDepth > 0; }
    // Ends every transfer still running with the "operation canceled" failure, so the calls waiting for them
    // return at once.
    void AbortAll();

    void SetMaxBodySize(qint64 bytes) { m_maxBodySize = bytes; }
    void SetDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    // The deadline of a document of a few kB (kSmallDocumentDeadlineMs unless set).
    void SetSmallDocumentDeadline(int milliseconds) { m_smallDocumentDeadlineMs = milliseconds; }
    int GetSmallDocumentDeadline() const { return m_smallDocumentDeadlineMs; }
    // The deadline of a large file that announces its length: that length at lowestBytesPerSecond, at least
    // leastDeadlineMs (kLowestRateBytesPerSecond and kLeastFittedDeadlineMs unless set).
    void SetFittedDeadline(qint64 lowestBytesPerSecond, int leastDeadlineMs)
    {
        m_lowestRateBytesPerSecond = lowestBytesPerSecond;
        m_leastFittedDeadlineMs = leastDeadlineMs;
    }
    // Transfers that bring fewer than minimumBytes within any windowMs of the program's clock (platform/clock) are
    // given up as stalled; 0 turns this off.
    void SetStallLimit(int windowMs, qint64 minimumBytes)
    {
        m_stallWindowMs = windowMs;
        m_stallMinimumBytes = minimumBytes;
    }

signals:
    void Success();
    void NetworkError(QNetworkReply::NetworkError code);
    void DownloadProgress(qint64 received, qint64 total);

public slots:
    void OnDownloadProgress(qint64 received, qint64 total);
    void OnNetworkError(QNetworkReply::NetworkError code);

private:
    // The deadline a transfer starts with, and whether it is fitted to the length the server announces.
    struct Deadline
    {
        int milliseconds;
        bool fitsLength;
    };

    // Sends the GET and waits for the end of the reply, collecting its body into `body` as it arrives; the
    // caller releases the reply.
    QNetworkReply* Fetch(const QString& url, Deadline deadline, QByteArray& body);
    int DownloadWithin(const QString& url, QIODevice* target, Deadline deadline);
    // The time a body of this length may take at the lowest rate, at least the least fitted deadline.
    qint64 FittedDeadline(qint64 length) const;
    // The reply's code; for a failure also the last error text and the debug line.
    int Finish(QNetworkReply* reply);

    QNetworkAccessManager* m_manager;
    int m_busyDepth = 0;
    QString m_lastError;
    QString m_lastErrorText;
    int m_deadlineMs = kDefaultDeadlineMs;
    int m_smallDocumentDeadlineMs = kSmallDocumentDeadlineMs;
    qint64 m_lowestRateBytesPerSecond = kLowestRateBytesPerSecond;
    int m_leastFittedDeadlineMs = kLeastFittedDeadlineMs;
    int m_stallWindowMs = kDefaultStallWindowMs;
    qint64 m_stallMinimumBytes = kDefaultStallMinimumBytes;
    qint64 m_maxBodySize = kDefaultMaxBodySize;
    bool m_serverAnswered = false;
};
