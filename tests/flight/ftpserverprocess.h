// A loopback FTP server for tests: Debian's own python3 running pyftpdlib with one user whose home is a
// temporary folder, on a free port. The server stops when the object goes, or when the test process dies
// (it ends at the end of its standard input).
#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class FtpServerProcess
{
public:
    FtpServerProcess(const QString& user, const QString& password)
        : m_user(user)
        , m_password(password)
    {
    }

    ~FtpServerProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    FtpServerProcess(const FtpServerProcess&) = delete;
    FtpServerProcess& operator=(const FtpServerProcess&) = delete;

    // False with the reason when Debian's python3 or its pyftpdlib is missing, or the server did not start.
    bool Start(QString& whyNot)
    {
        // Another python3 earlier on PATH may lack the Debian package.
        const QString python = QStringLiteral("/usr/bin/python3");
        if (!QFile::exists(python)) {
            whyNot = QStringLiteral("no %1 for the FTP server").arg(python);
            return false;
        }
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(python,
                        {QStringLiteral("-c"), QString::fromLatin1(kScript), m_folder.path(), m_user, m_password});
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(10000)) {
            whyNot = QStringLiteral("the FTP server did not start: ")
                + QString::fromLocal8Bit(m_process.readAllStandardError());
            return false;
        }
        const QByteArray line = m_process.readLine().trimmed();
        if (!line.startsWith("port ")) {
            m_process.waitForFinished(3000);
            whyNot = QString::fromLocal8Bit(line + ' ' + m_process.readAllStandardError());
            return false;
        }
        m_port = line.mid(5).toInt();
        return m_port > 0;
    }

    int Port() const { return m_port; }
    // The FTP user's home folder.
    QString Folder() const { return m_folder.path(); }
    QString FilePath(const QString& name) const { return m_folder.filePath(name); }

private:
    static constexpr const char* kScript = R"(
import sys, threading
try:
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
except ImportError as error:
    print("python3-pyftpdlib is not installed: %s" % error, flush=True)
    sys.exit(3)
import logging
logging.basicConfig(level=logging.ERROR)
folder, user, password = sys.argv[1:4]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, folder, perm="elradfmw")
FTPHandler.authorizer = authorizer
server = FTPServer(("127.0.0.1", 0), FTPHandler)
print("port %d" % server.address[1], flush=True)
threading.Thread(target=server.serve_forever, daemon=True).start()
sys.stdin.read()
server.close_all()
)";

    QString m_user;
    QString m_password;
    QTemporaryDir m_folder;
    QProcess m_process;
    int m_port = 0;
};
