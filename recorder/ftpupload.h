// Puts one file on an FTP server: connect, log in, store it in binary mode under a bare name in the user's
// current directory, close. The transfer runs on a worker thread so that the caller's thread keeps handling its
// events; done() reports the outcome on the object's own thread.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

struct FtpServer
{
    QString host;
    int port = 21;
    QString user;
    QString password;
};

class FtpUpload : public QObject
{
    Q_OBJECT

public:
    // Connect, each server response and a stalled transfer (no byte for this long) each end the upload.
    static constexpr int kDefaultTimeoutMs = 30000;

    explicit FtpUpload(QObject* parent = nullptr);
    // Cancels a running upload and waits for its worker.
    ~FtpUpload() override;
    FtpUpload(const FtpUpload&) = delete;
    FtpUpload& operator=(const FtpUpload&) = delete;

    void SetTimeoutMs(int timeoutMs) { m_timeoutMs = timeoutMs; }

    // Starts storing `data` as `remoteName` on the server in passive mode; done() follows. False, with
    // ErrorString(), while another upload runs or when the name is not a bare file name.
    bool Put(const FtpServer& server, const QString& remoteName, const QByteArray& data);
    bool IsRunning() const { return m_running; }
    // What went wrong in the last upload, in the transfer library's words; empty after a success.
    QString ErrorString() const { return m_errorString; }

    // A name without a folder: no separator, no "..", not empty.
    static bool IsBareFileName(const QString& name);

signals:
    void done(bool error);

private:
    void Finish(const QString& errorText);

    int m_timeoutMs = kDefaultTimeoutMs;
    bool m_running = false;
    QString m_errorString;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
};
