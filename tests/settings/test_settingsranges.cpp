// Numbers read from a damaged or hand-edited settings file: text, zero and the extremes of an int in keys whose
// values meet arithmetic or choose a link are replaced by the key's default, with one log line per key.
#include "settingstestsupport.h"

using SettingsRanges = SettingsTest;

TEST_F(SettingsRanges, NumbersThatAreNoNumberOrOutOfRangeReadAsTheDefaultWithOneLogLine)
{
    struct Case
    {
        const char* key;
        const char* stored;
        int (*read)();
        int expected;
    };
    const Case cases[] = {
        {"updateInterval", "0", &CSettings::GetUpdateInterval, 30},
        {"weatherradius", "-200", &CSettings::GetWeatherRadius, 200},
        {"maxVisibility", "2147483647", &CSettings::GetMaxVisibility, 200},
        {"minVisibilityMetar9999", "-2147483648", &CSettings::GetMinVisibilityMetar9999, 50},
        {"CavokBase", "2147483647", &CSettings::GetCavokBase, 7000},
        {"modelfileSize", "1000", &CSettings::GetModelFileSize, 20},
        {"XPUpdateTime", "-1", &CSettings::GetXPUpdateTime, 10},
        {"XPUpdateDist", "45", &CSettings::GetXPUpdateDist, 45},
    };
    QByteArray weather = "[weather]\n";
    for (const Case& c : cases)
        weather += QByteArray(c.key) + '=' + c.stored + '\n';
    WriteIniText("[%General]\nlogfilenumber=2147483647\n" + weather
                 + "[interface]\ntype=simconnect\nServerPort=65536\nPauseBetweenWXStation=1e3\n");
    ScopedQtMessageCapture capture;

    for (int read = 0; read < 2; ++read) {
        for (const Case& c : cases)
            EXPECT_EQ(c.read(), c.expected) << c.key;
        EXPECT_EQ(CSettings::GetLogFileNumber(), 1);
        EXPECT_EQ(CSettings::GetInterfaceType(), 1);
        EXPECT_EQ(CSettings::GetServerPort(), QStringLiteral("17300"));
        EXPECT_EQ(CSettings::GetPauseBetweenWXStation(), 200);
    }
    EXPECT_EQ(capture.Messages().filter("is not a sensible value").size(), 11);
    EXPECT_TRUE(
        capture.Messages().contains("(Settings) interface/type=simconnect is not a sensible value, 1 is used instead"));
}
