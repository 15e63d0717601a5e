// Files the user chooses are opened only when they are regular files: a FIFO or device under a file's name would
// hold the program until something wrote to it. A refusal names the file and its cause in one line, as the file
// boxes show it: "gale.ovyx was not loaded: it is not a regular file."
#pragma once

#include <QString>

class QFile;

namespace platform {

// Opens `file` read-only when its path names a regular file. Otherwise false, and `error` says why:
// "it is not a regular file" (a FIFO, device or folder) or the system's open error ("No such file or directory").
bool OpenRegularFile(QFile& file, QString& error);

// "<file name> was not <done>: <cause>." for the file at `path`, e.g. done "loaded".
QString FileRefusal(const QString& path, const QString& done, const QString& cause);

} // namespace platform
