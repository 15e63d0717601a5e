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
    // False after a network failure, an HTTP error status or the time-out; errorText then says which.
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

// What a login reply says, read line by line until a verdict: a line with more than one "=" makes the reply
// malformed, a "Login" line with anything but "success" refuses the login. A reply without a Login line passes.
struct LoginReply
{
    enum class Verdict { Passed, Refused, WrongFormat };
    Verdict verdict = Verdict::Passed;
    // "UserID" read as a decimal number; 0 when none came.
    int userId = 0;
    QString ftpServer;
    QString ftpUser;
    QString ftpPassword;
};

LoginReply ParseLoginReply(const QString& body);

} // namespace recorder
