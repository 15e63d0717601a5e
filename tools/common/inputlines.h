#pragma once

// Reads the developer tools' input: the files named on the command line, in order, or standard input when no
// file is named, line by line (line ends, LF or CR LF, removed) or each as a whole text.

#include <functional>
#include <string>
#include <vector>

namespace tools {

// Calls `handle` for every line. Returns false, after reporting on stderr, when a file cannot be opened.
bool ForEachInputLine(const std::vector<std::string>& paths,
                      const std::function<void(const std::string& line)>& handle);

// Calls `handle` with the whole text of every file, in order, or of standard input when no file is named.
// Returns false, after reporting on stderr, when a file cannot be opened.
bool ForEachInputText(const std::vector<std::string>& paths,
                      const std::function<void(const std::string& text)>& handle);

// Reads one whole file or, for an empty path, standard input. Returns false, after reporting on stderr, when the
// file cannot be opened.
bool ReadInput(const std::string& path, std::string& text);

// Reads one whole file as it is. Returns false, reporting nothing, when it cannot be opened.
bool ReadFileText(const std::string& path, std::string& text);

// The lines of a text, their ends (LF or CR LF) removed.
std::vector<std::string> SplitLines(const std::string& text);

} // namespace tools
