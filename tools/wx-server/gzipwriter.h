// Packs data as a gzip file of one member (header 1f 8b 08 ...), as the weather server sends its files.
#pragma once

#include <QByteArray>

namespace tools {

// The whole input deflated into one gzip member; empty only when zlib fails.
QByteArray GzipCompress(const QByteArray& data);
// The first `bytes` of the input deflated and flushed, without the end of the stream and the gzip trailer: a
// download cut off at that point of the text.
QByteArray GzipCutAfter(const QByteArray& data, int bytes);

} // namespace tools
