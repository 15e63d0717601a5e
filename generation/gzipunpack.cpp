#include "generation/gzipunpack.h"

#include <QFile>
#include <QtGlobal>

#include <zlib.h>

namespace {
// 15 window bits plus 32: the stream's header tells whether it is gzip or zlib.
constexpr int kAutoHeaderWindowBits = 15 + 32;
constexpr int kChunkSize = 1024;
} // namespace

QByteArray gUncompress(const QByteArray& data, qint64 maxSize)
{
    if (data.size() <= 4) {
        qWarning("gUncompress: Input data is truncated");
        return QByteArray();
    }

    z_stream stream{};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    if (inflateInit2(&stream, kAutoHeaderWindowBits) != Z_OK)
        return QByteArray();

    QByteArray result;
    char chunk[kChunkSize];
    int status = Z_OK;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = kChunkSize;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_MEM_ERROR) {
            inflateEnd(&stream);
            return QByteArray();
        }
        const int produced = kChunkSize - static_cast<int>(stream.avail_out);
        if (result.size() + produced > maxSize) {
            qWarning("gUncompress: unpacked data exceeds %lld bytes", static_cast<long long>(maxSize));
            inflateEnd(&stream);
            return QByteArray();
        }
        result.append(chunk, produced);
    } while (status == Z_OK);

    inflateEnd(&stream);
    // Whatever stops before the end of the stream (and its check value and length, which inflate verifies there)
    // is a cut download, however well the part that came reads.
    if (status != Z_STREAM_END) {
        qWarning("gUncompress: stream is incomplete");
        return QByteArray();
    }
    return result;
}

bool UnpackGzFile(const QString& gzPath, const QString& textPath)
{
    QFile gz(gzPath);
    QFile text(textPath);
    const QByteArray packed = gz.open(QIODevice::ReadOnly) ? gz.readAll() : QByteArray();
    const QByteArray unpacked = gUncompress(packed);
    if (!text.open(QIODevice::WriteOnly))
        return false;
    return text.write(unpacked) == unpacked.size() && !unpacked.isEmpty();
}
