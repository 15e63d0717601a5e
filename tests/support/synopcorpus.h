// Reads the real SYNOP bulletins of the shared data folder. A GTS bulletin names its section header once,
//     SMCU20 MUHV 310000
//     AAXX 31001
//     78310 01470 70303 10250 20214 ...=
//     78315 01462 70402 10233 20228 ...=
// so besides the files as they are, the corpus offers every report on one line with its header in front
// ("AAXX 31001 78315 01462 ..."), the form in which the weather server hands reports to the SYNOP store.
#pragma once

#include "tests/support/testdata.h"

#include <dirent.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace synopcorpus {

inline std::string Folder()
{
    return testsupport::SharedDataPath("synop");
}

struct File
{
    std::string name;
    std::wstring text;
};

struct Report
{
    std::string file;
    std::wstring text;
};

// The names of the bulletin files of the folder (the station-list CSV files are left out), sorted.
inline std::vector<std::string> BulletinNames()
{
    std::vector<std::string> names;
    DIR* dir = opendir(Folder().c_str());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name.size() < 4 || name.compare(name.size() - 4, 4, ".csv") == 0)
            continue;
        names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// Every bulletin file of the folder, sorted by name; Latin-1.
inline std::vector<File> ReadFiles()
{
    std::vector<File> files;
    for (const std::string& name : BulletinNames())
        files.push_back(File{name, testsupport::ReadLatin1File(Folder() + "/" + name)});
    return files;
}

inline std::vector<std::wstring> Words(const std::wstring& piece)
{
    std::vector<std::wstring> words;
    std::wstring word;
    for (const wchar_t c : piece) {
        if (c == L' ' || c == L'\r' || c == L'\n' || c == L'\t') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

inline bool IsStationNumber(const std::wstring& word)
{
    return word.size() == 5 && std::all_of(word.begin(), word.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Each report of a bulletin file on one line, with the bulletin's "AAXX YYGGi" in front.
inline std::vector<std::wstring> ReportsOf(const std::wstring& text)
{
    std::vector<std::wstring> reports;
    std::wstring header;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'=', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::vector<std::wstring> words = Words(text.substr(start, end - start));
        start = end + 1;
        const auto aaxx = std::find(words.begin(), words.end(), L"AAXX");
        if (aaxx != words.end() && aaxx + 1 != words.end()) {
            header = L"AAXX " + *(aaxx + 1);
            words.erase(words.begin(), aaxx + 2);
        }
        if (header.empty() || words.empty() || !IsStationNumber(words.front()))
            continue;
        std::wstring report = header;
        for (const std::wstring& word : words)
            report += L" " + word;
        reports.push_back(report);
    }
    return reports;
}

inline std::vector<Report> Reports()
{
    std::vector<Report> reports;
    for (const File& file : ReadFiles()) {
        for (const std::wstring& text : ReportsOf(file.text))
            reports.push_back(Report{file.name, text});
    }
    return reports;
}

// A report damaged the ways downloads and senders damage them: cut short, characters replaced, inserted or
// dropped, groups repeated, long runs of blanks, characters outside Latin-1, stray section markers.
inline std::wstring Mutate(std::wstring text, std::mt19937& random)
{
    static const wchar_t kAlphabet[] = L"0123456789/////     AABBOOXXQ9=PICBOT\t-+M";

    std::uniform_int_distribution<int> kind(0, 9);
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < edits; ++i) {
        const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        const wchar_t c = kAlphabet[random() % (sizeof(kAlphabet) / sizeof(wchar_t) - 1)];
        switch (kind(random)) {
        case 0:
        case 1:
            text.resize(at); // truncated download
            break;
        case 2:
        case 3:
            if (at < text.size())
                text[at] = c;
            break;
        case 4:
            text.insert(at, 1, c);
            break;
        case 5:
            if (at < text.size())
                text.erase(at, 1 + random() % 6);
            break;
        case 6:
            text.insert(at, text.substr(at / 2, 6)); // a repeated group
            break;
        case 7:
            text.insert(at, random() % 400, L' ');
            break;
        case 8:
            text.insert(at, 1, static_cast<wchar_t>(random() % 0x110000));
            break;
        default:
            text.insert(at, random() % 2 ? L" 333 " : L" 555 0101/ 1////");
            break;
        }
    }
    return text;
}

} // namespace synopcorpus
