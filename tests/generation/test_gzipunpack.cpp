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

// Collects the Qt warnings written while it lives.
class WarningCapture
{
public:
    WarningCapture()
        : m_previous(qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtWarningMsg)
                g_warnings << message;
        }))
    {
        g_warnings.clear();
    }
    ~WarningCapture() { qInstallMessageHandler(m_previous); }

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

TEST(GzipUnpack, Streams)
{
    const QByteArray text = LongText();
    const QByteArray packed = tools::GzipCompress(text);
    QByteArray corrupt = tools::GzipCompress(kWeatherText);
    for (int i = 10; i < 30; ++i)
        corrupt[i] = static_cast<char>(0xff);
    // The trailer holds the CRC-32 and then the length of the text.
    QByteArray badCrc = packed;
    badCrc[badCrc.size() - 8] = static_cast<char>(badCrc[badCrc.size() - 8] ^ 0x5a);
    QByteArray badLength = packed;
    badLength[badLength.size() - 4] = static_cast<char>(badLength[badLength.size() - 4] ^ 0x01);
    const QByteArray cutAtSection = tools::GzipCutAfter(kWeatherText, kWeatherText.indexOf("[/METAR]\n") + 9);
    const char* const incomplete = "gUncompress: stream is incomplete";
    struct Case
    {
        const char* name;
        QByteArray input;
        qint64 maxSize;
        QByteArray output;
        const char* warning;
    };
    const Case cases[] = {
        {"gzip", packed, kMaxUnpackedSize, text, nullptr},
        // qCompress writes a 4-byte length in front of a zlib stream.
        {"zlib", qCompress(text).mid(4), kMaxUnpackedSize, text, nullptr},
        {"only the first of two members",
         tools::GzipCompress(kWeatherText) + tools::GzipCompress("KJFK 221851Z 18012KT 10SM FEW045 19/11 A3002\n"),
         kMaxUnpackedSize, kWeatherText, nullptr},
        {"four bytes", packed.left(4), kMaxUnpackedSize, {}, "gUncompress: Input data is truncated"},
        {"empty", QByteArray(), kMaxUnpackedSize, {}, "gUncompress: Input data is truncated"},
        {"deflate data overwritten", corrupt, kMaxUnpackedSize, {}, nullptr},
        {"an HTML page", "<html><body>Service Unavailable</body></html>", kMaxUnpackedSize, {}, nullptr},
        {"larger than allowed", packed, 16, {}, "gUncompress: unpacked data exceeds 16 bytes"},
        {"cut in half", packed.left(packed.size() / 2), kMaxUnpackedSize, {}, incomplete},
        {"cut at a section boundary", cutAtSection, kMaxUnpackedSize, {}, incomplete},
        {"without its trailer", packed.left(packed.size() - 8), kMaxUnpackedSize, {}, incomplete},
        {"check value wrong", badCrc, kMaxUnpackedSize, {}, nullptr},
        {"length wrong", badLength, kMaxUnpackedSize, {}, nullptr},
    };
    for (const Case& c : cases) {
        WarningCapture capture;
        EXPECT_EQ(gUncompress(c.input, c.maxSize), c.output) << c.name;
        if (c.warning) {
            EXPECT_TRUE(g_warnings.contains(QString::fromLatin1(c.warning))) << c.name;
        }
    }
}

TEST(GzipUnpack, UnpackGzFileReplacesTheTextFile)
{
    QTemporaryDir dir;
    const QString gzPath = dir.filePath(QStringLiteral("weather.gz"));
    const QString textPath = dir.filePath(QStringLiteral("weather.txt"));
    for (const QString& path : {gzPath, textPath}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(path == gzPath ? tools::GzipCompress(kWeatherText) : QByteArray(400, 'x')); // a longer text before
    }
    EXPECT_TRUE(UnpackGzFile(gzPath, textPath));
    QFile text(textPath);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), kWeatherText);

    // No packed file: an empty text file.
    WarningCapture quiet;
    EXPECT_FALSE(UnpackGzFile(dir.filePath(QStringLiteral("missing.gz")), textPath));
    EXPECT_TRUE(QFile::exists(textPath));
    EXPECT_EQ(QFile(textPath).size(), 0);
}
