// Real METAR reports from the shared data folder, and garbled variants of them, for the corpus tests.
// A weather center row starts with the report and carries the center's own decoding in named columns:
//     KBDN 262135Z AUTO 36007KT 10SM CLR 16/03 A3008 RMK AO2,KBDN,2014-09-26T21:35:00Z,44.1,-121.2,16.0,3.0,...
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace aviation {
namespace weather {

struct WeatherCenterReport
{
    std::string file;
    std::wstring raw;
    std::map<std::string, std::string> columns; // the first column of each name

    // The column's text; empty when the column is absent or empty.
    std::string Column(const std::string& name) const;
};

// The folder of real-world data, or "" when it is not there.
std::string SharedDataFolder();

// Every row of every weather center file in <folder>/metar.
std::vector<WeatherCenterReport> ReadWeatherCenterReports(const std::string& folder);

// The METAR column of <folder>/taf/metar-taf-pairs.tsv, without the leading "METAR " or "SPECI ".
std::vector<std::wstring> ReadPairMetars(const std::string& folder);

// A few real-looking reports for runs without the shared data folder.
std::vector<std::wstring> BuiltInMetars();

// Makes garbled variants of reports: cut, duplicated or dropped groups, digits turned into letters or slashes,
// very long lines, empty lines, lone carriage returns. Repeatable for a given seed.
class MetarMutator
{
public:
    explicit MetarMutator(std::uint32_t seed)
        : m_random(seed)
    {
    }

    std::wstring Mutate(const std::wstring& report);

private:
    int Pick(int low, int high);
    std::wstring MutateOnce(const std::wstring& report);

    std::mt19937 m_random;
};

} // namespace weather
} // namespace aviation
