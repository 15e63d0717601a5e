// A loopback FTP server for tests: Debian's own python3 (another one on PATH may lack the package) running
// pyftpdlib with one user whose home is a temporary folder, on a free port. It stops with the object, or at the
// end of its standard input when the test process dies.
#pragma once

#include <QProcess>
#include <QTemporaryDir>

class FtpServerProcess
{
public:
    FtpServerProcess(const QString& user, const QString& password)
        : m_arguments({QStringLiteral("-c"), QString::fromLatin1(kScript), m_folder.path(), user, password})
    {
    }

    ~FtpServerProcess()
    {
        m_process.closeWriteChannel();
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    // False with the reason when Debian's python3 or its pyftpdlib is missing or the server did not start.
    bool Start(QString& whyNot)
    {
        m_process.start(QStringLiteral("/usr/bin/python3"), m_arguments);
        const QByteArray line = m_process.waitForReadyRead(10000) ? m_process.readLine().trimmed() : QByteArray();
        m_port = line.startsWith("port ") ? line.mid(5).toInt() : 0;
        if (m_port == 0)
            whyNot
                = QStringLiteral("no loopback FTP server: ") + QString::fromLocal8Bit(line) + m_process.errorString();
        return m_port != 0;
    }

    int Port() const { return m_port; }
    QString FilePath(const QString& name) const { return m_folder.filePath(name); }

private:
    static constexpr const char* kScript = R"(
import sys, threading
try:
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
except ImportError as error:
    sys.exit(print("python3-pyftpdlib is not installed:", error, flush=True))
FTPHandler.authorizer = DummyAuthorizer()
FTPHandler.authorizer.add_user(sys.argv[2], sys.argv[3], sys.argv[1], perm="elradfmw")
server = FTPServer(("127.0.0.1", 0), FTPHandler)
print("port", server.address[1], flush=True)
threading.Thread(target=server.serve_forever, daemon=True).start()
sys.stdin.read()
)";

    QTemporaryDir m_folder;
    QStringList m_arguments;
    QProcess m_process;
    int m_port = 0;
};
