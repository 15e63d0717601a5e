// Unpacking of the downloaded gzip files (a zlib stream is taken as well): bytes to bytes, and a .gz file
// to a text file.
#pragma once

#include <QByteArray>
#include <QString>

// Output beyond this is not produced: a small download cannot expand without bound. The weather file unpacks to
// about 400 kB.
constexpr qint64 kMaxUnpackedSize = 64LL * 1024 * 1024;

// The first gzip (or zlib) member of the data, unpacked. Empty for input of 4 bytes or less ("gUncompress: Input
// data is truncated"), corrupt data, a stream without its end or whose check value or length do not match
// ("gUncompress: stream is incomplete"), or output beyond maxSize.
QByteArray gUncompress(const QByteArray& data, qint64 maxSize = kMaxUnpackedSize);

// Writes the unpacked content of the .gz file into the text file, which is replaced (empty when the .gz file
// is missing, corrupt or incomplete). False then, or when the text file cannot be written.
bool UnpackGzFile(const QString& gzPath, const QString& textPath);
