// The recorder's FTP upload against a loopback pyftpdlib server and a listener that never greets.
#include "recorder/ftpupload.h"
#include "tests/recorder/ftpserverprocess.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace {

// Runs the event loop until the upload reports; its error flag, or none after a minute (a refused login alone takes
// the server three seconds).
std::optional<bool> WaitForDone(FtpUpload& upload)
{
    std::optional<bool> result;
    QEventLoop loop;
    QObject::connect(&upload, &FtpUpload::done, &loop, [&](bool error) {
        result = error;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

FtpServer At(int port, const QString& password)
{
    return {QStringLiteral("127.0.0.1"), port, QStringLiteral("pilot"), password};
}

} // namespace

TEST(FtpUpload, TwoMegabytesArriveByteForByteWhileTheCallersEventsKeepRunning)
{
    // The server takes at most 384 kB a second, so the upload lasts seconds however fast the machine. A timer of
    // the caller looks for the upload running while the server holds part of the file: an upload that held the
    // caller's thread would let the timer run only once the whole file was there.
    FtpServerProcess ftp(384 * 1024);
    QString whyNot;
    if (!ftp.Start(whyNot))
        GTEST_SKIP() << whyNot.toStdString();
    QByteArray data(2 * 1024 * 1024, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(static_cast<unsigned>(i) * 7919u % 256u);
    FtpUpload upload;
    const QString storedPath = ftp.FilePath(QStringLiteral("flight.xml"));
    bool seenMidway = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const QFileInfo stored(storedPath);
        seenMidway = seenMidway || (upload.IsRunning() && stored.exists() && stored.size() < data.size());
    });
    probe.start(50);

    ASSERT_TRUE(upload.Put(At(ftp.Port(), "s3cret"), QStringLiteral("flight.xml"), data));
    EXPECT_FALSE(upload.Put(At(ftp.Port(), "s3cret"), QStringLiteral("second.xml"), data)) << "one at a time";
    EXPECT_EQ(WaitForDone(upload), false) << upload.ErrorString().toStdString();
    EXPECT_TRUE(seenMidway) << "a timer of the caller saw the upload running";
    QFile stored(storedPath);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stored.readAll() == data);
}

TEST(FtpUpload, WrongPasswordOrASilentServerEndInAnErrorWithTheLibrarysText)
{
    FtpServerProcess ftp;
    QString whyNot;
    if (ftp.Start(whyNot)) {
        FtpUpload upload;
        ASSERT_TRUE(upload.Put(At(ftp.Port(), "wrong-pass"), QStringLiteral("flight.xml"), "<Flight/>"));
        EXPECT_EQ(WaitForDone(upload), true);
        EXPECT_TRUE(upload.ErrorString().contains("530")) << upload.ErrorString().toStdString();
        EXPECT_FALSE(upload.ErrorString().contains("wrong-pass"));
    }

    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    FtpUpload upload;
    upload.SetTimeoutMs(1000);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(upload.Put(At(silent.serverPort(), "s3cret"), QStringLiteral("flight.xml"), "<Flight/>"));
    EXPECT_EQ(WaitForDone(upload), true);
    // Given up at the time-out set, not at the usual one of half a minute.
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(upload.ErrorString().isEmpty());
}
