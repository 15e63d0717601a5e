// Text, zero and the extremes of an int in number keys that meet arithmetic or choose a link read as the key's
// default, with one log line per key.
#include "settingstestsupport.h"

#include <tuple>

using SettingsRanges = SettingsTest;

TEST_F(SettingsRanges, NumbersThatAreNoNumberOrOutOfRangeReadAsTheDefaultWithOneLogLine)
{
    // weather key, text stored, getter, value read
    const std::tuple<const char*, const char*, int (*)(), int> cases[] = {
        {"updateInterval", "0", &CSettings::GetUpdateInterval, 30},
        {"weatherradius", "5000", &CSettings::GetWeatherRadius, 200},
        {"maxVisibility", "2147483647", &CSettings::GetMaxVisibility, 200},
        {"minVisibilityMetar9999", "-2147483648", &CSettings::GetMinVisibilityMetar9999, 50},
        {"CavokBase", "2147483647", &CSettings::GetCavokBase, 7000},
        {"modelfileSize", "1000", &CSettings::GetModelFileSize, 20},
        {"XPUpdateTime", "-1", &CSettings::GetXPUpdateTime, 10},
        {"XPUpdateDist", "45", &CSettings::GetXPUpdateDist, 45},
    };
    QByteArray ini = "[%General]\nlogfilenumber=2147483647\n[weather]\n";
    for (const auto& [key, stored, read, expected] : cases)
        ini += QByteArray(key) + '=' + stored + '\n';
    WriteIniText(ini + "[interface]\ntype=simconnect\nServerPort=65536\nPauseBetweenWXStation=1e3\n");
    ScopedQtMessageCapture capture;

    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [key, stored, read, expected] : cases)
            EXPECT_EQ(read(), expected) << key;
        EXPECT_EQ(CSettings::GetLogFileNumber(), 1);
        EXPECT_EQ(CSettings::GetInterfaceType(), 1);
        EXPECT_EQ(CSettings::GetServerPort(), QStringLiteral("17300"));
        EXPECT_EQ(CSettings::GetPauseBetweenWXStation(), 200);
    }
    EXPECT_EQ(capture.Messages().filter("is not a sensible value").size(), 11);
    const QString note = "(Settings) interface/type=simconnect is not a sensible value, 1 is used instead";
    EXPECT_TRUE(capture.Messages().contains(note));
    // Held for the program's log, which opens later, and handed over once.
    EXPECT_TRUE(CSettings::TakeHeldNotes().contains(note));
    EXPECT_TRUE(CSettings::TakeHeldNotes().isEmpty());
}
