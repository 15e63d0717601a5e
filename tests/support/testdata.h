#pragma once

// Where tests and benchmarks find their data, and reading it: the real-world reports beside the repository
// (AEROVANE_SHARED_DATA_DIR, absent on some machines) and our own fixtures in tests/data (AEROVANE_TEST_DATA_DIR).
// Header only, so that benchmarks built without the tests can use it; both define the two folders and link
// toolcommon.

#include "tools/common/inputlines.h"
#include "weather/textconversion.h"
#include "weather/wideformat.h"

#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

inline std::string SharedDataPath(const std::string& relative)
{
    return std::string(AEROVANE_SHARED_DATA_DIR) + "/" + relative;
}

inline std::string TestDataPath(const std::string& relative)
{
    return std::string(AEROVANE_TEST_DATA_DIR) + "/" + relative;
}

// Reads a whole file as it is. Returns false when it cannot be opened.
inline bool ReadTextFile(const std::string& path, std::string& text)
{
    return tools::ReadFileText(path, text);
}

// Every byte taken as the Latin-1 character of its value, as the program reads narrow text.
inline std::wstring Latin1(const std::string& text)
{
    return CharToWString(text);
}

// A whole file as Latin-1 text; empty when it cannot be opened.
inline std::wstring ReadLatin1File(const std::string& path)
{
    std::string text;
    return ReadTextFile(path, text) ? Latin1(text) : std::wstring();
}

// The point lines of a grid file in tests/data/grid: the lines that are neither empty nor a "#" heading.
inline std::vector<std::wstring> GridPointLines(const std::string& name)
{
    std::vector<std::wstring> lines;
    std::ifstream file(TestDataPath("grid/" + name));
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#')
            lines.push_back(Latin1(line));
    }
    return lines;
}

// A grid text of 500 points on a 0.2 degree lattice around Frankfurt (25 rows of 20), the bodies taken in turn
// from the point lines of grid/frankfurt-area.txt.
inline std::wstring FrankfurtLatticeGridText()
{
    std::vector<std::wstring> bodies;
    for (const std::wstring& line : GridPointLines("frankfurt-area.txt"))
        bodies.push_back(line.substr(28));
    std::wstring text = L"# TIME:1491555600\n";
    for (int i = 0; i < 500 && !bodies.empty(); ++i) {
        text += aviation::weather::FormatWide(L"GRIB 06110 00012 99%03d 1%04d", 480 + 2 * (i / 20), 60 + 2 * (i % 20))
            + bodies[static_cast<size_t>(i) % bodies.size()] + L"\n";
    }
    return text;
}

} // namespace testsupport
