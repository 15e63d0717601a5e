#pragma once

// Reads the developer tools' input: the lines of the files named on the command line, in order, or of
// standard input when no file is named. Line ends (LF or CR LF) are removed.

#include <functional>
#include <string>
#include <vector>

namespace tools {

// Calls `handle` for every line. Returns false, after reporting on stderr, when a file cannot be opened.
bool ForEachInputLine(const std::vector<std::string>& paths,
                      const std::function<void(const std::string& line)>& handle);

// Reads one whole file or, for an empty path, standard input. Returns false when the file cannot be opened.
bool ReadInput(const std::string& path, std::string& text);

} // namespace tools
