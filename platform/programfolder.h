#pragma once

// The folder the program runs from, under which it keeps its logs, weather files, aircraft profiles,
// flights and stored weather. Tests point it at a temporary folder.

#include <QString>

namespace platform {

// The executable's folder (QCoreApplication::applicationDirPath), or the folder set for testing.
QString ProgramFolder();
// An empty path restores the executable's folder.
void SetProgramFolderForTesting(const QString& path);

} // namespace platform
