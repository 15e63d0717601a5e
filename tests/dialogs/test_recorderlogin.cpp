#include "optiontest.h"

#include "platform/debugoutput.h"
#include "recorder/recorderlogin.h"
#include "settings/serveraddresses.h"
#include "tools/wx-server/wxserver.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>

namespace {

// The options dialog's test login against the loopback server.
class RecorderLoginTest : public OptionTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Listen());
        UseService(server.BaseUrl());
    }

    void UseService(const QString& url)
    {
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.recorderUrl = url;
        m_addresses.reset();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
    }
    void SetReply(const QByteArray& reply) const
    {
        QFile file(m_serverDir.filePath(QStringLiteral("recorder-login.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reply);
    }
    // Types the id and hash, presses "Test Login" and returns what the label shows.
    QString TestLogin(const QString& userId = "4711", const QString& hash = "9fKq2x")
    {
        Widget<QLineEdit>("lineEdit_aerovane_recorder_userid")->setText(userId);
        Widget<QLineEdit>("lineEdit_aerovane_recorder_hash")->setText(hash);
        Widget<QPushButton>("pushButton_recorder_testconnection")->click();
        return Widget<QLabel>("label_recorder_testconnection_result")->text();
    }

    QTemporaryDir m_serverDir;
    tools::WxServer server{m_serverDir.path()};

private:
    std::unique_ptr<ScopedServerAddresses> m_addresses;
};

} // namespace

// Only a reply of the service with Login=success shows success; every other outcome says why.
TEST_F(RecorderLoginTest, LabelShowsTheVerdictOfTheFirstDecisiveLineOrWhyThereIsNone)
{
    using Failure = tools::WxServer::Failure;
    const QString failed = QStringLiteral("Recorder login failed: ");
    const struct
    {
        QByteArray reply;
        Failure failure;
        QString label;
    } cases[] = {
        {"Login=success\nUserID=42\n", Failure::None, "success UserID:42"},
        {"Login=success\r\nUserID=42\r\n", Failure::None, "success UserID:42"},
        {"Login=failed\nUserID=42\nFTPPass=a=b\n", Failure::None, "Login failed..."},
        {"UserID=7\nFTPPass=pa=ss\nLogin=failed\n", Failure::None, "Wrong Format"},
        {"", Failure::None, failed + "not a recorder service reply"},
        {"<html>maintenance</html>\n\nUserID=x\n", Failure::None, failed + "not a recorder service reply"},
        {"Login=success\n", Failure::HtmlPage, failed + "not a recorder service reply"},
        {"Login=success\n", Failure::InternalError, failed + "HTTP 500"},
        {QByteArray(10 * 1024 * 1024, 'x'), Failure::None, failed + "an answer longer than 1048576 bytes"},
    };
    for (const auto& c : cases) {
        SetReply(c.reply);
        server.SetFailure("/index.php", c.failure);
        EXPECT_EQ(TestLogin(), c.label) << c.reply.left(40).constData();
    }
}

TEST_F(RecorderLoginTest, TypedValuesArePostedPercentEncodedNotTheStoredOnes)
{
    CSettings::SetAerovaneUserId("1");
    CSettings::SetAerovaneRecorderHash("stored");
    SetReply("Login=success\nUserID=4711\n");
    platform::ScopedDebugCapture debug;
    EXPECT_EQ(TestLogin("4711", "a+b/c=d&e ü"), "success UserID:4711");
    ASSERT_EQ(server.Posts().size(), 1);
    EXPECT_EQ(server.Posts()[0].target, "/index.php?option=com_aerovane_user&view=checklogin");
    EXPECT_EQ(server.Posts()[0].body, "userid=4711&recorderhash=a%2Bb%2Fc%3Dd%26e%20%C3%BC&");
    EXPECT_TRUE(debug.Lines().empty());
}

TEST_F(RecorderLoginTest, UnreachableOrSilentServiceEndsInTheErrorText)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    UseService(QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort()));
    closed.close();
    {
        platform::ScopedDebugCapture debug;
        EXPECT_EQ(TestLogin(), "Recorder login failed: Connection refused");
        EXPECT_TRUE(debug.Contains("failed: Connection refused\n"));
        EXPECT_FALSE(debug.Contains("9fKq2x"));
    }

    UseService(server.BaseUrl());
    server.SetFailure("/index.php", tools::WxServer::Failure::Stall);
    Dialog().SetLoginTimeout(1000);
    QElapsedTimer clock;
    clock.start();
    platform::ScopedDebugCapture debug;
    EXPECT_EQ(TestLogin(), "Recorder login failed: no answer in 1 s");
    // Given up at the time-out set, not at the usual one of half a minute.
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(debug.Contains("request of " + server.BaseUrl().toStdString()
                               + "/index.php?option=com_aerovane_user&view=checklogin failed"));
}

// The file server a granting reply names, as "host:port" (empty: none); a bare host is the FTP port 21.
TEST(RecorderLoginReply, FileServerIsAHostAndAPortOrPort21)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ftp.example.org", "ftp.example.org:21"},
        {" ftp.example.org\r", "ftp.example.org:21"},
        {"127.0.0.1:2121", "127.0.0.1:2121"},
        {"ftp.example.org:65535", "ftp.example.org:65535"},
        {"ftp.example.org:0", ""},
        {"ftp.example.org:65536", ""},
        {"ftp.example.org:ftp", ""},
        {"ftp.example.org:21:21", ""},
        {":21", ""},
        {"", ""},
    };
    for (const auto& [value, named] : cases) {
        QString host;
        int port = 0;
        const bool valid = recorder::SplitFtpServer(QString::fromLatin1(value), host, port);
        EXPECT_EQ(valid ? host + ':' + QString::number(port) : QString(), named) << value;
    }
}
