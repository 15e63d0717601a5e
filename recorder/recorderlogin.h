// The login at the flight recorder's web service: a form post of the user id and recorder hash, and the reply,
// text lines of a key, "=" and a value:
//     Login=success
//     UserID=42
//     FTPServer=ftp.example.org
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

namespace recorder {

// How long a login request may wait for the service's answer.
constexpr int kLoginTimeoutMs = 30000;
// A longer answer is no login reply; the request is aborted as failed.
constexpr qint64 kMaxLoginReplyBytes = 1024 * 1024;

// The service's address for the login: its base and "/index.php?option=com_aerovane_user&view=checklogin".
QUrl LoginUrl();
// "userid=<id>&recorderhash=<hash>&", each value percent-encoded from UTF-8 so that "+", "&" or "=" in a
// hash arrive as typed.
QByteArray LoginBody(const QString& userId, const QString& recorderHash);

struct LoginResponse
{
    // False after a network failure, an HTTP error status, an overlong answer or the time-out; errorText then
    // says which ("Recorder login failed: HTTP 500").
    bool ok = false;
    QString errorText;
    // The reply body decoded as UTF-8.
    QString body;
};

// Posts the login through the manager and waits, in a local event loop that keeps the GUI thread's events
// running, for the reply or the time-out, whichever comes first. Failures are written to the debug output as
// "request of <address> failed: <error>", the address without user information; the hash is never written
// anywhere. An answer longer than kMaxLoginReplyBytes fails.
LoginResponse SendLogin(QNetworkAccessManager& manager, const QString& userId, const QString& recorderHash,
                        int timeoutMs = kLoginTimeoutMs);

// What a login reply says, read line by line (a line may end in "\r\n") until a verdict: a line with more than
// one "=" makes the reply malformed, a "Login" line with anything but "success" refuses the login. A reply
// without a Login line (an HTML page, an empty body) is no reply of the service.
struct LoginReply
{
    enum class Verdict { Passed, Refused, WrongFormat, NotAReply };
    Verdict verdict = Verdict::NotAReply;
    // "UserID" read as a decimal number; 0 when none came.
    int userId = 0;
    // "ftp.example.org", or with a port "127.0.0.1:2121".
    QString ftpServer;
    QString ftpUser;
    QString ftpPassword;
};

LoginReply ParseLoginReply(const QString& body);

// Why the reply does not pass the login, as the user is told: "Wrong Format", "Login failed..." or
// "Recorder login failed: not a recorder service reply"; empty when it passes.
QString LoginRefusal(const LoginReply& reply);
// Why the reply does not let an upload go ahead: the login's refusal, or a passed login that does not name the
// file server, its user and its password; empty when the upload may go ahead.
QString UploadRefusal(const LoginReply& reply);

// The FTPServer value as host and port, a bare host meaning port 21; false for an empty host or a port that is
// no number from 1 to 65535.
bool SplitFtpServer(const QString& value, QString& host, int& port);

} // namespace recorder
