#include "weather/regexpattern.h"

#include <gtest/gtest.h>

#include <regex>

using aviation::weather::RegexMatch;
using aviation::weather::RegexPattern;

namespace {

// The decoders were written against std::wregex; the compiled patterns must find the same matches.
void ExpectSameAsStdRegex(const std::wstring& pattern, const std::wstring& text)
{
    const RegexPattern compiled(pattern);
    const std::wregex reference(pattern);
    RegexMatch match;
    std::wsmatch expected;
    const bool found = compiled.Search(text, match);
    ASSERT_EQ(found, std::regex_search(text, expected, reference)) << "pattern " << pattern.size();
    if (!found)
        return;
    ASSERT_EQ(match.Size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(match.Matched(i), expected[i].matched) << "group " << i;
        if (expected[i].matched) {
            EXPECT_EQ(match.Position(i), static_cast<std::size_t>(expected.position(i))) << "group " << i;
            EXPECT_EQ(match.Str(i), expected.str(i)) << "group " << i;
        }
    }
}

} // namespace

TEST(RegexPattern, FindsTheSameGroupsAsStdRegexOnReportGroups)
{
    ExpectSameAsStdRegex(L"^([A-Z0-9]{4}) ([0-9]{6}Z)", L"EDDF 221950Z 24012KT 9999 FEW040 12/08 Q1015");
    ExpectSameAsStdRegex(L"^([0-9]{3})([0-9]{2})G([0-9]{2})KT", L"24015G25KT 9999");
    ExpectSameAsStdRegex(L"([0-9]{1}) ([0-9]{1})/([0-9]{1})SM", L"KJFK 221951Z 1 1/2SM BR OVC004");
    ExpectSameAsStdRegex(L"^(([0-9]{4})|([/]{4}))((NDV)|([NESW]{0,2}))*", L"////NDV BKN010");
    ExpectSameAsStdRegex(L"^(([0-9]{4})|([/]{4}))((NDV)|([NESW]{0,2}))*", L"4000 1500NE");
    ExpectSameAsStdRegex(L"^(AUTO)", L"24012KT");
    ExpectSameAsStdRegex(L"Q([0-9]{4})$", L"12/08 Q1015");
    ExpectSameAsStdRegex(L"Q([0-9]{4})$", L"12/08 Q1015\n");
}

TEST(RegexPattern, CountsGroupsLikeStdRegexAndSearchesFromAnOffset)
{
    const RegexPattern pattern(L"(FEW|SCT|BKN|OVC)([0-9]{3})(CB|TCU)?");
    EXPECT_EQ(pattern.GroupCount(), 3u);
    RegexMatch match;
    const std::wstring text = L"FEW020 BKN035CB";
    ASSERT_TRUE(pattern.Search(text, match, 1));
    EXPECT_EQ(match.Position(0), 7u);
    EXPECT_EQ(match.Str(3), L"CB");
    ASSERT_TRUE(pattern.Search(text, match));
    EXPECT_FALSE(match.Matched(3));
    EXPECT_EQ(match.Str(3), L"");
    EXPECT_FALSE(pattern.Search(text, match, text.size() + 1));
    EXPECT_FALSE(pattern.Search(L"", match));
    EXPECT_THROW(RegexPattern(L"([0-9"), std::invalid_argument);
}

TEST(RegexPattern, LongRepetitionMatchesWholeBeyondTheJitStack)
{
    // A garbled visibility group of thousands of direction letters outgrows the JIT's stack; the match must
    // still be found, and found whole.
    const RegexPattern visibility(L"^(([0-9]{4})|([/]{4}))((NDV)|([NESW]{0,2}))*");
    RegexMatch match;
    for (const wchar_t* unit : {L"N", L"NE", L"NDV"}) {
        std::wstring text = L"9999";
        while (text.size() < 6000)
            text += unit;
        const std::size_t length = text.size();
        text += L" FEW020";
        ASSERT_TRUE(visibility.Search(text, match)) << "repeating " << unit;
        EXPECT_EQ(match.Length(0), length) << "repeating " << unit;
        EXPECT_EQ(match.Str(1), L"9999");
    }
}
