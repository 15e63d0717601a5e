#include "generation/gzipunpack.h"
#include "tools/wx-server/gzipwriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>
#include <gtest/gtest.h>

namespace {

const QByteArray kWeatherText = "[METAR]\nEGLL 221850Z AUTO 15006KT 9999 BKN027 15/13 Q1011 NOSIG\n"
                                "EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG\n[/METAR]\n";

QStringList g_warnings;

void CollectWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        g_warnings << message;
}

// Collects the Qt warnings written while it lives.
class WarningCapture
{
public:
    WarningCapture()
        : m_previous(qInstallMessageHandler(&CollectWarning))
    {
        g_warnings.clear();
    }
    ~WarningCapture() { qInstallMessageHandler(m_previous); }
    QStringList Warnings() const { return g_warnings; }

private:
    QtMessageHandler m_previous;
};

// A text larger than one 1024-byte output chunk, so that the unpacking loop runs several times.
QByteArray LongText()
{
    QByteArray text;
    for (int i = 0; i < 400; ++i)
        text += "KORD 221851Z 21013G22KT 10SM FEW250 22/08 A2990 RMK AO2 SLP125 T02170083 " + QByteArray::number(i)
            + "\n";
    return text;
}

} // namespace

TEST(GzipUnpack, GzipAndZlibStreamsUnpackToTheOriginal)
{
    const QByteArray text = LongText();
    EXPECT_EQ(gUncompress(tools::GzipCompress(text)), text);
    // qCompress writes a 4-byte length in front of a zlib stream; the stream alone has a zlib header.
    EXPECT_EQ(gUncompress(qCompress(text).mid(4)), text);
}

TEST(GzipUnpack, TooShortCorruptOrOversizedInputGivesNothing)
{
    const QByteArray packed = tools::GzipCompress(kWeatherText);
    QByteArray corrupt = packed;
    for (int i = 10; i < 30; ++i)
        corrupt[i] = static_cast<char>(0xff);

    struct Case
    {
        const char* name;
        QByteArray input;
        qint64 maxSize;
        const char* warning;
    };
    const Case cases[] = {
        {"four bytes", packed.left(4), kMaxUnpackedSize, "gUncompress: Input data is truncated"},
        {"empty", QByteArray(), kMaxUnpackedSize, "gUncompress: Input data is truncated"},
        {"deflate data overwritten", corrupt, kMaxUnpackedSize, nullptr},
        {"an HTML page", "<html><body>Service Unavailable</body></html>", kMaxUnpackedSize, nullptr},
        {"larger than allowed", packed, 16, "gUncompress: unpacked data exceeds 16 bytes"},
    };
    for (const Case& c : cases) {
        WarningCapture capture;
        EXPECT_TRUE(gUncompress(c.input, c.maxSize).isEmpty()) << c.name;
        if (c.warning) {
            EXPECT_TRUE(capture.Warnings().contains(QString::fromLatin1(c.warning))) << c.name;
        }
    }
}

TEST(GzipUnpack, OnlyTheFirstMemberIsUnpacked)
{
    const QByteArray second = "KJFK 221851Z 18012KT 10SM FEW045 19/11 A3002\n";
    EXPECT_EQ(gUncompress(tools::GzipCompress(kWeatherText) + tools::GzipCompress(second)), kWeatherText);
}

TEST(GzipUnpack, TruncatedStreamGivesWhatItHeld)
{
    const QByteArray text = LongText();
    const QByteArray packed = tools::GzipCompress(text);
    const QByteArray unpacked = gUncompress(packed.left(packed.size() / 2));
    EXPECT_FALSE(unpacked.isEmpty());
    EXPECT_LT(unpacked.size(), text.size());
    EXPECT_TRUE(text.startsWith(unpacked));
}

TEST(GzipUnpack, UnpackGzFileReplacesTheTextFile)
{
    QTemporaryDir dir;
    const QString gzPath = dir.filePath(QStringLiteral("weather.gz"));
    const QString textPath = dir.filePath(QStringLiteral("weather.txt"));
    QFile gz(gzPath);
    ASSERT_TRUE(gz.open(QIODevice::WriteOnly));
    gz.write(tools::GzipCompress(kWeatherText));
    gz.close();
    QFile old(textPath);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the previous download, much longer than the new one ................................................");
    old.close();

    UnpackGzFile(gzPath, textPath);
    QFile text(textPath);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), kWeatherText);
}

TEST(GzipUnpack, MissingGzFileGivesAnEmptyTextFile)
{
    QTemporaryDir dir;
    const QString textPath = dir.filePath(QStringLiteral("weather.txt"));
    WarningCapture capture;
    UnpackGzFile(dir.filePath(QStringLiteral("missing.gz")), textPath);
    EXPECT_TRUE(QFile::exists(textPath));
    EXPECT_EQ(QFile(textPath).size(), 0);
    EXPECT_TRUE(capture.Warnings().contains(QStringLiteral("gUncompress: Input data is truncated")));
}
