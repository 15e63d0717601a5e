#pragma once

// Reads METAR reports from a text of one report per line or from the aviation weather center's CSV, whose
// header line starts "raw_text," and whose rows start with the report, quoted when it holds a comma:
//     "AYPY 220200Z 26015KT 9999 SCT020 SCT035 32/25 Q1008 RMK:CB FM NW TO E, SHRA TO E",AYPY,2022-10-22T02:00:00Z,...

#include <string>
#include <vector>

namespace tools {

// The fields of one CSV row; quoted fields may hold commas and doubled quotes.
std::vector<std::string> SplitCsvRow(const std::string& line);

// The reports of one text, Latin-1 like every narrow text of the program: every non-blank line, a line holding
// a comma counting as its first field (raw_text). In a CSV text the status lines before the header and the
// header itself are skipped, and so are the lines without a comma.
std::vector<std::wstring> MetarReports(const std::string& text);

// The reports of one file, read as MetarReports does. Returns false when the file cannot be opened.
bool ReadMetarReports(const std::string& path, std::vector<std::wstring>& reports);

// The reports one per line, the text the METAR store takes.
std::wstring MetarStoreText(const std::vector<std::wstring>& reports);

} // namespace tools
