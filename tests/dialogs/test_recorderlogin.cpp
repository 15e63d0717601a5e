#include "optiontest.h"

#include "flight/recorderlogin.h"
#include "platform/debugoutput.h"
#include "settings/serveraddresses.h"
#include "tools/wx-server/wxserver.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

const QString kResultLabel = QStringLiteral("label_recorder_testconnection_result");

class RecorderLoginTest : public OptionTest
{
protected:
    void SetUp() override
    {
        OptionTest::SetUp();
        ASSERT_TRUE(m_serverDir.isValid());
        ASSERT_TRUE(server.Listen());
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.recorderUrl = server.BaseUrl();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
    }

    void TearDown() override
    {
        m_addresses.reset();
        OptionTest::TearDown();
    }

    void SetReply(const QByteArray& reply) const
    {
        QFile file(m_serverDir.filePath(QStringLiteral("recorder-login.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reply);
    }

    // Types the id and hash into the dialog, presses "Test Login" and returns what the label shows.
    QString TestLogin(const QString& userId = "4711", const QString& hash = "9fKq2x")
    {
        Dialog().findChild<QLineEdit*>("lineEdit_aerovane_recorder_userid")->setText(userId);
        Dialog().findChild<QLineEdit*>("lineEdit_aerovane_recorder_hash")->setText(hash);
        Dialog().findChild<QPushButton*>("pushButton_recorder_testconnection")->click();
        return Dialog().findChild<QLabel*>(kResultLabel)->text();
    }

    QTemporaryDir m_serverDir;
    tools::WxServer server{m_serverDir.path()};

private:
    std::unique_ptr<ScopedServerAddresses> m_addresses;
};

} // namespace

TEST(RecorderLoginReply, VerdictComesFromTheFirstDecisiveLine)
{
    using Verdict = recorder::LoginReply::Verdict;
    struct Case
    {
        const char* reply;
        Verdict verdict;
        int userId;
    };
    for (const Case& c : {Case{"Login=success\nUserID=42\n", Verdict::Passed, 42}, Case{"", Verdict::Passed, 0},
                          Case{"Login=failed\nUserID=42\nFTPPass=a=b\n", Verdict::Refused, 0},
                          Case{"UserID=7\nFTPPass=pa=ss\nLogin=failed\n", Verdict::WrongFormat, 7},
                          Case{"<html>maintenance</html>\n\nUserID=x\n", Verdict::Passed, 0}}) {
        const recorder::LoginReply reply = recorder::ParseLoginReply(QString::fromLatin1(c.reply));
        EXPECT_EQ(reply.verdict, c.verdict) << c.reply;
        EXPECT_EQ(reply.userId, c.userId) << c.reply;
    }
    const recorder::LoginReply ftp = recorder::ParseLoginReply(
        "Login=success\nUserID=42\nFTPServer=ftp.example.org\nFTPUser=pilot\nFTPPass=s3cret\n");
    EXPECT_EQ(ftp.ftpServer, "ftp.example.org");
    EXPECT_EQ(ftp.ftpUser, "pilot");
    EXPECT_EQ(ftp.ftpPassword, "s3cret");
}

TEST_F(RecorderLoginTest, LabelShowsWhatTheServiceAnswered)
{
    for (const auto& [reply, label] : {std::pair{"Login=success\nUserID=42\n", "success UserID:42"},
                                       {"", "success UserID:0"},
                                       {"Login=failed\nUserID=42\n", "Login failed..."},
                                       {"FTPPass=x=y\nLogin=failed\n", "Wrong Format"}}) {
        SetReply(reply);
        EXPECT_EQ(TestLogin(), label) << reply;
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
    const quint16 closedPort = closed.serverPort();
    closed.close();
    {
        ServerAddresses addresses = CSettings::GetServerAddresses();
        addresses.recorderUrl = QStringLiteral("http://127.0.0.1:%1").arg(closedPort);
        ScopedServerAddresses refused(addresses);
        platform::ScopedDebugCapture debug;
        EXPECT_EQ(TestLogin(), "Connection refused");
        EXPECT_TRUE(debug.Contains("failed: Connection refused\n"));
        EXPECT_FALSE(debug.Contains("9fKq2x"));
    }

    server.SetFailure("/index.php", tools::WxServer::Failure::Stall);
    Dialog().SetLoginTimeout(1000);
    QElapsedTimer clock;
    clock.start();
    platform::ScopedDebugCapture debug;
    EXPECT_EQ(TestLogin(), "The recorder service did not answer within 1000 ms");
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(debug.Contains("request of " + server.BaseUrl().toStdString()
                               + "/index.php?option=com_aerovane_user&view=checklogin failed"));
}

TEST_F(RecorderLoginTest, ServerRefusesBodiesAboveItsLimit)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.Port());
    ASSERT_TRUE(socket.waitForConnected(2000));
    socket.write("POST /index.php?option=com_aerovane_user&view=checklogin HTTP/1.1\r\nContent-Length: 70000\r\n\r\n");
    QByteArray answer;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            answer += socket.readAll();
            return answer.contains("\r\n\r\n");
        },
        2000));
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 413"));
    EXPECT_TRUE(server.Posts().isEmpty());
}
