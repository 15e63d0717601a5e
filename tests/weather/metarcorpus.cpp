#include "tests/weather/metarcorpus.h"

#include "tests/support/testdata.h"
#include "tools/common/inputlines.h"
#include "tools/common/weathercentercsv.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace aviation {
namespace weather {

namespace {

using testsupport::Latin1;

std::vector<std::string> ReadLines(const std::string& path)
{
    std::string text;
    testsupport::ReadTextFile(path, text);
    return tools::SplitLines(text);
}

} // namespace

std::string WeatherCenterReport::Column(const std::string& name) const
{
    const auto it = columns.find(name);
    return it == columns.end() ? std::string() : it->second;
}

std::string SharedDataFolder()
{
    const std::string folder = AEROVANE_SHARED_DATA_DIR;
    return std::filesystem::is_directory(folder + "/metar") ? folder : std::string();
}

std::vector<WeatherCenterReport> ReadWeatherCenterReports(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder + "/metar")) {
        if (entry.path().extension() == ".csv")
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());

    std::vector<WeatherCenterReport> reports;
    for (const std::string& path : files) {
        const std::vector<std::string> lines = ReadLines(path);
        const auto header = std::find_if(lines.begin(), lines.end(),
                                         [](const std::string& line) { return line.rfind("raw_text,", 0) == 0; });
        if (header == lines.end())
            continue;
        const std::vector<std::string> names = tools::SplitCsvRow(*header);
        for (auto line = header + 1; line != lines.end(); ++line) {
            if (line->empty())
                continue;
            const std::vector<std::string> fields = tools::SplitCsvRow(*line);
            WeatherCenterReport report;
            report.file = std::filesystem::path(path).filename().string();
            report.raw = Latin1(fields[0]);
            for (std::size_t i = 0; i < names.size() && i < fields.size(); ++i)
                report.columns.emplace(names[i], fields[i]);
            reports.push_back(std::move(report));
        }
    }
    return reports;
}

std::vector<std::wstring> ReadPairMetars(const std::string& folder)
{
    std::vector<std::wstring> metars;
    const std::vector<std::string> lines = ReadLines(folder + "/taf/metar-taf-pairs.tsv");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> fields;
        std::stringstream stream(lines[i]);
        std::string field;
        while (std::getline(stream, field, '\t'))
            fields.push_back(field);
        if (fields.size() < 4 || fields[3].empty())
            continue;
        std::string metar = fields[3];
        if (metar.rfind("METAR ", 0) == 0 || metar.rfind("SPECI ", 0) == 0)
            metar.erase(0, 6);
        metars.push_back(Latin1(metar));
    }
    return metars;
}

std::vector<std::wstring> BuiltInMetars()
{
    return {
        L"EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG",
        L"KJFK 061251Z 27010KT 1 1/2SM BR OVC005 M05/M07 A2992 RMK AO2 SLP132",
        L"UUEE 061230Z 18005MPS 9999 SCT030 05/01 Q1010 R88/290050 NOSIG",
        L"EGLL 061250Z AUTO VRB03KT CAVOK 20/10 Q1020",
        L"LFPG 061230Z 27010KT 0800 R27L/P1500N R26R/1100U FG VV001 M01/M01 Q1030 BECMG 2000",
        L"YCOM 220252Z AUTO 01013KT 5000 // SCT013 SCT022 BKN035 ///// Q1010",
        L"EDDF 061250Z 27010KT //// // ////// 20/10 Q1020",
        L"OIII 021300Z 27048G60KT 4000 +TSRA +DSSS SCT025CB SCT030 BKN070 23/11 Q1014 A2995",
        L"PATE 221912Z AUTO 18010KT 3SM -SN BR FEW008 BKN012 BKN031 00/M01 A2974 RMK AO2",
        L"ZYTL 220230Z 33006G11MPS 280V020 CAVOK 16/08 Q1022 NOSIG",
    };
}

int MetarMutator::Pick(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(m_random);
}

std::wstring MetarMutator::Mutate(const std::wstring& report)
{
    std::wstring text = report;
    const int rounds = Pick(1, 3);
    for (int i = 0; i < rounds; ++i)
        text = MutateOnce(text);
    return text;
}

std::wstring MetarMutator::MutateOnce(const std::wstring& report)
{
    const int size = static_cast<int>(report.size());
    std::vector<std::wstring> groups;
    const auto split = [&report, &groups] {
        std::wstringstream stream(report);
        std::wstring group;
        while (stream >> group)
            groups.push_back(group);
        return static_cast<int>(groups.size());
    };
    const auto join = [&groups] {
        std::wstring text;
        for (const std::wstring& g : groups)
            text += (text.empty() ? L"" : L" ") + g;
        return text;
    };

    switch (Pick(0, 11)) {
    case 0:
        return report.substr(0, static_cast<std::size_t>(Pick(0, size)));
    case 1: {
        const int from = Pick(0, size);
        return report.substr(0, static_cast<std::size_t>(from))
            + report.substr(static_cast<std::size_t>(std::min(size, from + Pick(1, 12))));
    }
    case 2:
        if (const int count = split(); count > 0) {
            const int at = Pick(0, count - 1);
            groups.insert(groups.begin() + at, groups[static_cast<std::size_t>(at)]);
        }
        return join();
    case 3:
        if (const int count = split(); count > 0)
            groups.erase(groups.begin() + Pick(0, count - 1));
        return join();
    case 4:
        if (const int count = split(); count > 1)
            std::swap(groups[static_cast<std::size_t>(Pick(0, count - 1))],
                      groups[static_cast<std::size_t>(Pick(0, count - 1))]);
        return join();
    case 5: {
        static const wchar_t replacements[] = L"/////OIZSABMKTV";
        std::wstring text = report;
        for (wchar_t& c : text) {
            if (c >= L'0' && c <= L'9' && Pick(0, 3) == 0)
                c = replacements[Pick(0, 14)];
        }
        return text;
    }
    case 6: {
        std::wstring text = report;
        while (text.size() < 5000)
            text += text.empty() ? L"BKN020 " : L" " + report;
        return text.substr(0, static_cast<std::size_t>(Pick(4990, 5010)));
    }
    case 7:
        return Pick(0, 1) == 0 ? std::wstring() : std::wstring(L"\r");
    case 8: {
        static const wchar_t inserts[]
            = {L' ', L'\r', L'\t', L'/', L'+', L'-', L'M', L'R', L'V', L'G', L'0', L'9', 0xA0, 0xE9, 0x2003, 0x1F600};
        std::wstring text = report;
        text.insert(static_cast<std::size_t>(Pick(0, size)), 1, inserts[Pick(0, 15)]);
        return text;
    }
    case 9:
        return report + L"\r";
    case 10: {
        std::wstring text = report;
        if (!text.empty())
            text[static_cast<std::size_t>(Pick(0, size - 1))] = L' ';
        return text;
    }
    default: {
        static const wchar_t* const extras[]
            = {L"CAVOK",  L"NSC",  L"VV///", L"R25/P1500N", L"//// // //////", L"// //////", L"1 1/2SM", L"0/0SM",
               L"SHRASN", L"M02/", L"A0050", L"Q0000",      L"VRB03G20KT",     L"9999NDV",   L"FEW///CB"};
        if (const int count = split(); count > 0)
            groups.insert(groups.begin() + Pick(0, count), extras[Pick(0, 14)]);
        return join();
    }
    }
}

} // namespace weather
} // namespace aviation
