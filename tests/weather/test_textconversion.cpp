#include "weather/textconversion.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(TextConversion, ConvertsLatin1BothWaysAndMarksWideCharactersBeyondIt)
{
    EXPECT_EQ(CharToWString("EDDF 071020Z 25012KT"), L"EDDF 071020Z 25012KT");
    EXPECT_EQ(CharToWString(nullptr), L"");
    // 0xFC is u-umlaut in Latin-1; under a UTF-8 locale it would not convert at all.
    EXPECT_EQ(CharToWString("Z\xFCrich"), L"Z\u00FCrich");

    char buffer[32];
    EXPECT_TRUE(WCharToChar(L"Z\u00FCrich", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "Z\xFCrich");
    EXPECT_TRUE(WCharToChar(L"5\u20AC", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "5?");
    EXPECT_TRUE(WCharToChar(nullptr, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");

    EXPECT_EQ(WStringToChar(L"Z\u00FCrich 5\u20AC"), "Z\xFCrich 5?");
    EXPECT_EQ(WStringToChar(std::wstring(L"Left\0Main", 9)), std::string("Left\0Main", 9)) << "NUL is kept";
}

TEST(TextConversion, WideToNarrowNeverWritesPastTheBuffer)
{
    char memory[16];
    std::memset(memory, '#', sizeof memory);
    EXPECT_FALSE(WCharToChar(L"METAR EDDF 071020Z", memory, 6));
    EXPECT_STREQ(memory, "METAR");
    for (std::size_t i = 6; i < sizeof memory; ++i)
        EXPECT_EQ(memory[i], '#') << "byte " << i;

    EXPECT_TRUE(WCharToChar(L"EDDF", memory, 5)) << "exactly enough room for the text and its terminator";
    EXPECT_STREQ(memory, "EDDF");
    EXPECT_FALSE(WCharToChar(L"EDDF", memory, 1));
    EXPECT_STREQ(memory, "");

    std::memset(memory, '#', sizeof memory);
    EXPECT_FALSE(WCharToChar(L"EDDF", memory, 0));
    EXPECT_EQ(memory[0], '#');
    EXPECT_FALSE(WCharToChar(L"EDDF", nullptr, 8));
}

TEST(TextConversion, SplitsLikeReadingLinesFromAStreamAppendingToThePieces)
{
    std::vector<std::wstring> pieces;
    SplitWString(L"", L'\n', pieces);
    EXPECT_TRUE(pieces.empty());
    SplitWString(L"EDDF 071020Z\n\nEGLL 071020Z\n", L'\n', pieces);
    EXPECT_EQ(pieces, (std::vector<std::wstring>{L"EDDF 071020Z", L"", L"EGLL 071020Z"}));
    SplitWString(L"10384 41460=10385 31560", L'=', pieces);
    EXPECT_EQ(pieces,
              (std::vector<std::wstring>{L"EDDF 071020Z", L"", L"EGLL 071020Z", L"10384 41460", L"10385 31560"}));

    std::vector<std::string> fields{"keep"};
    SplitString("POS:47.26|11.34||\xE9", '|', fields);
    EXPECT_EQ(fields, (std::vector<std::string>{"keep", "POS:47.26", "11.34", "", "\xE9"}));
}
