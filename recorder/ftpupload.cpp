#include "recorder/ftpupload.h"

#include <QMetaObject>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

namespace {

// Everything the worker needs, held as plain bytes so that it shares nothing with the caller's thread.
struct Transfer
{
    std::string url;
    std::string user;
    std::string password;
    std::string data;
    std::size_t sent = 0;
    long timeoutMs = 0;
    const std::atomic<bool>* cancel = nullptr;
};

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::size_t ReadChunk(char* buffer, std::size_t size, std::size_t count, void* userData)
{
    auto* transfer = static_cast<Transfer*>(userData);
    const std::size_t chunk = std::min(size * count, transfer->data.size() - transfer->sent);
    std::memcpy(buffer, transfer->data.data() + transfer->sent, chunk);
    transfer->sent += chunk;
    return chunk;
}

int CheckCancel(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(userData)->cancel->load() ? 1 : 0;
}

// The whole FTP session; the error text, empty on success.
std::string Run(Transfer& transfer)
{
    CURL* curl = curl_easy_init();
    if (curl == nullptr)
        return "cannot start the transfer library";
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const long timeoutSeconds = std::max(1L, (transfer.timeoutMs + 999) / 1000);

    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl, CURLOPT_URL, transfer.url.c_str());
    // The credentials travel in their own options, never inside the address.
    curl_easy_setopt(curl, CURLOPT_USERNAME, transfer.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, transfer.password.c_str());
    // Passive mode, the data connection to the control connection's address whatever the server names.
    curl_easy_setopt(curl, CURLOPT_FTP_SKIP_PASV_IP, 1L);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &ReadChunk);
    curl_easy_setopt(curl, CURLOPT_READDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(transfer.data.size()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, transfer.timeoutMs);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &CheckCancel);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode result = curl_easy_perform(curl);
    // Cleaning up sends QUIT and closes the connection.
    curl_easy_cleanup(curl);
    if (result == CURLE_OK)
        return std::string();
    return errorBuffer[0] != '\0' ? std::string(errorBuffer) : std::string(curl_easy_strerror(result));
}

} // namespace

FtpUpload::FtpUpload(QObject* parent)
    : QObject(parent)
{
    InitCurlOnce();
}

FtpUpload::~FtpUpload()
{
    if (m_worker.joinable()) {
        m_cancel = true;
        m_worker.join();
    }
}

bool FtpUpload::IsBareFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QLatin1String(".."));
}

bool FtpUpload::Put(const FtpServer& server, const QString& remoteName, const QByteArray& data)
{
    if (m_running) {
        m_errorString = QStringLiteral("another upload is running");
        return false;
    }
    if (!IsBareFileName(remoteName)) {
        m_errorString = QStringLiteral("not a bare file name: %1").arg(remoteName);
        return false;
    }
    if (m_worker.joinable())
        m_worker.join();

    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setHost(server.host);
    url.setPort(server.port);
    url.setPath(QLatin1Char('/') + remoteName);
    auto transfer = std::make_shared<Transfer>();
    transfer->url = url.toString(QUrl::FullyEncoded).toStdString();
    transfer->user = server.user.toStdString();
    transfer->password = server.password.toStdString();
    transfer->data = data.toStdString();
    transfer->timeoutMs = m_timeoutMs;
    transfer->cancel = &m_cancel;

    m_running = true;
    m_errorString.clear();
    m_cancel = false;
    m_worker = std::thread([this, transfer] {
        const QString errorText = QString::fromStdString(Run(*transfer));
        // Queued to this object's thread; dropped if the object is gone by then (its destructor waited for us).
        QMetaObject::invokeMethod(
            this, [this, errorText] { Finish(errorText); }, Qt::QueuedConnection);
    });
    return true;
}

void FtpUpload::Finish(const QString& errorText)
{
    if (m_worker.joinable())
        m_worker.join();
    m_running = false;
    m_errorString = errorText;
    emit done(!errorText.isEmpty());
}
