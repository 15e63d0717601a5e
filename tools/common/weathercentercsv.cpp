#include "tools/common/weathercentercsv.h"

#include "tools/common/inputlines.h"
#include "weather/textconversion.h"

#include <algorithm>

namespace tools {

namespace {

bool IsHeader(const std::string& line)
{
    return line.rfind("raw_text,", 0) == 0;
}

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n\f\v") == std::string::npos;
}

} // namespace

std::vector<std::string> SplitCsvRow(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back().push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back().push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

std::vector<std::wstring> MetarReports(const std::string& text)
{
    const std::vector<std::string> lines = SplitLines(text);
    const auto header = std::find_if(lines.begin(), lines.end(), IsHeader);
    const bool csv = header != lines.end();
    std::vector<std::wstring> reports;
    for (auto line = csv ? header + 1 : lines.begin(); line != lines.end(); ++line) {
        const bool row = line->find(',') != std::string::npos;
        if (IsHeader(*line) || (csv && !row))
            continue;
        const std::string report = row ? SplitCsvRow(*line).front() : *line;
        if (!IsBlank(report))
            reports.push_back(CharToWString(report));
    }
    return reports;
}

bool ReadMetarReports(const std::string& path, std::vector<std::wstring>& reports)
{
    std::string text;
    if (!ReadFileText(path, text))
        return false;
    reports = MetarReports(text);
    return true;
}

std::wstring MetarStoreText(const std::vector<std::wstring>& reports)
{
    std::wstring text;
    for (const std::wstring& report : reports)
        text += report + L'\n';
    return text;
}

} // namespace tools
