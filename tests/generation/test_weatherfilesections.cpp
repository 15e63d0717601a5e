#include "generation/weatherfilesections.h"

#include <gtest/gtest.h>

TEST(WeatherFileSections, EachSectionLiesBetweenItsLastTags)
{
    struct Case
    {
        const char* name;
        const char* text;
        bool hasMetar;
        const char* metar;
        const char* synop;
        const char* taf;
    };
    const Case cases[] = {
        {"all three",
         "[METAR]\nEGLL 221850Z 15006KT 9999 BKN027 15/13 Q1011\n[/METAR]\n[SYNOP]\nAAXX 31001 78310 01470=\n"
         "[/SYNOP]\n[TAF]\nTAF EGLL 111941Z 1119/1224 22012KT 9999 BKN018\n\n[/TAF]\n",
         true, "\nEGLL 221850Z 15006KT 9999 BKN027 15/13 Q1011\n", "\nAAXX 31001 78310 01470=\n",
         "\nTAF EGLL 111941Z 1119/1224 22012KT 9999 BKN018\n\n"},
        {"the last of two METAR sections",
         "[METAR]\nKJFK 221851Z 18012KT\n[/METAR]\n[METAR]\nEDDF 221850Z 24008KT\n[/METAR]\n", true,
         "\nEDDF 221850Z 24008KT\n", "", ""},
        {"no TAF tags", "[METAR]\nEDDF 221850Z 24008KT\n[/METAR]\nTAF EDDF 221700Z 2218/2324 24010KT\n", true,
         "\nEDDF 221850Z 24008KT\n", "", ""},
        {"an end tag without its tag", "[/METAR]\nEDDF 221850Z 24008KT\n[TAF]\nTAF EDDF\n[/TAF]", false, "", "",
         "\nTAF EDDF\n"},
        {"the end tag before the tag", "[/METAR]\nEDDF 221850Z 24008KT\n[METAR]\n", false, "", "", ""},
        {"an empty METAR section", "[METAR][/METAR]", true, "", "", ""},
        {"an HTML error page", "<html><body><h1>Service Unavailable</h1></body></html>", false, "", "", ""},
        {"no text", "", false, "", "", ""},
    };
    for (const Case& c : cases) {
        const CWeatherFileSections sections(QString::fromLatin1(c.text));
        EXPECT_EQ(sections.HasMetar(), c.hasMetar) << c.name;
        EXPECT_EQ(sections.GetMetar(), QString::fromLatin1(c.metar)) << c.name;
        EXPECT_EQ(sections.GetSynop(), QString::fromLatin1(c.synop)) << c.name;
        EXPECT_EQ(sections.GetTaf(), QString::fromLatin1(c.taf)) << c.name;
    }
}
