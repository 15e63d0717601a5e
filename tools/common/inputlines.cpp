#include "tools/common/inputlines.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace tools {

namespace {

void ForEachLine(std::istream& in, const std::function<void(const std::string&)>& handle)
{
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        handle(line);
    }
}

} // namespace

bool ForEachInputLine(const std::vector<std::string>& paths, const std::function<void(const std::string&)>& handle)
{
    if (paths.empty()) {
        ForEachLine(std::cin, handle);
        return true;
    }
    bool allOpened = true;
    for (const std::string& path : paths) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::cerr << "cannot open " << path << "\n";
            allOpened = false;
            continue;
        }
        ForEachLine(file, handle);
    }
    return allOpened;
}

bool ForEachInputText(const std::vector<std::string>& paths, const std::function<void(const std::string&)>& handle)
{
    const std::vector<std::string> inputs = paths.empty() ? std::vector<std::string>{std::string()} : paths;
    bool allRead = true;
    for (const std::string& path : inputs) {
        std::string text;
        if (ReadInput(path, text))
            handle(text);
        else
            allRead = false;
    }
    return allRead;
}

bool ReadInput(const std::string& path, std::string& text)
{
    if (path.empty()) {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return true;
    }
    if (!ReadFileText(path, text)) {
        std::cerr << "cannot open " << path << "\n";
        return false;
    }
    return true;
}

bool ReadFileText(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    ForEachLine(stream, [&lines](const std::string& line) { lines.push_back(line); });
    return lines;
}

} // namespace tools
