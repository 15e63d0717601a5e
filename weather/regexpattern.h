#pragma once

// A regular expression compiled once and matched many times, for the report decoders.
// Patterns use the ECMAScript subset the decoders need (classes, counted repeats, groups, alternation,
// anchors); they are compiled with PCRE2 for 32-bit code units and JIT-compiled where the CPU allows.
//
//     static const RegexPattern wind(L"^([0-9]{3})([0-9]{2})KT");
//     RegexMatch match;
//     if (wind.Search(L"24015KT 9999", match))
//         direction = match.Str(1); // "240"

#include <cstddef>
#include <string>
#include <string_view>

struct pcre2_real_code_32;
struct pcre2_real_match_data_32;

namespace aviation::weather {

class RegexPattern;

// The sub-matches of the last successful search; reuse one object for many searches.
class RegexMatch
{
public:
    RegexMatch() = default;
    ~RegexMatch();
    RegexMatch(const RegexMatch&) = delete;
    RegexMatch& operator=(const RegexMatch&) = delete;

    // Number of sub-expressions plus one for the whole match, as std::wsmatch::size() counts them.
    std::size_t Size() const { return m_size; }
    bool Matched(std::size_t group) const;
    // Offset of the group's start in the searched text; the text's length for a group that took no part.
    std::size_t Position(std::size_t group) const;
    std::size_t Length(std::size_t group) const;
    std::wstring_view View(std::size_t group) const;
    std::wstring Str(std::size_t group) const { return std::wstring(View(group)); }

private:
    friend class RegexPattern;
    void Reserve(std::size_t pairs);

    pcre2_real_match_data_32* m_data = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
    std::wstring_view m_subject;
};

class RegexPattern
{
public:
    // Throws std::invalid_argument when the pattern does not compile.
    explicit RegexPattern(const std::wstring& pattern);
    ~RegexPattern();
    RegexPattern(const RegexPattern&) = delete;
    RegexPattern& operator=(const RegexPattern&) = delete;

    // Number of sub-expressions, as std::wregex::mark_count() counts them.
    std::size_t GroupCount() const { return m_groupCount; }

    // Finds the first match that starts at or after `from`. "^" matches only at the start of `text`.
    // The view must stay alive while the match is read.
    bool Search(std::wstring_view text, RegexMatch& match, std::size_t from = 0) const;

private:
    pcre2_real_code_32* m_code = nullptr;
    std::size_t m_groupCount = 0;
    bool m_jit = false;
};

} // namespace aviation::weather
