// The recorder's FTP upload against a loopback pyftpdlib server and a listener that never greets.
#include "flight/ftpupload.h"
#include "tests/flight/ftpserverprocess.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace {

const QString kUser = QStringLiteral("pilot");
const QString kPassword = QStringLiteral("s3cret+&=");

// Runs the event loop until the upload reports; the error flag, or none after the test's own limit.
std::optional<bool> WaitForDone(FtpUpload& upload, int limitMs = 20000)
{
    std::optional<bool> result;
    QEventLoop loop;
    QObject::connect(&upload, &FtpUpload::done, &loop, [&](bool error) {
        result = error;
        loop.quit();
    });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

// A flight file's worth of bytes, every byte value included.
QByteArray BinaryData(int size)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>(static_cast<unsigned>(i) * 7919u % 256u);
    return data;
}

} // namespace

TEST(FtpUpload, TwoMegabytesArriveByteForByteWhileTheCallersEventsKeepRunning)
{
    FtpServerProcess ftp(kUser, kPassword);
    QString whyNot;
    if (!ftp.Start(whyNot))
        GTEST_SKIP() << whyNot.toStdString();

    const QByteArray data = BinaryData(2 * 1024 * 1024) + "\r\n\n\r";
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] { longestGap = qMax(longestGap, sinceTick.restart()); });

    FtpUpload upload;
    sinceTick.start();
    probe.start();
    ASSERT_TRUE(upload.Put({QStringLiteral("127.0.0.1"), ftp.Port(), kUser, kPassword},
                           QStringLiteral("flight_42_AVN101_20261207143005.xml"), data));
    EXPECT_TRUE(upload.IsRunning());
    EXPECT_FALSE(
        upload.Put({QStringLiteral("127.0.0.1"), ftp.Port(), kUser, kPassword}, QStringLiteral("second.xml"), data));
    EXPECT_EQ(WaitForDone(upload), false) << upload.ErrorString().toStdString();
    probe.stop();

    EXPECT_LT(longestGap, 100);
    EXPECT_TRUE(upload.ErrorString().isEmpty());
    QFile stored(ftp.FilePath(QStringLiteral("flight_42_AVN101_20261207143005.xml")));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stored.readAll() == data);
}

TEST(FtpUpload, WrongPasswordEndsInAnErrorWithTheLibrarysTextAndNoPassword)
{
    FtpServerProcess ftp(kUser, kPassword);
    QString whyNot;
    if (!ftp.Start(whyNot))
        GTEST_SKIP() << whyNot.toStdString();

    FtpUpload upload;
    ASSERT_TRUE(upload.Put({QStringLiteral("127.0.0.1"), ftp.Port(), kUser, QStringLiteral("wrong-pass")},
                           QStringLiteral("flight.xml"), "<Flight/>"));
    EXPECT_EQ(WaitForDone(upload), true);
    EXPECT_TRUE(upload.ErrorString().contains(QStringLiteral("530"))) << upload.ErrorString().toStdString();
    EXPECT_FALSE(upload.ErrorString().contains(QStringLiteral("wrong-pass")));
    EXPECT_FALSE(QFile::exists(ftp.FilePath(QStringLiteral("flight.xml"))));
}

TEST(FtpUpload, ServerThatNeverGreetsEndsInAnErrorAtTheTimeOut)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    FtpUpload upload;
    upload.SetTimeoutMs(1000);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(upload.Put({QStringLiteral("127.0.0.1"), silent.serverPort(), kUser, kPassword},
                           QStringLiteral("flight.xml"), "<Flight/>"));
    EXPECT_EQ(WaitForDone(upload), true);
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(upload.ErrorString().isEmpty());
    EXPECT_FALSE(upload.IsRunning());
}

TEST(FtpUpload, OnlyBareFileNamesAreSent)
{
    FtpUpload upload;
    for (const char* name : {"", "../flight.xml", "flights/flight.xml", "..", "a\\b.xml", "flight..xml"}) {
        EXPECT_FALSE(upload.Put({QStringLiteral("127.0.0.1"), 21, kUser, kPassword}, QString::fromLatin1(name), "x"))
            << name;
        EXPECT_FALSE(upload.IsRunning());
    }
}
