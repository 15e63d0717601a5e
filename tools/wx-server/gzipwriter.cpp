#include "tools/wx-server/gzipwriter.h"

#include <zlib.h>

namespace tools {

namespace {
// 15 window bits plus 16: write a gzip header and trailer instead of the zlib ones.
constexpr int kGzipWindowBits = 15 + 16;
constexpr int kMemoryLevel = 8;
} // namespace

QByteArray GzipCompress(const QByteArray& data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY)
        != Z_OK)
        return QByteArray();
    QByteArray packed(static_cast<int>(deflateBound(&stream, static_cast<uLong>(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    packed.resize(static_cast<int>(stream.total_out));
    deflateEnd(&stream);
    return result == Z_STREAM_END ? packed : QByteArray();
}

QByteArray GzipCutAfter(const QByteArray& data, int bytes)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY)
        != Z_OK)
        return QByteArray();
    const QByteArray head = data.left(bytes);
    QByteArray packed(static_cast<int>(deflateBound(&stream, static_cast<uLong>(head.size()))) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(head.constData()));
    stream.avail_in = static_cast<uInt>(head.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    const int result = deflate(&stream, Z_SYNC_FLUSH);
    packed.resize(static_cast<int>(stream.total_out));
    deflateEnd(&stream);
    return result == Z_OK ? packed : QByteArray();
}

} // namespace tools
