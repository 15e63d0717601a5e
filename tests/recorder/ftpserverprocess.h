// A loopback FTP server for tests: pyftpdlib under Debian's own python3 (another on PATH may lack it), two users
// at home in a temporary folder, a free port; it ends with the object or its standard input. It can take stored
// files no faster than a slow line would, so that an upload lasts seconds however fast the machine.
#pragma once

#include <QProcess>
#include <QTemporaryDir>

class FtpServerProcess
{
public:
    // The user "pilot" with the password "s3cret", and "reader" with the same password, who may not store.
    // A stored file is read at most storeBytesPerSecond a second; 0 reads it as fast as it comes.
    explicit FtpServerProcess(int storeBytesPerSecond = 0)
        : m_arguments({"-c", kScript, m_folder.path(), "pilot", "s3cret", QString::number(storeBytesPerSecond)})
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
        m_process.start("/usr/bin/python3", m_arguments);
        // The port line may arrive in pieces.
        while (!m_process.canReadLine() && m_process.waitForReadyRead(30000)) { }
        const QByteArray line = m_process.readLine().trimmed();
        m_port = line.startsWith("port ") ? line.mid(5).toInt() : 0;
        if (m_port == 0)
            whyNot = "no loopback FTP server: " + QString::fromLocal8Bit(line) + m_process.errorString();
        return m_port != 0;
    }

    int Port() const { return m_port; }
    QString FilePath(const QString& name) const { return m_folder.filePath(name); }

private:
    static constexpr const char* kScript = R"(
import sys, threading
try:
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
    from pyftpdlib.servers import FTPServer
except ImportError as error:
    sys.exit(print("python3-pyftpdlib is not installed:", error, flush=True))
FTPHandler.authorizer = DummyAuthorizer()
FTPHandler.authorizer.add_user(sys.argv[2], sys.argv[3], sys.argv[1], perm="elradfmw")
FTPHandler.authorizer.add_user("reader", sys.argv[3], sys.argv[1], perm="elr")
if int(sys.argv[4]) > 0:
    ThrottledDTPHandler.read_limit = int(sys.argv[4])
    FTPHandler.dtp_handler = ThrottledDTPHandler
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
